#!/usr/bin/env python3
"""Checks that the game's folders include one another only downwards:

    app/          the shell: main, start-up, the frame loop, the assets
    ui/           the screens, keyboard play and the spoken sentences
    game/         the rules, plain C++ without the engine or any output
    platform/     Linux, X11, the clock, streams, speech, translations
    file_checks/  the checks of files a player could have replaced

and that no two of the game's files include each other, through any
number of others. Run on the project with no argument; it first proves on
a small tree of its own that it catches both faults.

    layers_test.py SOURCE_DIR
"""
import os
import re
import sys
import tempfile

# Each folder, and the folders below it that it may include.
MAY_INCLUDE = {
    "app": {"ui", "game", "platform", "file_checks"},
    "ui": {"game", "platform"},
    "game": set(),
    "platform": {"file_checks"},
    "file_checks": set(),
}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
SYSTEM_INCLUDE = re.compile(r'^\s*#\s*include\s*<([^>]+)>', re.M)
# The rules are plain C++ that neither draws nor writes anywhere.
NOT_IN_RULES = {"irrlicht.h", "cstdio", "stdio.h", "iostream", "fstream", "ostream",
                "unistd.h", "X11/Xlib.h"}
SOURCES = (".h", ".cpp", ".inc")


def includes(root):
    """Each file of the game, by its path from `root`, and the project
    files it includes."""
    found = {}
    for folder in MAY_INCLUDE:
        for here, _, names in os.walk(os.path.join(root, folder)):
            for name in names:
                if name.endswith(SOURCES):
                    path = os.path.relpath(os.path.join(here, name), root)
                    with open(os.path.join(root, path), encoding="utf-8") as f:
                        text = f.read()
                    found[path] = INCLUDE.findall(text) + \
                        ["<%s>" % h for h in SYSTEM_INCLUDE.findall(text)]
    return found


def top(path):
    return path.split("/", 1)[0]


def faults(root):
    graph = includes(root)
    found = []
    for path, targets in sorted(graph.items()):
        for target in targets:
            if target.startswith("<"):
                if top(path) == "game" and target[1:-1] in NOT_IN_RULES:
                    found.append("%s includes %s: the rules use no engine and no output"
                                 % (path, target))
                continue
            folder = top(target)
            if folder in MAY_INCLUDE and folder != top(path) and \
                    folder not in MAY_INCLUDE[top(path)]:
                found.append("%s includes %s: %s/ may not include %s/"
                             % (path, target, top(path), folder))
    # A cycle through the include graph, by depth-first search.
    state = {}

    def visit(path, trail):
        state[path] = "open"
        for target in graph.get(path, []):
            if target not in graph:
                continue
            if state.get(target) == "open":
                cycle = trail[trail.index(target):] + [target]
                found.append("files include each other: " + " -> ".join(cycle))
            elif target not in state:
                visit(target, trail + [target])
        state[path] = "done"

    for path in sorted(graph):
        if path not in state:
            visit(path, [path])
    return found


def write(root, path, text):
    os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
    with open(os.path.join(root, path), "w", encoding="utf-8") as f:
        f.write(text)


def catches_both_faults():
    """A tree with one upward include and one pair of files that include
    each other must give exactly those two faults; without them, none."""
    with tempfile.TemporaryDirectory() as root:
        write(root, "app/main.cpp", '#include "ui/screens.h"\n#include "game/rules.h"\n')
        write(root, "ui/screens.h", '#include "game/rules.h"\n')
        write(root, "game/rules.h", "#include <vector>\n")
        write(root, "game/deal.cpp", "#include <cstdlib>\n")
        write(root, "platform/clock.h", '#include "file_checks/limits.h"\n')
        write(root, "file_checks/limits.h", "")
        if faults(root):
            return False
        write(root, "game/rules.h", '#include "ui/layout.h"\n')
        write(root, "ui/layout.h", "")
        write(root, "game/deal.cpp", "#include <cstdio>\n")
        write(root, "file_checks/a.h", '#include "file_checks/b.h"\n')
        write(root, "file_checks/b.h", '#include "file_checks/a.h"\n')
        found = faults(root)
        return len(found) == 3 and "no output" in found[0] and \
            "game/ may not include ui/" in found[1] and "each other" in found[2]


def main():
    if not catches_both_faults():
        print("the check itself misses an upward include or a cycle")
        return 1
    found = faults(sys.argv[1])
    for fault in found:
        print(fault)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
