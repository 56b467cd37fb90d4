#!/usr/bin/python3
"""Writes one hostile data file of every class the game must refuse, each
as a loose file and as an entry of an otherwise sound archive.

    make_hostile_files.py OUT_DIR DATA_DIR RECIPE NAME...

For every class, OUT_DIR/<class>/loose/<entry> holds the file and
OUT_DIR/<class>/tesmor.dat the shipped assets (NAME... in DATA_DIR) with
that entry replaced, every checksum valid. Each file is what once broke
the engine's own loaders: heap overflows, endless loops, reads past a
buffer, gigabytes of memory, tens of seconds. The archive's own classes
have only the archive; the large ones are sparse files, taking no disk
space. Needs Pillow, hence Debian's interpreter.
"""
import io
import re
import os
import shutil
import struct
import sys
import zlib

from PIL import Image


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png_declaring(width, height, colour_type, pixels=b"\0" * 64):
    """A PNG whose header declares the size, with only a little data."""
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(pixels)) + png_chunk(b"IEND", b""))


def jpeg(mode, size, colour):
    out = io.BytesIO()
    Image.new(mode, size, colour).save(out, "JPEG", quality=90)
    return out.getvalue()


def png(size, colour):
    out = io.BytesIO()
    Image.new("RGB", size, colour).save(out, "PNG")
    return out.getvalue()


def jpeg_with_scans(count):
    """A grey 100 x 50 progressive JPEG of `count` scans (65 to 127), each a
    legal step: the DC scan, the 63 AC coefficients one at a time at half
    precision, then as many of them at full precision as make the count."""
    def segment(marker, body):
        return b"\xff" + bytes([marker]) + struct.pack(">H", len(body) + 2) + body

    def scan(start, end, high, low, data):
        return segment(0xDA, b"\x01\x01\x00" + bytes([start, end, high << 4 | low])) + data

    out = b"\xff\xd8" + segment(0xDB, b"\x00" + b"\x01" * 64)
    out += segment(0xC2, struct.pack(">BHHB", 8, 50, 100, 1) + b"\x01\x11\x00")
    # One code each, "0": a DC difference of 0, and a run of blocks whose
    # band is all zero, 64 plus the next six bits long.
    out += segment(0xC4, b"\x00\x01" + b"\x00" * 15 + b"\x00")
    out += segment(0xC4, b"\x10\x01" + b"\x00" * 15 + b"\x60")
    # 13 x 7 blocks: 91 zero bits, then ones to the end of the byte.
    out += scan(0, 0, 0, 0, b"\x00" * 11 + b"\x1f")
    # The code, 27 (91 - 64) in six bits and a one.
    all_blocks = b"\x37"
    for k in range(1, 64):
        out += scan(k, k, 0, 1, all_blocks)
    for k in range(1, count - 63):
        out += scan(k, k, 1, 0, all_blocks)
    return out + b"\xff\xd9"


def png_cut_in_image_data(data):
    """The PNG `data` cut in the middle of its image data: its header
    reads as sound, its pixels do not decode."""
    return data[:data.index(b"IDAT") + (len(data) - data.index(b"IDAT")) // 2]


def without_alpha(data):
    out = io.BytesIO()
    Image.open(io.BytesIO(data)).convert("RGB").save(out, "PNG")
    return out.getvalue()


def cropped(data, height):
    out = io.BytesIO()
    picture = Image.open(io.BytesIO(data))
    picture.crop((0, 0, picture.width, height)).save(out, "PNG")
    return out.getvalue()


def jpeg_declaring(width, height):
    """A small JPEG whose frame header is changed to declare the size."""
    data = bytearray(jpeg("RGB", (16, 16), (200, 40, 40)))
    at = data.index(b"\xff\xc0")
    struct.pack_into(">HH", data, at + 5, height, width)
    return bytes(data)


def tga_rle():
    # 1x1 pixel, then a raw packet of 128 pixels.
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 10, 0, 0, 0, 0, 0, 1, 1, 32, 8)
    footer = b"\0" * 8 + b"TRUEVISION-XFILE.\0"
    return header + b"\x7f" + b"\xab" * 512 + footer


