#!/bin/sh
# Installs the built game into a fresh prefix, as a player would with
# `cmake --install build --prefix DIR`, for the checks that follow.
# Usage: stage.sh BUILD_DIR PREFIX
set -eu
build=$1
prefix=$2
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix"
