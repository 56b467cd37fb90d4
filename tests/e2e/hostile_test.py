#!/usr/bin/python3
"""Hostile data files in a real window, for the kinds of damage that only
show once a real texture is made or a glyph is drawn: the archive holds a
PPM picture under a JPEG's name, and the loose files hold it too. The
game must refuse both, report the archive in its box, play a whole game
(the tile whose picture was refused shows none) and end with exit code 0.
With --software the X server has no GLX and the software renderer draws.

With --scale-2-stand-in the game starts at scale 2 among loose files
whose tile back for scale 2, h@2x.jpg, is cut after its header: it reads
as sound before the window is made and fails to decode only after. The
window stays 1600x1000, a box reports the file, and every tile back shows
the picture for scale 1, h.jpg, at twice its size.
"""

import os
import shutil
import sys
import tempfile

from PIL import Image

import pictures
from play_test import RESTING_POINT, SCREEN_SECONDS, Play

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "xwindow"))
from session import game_arguments, Session  # noqa: E402

REFUSED = "4.jpg"
CLASS = "ppm-as-jpeg"


class HostilePlay(Play):
    def box_over_the_splash(self):
        def box(shot):
            # The splash, fading in, all round a centre where it is not.
            around = self.at(0, 0, 800, 150)
            centre = self.at(300, 200, 500, 300)
            outside = pictures.darkened(shot.crop(around), self.splash.crop(around))[1]
            inside = pictures.darkened(shot.crop(centre), self.splash.crop(centre))[1]
            if outside < 0.9:
                return "not the splash around the centre (correlation %.2f)" % outside
            return None if inside < 0.8 else "the splash in the centre (correlation %.2f)" % inside

        self.s.save(self.s.wait_for("the box over the splash", box, SCREEN_SECONDS), "box")
        self.step("a box over the splash")

    def play_perfectly(self, deal):
        pairs = pictures.pairs_in_board_order(deal)
        for number, (value, (first, second)) in enumerate(pairs, 1):
            self.s.click(*pictures.tile_centre(first))
            self.s.move(*RESTING_POINT)
            if "%d.jpg" % (value % 10 + 1) != REFUSED:
                face = self.faces[value % 10 + 1]
                self.s.wait_for("tile %d face up" % first,
                                lambda shot: pictures.shows(shot, pictures.tile_box(first), face),
                                SCREEN_SECONDS)
            self.s.click(*pictures.tile_centre(second))
            self.s.move(*RESTING_POINT)
            if number == len(pairs):
                break
            self.s.wait_for("tiles %d and %d gone" % (first, second),
                            lambda shot: (pictures.white(shot, pictures.tile_box(first))
                                          or pictures.white(shot, pictures.tile_box(second))),
                            SCREEN_SECONDS)
        self.step("a whole game, the refused picture's pair shown without one")

    def whole_game(self):
        self.open_window()
        self.box_over_the_splash()
        self.main_menu_after_intro(watch_fade=False)
        if not self.software:
            self.about_and_back()
        self.s.click(400, 325)
        deal = self.read_deal(0)
        self.face_down_board("board")
        self.play_perfectly(deal)
        self.dismiss_box(self.win_box())
        self.choose_from_menu(1, "Exit")
        self.exit_code_zero()
        self.only_trace_on_stdout()


class StandInPlay(HostilePlay):
    def __init__(self, session, data_dir, software):
        super().__init__(session, data_dir, software, 2)
        once = pictures.load_asset(data_dir, "h.jpg")
        self.hidden = once.resize((2 * once.width, 2 * once.height), Image.NEAREST)

    def whole_game(self):
        self.open_window()
        self.box_over_the_splash()
        self.main_menu_after_intro(watch_fade=False)
        self.click(400, 325)
        self.read_deal(0)
        self.face_down_board("board")
        self.step("every tile back is h.jpg at twice its size, where h@2x.jpg failed")
        self.choose_from_menu(1, "Exit")
        self.exit_code_zero()


def stand_in(args):
    folder = tempfile.mkdtemp(prefix="kavenna-stand-in-")
    try:
        for name in pictures.asset_names(args.data_dir):
            shutil.copy(os.path.join(args.data_dir, name), folder)
        with open(os.path.join(args.data_dir, "h@2x.jpg"), "rb") as whole:
            picture = whole.read()
        with open(os.path.join(folder, "h@2x.jpg"), "wb") as cut:
            cut.write(picture[:len(picture) * 2 // 3])
        command = ["env", "GDK_SCALE=2", os.path.abspath(args.game)]
        with Session(command, folder, args.artifacts, glx=not args.software,
                     screen=(1920, 1200)) as session:
            return session.run_checks(StandInPlay(session, args.data_dir, args.software).whole_game)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = game_arguments(__doc__)
    parser.add_argument("--hostile-dir", required=True)
    parser.add_argument("--software", action="store_true")
    parser.add_argument("--scale-2-stand-in", action="store_true")
    args = parser.parse_args()
    if args.scale_2_stand_in:
        return stand_in(args)

    folder = tempfile.mkdtemp(prefix="kavenna-hostile-")
    try:
        for name in pictures.asset_names(args.data_dir):
            shutil.copy(os.path.join(args.data_dir, name), folder)
        case = os.path.join(args.hostile_dir, CLASS)
        shutil.copy(os.path.join(case, "loose", REFUSED), folder)
        shutil.copy(os.path.join(case, "tesmor.dat"), folder)
        game = os.path.abspath(args.game)
        with Session([game], folder, args.artifacts, glx=not args.software) as session:
            play = HostilePlay(session, args.data_dir, args.software)
            return session.run_checks(play.whole_game)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
