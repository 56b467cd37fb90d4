#!/bin/sh
# The source package, built and built from as a distribution would.
#   tarball: `package_source` makes kavenna-VERSION.tar.gz, one folder
#     holding the top-level CMakeLists.txt, the translations (po/LINGUAS,
#     the template, each catalogue) and (in a git work tree) exactly
#     the files git tracks; unpacked, it configures with tests off and
#     clang-format and valgrind out of reach, builds, and makes the .deb,
#     which carries each catalogue compiled.
#   again: the same tarball unpacked elsewhere (a folder name with a
#     space), its files a day older, built and packaged under umask 002,
#     another locale and time zone, must give the very same .deb bytes;
#     its directories are 0755 and its files 0644 or 0755.
# Usage: source_package.sh tarball|again BUILD_DIR SOURCE_DIR SCRATCH VERSION
set -eu
mode=$1
build=$2
source=$3
scratch=$4
version=$5
here=$(cd "$(dirname "$0")" && pwd)
. "$here/hidden_tools.sh"
. "$here/need.sh"
need dpkg-shlibdeps dpkg-dev
name="kavenna-$version"
status=0
fail() { echo "source_package: $*" >&2; status=1; }

# Unpacks the tarball into FOLDER (its files dated DATE, if given), builds
# the game there with tests off and makes its .deb, with the test tools
# out of reach.
build_from_tarball() {
    folder=$1
    rm -rf "$folder"
    mkdir -p "$folder"
    tar -xzf "$scratch/out/$name.tar.gz" -C "$folder" 2>"$folder/unpack.log" ||
        { cat "$folder/unpack.log"; return 1; }
    tree="$folder/$name"
    if [ -n "${2:-}" ]; then
        find "$tree" -exec touch -h -d "$2" {} +
    fi
    hide_test_tools "$scratch/tools"
    PATH="$HIDDEN_PATH" cmake -S "$tree" -B "$tree/build" -DBUILD_TESTING=OFF \
        "-DCMAKE_IGNORE_PATH=$HIDDEN_IGNORE" >"$folder/configure.log" 2>&1 ||
        { cat "$folder/configure.log"; return 1; }
    PATH="$HIDDEN_PATH" cmake --build "$tree/build" -j2 >"$folder/build.log" 2>&1 ||
        { tail -40 "$folder/build.log"; return 1; }
    PATH="$HIDDEN_PATH" cmake --build "$tree/build" --target package >"$folder/package.log" 2>&1 ||
        { cat "$folder/package.log"; return 1; }
    # Files dated in the future would have make rebuild and warn of skew.
    if grep -h "in the future" "$folder/unpack.log" "$folder/build.log"; then
        echo "source_package: the tarball's files are dated in the future" >&2
        return 1
    fi
    set -- "$tree/build"/kavenna_*.deb
    [ -f "$1" ] || { echo "source_package: no .deb in $tree/build" >&2; return 1; }
    cp "$1" "$folder/kavenna.deb"
}

if [ "$mode" = tarball ]; then
    rm -rf "$scratch"
    mkdir -p "$scratch"
    cpack --config "$build/CPackSourceConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
        { cat "$scratch/cpack.log"; exit 1; }
    tarball="$scratch/out/$name.tar.gz"
    [ -f "$tarball" ] || { echo "source_package: package_source made no $name.tar.gz" >&2; exit 1; }
    tar -tzf "$tarball" >"$scratch/members"
    outside=$(grep -v "^$name/" "$scratch/members" || true)
    [ -z "$outside" ] || fail "members outside $name/: $(echo "$outside" | head -5)"
    grep -qx "$name/CMakeLists.txt" "$scratch/members" || fail "no $name/CMakeLists.txt"
    if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        sed -n "s|^$name/||p" "$scratch/members" | grep -v '/$' | sort >"$scratch/packed"
        (cd "$source" && git ls-files | while read -r file; do
            [ -e "$file" ] && echo "$file"
        done) | sort >"$scratch/tracked"
        if ! diff "$scratch/tracked" "$scratch/packed" >"$scratch/difference"; then
            fail "the tarball does not hold exactly the tracked files (< tracked, > packed):"
            head -20 "$scratch/difference" >&2
        fi
    fi
    languages=$(grep -v '^#' "$source/po/LINGUAS")
    for file in po/LINGUAS po/kavenna.pot $(for l in $languages; do echo "po/$l.po"; done); do
        grep -qx "$name/$file" "$scratch/members" || fail "no $name/$file in the tarball"
    done
    echo "source_package: $tarball: $(wc -l <"$scratch/members") members, all below $name/"
    (umask 022 && LC_ALL=C TZ=UTC0 build_from_tarball "$scratch/a") || fail "building from the tarball failed"
    if [ -f "$scratch/a/kavenna.deb" ]; then
        dpkg-deb -c "$scratch/a/kavenna.deb" >"$scratch/a/listing"
        for language in $languages; do
            grep -q " \./usr/share/locale/$language/LC_MESSAGES/kavenna\.mo$" "$scratch/a/listing" ||
                fail "the package built from the tarball has no $language catalogue"
        done
    fi
    exit "$status"
fi

[ "$mode" = again ] || { echo "source_package: no mode $mode" >&2; exit 2; }
first="$scratch/a/kavenna.deb"
[ -f "$first" ] || { echo "source_package: no first .deb at $first" >&2; exit 1; }
second="$scratch/b c"
(umask 002 && LC_ALL=C.UTF-8 TZ=JST-9 build_from_tarball "$second" "25 hours ago") ||
    { echo "source_package: building the second time failed" >&2; exit 1; }

# Under umask 002 cpack's own files and folders come out group-writable.
dpkg-deb -c "$second/kavenna.deb" >"$scratch/listing"
odd=$(awk '!($1 == "drwxr-xr-x" || $1 == "-rw-r--r--" || $1 == "-rwxr-xr-x") {print $1, $6}' \
    "$scratch/listing")
[ -z "$odd" ] || fail "members with other modes than 0755 and 0644 under umask 002: $odd"
odd=$(ar tv "$second/kavenna.deb" | grep -v '^rw-r--r-- 0/0 ' || true)
[ -z "$odd" ] || fail "package parts with other modes than 0644 under umask 002: $odd"

if cmp "$first" "$second/kavenna.deb"; then
    echo "source_package: both builds gave the same package, $(sha256sum <"$first" | cut -c1-16)..."
else
    fail "the two builds gave different packages"
    for deb in "$first" "$second/kavenna.deb"; do
        rm -rf "$deb.tree"
        dpkg-deb -R "$deb" "$deb.tree"
        dpkg-deb -c "$deb" | awk '{print $1, $2, $3, $6}' >"$deb.listing"
    done
    diff "$first.listing" "$second/kavenna.deb.listing" >&2 || true
    diff -r "$first.tree" "$second/kavenna.deb.tree" >&2 || true
fi
exit "$status"
