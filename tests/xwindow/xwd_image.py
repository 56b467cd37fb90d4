#!/usr/bin/python3
"""Reads the XWD dumps that `xwd` writes into Pillow images.

Pillow has no XWD reader. The header is 25 big-endian 32-bit fields, then
the window name, then the colour map, then the pixels. On Xvfb's 24-bit
screens a window dumps as 32-bit TrueColor pixels and the root window as
packed 24-bit DirectColor pixels with an identity colour map. Other
layouts are refused loudly rather than misread.
"""

import struct

from PIL import Image

HEADER_FIELDS = (
    "header_size file_version pixmap_format pixmap_depth pixmap_width "
    "pixmap_height xoffset byte_order bitmap_unit bitmap_bit_order "
    "bitmap_pad bits_per_pixel bytes_per_line visual_class red_mask "
    "green_mask blue_mask bits_per_rgb colormap_entries ncolors "
    "window_width window_height window_x window_y window_bdrwidth"
).split()

Z_PIXMAP = 2
TRUE_COLOR = 4
DIRECT_COLOR = 5
COLOR_ENTRY_SIZE = 12


def header(data):
    """The header fields of an XWD dump, by name."""
    values = struct.unpack(">25I", data[:100])
    return dict(zip(HEADER_FIELDS, values))


def decode(data):
    """An RGB Pillow image of the XWD dump `data` (bytes)."""
    fields = header(data)
    if fields["file_version"] != 7 or fields["pixmap_format"] != Z_PIXMAP:
        raise ValueError("not a version 7 ZPixmap XWD dump: %r" % fields)
    width, height = fields["pixmap_width"], fields["pixmap_height"]
    stride = fields["bytes_per_line"]
    bits = fields["bits_per_pixel"]
    if fields["visual_class"] not in (TRUE_COLOR, DIRECT_COLOR) or bits not in (24, 32):
        raise ValueError("only 24- and 32-bit colour dumps are read: %r" % fields)
    masks = (fields["red_mask"], fields["green_mask"], fields["blue_mask"])
    if masks != (0xFF0000, 0x00FF00, 0x0000FF):
        raise ValueError("unexpected colour masks %r" % (masks,))
    start = fields["header_size"] + fields["ncolors"] * COLOR_ENTRY_SIZE
    pixels = data[start : start + stride * height]
    if len(pixels) < stride * height:
        raise ValueError("the dump is cut short")
    # byte_order 0 is LSBFirst: each pixel's bytes are blue, green, red(, pad).
    little = fields["byte_order"] == 0
    if bits == 32:
        raw_mode = "BGRX" if little else "XRGB"
    else:
        raw_mode = "BGR" if little else "RGB"
    return Image.frombuffer("RGB", (width, height), pixels, "raw", raw_mode, stride, 1)
