#!/usr/bin/env python3
"""Checks the shipped translation catalogues and what the build makes of
them.

Usage: catalogues_test.py catalogue TEMPLATE CATALOGUE.po
         the catalogue passes `msgfmt --check`, translates every text of
         the template with none left fuzzy, keeps the game's name, ends
         search-word lists in ';', and has the plural forms gettext
         knows for its language;
       catalogues_test.py font FONT_DIR CATALOGUE.po...
         the build's font has a glyph for every character of every
         catalogue's translations, at both scales;
       catalogues_test.py pseudo SCRIPT TEMPLATE FONT_DIR CATALOGUE.po...
         the pseudo-language SCRIPT makes of the template, and of a table
         of harder texts, passes `msgfmt --check` and transforms every
         text as the tests need: longer, bracketed, accented, with its
         conversions and line breaks kept, in the font's characters.
"""

import gettext
import os
import re
import subprocess
import sys
import tempfile

NAME = "Kavenna"
PLURAL_SAMPLES = range(0, 1001)


def run(*command):
    done = subprocess.run(command, capture_output=True, text=True)
    return done.returncode, done.stdout + done.stderr


def entries(path):
    """[msgid, [msgstr...], flags, msgid_plural] of each live entry, the
    header first, from msgcat's one-line form."""
    status, text = run("msgcat", "--no-wrap", "--no-location", path)
    if status != 0:
        sys.exit(text)
    found, flags = [], ""

    def unquote(s):
        return re.sub(r"\\(.)", lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), s)

    target = None
    for line in text.splitlines():
        if line.startswith("#,"):
            flags = line
        elif line.startswith("msgid "):
            found.append([unquote(line[7:-1]), [], flags, None])
            flags, target = "", "msgid"
        elif line.startswith("msgid_plural "):
            found[-1][3] = unquote(line[14:-1])
            target = "msgid_plural"
        elif line.startswith("msgstr"):
            found[-1][1].append(unquote(line.split(" ", 1)[1][1:-1]))
            target = "msgstr"
        elif line.startswith('"') and target == "msgid":
            found[-1][0] += unquote(line[1:-1])
        elif line.startswith('"') and target == "msgid_plural":
            found[-1][3] += unquote(line[1:-1])
        elif line.startswith('"') and target == "msgstr":
            found[-1][1][-1] += unquote(line[1:-1])
        else:
            target = None
    return found


def header_field(header, name):
    match = re.search(r"^%s:\s*(.*)$" % name, header, re.M)
    return match.group(1).strip() if match else None


def plural_forms(value):
    """(nplurals, the form of each sample n) of a Plural-Forms value."""
    match = re.fullmatch(r"nplurals\s*=\s*(\d+)\s*;\s*plural\s*=\s*(.*?);?", value or "")
    if not match:
        return None
    rule = gettext.c2py(match.group(2))
    return int(match.group(1)), [rule(n) for n in PLURAL_SAMPLES]


def gettexts_plural_forms(template, language):
    """The Plural-Forms msginit writes for `language`; None when gettext
    has no rule for it."""
    with tempfile.TemporaryDirectory() as scratch:
        made = os.path.join(scratch, "made.po")
        status, output = run("msginit", "--no-translator", "--locale=" + language,
                             "--input=" + template, "--output-file=" + made)
        if status != 0:
            sys.exit(output)
        value = header_field(entries(made)[0][1][0], "Plural-Forms")
    return None if "INTEGER" in (value or "INTEGER") else value


def check_catalogue(template, path):
    problems = []
    status, output = run("msgfmt", "--check", "--output-file=/dev/null", path)
    if status != 0:
        problems.append("msgfmt --check fails:\n" + output)
    found = entries(path)
    header = found[0][1][0] if found and found[0][0] == "" else ""
    language = header_field(header, "Language")
    expected = os.path.splitext(os.path.basename(path))[0]
    if language != expected:
        problems.append("its header says Language: %s, not %s" % (language, expected))
    translated = {msgid for msgid, texts, flags, _ in found[1:]
                  if all(texts) and "fuzzy" not in flags}
    for msgid, *_ in entries(template)[1:]:
        if msgid not in translated:
            problems.append('"%s" is not translated, or fuzzy' % msgid)
    for msgid, texts, *_ in found[1:]:
        for text in texts:
            if NAME in msgid and NAME not in text:
                problems.append('"%s" loses the name %s' % (text, NAME))
            if msgid.endswith(";") and text and not text.endswith(";"):
                problems.append('"%s" does not end in ";" as its search words must' % text)
    forms = header_field(header, "Plural-Forms")
    wanted = gettexts_plural_forms(template, expected)
    if plural_forms(forms) is None:
        problems.append("no valid Plural-Forms header: %s" % forms)
    elif wanted and plural_forms(forms) != plural_forms(wanted):
        problems.append("Plural-Forms: %s, where gettext's rule for %s is %s"
                        % (forms, expected, wanted))
    for problem in problems:
        print("%s: %s" % (path, problem))
    if not problems:
        print("%s: complete and sound, %d texts" % (path, len(found) - 1))
    return 1 if problems else 0


