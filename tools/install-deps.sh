#!/bin/sh
# Installs the Debian packages the game needs to build (and, with "test",
# to run every test). As root it uses apt-get; otherwise it prints the
# exact command to run and stops.
set -eu

BUILD_PACKAGES="cmake make g++ python3 libirrlicht-dev libx11-dev libzip-dev zlib1g-dev libpng-dev libjpeg-dev libexpat1-dev gettext python3-pil fonts-dejavu-core"
TEST_PACKAGES="libgtest-dev clang-format valgrind xvfb xdotool x11-apps x11-utils openbox libgl1-mesa-dri libxtst6 desktop-file-utils appstream dpkg-dev man-db zip libarchive-tools p7zip-full python3-gi gir1.2-glib-2.0"

packages=$BUILD_PACKAGES
if [ "${1:-}" = "test" ]; then
    packages="$packages $TEST_PACKAGES"
fi

missing=""
for package in $packages; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    case "$status" in
        *" installed") ;;
        *) missing="$missing $package" ;;
    esac
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Some packages are missing. Install them with:" >&2
    echo "  sudo apt-get install -y$missing" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
# A fresh machine may have no package lists yet.
apt-get update -q
# shellcheck disable=SC2086
apt-get install -y -q --no-install-recommends $missing
