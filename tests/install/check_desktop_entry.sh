#!/bin/sh
# Validates the installed desktop entry and checks that what it starts and
# shows exists in the same installed tree: the command on the games folder,
# named so that a desktop finds it, and an icon of that name in the
# hicolor theme; and that it carries every language of po/LINGUAS.
# Usage: check_desktop_entry.sh PREFIX GAMES_DIR SHARE_DIR LINGUAS
set -eu
prefix=$1
games=$2
share=$3
linguas=$4
. "$(dirname "$0")/need.sh"
need desktop-file-validate desktop-file-utils
need_python gi python3-gi
entry="$prefix/$share/applications/org.example.kavenna.desktop"
desktop-file-validate "$entry"

value() { sed -n "s/^$1=//p" "$entry"; }
status=0
# What a desktop in English reads, whatever language this test runs in.
english() { env -u LANGUAGE LC_ALL=C.UTF-8 "$@"; }
# The program a desktop starts, read from Exec= the way GLib reads it.
command=$(english /usr/bin/python3 -c 'import sys, gi
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
speech=$(english /usr/bin/python3 -c 'import sys, gi
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
# In each language: the game's name as it is, the other texts translated,
# search words ending in ';' as the format wants; the same command.
languages=$(grep -v '^#' "$linguas" | tr -s ' \t' '\n\n')
untranslated=$(/usr/bin/python3 -c 'import sys, gi
gi.require_version("GLib", "2.0")
from gi.repository import GLib
keys = GLib.KeyFile()
keys.load_from_file(sys.argv[1], GLib.KeyFileFlags.KEEP_TRANSLATIONS)
texts = [("Desktop Entry", key) for key in ("GenericName", "Comment", "Keywords")]
texts.append(("Desktop Action speech", "Name"))
for language in sys.argv[2:]:
    if keys.get_locale_string("Desktop Entry", "Name", language) != "Kavenna":
        print("%s: the name is not Kavenna" % language)
    for group, key in texts:
        if keys.get_locale_string(group, key, language) == keys.get_string(group, key):
            print("%s: %s %s is not translated" % (language, group, key))
for group in keys.get_groups()[0]:
    for key in keys.get_keys(group)[0]:
        if key.startswith("Keywords[") and not keys.get_value(group, key).endswith(";"):
            print("%s does not end in ;" % key)
        if key.startswith("Exec["):
            print("%s: a translated command" % key)' "$entry" $languages)
if [ -n "$untranslated" ]; then
    echo "$untranslated" | sed 's/^/check_desktop_entry: /' >&2
    status=1
fi
icon=$(value Icon)
if ! ls "$prefix/$share/icons/hicolor/"*/apps/"$icon.png" >/dev/null 2>&1; then
    echo "check_desktop_entry: no hicolor icon named '$icon'" >&2
    status=1
fi
[ "$status" -eq 0 ] && echo "check_desktop_entry: valid; starts $command, shows icon $icon;" \
    "translated into" $languages
exit "$status"
