#!/bin/sh
# Builds the Debian package from the build tree into a fresh folder of its
# own, so the checks use exactly what `cmake --build build --target
# package` would ship.
# Usage: build_deb.sh BUILD_DIR OUTPUT_DIR
set -eu
build=$1
out=$2
. "$(dirname "$0")/need.sh"
need dpkg-shlibdeps dpkg-dev
rm -rf "$out"
mkdir -p "$out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out"
set -- "$out"/kavenna_*.deb
[ -f "$1" ] || { echo "build_deb: no kavenna_*.deb in $out" >&2; exit 1; }
echo "build_deb: made $1"
