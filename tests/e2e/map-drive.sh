#!/bin/sh
# map-drive.sh WINE-RUN PREFIX DIR: makes DIR, empty, the root of drive K: in
# the Wine prefix, for the test of a program that lies in a drive's root
# folder (Wine maps drive letters by links in its dosdevices folder).
set -eu
wine_run=$1
prefix=$2
dir=$3
KELMORA_WINEPREFIX=$prefix "$wine_run" C.UTF-8 cmd.exe /c exit >/dev/null 2>&1 || true
rm -rf "$dir"
mkdir -p "$dir"
ln -sfn "$dir" "$prefix/dosdevices/k:"
