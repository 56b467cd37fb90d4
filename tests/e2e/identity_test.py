#!/usr/bin/python3
"""The window as the desktop sees it, on a fresh X server with no window
manager: by the time it has its title it carries WM_CLASS ("kavenna",
"Kavenna"), _NET_WM_PID, WM_CLIENT_MACHINE, size hints holding it at
800x500 and WM_PROTOCOLS with WM_DELETE_WINDOW, and soon after (once the
pictures are loaded) _NET_WM_ICON with data/icon-N.png at 16, 32, 48, 64
and 128 pixels, pixel for pixel. Then openbox starts, as
a desktop's autostart may start it after the game: it reads the class,
refuses a resize, and its close request (as a task bar sends it) ends
the game with exit code 0 and nothing on standard output.

With --window-manager-first openbox runs before the game starts, as on
any desktop: the window must be named before it is first shown, since
openbox reads the class only when it takes a window.

With --refused-icons the game starts among loose asset files where
icon-32.png is really the 256-pixel picture and icon-48.png a JPEG: the
icons are decoded like every other picture, so both are refused and the
other three sizes remain.

The renderer is checked from outside: with OpenGL the process maps a DRI
driver, with --software (or on a server without GLX) it maps none.
"""

import os
import re
import shutil
import socket
import sys
import time

from PIL import Image

# The X server harness shared with tests/install.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "xwindow"))
from session import game_arguments, Session, TestFailure  # noqa: E402

WINDOW_SECONDS = 60
WM_SECONDS = 20
ICON_SECONDS = 10
ICON_SIDES = (16, 32, 48, 64, 128)

EXPECTED = [
    ("WM_CLASS", r'WM_CLASS\(STRING\) = "kavenna", "Kavenna"$'),
    ("WM_CLIENT_MACHINE", r'WM_CLIENT_MACHINE\(STRING\) = "%s"$' % re.escape(socket.gethostname())),
    ("WM_PROTOCOLS", r"WM_PROTOCOLS\(ATOM\): protocols  WM_DELETE_WINDOW$"),
    ("WM_NORMAL_HINTS", r"program specified minimum size: 800 by 500\n"
                        r"\s*program specified maximum size: 800 by 500$"),
]


def step(text):
    print("ok: " + text)
    sys.stdout.flush()


def identity(session):
    names = [name for name, _ in EXPECTED] + ["_NET_WM_PID"]
    seen = session.properties(*names)
    for name, pattern in EXPECTED + [("_NET_WM_PID", r"_NET_WM_PID\(CARDINAL\) = %d$"
                                      % session.process.pid)]:
        if not re.search(pattern, seen, re.MULTILINE):
            raise TestFailure("%s is not as expected; xprop says:\n%s" % (name, seen))
    step("WM_CLASS, _NET_WM_PID, WM_CLIENT_MACHINE, WM_PROTOCOLS and size hints were "
         "there when the window had its title")


def icons_in(text):
    """The pictures in an xprop line of _NET_WM_ICON: {side: [ARGB...]}."""
    match = re.search(r"_NET_WM_ICON\(CARDINAL\) = ([\d, ]+)", text)
    numbers = [int(n) for n in match.group(1).split(",")] if match else []
    icons = {}
    while len(numbers) >= 2:
        width, height = numbers[:2]
        if width != height or len(numbers) < 2 + width * height:
            raise TestFailure("a %dx%d icon in %d numbers" % (width, height, len(numbers)))
        icons[width] = numbers[2:2 + width * height]
        numbers = numbers[2 + width * height:]
    return icons


def loose_files_with_refused_icons(data_dir, folder):
    """A folder of loose asset files with two icons not what their names
    say; the sides that must remain."""
    os.makedirs(folder)
    for name in os.listdir(data_dir):
        if re.fullmatch(r"\d+\.jpg|[hw]\.jpg|[ms]\.png|f\.xml|f0\.png|icon-\d+\.png", name):
            shutil.copy(os.path.join(data_dir, name), folder)
    shutil.copy(os.path.join(data_dir, "icon-256.png"), os.path.join(folder, "icon-32.png"))
    shutil.copy(os.path.join(data_dir, "h.jpg"), os.path.join(folder, "icon-48.png"))
    return (16, 64, 128)