def pcx_rle():
    header = bytearray(128)
    struct.pack_into("<BBBBHHHH", header, 0, 0x0A, 5, 1, 8, 0, 0, 1, 1)
    header[65] = 1  # planes
    struct.pack_into("<HH", header, 66, 2, 1)  # bytes per line, palette kind
    runs = b"\xff\x55" * 4000  # runs of 63 bytes, far more than 2x2
    return bytes(header) + runs + b"\x0c" + b"\x10" * 768


def bmp(bits, compression, width, height, data):
    palette = b"\x20\x40\x60\x00" * 256 if bits == 8 else b""
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(data), 2835,
                       2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + info + palette + data


def ppm():
    return b"P6\n32768 32769\n255\n" + b"\x80" * 300


def png_with_text_chunks(count=998):
    """A menu background of the right size under 8 MiB whose compressed
    text chunks each inflate to just under libpng's own limit of 8,000,000
    bytes."""
    text = png_chunk(b"zTXt", b"Comment\0\0" + zlib.compress(b" " * 7999000, 9))
    picture = png((800, 500), (20, 40, 90))
    at = picture.index(b"IDAT") - 4
    return picture[:at] + text * count + picture[at:]


def arithmetic_jpeg(width, height):
    """An arithmetic-coded JPEG whose only scan carries no data."""
    data = jpeg("RGB", (16, 16), (30, 160, 90))
    out = data[:2]
    at = 2
    while True:
        marker, length = data[at + 1], struct.unpack(">H", data[at + 2:at + 4])[0]
        segment = data[at:at + 2 + length]
        if marker == 0xC0:
            segment = (b"\xff\xc9" + segment[2:5] + struct.pack(">HH", height, width) +
                       segment[9:])
        if marker != 0xC4:
            out += segment
        if marker == 0xDA:
            return out + b"\xff\xd9"
        at += 2 + length


def png_with_data_for(width, height, declared_height):
    """A PNG whose header declares fewer rows than its data holds."""
    out = io.BytesIO()
    Image.new("RGB", (width, height), (40, 120, 200)).save(out, "PNG")
    data = bytearray(out.getvalue())
    struct.pack_into(">I", data, 20, declared_height)
    struct.pack_into(">I", data, 29, zlib.crc32(bytes(data[12:29])))
    return bytes(data)


