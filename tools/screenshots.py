#!/usr/bin/python3
"""Takes the game's screenshots for the README and the AppStream metainfo.

Starts the built game on a private Xvfb (tests/xwindow's harness), plays
it with the mouse and writes four PNG pictures of its 800x500 window:
intro.png (the title picture, faded in), main-menu.png, board.png (a game
in play: some pairs gone, two different tiles face up) and won.png (the
"You won" box). Then the same four at scale 2, from its 1600x1000 window
on a larger screen: intro@2x.png and so on. The deal comes from the
game's clock, so the preloaded fixed_seed library pins it and every run
plays the same game. The usual
way to run it is `cmake --build build --target screenshots`, which writes
docs/screenshots; a test checks that those still match what this makes.
"""

import argparse
import os
import re
import shutil
import sys
import tempfile
import time

from PIL import ImageChops

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "xwindow"))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
import pictures  # noqa: E402
from session import Session, TestFailure  # noqa: E402

WINDOW_SECONDS = 60
SCREEN_SECONDS = 30
TRIES = 3
# Nothing is drawn here on any screen: no hover, no tool-tip.
RESTING_POINT = (790, 495)
START_BUTTON = (300, 300, 500, 350)
ABOUT_BUTTON = (300, 400, 500, 450)
BELOW_MENU_BAR = (0, 30, 800, 500)
PAIRS_BEFORE_THE_BOARD_PICTURE = 3
TRACE_LINE = re.compile(r"(\d+)\.(\d+)  ")
NAMES = ("intro", "main-menu", "board", "won")
SCALES = (1, 2)


def file_name(name, scale):
    """The picture `name` at `scale`: board.png, board@2x.png."""
    return name + ("@%dx" % scale if scale > 1 else "") + ".png"


class IntroMissed(Exception):
    """The main menu came before the faded-in intro could be taken."""


class Shots:
    """The four screens at `scale`, taken from the layout's points times
    the scale and recognised by the pictures drawn for it."""

    def __init__(self, session, data_dir, scale):
        self.s = session
        self.k = scale

        def asset(name):
            stem, extension = os.path.splitext(name)
            suffix = "@%dx" % scale if scale > 1 else ""
            return pictures.load_asset(data_dir, stem + suffix + extension)

        self.splash = asset("s.png")
        self.menu_background = asset("m.png")
        self.faces = {name: asset("%d.jpg" % name) for name in range(1, 11)}
        self.taken = {}

    def at(self, *numbers):
        return tuple(self.k * n for n in numbers)

    def click(self, x, y):
        """Clicks the layout's point (x, y), then rests the pointer."""
        self.s.click(*self.at(x, y))
        self.s.move(*self.at(*RESTING_POINT))

    def settled(self, what, check):
        """The first screenshot that passes `check` and that the next one
        repeats exactly, so no picture is caught between two frames."""
        previous = None
        deadline = time.monotonic() + SCREEN_SECONDS
        while True:
            shot = self.s.wait_for(what, check, SCREEN_SECONDS)
            if previous is not None and ImageChops.difference(previous, shot).getbbox() is None:
                return shot
            previous = shot
            if time.monotonic() > deadline:
                raise TestFailure("%s: the picture never held still" % what)
            time.sleep(0.2)

    def intro(self):
        def faded_in(shot):
            if self.menu(shot) is None:
                raise IntroMissed()
            return pictures.shows(shot, self.at(0, 0, 800, 500), self.splash, at_least=0.995)

        self.taken["intro"] = self.settled("the intro, faded in", faded_in)

    def menu(self, shot):
        return pictures.shows_outside(shot, self.menu_background,
                                      [self.at(*START_BUTTON), self.at(*ABOUT_BUTTON)])

    def main_menu(self):
        self.taken["main-menu"] = self.settled("the main menu", self.menu)

    def deal(self):
        self.click(400, 325)
        self.s.wait_for_lines(20, SCREEN_SECONDS)
        self.values = {
            tile: int(TRACE_LINE.fullmatch(line).group(2))
            for tile, line in enumerate(self.s.stdout_text().splitlines()[:20])
        }
        self.pairs = [tiles for _, tiles in pictures.pairs_in_board_order(self.values)]

    def face(self, tile):
        # The value indexes the game's picture table: 10 shows 1.jpg.
        return self.faces[self.values[tile] % 10 + 1]

    def find_pair(self, first, second):
        self.click(*pictures.tile_centre(first))
        self.click(*pictures.tile_centre(second))
        gone = lambda shot: pictures.white(shot, self.at(*pictures.tile_box(second)))  # noqa: E731
        self.s.wait_for("tiles %d and %d gone" % (first, second), gone, SCREEN_SECONDS)

    def board(self):
        for first, second in self.pairs[:PAIRS_BEFORE_THE_BOARD_PICTURE]:
            self.find_pair(first, second)
        left = self.pairs[PAIRS_BEFORE_THE_BOARD_PICTURE:]
        # The first tile of the next pair and the first of the pair after.
        up = (left[0][0], left[1][0])
        for tile in up:
            self.click(*pictures.tile_centre(tile))

        def both_up(shot):
            for tile in up:
                complaint = pictures.shows(shot, self.at(*pictures.tile_box(tile)), self.face(tile))
                if complaint:
                    return complaint
            return None

        self.taken["board"] = self.settled("two tiles face up", both_up)
        self.left = left

    def won(self):
        for first, second in self.left[:-1]:
            self.find_pair(first, second)
        for tile in self.left[-1]:
            self.click(*pictures.tile_centre(tile))

        def box(shot):
            if pictures.not_white_bounds(shot, self.at(*BELOW_MENU_BAR)) is None:
                return "no box on the empty board"
            return None

        self.taken["won"] = self.settled("the 'You won' box", box)

    def all(self):
        self.s.start_game()
        self.s.find_window(WINDOW_SECONDS)
        self.s.move(*self.at(*RESTING_POINT))
        self.intro()
        self.main_menu()
        self.deal()
        self.board()
        self.won()


