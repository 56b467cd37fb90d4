#!/bin/sh
# Validates the installed AppStream metainfo offline and checks that it
# agrees with the rest of the install: the desktop entry it launches, the
# command it provides, the project's version as its newest release, and
# the catalogue it names, installed for every language of po/LINGUAS,
# whose translations it carries.
# Usage: check_metainfo.sh PREFIX GAMES_DIR SHARE_DIR VERSION LOCALE_DIR LINGUAS
set -eu
prefix=$1
games=$2
share=$3
version=$4
locale=$5
linguas=$6
. "$(dirname "$0")/need.sh"
need appstreamcli appstream
metainfo="$prefix/$share/metainfo/org.example.kavenna.metainfo.xml"
appstreamcli validate --no-net "$metainfo"

status=0
launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
if [ -z "$launchable" ] || [ ! -f "$prefix/$share/applications/$launchable" ]; then
    echo "check_metainfo: launchable '$launchable' is not an installed desktop entry" >&2
    status=1
fi
binary=$(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo")
if [ -z "$binary" ] || [ ! -x "$prefix/$games/$binary" ]; then
    echo "check_metainfo: provided binary '$binary' is not installed in $games" >&2
    status=1
fi
newest=$(sed -n 's|.*<release version="\([^"]*\)".*|\1|p' "$metainfo" | head -n 1)
if [ "$newest" != "$version" ]; then
    echo "check_metainfo: newest release is '$newest', the project is at $version" >&2
    status=1
fi
# Each language has a summary, every paragraph and every caption.
languages=$(grep -v '^#' "$linguas" | tr -s ' \t' '\n\n')
domain=$(sed -n 's|.*<translation type="gettext">\(.*\)</translation>.*|\1|p' "$metainfo")
for language in $languages; do
    if [ ! -f "$prefix/$locale/$language/LC_MESSAGES/$domain.mo" ]; then
        echo "check_metainfo: no $language catalogue '$domain' installed" >&2
        status=1
    fi
done
untranslated=$(/usr/bin/python3 -c 'import sys
from xml.etree import ElementTree
component = ElementTree.parse(sys.argv[1]).getroot()
lang = "{http://www.w3.org/XML/1998/namespace}lang"
for path in ("summary", "description/p", "screenshots/screenshot/caption", "developer_name"):
    english = [e for e in component.findall(path) if lang not in e.attrib]
    for language in sys.argv[2:]:
        translated = [e for e in component.findall(path) if e.get(lang) == language]
        if len(translated) != len(english):
            print("%s: %d of %d %s translated" % (language, len(translated), len(english), path))
if [e.text for e in component.findall("name")] != ["Kavenna"]:
    print("the name is translated")' "$metainfo" $languages)
if [ -n "$untranslated" ]; then
    echo "$untranslated" | sed 's/^/check_metainfo: /' >&2
    status=1
fi
[ "$status" -eq 0 ] && echo "check_metainfo: valid; launches $launchable, release $newest;" \
    "catalogue $domain, translated into" $languages
exit "$status"
