"""Measures the game against a floor program on a private Xvfb and prints
one table: start-up to the first presented frame, memory and CPU at rest,
frames a second while the intro fades, how soon a frame follows input at
rest, frames and CPU while the pointer keeps moving, and memory growth
over many deals. It fails only when a step cannot be done (no frame, no
deal, an unclean exit); its figures are printed, never judged.

    python3 bench.py --game build/kavenna --floor build/bench/kavenna_floor \\
        --frame-counter build/bench/libkavenna_frame_counter.so [--short] [--software]

--short runs fewer and shorter rounds (for CI); --software starts Xvfb
without GLX, so both programs fall back to the engine's software
renderer."""

import argparse
import os
import re
import statistics
import sys
import time

from watched import Watched
from xserver import Pointer, XServer

# Window coordinates, checked on screenshots of the game.
START_GAME = (400, 325)
MENU_TITLE = (20, 10)
NEW_GAME_ITEM = (50, 36)
EXIT_ITEM = (50, 55)
# Empty places on the board, between the tile columns.
BOARD_GAPS = [(160, 60), (160, 160)]

INTRO_MS = 6000
# The game draws at full rate this long after input (app/frame_pacing.cpp).
LIVELY_AFTER_INPUT_S = 1.5
DEAL_LINES = 20
DEAL_LINE = re.compile(rb"^\d+\.\d+  \n$")
MIB = 1024.0 * 1024.0


class Rounds:
    def __init__(self, short):
        self.first_frame_runs = 2 if short else 5
        self.rest_s = 2.0 if short else 5.0
        self.fade_window_s = (0.5, 2.5) if short else (0.5, 4.5)
        self.input_tries = 3 if short else 10
        self.deals = 5 if short else 40


def first_frame_ms(program, display, counter):
    watched = Watched(program, display, counter)
    try:
        watched.wait_for_frames(1, timeout=30)
        return (watched.first_frame_ns() - watched.started_ns) / 1e6
    finally:
        watched.stop()


def fade_rate(watched, window):
    """Frames a second presented between `window` seconds after the first frame."""
    began = watched.first_frame_ns()
    start, end = (began + int(s * 1e9) for s in window)
    sleep_until_ns(end)
    frames = [t for t in watched.frame_times() if start <= t < end]
    return len(frames) / (window[1] - window[0])


def sleep_until_ns(moment_ns):
    left = (moment_ns - time.monotonic_ns()) / 1e9
    if left > 0:
        time.sleep(left)


def deal(watched, pointer, deals_so_far, timeout=15):
    pointer.click(*MENU_TITLE)
    watched.wait_for_frame_after(time.monotonic_ns(), timeout)
    pointer.click(*NEW_GAME_ITEM)
    watched.wait_for_lines(DEAL_LINES * (deals_so_far + 1), timeout)


def input_answer_ms(watched, pointer, tries):
    """Milliseconds from a pointer motion at rest to the next presented frame."""
    answers = []
    for k in range(tries):
        time.sleep(LIVELY_AFTER_INPUT_S + 0.3)
        sent = pointer.move(*BOARD_GAPS[k % len(BOARD_GAPS)])
        answers.append((watched.wait_for_frame_after(sent, timeout=5) - sent) / 1e6)
    return statistics.median(answers)


def pointer_motion(watched, pointer, seconds):
    """Frames a second and CPU use while the pointer keeps moving over an
    empty place of the board, 250 motions a second."""
    cpu, frames, began = watched.cpu_seconds(), watched.frame_count(), time.monotonic()
    k = 0
    while time.monotonic() - began < seconds:
        x, y = BOARD_GAPS[0]
        pointer.move(x + k % 40, y + k % 30)
        k += 1
        time.sleep(0.004)
    elapsed = time.monotonic() - began
    rate = (watched.frame_count() - frames) / elapsed
    return rate, 100.0 * (watched.cpu_seconds() - cpu) / elapsed


def measure_game(program, display, server_pid, counter, pointer, rounds):
    figures = {}
    game = Watched(program, display, counter)
    try:
        game.wait_for_frames(1, timeout=30)
        figures["fade_fps"] = fade_rate(game, rounds.fade_window_s)

        # The intro gives way to the main menu on the first frame after
        # INTRO_MS; after that nothing moves.
        sleep_until_ns(game.first_frame_ns() + int((INTRO_MS / 1000 + 1.0) * 1e9))
        figures["menu_cpu"], figures["menu_server_cpu"], figures["menu_fps"] = game.measure_rest(
            rounds.rest_s, server_pid)
        figures["rss"] = game.resident_bytes()

        pointer.click(*START_GAME)
        game.wait_for_lines(DEAL_LINES, timeout=15)
        time.sleep(LIVELY_AFTER_INPUT_S + 0.5)
        figures["board_cpu"], figures["board_server_cpu"], figures["board_fps"] = game.measure_rest(
            rounds.rest_s, server_pid)
        figures["answer_ms"] = input_answer_ms(game, pointer, rounds.input_tries)
        figures["motion_fps"], figures["motion_cpu"] = pointer_motion(game, pointer, rounds.rest_s)

        # One deal first, so whatever the first use of the menu allocates
        # for good is not counted as growth.
        deal(game, pointer, 1)
        time.sleep(0.5)
        before = game.resident_bytes()
        for k in range(rounds.deals):
            deal(game, pointer, 2 + k)
        time.sleep(0.5)
        figures["deal_growth"] = game.resident_bytes() - before
        figures["renderer"] = "OpenGL" if game.frames_through_gl() else "software"

        pointer.click(*MENU_TITLE)
        game.wait_for_frame_after(time.monotonic_ns(), 15)
        pointer.click(*EXIT_ITEM)
        status = game.wait_for_exit(timeout=15)
        check_game_output(game, status, 2 + rounds.deals)
    finally:
        game.stop()
    return figures


