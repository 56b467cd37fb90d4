#!/bin/sh
# Validates the installed AppStream metainfo offline and checks that it
# agrees with the rest of the install: the desktop entry it launches, the
# command it provides and the project's version as its newest release.
# Usage: check_metainfo.sh PREFIX GAMES_DIR SHARE_DIR VERSION
set -eu
prefix=$1
games=$2
share=$3
version=$4
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
[ "$status" -eq 0 ] && echo "check_metainfo: valid; launches $launchable, release $newest"
exit "$status"
