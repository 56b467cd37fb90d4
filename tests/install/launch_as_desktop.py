#!/usr/bin/python3
"""Starts an application from the menu the way a desktop does, with GLib:
the entry is looked up by its desktop id in the user's and the system's
application folders and started with a desktop session's search path,
from the home folder. Waits for the program and exits with its status.

Usage: launch_as_desktop.py HOME DESKTOP_ID
HOME is the user's home folder; XDG_DATA_HOME and XDG_DATA_DIRS are left
unset, so the folders searched are HOME/.local/share and the system's.
Needs Debian's python3-gi and gir1.2-glib-2.0. What it says goes to
standard error: standard output is the program's.
"""

import ctypes
import os
import sys

home, desktop_id = sys.argv[1:]
os.environ["HOME"] = home
os.environ["PATH"] = "/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games"
for name in ("XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"):
    os.environ.pop(name, None)
os.chdir(home)

import gi  # noqa: E402  (GLib reads the environment once, when loaded)
gi.require_version("Gio", "2.0")
from gi.repository import Gio  # noqa: E402


def say(text):
    print("launch_as_desktop: " + text, file=sys.stderr, flush=True)


# GLib starts the program through a short-lived child, which leaves it to
# init; as a subreaper this process gets it instead and can wait for it.
PR_SET_CHILD_SUBREAPER = 36
if ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
    say("cannot become a subreaper")
    sys.exit(1)

# GLib leaves out, as a menu does, entries it cannot find or whose command
# is not where Exec= says.
try:
    entry = Gio.DesktopAppInfo.new(desktop_id)
except TypeError:
    entry = None
if entry is None:
    say("%s is not among the applications a desktop lists, or its command is"
        " not found" % desktop_id)
    sys.exit(1)
if not entry.should_show():
    say("%s is hidden from the menu" % entry.get_filename())
    sys.exit(1)
say("the menu has %s (%s): Exec=%s" % (entry.get_name(), entry.get_filename(),
                                        entry.get_commandline()))
try:
    entry.launch([], None)
except gi.repository.GLib.Error as error:
    say("the desktop could not start it: " + error.message)
    sys.exit(1)

status = 0
while True:
    try:
        _, wait_status = os.wait()
    except ChildProcessError:
        break
    code = os.waitstatus_to_exitcode(wait_status)
    status = status or (code if code >= 0 else 128 - code)
sys.exit(status)
