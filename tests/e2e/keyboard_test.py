#!/usr/bin/python3
"""Plays the built game in a real window under Xvfb with the keyboard
alone, watching the focus ring and the board's menu.

From the intro to the main menu; About (where the ring starts on Back,
and the website button wears the button art), left with Escape, then
again with Enter on Back; on the board "Menu" opened with Alt+M and
closed with Escape, which gives the ring back to the tile it was opened
from, then opened and closed again on its title; a perfect game read
off the deal trace with Tab, Shift+Tab and the arrow keys, the "You
won" box answered with Escape, and the empty board continued with Tab,
Enter, Enter; F10 then Enter for "New Game"; new deals with Ctrl+N and
F2; and "Exit" from the menu (with OpenGL) or Ctrl+Q (with --software,
where the X server has no GLX). Every key that moves the focus is
followed by a screenshot that must show exactly one ring, around the
button or the menu title the player expects. With --scale-2 the desktop
asks for scale 2 and all of it is checked at twice the size.

With --speech the game speaks to a fake speech service: against one that
answers, a blind player's whole session found by ear alone (SpokenPlay
below); against one that never answers, closes mid-game or is missing,
the run above, which must play on as without speech.
"""

import os
import re
import sys
import time

import pictures
import play_test

# The X server harness shared with tests/install.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "xwindow"))
from session import game_arguments, Session, SOFTWARE_FALLBACK, TestFailure  # noqa: E402
import fake_speechd  # noqa: E402

SCREEN_SECONDS = play_test.SCREEN_SECONDS
START_BUTTON = play_test.START_BUTTON
ABOUT_BUTTON = play_test.ABOUT_BUTTON
WEBSITE_BUTTON = play_test.WEBSITE_BUTTON
BACK_BUTTON = ABOUT_BUTTON
# What the ring finder reports for the menu bar's title, whose ring lies
# inside it, at each scale: the title stands at (0, 0)-(64, 24), and at
# scale 2, where the engine adds the same 20 pixels to its text's width,
# at (0, 0)-(108, 43).
MENU_TITLE_RING = {1: (6, 6, 58, 18), 2: (12, 12, 96, 31)}
# The menu title as a stop of Tab.
MENU = "the menu title"
# At each scale, a column through the drop-down menu's two items (x, and
# y in each), and a strip of it that is white while the menu is closed.
# At scale 1 the column passes right of the first tile; at scale 2, where
# the menu is narrower than that tile, the strip lies above the tile and
# the ring around it.
MENU_COLUMN_X = {1: 118, 2: 100}
MENU_ITEM_Y = {1: (36, 56), 2: (52, 104)}
MENU_DROP = {1: (118, 28, 119, 68), 2: (100, 44, 101, 56)}


def reading_order(tile):
    """The tile's place when the board is read row by row."""
    return (tile % 5) * 4 + tile // 5


