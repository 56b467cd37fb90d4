#!/usr/bin/env python3
"""The translators' template, po/kavenna.pot, made from the sources: the
texts the game's code marks with _("..."), N_("...") and P_("...", "...", n),
the pictures' spoken names of data/pictures.txt, and what the desktop
entry and the AppStream metainfo offer for translation.

Usage: template.py update SOURCE_DIR
         writes po/kavenna.pot when the sources' texts differ from it,
         and merges it into every po/<ll>.po that po/LINGUAS names
         (the build's `pot` target);
       template.py check SOURCE_DIR SCRATCH_DIR
         fails, naming them, when the sources mark texts the template
         lacks, or the template is otherwise not what the sources give.

The sources are listed afresh on every run, so a new file is never left
out. Locations name files without lines, so moving code about leaves the
template alone; the date it was made is no difference either.
"""

import os
import re
import subprocess
import sys
import tempfile

CODE_FOLDERS = ("app", "ui", "game", "platform", "file_checks")
DESKTOP_FILES = ("data/kavenna.desktop", "data/org.example.kavenna.metainfo.xml.in")
COMMON = ["--from-code=UTF-8", "--add-comments=TRANSLATORS:", "--add-location=file",
          "--force-po", "--package-name=kavenna",
          "--copyright-holder=The Kavenna developers",
          "--msgid-bugs-address=maintainers@kavenna.example.org"]


def code_files(source):
    found = []
    for folder in CODE_FOLDERS:
        for root, dirs, names in os.walk(os.path.join(source, folder)):
            dirs.sort()
            for name in sorted(names):
                if name.endswith((".cpp", ".h")):
                    found.append(os.path.relpath(os.path.join(root, name), source))
    return found


def make_template(source, output):
    """Writes the template the sources give now into `output`."""
    # The code's own marks only; none of the C library's names.
    subprocess.check_call(["xgettext"] + COMMON + [
        "--output=" + output, "--language=C++", "--keyword", "--keyword=_",
        "--keyword=N_", "--keyword=P_:1,2"] + code_files(source), cwd=source)
    # xgettext reads that part back in, and would warn of its placeholder
    # character set.
    with open(output, encoding="utf-8") as f:
        text = f.read().replace("charset=CHARSET", "charset=UTF-8")
    with open(output, "w", encoding="utf-8") as f:
        f.write(text)
    # The desktop files, with the rules gettext and appstream install (the
    # metainfo's name, `.in` and all, says which).
    subprocess.check_call(["xgettext"] + COMMON + ["--output=" + output, "--join-existing"]
                          + list(DESKTOP_FILES), cwd=source)
    # The pictures' spoken names, from the table the game's build reads
    # them from, as C the way the build writes them.
    with tempfile.TemporaryDirectory() as scratch:
        os.makedirs(os.path.join(scratch, "data"))
        with open(os.path.join(scratch, "data", "pictures.txt"), "w", encoding="utf-8") as f:
            for name in picture_names(source):
                f.write('/* TRANSLATORS: a picture on a tile, said when it is turned: its '
                        'colour and its shape. */\nN_("%s");\n' % name)
        subprocess.check_call(["xgettext"] + COMMON + [
            "--output=" + os.path.abspath(output), "--join-existing", "--language=C",
            "--keyword", "--keyword=N_", "data/pictures.txt"], cwd=scratch)
    with open(output, encoding="utf-8") as f:
        text = f.read().replace("# SOME DESCRIPTIVE TITLE.",
                                "# The texts of Kavenna, for translators.", 1)
    with open(output, "w", encoding="utf-8") as f:
        f.write(text)


def picture_names(source):
    """ "colour shape" for each line of data/pictures.txt, as the build
    names the pictures (cmake/PictureNames.cmake)."""
    names = []
    with open(os.path.join(source, "data", "pictures.txt"), encoding="utf-8") as f:
        for line in f:
            match = re.match(r"^([a-z]+) +[0-9]+ +[0-9]+ +[0-9]+ +([a-z]+( [a-z]+)*)$", line.strip())
            if match and not line.startswith("#"):
                names.append(match.group(2) + " " + match.group(1))
    return names


def undated(path):
    with open(path, encoding="utf-8") as f:
        return re.sub(r'\n"POT-Creation-Date: [^\n]*\n', "\n", f.read())


def texts(path):
    """The message ids in `path`, each on one line."""
    flat = subprocess.check_output(["msgcat", "--no-wrap", "--no-location", path])
    return set(re.findall(r'^msgid "(.+)"$', flat.decode("utf-8"), re.M))


def languages(source):
    with open(os.path.join(source, "po", "LINGUAS"), encoding="utf-8") as f:
        return [code for line in f if not line.startswith("#") for code in line.split()]


def update(source):
    template = os.path.join(source, "po", "kavenna.pot")
    fresh = template + ".new"
    make_template(source, fresh)
    if os.path.exists(template) and undated(fresh) == undated(template):
        os.remove(fresh)
        print("po/kavenna.pot already holds the sources' texts")
    else:
        os.replace(fresh, template)
        print("po/kavenna.pot written anew")
    status = 0
    for code in languages(source):
        catalogue = os.path.join("po", code + ".po")
        if not os.path.exists(os.path.join(source, catalogue)):
            print("%s is missing: make it from the template with msginit "
                  "(docs/translating.md)" % catalogue, file=sys.stderr)
            status = 1
            continue
        subprocess.check_call(["msgmerge", "--quiet", "--update", "--backup=none",
                               "--add-location=file", catalogue, "po/kavenna.pot"], cwd=source)
    return status


def check(source, scratch):
    template = os.path.join(source, "po", "kavenna.pot")
    os.makedirs(scratch, exist_ok=True)
    fresh = os.path.join(scratch, "kavenna.pot")
    make_template(source, fresh)
    marked, held = texts(fresh), texts(template)
    for text in sorted(marked - held):
        print('marked in the sources, missing from po/kavenna.pot: "%s"' % text)
    for text in sorted(held - marked):
        print('in po/kavenna.pot, no longer in the sources: "%s"' % text)
    if undated(fresh) != undated(template):
        print("po/kavenna.pot is not what the sources give (compare it with %s): "
              "run `cmake --build <build> --target pot`" % fresh)
        return 1
    print("po/kavenna.pot holds exactly the %d texts of the sources" % len(marked))
    return 0


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "update":
        return update(sys.argv[2])
    if len(sys.argv) == 4 and sys.argv[1] == "check":
        return check(sys.argv[2], sys.argv[3])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