def icon(session, data_dir, sides):
    deadline = time.monotonic() + ICON_SECONDS
    while True:
        icons = icons_in(session.properties("_NET_WM_ICON"))
        if icons or time.monotonic() > deadline:
            break
        time.sleep(0.2)
    if sorted(icons) != list(sides):
        raise TestFailure("_NET_WM_ICON holds sides %s, not %s" % (sorted(icons), sides))
    for side in sides:
        art = Image.open(os.path.join(data_dir, "icon-%d.png" % side)).convert("RGBA")
        expected = [a << 24 | r << 16 | g << 8 | b for r, g, b, a in art.getdata()]
        if icons[side] != expected:
            wrong = sum(1 for seen, want in zip(icons[side], expected) if seen != want)
            raise TestFailure("the %d-pixel icon differs from icon-%d.png in %d pixels"
                              % (side, side, wrong))
    step("_NET_WM_ICON holds icon-N.png at %s pixels" % ", ".join(map(str, sides)))


def renderer(session, software):
    with open("/proc/%d/maps" % session.process.pid) as maps:
        drivers = sorted(set(re.findall(r"\S*/dri/\S*_dri\.so", maps.read())))
    if software and drivers:
        raise TestFailure("the software renderer was asked for, but %s is mapped" % drivers)
    if not software and not drivers:
        raise TestFailure("OpenGL was asked for, but no DRI driver is mapped")
    step("renderer: %s" % (", ".join(drivers) if drivers else "no DRI driver (software)"))


def start_window_manager(session):
    """Starts openbox and waits until it manages the screen."""
    session.start_window_manager()
    deadline = time.monotonic() + WM_SECONDS
    while b"window id" not in session.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"):
        if session.window_manager.poll() is not None:
            raise TestFailure("openbox ended with %d" % session.window_manager.returncode)
        if time.monotonic() > deadline:
            raise TestFailure("openbox did not start within %d s" % WM_SECONDS)
        time.sleep(0.2)


def closed_through_window_manager(session, send_close, when):
    deadline = time.monotonic() + WM_SECONDS
    while "_OB_APP_CLASS(" not in session.properties("_OB_APP_CLASS"):
        if session.window_manager.poll() is not None:
            raise TestFailure("openbox ended with %d" % session.window_manager.returncode)
        if time.monotonic() > deadline:
            raise TestFailure("openbox did not take the window within %d s" % WM_SECONDS)
        time.sleep(0.2)
    seen = session.properties("_OB_APP_CLASS", "_OB_APP_NAME")
    if '"Kavenna"' not in seen or '"kavenna"' not in seen:
        raise TestFailure("openbox read another class:\n%s" % seen)
    step("openbox, started %s the game, took the window as kavenna/Kavenna" % when)

    session.x("xdotool", "windowsize", session.window, "1000", "700")
    time.sleep(1.0)
    geometry = session.x("xdotool", "getwindowgeometry", session.window).decode()
    if "Geometry: 800x500" not in geometry:
        raise TestFailure("openbox let the window be resized:\n%s" % geometry)
    step("openbox keeps the window at 800x500 when asked to resize it")

    session.x(send_close, "--window-manager", session.window)
    code = session.wait_for_exit(30)
    if code != 0:
        raise TestFailure("closed through openbox, the game ended with %d; stderr: %s"
                          % (code, session.stderr()))
    if session.window_manager.poll() is not None:
        raise TestFailure("openbox ended with %d" % session.window_manager.returncode)
    step("closed through openbox: exit code 0")
    if session.stdout_text():
        raise TestFailure("standard output: %r" % session.stdout_text())
    step("nothing on standard output")


def main():
    parser = game_arguments(__doc__)
    parser.add_argument("--send-close", required=True)
    parser.add_argument("--software", action="store_true", help="start the game with --software")
    parser.add_argument("--no-glx", action="store_true", help="a server without GLX")
    parser.add_argument("--refused-icons", action="store_true",
                        help="start among loose files, two icons not what their names say")
    parser.add_argument("--window-manager-first", action="store_true",
                        help="openbox runs before the game starts")
    args = parser.parse_args()

    command = [args.game] + (["--software"] if args.software else [])
    folder = os.path.join(args.artifacts, "loose")
    with Session(command, folder if args.refused_icons else args.build_dir, args.artifacts,
                 glx=not args.no_glx) as session:
        def steps():
            sides = ICON_SIDES
            if args.refused_icons:
                sides = loose_files_with_refused_icons(args.data_dir, folder)
            if args.window_manager_first:
                start_window_manager(session)
            session.start_game()
            # Under openbox the window sits in a frame of openbox's.
            session.find_window(WINDOW_SECONDS, "^Kavenna$", depth=3)
            identity(session)
            icon(session, args.data_dir, sides)
            renderer(session, args.software or args.no_glx)
            if not args.window_manager_first:
                start_window_manager(session)
            closed_through_window_manager(session, args.send_close,
                                          "before" if args.window_manager_first else "after")
        return session.run_checks(steps)


if __name__ == "__main__":
    sys.exit(main())
