#!/bin/sh
# Validates the installed desktop entry and checks that what it starts and
# shows exists in the same installed tree: the command on the games folder,
# named so that a desktop finds it, and an icon of that name in the
# hicolor theme.
# Usage: check_desktop_entry.sh PREFIX GAMES_DIR SHARE_DIR
set -eu
prefix=$1
games=$2
share=$3
. "$(dirname "$0")/need.sh"
need desktop-file-validate desktop-file-utils
need_python gi python3-gi
entry="$prefix/$share/applications/org.example.kavenna.desktop"
desktop-file-validate "$entry"

value() { sed -n "s/^$1=//p" "$entry"; }
status=0
# The program a desktop starts, read from Exec= the way GLib reads it.
command=$(/usr/bin/python3 -c 'import sys, gi
gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib
entry = Gio.DesktopAppInfo.new_from_filename(sys.argv[1])
print(GLib.shell_parse_argv(entry.get_commandline())[1][0])' "$entry")
# A desktop session's PATH holds only the system folders; for any other
# prefix the entry must name the command in full.
case "$command" in
    /*) wanted="$prefix/$games/kavenna" ;;
    *) case "$prefix/$games" in
           /usr/games | /usr/local/games | /usr/bin | /usr/local/bin) wanted=kavenna ;;
           *) wanted="$prefix/$games/kavenna, in full" ;;
       esac ;;
esac
if [ "$command" != "$wanted" ] || [ ! -x "$prefix/$games/kavenna" ]; then
    echo "check_desktop_entry: Exec starts '$command', not $wanted" >&2
    status=1
fi
# "Play with speech" starts the same command with --speech.
speech=$(/usr/bin/python3 -c 'import sys, gi
gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib
entry = Gio.DesktopAppInfo.new_from_filename(sys.argv[1])
keys = GLib.KeyFile()
keys.load_from_file(sys.argv[1], GLib.KeyFileFlags.NONE)
exec_line = keys.get_string("Desktop Action speech", "Exec")
print(entry.get_action_name("speech"), *GLib.shell_parse_argv(exec_line)[1], sep="|")' "$entry")
if [ "$speech" != "Play with speech|$command|--speech" ]; then
    echo "check_desktop_entry: the speech action is '$speech', not 'Play with speech|$command|--speech'" >&2
    status=1
fi
icon=$(value Icon)
if ! ls "$prefix/$share/icons/hicolor/"*/apps/"$icon.png" >/dev/null 2>&1; then
    echo "check_desktop_entry: no hicolor icon named '$icon'" >&2
    status=1
fi
[ "$status" -eq 0 ] && echo "check_desktop_entry: valid; starts $command, shows icon $icon"
exit "$status"
