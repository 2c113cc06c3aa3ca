#!/bin/sh
# A small memory file system at FOLDER, mounted afresh, which the installer
# journey fills to show that a save on a full volume loses nothing:
#   make-full-volume.sh FOLDER          mounts it
#   make-full-volume.sh FOLDER umount   takes it away
# Mounting needs the right to (root in CI); without it nothing is mounted and
# the journey skips that step, saying so.
dir=$1
umount "$dir" 2>/dev/null
[ "${2:-}" = umount ] && exit 0
mkdir -p "$dir"
if mount -t tmpfs -o size=128k,mode=0777 kelmora-full-volume "$dir" 2>/dev/null; then
  echo "mounted a 128 KB volume at $dir"
else
  echo "cannot mount a small volume here: the full-volume step is skipped"
fi
exit 0
