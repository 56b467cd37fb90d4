#!/usr/bin/python3
"""Plays a whole game in another language in a real window under Xvfb:
German chosen with --language, or Russian chosen by the environment as
every gettext program reads it (LANGUAGE under a UTF-8 locale). The game
speaks to a fake speech service, and what it says is the test's window
on the engine's texts: the service must be asked for the language's
voice, and every sentence heard, from the welcome through the main menu,
the board, each tile turned and the win with its number of clicks to the
menu's items, must be the catalogue's, exactly as the game puts it
together. Screenshots of the main menu and the win box are kept in the
artifacts folder.
"""

import gettext
import os
import re
import sys

import pictures
import play_test

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "xwindow"))
from session import game_arguments, Session, TestFailure  # noqa: E402
import fake_speechd  # noqa: E402

SCREEN_SECONDS = play_test.SCREEN_SECONDS
PAIR_COUNT = 10
CONVERSION = re.compile(r"%(?:(\d)\$)?([ds%])")
PICTURE_TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data",
                             "pictures.txt")


def formatted(text, *arguments):
    """`text` with its conversions replaced as the game does it: in turn,
    or where a translation numbers them (%2$s)."""
    next_argument = iter(range(len(arguments)))

    def place(match):
        if match.group(2) == "%":
            return "%"
        index = int(match.group(1)) - 1 if match.group(1) else next(next_argument)
        return str(arguments[index])
    return CONVERSION.sub(place, text)


class SpokenGame:
    def __init__(self, session, service, catalogue, code):
        self.s = session
        self.service = service
        self.t = catalogue.gettext
        self.catalogue = catalogue
        self.code = code
        # The pictures' English names, in the order of their files.
        self.names = []
        with open(PICTURE_TABLE, encoding="utf-8") as table:
            for line in table:
                match = re.match(r"^([a-z]+) +\d+ +\d+ +\d+ +([a-z ]+)$", line.strip())
                if match and not line.startswith("#"):
                    self.names.append(match.group(2) + " " + match.group(1))

    def step(self, text):
        print("ok: " + text)
        sys.stdout.flush()

    def key(self, *keys):
        self.s.x("xdotool", "key", "--delay", "30", *keys)

    def hear(self, what, expected):
        """Waits for the sentence `expected`; everything heard on the way
        is noted."""
        while True:
            said = self.service.next_sentence(SCREEN_SECONDS)
            if said is None:
                raise TestFailure("%s: %r not heard within %d s; heard so far: %r"
                                  % (what, expected, SCREEN_SECONDS,
                                     self.service.sentences[-5:]))
            if said[1] == expected:
                return

    def place(self, tile):
        return formatted(self.t("row %d, column %d"), tile % 5 + 1, tile // 5 + 1)

    def picture(self, value):
        return self.t(self.names[value % PAIR_COUNT])

    def menus(self):
        self.s.start_game()
        self.s.find_window(play_test.WINDOW_SECONDS)
        self.hear("the welcome", self.t(
            "Kavenna, a pair-matching game. When the main menu comes, press Tab, then Enter, "
            "to start. Control S turns speech off and on."))
        asked = [line for line in self.service.commands if line.startswith("SET SELF LANGUAGE")]
        if asked != ["SET SELF LANGUAGE " + self.code]:
            raise TestFailure("the service was asked %r, not for %r" % (asked, self.code))
        self.step("the service was asked for the voice of %s, and the welcome said in it"
                  % self.code)
        self.hear("the main menu", formatted(self.t("Main menu: %s, %s."), self.t("Start Game"),
                                             self.t("About")))
        self.s.save(self.s.screenshot(), "main-menu")
        self.s.x("xdotool", "windowfocus", "--sync", self.s.window)
        self.key("Tab")
        self.hear("Tab to Start Game", self.t("Start Game"))
        self.step("heard the main menu and its first button in the catalogue's words")

    def play(self):
        self.key("space")
        self.hear("the new board", formatted(
            self.t("New game: %s tiles face down, in %s rows of %s."), 20, 5, 4))
        deal = self.read_deal()
        clicks = 0
        for number, (value, (first, second)) in enumerate(pictures.pairs_in_board_order(deal), 1):
            for tile in (first, second):
                self.s.click(*pictures.tile_centre(tile))
                clicks += 1
            turned = [self.picture(value), self.place(second)]
            if number < PAIR_COUNT:
                self.hear("pair %d found" % number, formatted(
                    self.t("%s, %s. Pair found, %s of %s."), *turned, number, PAIR_COUNT))
        won = formatted(self.t("%s, %s. Pair found, %s of %s."), *turned, PAIR_COUNT, PAIR_COUNT)
        text = formatted(self.catalogue.ngettext("Your number of clicks are %d\nPlay Again",
                                                 "Your number of clicks are %d\nPlay Again",
                                                 clicks), clicks)
        won += " " + self.t("You won") + ". " + text.replace("\n", ". ")
        self.hear("the win", won)
        self.s.save(self.s.screenshot(), "won")
        self.step("heard every pair found and the win with its %d clicks: %r" % (clicks, won))

    def read_deal(self):
        self.s.wait_for_lines(20, SCREEN_SECONDS)
        deal = {}
        for line in self.s.stdout_text().splitlines():
            tile, value = line.strip().split(".")
            deal[int(tile)] = int(value)
        return deal

    def leave(self):
        self.key("Escape")
        self.hear("the menu title", formatted(self.t("%s, opens with Enter"), self.t("Menu")))
        self.key("F10")
        self.hear("the menu's first item", self.t("New Game"))
        self.key("Down")
        self.hear("the menu's second item", self.t("Exit"))
        self.key("Return")
        code = self.s.wait_for_exit(SCREEN_SECONDS)
        # Without GLX the game says once, in the player's language, that
        # the software renderer draws.
        errors = [line for line in self.s.stderr().splitlines() if self.s.glx or line != self.t(
            "kavenna: OpenGL could not be used; the software renderer draws instead\n").strip()]
        if code != 0 or errors:
            raise TestFailure("the game ended with %d; stderr: %s" % (code, self.s.stderr()))
        self.step("heard the menu's items in the catalogue's words, and Exit ended the game")

    def whole_game(self):
        self.menus()
        self.play()
        self.leave()


def main():
    parser = game_arguments(__doc__)
    parser.add_argument("--language", required=True, help="a language of po/LINGUAS")
    parser.add_argument("--from-environment", action="store_true",
                        help="choose it with LANGUAGE rather than --language")
    parser.add_argument("--locale-dir", required=True, help="the build's compiled catalogues")
    parser.add_argument("--software", action="store_true", help="on a server without GLX")
    args = parser.parse_args()

    catalogue = gettext.translation("kavenna", localedir=args.locale_dir,
                                    languages=[args.language])
    command = [args.game, "--speech"]
    if not args.from_environment:
        command += ["--language", args.language]
    with Session(command, args.build_dir, args.artifacts, glx=not args.software) as session:
        if args.from_environment:
            session.env.update(LC_ALL="C.UTF-8", LANGUAGE=args.language)
        address = os.path.join(args.artifacts, "speechd.sock")
        service = fake_speechd.FakeSpeechService(address, "normal")
        session.env["SPEECHD_ADDRESS"] = "unix_socket:" + address
        try:
            game = SpokenGame(session, service, catalogue, args.language.replace("_", "-"))
            return session.run_checks(game.whole_game)
        finally:
            service.stop()


if __name__ == "__main__":
    sys.exit(main())
