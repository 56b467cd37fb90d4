#!/usr/bin/python3
"""Closing the window during the intro, as a window manager asks for it
(a WM_DELETE_WINDOW ClientMessage), ends the game with exit code 0 and
without a word on standard output."""

import os
import sys
import time

import pictures

# The X server harness shared with tests/install.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "xwindow"))
from session import game_arguments, Session, TestFailure  # noqa: E402


def close_during_intro(session, splash, send_close):
    session.start_game()
    session.find_window(60)
    time.sleep(1.0)

    def intro(shot):
        correlation = pictures.darkened(shot, splash)[1]
        return None if correlation > 0.9 else "correlation with s.png %.2f" % correlation

    session.save(session.wait_for("the intro", intro, 5), "intro")
    print("ok: the intro is showing")
    session.ask_to_close(send_close)
    code = session.wait_for_exit(30)
    if code != 0:
        raise TestFailure("the game ended with %d; stderr: %s" % (code, session.stderr()))
    print("ok: the close request ended the game with exit code 0")
    if session.stdout_text():
        raise TestFailure("standard output: %r" % session.stdout_text())
    print("ok: nothing on standard output")


def main():
    parser = game_arguments(__doc__)
    parser.add_argument("--send-close", required=True)
    args = parser.parse_args()

    splash = pictures.load_asset(args.data_dir, "s.png")
    with Session([args.game], args.build_dir, args.artifacts) as session:
        return session.run_checks(lambda: close_during_intro(session, splash, args.send_close))


if __name__ == "__main__":
    sys.exit(main())
