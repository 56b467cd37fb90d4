"""Measures the game against a floor program on private Xvfb servers and
prints two tables. At scale 1: start-up to the first presented frame,
memory, frames while the intro fades, what the game costs at rest on
each screen, how soon a frame follows a motion, a click or the window
shown again, frames and CPU while the pointer keeps moving, memory
growth over many deals, and the slowest of the game's checks on the
hostile data files the tests use. At scale 2 (`--scale 2`, a 1600x1000
window on a larger screen, against the floor at that size): the first
frame, memory, the fade and the costs at rest, and the first and second
frames on the costliest set of data files the game still takes
(costly_set.py), loose and in the archive. The game runs twice at
each scale, on the bare server and under openbox, a window manager from
Debian. It fails only when a step cannot be done (no frame, no deal, an
unclean exit); its figures are printed, never judged.

    python3 bench.py --game build/kavenna --floor build/bench/kavenna_floor \\
        --frame-counter build/bench/libkavenna_frame_counter.so \\
        [--hostile-files build/bench/kavenna_hostile_files] [--short] [--software]

--short runs fewer and shorter rounds (for CI); --software starts Xvfb
without GLX, so both programs fall back to the engine's software
renderer."""

import argparse
import contextlib
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from watched import Watched
from xserver import Pointer, XServer

# Window coordinates, checked on screenshots of the game.
START_GAME = (400, 325)
ABOUT = (400, 425)
BACK = ABOUT
MENU_TITLE = (20, 10)
NEW_GAME_ITEM = (50, 36)
EXIT_ITEM = (50, 55)
# Empty places on the board, between the tile columns.
BOARD_GAPS = [(160, 60), (160, 160)]
# On the screen, below and right of where either server puts the window.
OUTSIDE_ON_SCREEN = (1010, 750)


class Scale:
    """The game and the floor at scale `k`: their window is 800x500 times
    `k`, on a screen large enough for it (the game would fall back to
    scale 1 on one too small), and the layout's points are times `k`."""

    def __init__(self, k):
        self.k = k
        self.arguments = ["--scale", str(k)]
        self.screen = (1024, 768) if k == 1 else (1920, 1200)
        self.outside = (self.screen[0] - 14, self.screen[1] - 18)

    def at(self, point):
        return tuple(self.k * n for n in point)

    def window(self):
        return "%dx%d" % self.at((800, 500))


SCALE_1 = Scale(1)

INTRO_MS = 6000
DEAL_LINES = 20
DEAL_LINE = re.compile(rb"^(\d+)\.(\d+)  \n$")
MIB = 1024.0 * 1024.0
REPOSITORY = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ASSETS = ["f.xml", "f0.png", "h.jpg", "m.png", "s.png", "w.jpg"] + ["%d.jpg" % n
                                                                       for n in range(1, 11)]


class Rounds:
    """How long each scenario runs. The short form, which the tests run, only
    has to get through every step; its figures mean nothing."""

    def __init__(self, short):
        # Start-up times of both programs swing by tens of milliseconds from
        # run to run here; a median of many keeps their ratio steady.
        self.first_frame_runs = 1 if short else 11
        # The engine shows a tool-tip a second after the pointer stops on a
        # button; at rest is after that.
        self.settle_s = 0.2 if short else 1.5
        self.rest_s = 0.3 if short else 10.0
        self.motion_s = 0.5 if short else 5.0
        # The fade ends 4 s after the intro starts, just before the first
        # frame; the splash then stands still until the intro's end.
        self.fade_window_s = (0.5, 1.0) if short else (0.5, 3.5)
        self.input_tries = 1 if short else 10
        self.clicks = 2 if short else 40
        self.repaints = 1 if short else 10
        self.deals = 2 if short else 40
        self.costly_runs = 1 if short else 5


def first_frame_ms(program, display, counter, scale):
    watched = Watched(program, display, counter, arguments=scale.arguments)
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