def font_characters(path):
    """The characters a font description has glyphs for."""
    with open(path, "rb") as f:
        data = f.read()
    text = data[2:].decode("utf-16-le") if data[:2] == b"\xff\xfe" else data.decode("ascii")
    named = {"&amp;": "&", "&lt;": "<", "&gt;": ">", "&quot;": '"', "&apos;": "'"}
    return {named.get(c, c) for c in re.findall(r'<c c="(&\w+;|[^"])"', text)}


def check_font(folder, catalogues):
    status = 0
    for description in ("f.xml", "f@2x.xml"):
        glyphs = font_characters(os.path.join(folder, description))
        needed = {}
        for path in catalogues:
            for _, texts, *_ in entries(path)[1:]:
                for text in texts:
                    for ch in text:
                        if ch not in "\n\t":
                            needed.setdefault(ch, path)
        lacking = sorted(set(needed) - glyphs)
        for ch in lacking:
            print("%s has no glyph for %r (U+%04X), which %s needs"
                  % (description, ch, ord(ch), needed[ch]))
        if lacking:
            status = 1
        else:
            print("%s: %d glyphs, the %d characters of %d catalogues among them"
                  % (description, len(glyphs), len(needed), len(catalogues)))
    return status


# Texts the shipped template may come to hold: conversions, plurals,
# line breaks at either end, a context.
PSEUDO_CASES = r"""
#, c-format
msgid "Your number of clicks are %d"
msgstr ""

#, c-format
msgid "%1$d of %2$s: 100%%"
msgstr ""

msgid ""
"First line\n"
"second line\n"
msgstr ""

msgid "\nAfter a line break"
msgstr ""

#, c-format
msgid "One pair"
msgid_plural "%d pairs"
msgstr[0] ""
msgstr[1] ""

msgctxt "menu"
msgid "Exit"
msgstr ""

msgid "OK"
msgstr ""
"""
CONVERSION = re.compile(r"%(\d+\$)?[-+ #0']*(\d+|\*)?(\.(\d+|\*))?"
                        r"(hh|h|ll|l|L|q|j|z|Z|t)?[diouxXeEfFgGaAcspnm%]")


def pseudo_problems(english, text, glyphs):
    core = english.strip("\n")
    problems = []
    if text.strip("\n")[:1] != "[" or text.strip("\n")[-1:] != "]":
        problems.append("not in brackets")
    if len(text.strip("\n")) < (len(core) * 1.3 if len(core) <= 24 else len(core) + 2):
        problems.append("less than 30 % longer, or a long text not longer")
    if CONVERSION.findall(text) != CONVERSION.findall(english):
        problems.append("its conversions differ")
    if text.count("\n") != english.count("\n") or \
            text.startswith("\n") != english.startswith("\n") or \
            text.endswith("\n") != english.endswith("\n"):
        problems.append("its line breaks differ")
    letters = [c for c in CONVERSION.sub("", core) if c.islower() and c in "aceilnosuyz"]
    if letters and not any(ord(c) > 0x7f for c in text):
        problems.append("no letter accented")
    lacking = sorted(set(text) - glyphs - {"\n"})
    if lacking:
        problems.append("characters the font lacks: %r" % "".join(lacking))
    return problems


def check_pseudo(script, template, folder, catalogues):
    glyphs = font_characters(os.path.join(folder, "f.xml")) & font_characters(
        os.path.join(folder, "f@2x.xml"))
    status = 0
    with tempfile.TemporaryDirectory() as scratch:
        cases = os.path.join(scratch, "cases.pot")
        with open(cases, "w", encoding="utf-8") as f:
            f.write('msgid ""\nmsgstr ""\n"Content-Type: text/plain; charset=UTF-8\\n"\n'
                    + PSEUDO_CASES)
        for source in (template, cases):
            made = os.path.join(scratch, "xx.po")
            subprocess.check_call([sys.executable, script, source, made] + catalogues)
            result, output = run("msgfmt", "--check", "--output-file=/dev/null", made)
            if result != 0:
                print("%s: msgfmt --check fails on its pseudo-language:\n%s" % (source, output))
                status = 1
            english = {e[0] for e in entries(source)[1:]}
            count = 0
            for msgid, texts, _, plural in entries(made)[1:]:
                for n, text in enumerate(texts):
                    original = plural if n > 0 else msgid
                    for problem in pseudo_problems(original, text, glyphs):
                        print('%s: "%s" becomes "%s": %s' % (source, original, text, problem))
                        status = 1
                    count += 1
            if english != {e[0] for e in entries(made)[1:]}:
                print("%s: the pseudo-language does not hold every text" % source)
                status = 1
            print("%s: %d texts transformed" % (source, count))
    return status


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "catalogue":
        return check_catalogue(sys.argv[2], sys.argv[3])
    if len(sys.argv) >= 4 and sys.argv[1] == "font":
        return check_font(sys.argv[2], sys.argv[3:])
    if len(sys.argv) >= 6 and sys.argv[1] == "pseudo":
        return check_pseudo(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
