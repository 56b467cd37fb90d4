#!/bin/sh
# Installs what is missing, builds the game and its tests with warnings as
# errors, and runs every test.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh test

# The unit tests once more with AddressSanitizer and UBSan, where any
# report, leaks included, fails them. Errors abort, so a forked child's
# report cannot pass for an exit status it means. The plain build's
# run stays last, so the output ends with its summary.
cmake -S . -B build-sanitize -DKAVENNA_WERROR=ON -DBUILD_TESTING=ON -DKAVENNA_SANITIZE=ON
cmake --build build-sanitize -j "$(nproc)"
sanitized=0
(cd build-sanitize && ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 \
    UBSAN_OPTIONS=abort_on_error=1:print_stacktrace=1 \
    ctest --output-on-failure -j "$(nproc)" -L 'unit|fuzzing') || sanitized=1

# Here every test tool must be present, and the tests a plain build leaves
# out run too: installing the package on this machine and the maintainers'
# check of the committed pictures.
cmake -S . -B build-test -DKAVENNA_WERROR=ON -DBUILD_TESTING=ON -DKAVENNA_REQUIRE_TEST_TOOLS=ON \
    -DKAVENNA_HOST_TESTS=ON -DKAVENNA_MAINTAINER_TESTS=ON
cmake --build build-test -j "$(nproc)"
cd build-test
ctest --output-on-failure -j "$(nproc)"
exit "$sanitized"