class KeyboardPlay(play_test.Play):
    def key(self, *keys):
        # Through XTEST, to the window holding the input focus, as a
        # keyboard types.
        self.s.x("xdotool", "key", "--delay", "30", *keys)

    def ring_on(self, expected, name, what, inside=None):
        """Waits for the one focus ring to surround the box `expected`."""

        def check(shot):
            found, complaint = pictures.focus_ring(shot, inside, self.k)
            if complaint:
                return complaint
            if found != expected:
                return "the ring surrounds %r, not %r" % (found, expected)
            return None

        shot = self.s.wait_for(what, check, SCREEN_SECONDS)
        if name:
            self.s.save(shot, name)
        return shot

    def no_ring(self, shot, what):
        found, _ = pictures.focus_ring(shot, scale=self.k)
        if found:
            raise TestFailure("%s: a focus ring around %r" % (what, found))

    # --- the screens around the board -----------------------------------

    def menus(self):
        self.s.x("xdotool", "windowfocus", "--sync", self.s.window)
        self.no_ring(self.s.screenshot(), "the main menu before any key")
        self.key("Tab")
        self.ring_on(self.at(*START_BUTTON), "menu-ring", "the ring on Start Game after Tab")
        self.key("Tab")
        self.ring_on(self.at(*ABOUT_BUTTON), None, "the ring on About after a second Tab")
        self.key("shift+Tab")
        self.ring_on(self.at(*START_BUTTON), None, "the ring back on Start Game after Shift+Tab")
        self.key("Down")
        self.ring_on(self.at(*ABOUT_BUTTON), None, "the ring on About after Down")
        self.key("space")
        # The keyboard starts on Back, though the website button is above.
        shot = self.ring_on(self.at(*BACK_BUTTON), "about-ring", "About, the ring on Back")
        complaint = self.website_button(shot)
        if complaint:
            raise TestFailure("the website button: " + complaint)
        self.key("Tab")
        self.ring_on(self.at(*WEBSITE_BUTTON), None, "the ring on the website button after Tab")
        self.key("Escape")
        self.main_menu_again("Escape on About")
        self.key("Down")
        self.ring_on(self.at(*ABOUT_BUTTON), None, "the ring on About after Down")
        self.key("Return")
        self.ring_on(self.at(*BACK_BUTTON), None, "About again, the ring on Back")
        self.key("Return")
        self.main_menu_again("Enter on Back")
        self.step("Tab, Shift+Tab and the arrows move a ring through the menus from the top"
                  " down; About starts on Back, and Escape leaves it")

    def main_menu_again(self, how):
        self.s.wait_for("the main menu after %s" % how, self.menu_check_with_ring, SCREEN_SECONDS)
        self.ring_on(self.at(*START_BUTTON), None,
                     "the main menu after %s, the ring on Start Game" % how)

    def menu_check_with_ring(self, shot):
        # The ring lies on the menu picture: leave it out of the comparison.
        ring = 6 * self.k
        ringed = [(l - ring, t - ring, r + ring, b + ring)
                  for l, t, r, b in (self.at(*START_BUTTON), self.at(*ABOUT_BUTTON))]
        return pictures.shows_outside(shot, self.menu_background, ringed)

    # --- the board ----------------------------------------------------------

    def start(self):
        self.key("space")
        deal = self.read_deal(len(self.deals) * 20)
        self.left = set(range(20))
        self.focus = 0
        self.ring_on(self.tile_box(0), "board-ring", "the new board, the ring on tile 0")
        return deal

    def press_towards(self, target):
        """One key that brings the focus nearer to `target`; the stop it
        lands on. In a row or a column that holds both, an arrow jumps to
        the next tile left in it; elsewhere Tab or Shift+Tab, whichever is
        shorter, in reading order over the tiles left and the menu title
        after them."""
        here = self.focus
        if here != MENU and (here % 5 == target % 5 or here // 5 == target // 5):
            same_row = here % 5 == target % 5
            forward = target > here
            line = [t for t in self.left
                    if (t % 5 == here % 5 if same_row else t // 5 == here // 5)]
            line = sorted(t for t in line if (t > here if forward else t < here))
            key = {(True, True): "Right", (True, False): "Left",
                   (False, True): "Down", (False, False): "Up"}[(same_row, forward)]
            return key, (line[0] if forward else line[-1])
        order = sorted(self.left, key=reading_order) + [MENU]
        ahead = (order.index(target) - order.index(here)) % len(order)
        if ahead <= len(order) - ahead:
            return "Tab", order[(order.index(here) + 1) % len(order)]
        return "shift+Tab", order[order.index(here) - 1]

    def go_to(self, target):
        while self.focus != target:
            key, landing = self.press_towards(target)
            self.key(key)
            self.keys_used.add(key)
            self.ring_on(MENU_TITLE_RING[self.k] if landing == MENU else self.tile_box(landing), None,
                         "%s from %s: the ring on %s" % (key, self.focus, landing))
            self.focus = landing

    def turn(self, tile, face=None):
        """Turns `tile` over; with `face`, waits to see it face up (the
        second of a pair leaves the board at once)."""
        self.go_to(tile)
        self.key("space")
        if face:
            self.s.wait_for("tile %d face up" % tile,
                            lambda shot: pictures.shows(shot, self.tile_box(tile), face),
                            SCREEN_SECONDS)

    def after_pair(self, first, second):
        """The pair leaves, and the focus goes on to the next tile left in
        reading order."""
        self.left -= {first, second}
        if not self.left:
            return  # the win box comes up over the board

        def gone(shot):
            return (pictures.white(shot, self.tile_box(first))
                    or pictures.white(shot, self.tile_box(second)))

        self.s.wait_for("tiles %d and %d gone" % (first, second), gone, SCREEN_SECONDS)
        order = sorted(self.left | {second}, key=reading_order)
        self.focus = order[(order.index(second) + 1) % len(order)]
        self.ring_on(self.tile_box(self.focus), None,
                     "after the pair, the ring on the next tile, %d" % self.focus)

    def play_perfectly_by_keyboard(self, deal, pairs_to_play=None):
        pairs = pictures.pairs_in_board_order(deal)
        self.keys_used = set()
        for number, (value, (first, second)) in enumerate(pairs[:pairs_to_play], 1):
            face = self.faces[value % 10 + 1]
            self.turn(first, face)
            if number == 1:
                self.s.save(self.s.screenshot(), "first-face-up")
            self.turn(second)
            self.after_pair(first, second)
        self.step("%d pairs found with %s and Space, the ring following the focus"
                  % (len(pairs[:pairs_to_play]), ", ".join(sorted(self.keys_used))))

    def win_box_by_keyboard(self):
        shot = self.win_box()
        left, top, right, bottom = self.box
        # The ring stays inside the box, around its one button at the bottom.
        inside = (left, top, right, bottom)
        shot = self.s.wait_for("the ring on the box's button",
                               lambda shot: pictures.focus_ring(shot, inside, self.k)[1],
                               SCREEN_SECONDS)
        ring = pictures.focus_ring(shot, inside, self.k)[0]
        # Around a button with a label, below the message.
        k = self.k
        label = [band for band in pictures.ink_bands(shot, ring) if band[1] - band[0] >= 5 * k]
        message = [band for band in pictures.ink_bands(shot, (left + 4 * k, top + 22 * k,
                                                               right - 4 * k, ring[1] - 6 * k))
                   if band[1] - band[0] >= 5 * k]
        if not label or not message:
            raise TestFailure("the ring %r is not around a labelled button below the message"
                              " (label %r, message %r)" % (ring, label, message))
        self.s.save(shot, "won-ring")
        self.key("Escape")
        self.s.wait_for("the box gone",
                        lambda shot: pictures.white(shot, self.at(*play_test.BELOW_MENU_BAR)),
                        SCREEN_SECONDS)
        self.step("the ring on the box's OK, and Escape closed the box")

    # --- the menu bar ---------------------------------------------------------

    def menu_state(self, shot):
        """None while the drop-down menu is closed, else the index of the
        item it highlights (-1 for none)."""
        if pictures.white(shot, MENU_DROP[self.k]) is None:
            return None
        for item, y in enumerate(MENU_ITEM_Y[self.k]):
            red, green, blue = shot.convert("RGB").getpixel((MENU_COLUMN_X[self.k], y))
            if blue - red > 25:
                return item
        return -1

    def menu_shows(self, expected, name, what, ring=None):
        """Waits for the menu to be `expected` (see menu_state) with the
        ring on its title, or around the box `ring`."""

        def check(shot):
            state = self.menu_state(shot)
            if state != expected:
                return "the menu shows %r, not %r" % (state, expected)
            found, complaint = pictures.focus_ring(shot, scale=self.k)
            if complaint:
                return complaint
            if found != (ring or MENU_TITLE_RING[self.k]):
                return "the ring surrounds %r, not %r" % (found, ring or MENU_TITLE_RING[self.k])
            return None

        shot = self.s.wait_for(what, check, SCREEN_SECONDS)
        if name:
            self.s.save(shot, name)
        return shot

    def menu_opened_and_closed(self):
        self.key("alt+m")
        self.menu_shows(0, "alt-m", "Alt+M: the menu open on New Game")
        self.key("Down")
        self.menu_shows(1, None, "Down: Exit highlighted")
        self.key("Down")
        self.menu_shows(0, None, "Down again: round to New Game")
        self.key("Escape")
        self.menu_shows(None, "menu-closed-ring", "Escape: the menu closed, the ring back on tile 0",
                        ring=self.tile_box(0))
        self.key("shift+Tab")
        self.menu_shows(None, "menu-title-ring", "Shift+Tab from tile 0: the ring on the title")
        self.key("Return")
        self.menu_shows(0, None, "Enter on the title: the menu open on New Game")
        self.key("Escape")
        self.menu_shows(None, None, "Escape: the menu closed, the ring on the title it opened on")
        self.key("Tab")
        self.ring_on(self.tile_box(0), None, "Tab from the menu title: tile 0")
        self.focus = 0
        self.step("Alt+M opened the menu on New Game, Down went round, Escape closed it and gave"
                  " the ring back to tile 0; opened on its title by Enter, Escape left it there")

    def continue_after_win(self):
        self.menu_shows(None, "won-title-ring", "the empty board, the ring on the menu title")
        self.key("Tab")
        self.menu_shows(None, None, "Tab on the empty board: still the menu title")
        self.key("Return")
        self.menu_shows(0, None, "Enter: the menu open on New Game")
        self.key("Return")
        self.fresh_board("Tab, Enter, Enter after the win")

    def new_game_by_f10(self):
        self.key("F10")
        self.menu_shows(0, "f10", "F10: the menu open on New Game")
        self.key("Return")
        self.fresh_board("F10, Enter")

    def exit_by_menu(self):
        self.key("F10")
        self.menu_shows(0, None, "F10: the menu open on New Game")
        self.key("Up")
        self.menu_shows(1, None, "Up: round to Exit")
        self.key("Return")
        self.step("F10, Up, Enter chose Exit")

    def fresh_board(self, how):
        self.read_deal(len(self.deals) * 20)
        self.left = set(range(20))
        self.focus = 0
        self.ring_on(self.tile_box(0), None, "%s: a new board, the ring on tile 0" % how)
        self.step("%s dealt a new game" % how)

    def new_deal(self, key):
        self.key(key)
        self.fresh_board(key)

    # --- all of it ---------------------------------------------------------

    def whole_game(self):
        """The run described at the top of this file."""
        self.open_window()
        self.main_menu_after_intro(watch_fade=False)
        self.menus()
        deal = self.start()
        self.menu_opened_and_closed()
        self.play_perfectly_by_keyboard(deal)
        self.win_box_by_keyboard()
        self.continue_after_win()
        self.new_game_by_f10()
        self.play_perfectly_by_keyboard(self.deals[-1], pairs_to_play=2)
        self.new_deal("ctrl+n")
        self.new_deal("F2")
        if self.software:
            self.key("ctrl+q")
        else:
            self.exit_by_menu()
        self.exit_code_zero()
        self.only_trace_on_stdout()



# --- with speech: the game heard, not seen -----------------------------------

FOCUS = re.compile(r"row (\d+), column (\d+), (.+)")
# A tile turned and what it brought, in one sentence: the picture and
# where; then two different pictures, or a pair found with its number and
# after the last pair the win with the clicks.
TURNED = re.compile(r"(.+?), row (\d+), column (\d+)(?:, face up already|\. (?:(Two different "
                    r"pictures)|Pair found, (\d+) of 10)\.(?: You won\. Your number of clicks are "
                    r"(\d+)\. Play Again)?)?")
BOARD = re.compile(r"New game: (\d+) tiles face down, in (\d+) rows of (\d+)\.")
# A sentence said after what it tells has passed is said too late: the
# voice must start on each result at once, and on the win.
MOST_LAG_SECONDS = 1.5
# The menu bar's title, heard where the focus reaches it; its items are
# found by their names as the keys highlight them.
TITLE = "Menu, opens with Enter"
MENU_STOP = "menu"


class SpokenPlay:
    """A blind player's whole session, found by ear: the test reads
    nothing but what the game says through the fake speech service (no
    screenshots, no trace). From the welcome to the main menu, About and
    back by Escape, a game played from memory of the pictures heard (Tab
    passing the menu title on its way round), the win with its clicks,
    the empty board's one stop, the menu title, opened and "New Game"
    chosen by ear; speech off and on, "New Game" found by name in the menu
    F10 opens, a new deal by Ctrl+N, and "Exit" found in the menu. Keys
    that cannot move the focus say where it stays. The service's voice
    takes its time, and must keep pace: each tile turned is said at once,
    cutting off the one before; the win is said whole, before the box's
    OK; and the game leaves the service as the protocol asks."""

    def __init__(self, session, service):
        self.s = session
        self.service = service
        self.clicks = 0
        self.titles_passed = 0

    def step(self, text):
        print("ok: " + text)
        sys.stdout.flush()

    def key(self, *keys):
        self.s.x("xdotool", "key", "--delay", "30", *keys)

    def hear(self, what, match):
        """The next sentences until one that `match` (a text or a compiled
        pattern) fits; the match. Focus sentences on the way are noted."""
        while True:
            said = self.service.next_sentence(SCREEN_SECONDS)
            if said is None:
                raise TestFailure("%s: not heard within %d s; heard so far: %r"
                                  % (what, SCREEN_SECONDS, self.service.sentences[-5:]))
            priority, text = said
            focus = FOCUS.fullmatch(text)
            if focus and priority == "text":
                self.focus = (int(focus.group(1)), int(focus.group(2)))
            if text == TITLE and priority == "text":
                self.focus = MENU_STOP
            if isinstance(match, str):
                if text == match:
                    return text
            else:
                found = match.fullmatch(text)
                if found:
                    return found

    def menus(self):
        self.hear("the welcome", re.compile(r"Kavenna, .*Control S.*"))
        self.hear("the main menu", "Main menu: Start Game, About.")
        self.s.x("xdotool", "windowfocus", "--sync", self.s.window)
        self.key("Tab")
        self.hear("Tab to Start Game", "Start Game")
        self.key("Tab")
        self.hear("Tab to About", "About")
        self.key("space")
        self.hear("the About screen", "About: Devolped By Tesmor Pell.")
        self.hear("the focus on Back", "Back")
        self.key("Tab")
        self.hear("Tab to the website", "Visit my website for more games")
        self.key("Tab")
        self.hear("Tab round to Back", "Back")
        self.key("Escape")
        self.hear("the main menu again", "Main menu: Start Game, About.")
        self.hear("the focus on Start Game", "Start Game")
        self.step("heard the welcome, the main menu, About and back by Escape, "
                  "and every button reached")

    def start(self):
        self.key("space")
        board = self.hear("the new board", BOARD)
        self.rows, self.columns = int(board.group(2)), int(board.group(3))
        self.left = {(row, column) for row in range(1, self.rows + 1)
                     for column in range(1, self.columns + 1)}
        if len(self.left) != int(board.group(1)):
            raise TestFailure("%s tiles said, %d places" % (board.group(1), len(self.left)))
        self.focus = None
        self.hear("the focus on the first tile", "row 1, column 1, face down")
        self.key("Up")
        self.hear("Up from the top row", "Nothing above; still row 1, column 1, face down")
        self.known = {}  # place -> picture, for the tiles left
        # Shift+Tab from the first tile: the menu title, the last stop.
        self.go_to(MENU_STOP)
        self.step("heard the board: %d tiles in %d rows of %d, the focus on the first"
                  % (len(self.left), self.rows, self.columns))

    def go_to(self, place):
        """Tab or Shift+Tab, whichever is shorter over the tiles left and
        the menu title after them, until the focus is said to be on
        `place`."""
        while self.focus != place:
            order = sorted(self.left) + [MENU_STOP]
            here = order.index(self.focus)
            ahead = (order.index(place) - here) % len(order)
            key = "Tab" if ahead <= len(order) - ahead else "shift+Tab"
            expected = order[(here + (1 if key == "Tab" else -1)) % len(order)]
            self.key(key)
            if expected == MENU_STOP:
                self.titles_passed += 1
                self.hear("%s onto the menu title" % key, TITLE)
            else:
                self.hear("%s onto row %d, column %d" % ((key,) + expected),
                          re.compile(r"row %d, column %d, .*" % expected))

    def turn(self, place):
        """Turns the tile at `place`; what followed when it was the second
        of two: the pair's number, or None."""
        self.go_to(place)
        self.key("space")
        self.clicks += 1
        turned = self.hear("the tile turned at row %d, column %d" % place, TURNED)
        if (int(turned.group(2)), int(turned.group(3))) != place:
            raise TestFailure("turned %r, not at %r" % (turned.group(0), place))
        self.known[place] = turned.group(1)
        if turned.group(6):
            self.won = turned
        return int(turned.group(5)) if turned.group(5) else None

    def leave(self, first, second):
        """A pair has left; the focus goes on to a tile left, if any."""
        self.left -= {first, second}
        del self.known[first], self.known[second]
        if self.left:
            self.hear("the focus going on after the pair", FOCUS)

    def take(self, first, second):
        """`first` is face up alone; turns `second`, a known partner."""
        found = self.turn(second)
        if found is None:
            raise TestFailure("%r and %r were heard alike but are no pair" % (first, second))
        self.leave(first, second)
        return found

    def partner(self, place):
        for other, picture in self.known.items():
            if other != place and picture == self.known[place]:
                return other
        return None

    def play_from_memory(self):
        found = 0
        while self.left:
            unknown = [place for place in sorted(self.left) if place not in self.known]
            pair = next(((place, self.partner(place)) for place in self.known
                         if self.partner(place)), None)
            if pair:
                self.turn(pair[0])
                found = self.take(*pair)
                continue
            first = unknown[0]
            self.turn(first)
            if self.partner(first):
                found = self.take(first, self.partner(first))
                continue
            second = unknown[1]
            result = self.turn(second)
            if result:
                self.leave(first, second)
                found = result
        if found != 10:
            raise TestFailure("the last pair was said to be number %d" % found)
        self.step("found the ten pairs by ear in %d clicks, passing the menu title %d times"
                  % (self.clicks, self.titles_passed))
        late = [(said, said.began - said.came) for said in self.service.voiced
                if said.began is not None and TURNED.fullmatch(said.text)
                and said.began - said.came > MOST_LAG_SECONDS]
        if late:
            raise TestFailure("tiles turned were said late: %r" % late[:5])
        self.step("the voice said each tile turned at once (%d of %d cut off by the next)"
                  % (sum(1 for said in self.service.voiced
                         if TURNED.fullmatch(said.text) and not said.whole),
                     sum(1 for said in self.service.voiced if TURNED.fullmatch(said.text))))

    def win(self):
        won = self.won
        if int(won.group(6)) != self.clicks:
            raise TestFailure("the win names %s clicks, %d were made"
                              % (won.group(6), self.clicks))
        self.hear("the box's button", "OK")
        said = [text for _, text in self.service.sentences]
        at = said.index(won.group(0))
        if sum(1 for text in said if "You won" in text) != 1:
            raise TestFailure("the win was said more than once: %r" % said[-6:])
        before = max(i for i in range(at) if TURNED.fullmatch(said[i]))
        if "OK" in said[before + 1:at]:
            raise TestFailure("the box's OK came before the win: %r" % said[before:at + 1])
        self.step("heard the last tile, the pair and the win with its %d clicks, then OK"
                  % self.clicks)
        voiced = self.service.wait_voiced(
            lambda voiced: next((s for s in voiced if s.text == won.group(0) and s.ended), None),
            SCREEN_SECONDS)
        if voiced is None or not voiced.whole or voiced.began - voiced.came > MOST_LAG_SECONDS:
            raise TestFailure("the win was not said whole at once: %r" % voiced)
        self.step("the voice said the win whole, %.2f s after it came"
                  % (voiced.began - voiced.came))
        self.key("Escape")
        self.hear("the empty board's one stop", TITLE)
        self.key("Tab")
        self.hear("Tab on the empty board, the title again", TITLE)
        self.key("Return")
        self.hear("the menu open", "New Game")
        self.key("Return")
        self.new_board("Escape, Enter, Enter after the win")

    def new_board(self, how):
        self.hear("a new deal", BOARD)
        self.hear("the focus on the new board", "row 1, column 1, face down")
        self.step("%s: heard a new board, the focus on its first tile" % how)

    def next_item(self, what):
        """The next menu item said: a focus sentence that is neither the
        title nor a tile."""
        while True:
            said = self.service.next_sentence(SCREEN_SECONDS)
            if said is None:
                raise TestFailure("%s: no menu item heard within %d s; heard so far: %r"
                                  % (what, SCREEN_SECONDS, self.service.sentences[-5:]))
            priority, text = said
            if priority == "text" and text != TITLE and not FOCUS.fullmatch(text):
                return text

    def choose(self, name):
        """Opens the menu with F10 and goes down it until `name` is heard,
        then chooses it with Enter."""
        self.key("F10")
        heard = [self.next_item("F10")]
        while heard[-1] != name:
            if heard[-1] in heard[:-1]:
                raise TestFailure("round the menu without hearing %r: %r" % (name, heard))
            self.key("Down")
            heard.append(self.next_item("Down in the menu"))
        self.key("Return")
        self.step("F10%s: heard %s, chose %s"
                  % (", Down" * (len(heard) - 1), " / ".join(heard), name))

    def speech_off_and_on(self):
        self.key("ctrl+s")
        self.hear("speech off", "Speech off.")
        self.key("ctrl+s")
        self.hear("speech on again", "Speech on. Control S turns it off.")
        self.step("heard speech go off and on again")

    def whole_session(self):
        self.s.start_game()
        self.s.find_window(play_test.WINDOW_SECONDS)
        self.menus()
        self.start()
        self.play_from_memory()
        self.win()
        self.speech_off_and_on()
        self.choose("New Game")
        self.new_board("New Game chosen by ear")
        self.key("ctrl+n")
        self.new_board("Ctrl+N")
        self.choose("Exit")
        code = self.s.wait_for_exit(SCREEN_SECONDS)
        # Without GLX the game says once that the software renderer draws.
        errors = [line for line in self.s.stderr().splitlines()
                  if self.s.glx or SOFTWARE_FALLBACK not in line]
        if code != 0 or errors:
            raise TestFailure("the game ended with %d; stderr: %s" % (code, self.s.stderr()))
        clients = set(self.service.clients)
        if clients != {"user:kavenna:main"}:
            raise TestFailure("the game named itself %r" % clients)
        self.step("Exit ended the game with exit code 0 and nothing on standard error")
        # The service notes how the game left, as soon as the game has.
        time.sleep(1.5)
        if self.service.rude_closes:
            raise TestFailure("%d times the game closed the link with QUIT's answer unread"
                              % self.service.rude_closes)
        self.step("speech off and Exit each left the service as the protocol asks")


def speech_session(args, session):
    """With --speech: the blind player's session against a service that
    answers; against one that never answers, one that closes mid-game or
    none at all, the keyboard-only game above, which must play on as
    without speech."""
    service = None
    address = os.path.join(args.artifacts, "speechd.sock")
    if args.speech != "none":
        # A closing service goes after the board's first sentences and
        # comes back a few seconds later.
        service = fake_speechd.FakeSpeechService(address, args.speech, close_after=20,
                                                 back_after=3, chars_per_second=30)
    session.env["SPEECHD_ADDRESS"] = "unix_socket:" + address
    try:
        if args.speech == "normal":
            return session.run_checks(SpokenPlay(session, service).whole_session)
        play = KeyboardPlay(session, args.data_dir, args.software)

        def unheard():
            play.whole_game()
            said = len(service.sentences) if service else 0
            if args.speech == "none":
                if "no speech service" not in session.stderr() or \
                        session.stderr().count("\n") != 0:
                    raise TestFailure("not one line on standard error about the missing "
                                      "service: %r" % session.stderr())
            elif service.connections < 1:
                raise TestFailure("the game never connected to the speech service")
            elif args.speech == "closes":
                lost = "kavenna: the speech service went away; speech comes back when it does"
                if service.came_back_at is None or service.connections < 2 or \
                        len(service.sentences) <= service.came_back_at:
                    raise TestFailure("speech did not come back with the service: %d "
                                      "connections, %d sentences, %d before it was back"
                                      % (service.connections, len(service.sentences),
                                         service.came_back_at))
                if session.stderr() != lost:
                    raise TestFailure("standard error is not one line about speech lost: %r"
                                      % session.stderr())
            play.step("with a service %s, the game played on (%d sentences heard)"
                      % ({"silent": "that never answers",
                          "closes": "that closed mid-game and came back",
                          "none": "missing"}[args.speech], said))

        return session.run_checks(unheard)
    finally:
        if service:
            service.stop()

def main():
    parser = game_arguments(__doc__)
    parser.add_argument("--software", action="store_true")
    parser.add_argument("--speech", choices=("normal", "silent", "closes", "none"),
                        help="with speech on, against a fake speech service of this kind")
    parser.add_argument("--scale-2", action="store_true",
                        help="the desktop asks for scale 2, as in play_test.py")
    args = parser.parse_args()

    scale = 2 if args.scale_2 else 1
    command = [args.game] + (["--speech"] if args.speech else [])
    if scale > 1:
        command = ["env", "GDK_SCALE=2"] + command
    screen = (1920, 1200) if scale > 1 else (1024, 768)
    with Session(command, args.build_dir, args.artifacts, glx=not args.software,
                 screen=screen) as session:
        if args.speech:
            return speech_session(args, session)
        play = KeyboardPlay(session, args.data_dir, args.software, scale)
        return session.run_checks(play.whole_game)


if __name__ == "__main__":
    sys.exit(main())
