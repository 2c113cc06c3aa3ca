#!/bin/sh
# make-link-fixture.sh WINE-RUN PREFIX DRIVE NAME LETTER DEAD: makes the folder
# DRIVE/NAME afresh, and maps DRIVE as drive L: of the Wine prefix, so that
# whatever the tests remove can only ever be a scratch file. The tree holds
# what Wine cannot make: Unix symbolic links (a link to a folder shows as a
# reparse point), names that Windows forbids, which Wine shows unchanged, and
# one folder under two final paths: drive LETTER: mapped onto std/sub, and,
# where this user may mount, std/sub bound at mnt as well (and emptyout at
# emptymnt, a mount point no removal can take away). Drive DEAD: reaches
# deaddrive, which is not there: a drive that does not answer until a test
# makes it.
# make-link-fixture.sh --unmount DRIVE NAME undoes the mount.
#   rtp/data.txt, rtp/sub/s.txt             what may be deleted
#   rtp/link -> ../outside                  relative link to a full folder
#   rtp/sub/emptylink -> .../emptyout       absolute link to an empty folder
#   rtp/.../loop.txt                        a name that path parsing turns into
#                                           the folder itself ("rtp\...\" is "rtp\")
#   rootlink -> rootlink-target             a registered folder that is a link
#   filertp/own.txt                         what may be deleted, beside
#   filertp/filelink -> ../outside/keep.txt        links to files outside,
#   filertp/abslink.txt -> .../outside/sub/deep.txt which Wine shows as files
#   outside/keep.txt                        read-only, and must stay so
#   games/deep/rtp/data.txt, NAME           what may be deleted, beside names
#                                           that climb out of the folder or hold
#                                           a character Windows forbids, or one code
#                                           page 932 cannot hold (é)
#   keep/, rootfile.txt, games/deep/x.txt   what those names point at
#   chain/d/d/...                           300 levels of folders, more than a walk goes down
#   std/keep.txt, std/sub/inner/own.txt     an RTP, a subfolder of which LETTER: and mnt reach
#   loop -> loop                            a folder no one can open
#   case/mine/victim.txt -> ../MINE/victim.txt   a link to a case twin's file
set -eu
unmount() {
  for point in "$1/mnt" "$1/emptymnt"; do
    ! mountpoint -q "$point" 2>/dev/null || umount "$point"
  done
}
if [ "$1" = --unmount ]; then
  unmount "$2/$3"
  exit 0
fi
wine_run=$1
prefix=$2
dir=$3/$4
[ -d "$prefix/dosdevices" ] || KELMORA_WINEPREFIX=$prefix "$wine_run" C.UTF-8 cmd.exe /c exit >/dev/null 2>&1 || true
unmount "$dir"
rm -rf --one-file-system "$dir"
mkdir -p "$dir/outside/sub" "$dir/emptyout" "$dir/rtp/sub" "$dir/rootlink-target/inner"
ln -sfn "$3" "$prefix/dosdevices/l:"
echo keep > "$dir/outside/keep.txt"
chmod a-w "$dir/outside/keep.txt"
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

hostile=$dir/games/deep/rtp
mkdir -p "$dir/keep" "$hostile"/'..\..\..\keep' "$hostile/..\\" "$hostile/c*d"
echo keep > "$dir/keep/keep.txt"
echo root > "$dir/rootfile.txt"
echo x > "$dir/games/deep/x.txt"
echo inner > "$hostile"/'..\..\..\keep/inner.txt'
echo inner > "$hostile/c*d/inner.txt"
for name in '..\..\..\rootfile.txt' '..\x.txt' 'a:b' 'a*b' 'a?b' 'a"b' 'a<b' 'a>b' 'a|b' \
            "$(printf 'a\001b')" "$(printf 'a\037b')" 'é'; do
  echo hostile > "$hostile/$name"
done
echo data > "$hostile/data.txt"

mkdir "$dir/chain"
(cd "$dir/chain" && mkdir -p "$(printf 'd/%.0s' $(seq 300))")

mkdir -p "$dir/std/sub/inner" "$dir/case/mine" "$dir/case/MINE"
echo keep > "$dir/std/keep.txt"
echo own > "$dir/std/sub/inner/own.txt"
ln -sfn "$dir/std/sub" "$prefix/dosdevices/$5:"
ln -sfn "$dir/deaddrive" "$prefix/dosdevices/$6:"
mkdir "$dir/mnt" "$dir/emptymnt"
mount --bind "$dir/std/sub" "$dir/mnt" 2>/dev/null || rmdir "$dir/mnt"
mount --bind "$dir/emptyout" "$dir/emptymnt" 2>/dev/null || rmdir "$dir/emptymnt"
ln -s loop "$dir/loop"
echo victim > "$dir/case/MINE/victim.txt"
echo mine > "$dir/case/mine/own.txt"
ln -s ../MINE/victim.txt "$dir/case/mine/victim.txt"
