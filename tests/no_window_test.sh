#!/bin/sh
# Without any display the game cannot open a window: it must say so in one
# line on standard error, print nothing on standard output, and exit 1.
set -u
game=$1
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY "$game" >"$out" 2>"$err"
status=$?
fail=0
[ "$status" -eq 1 ] || { echo "exit status $status, expected 1"; fail=1; }
[ ! -s "$out" ] || { echo "standard output was not empty:"; cat "$out"; fail=1; }
lines=$(wc -l <"$err")
[ "$lines" -eq 1 ] || { echo "standard error has $lines lines:"; cat "$err"; fail=1; }
grep -q "window could not be opened" "$err" || { echo "no word of the window on standard error"; fail=1; }
exit $fail
