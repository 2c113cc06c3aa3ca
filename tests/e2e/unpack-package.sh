#!/bin/sh
# unpack-package.sh CPACK CMAKE BUILD-DIR DIR: makes the release zip of
# BUILD-DIR with cpack, as tools/package does, and unpacks it into DIR,
# emptied first. Fails when the zip's Kelmora.exe is not for the Windows its
# name promises (-win32: x86, -win64: x64): a 32-bit Windows cannot start a
# 64-bit program.
set -eu
cpack=$1
cmake=$2
build=$3
dir=$4
zip=$(cd "$build" && "$cpack" -G ZIP | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p')
[ -f "$zip" ] || { echo "cpack made no zip in $build" >&2; exit 1; }
rm -rf "$dir"
mkdir -p "$dir"
cd "$dir"
"$cmake" -E tar xf "$zip"
ls -l
case $zip in
  *-win32.zip) wanted=014c ;;
  *-win64.zip) wanted=8664 ;;
  *) echo "$zip: neither -win32 nor -win64" >&2; exit 1 ;;
esac
header=$(od -An -tu4 -j60 -N4 Kelmora.exe | tr -d ' ')
machine=$(od -An -tx2 -j$((header + 4)) -N2 Kelmora.exe | tr -d ' ')
[ "$machine" = "$wanted" ] || { echo "$(basename "$zip") holds a Kelmora.exe for machine $machine, not $wanted" >&2; exit 1; }
echo "$(basename "$zip"): Kelmora.exe for machine $machine"
