#!/bin/sh
# Checks the Debian package: its control fields (dependencies found by
# dpkg-shlibdeps, section games, a maintainer, the recommended browser
# launcher and speech service), an upstream and a Debian
# changelog whose newest entries are the package's version and, unpacked,
# the tree a prefix install makes (with Debian's copyright file and
# changelog in place of the licence texts and the uninstall script), with
# a stripped program that names no build-tree
# folder and carries Debian's hardening (read-only relocations bound at
# start, a stack protector, fortified calls).
# Usage: check_deb.sh DEB_DIR VERSION CHECK_LAYOUT_ARGS...
set -eu
dir=$1
version=$2
. "$(dirname "$0")/need.sh"
need dpkg-parsechangelog dpkg-dev
need readelf binutils
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
expect Depends "*libpng16-16*"
expect Depends "*libjpeg62-turbo*"
expect Depends "*libc6 (>= *"
expect Description "pair-matching game*"
# What the game uses when it is there: the browser launcher and speech.
expect Recommends "*xdg-utils*"
expect Recommends "*speech-dispatcher*"
dpkg-deb -I "$deb" control

tree="$dir/unpacked"
rm -rf "$tree"
dpkg-deb -x "$deb" "$tree"
if [ "$(ls "$tree")" != "usr" ]; then
    echo "check_deb: the package installs outside /usr: $(ls "$tree")" >&2
    status=1
fi
python3 "$(dirname "$0")/check_layout.py" --root "$tree/usr" --packaged "$@" || status=1

hardened() {
    readelf -lW "$1" | grep -q GNU_RELRO || echo "no read-only relocations"
    readelf -dW "$1" | grep -q BIND_NOW || echo "relocations bound lazily"
    symbols=$(readelf --dyn-syms -W "$1")
    echo "$symbols" | grep -q __stack_chk_fail || echo "no stack protector"
    echo "$symbols" | grep -q '__[a-z]*_chk' || echo "no fortified calls"
}
programs=0
for file in $(find "$tree" -type f -name kavenna); do
    [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
    programs=$((programs + 1))
    problems=$(hardened "$file")
    if [ -n "$problems" ]; then
        echo "$problems" | sed "s|^|check_deb: ${file#"$tree"}: |" >&2
        status=1
    fi
done
if [ "$programs" != 1 ]; then
    echo "check_deb: $programs programs named kavenna in the package, not 1" >&2
    status=1
fi

# The upstream changelog's newest release is the package's version.
newest=$(gzip -dc "$tree/usr/share/doc/kavenna/changelog.gz" | grep -m 1 '^[0-9]' | cut -d' ' -f1)
if [ "$newest" != "$version" ]; then
    echo "check_deb: the upstream changelog's newest release is $newest, the package $version" >&2
    status=1
fi
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