def take(command, build_dir, data_dir, artifacts, scale):
    """The four pictures at `scale`, by name; retried when a busy machine
    let the intro end before it could be taken."""
    command = command + ["--scale", str(scale)]
    screen = (1024, 768) if scale == 1 else (1920, 1200)
    for attempt in range(1, TRIES + 1):
        with Session(command, build_dir, artifacts, screen=screen) as session:
            shots = Shots(session, data_dir, scale)
            try:
                shots.all()
                return shots.taken
            except IntroMissed:
                print("screenshots: the intro ended before it was taken (try %d of %d)"
                      % (attempt, TRIES))
    raise TestFailure("the intro ended before it could be taken, %d times" % TRIES)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--game", required=True, help="the built kavenna program")
    parser.add_argument("--fixed-seed", required=True,
                        help="the built fixed_seed library that pins the deal")
    parser.add_argument("--build-dir", required=True, help="the build folder, with tesmor.dat")
    parser.add_argument("--data-dir", default=os.path.join(HERE, "..", "data"),
                        help="the loose assets the screens are recognised by")
    parser.add_argument("--out", required=True, help="the folder for the PNG files")
    args = parser.parse_args()

    command = ["env", "LD_PRELOAD=" + os.path.abspath(args.fixed_seed), os.path.abspath(args.game)]
    artifacts = tempfile.mkdtemp(prefix="kavenna-screenshots-")
    taken = {}
    try:
        for scale in SCALES:
            taken[scale] = take(command, args.build_dir, args.data_dir, artifacts, scale)
    except TestFailure as failure:
        print("screenshots: %s; what the game left is in %s" % (failure, artifacts))
        return 1
    shutil.rmtree(artifacts, ignore_errors=True)
    os.makedirs(args.out, exist_ok=True)
    for scale in SCALES:
        for name in NAMES:
            path = os.path.join(args.out, file_name(name, scale))
            taken[scale][name].save(path, optimize=True)
            print("screenshots: wrote " + path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
