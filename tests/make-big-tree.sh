#!/bin/sh
# make-big-tree.sh DIR: makes DIR afresh with two RTP-shaped trees that take
# seconds to count or remove under Wine, made here in a moment:
#   a  100 chains of 100 nested folders holding one file each: listing a
#      folder deep down is what takes time, so counting it takes seconds;
#   b  8,000 folders side by side holding one file each, removed in a few
#      seconds.
set -eu
dir=$1
rm -rf "$dir"
mkdir -p "$dir/a" "$dir/b"
(cd "$dir/a" && for c in $(seq 1 100); do
   mkdir -p "c$c/$(seq -s/ -f 'level%g' 1 100)"
   touch $(seq 1 100 | awk -v c="c$c" '{ path = path "/level" $1; print c path "/x.png" }')
 done)
(cd "$dir/b" && for d in $(seq 1 80); do
   mkdir "d$d" && (cd "d$d" && mkdir $(seq -f 's%g' 1 100) && touch $(seq -f 's%g/x.png' 1 100))
 done)
