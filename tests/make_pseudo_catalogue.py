#!/usr/bin/env python3
"""Writes the tests' pseudo-language: a catalogue of the template in which
every text is recognisably transformed, so a test can tell a translated
text from English and see that longer ones still fit.

Usage: make_pseudo_catalogue.py TEMPLATE OUTPUT.po CATALOGUE.po...

Each text is put in brackets, a short one (24 characters at most) with
about 30 % more room taken by tildes before the closing one, and its
letters accented ("Start Game" becomes
"[Śtàrt Gàmé ~~~]"). C conversions (%d, %1$s, %%) and line breaks stay
as they are; a plural text gets two forms. Only characters the shipped
catalogues use are taken for the accents, so the game's font, drawn from
those catalogues, has every one. The language is never installed.
"""

import math
import re
import sys
import unicodedata

CONVERSION = re.compile(r"%(\d+\$)?[-+ #0']*(\d+|\*)?(\.(\d+|\*))?"
                        r"(hh|h|ll|l|L|q|j|z|Z|t)?[diouxXeEfFgGaAcspnm%]")
# Beyond this many characters a text gets no padding.
LONG_TEXT = 24
ESCAPES = {"n": "\n", "t": "\t", "r": "\r", '"': '"', "\\": "\\"}


def unquote(text):
    return re.sub(r"\\(.)", lambda m: ESCAPES.get(m.group(1), m.group(1)), text)


def quote(text):
    text = text.replace("\\", "\\\\").replace('"', '\\"').replace("\t", "\\t")
    # One line of the file a line of the text, as msgcat writes them.
    lines = text.replace("\n", "\\n\n").split("\n")
    if len(lines) == 1:
        return '"%s"' % lines[0]
    return '""\n' + "\n".join('"%s"' % line for line in lines if line)


def entries(path):
    """Each live entry of a catalogue as a dict of its fields (unquoted
    strings; "flags": the "#," line), the header included."""
    found, entry, field = [], {}, None
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines() + [""]
    for line in lines:
        line = line.strip()
        match = re.match(r"(msgctxt|msgid_plural|msgid|msgstr(\[\d+\])?)\s+\"(.*)\"$", line)
        if match:
            if match.group(1) in ("msgctxt", "msgid") and "msgstr" in "".join(entry):
                found.append(entry)
                entry = {}
            field = match.group(1)
            entry[field] = unquote(match.group(3))
        elif line.startswith('"') and field:
            entry[field] += unquote(line[1:-1])
        elif line.startswith("#,"):
            if "msgstr" in "".join(entry):
                found.append(entry)
                entry = {}
            entry["flags"] = line
            field = None
        else:
            field = None
    if "msgid" in entry:
        found.append(entry)
    return found


def accents(catalogues):
    """For each ASCII letter, the accented letter of the catalogues that
    stands in for it; a letter none of them accents stays."""
    used = set()
    for path in catalogues:
        for entry in entries(path):
            if entry.get("msgid"):
                used.update(c for key, text in entry.items() if key.startswith("msgstr")
                            for c in text)
    table = {}
    for c in sorted(used):
        base = unicodedata.normalize("NFD", c)
        if len(base) > 1 and base[0].isascii() and base[0].isalpha():
            table.setdefault(base[0], c)
    return table


def transform(text, table):
    """The pseudo-language's form of `text`."""
    lead = len(text) - len(text.lstrip("\n"))
    trail = len(text) - len(text.rstrip("\n"))
    core = text[lead:len(text) - trail]
    if not core:
        return text
    pieces, at = [], 0
    for match in CONVERSION.finditer(core):
        pieces.append("".join(table.get(c, c) for c in core[at:match.start()]))
        pieces.append(match.group(0))
        at = match.end()
    pieces.append("".join(table.get(c, c) for c in core[at:]))
    # Short texts grow most in translation; a long one is a full line of
    # its place already, and grows by its brackets.
    if len(core) > LONG_TEXT:
        return "\n" * lead + "[" + "".join(pieces) + "]" + "\n" * trail
    padding = "~" * max(1, math.ceil(len(core) * 0.3))
    return "\n" * lead + "[" + "".join(pieces) + " " + padding + "]" + "\n" * trail


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    template, output, catalogues = sys.argv[1], sys.argv[2], sys.argv[3:]
    table = accents(catalogues)
    out = ['# The tests\' pseudo-language, made from the template; never installed.',
           'msgid ""',
           'msgstr ""',
           '"Project-Id-Version: kavenna\\n"',
           '"PO-Revision-Date: 2026-01-01 00:00+0000\\n"',
           '"Last-Translator: The Kavenna developers <maintainers@kavenna.example.org>\\n"',
           '"Language-Team: none\\n"',
           '"Language: xx\\n"',
           '"MIME-Version: 1.0\\n"',
           '"Content-Type: text/plain; charset=UTF-8\\n"',
           '"Content-Transfer-Encoding: 8bit\\n"',
           '"Plural-Forms: nplurals=2; plural=(n != 1);\\n"']
    for entry in entries(template):
        if not entry.get("msgid"):
            continue
        out.append("")
        flags = [f for f in entry.get("flags", "#,")[2:].split(",") if f.strip() != "fuzzy"]
        if any(f.strip() for f in flags):
            out.append("#," + ",".join(flags))
        if "msgctxt" in entry:
            out.append("msgctxt " + quote(entry["msgctxt"]))
        out.append("msgid " + quote(entry["msgid"]))
        if "msgid_plural" in entry:
            out.append("msgid_plural " + quote(entry["msgid_plural"]))
            out.append("msgstr[0] " + quote(transform(entry["msgid"], table)))
            out.append("msgstr[1] " + quote(transform(entry["msgid_plural"], table)))
        else:
            out.append("msgstr " + quote(transform(entry["msgid"], table)))
    with open(output, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
