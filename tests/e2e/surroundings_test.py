#!/usr/bin/python3
"""The game where launchers and shells leave it, in a real window.

--case picks one: StandardOutputClosed (`kavenna >&-`: the game deals,
shows the board and ends with 0), TraceReaderLeaves (`kavenna | head -n
3`: more deals after the reader has gone, then exit code 0),
TraceReaderStalls (a reader that never reads: more deals than fill the
pipe, the game still answers, every traced deal is whole, exit code 0)
and XServerLost (the X server killed under the game: a prompt end with
a non-zero exit code and one line on standard error, never a signal).
"""

import fcntl
import os
import re
import subprocess
import sys
import termios
import time

# The X server harness shared with tests/install.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "xwindow"))
from session import CLOSED, game_arguments, Session, TestFailure  # noqa: E402

# The player's steps: the window, the menus, the board.
from play_test import Play  # noqa: E402

F_SETPIPE_SZ = 1031
SMALL_PIPE = 4096
# Every deal holds two tiles of value 10, so every trace is this long.
TRACE_BYTES = 132
DEALS_TO_FILL = 36


def start_board(play):
    play.open_window()
    play.main_menu_after_intro(watch_fade=False)
    play.s.click(400, 325)
    play.face_down_board("board")


def end_with_exit(play):
    play.choose_from_menu(1, "Exit")
    play.exit_code_zero()


def whole_deals(text):
    """The number of deals in `text`, which must hold whole deals only."""
    lines = text.splitlines(True)
    for number, line in enumerate(lines):
        if not re.fullmatch(r"%d\.([1-9]|10)  \n" % (number % 20), line):
            raise TestFailure("trace line %d is %r, not part of a whole deal" % (number, line))
    if len(lines) % 20:
        raise TestFailure("the trace ends inside a deal:\n%s" % text)
    return len(lines) // 20


def read_available(reader):
    """Whatever the pipe holds now, without waiting for more."""
    waiting = bytearray(4)
    fcntl.ioctl(reader, termios.FIONREAD, waiting)
    size = int.from_bytes(waiting, sys.byteorder)
    return os.read(reader, size).decode() if size else ""


def standard_output_closed(session, play, reader):
    start_board(play)
    play.choose_from_menu(0, "New Game")
    play.face_down_board("new-game")
    end_with_exit(play)


def trace_reader_leaves(session, play, reader):
    start_board(play)
    first_lines = reader.communicate(timeout=30)[0].decode()
    if not re.fullmatch(r"0\.\d+  \n1\.\d+  \n2\.\d+  \n", first_lines):
        raise TestFailure("the reader read %r" % first_lines)
    play.step("the reader took 3 lines and left")
    for deal in range(3):
        play.choose_from_menu(0, "New Game")
        play.face_down_board("deal-%d" % deal)
    end_with_exit(play)


def trace_reader_stalls(session, play, reader):
    start_board(play)
    play.choose_from_menu(0, "New Game")
    left, top, right, bottom = play.submenu
    new_game = ((left + right) // 2, top + (bottom - top) // 4)
    chain = []
    for deal in range(DEALS_TO_FILL):
        for point in ((30, 10), new_game):
            chain += ["mousemove", "--window", session.window, str(point[0]), str(point[1]),
                      "click", "1", "sleep", "0.05"]
    session.x("xdotool", *chain)
    play.step("%d more deals chosen in a row" % DEALS_TO_FILL)
    # A game waiting for its reader would never open the menu again.
    play.choose_from_menu(0, "New Game")
    time.sleep(1.0)
    traced = whole_deals(read_available(reader))
    if traced != SMALL_PIPE // TRACE_BYTES:
        raise TestFailure("%d deals traced, not the %d a page holds"
                          % (traced, SMALL_PIPE // TRACE_BYTES))
    play.step("the pipe took %d whole deals, the rest were left out" % traced)
    play.choose_from_menu(0, "New Game")
    time.sleep(1.0)
    if whole_deals(read_available(reader)) != 1:
        raise TestFailure("the deal after the pipe was read is not traced whole")
    play.step("with room again, the next deal is traced")
    end_with_exit(play)


def x_server_lost(session, play, reader):
    play.open_window()
    time.sleep(1.0)
    session.xvfb.kill()
    session.xvfb.wait()
    code = session.wait_for_exit(10)
    lines = session.stderr().splitlines()
    if code <= 0 or len(lines) != 1 or not lines[0].startswith("kavenna: "):
        raise TestFailure("the game ended with %d; stderr: %r" % (code, session.stderr()))
    play.step("the game ended with %d and one line: %s" % (code, lines[0]))


def main():
    parser = game_arguments(__doc__)
    parser.add_argument("--case", required=True, choices=[
        "StandardOutputClosed", "TraceReaderLeaves", "TraceReaderStalls", "XServerLost"])
    args = parser.parse_args()

    stdout = None
    reader = None
    if args.case == "StandardOutputClosed":
        stdout = CLOSED
    elif args.case == "TraceReaderLeaves":
        read_end, stdout = os.pipe()
        reader = subprocess.Popen(["head", "-n", "3"], stdin=read_end, stdout=subprocess.PIPE)
        os.close(read_end)
    elif args.case == "TraceReaderStalls":
        reader, stdout = os.pipe()
        fcntl.fcntl(stdout, F_SETPIPE_SZ, SMALL_PIPE)

    with Session([args.game], args.build_dir, args.artifacts, stdout=stdout) as session:
        play = Play(session, args.data_dir, software=False)
        case = {"StandardOutputClosed": standard_output_closed,
                "TraceReaderLeaves": trace_reader_leaves,
                "TraceReaderStalls": trace_reader_stalls,
                "XServerLost": x_server_lost}[args.case]
        return session.run_checks(lambda: case(session, play, reader))


if __name__ == "__main__":
    sys.exit(main())
