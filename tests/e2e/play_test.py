#!/usr/bin/python3
"""Plays the built game in a real window under Xvfb, with the mouse only.

From the intro to the main menu, About and back, a perfect game read off
the deal trace (its first click after a few seconds at rest), the win
box, "Menu" -> "New Game" and "Menu" -> "Exit", checking the window's
pixels against the asset files on the way and the standard output at the
end. With --software the X server has no GLX, so the game must fall back
to the engine's software renderer; that run skips the fade, About and the
second deal. With --scale-2 the desktop asks for scale 2 (GDK_SCALE=2 on
a screen large enough), and every check is made at twice the size against
the pictures drawn at twice the pixels.
"""

import os
import re
import sys
import time

from PIL import Image

import pictures

# The X server harness shared with tests/install.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "xwindow"))
from session import game_arguments, Session, TestFailure  # noqa: E402

WINDOW_SECONDS = 60
SCREEN_SECONDS = 30
TRACE_LINE = re.compile(r"(\d+)\.(\d+)  \n")
WINDOW_BOX = (0, 0, 800, 500)
BELOW_MENU_BAR = (0, 30, 800, 500)
START_BUTTON = (300, 300, 500, 350)
ABOUT_BUTTON = (300, 400, 500, 450)
WEBSITE_BUTTON = (250, 300, 550, 350)
# The About screen's credit line, on the dark menu background above the
# panel: its first lines, where the text stands.
CREDIT_LINES = (300, 200, 600, 265)
# Nothing is drawn here on any screen; the pointer rests here so that no
# hover or tool-tip changes what is checked.
RESTING_POINT = (790, 495)
MENU_TITLE = (30, 10)
# At rest the game sleeps until the X server sends something: a click
# after a few quiet seconds is answered as fast as any other. The bounds
# are generous; the benchmark measures the real figures.
REST_SECONDS = 3
MOST_WAKEUPS_AT_REST = 5
ANSWER_SECONDS = 1.0


