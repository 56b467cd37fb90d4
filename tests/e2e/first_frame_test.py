#!/usr/bin/python3
"""The window at once, and OpenGL on every start.

The game runs on fresh X servers that reset whenever their last client
leaves, as xvfb-run's and some remote desktops' do, with the frame
grabber (tests/xwindow/frame_grabber.c) keeping the first frame it
presents and the one 1.5 s later; nothing else touches the server until
both are taken. At scale 1 and at scale 2: the first frame is what the
fade shows at its start, black all over; the later one shows the splash
through the fade as it always did, the committed screenshot of the
intro (docs/screenshots/intro.png, intro@2x.png) darkened, still
fading; and both came through OpenGL, with no word on standard error
that the software renderer draws instead. Then the game is started
again on fresh servers, each of whose first frames must come through
OpenGL too. With --software the server has no GLX, and the software
renderer's frames are checked the same way.
"""

import os
import sys
import tempfile
import time

from PIL import Image, ImageStat

import pictures

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "xwindow"))
from session import game_arguments, Session, SOFTWARE_FALLBACK, TestFailure  # noqa: E402

FRAME_SECONDS = 30
LATER_MS = 1500
# The fade-in takes 4 s; 1.5 s in, the splash shows at 37.5 % of its
# brightness, more by as long as the first frame took to be shown (over a
# second on a busy machine): still fading, neither black nor whole.
FADED_TO = (0.2, 0.9)
# Black: no channel of any pixel above this.
DARKEST = 8
MORE_STARTS = 10
# An X resource id holds its client's number above these bits (Xvfb's
# default of 256 clients).
CLIENT_SHIFT = 21


def step(text):
    print("ok: " + text)
    sys.stdout.flush()


def frames_of(session, grabber, folder, names):
    """Starts the game with the grabber keeping its frames in `folder`;
    waits for each of `names` ("first", "later") and returns them, each
    as (picture, the way it came)."""
    session.env.update(LD_PRELOAD=grabber, KAVENNA_GRAB_DIR=folder,
                       KAVENNA_GRAB_LATER_MS=str(LATER_MS))
    session.start_game()
    deadline = time.monotonic() + FRAME_SECONDS
    taken = {}
    for name in names:
        note = os.path.join(folder, name + ".txt")
        while not os.path.exists(note):
            if session.process.poll() is not None:
                raise TestFailure("the game ended with %d before its %s frame; stderr: %s"
                                  % (session.process.returncode, name, session.stderr()))
            if time.monotonic() > deadline:
                raise TestFailure("no %s frame within %d s" % (name, FRAME_SECONDS))
            time.sleep(0.05)
        with open(note) as way:
            taken[name] = (Image.open(os.path.join(folder, name + ".ppm")).convert("RGB"),
                           way.read().split())
    return taken


def drawn_as_asked(session, way, software):
    way, drawable = way
    client = int(drawable, 16) >> CLIENT_SHIFT
    if client < 2:
        raise TestFailure("the frame was shown on %s, a resource of the server's client %d: "
                          "the scale probe's connection was closed before the game's opened"
                          % (drawable, client))
    wanted = "software" if software else "opengl"
    if way != wanted:
        raise TestFailure("the frame came through %s, not %s; stderr: %s"
                          % (way, wanted, session.stderr()))
    if not software and SOFTWARE_FALLBACK in session.stderr():
        raise TestFailure("standard error says: %s" % session.stderr())


def check_scale(args, scale):
    screen = (1024, 768) if scale == 1 else (1920, 1200)
    size = (800 * scale, 500 * scale)
    intro = Image.open(os.path.join(args.screenshots,
                                    "intro%s.png" % ("" if scale == 1 else "@2x"))).convert("RGB")
    artifacts = os.path.join(args.artifacts, "scale-%d" % scale)
    command = [args.game, "--scale", str(scale)] + (["--software"] if args.software else [])
    with Session(command, args.build_dir, artifacts, glx=not args.software, screen=screen,
                 reset=True) as session, tempfile.TemporaryDirectory() as folder:
        frames = frames_of(session, args.grabber, folder, ("first", "later"))
        for name, (picture, way) in frames.items():
            picture.save(os.path.join(artifacts, name + ".png"))
            drawn_as_asked(session, way, args.software)
            if picture.size != size:
                raise TestFailure("the %s frame is %dx%d, not %dx%d"
                                  % ((name,) + picture.size + size))
        brightest = max(high for _, high in ImageStat.Stat(frames["first"][0]).extrema)
        if brightest > DARKEST:
            raise TestFailure("the first frame is not black: a channel reaches %d" % brightest)
        step("scale %d: the first frame, %dx%d through %s, is black"
             % ((scale,) + size + (frames["first"][1][0],)))
        factor, correlation = pictures.darkened(frames["later"][0], intro)
        if correlation < 0.95 or not FADED_TO[0] <= factor <= FADED_TO[1]:
            raise TestFailure("%d ms later the frame shows the intro at %.2f of its brightness "
                              "(correlation %.2f), not %.2f to %.2f"
                              % ((LATER_MS, factor, correlation) + FADED_TO))
        step("scale %d: %d ms later the splash shows through the fade at %.0f %% "
             "(correlation %.3f with the committed intro)"
             % (scale, LATER_MS, 100 * factor, correlation))


def more_starts(args):
    for start in range(MORE_STARTS):
        artifacts = os.path.join(args.artifacts, "start-%d" % start)
        with Session([args.game], args.build_dir, artifacts, reset=True) as session, \
                tempfile.TemporaryDirectory() as folder:
            _, way = frames_of(session, args.grabber, folder, ("first",))["first"]
            drawn_as_asked(session, way, False)
    step("%d more starts on fresh servers, each drawn with OpenGL on a window of the "
         "server's second client" % MORE_STARTS)


def main():
    parser = game_arguments(__doc__)
    parser.add_argument("--grabber", required=True, help="the built frame grabber library")
    parser.add_argument("--screenshots", required=True, help="the committed screenshots")
    parser.add_argument("--software", action="store_true", help="a server without GLX")
    args = parser.parse_args()
    try:
        for scale in (1, 2):
            check_scale(args, scale)
        if not args.software:
            more_starts(args)
    except TestFailure as failure:
        print("FAILED: %s" % failure)
        print("frames and output are in %s" % args.artifacts)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
