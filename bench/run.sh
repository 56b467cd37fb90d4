#!/bin/sh
# Builds the game as a player would (Release) together with the floor
# program and the frame counter, then runs the benchmark and prints its
# table. Arguments go to bench.py: --short for a quick run, --software to
# measure the engine's software renderer instead of OpenGL.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh test
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-bench -j "$(nproc)" --target kavenna kavenna_floor kavenna_frame_counter \
    kavenna_hostile_files >/dev/null
exec python3 bench/bench.py --game build-bench/kavenna --floor build-bench/bench/kavenna_floor \
    --frame-counter build-bench/bench/libkavenna_frame_counter.so \
    --hostile-files build-bench/bench/kavenna_hostile_files --assets build-bench/assets "$@"