def png_indexing_past_palette(width, height, colours):
    """A palette PNG of `colours` entries whose pixels use one more."""
    palette = bytes([30, 90, 160] * colours)
    rows = b"".join(b"\0" + bytes([(x // 50) % (colours + 1) for x in range(width)])
                    for _ in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"PLTE", palette) +
            png_chunk(b"IDAT", zlib.compress(rows)) + png_chunk(b"IEND", b""))


def font_with_rectangles(font, rectangle):
    """The font description with each glyph's rectangle given by
    `rectangle(character index, left, top, right, bottom)`."""
    glyphs = iter(range(1 << 16))

    def replace(match):
        edges = [int(n) for n in match.group(1).split(b",")]
        return b'r="%d,%d,%d,%d"' % rectangle(next(glyphs), *edges)
    return re.sub(rb'r="([0-9,]+)"', replace, font)


def font_glyph(font, character, attributes):
    """The font description with the glyph of `character` changed."""
    start = font.index(b'<c c="%s"' % character)
    end = font.index(b"/>", start)
    glyph = font[start:end]
    for name, value in attributes.items():
        glyph = re.sub(rb' %s="[^"]*"' % name, b' %s="%s"' % (name, value), glyph)
    return font[:start] + glyph + font[end:]


def font_description(data_dir):
    """The font description in ASCII, the form the cases below edit: the
    build's font, in UTF-16 for the translations' characters, without the
    glyphs of characters beyond ASCII."""
    with open(os.path.join(data_dir, "f.xml"), "rb") as f:
        font = f.read()
    if font.startswith(b"\xff\xfe"):
        lines = font[2:].decode("utf-16-le").splitlines(keepends=True)
        font = "".join(line for line in lines if line.isascii()).encode("ascii")
    return font


def one_gib_deflated():
    """A deflate stream of 1 GiB of spaces: one flushed block, repeated."""
    block_bytes = 1 << 20
    compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
    block = compressor.compress(b" " * block_bytes) + compressor.flush(zlib.Z_FULL_FLUSH)
    crc = 0
    chunk = b" " * block_bytes
    for _ in range(1024):
        crc = zlib.crc32(chunk, crc)
    # A final, empty block of fixed codes ends the stream.
    return block * 1024 + b"\x03\x00", crc, block_bytes * 1024


def write_zip(out, entries, flags=0, second_at=0, extra=b"", cut_to=0):
    """Entries of (name, method, stored bytes, crc, size), sizes in place.
    The first entry has the general-purpose `flags`; the second starts at
    `second_at` when that is further on (the gap is sparse); the last has
    `extra` as a local extra field only. With `cut_to` the file ends there,
    sparse, with no central directory."""
    with open(out, "wb") as f:
        central = b""
        for index, (name, method, data, crc, size) in enumerate(entries):
            if index == 1 and second_at > f.tell():
                f.seek(second_at)
            local_extra = extra if index == len(entries) - 1 else b""
            offset = f.tell()
            fields = struct.pack("<HHHHHIIIH", 20, flags if index == 0 else 0, method, 0, 0x21,
                                 crc, len(data), size, len(name))
            f.write(b"PK\x03\x04" + fields + struct.pack("<H", len(local_extra)) + name +
                    local_extra + data)
            central += (b"PK\x01\x02" + struct.pack("<H", 20) + fields +
                        struct.pack("<HHHHII", 0, 0, 0, 0, 0, offset) + name)
        if cut_to:
            f.truncate(cut_to)
            return
        start = f.tell()
        f.write(central)
        f.write(b"PK\x05\x06" + struct.pack("<HHHHIIH", 0, 0, len(entries), len(entries),
                                             len(central), start, 0))


def stored(name, data):
    return (name, 0, data, zlib.crc32(data), len(data))


def hidden_behind_extra_field(picture):
    """Two entries: the engine reads a local extra field of 40,000 bytes
    as -25,536, steps back into the first entry's data and lists the
    "m.png" hidden there, which no other reader sees."""
    hidden = stored(b"m.png", picture)
    header = (b"PK\x03\x04" + struct.pack("<HHHHHIIIHH", 20, 0, 0, 0, 0x21, hidden[3],
                                           len(picture), len(picture), 5, 0) + b"m.png")
    # The step back lands 36 bytes past the padding's local header.
    padding = (header + picture).ljust(65536 - 40000 - 36, b"\0")
    return [stored(b"y.bin", padding), stored(b"z.bin", b"z")], b"\0" * 40000


def archive_classes(data_dir, paths, hidden_picture):
    """The archive's own classes, each the shipped assets around one
    thing the engine's reader takes otherwise than every other reader."""
    shipped = []
    for path in sorted(paths, key=os.path.basename):
        with open(path, "rb") as f:
            shipped.append(stored(os.path.basename(path).encode(), f.read()))
    without_m = [e for e in shipped if e[0] != b"m.png"]
    hiding, extra = hidden_behind_extra_field(hidden_picture)
    compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
    eight_mib = compressor.compress(b"\0" * (8 << 20)) + compressor.flush()
    pad = [(b"p%d.png" % n, 8, eight_mib, zlib.crc32(b"\0" * (8 << 20)), 8 << 20)
           for n in range(9)]
    return {
        "archive-name-32768-bytes": (shipped + [stored(b"n" * 32768, b"n")], {}),
        "archive-local-extra-40000-bytes": (without_m + hiding, {"extra": extra}),
        "archive-entries-past-2-gib": (shipped, {"flags": 8, "second_at": 1 << 31}),
        "archive-entries-past-64-mib": (shipped, {"flags": 8, "second_at": 64 << 20}),
        "archive-no-end-record-64-mib": (shipped, {"flags": 8, "cut_to": 64 << 20}),
        "archive-entries-inflate-past-64-mib": (shipped + pad, {}),
    }


def main():
    out_dir, data_dir, recipe, names = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    # The shipped archive's own recipe packs the sound archives around each
    # hostile entry (run with -B, so nothing is written beside it).
    sys.path.insert(0, os.path.dirname(os.path.abspath(recipe)))
    import make_archive

    font = font_description(data_dir)
    with open(os.path.join(data_dir, "6.jpg"), "rb") as f:
        whole_jpeg = f.read()
    with open(os.path.join(data_dir, "f0.png"), "rb") as f:
        whole_png = f.read()
    with open(os.path.join(data_dir, "m.png"), "rb") as f:
        menu_background = f.read()
    with open(os.path.join(data_dir, "h@2x.jpg"), "rb") as f:
        tile_back_at_2x = f.read()
    glyph = b'<c c="A"'
    classes = {
        # Pictures
        "jpeg-21846-wide": ("h.jpg", jpeg("RGB", (21846, 8), (30, 90, 160))),
        "cmyk-jpeg-16384-wide": ("w.jpg", jpeg("CMYK", (16384, 8), (10, 200, 30, 0))),
        "png-size-wraps": ("s.png", png_declaring(32768, 32769, 6)),
        "tga-rle-as-png": ("m.png", tga_rle()),
        "pcx-rle-as-jpeg": ("1.jpg", pcx_rle()),
        "bmp-rle8-as-jpeg": ("2.jpg", bmp(8, 1, 2, 2, b"\xff\x07" * 2000)),
        "bmp-16-bit-as-jpeg": ("3.jpg", bmp(16, 0, 65536, 65536, b"\x1f\x7c" * 64)),
        "ppm-as-jpeg": ("4.jpg", ppm()),
        "jpeg-cut-after-3-bytes": ("5.jpg", b"\xff\xd8\xff"),
        "jpeg-truncated": ("6.jpg", whole_jpeg[:len(whole_jpeg) // 2]),
        "jpeg-empty": ("7.jpg", b""),
        "png-declares-20000-square": ("m.png", png_declaring(20000, 20000, 2)),
        "jpeg-declares-60000-square": ("8.jpg", jpeg_declaring(60000, 60000)),
        "font-picture-truncated": ("f0.png", whole_png[:len(whole_png) // 2]),
        # Sound headers over pixels that do not decode: refused only once
        # the window exists
        "png-cut-in-its-image-data": ("m.png", png_cut_in_image_data(menu_background)),
        # Well formed, but not what the game draws there
        "tile-at-twice-the-size": ("h.jpg", tile_back_at_2x),
        "font-picture-without-alpha": ("f0.png", without_alpha(whole_png)),
        "font-picture-smaller-than-its-glyphs": ("f0.png", cropped(whole_png, 12)),
        # At the most scans a JPEG may have, and one more
        "jpeg-100-scans": ("1.jpg", jpeg_with_scans(100)),
        "jpeg-101-scans": ("2.jpg", jpeg_with_scans(101)),
        # The font description
        "glyph-without-character": ("f.xml", font.replace(glyph, b"<c", 1)),
        "glyph-cut-by-nul": ("f.xml", font.replace(glyph, b'<c c="\0"', 1)),
        "glyph-on-texture-1": ("f.xml", font.replace(b'i="0" />', b'i="1" />', 1)),
        "no-glyphs": ("f.xml", font[:font.index(b"<c ")] + b"</font>\n"),
        "open-element-at-end": ("f.xml", font[:font.index(glyph) + 2]),
        "open-comment-at-end": ("f.xml", font + b"<!--"),
        "open-end-tag-at-end": ("f.xml", font[:font.rindex(b"</font>") + 6]),
        "utf16-big-endian": ("f.xml", b"\xfe\xff" + font.decode().encode("utf-16-be")),
        "utf16-odd-length": ("f.xml", b"\xff\xfe" + font.decode().encode("utf-16-le") + b"<"),
        "utf16-glyph-of-a-surrogate-pair": ("f.xml", b"\xff\xfe" + font.replace(
            b'<c c="A"', b'<c c="\xf0\x9f\x98\x80"').decode().encode("utf-16-le")),
        "utf32-big-endian-odd-length":
            ("f.xml", b"\0\0\xfe\xff" + font.decode().encode("utf-32-be") + b"\0\0<"),
        "texture-index-minus-one": ("f.xml", font.replace(b'index="0"', b'index="-1"')),
        "two-million-ampersands":
            ("f.xml", font.replace(b'hasAlpha="true"', b'hasAlpha="' + b"&" * 2000000 + b'"')),
        "empty-font-description": ("f.xml", b""),
        # Font descriptions the engine reads, whose captions no one could
        "font-has-alpha-false":
            ("f.xml", font.replace(b'hasAlpha="true"', b'hasAlpha="false"')),
        "glyph-of-no-width": ("f.xml", font_glyph(font, b"A", {b"r": b"12,2,12,21"})),
        "glyph-offset-past-its-width": ("f.xml", font_glyph(font, b"e", {b"u": b"-30"})),
        "one-rectangle-for-every-character":
            ("f.xml", font_with_rectangles(font, lambda n, *edges: (2, 2, 7, 21))),
        "glyph-120-tall": ("f.xml", font_glyph(font, b"B", {b"r": b"0,0,12,120"})),
        "atlas-a-jpeg": ("f.xml", font_with_rectangles(
            font.replace(b'filename="f0.png"', b'filename="h.jpg"'),
            lambda n, *edges: (n % 24 * 4, n // 24 * 12, n % 24 * 4 + 4, n // 24 * 12 + 12))),
        "png-998-compressed-text-chunks": ("m.png", png_with_text_chunks()),
        "png-data-for-twice-its-height": ("s.png", png_with_data_for(800, 1000, 500)),
        "png-index-past-the-palette": ("m.png", png_indexing_past_palette(800, 500, 4)),
        "jpeg-arithmetic-empty-scans": ("9.jpg", arithmetic_jpeg(2048, 2048)),
        # Well formed, but more pixels than any picture may cost to decode
        "png-1601-by-1000": ("s.png", png((1601, 1000), (250, 250, 250))),
        "jpeg-1000-by-801": ("10.jpg", jpeg("RGB", (1000, 801), (30, 90, 160))),
    }

    if os.path.isdir(out_dir):
        shutil.rmtree(out_dir)
    paths = [os.path.join(data_dir, name) for name in names]
    for case, (entry, data) in classes.items():
        loose = os.path.join(out_dir, case, "loose")
        os.makedirs(loose)
        with open(os.path.join(loose, entry), "wb") as f:
            f.write(data)
        replaced = [os.path.join(loose, entry) if os.path.basename(p) == entry else p
                    for p in paths]
        make_archive.pack(os.path.join(out_dir, case, "tesmor.dat"), replaced)

    # The archive's own class: a sound 1 MiB archive whose font description
    # inflates to 1 GiB; loose, a 1 GiB file that takes no disk space.
    case = os.path.join(out_dir, "font-inflates-to-1-gib")
    os.makedirs(os.path.join(case, "loose"))
    with open(os.path.join(case, "loose", "f.xml"), "wb") as f:
        f.truncate(1 << 30)
    entries = []
    for path in sorted(paths, key=os.path.basename):
        name = os.path.basename(path).encode()
        if name == b"f.xml":
            entries.append((name, 8) + one_gib_deflated())
            continue
        with open(path, "rb") as f:
            data = f.read()
        entries.append((name, 0, data, zlib.crc32(data), len(data)))
    write_zip(os.path.join(case, "tesmor.dat"), entries)

    red = io.BytesIO()
    Image.new("RGB", (80, 50), (220, 0, 0)).save(red, "PNG")
    for case, (entries, layout) in archive_classes(data_dir, paths, red.getvalue()).items():
        os.makedirs(os.path.join(out_dir, case))
        write_zip(os.path.join(out_dir, case, "tesmor.dat"), entries, **layout)


if __name__ == "__main__":
    main()
