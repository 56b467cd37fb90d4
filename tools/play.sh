#!/bin/sh
# Installs what is missing, builds the game and starts it.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build -j "$(nproc)"
cd build
exec ./kavenna
