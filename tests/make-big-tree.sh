#!/bin/sh
# make-big-tree.sh DIR: makes DIR afresh with an RTP-shaped tree of 100
# chains of 100 nested folders holding one file each: listing a folder deep
# down is what takes time, so counting and removing it take seconds under
# Wine, and it is made here in a moment.
set -eu
dir=$1
rm -rf "$dir"
mkdir -p "$dir"
(cd "$dir" && for c in $(seq 1 100); do
   mkdir -p "c$c/$(seq -s/ -f 'level%g' 1 100)"
   touch $(seq 1 100 | awk -v c="c$c" '{ path = path "/level" $1; print c path "/x.png" }')
 done)
