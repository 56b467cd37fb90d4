#!/bin/sh
# Configures the game as a packager would and checks what that needs and
# what the compiler is given.
#   without-test-tools: with clang-format, valgrind, Xvfb and
#     desktop-file-validate off the search path and GoogleTest not looked
#     for, a build with tests off configures; one with tests on configures
#     too and reports the tests that need them as skipped, saying why;
#     with KAVENNA_REQUIRE_TEST_TOOLS it fails.
#   flags: the hardening and warning flags reach each compile and link
#     line once, whatever of them the packager's flags already carry; a
#     stronger _FORTIFY_SOURCE stays; KAVENNA_HARDENING=OFF leaves them out.
# Usage: configure_checks.sh without-test-tools|flags SOURCE_DIR SCRATCH_DIR
set -eu
mode=$1
source=$2
scratch=$3
rm -rf "$scratch"
mkdir -p "$scratch"
status=0
fail() { echo "configure_checks: $*" >&2; status=1; }

# Configures into $scratch/NAME; the rest are cmake arguments.
configure() {
    name=$1
    shift
    cmake -S "$source" -B "$scratch/$name" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "$@" \
        >"$scratch/$name.log" 2>&1
}

if [ "$mode" = without-test-tools ]; then
    . "$(dirname "$0")/hidden_tools.sh"
    hide_test_tools "$scratch" Xvfb desktop-file-validate
    hide() { PATH="$HIDDEN_PATH" "$@" "-DCMAKE_IGNORE_PATH=$HIDDEN_IGNORE" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON; }

    hide configure off -DBUILD_TESTING=OFF || fail "tests off: configuring failed: $(cat "$scratch/off.log")"
    if hide configure on -DBUILD_TESTING=ON; then
        grep -E '^(CLANG_FORMAT|VALGRIND):' "$scratch/on/CMakeCache.txt"
        if ! grep -q '^CLANG_FORMAT:FILEPATH=CLANG_FORMAT-NOTFOUND' "$scratch/on/CMakeCache.txt"; then
            fail "tests on: clang-format was found after all"
        fi
        tests='^(Style\.ClangFormat|Screens\.UnderValgrind|Soak\.UnderValgrind|unit_tests)$'
        (cd "$scratch/on" && ctest -V -R "$tests") >"$scratch/on-ctest.log" 2>&1 || true
        cat "$scratch/on-ctest.log"
        for test in Style.ClangFormat Screens.UnderValgrind Soak.UnderValgrind unit_tests; do
            grep -q "$test .*Skipped" "$scratch/on-ctest.log" || fail "tests on: $test was not skipped"
        done
        grep -q "skipped: clang-format (Debian's clang-format) was not found" "$scratch/on-ctest.log" ||
            fail "tests on: the skipped style check does not say why"
        # Tools the tests run, not the configure: without Xvfb the tests in
        # windows skip, and a missing validator skips the entry's check.
        (cd "$scratch/on" && PATH="$HIDDEN_PATH" ctest -V -FA '.*' \
            -R '^(E2E\.CloseDuringIntro|install\.desktop_entry)$') >"$scratch/run-ctest.log" 2>&1 || true
        cat "$scratch/run-ctest.log"
        grep -q "E2E.CloseDuringIntro .*Skipped" "$scratch/run-ctest.log" &&
            grep -q "skipped: the tests in windows need Xvfb" "$scratch/run-ctest.log" ||
            fail "tests on: without Xvfb, E2E.CloseDuringIntro was not skipped with the reason"
        grep -q "install.desktop_entry .*Skipped" "$scratch/run-ctest.log" &&
            grep -q "skipped: desktop-file-validate" "$scratch/run-ctest.log" ||
            fail "tests on: without desktop-file-validate, install.desktop_entry was not skipped"
    else
        fail "tests on: configuring failed: $(cat "$scratch/on.log")"
    fi
    if hide configure required -DBUILD_TESTING=ON -DKAVENNA_REQUIRE_TEST_TOOLS=ON; then
        fail "KAVENNA_REQUIRE_TEST_TOOLS let a configure without the test tools pass"
    fi
    exit "$status"
