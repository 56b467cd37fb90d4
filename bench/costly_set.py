"""Writes the costliest set of data files the game must still take, each
within its limits, as loose files in a folder (no archive), or with
--archive as the archive in that folder:

    costly_set.py [--archive] FOLDER DATA_DIR

Every file of the set for scale 2 is as large as a picture may be (8 MiB)
and exactly the size the game draws it at, but the last one the game
checks, 10@2x.jpg, is the picture for scale 1: so the whole set for scale
2 is read and checked, then refused, and the game falls back to scale 1,
whose files are as large again. The PNG pictures (the backgrounds and the
font's pictures, 1600 x 1000 with alpha where they may be) hold random
pixels, which compress least and decode slowest, and fill the rest of
their 8 MiB with chunks the decoder skips; the JPEG pictures are the
shipped ones with comment segments up to 8 MiB; the icons fill their 256
KiB the same way. Pictures and font descriptions are checked before the
window, decoded after it: the benchmark times both.

The archive may hold 64 MiB in all, so it holds the first of those files
for scale 2 in the order the game checks them, deflated, as many as fit,
the shipped files for the rest, and the picture for scale 1 in place of
10@2x.jpg; the game checks (inflates) every entry before the window, and
inflates each picture again to read its header and once more to decode
it.
"""

import os
import random
import re
import struct
import sys
import zipfile
import zlib

PICTURE_BYTES = 8 << 20
ICON_BYTES = 256 << 10
# Any chunk libpng keeps is limited to 1 MiB; these are skipped, but kept
# below that anyway.
PADDING_CHUNK = (1 << 20) - 64


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def padded_png(width, height, alpha, limit, random_bytes):
    """A PNG of random pixels, with private chunks up to `limit` bytes."""
    channels = 4 if alpha else 3
    rows = b"".join(b"\0" + random_bytes(width * channels) for _ in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    start = b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
    end = png_chunk(b"IDAT", zlib.compress(rows, 1)) + png_chunk(b"IEND", b"")
    padding = b""
    while True:
        left = limit - len(start) - len(padding) - len(end) - 12
        if left <= 0:
            break
        padding += png_chunk(b"prVt", b"\0" * min(left, PADDING_CHUNK))
    return start + padding + end


def padded_jpeg(data, limit):
    """The JPEG `data` with comment segments after its start, up to
    `limit` bytes."""
    comments = b""
    while True:
        left = limit - len(data) - len(comments) - 4
        if left <= 0:
            break
        size = min(left, 0xFFFF - 2)
        comments += b"\xff\xfe" + struct.pack(">H", size + 2) + b"\0" * size
    return data[:2] + comments + data[2:]


def font_description(data_dir, name, picture):
    """The shipped description `name`, its picture renamed."""
    with open(os.path.join(data_dir, name), "rb") as f:
        data = f.read()
    encoding = "utf-16" if data.startswith(b"\xff\xfe") else "ascii"
    text = re.sub(r'filename="[^"]*"', 'filename="%s"' % picture, data.decode(encoding))
    return text.encode(encoding)


ARCHIVE_BYTES = 64 << 20
# The order the game checks the set for a scale in.
CHECKED = ["f.xml", "f0.png", "s.png", "m.png", "h.jpg", "w.jpg"] + \
    ["%d.jpg" % n for n in range(1, 11)]


def at_two(name):
    stem, extension = os.path.splitext(name)
    return stem + "@2x" + extension


def pack(folder, data_dir):
    """Moves the loose files of `folder` into tesmor.dat there, as the
    docstring says."""
    shipped = [line.strip() for line in open(os.path.join(data_dir, "assets.txt"))
               if line.strip() and not line.startswith("#")]
    chosen, total = {}, 0
    for name in [at_two(n) for n in CHECKED] + shipped:
        if name in chosen:
            continue
        path = os.path.join(folder, name)
        # Room kept for 10@2x.jpg and the small shipped files.
        if name != "10@2x.jpg" and total + os.path.getsize(path) > ARCHIVE_BYTES - (10 << 20):
            path = os.path.join(data_dir, name)
        chosen[name] = path
        total += os.path.getsize(path)
    with zipfile.ZipFile(os.path.join(folder, "tesmor.dat"), "w", zipfile.ZIP_DEFLATED) as zip:
        for name, path in chosen.items():
            zip.write(path, name)
    for name in os.listdir(folder):
        if name != "tesmor.dat":
            os.remove(os.path.join(folder, name))


def main():
    archive = sys.argv[1] == "--archive"
    folder, data_dir = sys.argv[1 + archive], sys.argv[2 + archive]
    os.makedirs(folder, exist_ok=True)
    generator = random.Random(28)

    def write(name, data):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)

    for suffix, k in (("", 1), ("@2x", 2)):
        size = (800 * k, 500 * k)
        for stem in ("m", "s"):
            write(stem + suffix + ".png",
                  padded_png(size[0], size[1], True, PICTURE_BYTES, generator.randbytes))
        # The font's picture may be any size its glyphs fit in, up to the
        # most pixels a PNG may have.
        write("f0" + suffix + ".png",
              padded_png(1600, 1000, True, PICTURE_BYTES, generator.randbytes))
        write("f" + suffix + ".xml",
              font_description(data_dir, "f" + suffix + ".xml", "f0" + suffix + ".png"))
        for stem in ["h", "w"] + [str(n) for n in range(1, 11)]:
            with open(os.path.join(data_dir, stem + suffix + ".jpg"), "rb") as f:
                write(stem + suffix + ".jpg", padded_jpeg(f.read(), PICTURE_BYTES))
    with open(os.path.join(data_dir, "10.jpg"), "rb") as f:
        write("10@2x.jpg", padded_jpeg(f.read(), PICTURE_BYTES))
    for side in (16, 32, 48, 64, 128):
        write("icon-%d.png" % side,
              padded_png(side, side, True, ICON_BYTES, generator.randbytes))
    if archive:
        pack(folder, data_dir)


if __name__ == "__main__":
    main()
