#!/bin/sh
# unpack-package.sh CPACK CMAKE BUILD-DIR DIR: makes the release zip of
# BUILD-DIR with cpack, as tools/package does, and unpacks it into DIR,
# emptied first.
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