fi

[ "$mode" = flags ] || { echo "configure_checks: no mode $mode" >&2; exit 2; }
. "$(dirname "$0")/need.sh"
need dpkg-buildflags dpkg-dev
# The line for one game source, and the program's link line.
compile_line() {
    python3 -c 'import json, sys
for entry in json.load(open(sys.argv[1])):
    if entry["file"].endswith("/game/rules.cpp"):
        print(entry["command"])' "$scratch/$1/compile_commands.json"
}
link_line() { cat "$scratch/$1/CMakeFiles/kavenna.dir/link.txt"; }
# Counts the words of LINE that are exactly WORD.
count() { echo "$1" | tr ' ' '\n' | grep -cxF -- "$2" || true; }
expect_once() {
    name=$1 line=$2
    shift 2
    for word in "$@"; do
        n=$(count "$line" "$word")
        [ "$n" = 1 ] || fail "$name: '$word' appears $n times in: $line"
    done
}
expect_none() {
    name=$1 line=$2
    shift 2
    for pattern in "$@"; do
        if echo "$line" | grep -qE -- "$pattern"; then
            fail "$name: '$pattern' in: $line"
        fi
    done
}
hardening_compile="-fstack-protector-strong -Wformat -Werror=format-security -D_FORTIFY_SOURCE=2"

# A developer's build, with no flags of its own.
(unset CFLAGS CXXFLAGS LDFLAGS && configure plain -DCMAKE_BUILD_TYPE=RelWithDebInfo)
# shellcheck disable=SC2086
expect_once plain "$(compile_line plain)" -Wall -Wextra $hardening_compile
expect_once plain "$(link_line plain)" -Wl,-z,relro -Wl,-z,now

# A Debian package build: dh hands dpkg-buildflags' flags over, with
# CPPFLAGS appended to CFLAGS and CXXFLAGS, and the build type None.
flags() { dpkg-buildflags --get "$1"; }
(
    CFLAGS="$(flags CFLAGS) $(flags CPPFLAGS) -Wall"
    CXXFLAGS="$(flags CXXFLAGS) $(flags CPPFLAGS) -Wall"
    LDFLAGS=$(flags LDFLAGS)
    export CFLAGS CXXFLAGS LDFLAGS
    configure debian -DCMAKE_BUILD_TYPE=None
)
# shellcheck disable=SC2086
expect_once debian "$(compile_line debian)" -Wall -Wextra $hardening_compile
expect_once debian "$(link_line debian)" -Wl,-z,relro -Wl,-z,now

# A distribution that fortifies more, with warnings as errors: its level
# stays, and the compiler has nothing to warn about.
(unset CFLAGS LDFLAGS && export CXXFLAGS="-O2 -D_FORTIFY_SOURCE=3" &&
    configure fortify3 -DKAVENNA_WERROR=ON)
line=$(compile_line fortify3)
expect_once fortify3 "$line" -D_FORTIFY_SOURCE=3
expect_none fortify3 "$line" "_FORTIFY_SOURCE=2"
(cd "$scratch/fortify3" && sh -c "$line -o $scratch/rules.o") || fail "fortify3: compiling failed"

# hardening=-all, with the packager's flags alone in charge.
(
    export DEB_BUILD_MAINT_OPTIONS=hardening=-all
    CFLAGS="$(flags CFLAGS) $(flags CPPFLAGS)"
    CXXFLAGS="$(flags CXXFLAGS) $(flags CPPFLAGS)"
    LDFLAGS=$(flags LDFLAGS)
    export CFLAGS CXXFLAGS LDFLAGS
    configure unhardened -DCMAKE_BUILD_TYPE=None -DKAVENNA_HARDENING=OFF
)
expect_none unhardened "$(compile_line unhardened)" stack-protector _FORTIFY_SOURCE format-security
expect_none unhardened "$(link_line unhardened)" relro "z,now"
exit "$status"
