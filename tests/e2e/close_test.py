#!/usr/bin/python3
"""Closing the window during the intro, as a window manager asks for it
(a WM_DELETE_WINDOW ClientMessage), ends the game with exit code 0 and
without a word on standard output."""

import argparse
import subprocess
import sys
import time

import pictures
from session import Session, TestFailure


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--game", required=True)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--data-dir", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--send-close", required=True)
    args = parser.parse_args()

    splash = pictures.load_asset(args.data_dir, "s.png")
    with Session(args.game, args.build_dir, args.artifacts) as session:
        try:
            session.start_game()
            window = session.find_window(60)
            time.sleep(1.0)

            def intro(shot):
                correlation = pictures.darkened(shot, splash)[1]
                return None if correlation > 0.9 else "correlation with s.png %.2f" % correlation

            session.save(session.wait_for("the intro", intro, 5), "intro")
            print("ok: the intro is showing")
            sent = subprocess.run([args.send_close, window], env=session.env)
            if sent.returncode != 0:
                raise TestFailure("send_close failed with %d" % sent.returncode)
            code = session.wait_for_exit(30)
            if code != 0:
                raise TestFailure("the game ended with %d; stderr: %s" % (code, session.stderr()))
            print("ok: the close request ended the game with exit code 0")
            if session.stdout_text():
                raise TestFailure("standard output: %r" % session.stdout_text())
            print("ok: nothing on standard output")
        except TestFailure as failure:
            print("FAILED: %s" % failure)
            print("screenshots and output are in %s" % args.artifacts)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
