# Sourced by the install tests. Each exits 77, which ctest reports as
# skipped, saying why, when something the test needs is not installed.
#   need PROGRAM PACKAGE   the program, from that Debian package
#   need_window_tools      what tests/xwindow's harness needs
need() {
    command -v "$1" >/dev/null 2>&1 || { echo "skipped: $1 (Debian's $2) is not installed"; exit 77; }
}
need_python() {
    /usr/bin/python3 -c "import $1" 2>/dev/null ||
        { echo "skipped: /usr/bin/python3 cannot import $1 (Debian's $2)"; exit 77; }
}
need_window_tools() {
    need Xvfb xvfb
    need xdotool xdotool
    need xwd x11-apps
    need_python PIL python3-pil
}
