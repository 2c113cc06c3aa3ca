#!/bin/sh
# make-big-tree.sh DIR: makes DIR afresh with two RTP-shaped trees, a and b,
# each of 10,000 folders holding one file: listing a folder is what takes
# time, so counting and removing them take seconds under Wine, and they are
# made here in a moment.
set -eu
dir=$1
rm -rf "$dir"
for tree in a b; do
  mkdir -p "$dir/$tree"
  (cd "$dir/$tree" && for d in $(seq 1 100); do
     mkdir "d$d" && (cd "d$d" && mkdir $(seq -f 's%g' 1 100) && touch $(seq -f 's%g/x.png' 1 100))
   done)
done
