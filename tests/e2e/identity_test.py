#!/usr/bin/python3
"""The window as the desktop sees it, on a fresh X server with no window
manager: by the time it has its title it carries WM_CLASS ("kavenna",
"Kavenna"), _NET_WM_PID, WM_CLIENT_MACHINE, size hints holding it at
800x500 and WM_PROTOCOLS with WM_DELETE_WINDOW. Then openbox starts, as
a desktop's autostart may start it after the game: it reads the class,
refuses a resize, and its close request (as a task bar sends it) ends
the game with exit code 0 and nothing on standard output.

The renderer is checked from outside: with OpenGL the process maps a DRI
driver, with --software (or on a server without GLX) it maps none.
"""

import argparse
import os
import re
import socket
import sys
import time

# The X server harness shared with tests/install.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "xwindow"))
from session import Session, TestFailure  # noqa: E402

WINDOW_SECONDS = 60
WM_SECONDS = 20

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


def renderer(session, software):
    with open("/proc/%d/maps" % session.process.pid) as maps:
        drivers = sorted(set(re.findall(r"\S*/dri/\S*_dri\.so", maps.read())))
    if software and drivers:
        raise TestFailure("the software renderer was asked for, but %s is mapped" % drivers)
    if not software and not drivers:
        raise TestFailure("OpenGL was asked for, but no DRI driver is mapped")
    step("renderer: %s" % (", ".join(drivers) if drivers else "no DRI driver (software)"))


def window_manager_after_the_game(session, send_close):
    session.start_window_manager()
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
    step("openbox, started after the game, took the window as kavenna/Kavenna")

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
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--game", required=True)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--data-dir", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--send-close", required=True)
    parser.add_argument("--software", action="store_true", help="start the game with --software")
    parser.add_argument("--no-glx", action="store_true", help="a server without GLX")
    args = parser.parse_args()

    command = [args.game] + (["--software"] if args.software else [])
    with Session(command, args.build_dir, args.artifacts, glx=not args.no_glx) as session:
        def steps():
            session.start_game()
            session.find_window(WINDOW_SECONDS)
            identity(session)
            renderer(session, args.software or args.no_glx)
            window_manager_after_the_game(session, args.send_close)
        return session.run_checks(steps)


if __name__ == "__main__":
    sys.exit(main())