def tile_centre(tile):
    return (60 + 200 * (tile // 5), 60 + 100 * (tile % 5))


def open_menu(watched, pointer, scale, timeout=15):
    """Clicks "Menu" and waits for the frame that shows its submenu."""
    clicked = time.monotonic_ns()
    pointer.click(*scale.at(MENU_TITLE))
    watched.wait_for_frame_after(clicked, timeout)


def deal(watched, pointer, deals_so_far, timeout=15):
    open_menu(watched, pointer, SCALE_1, timeout)
    pointer.click(*NEW_GAME_ITEM)
    watched.wait_for_lines(DEAL_LINES * (deals_so_far + 1), timeout)


def rest(watched, pointer, rounds, scale, where=None):
    """What `watched` costs at rest with the pointer at the layout's point
    `where` in the window at `scale`, or outside the window."""
    if where:
        pointer.move(*scale.at(where))
    else:
        pointer.move_on_screen(*scale.outside)
    time.sleep(rounds.settle_s)
    return watched.measure_rest(rounds.rest_s)


def input_answer_ms(watched, pointer, tries):
    """Milliseconds from a pointer motion at rest to the next presented frame."""
    answers = []
    for k in range(tries):
        time.sleep(0.3)
        sent = pointer.move(*BOARD_GAPS[k % len(BOARD_GAPS)])
        answers.append((watched.wait_for_frame_after(sent, timeout=5) - sent) / 1e6)
    return statistics.median(answers)


def clicks_on_face_down_tiles(values, count):
    """`count` tiles to click one after another, each face down when it is
    clicked and never the second of a pair, so no tile leaves the board:
    the rules turn the two face-up tiles back at the third click."""
    order, face_up, tile = [], [], 0
    while len(order) < count:
        tile = (tile + 7) % DEAL_LINES
        if tile in face_up or (len(face_up) == 1 and values[tile] == values[face_up[0]]):
            continue
        face_up = [tile] if len(face_up) != 1 else face_up + [tile]
        order.append(tile)
    return order


def click_answers_ms(watched, pointer, values, count):
    """Milliseconds from a click on a face-down tile, with the game at
    rest, to the next presented frame: the one showing the tile's face."""
    answers = []
    for tile in clicks_on_face_down_tiles(values, count):
        pointer.move(*tile_centre(tile))
        time.sleep(0.3)
        sent = pointer.press_and_release()
        answers.append((watched.wait_for_frame_after(sent, timeout=5, what="a click") - sent)
                       / 1e6)
        time.sleep(0.05)
    return answers


def repaint_ms(watched, pointer, hide, show, tries):
    """Milliseconds from showing the window again (`show`, after `hide`)
    to the game's next presented frame."""
    answers = []
    for _ in range(tries):
        hide()
        time.sleep(0.3)
        sent = show()
        answers.append((watched.wait_for_frame_after(sent, timeout=5, what="the window shown")
                        - sent) / 1e6)
        time.sleep(0.2)
    return answers


def move_back(pointer):
    """Moves the window off the screen's left edge and returns it; the
    time it was moved back."""
    pointer.move_window(-900, 0)
    time.sleep(0.3)
    return pointer.move_window(0, 0)


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


@contextlib.contextmanager
def game_on_server(program, software, counter, scale, window_manager, arguments=()):
    """The game started on a private X server of its own at `scale`, with
    `arguments` more, and a pointer there; all of it ended afterwards."""
    server = XServer(with_glx=not software, window_manager=window_manager, screen=scale.screen)
    pointer = game = None
    try:
        pointer = Pointer(server.display)
        game = Watched(program, server.display, counter,
                       arguments=scale.arguments + list(arguments))
        yield game, pointer
    finally:
        if game:
            game.stop()
        if pointer:
            pointer.close()
        server.close()


def measure_game(program, software, window_manager, counter, rounds, scale):
    """Every scenario at scale 1; at a larger scale the fade, memory and
    the costs at rest."""
    figures = {}
    at = scale.at
    with game_on_server(program, software, counter, scale, window_manager) as (game, pointer):
        game.wait_for_frames(1, timeout=30)
        pointer.move_on_screen(*scale.outside)
        figures["fade_fps"] = fade_rate(game, rounds.fade_window_s)

        # The intro gives way to the main menu on the first frame after
        # INTRO_MS; after that nothing moves.
        sleep_until_ns(game.first_frame_ns() + int((INTRO_MS / 1000 + 0.5) * 1e9))
        pointer.follow("Kavenna", framed=window_manager)
        figures["rss"] = game.resident_bytes()
        figures["menu_on"] = rest(game, pointer, rounds, scale, START_GAME)
        figures["menu_off"] = rest(game, pointer, rounds, scale)
        pointer.click(*at(ABOUT))
        figures["about_on"] = rest(game, pointer, rounds, scale, BACK)
        figures["about_off"] = rest(game, pointer, rounds, scale)
        pointer.click(*at(BACK))
        time.sleep(0.3)
        pointer.click(*at(START_GAME))
        game.wait_for_lines(DEAL_LINES, timeout=15)
        values = [int(DEAL_LINE.match(line).group(2)) for line in game.lines[:DEAL_LINES]]
        figures["board_on"] = rest(game, pointer, rounds, scale, tile_centre(0))
        figures["board_off"] = rest(game, pointer, rounds, scale)
        deals = 1
        if scale.k == 1:
            deals = 2 + rounds.deals
            scale_one_only(figures, game, pointer, values, window_manager, rounds)
        figures["renderer"] = "OpenGL" if game.frames_through_gl() else "software"

        open_menu(game, pointer, scale)
        pointer.click(*at(EXIT_ITEM))
        status = game.wait_for_exit(timeout=15)
        check_game_output(game, status, deals, software)
    return figures


def translated_rss(program, software, counter, scale, language="de"):
    """Resident memory at rest on the main menu of the game in `language`,
    on a bare server, as measure_game takes the English game's."""
    with game_on_server(program, software, counter, scale, False,
                        ["--language", language]) as (game, pointer):
        game.wait_for_frames(1, timeout=30)
        pointer.move_on_screen(*scale.outside)
        sleep_until_ns(game.first_frame_ns() + int((INTRO_MS / 1000 + 0.5) * 1e9))
        pointer.follow("Kavenna", framed=False)
        return game.resident_bytes()


def scale_one_only(figures, game, pointer, values, window_manager, rounds):
    """Input, repaints, a moving pointer and many deals, from the board."""
    figures["answer_ms"] = input_answer_ms(game, pointer, rounds.input_tries)
    figures["click_ms"] = click_answers_ms(game, pointer, values, rounds.clicks)
    pointer.move_on_screen(*OUTSIDE_ON_SCREEN)
    figures["uncover_ms"] = repaint_ms(game, pointer, pointer.cover_window,
                                       pointer.uncover_window, rounds.repaints)
    figures["restore_ms"] = repaint_ms(game, pointer, pointer.minimise_window,
                                       pointer.restore_window, rounds.repaints)
    figures["move_back_ms"] = repaint_ms(game, pointer, lambda: None,
                                         lambda: move_back(pointer), rounds.repaints)
    time.sleep(0.3)
    pointer.follow("Kavenna", framed=window_manager)
    figures["motion_fps"], figures["motion_cpu"] = pointer_motion(game, pointer,
                                                                  rounds.motion_s)

    # One deal first, so whatever the first use of the menu allocates
    # for good is not counted as growth.
    deal(game, pointer, 1)
    time.sleep(0.5)
    before = game.resident_bytes()
    for k in range(rounds.deals):
        deal(game, pointer, 2 + k)
    time.sleep(0.5)
    figures["deal_growth"] = game.resident_bytes() - before


# What the game says, once, when a server without GLX leaves it the
# software renderer.
SOFTWARE_FALLBACK = b"kavenna: OpenGL could not be used; the software renderer draws instead\n"


def check_game_output(game, status, deals, software):
    if status != 0:
        raise RuntimeError("the game ended with status %d" % status)
    errors = game.errors.replace(SOFTWARE_FALLBACK, b"", 1) if software else game.errors
    if errors:
        raise RuntimeError("the game wrote to standard error: %r" % errors[:200])
    if len(game.lines) != DEAL_LINES * deals:
        raise RuntimeError("expected %d deals on standard output, got %d lines"
                           % (deals, len(game.lines)))
    strange = [line for line in game.lines if not DEAL_LINE.match(line)]
    if strange:
        raise RuntimeError("the game wrote more than deals: %r" % strange[0])


def measure_floor(program, software, counter, rounds, scale):
    figures = {}
    server = XServer(with_glx=not software, screen=scale.screen)
    floor = None
    try:
        floor = Watched(program, server.display, counter, arguments=scale.arguments)
        floor.wait_for_frames(1, timeout=30)
        figures["fade_fps"] = fade_rate(floor, rounds.fade_window_s)
        figures["menu_off"] = floor.measure_rest(rounds.rest_s)
        figures["rss"] = floor.resident_bytes()
        figures["renderer"] = "OpenGL" if floor.frames_through_gl() else "software"
    finally:
        if floor:
            floor.stop()
        server.close()
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


def slowest_hostile_file(program, assets):
    """(milliseconds, file) of the slowest check on the tests' hostile data
    files, written afresh by their generator from the build's data files
    in `assets`; None without Pillow."""
    if not program or not assets or subprocess.call(["/usr/bin/python3", "-c", "import PIL"],
                                      stderr=subprocess.DEVNULL) != 0:
        return None
    folder = tempfile.mkdtemp(prefix="kavenna-hostile-")
    try:
        subprocess.check_call(["/usr/bin/python3", "-B",
                               os.path.join(REPOSITORY, "tests", "make_hostile_files.py"),
                               folder, assets,
                               os.path.join(REPOSITORY, "data", "make_archive.py")] + ASSETS)
        ms, name = subprocess.check_output([program, folder]).decode().split()
        return float(ms), name
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def costliest_set_ms(program, software, counter, rounds, assets):
    """{"loose": ..., "archive": ...}: the median first and second frames
    (ms after exec) of the game at scale 2 on the costliest set of files."""
    scale = Scale(2)
    figures = {}
    for variant in ("loose", "archive"):
        folder = tempfile.mkdtemp(prefix="kavenna-costly-")
        server = XServer(with_glx=not software, screen=scale.screen)
        try:
            subprocess.check_call([sys.executable, "-B", os.path.join(REPOSITORY, "bench",
                                                                       "costly_set.py")] +
                                  (["--archive"] if variant == "archive" else []) +
                                  [folder, assets])
            runs = {"first": [], "second": []}
            for _ in range(rounds.costly_runs):
                watched = Watched(program, server.display, counter, cwd=folder,
                                  arguments=scale.arguments)
                try:
                    watched.wait_for_frames(2, timeout=30)
                    first, second = watched.frame_times()[:2]
                    runs["first"].append((first - watched.started_ns) / 1e6)
                    runs["second"].append((second - watched.started_ns) / 1e6)
                finally:
                    watched.stop()
            figures[variant] = (statistics.median(runs["first"]),
                                statistics.median(runs["second"]))
        finally:
            server.close()
            shutil.rmtree(folder, ignore_errors=True)
    return figures


def first_frames(game_program, floor_program, software, counter, rounds, scale):
    """Each program's first-frame times (ms), taken in turns on one server."""
    server = XServer(with_glx=not software, screen=scale.screen)
    try:
        # Uncounted runs first: the shader cache and the page cache are
        # warm for every counted run of either program.
        first_frame_ms(game_program, server.display, counter, scale)
        first_frame_ms(floor_program, server.display, counter, scale)
        times = {"game": [], "floor": []}
        for _ in range(rounds.first_frame_runs):
            times["game"].append(first_frame_ms(game_program, server.display, counter, scale))
            times["floor"].append(first_frame_ms(floor_program, server.display, counter, scale))
    finally:
        server.close()
    return times


def print_table(bare, managed, floor, first, rounds, scale, hostile=None, costly=None):
    """`first` holds each program's first-frame times (ms); rows the game
    was not measured for at this scale are left out."""
    def row(label, bare_text, managed_text="-", floor_text="-", note=""):
        print("| %s | %s | %s | %s | %s |" % (label, bare_text, managed_text, floor_text, note))

    def both(key, show):
        return show(bare[key]), show(managed[key])

    def rested(figures):
        return "%d, %.1f, %.2f %%" % (figures["frames"], figures["wakeups"], figures["cpu"])

    def spread(runs):
        return "%.0f ms (%.0f-%.0f)" % (statistics.median(runs), min(runs), max(runs))

    def answers(runs):
        return "%.1f / %.1f ms" % (statistics.median(runs), max(runs))

    print("Scale %d: a %s window on a %dx%d Xvfb screen; renderer: game %s, floor %s"
          % (scale.k, scale.window(), scale.screen[0], scale.screen[1], bare["renderer"],
             floor["renderer"]))
    print()
    row("Measure", "Game, bare Xvfb", "Game, openbox", "Floor", "Game against floor")
    print("|---|---:|---:|---:|---|")
    row("First presented frame after exec: median (range) of %d" % rounds.first_frame_runs,
        spread(first["game"]), "-", spread(first["floor"]),
        "%.2fx" % (statistics.median(first["game"]) / statistics.median(first["floor"])))
    row("Resident memory at rest (main menu)", *both("rss", lambda b: "%.1f MiB" % (b / MIB)),
        "%.1f MiB" % (floor["rss"] / MIB), "%+.1f MiB" % ((bare["rss"] - floor["rss"]) / MIB))
    if "rss_translated" in bare:
        row("Resident memory at rest (main menu), in German", "%.1f MiB"
            % (bare["rss_translated"] / MIB), "-", "-",
            "%+.1f MiB against English" % ((bare["rss_translated"] - bare["rss"]) / MIB))
    row("Frames a second during the fade (%g-%g s)" % rounds.fade_window_s,
        *both("fade_fps", lambda f: "%.1f" % f), "%.1f" % floor["fade_fps"])
    places = [("menu", 'main menu, pointer on "Start Game"', "on"),
              ("menu", "main menu, pointer outside the window", "off"),
              ("about", 'About, pointer on "Back"', "on"),
              ("about", "About, pointer outside the window", "off"),
              ("board", "board, pointer on a tile", "on"),
              ("board", "board, pointer outside the window", "off")]
    for screen, label, where in places:
        key = "%s_%s" % (screen, where)
        row("At rest %g s, %s: frames, wake-ups a second, CPU" % (rounds.rest_s, label),
            *both(key, rested), rested(floor[key]) if key in floor else "-",
            "floor draws 60 frames a second" if key in floor else "")
    if costly:
        row("Costliest set of files within their limits, at scale 2 until its last file is "
            "refused: first / second frame, median of %d" % rounds.costly_runs,
            "loose: %.0f / %.0f ms" % costly["loose"],
            note="archive: %.0f / %.0f ms" % costly["archive"])
    if "answer_ms" not in bare:
        return
    row("Next frame after a pointer motion at rest (median of %d)" % rounds.input_tries,
        *both("answer_ms", lambda ms: "%.1f ms" % ms))
    row("Click on a face-down tile at rest to the next frame: median / maximum of %d"
        % rounds.clicks, *both("click_ms", answers))
    row("Uncovered to the next frame: median / maximum of %d" % rounds.repaints,
        *both("uncover_ms", answers))
    row("Restored from minimised to the next frame: median / maximum of %d" % rounds.repaints,
        *both("restore_ms", answers))
    row("Moved back on screen to the next frame: median / maximum of %d" % rounds.repaints,
        *both("move_back_ms", answers))
    row("While the pointer moves on the board (%g s): frames a second, CPU" % rounds.motion_s,
        *("%.1f, %.1f %%" % (f["motion_fps"], f["motion_cpu"]) for f in (bare, managed)))
    row("Memory growth over %d deals" % rounds.deals,
        *both("deal_growth", lambda b: "%+.2f MiB" % (b / MIB)))
    if hostile:
        row("Slowest hostile data file, check and decode (best of 3)", "%.1f ms" % hostile[0],
            note=hostile[1])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--game", required=True)
    parser.add_argument("--floor", required=True)
    parser.add_argument("--frame-counter", required=True)
    parser.add_argument("--hostile-files")
    parser.add_argument("--assets", help="the build's data files (its assets/ folder)")
    parser.add_argument("--short", action="store_true")
    parser.add_argument("--software", action="store_true")
    arguments = parser.parse_args()
    game_program = os.path.abspath(arguments.game)
    floor_program = os.path.abspath(arguments.floor)
    counter = os.path.abspath(arguments.frame_counter)
    rounds = Rounds(arguments.short)

    tables = []
    for scale in (SCALE_1, Scale(2)):
        times = first_frames(game_program, floor_program, arguments.software, counter, rounds,
                             scale)
        bare = measure_game(game_program, arguments.software, False, counter, rounds, scale)
        bare["rss_translated"] = translated_rss(game_program, arguments.software, counter, scale)
        managed = measure_game(game_program, arguments.software, True, counter, rounds, scale)
        floor = measure_floor(floor_program, arguments.software, counter, rounds, scale)
        tables.append((bare, managed, floor, times, rounds, scale))
    hostile = slowest_hostile_file(arguments.hostile_files, arguments.assets)
    costly = costliest_set_ms(game_program, arguments.software, counter, rounds,
                              arguments.assets)
    print("Machine: %s" % machine())
    for k, table in enumerate(tables):
        print()
        print_table(*table, hostile=hostile if k == 0 else None, costly=costly if k == 1 else None)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except RuntimeError as error:
        print("benchmark failed: %s" % error, file=sys.stderr)
        sys.exit(1)
