"""Starting and ending the processes a test or the benchmark runs beside
the game: a private Xvfb on a display it picks itself (-displayfd, so
runs can go side by side), and an orderly end for any child."""

import os
import select
import subprocess
import time

XVFB_START_SECONDS = 30


class XvfbFailure(RuntimeError):
    pass


def start_xvfb(glx, output=subprocess.DEVNULL, screen=(1024, 768), reset=False):
    """Starts Xvfb, with GLX or without and a screen of `screen` pixels,
    on a display number it picks itself; returns the process and the
    display's name. With `reset` the server resets whenever its last
    client leaves, as xvfb-run's and some remote desktops' do."""
    read_end, write_end = os.pipe()
    # -noreset: by default the server resets when its last client goes,
    # refusing connections meanwhile, and may come back without GLX. The
    # tests' own short X clients (xdotool, xwd) must not set that off
    # between two of the game's; a desktop always has other clients.
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % screen,
         "-nolisten", "tcp"] + ([] if reset else ["-noreset"]) +
        ["+extension" if glx else "-extension", "GLX"],
        pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=output, stderr=output)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + XVFB_START_SECONDS
    try:
        while not number.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([read_end], [], [], left)[0]:
                raise XvfbFailure("Xvfb did not report a display in time")
            chunk = os.read(read_end, 16)
            if not chunk:
                raise XvfbFailure("Xvfb ended before reporting a display")
            number += chunk
    except XvfbFailure:
        end_process(xvfb)
        raise
    finally:
        os.close(read_end)
    return xvfb, ":" + number.decode().strip()


def end_process(process):
    """Asks `process` to end, and makes it if it has not within 10 s."""
    if process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
