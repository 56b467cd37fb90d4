#!/bin/sh
# Installs the Debian package with apt-get (which resolves its
# dependencies), starts the installed game once from / under Xvfb, then
# removes the package and checks nothing of it is left. Needs root: exits
# 77, which ctest reports as skipped, otherwise or when a kavenna package
# is already installed (the test would replace and then remove it).
# Usage: deb_apt.sh DEB_DIR SPLASH_PNG SEND_CLOSE
set -eu
dir=$1
splash=$2
send_close=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/need.sh"
need_window_tools
if [ "$(id -u)" -ne 0 ]; then
    echo "deb_apt: installing a package needs root; skipped"
    exit 77
fi
set -- "$dir"/kavenna_*.deb
deb=$(readlink -f "$1")

# Two test runs on one machine must not install and remove under each other.
exec 9>/tmp/kavenna-package-test.lock
flock 9

installed() { dpkg-query -W -f='${Status}' kavenna 2>/dev/null | grep -q ' installed$'; }
if installed; then
    echo "deb_apt: a kavenna package is already installed; remove it" \
         "(apt-get remove kavenna) to run this test; skipped"
    exit 77
fi

apt() {
    DEBIAN_FRONTEND=noninteractive apt-get -q -y -o DPkg::Lock::Timeout=300 "$@"
}
# shellcheck disable=SC2317 # called by the trap
cleanup() {
    if installed; then
        apt remove --purge kavenna >/dev/null 2>&1 || true
    fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM

apt install --no-install-recommends "$deb"
status=0
/usr/bin/python3 -B "$here/run_check.py" --splash "$splash" --expect splash \
    --send-close "$send_close" --cwd / --path /usr/games \
    --desktop-entry /usr/share/applications/org.example.kavenna.desktop \
    --artifacts "$dir/installed-package" -- kavenna || status=1

apt remove --purge kavenna
for path in /usr/games/kavenna /usr/libexec/kavenna /usr/share/games/kavenna \
            /usr/share/doc/kavenna /usr/share/applications/org.example.kavenna.desktop; do
    if [ -e "$path" ]; then
        echo "deb_apt: $path is left after removing the package" >&2
        status=1
    fi
done
if installed; then
    echo "deb_apt: the package is still installed" >&2
    status=1
fi
exit "$status"
