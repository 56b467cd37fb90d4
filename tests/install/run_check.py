#!/usr/bin/python3
"""Starts a game command on a private Xvfb and judges its first screens.

Usage: run_check.py --splash data/s.png --expect splash|archive-box
                    --send-close SEND_CLOSE --artifacts DIR
                    [--cwd DIR] [--path DIR] [--desktop-entry FILE] -- COMMAND...

It watches the window titled "Kavenna" (xwd) until the intro shows
data/s.png darkened by the fade, then asks the game to close as a window
manager would (WM_DELETE_WINDOW, sent by the helper built from
tests/xwindow) and checks it ended with status 0 and wrote nothing to
standard output. With --desktop-entry, the window's WM_CLASS must
match the entry's StartupWMClass, so the desktop ties the two. "splash" passes when the whole picture matches; a
missing-archive box is a light window in the middle of the splash, and
"archive-box" passes only when the picture matches around a box there.
The screenshots and the game's output are kept in DIR.
Needs Debian's python3-pil, xvfb, xdotool and x11-apps.
"""

import argparse
import os
import re
import sys

from PIL import Image

# The X server harness shared with tests/e2e.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "xwindow"))
from session import Session, TestFailure  # noqa: E402

WINDOW_SIZE = (800, 500)
# The message box is centred; this holds it with some margin.
CENTRE = (230, 160, 570, 340)
# The fade must have let this much of the picture through: a nearly black
# window would match any picture.
MIN_BRIGHTNESS = 0.5
TOLERANCE = 24
STEP = 3


def in_centre(x, y):
    return CENTRE[0] <= x < CENTRE[2] and CENTRE[1] <= y < CENTRE[3]


def judge(shot, splash):
    """Returns (verdict, brightness) for one screenshot."""
    if shot.size != WINDOW_SIZE:
        return "window of %dx%d" % shot.size, 0.0
    seen, want = shot.load(), splash.load()
    samples = [(x, y) for y in range(0, WINDOW_SIZE[1], STEP) for x in range(0, WINDOW_SIZE[0], STEP)]
    outside = [(x, y) for x, y in samples if not in_centre(x, y)]
    inside = [(x, y) for x, y in samples if in_centre(x, y)]
    # The fader darkens every pixel by the same factor: fit it outside the
    # centre, where no box can be.
    dot = norm = 0
    for x, y in outside:
        a, b = seen[x, y], want[x, y]
        dot += a[0] * b[0] + a[1] * b[1] + a[2] * b[2]
        norm += b[0] * b[0] + b[1] * b[1] + b[2] * b[2]
    brightness = dot / norm if norm else 0.0

    def misfit(points):
        bad = 0
        for x, y in points:
            a, b = seen[x, y], want[x, y]
            if max(abs(a[c] - brightness * b[c]) for c in range(3)) > TOLERANCE:
                bad += 1
        return bad / len(points)

    if brightness < MIN_BRIGHTNESS or misfit(outside) > 0.02:
        return "no splash", brightness
    centre_misfit = misfit(inside)
    if centre_misfit <= 0.02:
        return "splash", brightness
    if centre_misfit >= 0.2:
        return "archive-box", brightness
    return "unclear centre", brightness


def matches_entry(session, entry):
    with open(entry) as text:
        wanted = re.findall(r"^StartupWMClass=(.*)$", text.read(), re.MULTILINE)
    seen = session.properties("WM_CLASS")
    if wanted != ["Kavenna"] or not seen.rstrip().endswith(', "%s"' % wanted[0]):
        raise TestFailure("%s has StartupWMClass %r; the window: %s" % (entry, wanted, seen))
    print("run_check: ok: the window's class is the desktop entry's StartupWMClass")


def first_screens(session, splash, expect, send_close, timeout, entry):
    session.start_game()
    session.find_window(timeout, name="^Kavenna$")
    if entry:
        matches_entry(session, entry)

    def conclusive(shot):
        verdict, brightness = judge(shot, splash)
        print("run_check: %s (picture at %.2f of full brightness)" % (verdict, brightness))
        if verdict == expect:
            return None
        # The first clear verdict is the one a player sees.
        if verdict in ("splash", "archive-box"):
            raise TestFailure("expected %s, saw %s; screenshot %s"
                              % (expect, verdict, session.save(shot, verdict)))
        return verdict

    session.save(session.wait_for(expect, conclusive, timeout), expect)
    print("run_check: ok: %s seen" % expect)
    session.ask_to_close(send_close)
    status = session.wait_for_exit(15)
    if status != 0:
        raise TestFailure("the game ended with status %d after closing; stderr: %s"
                          % (status, session.stderr()))
    print("run_check: ok: closing the window ended the game with status 0")
    printed = session.stdout_text()
    if printed:
        raise TestFailure("unexpected standard output: %r" % printed[:200])
    print("run_check: ok: nothing on standard output")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--splash", required=True)
    parser.add_argument("--expect", choices=["splash", "archive-box"], required=True)
    parser.add_argument("--send-close", required=True, help="the built send_close helper")
    parser.add_argument("--artifacts", required=True, help="where screenshots and output go")
    parser.add_argument("--cwd", default="/")
    parser.add_argument("--path", help="folder put in front of PATH")
    parser.add_argument("--desktop-entry", help="the installed desktop entry")
    parser.add_argument("--timeout", type=float, default=40)
    parser.add_argument("command", nargs="+")
    args = parser.parse_args()
    splash = Image.open(args.splash).convert("RGB")

    with Session(args.command, args.cwd, args.artifacts, path=args.path) as session:
        status = session.run_checks(lambda: first_screens(
            session, splash, args.expect, args.send_close, args.timeout, args.desktop_entry))
    complaints = session.stderr() if os.path.exists(session.stderr_path) else ""
    if complaints:
        print("run_check: standard error: %r" % complaints[:500])
    return status


if __name__ == "__main__":
    sys.exit(main())
