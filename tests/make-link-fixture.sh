#!/bin/sh
# make-link-fixture.sh DIR: a tree with Unix symbolic links for the link tests
# (Wine cannot make links itself). Under Wine a link to a folder shows as a
# reparse point.
#   DIR/rtp/data.txt, DIR/rtp/sub/s.txt    what may be deleted
#   DIR/rtp/link -> ../outside              relative link to a full folder
#   DIR/rtp/sub/emptylink -> DIR/emptyout   absolute link to an empty folder
#   DIR/rootlink -> rootlink-target         a registered folder that is a link
#   DIR/filertp/own.txt                     what may be deleted, beside
#   DIR/filertp/filelink -> ../outside/keep.txt        links to files outside,
#   DIR/filertp/abslink.txt -> DIR/outside/sub/deep.txt which Wine shows as files
#   DIR/rtp/.../loop.txt                    a name that path parsing turns into
#                                           the folder itself ("rtp\...\" is "rtp\")
set -eu
dir=$1
rm -rf "$dir"
mkdir -p "$dir/outside/sub" "$dir/emptyout" "$dir/rtp/sub" "$dir/rootlink-target/inner"
echo keep > "$dir/outside/keep.txt"
echo deep > "$dir/outside/sub/deep.txt"
echo data > "$dir/rtp/data.txt"
echo s > "$dir/rtp/sub/s.txt"
echo t > "$dir/rootlink-target/t.txt"
echo i > "$dir/rootlink-target/inner/i.txt"
ln -s ../outside "$dir/rtp/link"
ln -s "$dir/emptyout" "$dir/rtp/sub/emptylink"
ln -s rootlink-target "$dir/rootlink"
mkdir "$dir/rtp/..."
echo loop > "$dir/rtp/.../loop.txt"
mkdir -p "$dir/filertp"
echo own > "$dir/filertp/own.txt"
ln -s ../outside/keep.txt "$dir/filertp/filelink"
ln -s "$dir/outside/sub/deep.txt" "$dir/filertp/abslink.txt"
