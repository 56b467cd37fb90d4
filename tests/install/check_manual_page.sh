#!/bin/sh
# Formats the installed manual page the way lintian does and fails on any
# warning from man or groff, or when it leaves out an option the installed
# command's --help names.
# Usage: check_manual_page.sh PAGE.6.gz COMMAND
set -eu
page=$1
. "$(dirname "$0")/need.sh"
need man man-db
command=$2
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
    echo "check_manual_page: $page:" >&2
    echo "$warnings" >&2
    exit 1
fi
text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page")
options=$("$command" --help | grep -o -- '--[a-z][a-z-]*' | sort -u)
[ -n "$options" ] || { echo "check_manual_page: $command --help names no options" >&2; exit 1; }
for option in $options; do
    if ! printf '%s\n' "$text" | sed -n '/^OPTIONS/,/^[A-Z]/p' | grep -E -q -- "^ +(-[A-Za-z], )?$option( |$)"; then
        echo "check_manual_page: OPTIONS does not describe $option" >&2
        exit 1
    fi
done
printf '%s\n' "$text" | sed -n '1,/^DESCRIPTION/p'
echo "check_manual_page: OPTIONS describes" $options
