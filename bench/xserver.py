"""A private X server for the benchmark and a pointer that drives it.

Xvfb picks a free display number itself (-displayfd), so the benchmark
never clashes with another X server on the machine. The pointer moves
and clicks through the XTEST extension from inside this process, so an
input's time is known to the microsecond rather than to the start-up of
a helper program."""

import ctypes
import os
import subprocess
import time


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


class XServer:
    def __init__(self, with_glx=True):
        read_end, write_end = os.pipe()
        glx = "+extension" if with_glx else "-extension"
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
             glx, "GLX", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    self.process.kill()
                    raise RuntimeError("Xvfb did not start")
                number += chunk
        self.display = ":" + number.decode().strip()

    def close(self):
        end_process(self.process)


class Pointer:
    """Moves and clicks the pointer of one X server. Windows of the
    programs under test sit at the top left corner of the screen (there
    is no window manager), so window and screen coordinates agree."""

    def __init__(self, display):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeMotionEvent.argtypes = [
            ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeButtonEvent.argtypes = [
            ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.connection = self.x11.XOpenDisplay(display.encode())
        if not self.connection:
            raise RuntimeError("cannot connect to " + display)

    def move(self, x, y):
        """Moves the pointer and waits until the server has taken the
        motion; returns the CLOCK_MONOTONIC time in ns just before it
        was sent."""
        sent = time.monotonic_ns()
        self.xtst.XTestFakeMotionEvent(self.connection, -1, x, y, 0)
        self.x11.XSync(self.connection, 0)
        return sent

    def click(self, x, y):
        self.move(x, y)
        time.sleep(0.03)
        self.xtst.XTestFakeButtonEvent(self.connection, 1, 1, 0)
        self.x11.XSync(self.connection, 0)
        time.sleep(0.03)
        self.xtst.XTestFakeButtonEvent(self.connection, 1, 0, 0)
        self.x11.XSync(self.connection, 0)

    def close(self):
        self.x11.XCloseDisplay(self.connection)
