"""A private X server for the benchmark, a window manager on it if asked,
and a client that drives both pointer and windows.

Xvfb picks a free display number itself (-displayfd), so the benchmark
never clashes with another X server on the machine. The pointer moves
and clicks through the XTEST extension, and windows are covered, mapped
and moved, from inside this process, so each action's time is known to
the microsecond rather than to the start-up of a helper program."""

import ctypes
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "xwindow"))
from processes import end_process, start_xvfb  # noqa: E402


class XServer:
    """Xvfb, with GLX or without, a screen of `screen` pixels, and with
    openbox managing its windows when `window_manager` is set."""

    def __init__(self, with_glx=True, window_manager=False, screen=(1024, 768)):
        self.window_manager = None
        self.process, self.display = start_xvfb(with_glx, screen=screen)
        if window_manager:
            self._start_openbox()

    def _start_openbox(self):
        environment = dict(os.environ, DISPLAY=self.display)
        self.window_manager = subprocess.Popen(
            ["openbox"], env=environment, stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Openbox takes over the display early in its start and reads its
        # configuration and fonts afterwards, seconds under load; windows
        # mapped meanwhile wait. It is ready once it frames a window.
        probe = Pointer(self.display)
        try:
            if not probe.window_manager_frames_a_window(timeout=60):
                self.close()
                raise RuntimeError("openbox did not manage a window")
        finally:
            probe.close()

    def close(self):
        if self.window_manager:
            end_process(self.window_manager)
        end_process(self.process)


class XSetWindowAttributes(ctypes.Structure):
    _fields_ = [("background_pixmap", ctypes.c_ulong), ("background_pixel", ctypes.c_ulong),
                ("border_pixmap", ctypes.c_ulong), ("border_pixel", ctypes.c_ulong),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("colormap", ctypes.c_ulong),
                ("cursor", ctypes.c_ulong)]


CW_OVERRIDE_REDIRECT = 1 << 9


class Pointer:
    """Moves and clicks the pointer of one X server, and maps, covers and
    moves windows on it. Positions are window coordinates of the program
    under test once `follow` has found its window."""

    def __init__(self, display):
        self.x11 = x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        Display, Window = ctypes.c_void_p, ctypes.c_ulong
        x11.XOpenDisplay.restype = Display
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        for name in ("XFlush", "XCloseDisplay"):
            getattr(x11, name).argtypes = [Display]
        x11.XSync.argtypes = [Display, ctypes.c_int]
        x11.XDefaultRootWindow.restype = Window
        x11.XDefaultRootWindow.argtypes = [Display]
        for name in ("XMapRaised", "XMapWindow", "XUnmapWindow", "XDestroyWindow"):
            getattr(x11, name).argtypes = [Display, Window]
        x11.XMoveWindow.argtypes = [Display, Window, ctypes.c_int, ctypes.c_int]
        x11.XIconifyWindow.argtypes = [Display, Window, ctypes.c_int]
        x11.XCreateSimpleWindow.restype = Window
        x11.XCreateSimpleWindow.argtypes = [Display, Window, ctypes.c_int, ctypes.c_int,
                                            ctypes.c_uint, ctypes.c_uint, ctypes.c_uint,
                                            ctypes.c_ulong, ctypes.c_ulong]
        x11.XChangeWindowAttributes.argtypes = [Display, Window, ctypes.c_ulong,
                                                ctypes.POINTER(XSetWindowAttributes)]
        x11.XQueryTree.argtypes = [Display, Window, ctypes.POINTER(Window),
                                   ctypes.POINTER(Window), ctypes.POINTER(ctypes.POINTER(Window)),
                                   ctypes.POINTER(ctypes.c_uint)]
        x11.XFetchName.argtypes = [Display, Window, ctypes.POINTER(ctypes.c_char_p)]
        x11.XFree.argtypes = [ctypes.c_void_p]
        x11.XTranslateCoordinates.argtypes = [Display, Window, Window, ctypes.c_int,
                                              ctypes.c_int, ctypes.POINTER(ctypes.c_int),
                                              ctypes.POINTER(ctypes.c_int),
                                              ctypes.POINTER(Window)]
        self.xtst.XTestFakeMotionEvent.argtypes = [
            Display, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeButtonEvent.argtypes = [
            Display, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.connection = x11.XOpenDisplay(display.encode())
        if not self.connection:
            raise RuntimeError("cannot connect to " + display)
        self.root = x11.XDefaultRootWindow(self.connection)
        self.window = None
        self.origin = (0, 0)
        self.cover = None

    # The pointer ------------------------------------------------------------

    def move(self, x, y):
        """Moves the pointer to window coordinates and waits until the
        server has taken the motion; returns the CLOCK_MONOTONIC time in
        ns just before it was sent."""
        return self.move_on_screen(self.origin[0] + x, self.origin[1] + y)

    def move_on_screen(self, x, y):
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

    def press_and_release(self):
        """A click where the pointer is, both halves sent at once; the
        time just before."""
        sent = time.monotonic_ns()
        self.xtst.XTestFakeButtonEvent(self.connection, 1, 1, 0)
        self.xtst.XTestFakeButtonEvent(self.connection, 1, 0, 0)
        self.x11.XSync(self.connection, 0)
        return sent

    # Windows ------------------------------------------------------------------

    def follow(self, name, framed=False, timeout=30):
        """Finds the top-level window titled `name`, once a window manager
        has put it in a frame if `framed`; from then on positions are
        relative to its top-left corner."""
        deadline = time.monotonic() + timeout
        self.window = None
        while self.window is None or (framed and not self.managed()):
            self.window = self._find(self.root, name.encode(), depth=4)
            if time.monotonic() > deadline:
                raise RuntimeError("no %swindow titled %r" % ("framed " if framed else "", name))
            time.sleep(0.05)
        x, y, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        self.x11.XTranslateCoordinates(self.connection, self.window, self.root, 0, 0,
                                       ctypes.byref(x), ctypes.byref(y), ctypes.byref(child))
        self.origin = (x.value, y.value)

    def _find(self, window, name, depth):
        title = ctypes.c_char_p()
        if self.x11.XFetchName(self.connection, window, ctypes.byref(title)) and title.value:
            found = title.value == name
            self.x11.XFree(title)
            if found:
                return window
        if depth == 0:
            return None
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x11.XQueryTree(self.connection, window, ctypes.byref(root),
                                   ctypes.byref(parent), ctypes.byref(children),
                                   ctypes.byref(count)):
            return None
        below = [children[k] for k in range(count.value)]
        if children:
            self.x11.XFree(children)
        for child in below:
            found = self._find(child, name, depth - 1)
            if found:
                return found
        return None

    def _sent(self, action, *arguments):
        sent = time.monotonic_ns()
        action(self.connection, *arguments)
        self.x11.XSync(self.connection, 0)
        return sent

    def cover_window(self):
        """Puts a window of our own over the whole screen, unmanaged so no
        window manager moves it."""
        if self.cover is None:
            self.cover = self.x11.XCreateSimpleWindow(self.connection, self.root, 0, 0, 1024,
                                                      768, 0, 0, 0x336699)
            attributes = XSetWindowAttributes(override_redirect=1)
            self.x11.XChangeWindowAttributes(self.connection, self.cover, CW_OVERRIDE_REDIRECT,
                                             ctypes.byref(attributes))
        return self._sent(self.x11.XMapRaised, self.cover)

    def uncover_window(self):
        return self._sent(self.x11.XUnmapWindow, self.cover)

    def minimise_window(self):
        """Iconifies the followed window through the window manager, or
        without one unmaps it, as a minimised window is."""
        if self.managed():
            return self._sent(self.x11.XIconifyWindow, self.window, 0)
        return self._sent(self.x11.XUnmapWindow, self.window)

    def restore_window(self):
        return self._sent(self.x11.XMapWindow, self.window)

    def move_window(self, x, y):
        """Moves the followed window's top-left corner to (x, y) on the
        screen (a window manager moves its frame to match)."""
        return self._sent(self.x11.XMoveWindow, self.window, x, y)

    def window_manager_frames_a_window(self, timeout):
        """Maps a window and waits until a window manager has put it in a
        frame; false if none has within `timeout` seconds."""
        window = self.x11.XCreateSimpleWindow(self.connection, self.root, 0, 0, 100, 100, 0, 0,
                                              0)
        self.x11.XMapWindow(self.connection, window)
        self.x11.XSync(self.connection, 0)
        deadline = time.monotonic() + timeout
        framed = False
        while not framed and time.monotonic() < deadline:
            time.sleep(0.05)
            framed = self._parent(window) != self.root
        self.x11.XDestroyWindow(self.connection, window)
        self.x11.XSync(self.connection, 0)
        return framed

    def managed(self):
        return self._parent(self.window) != self.root

    def _parent(self, window):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        self.x11.XQueryTree(self.connection, window, ctypes.byref(root),
                            ctypes.byref(parent), ctypes.byref(children), ctypes.byref(count))
        if children:
            self.x11.XFree(children)
        return parent.value

    def close(self):
        self.x11.XCloseDisplay(self.connection)