class Play:
    def __init__(self, session, data_dir, software, scale=1):
        self.s = session
        self.software = software
        self.k = scale

        def asset(name):
            if scale > 1:
                stem, extension = os.path.splitext(name)
                name = "%s@%dx%s" % (stem, scale, extension)
            return pictures.load_asset(data_dir, name)

        self.splash = asset("s.png")
        self.menu_background = asset("m.png")
        self.button_face = asset("w.jpg")
        self.hidden = asset("h.jpg")
        self.faces = {name: asset("%d.jpg" % name) for name in range(1, 11)}
        self.deals = []

    def at(self, *numbers):
        """A box or point of the 800x500 layout in the window at its scale."""
        return tuple(self.k * n for n in numbers)

    def tile_box(self, tile):
        return self.at(*pictures.tile_box(tile))

    def tile_centre(self, tile):
        return self.at(*pictures.tile_centre(tile))

    def click(self, x, y):
        self.s.click(*self.at(x, y))

    def rest(self):
        self.s.move(*self.at(*RESTING_POINT))

    def step(self, text):
        print("ok: " + text)
        sys.stdout.flush()

    # --- the window and the intro -------------------------------------

    def open_window(self):
        self.s.start_game()
        self.s.find_window(WINDOW_SECONDS)
        self.shown_at = time.monotonic()
        self.rest()
        deadline = time.monotonic() + 10
        while self.s.title() != "Kavenna":
            if time.monotonic() > deadline:
                raise TestFailure("the window is titled %r, not 'Kavenna'" % self.s.title())
            time.sleep(0.1)
        size = self.s.screenshot().size
        if size != self.at(800, 500):
            raise TestFailure("the window is %dx%d, not %dx%d" % (size + self.at(800, 500)))
        self.step("a window titled 'Kavenna', %dx%d" % size)

    def splash_through_fade(self):
        time.sleep(max(0.0, self.shown_at + 1.0 - time.monotonic()))

        def veiled(shot):
            factor, correlation = pictures.darkened(shot, self.splash)
            if correlation < 0.9:
                return "correlation with s.png only %.2f" % correlation
            if not 0.03 < factor < 0.9:
                return "brightness %.2f of s.png's" % factor
            self.first_factor = factor
            return None

        shot = self.s.wait_for("the splash darkened by the fade", veiled, 5)
        self.s.save(shot, "splash")
        self.step("about a second in, s.png shows at %.0f%% brightness"
                  % (100 * self.first_factor))

    def menu_check(self, shot):
        buttons = [self.at(*START_BUTTON), self.at(*ABOUT_BUTTON)]
        complaint = pictures.shows_outside(shot, self.menu_background, buttons)
        if complaint:
            return "background: " + complaint
        for box in buttons:
            complaint = pictures.shows_with_label(shot, box, self.button_face,
                                                  self.menu_background.crop(box))
            if complaint:
                return complaint
        return None

    def main_menu_after_intro(self, watch_fade):
        brightest = [0.0]

        def menu_or_splash(shot):
            complaint = self.menu_check(shot)
            if complaint and watch_fade:
                factor, correlation = pictures.darkened(shot, self.splash)
                if correlation > 0.9:
                    brightest[0] = max(brightest[0], factor)
            return complaint

        shot = self.s.wait_for("the main menu", menu_or_splash, SCREEN_SECONDS)
        seen_after = time.monotonic() - self.shown_at
        self.s.save(shot, "main-menu")
        # The game's clock starts before its window is found, never after.
        if seen_after < 4.5:
            raise TestFailure("the main menu came %.1f s after the window, before the intro's "
                              "6 s were over" % seen_after)
        if watch_fade and brightest[0] < self.first_factor + 0.1:
            raise TestFailure("the splash never brightened past %.0f%% before the menu"
                              % (100 * brightest[0]))
        self.step("the main menu (m.png, two buttons on w.jpg) %.1f s after the window"
                  % seen_after)

    # --- menu screens ---------------------------------------------------

    def website_button(self, shot):
        """The website button, wider than the art, wears it as the other
        buttons do: rounded ends and all, with its label."""
        box = self.at(*WEBSITE_BUTTON)
        return pictures.shows_with_label(
            shot, box, pictures.widened(self.button_face, box[2] - box[0]),
            self.menu_background.crop(box))

    def about_and_back(self):
        self.click(400, 425)
        self.rest()

        def about(shot):
            # The credit must be readable: light letters on the dark blue.
            credit = pictures.light_share(shot, self.at(*CREDIT_LINES))
            if credit < 0.01:
                return "the credit line is not light on the background (%.2f%%)" % (100 * credit)
            back = self.at(*ABOUT_BUTTON)
            complaint = pictures.shows_with_label(shot, back, self.button_face,
                                                  self.menu_background.crop(back))
            return complaint or self.website_button(shot)

        self.s.save(self.s.wait_for("the About screen", about, SCREEN_SECONDS), "about")
        self.click(400, 425)
        self.rest()
        self.s.wait_for("the main menu again", self.menu_check, SCREEN_SECONDS)
        if self.s.stdout_text():
            raise TestFailure("standard output before any game: %r" % self.s.stdout_text())
        self.step("About, its website button on the button art, then Back to the main menu")

    # --- the board --------------------------------------------------------

    def read_deal(self, lines_before):
        self.s.wait_for_lines(lines_before + 20, SCREEN_SECONDS)
        # Anything more would come at once; give it a moment to show.
        time.sleep(1.0)
        text = self.s.stdout_text()
        lines = text.splitlines(True)
        if len(lines) != lines_before + 20:
            raise TestFailure("%d lines on standard output, expected %d:\n%s"
                              % (len(lines), lines_before + 20, text))
        deal = {}
        for expected_tile, line in enumerate(lines[lines_before:]):
            match = TRACE_LINE.fullmatch(line)
            if not match or int(match.group(1)) != expected_tile:
                raise TestFailure("trace line %r is not '%d.<value>  '" % (line, expected_tile))
            deal[expected_tile] = int(match.group(2))
        values = sorted(deal.values())
        if values != sorted(list(range(1, 11)) * 2):
            raise TestFailure("the deal %r is not two tiles of each value 1..10" % deal)
        self.deals.append(deal)
        self.step("exactly 20 trace lines for the deal")
        return deal

    def face_down_board(self, name):
        expected = Image.new("RGB", self.at(800, 500), (255, 255, 255))
        for tile in range(20):
            expected.paste(self.hidden, self.tile_box(tile)[:2])
        box = self.at(*BELOW_MENU_BAR)

        def board(shot):
            return pictures.shows(shot, box, expected.crop(box), at_least=0.99)

        self.rest()
        self.s.save(self.s.wait_for("20 face-down tiles", board, SCREEN_SECONDS), name)
        self.step("20 face-down tiles (h.jpg) on white")

    def play_perfectly(self, deal):
        pairs = pictures.pairs_in_board_order(deal)
        for number, (value, (first, second)) in enumerate(pairs, 1):
            # The value indexes the game's picture table: 10 shows 1.jpg.
            face = self.faces[value % 10 + 1]
            if number == 1:
                self.click_after_rest(first, face)
            else:
                self.s.click(*self.tile_centre(first))
                self.rest()
                self.s.wait_for("tile %d face up" % first,
                                lambda shot: pictures.shows(shot, self.tile_box(first), face),
                                SCREEN_SECONDS)
            self.s.click(*self.tile_centre(second))
            self.rest()
            if number == len(pairs):
                break

            def gone(shot):
                return (pictures.white(shot, self.tile_box(first))
                        or pictures.white(shot, self.tile_box(second)))

            shot = self.s.wait_for("tiles %d and %d gone" % (first, second), gone, SCREEN_SECONDS)
            if number in (1, 5):
                self.s.save(shot, "pair-%d" % number)
        self.step("a perfect game: each pair left the board as it was found")

    def click_after_rest(self, tile, face):
        """Leaves the board alone for a while, then clicks `tile`, which
        must turn to `face` within ANSWER_SECONDS."""
        self.rest()
        time.sleep(0.5)
        before = self.s.wakeups()
        time.sleep(REST_SECONDS)
        woken = self.s.wakeups() - before
        if woken > MOST_WAKEUPS_AT_REST:
            raise TestFailure("at rest the game woke %d times in %d s" % (woken, REST_SECONDS))
        self.s.click(*self.tile_centre(tile))
        clicked = time.monotonic()
        while True:
            # A screenshot shows the window as it was when it was taken,
            # however long the comparison takes.
            taken = time.monotonic() - clicked
            shot = self.s.screenshot()
            if taken > ANSWER_SECONDS:
                path = self.s.save(shot, "failed")
                raise TestFailure("tile %d not turned %.1f s after a click at rest; "
                                  "screenshot %s" % (tile, ANSWER_SECONDS, path))
            if pictures.shows(shot, self.tile_box(tile), face) is None:
                break
        self.rest()
        self.step("after %d s at rest (%d wake-ups), a click turned tile %d within %.2f s"
                  % (REST_SECONDS, woken, tile, taken))

    def win_box(self):
        def box_and_nothing_else(shot):
            bounds = pictures.not_white_bounds(shot, self.at(*BELOW_MENU_BAR))
            if bounds is None:
                return "nothing in the window's centre"
            left, top, right, bottom = bounds
            if not (left < 400 * self.k < right and top < 250 * self.k < bottom):
                return "something at %r, not over the centre" % (bounds,)
            if not (150 * self.k <= right - left <= 600 * self.k
                    and 60 * self.k <= bottom - top <= 350 * self.k):
                return "something of odd size at %r" % (bounds,)
            self.box = bounds
            return None

        shot = self.s.wait_for("the win box", box_and_nothing_else, SCREEN_SECONDS)
        self.s.save(shot, "won")
        self.step("the last pair went and the 'You won' box came up at %r" % (self.box,))
        return shot

    def dismiss_box(self, shot):
        left, top, right, bottom = self.box
        # Below the title bar and inside the frame: the message, then the
        # button's label lowest of all.
        k = self.k
        labels = [band for band in pictures.ink_bands(shot, (left + 4 * k, top + 22 * k,
                                                              right - 4 * k, bottom - 4 * k))
                  if band[1] - band[0] >= 5 * k]
        if len(labels) < 2:
            raise TestFailure("no message and button label in the box: %r" % labels)
        band_top, band_bottom, band_left, band_right = labels[-1]
        self.s.click((band_left + band_right) // 2, (band_top + band_bottom) // 2)
        self.rest()
        self.s.wait_for("the box gone",
                        lambda shot: pictures.white(shot, self.at(*BELOW_MENU_BAR)),
                        SCREEN_SECONDS)
        self.step("OK closed the box, leaving an empty board")

    def choose_from_menu(self, index, name):
        before = self.s.screenshot()
        self.click(*MENU_TITLE)
        k = self.k

        def submenu(shot):
            # It is drawn see-through: whatever changed below the bar is it.
            bounds = pictures.changed_bounds(before, shot, self.at(0, 26, 300, 200))
            if bounds is None:
                return "no submenu below the menu bar"
            left, top, right, bottom = bounds
            if not (60 * k <= right - left <= 250 * k and 30 * k <= bottom - top <= 120 * k):
                return "something of odd size at %r" % (bounds,)
            self.submenu = bounds
            return None

        self.s.save(self.s.wait_for("the submenu", submenu, SCREEN_SECONDS), "submenu")
        # Two entries of equal height: "New Game" above "Exit".
        left, top, right, bottom = self.submenu
        self.s.click((left + right) // 2, top + (bottom - top) * (2 * index + 1) // 4)
        self.step("'Menu' -> '%s'" % name)

    # --- the end ----------------------------------------------------------

    def exit_code_zero(self):
        code = self.s.wait_for_exit(SCREEN_SECONDS)
        if code != 0:
            raise TestFailure("the game ended with %d; stderr: %s" % (code, self.s.stderr()))
        self.step("the game ended with exit code 0")

    def only_trace_on_stdout(self):
        expected = "".join("%d.%d  \n" % (tile, deal[tile])
                           for deal in self.deals for tile in range(20))
        text = self.s.stdout_text()
        if text != expected:
            raise TestFailure("standard output is not just the deals' trace:\n%r" % text)
        self.step("standard output holds the %d deals' trace and nothing else" % len(self.deals))

    # --- all of it ---------------------------------------------------------

    def whole_game(self):
        """The run described at the top of this file."""
        self.open_window()
        if not self.software:
            self.splash_through_fade()
        self.main_menu_after_intro(watch_fade=not self.software)
        if not self.software:
            self.about_and_back()
        self.click(400, 325)
        deal = self.read_deal(0)
        self.face_down_board("board")
        self.play_perfectly(deal)
        self.dismiss_box(self.win_box())
        if not self.software:
            self.choose_from_menu(0, "New Game")
            self.read_deal(20)
            self.face_down_board("new-game")
        self.choose_from_menu(1, "Exit")
        self.exit_code_zero()
        self.only_trace_on_stdout()


def main():
    parser = game_arguments(__doc__)
    parser.add_argument("--software", action="store_true")
    parser.add_argument("--scale-2", action="store_true")
    args = parser.parse_args()

    scale = 2 if args.scale_2 else 1
    command = ["env", "GDK_SCALE=2", args.game] if scale > 1 else [args.game]
    screen = (1920, 1200) if scale > 1 else (1024, 768)
    with Session(command, args.build_dir, args.artifacts, glx=not args.software,
                 screen=screen) as session:
        play = Play(session, args.data_dir, args.software, scale)
        return session.run_checks(play.whole_game)


if __name__ == "__main__":
    sys.exit(main())
