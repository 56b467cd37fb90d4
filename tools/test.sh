#!/bin/sh
# Installs what is missing, builds the game and its tests with warnings as
# errors, and runs every test.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh test
cmake -S . -B build-test -DKAVENNA_WERROR=ON -DKAVENNA_TESTS=ON
cmake --build build-test -j "$(nproc)"
cd build-test
ctest --output-on-failure -j "$(nproc)"
