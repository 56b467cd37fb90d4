#!/bin/sh
# Checks the Debian package: its control fields (dependencies found by
# dpkg-shlibdeps, section games, a maintainer), a changelog whose newest
# entry is the package's version and, unpacked, the same installed tree as
# a prefix install, with a stripped program that names no build-tree
# folder.
# Usage: check_deb.sh DEB_DIR VERSION CHECK_LAYOUT_ARGS...
set -eu
dir=$1
version=$2
shift 2
set -- "$dir"/kavenna_*.deb "$@"
deb=$1
shift

status=0
field() { dpkg-deb -f "$deb" "$1"; }
expect() {
    # shellcheck disable=SC2254 # $2 is a pattern on purpose
    case "$(field "$1")" in
        $2) ;;
        *) echo "check_deb: $1 is '$(field "$1")', not $2" >&2; status=1 ;;
    esac
}
expect Package kavenna
expect Version "$version-1"
expect Section games
expect Priority optional
expect Maintainer "?*<?*@?*>"
expect Homepage "https://kavenna.example.org/"
# Only dpkg-shlibdeps writes these, from the libraries the program links.
expect Depends "*libirrlicht1.8 (>= *"
expect Depends "*libzip4*"
expect Depends "*libc6 (>= *"
expect Description "pair-matching game*"
dpkg-deb -I "$deb" control

tree="$dir/unpacked"
rm -rf "$tree"
dpkg-deb -x "$deb" "$tree"
if [ "$(ls "$tree")" != "usr" ]; then
    echo "check_deb: the package installs outside /usr: $(ls "$tree")" >&2
    status=1
fi
python3 "$(dirname "$0")/check_layout.py" --root "$tree/usr" --packaged "$@" || status=1

changelog="$tree/usr/share/doc/kavenna/changelog.Debian.gz"
if [ -f "$changelog" ]; then
    gzip -dc "$changelog" >"$dir/changelog"
    newest=$(dpkg-parsechangelog -l "$dir/changelog" -S Version)
    if [ "$newest" != "$version-1" ]; then
        echo "check_deb: the changelog's newest entry is $newest, the package $version-1" >&2
        status=1
    fi
fi
exit "$status"
