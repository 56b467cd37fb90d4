#!/bin/sh
# Installs the built game where a player would and uninstalls it the way
# the README says, checking that nothing of the game is left.
#   prefixes: a prefix with spaces; /usr/local staged with DESTDIR; both
#     uninstalled with <prefix>/libexec/kavenna/uninstall after
#     `--target package` has installed elsewhere in between.
#   per-user: --prefix ~/.local in a fresh home folder: the entry is valid,
#     a desktop's menu finds it and starts the game from it under Xvfb;
#     afterwards no file is left in the home folder.
#   root-then-user: (as root) `sudo cmake --install`, then an install by
#     the build tree's owner succeeds; skipped (77) unless run as root.
#   system: (as root, KAVENNA_HOST_TESTS) installs into /usr/local, starts
#     `kavenna` found on PATH from / and uninstalls.
# Usage: uninstall.sh MODE BUILD_DIR SCRATCH SPLASH SEND_CLOSE
set -eu
mode=$1
build=$2
scratch=$3
splash=$4
send_close=$5
here=$(cd "$(dirname "$0")" && pwd)
uninstaller=libexec/kavenna/uninstall
. "$here/need.sh"
status=0
fail() { echo "uninstall: $*" >&2; status=1; }

install_to() {
    cmake --install "$build" --prefix "$1" >"$scratch/install.log" 2>&1 ||
        { cat "$scratch/install.log" >&2; return 1; }
}
# Fails unless ROOT holds no file and no folder of the game.
nothing_left() {
    left=$(find "$1" \( -type f -o -type l -o -name '*kavenna*' \) -print)
    [ -z "$left" ] || fail "left in $1 after uninstalling: $(echo "$left" | head -5)"
}
start_screen_check() {
    name=$1
    shift
    /usr/bin/python3 -B "$here/run_check.py" --splash "$splash" --expect splash \
        --send-close "$send_close" --artifacts "$scratch/$name-screens" "$@"
}

rm -rf "$scratch"
mkdir -p "$scratch"
case $mode in
prefixes)
    need dpkg-shlibdeps dpkg-dev
    spaced="$scratch/games for me/pairs 1"
    install_to "$spaced"
    staged="$scratch/stage"
    DESTDIR=$staged cmake --install "$build" --prefix /usr/local >"$scratch/staged.log" 2>&1 ||
        { cat "$scratch/staged.log"; exit 1; }
    # The package build installs too; the uninstall must not care.
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/deb" >/dev/null
    "$spaced/$uninstaller" || fail "uninstalling from '$spaced' failed"
    nothing_left "$spaced"
    "$staged/usr/local/$uninstaller" || fail "uninstalling from $staged/usr/local failed"
    nothing_left "$staged"
    ;;
per-user)
    need desktop-file-validate desktop-file-utils
    need_python gi python3-gi
    need_window_tools
    home="$scratch/home"
    mkdir -p "$home"
    install_to "$home/.local"
    entry="$home/.local/share/applications/org.example.kavenna.desktop"
    desktop-file-validate "$entry" || fail "the desktop entry is not valid"
    start_screen_check menu --desktop-entry "$entry" --cwd "$home" \
        -- /usr/bin/python3 -B "$here/launch_as_desktop.py" "$home" org.example.kavenna.desktop ||
        fail "the menu entry did not start the game"
    HOME=$home "$home/.local/$uninstaller" || fail "uninstalling from ~/.local failed"
    # The game's renderer may keep a shader cache in ~/.cache: not ours.
    nothing_left "$home/.local"
    ;;
root-then-user)
    if [ "$(id -u)" -ne 0 ]; then
        echo "uninstall: installing as root and then as a user needs root; skipped"
        exit 77
    fi
    # The build tree from the source package test, handed to nobody.
    tree=$build
    chown -R 65534:65534 "$tree"
    # As after a first `sudo cmake --install`: no manifest yet.
    rm -f "$tree"/install_manifest*.txt
    as_user() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
    install_to "$scratch/root" || fail "installing as root failed"
    mkdir -p "$scratch/user"
    chown 65534:65534 "$scratch/user"
    ls -l "$tree/install_manifest.txt"
    as_user cmake --install "$tree" --prefix "$scratch/user/prefix" >"$scratch/user.log" 2>&1 ||
        { cat "$scratch/user.log"; fail "installing as the build tree's owner after root failed"; }
    as_user "$scratch/user/prefix/$uninstaller" || fail "uninstalling as the user failed"
    nothing_left "$scratch/user/prefix"
    "$scratch/root/$uninstaller" || fail "uninstalling as root failed"
    nothing_left "$scratch/root"
    ;;
system)
    if [ "$(id -u)" -ne 0 ]; then
        echo "uninstall: installing into /usr/local needs root; skipped"
        exit 77
    fi
    if [ -e /usr/local/games/kavenna ] || [ -e /usr/local/libexec/kavenna ]; then
        echo "uninstall: kavenna is installed in /usr/local already; skipped"
        exit 77
    fi
    need_window_tools
    exec 9>/tmp/kavenna-package-test.lock
    flock 9
    find /usr/local ! -type d | sort >"$scratch/before"
    install_to /usr/local
    start_screen_check system --cwd / -- env PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games kavenna ||
        fail "kavenna on PATH did not start"
    /usr/local/$uninstaller || fail "uninstalling from /usr/local failed"
    find /usr/local ! -type d | sort >"$scratch/after"
    diff "$scratch/before" "$scratch/after" >&2 || fail "files in /usr/local differ from before"
    left=$(find /usr/local -name '*kavenna*')
    [ -z "$left" ] || fail "left in /usr/local: $left"
    ;;
*)
    echo "uninstall: no mode $mode" >&2
    exit 2
    ;;
esac
[ "$status" -eq 0 ] && echo "uninstall: $mode: nothing of the game is left"
exit "$status"
