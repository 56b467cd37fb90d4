#!/bin/sh
# The game started without any display, one command line per row: options
# that only answer (--help, --version) must do so on standard output with
# status 0, wrong ones must be refused on standard error with status 2,
# and whatever wants a window must say in one line on standard error that
# it could not open one, and exit 1. Standard output carries nothing else.
# Every row runs in English (the C locale) unless it says otherwise; then
# the answers in the player's language, chosen as every gettext program
# chooses it or by --language.
set -u
game=$1
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
fail=0

# check ARGUMENTS STATUS STDOUT-PATTERN STDERR-PATTERN STDERR-LINES
# An empty pattern demands an empty stream.
check() {
    # shellcheck disable=SC2086
    env -u DISPLAY -u WAYLAND_DISPLAY -u LANGUAGE LC_ALL=C "$game" $1 >"$out" 2>"$err"
    status=$?
    problem=""
    [ "$status" -eq "$2" ] || problem="exit status $status, expected $2"
    for stream in out err; do
        file=$out pattern=$3
        [ "$stream" = err ] && file=$err pattern=$4
        if [ -z "$pattern" ]; then
            [ ! -s "$file" ] || problem="$problem; standard $stream is not empty"
        else
            grep -q -- "$pattern" "$file" || problem="$problem; standard $stream lacks '$pattern'"
        fi
    done
    lines=$(wc -l <"$err")
    [ "$lines" -eq "$5" ] || problem="$problem; standard error has $lines lines, not $5"
    if [ -n "$problem" ]; then
        echo "FAILED: kavenna $1: ${problem#; }"
        sed 's/^/  stdout: /' "$out"
        sed 's/^/  stderr: /' "$err"
        fail=1
    else
        echo "ok: kavenna $1"
    fi
}

usage="^Usage: kavenna \[--software\] \[--scale N\] \[--speech\] \[--language LL\] \[--help\] \[--version\]$"
check "" 1 "" "window could not be opened" 1
check "--software" 1 "" "window could not be opened" 1
check "--help" 0 "$usage" "" 0
check "-h" 0 "--software .*software renderer" "" 0
check "--software --help" 0 "$usage" "" 0
check "--version" 0 "^kavenna [0-9][0-9.]*$" "" 0
check "-V" 0 "^kavenna [0-9][0-9.]*$" "" 0
check "--vers" 0 "^kavenna [0-9][0-9.]*$" "" 0
check "--bogus" 2 "" "unrecognized option '--bogus'" 2
check "--bogus" 2 "" "$usage" 2
check "-x" 2 "" "$usage" 2
check "--help=yes" 2 "" "$usage" 2
check "stray" 2 "" "unexpected argument 'stray'" 2
check "--software stray" 2 "" "$usage" 2
check "--scale 2" 1 "" "window could not be opened" 1
check "--scale=1 --software" 1 "" "window could not be opened" 1
check "--scale 3" 2 "" "invalid scale '3'" 2
check "--scale 0" 2 "" "$usage" 2
check "--scale 2.0" 2 "" "invalid scale '2.0'" 2
check "--scale" 2 "" "requires an argument" 2
check "-h" 0 "--scale N .*1 or 2" "" 0

check "--language de --version" 0 "^kavenna [0-9][0-9.]*$" "" 0
check "-h" 0 "--language LL" "" 0

# answer ENVIRONMENT ARGUMENTS: what the game writes, both streams.
answer() {
    # shellcheck disable=SC2086
    env -u DISPLAY -u WAYLAND_DISPLAY -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG $1 \
        "$game" $2 2>&1
}
same() {
    if [ "$(answer "$2" "$3")" = "$(answer "$4" "$5")" ]; then
        echo "ok: $1"
    else
        echo "FAILED: $1: '$2 kavenna $3' and '$4 kavenna $5' differ"
        fail=1
    fi
}
differ() {
    if [ "$(answer "$2" "$3")" != "$(answer "$4" "$5")" ]; then
        echo "ok: $1"
    else
        echo "FAILED: $1: '$2 kavenna $3' answers in English"
        fail=1
    fi
}
for args in "--help" "--version" "--scale 3" "stray"; do
    differ "German from LANGUAGE: $args" "LC_ALL=C.UTF-8 LANGUAGE=de" "$args" "LC_ALL=C" "$args"
    differ "Russian from LANG: $args" "LANG=ru_RU.UTF-8" "$args" "LC_ALL=C" "$args"
    same "--language beats the environment: $args" "LC_ALL=C" "--language de $args" \
        "LC_ALL=C.UTF-8 LANGUAGE=ru" "--language=de $args"
    same "the C locale is English whatever LANGUAGE says: $args" "LC_ALL=C LANGUAGE=de" "$args" \
        "" "$args"
    same "a language without a catalogue is English: $args" "LC_ALL=C.UTF-8 LANGUAGE=tlh" \
        "$args" "LC_ALL=C" "$args"
    same "--language en is English: $args" "LANG=de_DE.UTF-8" "--language en $args" \
        "LC_ALL=C" "$args"
done

# An answer that cannot be written is no success.
env -u DISPLAY LC_ALL=C "$game" --help >/dev/full 2>"$err"
status=$?
if [ "$status" -eq 1 ] && [ -s "$err" ]; then
    echo "ok: kavenna --help >/dev/full"
else
    echo "FAILED: kavenna --help >/dev/full: status $status, stderr: $(cat "$err")"
    fail=1
fi
exit $fail
