#!/usr/bin/env python3
"""Checks an installed Kavenna tree: exactly the expected files, with the
right modes and contents, and a program that depends on nothing in the
build tree.

Usage: check_layout.py --root PREFIX --source SRC --build BUILD
                       --games DIR --program DIR --data DIR --share DIR
                       --man DIR --locale DIR [--packaged]
The DIR arguments are the install folders relative to PREFIX. With
--packaged the tree is the Debian package's: the program must also be
stripped and free of the source and build folders' names, and the Debian
copyright file and changelog take the place of the licence texts and
the uninstall script a plain install carries.
"""

import argparse
import gzip
import os
import stat
import struct
import subprocess
import sys

ICON_SIZES = (16, 32, 48, 64, 128, 256)
failures = []


def fail(message):
    failures.append(message)


def read(path, mode="rb"):
    with open(path, mode) as f:
        return f.read()


def png_size(path):
    header = read(path)[:24]
    if header[:8] != b"\x89PNG\r\n\x1a\n" or header[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", header[16:24])


def languages(a):
    """The languages po/LINGUAS names: each has its catalogue installed."""
    with open(os.path.join(a.source, "po", "LINGUAS")) as f:
        return [code for line in f if not line.startswith("#") for code in line.split()]


def catalogue(language):
    return os.path.join(language, "LC_MESSAGES", "kavenna.mo")


def expected_files(a):
    share = a.share
    files = {
        os.path.join(a.games, "kavenna"): 0o755,
        os.path.join(a.program, "kavenna"): 0o755,
        os.path.join(a.data, "tesmor.dat"): 0o644,
        os.path.join(share, "applications", "org.example.kavenna.desktop"): 0o644,
        os.path.join(share, "metainfo", "org.example.kavenna.metainfo.xml"): 0o644,
        os.path.join(a.man, "man6", "kavenna.6.gz"): 0o644,
        os.path.join(share, "doc", "kavenna", "changelog.gz"): 0o644,
    }
    if a.packaged:
        files[os.path.join(share, "doc", "kavenna", "copyright")] = 0o644
        files[os.path.join(share, "doc", "kavenna", "changelog.Debian.gz")] = 0o644
    else:
        files[os.path.join(share, "doc", "kavenna", "LICENSE")] = 0o644
        files[os.path.join(share, "doc", "kavenna", "LICENSE.DejaVu.txt")] = 0o644
        files[os.path.join(a.program, "uninstall")] = 0o755
    for size in ICON_SIZES:
        files[os.path.join(share, "icons", "hicolor", "%dx%d" % (size, size), "apps",
                           "kavenna.png")] = 0o644
    for language in languages(a):
        files[os.path.join(a.locale, catalogue(language))] = 0o644
    return files


def check_files(a, files):
    present = set()
    for folder, _, names in os.walk(a.root):
        for name in names:
            present.add(os.path.relpath(os.path.join(folder, name), a.root))
    for extra in sorted(present - set(files)):
        fail("unexpected file installed: " + extra)
    for path, mode in sorted(files.items()):
        full = os.path.join(a.root, path)
        if path not in present:
            fail("missing: " + path)
        elif stat.S_IMODE(os.stat(full).st_mode) != mode:
            fail("%s has mode %o, not %o" % (path, stat.S_IMODE(os.stat(full).st_mode), mode))


def check_program(a):
    program = os.path.join(a.root, a.program, "kavenna")
    if read(program)[:4] != b"\x7fELF":
        return fail("the program is not an ELF file")
    dynamic = subprocess.run(["readelf", "-d", program], capture_output=True, text=True).stdout
    for line in dynamic.splitlines():
        if "RPATH" in line or "RUNPATH" in line:
            fail("the program carries a library path: " + line.strip())
    if a.packaged:
        sections = subprocess.run(["readelf", "-S", program], capture_output=True, text=True).stdout
        if ".debug_" in sections or ".symtab" in sections:
            fail("the packaged program is not stripped")
        data = read(program)
        for tree in (a.source, a.build):
            if os.path.realpath(tree).encode() in data:
                fail("the packaged program names the folder " + tree)


def check_command(a):
    command = read(os.path.join(a.root, a.games, "kavenna"), "r")
    if not command.startswith("#!/bin/sh\n"):
        fail("the kavenna command is not a shell script")
    for line in command.splitlines():
        if not line.startswith("#") and ('"/' in line or " /" in line):
            fail("the kavenna command names an absolute path: " + line)


def check_contents(a):
    if read(os.path.join(a.root, a.data, "tesmor.dat")) != read(os.path.join(a.build, "tesmor.dat")):
        fail("the installed tesmor.dat differs from the built one")
    for size in ICON_SIZES:
        icon = os.path.join(a.root, a.share, "icons", "hicolor", "%dx%d" % (size, size), "apps",
                            "kavenna.png")
        if os.path.exists(icon) and png_size(icon) != (size, size):
            fail("the %dx%d icon is a PNG of %r" % (size, size, png_size(icon)))
    for language in languages(a):
        if read(os.path.join(a.root, a.locale, catalogue(language))) != read(
                os.path.join(a.build, "locale", catalogue(language))):
            fail("the installed %s catalogue differs from the built one" % language)
    doc = os.path.join(a.share, "doc", "kavenna")
    compressed = [(os.path.join(a.man, "man6", "kavenna.6.gz"), "data/kavenna.6"),
                  (os.path.join(doc, "changelog.gz"), "CHANGELOG")]
    if a.packaged:
        compressed.append((os.path.join(doc, "changelog.Debian.gz"), "data/kavenna.changelog"))
    for installed, source in compressed:
        if gzip.decompress(read(os.path.join(a.root, installed))) != read(
                os.path.join(a.source, source)):
            fail("the installed %s is not %s" % (installed, source))
    if not a.packaged:
        for installed, source in (("LICENSE", "LICENSE"),
                                  ("LICENSE.DejaVu.txt", "data/LICENSE.DejaVu.txt")):
            if read(os.path.join(a.root, doc, installed)) != read(os.path.join(a.source, source)):
                fail("the installed %s is not %s" % (installed, source))


def licence_body(copyright_text, name):
    """The text of the 'License: name' paragraph that carries it, without
    the DEP-5 indent; 'Files' paragraphs only name the licence."""
    lines = copyright_text.split("\n")
    for start, line in enumerate(lines):
        if line != "License: " + name:
            continue
        body = []
        for text in lines[start + 1:]:
            if not text.startswith(" "):
                break
            body.append("" if text == " ." else text[1:])
        if body:
            return "\n".join(body)
    return ""


def check_copyright(a):
    text = read(os.path.join(a.root, a.share, "doc", "kavenna", "copyright"), "r")
    if not text.startswith("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"):
        fail("the copyright file is not in Debian's machine-readable format")
    mit = read(os.path.join(a.source, "LICENSE"), "r")
    expat = licence_body(text, "Expat")
    if not expat.startswith("Permission is hereby granted") or expat not in mit:
        fail("the copyright file's Expat text is not the one in LICENSE")
    dejavu = read(os.path.join(a.source, "data", "LICENSE.DejaVu.txt"), "r")
    if licence_body(text, "bitstream-vera") != licence_body(dejavu, "bitstream-vera"):
        fail("the copyright file's font licence is not the one in data/LICENSE.DejaVu.txt")


def main():
    parser = argparse.ArgumentParser()
    for name in ("root", "source", "build", "games", "program", "data", "share", "man",
                 "locale"):
        parser.add_argument("--" + name, required=True)
    parser.add_argument("--packaged", action="store_true")
    a = parser.parse_args()
    files = expected_files(a)
    check_files(a, files)
    if not failures:
        check_program(a)
        check_command(a)
        check_contents(a)
        if a.packaged:
            check_copyright(a)
    for failure in failures:
        print("check_layout: FAIL: " + failure)
    if not failures:
        print("check_layout: %d files as expected under %s" % (len(files), a.root))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