def check_game_output(game, status, deals):
    if status != 0:
        raise RuntimeError("the game ended with status %d" % status)
    if game.errors:
        raise RuntimeError("the game wrote to standard error: %r" % game.errors[:200])
    if len(game.lines) != DEAL_LINES * deals:
        raise RuntimeError("expected %d deals on standard output, got %d lines"
                           % (deals, len(game.lines)))
    strange = [line for line in game.lines if not DEAL_LINE.match(line)]
    if strange:
        raise RuntimeError("the game wrote more than deals: %r" % strange[0])


def measure_floor(program, display, server_pid, counter, rounds):
    figures = {}
    floor = Watched(program, display, counter)
    try:
        floor.wait_for_frames(1, timeout=30)
        figures["fade_fps"] = fade_rate(floor, rounds.fade_window_s)
        figures["menu_cpu"], figures["menu_server_cpu"], figures["menu_fps"] = floor.measure_rest(
            rounds.rest_s, server_pid)
        figures["rss"] = floor.resident_bytes()
        figures["renderer"] = "OpenGL" if floor.frames_through_gl() else "software"
    finally:
        floor.stop()
    return figures


def machine():
    model = "unknown processor"
    with open("/proc/cpuinfo") as cpuinfo:
        for line in cpuinfo:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    system = "Linux"
    if os.path.exists("/etc/os-release"):
        with open("/etc/os-release") as release:
            for line in release:
                if line.startswith("PRETTY_NAME="):
                    system = line.split("=", 1)[1].strip().strip('"')
    return "%d cores (%s), %s" % (os.cpu_count(), model, system)


def print_table(game, floor, first, rounds):
    """`first` holds each program's first-frame times (ms)."""
    def row(label, game_text, floor_text, note=""):
        print("| %s | %s | %s | %s |" % (label, game_text, floor_text, note))

    print("Machine: %s; Xvfb, renderer: game %s, floor %s"
          % (machine(), game["renderer"], floor["renderer"]))
    print()
    row("Measure", "Game", "Floor", "Game against floor")
    print("|---|---:|---:|---|")
    def spread(runs):
        return "%.0f ms (%.0f-%.0f)" % (statistics.median(runs), min(runs), max(runs))

    row("First presented frame after exec: median (range) of %d" % rounds.first_frame_runs,
        spread(first["game"]), spread(first["floor"]),
        "%.2fx" % (statistics.median(first["game"]) / statistics.median(first["floor"])))
    row("Resident memory at rest (main menu)", "%.1f MiB" % (game["rss"] / MIB),
        "%.1f MiB" % (floor["rss"] / MIB), "%+.1f MiB" % ((game["rss"] - floor["rss"]) / MIB))
    row("CPU at rest, main menu (%g s)" % rounds.rest_s, "%.1f %%" % game["menu_cpu"],
        "%.1f %%" % floor["menu_cpu"], "floor draws 60 frames a second")
    row("CPU at rest, board (%g s)" % rounds.rest_s, "%.1f %%" % game["board_cpu"], "-", "")
    row("X server's CPU meanwhile (menu / board)",
        "%.1f / %.1f %%" % (game["menu_server_cpu"], game["board_server_cpu"]),
        "%.1f %%" % floor["menu_server_cpu"], "")
    row("Frames a second at rest (menu / board)",
        "%.1f / %.1f" % (game["menu_fps"], game["board_fps"]), "%.1f" % floor["menu_fps"], "")
    row("Frames a second during the fade (%g-%g s)" % rounds.fade_window_s,
        "%.1f" % game["fade_fps"], "%.1f" % floor["fade_fps"], "")
    row("Next frame after a pointer motion at rest (median of %d)" % rounds.input_tries,
        "%.1f ms" % game["answer_ms"], "-", "")
    row("While the pointer moves on the board (%g s): frames a second, CPU" % rounds.rest_s,
        "%.1f, %.1f %%" % (game["motion_fps"], game["motion_cpu"]), "-", "")
    row("Memory growth over %d deals" % rounds.deals, "%+.2f MiB" % (game["deal_growth"] / MIB),
        "-", "")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--game", required=True)
    parser.add_argument("--floor", required=True)
    parser.add_argument("--frame-counter", required=True)
    parser.add_argument("--short", action="store_true")
    parser.add_argument("--software", action="store_true")
    arguments = parser.parse_args()
    game_program = os.path.abspath(arguments.game)
    floor_program = os.path.abspath(arguments.floor)
    counter = os.path.abspath(arguments.frame_counter)
    rounds = Rounds(arguments.short)

    server = XServer(with_glx=not arguments.software)
    pointer = None
    try:
        pointer = Pointer(server.display)
        # Uncounted runs first: the shader cache and the page cache are
        # warm for every counted run of either program.
        first_frame_ms(game_program, server.display, counter)
        first_frame_ms(floor_program, server.display, counter)
        times = {"game": [], "floor": []}
        for _ in range(rounds.first_frame_runs):
            times["game"].append(first_frame_ms(game_program, server.display, counter))
            times["floor"].append(first_frame_ms(floor_program, server.display, counter))

        game = measure_game(game_program, server.display, server.process.pid, counter, pointer,
                            rounds)
        floor = measure_floor(floor_program, server.display, server.process.pid, counter, rounds)
    finally:
        if pointer:
            pointer.close()
        server.close()
    print_table(game, floor, times, rounds)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except RuntimeError as error:
        print("benchmark failed: %s" % error, file=sys.stderr)
        sys.exit(1)
