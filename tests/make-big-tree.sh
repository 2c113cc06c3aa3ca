#!/bin/sh
# make-big-tree.sh DIR [wide]: makes DIR afresh with an RTP-shaped tree of 100
# chains of 100 nested folders holding one file each: listing a folder deep
# down is what takes time, so counting and removing it take seconds under
# Wine, and it is made here in a moment. With "wide", 10 chains of 100 nested
# folders holding 100 files each: 101,010 entries, more than the removal
# question counts.
set -eu
dir=$1
rm -rf "$dir"
mkdir -p "$dir"
if [ "${2:-}" = wide ]; then
  files=$(seq -f 'f%g.png' 1 100)
  for c in $(seq 1 10); do
    mkdir -p "$dir/c$c/$(seq -s/ -f 'level%g' 1 100)"
    (cd "$dir/c$c" && for level in $(seq 1 100); do cd "level$level" && touch $files; done)
  done
  exit 0
fi
(cd "$dir" && for c in $(seq 1 100); do
   mkdir -p "c$c/$(seq -s/ -f 'level%g' 1 100)"
   touch $(seq 1 100 | awk -v c="c$c" '{ path = path "/level" $1; print c path "/x.png" }')
 done)
