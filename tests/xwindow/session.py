#!/usr/bin/python3
"""A private Xvfb with the game in it, driven like a player would.

`Session` starts Xvfb on a display it picks itself (-displayfd, so tests
can run side by side), starts a game command in a given folder with its
output in files (or its standard output on a pipe, or closed), finds its
window, and offers mouse clicks, window screenshots, waiting for a
condition with a deadline, a window manager's close request, and a real
window manager (openbox) started on demand. Leaving the `with` block
ends whatever is still running. The end-to-end tests drive the built
game with it, the install tests the installed one.
"""

import argparse
import os
import re
import shutil
import subprocess
import time

import xwd_image
from processes import end_process, start_xvfb

POLL_SECONDS = 0.15
# What the game says when it cannot use OpenGL, and what OpenGL maps.
SOFTWARE_FALLBACK = "the software renderer draws instead"
DRI_DRIVER = re.compile(r"/dri/\S*_dri\.so")
# Starts the game with standard output closed, as some launchers do.
CLOSED = "closed"


def game_arguments(description):
    """The arguments every end-to-end test takes: the built game, the
    build folder it runs in, the source's data folder and the folder for
    screenshots and output. Add a test's own before parsing."""
    parser = argparse.ArgumentParser(description=description)
    for name in ("--game", "--build-dir", "--data-dir", "--artifacts"):
        parser.add_argument(name, required=True)
    return parser


class TestFailure(RuntimeError):
    """A check that did not hold."""


