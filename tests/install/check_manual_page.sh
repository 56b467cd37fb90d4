#!/bin/sh
# Formats the installed manual page the way lintian does and fails on any
# warning from man or groff.
# Usage: check_manual_page.sh PAGE.6.gz
set -eu
page=$1
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
    echo "check_manual_page: $page:" >&2
    echo "$warnings" >&2
    exit 1
fi
LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" | sed -n '1,/^DESCRIPTION/p'
