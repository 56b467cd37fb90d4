#!/usr/bin/env python3
"""Packs asset files into the game's ZIP archive, byte for byte the same
for the same inputs.

    make_archive.py OUT FILE... [--folder NAME] [--upper]

Pictures (PNG, JPEG) are stored as they are: they are compressed
already, and deflating them again would only make the game inflate
each one twice at start-up. Other entries are deflated. Entries are
sorted by name, dated 1980-01-01 and carry their sizes in their local
headers (no data descriptors), which the engine's ZIP reader relies on. --folder and --upper store the names inside a
folder and in upper case, for checking that the game ignores both.
"""
import argparse
import os
import zipfile

ALREADY_COMPRESSED = (".png", ".jpg", ".jpeg")


def pack(out, files, folder="", upper=False):
    entries = []
    for path in files:
        name = os.path.basename(path)
        if upper:
            name = name.upper()
        if folder:
            name = folder.rstrip("/") + "/" + name
        with open(path, "rb") as f:
            entries.append((name, f.read()))
    entries.sort()
    tmp = out + ".tmp"
    # Writing to a seekable file makes zipfile go back and fill in the
    # sizes instead of appending data descriptors.
    with zipfile.ZipFile(tmp, "w") as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=(1980, 1, 1, 0, 0, 0))
            if name.lower().endswith(ALREADY_COMPRESSED):
                info.compress_type = zipfile.ZIP_STORED
            else:
                info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3
            info.external_attr = 0o644 << 16
            archive.writestr(info, data, compresslevel=9)
    os.replace(tmp, out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out")
    parser.add_argument("files", nargs="+")
    parser.add_argument("--folder", default="")
    parser.add_argument("--upper", action="store_true")
    args = parser.parse_args()
    pack(args.out, args.files, args.folder, args.upper)


if __name__ == "__main__":
    main()