class Session:
    def __init__(self, command, cwd, artifacts, glx=True, path=None, stdout=None,
                 screen=(1024, 768), reset=False):
        """`command` (a list) starts the game in folder `cwd`; `path`, if
        given, is put in front of PATH so a bare command name finds it.
        Screenshots and output go to the folder `artifacts`; `stdout`, a
        descriptor such as a pipe's write end (handed to the game, then
        closed here) or CLOSED, takes the place of the game's standard
        output file. `screen` is the X screen's size: the game's window at
        scale 2 (1600x1000) fits only a larger one than the default."""
        self.command = command
        self.screen = screen
        self.stdout = stdout
        self.cwd = cwd
        self.artifacts = artifacts
        self.glx = glx
        self.reset = reset
        self.path = path
        self.xvfb = None
        self.process = None
        self.window_manager = None
        self.window = None
        self.env = None
        self.stdout_path = os.path.join(artifacts, "stdout.txt")
        self.stderr_path = os.path.join(artifacts, "stderr.txt")
        self.shots = 0

    def __enter__(self):
        # A previous run's screenshots would only mislead.
        shutil.rmtree(self.artifacts, ignore_errors=True)
        os.makedirs(self.artifacts)
        self._start_xvfb()
        return self

    def __exit__(self, *exc):
        for process in (self.process, self.window_manager, self.xvfb):
            if process:
                end_process(process)
        return False

    def _start_xvfb(self):
        log = open(os.path.join(self.artifacts, "xvfb.log"), "wb")
        self.xvfb, display = start_xvfb(self.glx, log, self.screen, self.reset)
        self.env = dict(os.environ, DISPLAY=display)
        self.env.pop("XAUTHORITY", None)
        # The game in English, whatever the tester's own language; a test
        # of another language says so.
        for variable in ("LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"):
            self.env.pop(variable, None)
        self.env["LC_ALL"] = "C"
        if self.path:
            self.env["PATH"] = self.path + os.pathsep + self.env.get("PATH", "")

    def x(self, *command):
        """Runs an X client on our display; its standard output."""
        done = subprocess.run(command, env=self.env, capture_output=True, timeout=60)
        if done.returncode != 0 and self.process and self.process.poll() is not None:
            raise TestFailure("%s failed: the game had ended with %d; stderr: %s"
                              % (command[0], self.process.returncode, self.stderr()))
        if done.returncode != 0:
            raise TestFailure("%s failed with %d: %s"
                              % (" ".join(command), done.returncode, done.stderr.decode()))
        return done.stdout

    def start_game(self):
        closed = self.stdout == CLOSED
        stdout = open(self.stdout_path, "wb") if self.stdout is None else self.stdout
        self.process = subprocess.Popen(
            self.command, cwd=self.cwd, env=self.env, stdin=subprocess.DEVNULL,
            stdout=None if closed else stdout, stderr=open(self.stderr_path, "wb"),
            preexec_fn=(lambda: os.close(1)) if closed else None)
        if isinstance(self.stdout, int):
            # The game's copy is the only writer; a reader sees it leave.
            os.close(self.stdout)

    def start_window_manager(self):
        """Starts openbox with its default configuration, its output
        beside the game's."""
        log = open(os.path.join(self.artifacts, "openbox.txt"), "wb")
        self.window_manager = subprocess.Popen(
            ["openbox", "--sm-disable"], env=self.env, stdin=subprocess.DEVNULL,
            stdout=log, stderr=log)

    def properties(self, *names):
        """The game window's properties as xprop prints them, one a line;
        32-bit cardinals as plain comma-separated numbers."""
        return self.x("xprop", "-id", self.window, "-f", "_NET_WM_ICON", "32c",
                      *names).decode("utf-8", "replace")

    def find_window(self, timeout, name=".", depth=1):
        """Waits for the game's window, with a title matching the regular
        expression `name`, at most `depth` levels below the root (a window
        manager puts it in a frame); its id."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise TestFailure("the game ended with %d before showing a window; stderr: %s"
                                  % (self.process.returncode, self.stderr()))
            found = subprocess.run(["xdotool", "search", "--maxdepth", str(depth), "--name", name],
                                   env=self.env, capture_output=True).stdout.split()
            if found:
                self.window = found[0].decode()
                self.check_renderer()
                return self.window
            time.sleep(POLL_SECONDS)
        raise TestFailure("no window appeared within %d s" % timeout)

    def check_renderer(self):
        """A game started for OpenGL on a server with GLX must draw with it:
        it says on standard error when it falls back to the software
        renderer, and with OpenGL it maps a DRI driver."""
        if not self.glx or "--software" in self.command:
            return
        if SOFTWARE_FALLBACK in self.stderr():
            raise TestFailure("OpenGL was not used: %s" % self.stderr())
        try:
            with open("/proc/%d/maps" % self.process.pid) as maps:
                mapped = maps.read()
        except OSError:
            return
        # Only where the process is the game itself, not a launcher of it.
        if "/kavenna\n" in mapped and not DRI_DRIVER.search(mapped):
            raise TestFailure("OpenGL was asked for, but no DRI driver is mapped")

    def title(self):
        return self.x("xdotool", "getwindowname", self.window).decode().rstrip("\n")

    def screenshot(self):
        return xwd_image.decode(self.x("xwd", "-silent", "-id", self.window))

    def save(self, image, name):
        """Keeps `image` beside the test's other output; its path."""
        self.shots += 1
        path = os.path.join(self.artifacts, "%02d-%s.png" % (self.shots, name))
        image.save(path)
        return path

    def move(self, x, y):
        self.x("xdotool", "mousemove", "--window", self.window, str(x), str(y))

    def click(self, x, y):
        self.x("xdotool", "mousemove", "--window", self.window, str(x), str(y), "click", "1")

    def wait_for(self, what, check, timeout):
        """Screenshots until `check(image)` returns None; fails with its
        last complaint when `timeout` seconds pass. The matching image."""
        deadline = time.monotonic() + timeout
        while True:
            if self.process and self.process.poll() is not None:
                raise TestFailure("%s: the game ended with %d; stderr: %s"
                                  % (what, self.process.returncode, self.stderr()))
            image = self.screenshot()
            complaint = check(image)
            if complaint is None:
                return image
            if time.monotonic() > deadline:
                path = self.save(image, "failed")
                raise TestFailure("%s: not seen within %d s (%s); screenshot %s"
                                  % (what, timeout, complaint, path))
            time.sleep(POLL_SECONDS)

    def ask_to_close(self, send_close):
        """Sends the window a WM_DELETE_WINDOW request with the built
        `send_close` helper, as a window manager's close button does."""
        self.x(send_close, self.window)

    def wakeups(self):
        """How often the game's main thread has been switched in so far:
        voluntary and involuntary context switches, as the kernel counts
        them."""
        path = "/proc/%d/task/%d/status" % (self.process.pid, self.process.pid)
        with open(path) as status:
            return sum(int(line.split()[1]) for line in status if "ctxt_switches" in line)

    def stdout_text(self):
        with open(self.stdout_path, "rb") as out:
            return out.read().decode("latin-1")

    def stderr(self):
        # The game writes UTF-8 in the player's language; a stray byte from
        # a hostile file name must not stop the test from reading the rest.
        with open(self.stderr_path, "rb") as err:
            return err.read().decode("utf-8", "backslashreplace").strip()

    def wait_for_lines(self, count, timeout):
        """Waits until standard output holds `count` complete lines."""
        deadline = time.monotonic() + timeout
        while self.stdout_text().count("\n") < count:
            if time.monotonic() > deadline:
                raise TestFailure("standard output holds %d lines, not %d, after %d s:\n%s"
                                  % (self.stdout_text().count("\n"), count, timeout,
                                     self.stdout_text()))
            time.sleep(POLL_SECONDS)

    def wait_for_exit(self, timeout):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise TestFailure("the game was still running %d s later" % timeout)

    def run_checks(self, steps):
        """Runs `steps()`, which raises TestFailure when a check does not
        hold. The test's exit status: 0, or 1 after saying what failed."""
        try:
            steps()
        except TestFailure as failure:
            print("FAILED: %s" % failure)
            print("screenshots and output are in %s" % self.artifacts)
            return 1
        return 0
