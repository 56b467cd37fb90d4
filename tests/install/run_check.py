#!/usr/bin/python3
"""Starts a game command on a private Xvfb and judges its first screens.

Usage: run_check.py --splash data/s.png --expect splash|archive-box
                    [--cwd DIR] [--path DIR] [--save shot.png] -- COMMAND...

It watches the window (xwd) until the intro shows data/s.png darkened by
the fade, then asks the game to close as a window manager would
(WM_DELETE_WINDOW) and checks it ended with status 0 and wrote nothing to
standard output. "splash" passes when the whole picture matches; a
missing-archive box is a light window in the middle of the splash, and
"archive-box" passes only when the picture matches around a box there.
Needs Debian's python3-pil, xvfb, xdotool, x11-apps and libx11.
"""

import argparse
import ctypes
import os
import select
import struct
import subprocess
import sys
import tempfile
import time

from PIL import Image

WINDOW_SIZE = (800, 500)
# The message box is centred; this holds it with some margin.
CENTRE = (230, 160, 570, 340)
# The fade must have let this much of the picture through: a nearly black
# window would match any picture.
MIN_BRIGHTNESS = 0.5
TOLERANCE = 24
STEP = 3


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
         "+extension", "GLX", "-nolisten", "tcp", "-noreset"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 30
    while not number.endswith(b"\n"):
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            server.kill()
            sys.exit("run_check: Xvfb gave no display number")
        if select.select([read_end], [], [], min(remaining, 1))[0]:
            chunk = os.read(read_end, 16)
            if not chunk:
                sys.exit("run_check: Xvfb ended before it was ready")
            number += chunk
    os.close(read_end)
    return server, ":" + number.decode().strip()


def find_window(env):
    found = subprocess.run(["xdotool", "search", "--name", "^Kavenna$"], env=env,
                           capture_output=True, text=True)
    ids = found.stdout.split()
    return int(ids[0]) if ids else None


def screenshot(env, window):
    dump = subprocess.run(["xwd", "-silent", "-id", str(window)], env=env, capture_output=True)
    if dump.returncode != 0:
        return None
    return decode_xwd(dump.stdout)


def decode_xwd(data):
    fields = struct.unpack(">25I", data[:100])
    header_size, _, _, _, width, height, _, byte_order = fields[:8]
    bits_per_pixel, bytes_per_line = fields[11], fields[12]
    masks, colours = fields[14:17], fields[19]
    if bits_per_pixel != 32 or masks != (0xFF0000, 0xFF00, 0xFF):
        sys.exit("run_check: unexpected xwd pixel format %r" % (fields,))
    start = header_size + 12 * colours
    pixels = data[start:start + bytes_per_line * height]
    layout = "BGRX" if byte_order == 0 else "XRGB"
    return Image.frombuffer("RGB", (width, height), pixels, "raw", layout, bytes_per_line, 1)


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


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]


def ask_to_close(display_name, window):
    xlib = ctypes.CDLL("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                ctypes.POINTER(XEvent)]
    xlib.XFlush.argtypes = [ctypes.c_void_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = xlib.XOpenDisplay(display_name.encode())
    if not display:
        sys.exit("run_check: cannot open display %s" % display_name)
    event = XEvent()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = window
    event.xclient.message_type = xlib.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    xlib.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    xlib.XFlush(display)
    xlib.XCloseDisplay(display)


def watch(game, env, splash, timeout):
    """Returns (window, verdict, last screenshot)."""
    deadline = time.monotonic() + timeout
    window, verdict, shot = None, "no window", None
    while time.monotonic() < deadline and game.poll() is None:
        window = window or find_window(env)
        if window:
            shot = screenshot(env, window) or shot
            if shot:
                verdict, brightness = judge(shot, splash)
                print("run_check: %s (picture at %.2f of full brightness)" % (verdict, brightness))
                if verdict in ("splash", "archive-box"):
                    return window, verdict, shot
        time.sleep(0.25)
    return window, verdict, shot


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--splash", required=True)
    parser.add_argument("--expect", choices=["splash", "archive-box"], required=True)
    parser.add_argument("--cwd", default="/")
    parser.add_argument("--path", help="folder put in front of PATH")
    parser.add_argument("--save", help="where to keep the last screenshot")
    parser.add_argument("--timeout", type=float, default=40)
    parser.add_argument("command", nargs="+")
    args = parser.parse_args()
    splash = Image.open(args.splash).convert("RGB")

    server, display = start_xvfb()
    env = dict(os.environ, DISPLAY=display)
    if args.path:
        env["PATH"] = args.path + os.pathsep + env.get("PATH", "")
    failures = []
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        game = subprocess.Popen(args.command, cwd=args.cwd, env=env, stdout=out, stderr=err)
        try:
            window, verdict, shot = watch(game, env, splash, args.timeout)
            if shot and args.save:
                shot.save(args.save)
            if verdict != args.expect:
                failures.append("expected %s, saw %s" % (args.expect, verdict))
            if game.poll() is not None:
                failures.append("the game ended early with status %d" % game.returncode)
            elif window:
                ask_to_close(display, window)
                try:
                    status = game.wait(timeout=15)
                    if status != 0:
                        failures.append("the game ended with status %d after closing" % status)
                except subprocess.TimeoutExpired:
                    failures.append("the game did not end when its window was closed")
        finally:
            if game.poll() is None:
                game.kill()
                game.wait()
            server.terminate()
            server.wait()
        out.seek(0)
        err.seek(0)
        printed, complaints = out.read(), err.read()
    if printed:
        failures.append("unexpected standard output: %r" % printed[:200])
    if complaints:
        print("run_check: standard error: %r" % complaints[:500])
    for failure in failures:
        print("run_check: FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
