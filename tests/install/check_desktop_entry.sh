#!/bin/sh
# Validates the installed desktop entry and checks that what it starts and
# shows exists in the same installed tree: the command on the games folder
# and an icon of that name in the hicolor theme.
# Usage: check_desktop_entry.sh PREFIX GAMES_DIR SHARE_DIR
set -eu
prefix=$1
games=$2
share=$3
entry="$prefix/$share/applications/org.example.kavenna.desktop"
desktop-file-validate "$entry"

value() { sed -n "s/^$1=//p" "$entry"; }
status=0
command=$(value Exec | cut -d' ' -f1)
if [ ! -x "$prefix/$games/$command" ]; then
    echo "check_desktop_entry: Exec names '$command', not installed in $games" >&2
    status=1
fi
icon=$(value Icon)
if ! ls "$prefix/$share/icons/hicolor/"*/apps/"$icon.png" >/dev/null 2>&1; then
    echo "check_desktop_entry: no hicolor icon named '$icon'" >&2
    status=1
fi
[ "$status" -eq 0 ] && echo "check_desktop_entry: valid; starts $games/$command, shows icon $icon"
exit "$status"
