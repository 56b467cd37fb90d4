#!/usr/bin/python3
"""Builds every picture and the bitmap font that Kavenna loads at run time.

Usage: /usr/bin/python3 data/generate_assets.py [outdir]
         the pictures and icons committed in data/ (outdir: data/ itself)
       /usr/bin/python3 data/generate_assets.py --font outdir [--sans DejaVuSans.ttf]
                        [catalogue.po ...]
         the bitmap font alone, at both scales, with printable ASCII and
         every character of the catalogues' translations; the build makes
         it so, and the font is not committed

All art is drawn here from plain geometry plus the DejaVu fonts shipped by
Debian (fonts-dejavu-core), so the repository never has to carry hand-edited
binaries whose origin nobody remembers.  The output is byte-for-byte
reproducible: no randomness, fixed JPEG settings and no PNG metadata, so a
regenerated tree shows no spurious diffs.
"""

import math
import os
import re
import struct
import sys
import unicodedata
import zlib

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
SANS = os.path.join(FONT_DIR, "DejaVuSans.ttf")
SANS_BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")

# Everything is drawn at this multiple of the final size and shrunk with a
# Lanczos filter; PIL's own primitives are not antialiased.
SS = 4

WHITE = (255, 255, 255)

# Tile size as the game lays out the board.
TILE_W, TILE_H = 100, 50


def read_pairs():
    """The pairs' shapes and colours, in the order of their files, from the
    table the game reads their spoken names from (see pictures.txt)."""
    pairs = []
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pictures.txt")
    with open(path, encoding="ascii") as table:
        for line in table:
            if line.strip() and not line.startswith("#"):
                shape, red, green, blue = line.split()[:4]
                pairs.append((shape, (int(red), int(green), int(blue))))
    return pairs


PAIRS = read_pairs()


# --------------------------------------------------------------------------
# small helpers
# --------------------------------------------------------------------------

def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def shade(c, f):
    """f < 0 darkens towards black, f > 0 lightens towards white."""
    if f < 0:
        return mix(c, (0, 0, 0), -f)
    return mix(c, WHITE, f)


def vgradient(w, h, top, bottom, mode="RGB"):
    col = Image.new(mode, (1, h))
    px = col.load()
    for y in range(h):
        px[0, y] = mix(top, bottom, y / max(1, h - 1))
    return col.resize((w, h), Image.NEAREST)


def radial_gradient(w, h, inner, outer, cx=None, cy=None, radius=None):
    cx = w / 2 if cx is None else cx
    cy = h / 2 if cy is None else cy
    radius = radius or math.hypot(w / 2, h / 2)
    # A small ramp scaled up is plenty smooth for a background and fast.
    sw, sh = w // 4, h // 4
    small = Image.new("RGB", (sw, sh))
    px = small.load()
    for y in range(sh):
        for x in range(sw):
            d = math.hypot(x * 4 + 2 - cx, y * 4 + 2 - cy) / radius
            t = min(1.0, d) ** 1.6
            px[x, y] = mix(inner, outer, t)
    return small.resize((w, h), Image.BICUBIC)


def down(img, w, h):
    return img.resize((w, h), Image.LANCZOS)


def erode(mask, px):
    """Shrink a mask by px pixels (used for outlines of arbitrary shapes)."""
    size = 2 * px + 1
    return mask.filter(ImageFilter.MinFilter(size))


def regular_polygon(cx, cy, r, n, rot):
    return [(cx + r * math.cos(rot + 2 * math.pi * i / n),
             cy + r * math.sin(rot + 2 * math.pi * i / n)) for i in range(n)]


def rounded_mask(w, h, r):
    m = Image.new("L", (w, h), 0)
    ImageDraw.Draw(m).rounded_rectangle((0, 0, w - 1, h - 1), r, fill=255)
    return m


# --------------------------------------------------------------------------
# the pair shapes
# --------------------------------------------------------------------------

def shape_mask(name, s):
    """White-on-black mask of one pair shape in an s x s box."""
    m = Image.new("L", (s, s), 0)
    d = ImageDraw.Draw(m)
    c = s / 2
    if name == "circle":
        r = s * 0.44
        d.ellipse((c - r, c - r, c + r, c + r), fill=255)
    elif name == "square":
        r = s * 0.38
        d.rounded_rectangle((c - r, c - r, c + r, c + r), s * 0.06, fill=255)
    elif name == "triangle":
        r = s * 0.52
        pts = regular_polygon(c, c + s * 0.09, r, 3, -math.pi / 2)
        d.polygon(pts, fill=255)
    elif name == "diamond":
        d.polygon([(c, s * 0.03), (c + s * 0.36, c), (c, s * 0.97),
                   (c - s * 0.36, c)], fill=255)
    elif name == "star":
        pts = []
        for i in range(10):
            r = s * (0.50 if i % 2 == 0 else 0.22)
            a = -math.pi / 2 + math.pi * i / 5
            pts.append((c + r * math.cos(a), c + s * 0.04 + r * math.sin(a)))
        d.polygon(pts, fill=255)
    elif name == "heart":
        # Two lobes and a point, traced parametrically for a smooth outline.
        pts = []
        for i in range(360):
            t = 2 * math.pi * i / 360
            x = 16 * math.sin(t) ** 3
            y = (13 * math.cos(t) - 5 * math.cos(2 * t)
                 - 2 * math.cos(3 * t) - math.cos(4 * t))
            pts.append((c + x * s * 0.0285, c - s * 0.03 - y * s * 0.0285))
        d.polygon(pts, fill=255)
    elif name == "plus":
        a, b = s * 0.44, s * 0.15
        d.rounded_rectangle((c - a, c - b, c + a, c + b), s * 0.04, fill=255)
        d.rounded_rectangle((c - b, c - a, c + b, c + a), s * 0.04, fill=255)
    elif name == "crescent":
        r = s * 0.45
        d.ellipse((c - r, c - r, c + r, c + r), fill=255)
        r2 = s * 0.37
        ox, oy = c + s * 0.20, c - s * 0.10
        d.ellipse((ox - r2, oy - r2, ox + r2, oy + r2), fill=0)
    elif name == "hexagon":
        d.polygon(regular_polygon(c, c, s * 0.47, 6, 0), fill=255)
    elif name == "arrow":
        d.polygon([(s * 0.04, c - s * 0.13), (s * 0.52, c - s * 0.13),
                   (s * 0.52, c - s * 0.36), (s * 0.97, c),
                   (s * 0.52, c + s * 0.36), (s * 0.52, c + s * 0.13),
                   (s * 0.04, c + s * 0.13)], fill=255)
    else:
        raise ValueError(name)
    return m


def shape_rgba(name, colour, s, outline=None):
    """A shaded, outlined shape on a transparent s x s canvas.

    The dark rim keeps pale colours (yellow, sky blue) crisp on the cream
    tile face, and the gentle top-lit gradient makes the pieces read as
    objects rather than flat clip art.
    """
    mask = shape_mask(name, s)
    ow = max(1, int(round(outline if outline is not None else s / 34)))
    inner = erode(mask, ow)
    rim = shade(colour, -0.45) if sum(colour) > 150 else (0, 0, 0)
    top = shade(colour, 0.30 if sum(colour) > 150 else 0.22)
    bottom = shade(colour, -0.08)
    fill = vgradient(s, s, top, bottom)
    out = Image.new("RGBA", (s, s), rim + (0,))
    out.putalpha(mask)
    out.paste(fill, (0, 0), inner)
    return out


def paste_with_shadow(canvas, sprite, x, y, offset, blur, strength):
    """Alpha-composite a sprite over canvas with a soft drop shadow."""
    alpha = sprite.getchannel("A")
    pad = blur * 3 + abs(offset[0]) + abs(offset[1])
    sh = Image.new("L", (sprite.width + 2 * pad, sprite.height + 2 * pad), 0)
    sh.paste(alpha, (pad, pad))
    sh = sh.filter(ImageFilter.GaussianBlur(blur))
    sh = sh.point(lambda v: int(v * strength))
    shadow = Image.new("RGBA", sh.size, (0, 0, 0, 0))
    shadow.putalpha(sh)
    layer = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
    layer.paste(shadow, (x - pad + offset[0], y - pad + offset[1]))
    canvas.alpha_composite(layer)
    layer = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
    layer.paste(sprite, (x, y))
    canvas.alpha_composite(layer)


# --------------------------------------------------------------------------
# tiles
# --------------------------------------------------------------------------

FACE_BG_TOP = (255, 253, 248)
FACE_BG_BOTTOM = (241, 236, 225)
FACE_BORDER = (150, 140, 122)

BACK_TOP = (36, 72, 140)
BACK_BOTTOM = (20, 40, 92)
BACK_LINE = (78, 116, 190)
BACK_TRIM = (214, 190, 120)


def tile_face_rgba(name, colour, w=TILE_W, h=TILE_H, scale=SS):
    """Face-up tile at scale x its size, RGBA with rounded corners."""
    W, H = w * scale, h * scale
    body = vgradient(W, H, FACE_BG_TOP, FACE_BG_BOTTOM).convert("RGBA")
    d = ImageDraw.Draw(body)
    r = 5 * scale
    d.rounded_rectangle((0, 0, W - 1, H - 1), r, outline=FACE_BORDER,
                        width=scale)
    # faint inner rule gives the card a printed, finished edge
    d.rounded_rectangle((3 * scale, 3 * scale, W - 1 - 3 * scale,
                         H - 1 - 3 * scale), r - 2 * scale,
                        outline=(226, 219, 204), width=max(1, scale // 2))
    s = int(H * 0.80)
    sprite = shape_rgba(name, colour, s)
    paste_with_shadow(body, sprite, (W - s) // 2, (H - s) // 2,
                      (0, max(1, scale // 2)), max(1, scale), 0.30)
    body.putalpha(rounded_mask(W, H, r))
    return body


def tile_back_rgba(w=TILE_W, h=TILE_H, scale=SS, lattice=True):
    W, H = w * scale, h * scale
    body = vgradient(W, H, BACK_TOP, BACK_BOTTOM).convert("RGBA")
    if lattice:
        # Diagonal lattice on a separate layer so it can be kept subtle.
        lat = Image.new("RGBA", (W, H), (0, 0, 0, 0))
        ld = ImageDraw.Draw(lat)
        step = 10 * scale
        lw = max(1, scale // 2 + 1)
        for k in range(-H, W + H, step):
            ld.line((k, 0, k + H, H), fill=BACK_LINE + (120,), width=lw)
            ld.line((k, H, k + H, 0), fill=BACK_LINE + (120,), width=lw)
        body.alpha_composite(lat)
    d = ImageDraw.Draw(body)
    r = 5 * scale
    inset = 4 * scale
    # The lattice stops at a plain frame, like the printed back of a card.
    frame = Image.new("L", (W, H), 0)
    fd = ImageDraw.Draw(frame)
    fd.rounded_rectangle((0, 0, W - 1, H - 1), r, fill=255)
    fd.rounded_rectangle((inset, inset, W - 1 - inset, H - 1 - inset),
                         r - 2 * scale, fill=0)
    body.paste(vgradient(W, H, shade(BACK_TOP, -0.25),
                         shade(BACK_BOTTOM, -0.25)), (0, 0), frame)
    d.rounded_rectangle((inset, inset, W - 1 - inset, H - 1 - inset),
                        r - 2 * scale, outline=BACK_TRIM,
                        width=max(1, scale * 3 // 4))
    # centre medallion
    cx, cy = W / 2, H / 2
    # sized from the short side so it also fits the upright icon cards
    rr = min(H, W / 1.25) * 0.26
    d.polygon([(cx, cy - rr), (cx + rr * 1.25, cy), (cx, cy + rr),
               (cx - rr * 1.25, cy)], fill=shade(BACK_BOTTOM, -0.2),
              outline=BACK_TRIM, width=max(1, scale * 3 // 4))
    rr2 = rr * 0.42
    d.polygon([(cx, cy - rr2), (cx + rr2 * 1.25, cy), (cx, cy + rr2),
               (cx - rr2 * 1.25, cy)], fill=BACK_TRIM)
    d.rounded_rectangle((0, 0, W - 1, H - 1), r, outline=(12, 24, 58),
                        width=scale)
    body.putalpha(rounded_mask(W, H, r))
    return body


def flatten(rgba, bg=WHITE):
    out = Image.new("RGB", rgba.size, bg)
    out.paste(rgba, (0, 0), rgba)
    return out


def save_jpg(img, path):
    img.convert("RGB").save(path, "JPEG", quality=92, subsampling=0,
                            optimize=False, progressive=False)


def save_png(img, path):
    img.save(path, "PNG", optimize=False)


def save_unfiltered_png(img, path):
    """Writes an RGB PNG whose rows carry no filter.

    The two full-window pictures are decoded before the intro's first
    frame; without per-row filters they decode about a quarter faster,
    for a file a fifth larger.
    """
    rgb = img.convert("RGB")
    width, height = rgb.size
    pixels = rgb.tobytes()
    stride = width * 3
    rows = b"".join(b"\0" + pixels[y * stride:(y + 1) * stride] for y in range(height))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


# --------------------------------------------------------------------------
# menu button
# --------------------------------------------------------------------------

# The menu panel colour; the button's corners are filled with it so the
# rounded shape sits cleanly on the panel it is shown on.
PANEL = (240, 244, 250)


def button_face(scale=1):
    w, h = 200 * scale, 50 * scale
    u = SS * scale  # drawing pixels per layout pixel
    W, H = 200 * u, 50 * u
    img = Image.new("RGB", (W, H), PANEL)
    body = vgradient(W, H, (255, 255, 255), (214, 224, 238))
    r = 10 * u
    img.paste(body, (0, 0), rounded_mask(W, H, r))
    d = ImageDraw.Draw(img)
    # top highlight and a slightly darker lower lip give a soft bevel while
    # the middle stays near-white for the black caption
    d.rounded_rectangle((2 * u, 2 * u, W - 1 - 2 * u, H - 1 - 2 * u),
                        r - 2 * u, outline=(255, 255, 255), width=u)
    d.line((r, H - 3 * u, W - r, H - 3 * u), fill=(190, 203, 224),
           width=u)
    d.rounded_rectangle((0, 0, W - 1, H - 1), r, outline=(84, 104, 140),
                        width=int(u * 1.25))
    return down(img, w, h)


# --------------------------------------------------------------------------
# backgrounds
# --------------------------------------------------------------------------

def text_layer(size, text, font_path, px, fill_top, fill_bottom,
               shadow=True, glow=None):
    """Large title text, gradient filled with a soft shadow/glow, RGBA."""
    font = ImageFont.truetype(font_path, px)
    W, H = size
    mask = Image.new("L", (W, H), 0)
    d = ImageDraw.Draw(mask)
    bbox = d.textbbox((0, 0), text, font=font, anchor="ls")
    tw, th = bbox[2] - bbox[0], bbox[3] - bbox[1]
    x = (W - tw) / 2 - bbox[0]
    y = (H - th) / 2 - bbox[1]
    d.text((x, y), text, font=font, fill=255, anchor="ls")
    out = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    if glow:
        g = mask.filter(ImageFilter.GaussianBlur(px * 0.18))
        g = g.point(lambda v: min(255, int(v * glow[1])))
        gl = Image.new("RGBA", (W, H), glow[0] + (0,))
        gl.putalpha(g)
        out.alpha_composite(gl)
    if shadow:
        s = mask.filter(ImageFilter.GaussianBlur(px * 0.05))
        s = ImageChops.offset(s, int(px * 0.03), int(px * 0.05))
        s = s.point(lambda v: int(v * 0.55))
        sl = Image.new("RGBA", (W, H), (0, 0, 0, 0))
        sl.putalpha(s)
        out.alpha_composite(sl)
    top = int(y + bbox[1])
    fill = Image.new("RGB", (W, H), fill_top)
    fill.paste(vgradient(W, th, fill_top, fill_bottom), (0, top))
    fl = fill.convert("RGBA")
    fl.putalpha(mask)
    out.alpha_composite(fl)
    return out


def rotated(sprite, angle):
    return sprite.rotate(angle, resample=Image.BICUBIC, expand=True)


def place(canvas, sprite, cx, cy, angle, shadow_px):
    spr = rotated(sprite, angle)
    paste_with_shadow(canvas, spr, int(cx - spr.width / 2),
                      int(cy - spr.height / 2),
                      (shadow_px // 2, shadow_px), shadow_px, 0.45)


# The two main-menu buttons as the layout places them (x 300-500; Start
# Game at y 300-350, About at y 400-450); the panel is centred on them.
MENU_BUTTONS = (300, 300, 500, 450)
# Wide enough at the sides for the About screen's 300-pixel website
# button (x 250-550), which shows on the same picture; above and below,
# as close as the window's bottom edge allows.
PANEL_SIDE_MARGIN, PANEL_END_MARGIN = 70, 30


def menu_background(scale=1):
    w, h = 800 * scale, 500 * scale
    k = 2 * scale  # twice the final pixels is enough for large soft shapes
    W, H = 800 * k, 500 * k
    bg = vgradient(W, H, (28, 48, 92), (44, 112, 138)).convert("RGBA")
    # soft vignette-like light from the top centre
    light = radial_gradient(W, H, (70, 110, 170), (28, 48, 92),
                            cx=W / 2, cy=H * 0.15, radius=W * 0.55)
    bg = Image.blend(bg, light.convert("RGBA"), 0.35)

    # Tiles scattered in the margins, well clear of the button panel.
    layout = [
        ("back", 52, 40, -16), (2, 752, 44, 14),
        (0, 112, 232, -9), ("back", 88, 335, 8), (6, 118, 440, -5),
        ("back", 700, 230, 10), (4, 722, 336, -7), (7, 694, 442, 6),
        ("back", 20, 488, 20), (8, 790, 496, -18),
    ]
    for what, x, y, ang in layout:
        if what == "back":
            spr = tile_back_rgba(scale=k)
        else:
            spr = tile_face_rgba(*PAIRS[what], scale=k)
        # fade the decorations a touch so they stay in the background
        a = spr.getchannel("A").point(lambda v: int(v * 0.92))
        spr.putalpha(a)
        place(bg, spr, x * k, y * k, ang, 5 * k)

    # Calm light panel behind the buttons and the About text.
    bx0, by0, bx1, by1 = MENU_BUTTONS
    px0, py0 = (bx0 - PANEL_SIDE_MARGIN) * k, (by0 - PANEL_END_MARGIN) * k
    px1, py1 = (bx1 + PANEL_SIDE_MARGIN) * k, (by1 + PANEL_END_MARGIN) * k
    sh = Image.new("L", (W, H), 0)
    ImageDraw.Draw(sh).rounded_rectangle((px0, py0 + 6 * k, px1,
                                          py1 + 6 * k), 18 * k, fill=120)
    sh = sh.filter(ImageFilter.GaussianBlur(8 * k))
    sl = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    sl.putalpha(sh)
    bg.alpha_composite(sl)
    panel = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    pd = ImageDraw.Draw(panel)
    pd.rounded_rectangle((px0, py0, px1, py1), 18 * k, fill=PANEL + (255,),
                         outline=(255, 255, 255, 255), width=2 * k)
    bg.alpha_composite(panel)

    title = text_layer((W, 150 * k), "Kavenna", SANS_BOLD, 104 * k,
                       (255, 255, 255), (214, 228, 246),
                       glow=((150, 200, 255), 0.55))
    bg.alpha_composite(title, (0, 34 * k))
    return down(bg.convert("RGB"), w, h)


def splash(scale=1):
    w, h = 800 * scale, 500 * scale
    k = 2 * scale
    W, H = 800 * k, 500 * k
    bg = radial_gradient(W, H, (40, 62, 112), (6, 10, 24),
                         radius=W * 0.62).convert("RGBA")
    # Two gentle arcs above and below the title plus one tile at each end,
    # so nothing crowds the lettering.
    spots = [(170, 100, -8), (320, 70, -3), (480, 70, 4), (630, 100, 9),
             (735, 250, -6), (630, 400, -9), (480, 430, -4), (320, 430, 3),
             (170, 400, 8), (65, 250, 6)]
    for (name, colour), (x, y, ang) in zip(PAIRS, spots):
        spr = tile_face_rgba(name, colour, scale=k)
        place(bg, spr, x * k, y * k, ang, 6 * k)
    title = text_layer((W, 220 * k), "Kavenna", SANS_BOLD, 96 * k,
                       (255, 240, 196), (236, 176, 72),
                       glow=((255, 200, 110), 0.45))
    bg.alpha_composite(title, (0, (H - 220 * k) // 2))
    sub = text_layer((W, 40 * k), "find the pairs", SANS, 22 * k,
                     (206, 218, 240), (206, 218, 240), shadow=False)
    bg.alpha_composite(sub, (0, H // 2 + 50 * k))
    return down(bg.convert("RGB"), w, h)


# --------------------------------------------------------------------------
# icons
# --------------------------------------------------------------------------

def icon(size):
    """Face-down tile leaning behind a face-up star tile.

    Small sizes drop the lattice and get chunkier outlines, otherwise the
    16 px icon turns into mush.
    """
    small = size <= 32
    S, k = 1000, 10          # drawn in a 100-unit square at 10x
    canvas = Image.new("RGBA", (S, S), (0, 0, 0, 0))
    tw, th = 52, 70          # upright tiles use the square far better
    back = tile_back_rgba(tw, th, k, lattice=not small)
    if small:
        ImageDraw.Draw(back).rounded_rectangle(
            (0, 0, back.width - 1, back.height - 1), 5 * k,
            outline=(12, 24, 58), width=3 * k)
    face = vgradient(tw * k, th * k, FACE_BG_TOP,
                     FACE_BG_BOTTOM).convert("RGBA")
    r = 5 * k
    ImageDraw.Draw(face).rounded_rectangle(
        (0, 0, tw * k - 1, th * k - 1), r, outline=FACE_BORDER,
        width=k * (3 if small else 1))
    s = int(tw * k * (0.90 if small else 0.78))
    star = shape_rgba("star", PAIRS[4][1], s,
                      outline=s / (12 if small else 26))
    face.alpha_composite(star, ((tw * k - s) // 2, (th * k - s) // 2))
    face.putalpha(rounded_mask(tw * k, th * k, r))
    b = rotated(back, 12)
    f = rotated(face, -8)
    canvas.alpha_composite(b, (int(36 * k - b.width / 2),
                               int(45 * k - b.height / 2)))
    paste_with_shadow(canvas, f, int(63 * k - f.width / 2),
                      int(55 * k - f.height / 2), (0, k), 2 * k, 0.45)
    # centre the group and let it fill the square with a small margin
    box = canvas.getchannel("A").point(lambda v: 255 if v > 8 else 0) \
        .getbbox()
    group = canvas.crop(box)
    fit = S * 0.96 / max(group.width, group.height)
    group = group.resize((int(group.width * fit), int(group.height * fit)),
                         Image.LANCZOS)
    canvas = Image.new("RGBA", (S, S), (0, 0, 0, 0))
    canvas.alpha_composite(group, ((S - group.width) // 2,
                                   (S - group.height) // 2))
    return canvas.resize((size, size), Image.LANCZOS)


# --------------------------------------------------------------------------
# bitmap font
# --------------------------------------------------------------------------

FONT_PX = 16
PAD = 2
# No wider than this, however few the rows: the engine holds the atlas as
# one texture, and 1024 pixels a side is what every renderer takes.
MAX_ATLAS_W = 1024


def xml_char(ch):
    return {"&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;"}.get(ch, ch)


def printable(ch):
    """Whether the game's font may hold `ch`: what its check accepts, a
    character of the Basic Multilingual Plane that is no control and no
    half of a surrogate pair."""
    c = ord(ch)
    return 0x20 <= c < 0x7f or 0xa0 <= c < 0xd800 or 0xe000 <= c < 0xfffe


def po_strings(text):
    """The translations (msgstr, each plural form) of a gettext catalogue,
    without its header and the entries it keeps only as history (#~)."""
    escapes = {"n": "\n", "t": "\t", "r": "\r", "a": "\a", "b": "\b",
               "f": "\f", "v": "\v"}
    entries, field = [], None
    for line in text.splitlines():
        line = line.strip()
        keyword = line.split(" ", 1)[0]
        if keyword.startswith(("msgid", "msgstr", "msgctxt")):
            field = [keyword, ""]
            entries.append(field)
            line = line[len(keyword):].strip()
        elif not line.startswith('"'):
            field = None
            continue
        if field is not None and line.startswith('"') and line.endswith('"'):
            field[1] += re.sub(r"\\(.)", lambda m: escapes.get(m.group(1), m.group(1)),
                               line[1:-1])
    found, msgid = [], None
    for keyword, value in entries:
        if keyword == "msgid":
            msgid = value
        elif keyword.startswith("msgstr") and msgid:
            found.append(value)
    return found


def catalogue_characters(paths):
    """Every character the translations in the catalogues at `paths` may
    show, each with the first catalogue that has it."""
    chars = {}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            for text in po_strings(f.read()):
                for ch in text:
                    if ch in "\n\t":
                        continue
                    if not printable(ch):
                        sys.exit("%s: U+%04X cannot be in the game's font" % (path, ord(ch)))
                    chars.setdefault(ch, path)
    return chars


def drawn(font, ch):
    """The pixels of `ch` alone on its baseline, and its advance."""
    size = font.size * 2
    canvas = Image.new("L", (size, size), 0)
    ImageDraw.Draw(canvas).text((size // 4, size * 3 // 4), ch, font=font, fill=255,
                                anchor="ls")
    return canvas.tobytes(), font.getlength(ch)


def pack(widths, height, pad):
    """Places cells `widths` wide and `height` tall in rows, first fit,
    widest first; tries every atlas width and keeps the least area.
    Returns (atlas width, atlas height, the cells' corners in input order)."""
    order = sorted(range(len(widths)), key=lambda i: (-widths[i], i))
    narrowest = max(widths) + 2 * pad
    best = None
    for atlas_w in range(narrowest, max(narrowest, MAX_ATLAS_W) + 1):
        rows = []  # room left in each row
        corners = [None] * len(widths)
        for i in order:
            need = widths[i] + pad
            for r, left in enumerate(rows):
                if left >= need:
                    break
            else:
                r = len(rows)
                rows.append(atlas_w - pad)
            corners[i] = (atlas_w - rows[r], pad + r * (height + pad))
            rows[r] -= need
        used_w = max(x + w for (x, _), w in zip(corners, widths)) + pad
        atlas_h = pad + len(rows) * (height + pad)
        key = (used_w * atlas_h, atlas_h)
        if best is None or key < best[0]:
            best = (key, used_w, atlas_h, corners)
    return best[1], best[2], best[3]


def bitmap_font(outdir, scale=1, extra="", sans=SANS):
    """White-on-transparent glyph atlas plus the XML the engine reads, with
    printable ASCII and the characters `extra`.

    Every cell is the full line height with glyphs on one shared baseline,
    since the engine takes the tallest rectangle as the line height and
    simply blits cells in a row.  A cell spans the pen advance, widened
    only where ink sticks out; u/o then put the pen back where the font
    wants it.  The atlas is packed as small as it goes: its sides need not
    be powers of two, and the renderer holds it at 4 bytes a pixel.
    A description with characters beyond ASCII is written in UTF-16 (little
    endian, after a byte order mark): the engine's XML reader widens bytes
    and does not decode UTF-8.
    """
    font = ImageFont.truetype(sans, FONT_PX * scale)
    pad = PAD * scale
    texture = scaled_name("f0.png", scale)
    ascent, descent = font.getmetrics()
    line_h = ascent + descent
    chars = sorted(set(chr(c) for c in range(32, 127)) | set(extra))
    # What the font draws for a character it lacks (its .notdef box).
    notdef = drawn(font, "\U0010fffd")
    cells = []
    for ch in chars:
        adv = int(round(font.getlength(ch)))
        bb = font.getbbox(ch, anchor="ls")
        if ch > "~" and drawn(font, ch) == notdef:
            sys.exit("%s has no glyph for U+%04X" % (sans, ord(ch)))
        if bb[1] < -ascent or bb[3] > descent:
            # Every cell shares the line's top and baseline.
            sys.exit("U+%04X reaches beyond the line of %s" % (ord(ch), sans))
        if adv < 1 or unicodedata.combining(ch):
            # The engine moves the pen by each glyph alone: a combining
            # accent or a zero-width character cannot be drawn.
            sys.exit("U+%04X is no character of its own: write letters precomposed (NFC)"
                     % ord(ch))
        if bb[0] >= bb[2]:
            # Spaces: no ink, only the advance.
            left, right = 0, adv
        else:
            left, right = min(0, bb[0]), max(adv, bb[2])
        cells.append((ch, adv, left, right))

    atlas_w, atlas_h, pos = pack([right - left for _, _, left, right in cells], line_h, pad)

    # Colour stays pure white everywhere (even where alpha is 0) so texture
    # filtering never pulls dark fringes into the glyph edges.
    cov = Image.new("L", (atlas_w, atlas_h), 0)
    d = ImageDraw.Draw(cov)
    lines = ['<?xml version="1.0"?>', '<font type="bitmap">',
             '  <Texture index="0" filename="%s" hasAlpha="true" />' % texture]
    for (ch, adv, left, right), (cx, cy) in zip(cells, pos):
        if left != right:
            d.text((cx - left, cy + ascent), ch, font=font, fill=255,
                   anchor="ls")
        r = (cx, cy, cx + right - left, cy + line_h)
        u = left
        o = adv - right
        lines.append('  <c c="%s" r="%d,%d,%d,%d" u="%d" o="%d" i="0" />'
                     % ((xml_char(ch),) + r + (u, o)))
    lines.append("</font>")
    atlas = Image.new("RGBA", (atlas_w, atlas_h), (255, 255, 255, 0))
    atlas.putalpha(cov)
    save_png(atlas, os.path.join(outdir, texture))
    text = "\n".join(lines) + "\n"
    if text.isascii():
        data = text.encode("ascii")
    else:
        data = b"\xff\xfe" + text.encode("utf-16-le")
    with open(os.path.join(outdir, scaled_name("f.xml", scale)), "wb") as fh:
        fh.write(data)
    return line_h, (atlas_w, atlas_h), len(chars)


# --------------------------------------------------------------------------

# The game's pictures at each whole-number scale of the window; the 2x set
# is the same drawing at twice the pixels, named "<stem>@2x.<ext>" because
# the archive ignores folders.
SCALES = (1, 2)


def scaled_name(name, scale):
    if scale == 1:
        return name
    stem, ext = os.path.splitext(name)
    return "%s@%dx%s" % (stem, scale, ext)


def write_pictures(outdir, scale):
    def path(name):
        return os.path.join(outdir, scaled_name(name, scale))

    tile_w, tile_h = TILE_W * scale, TILE_H * scale
    save_jpg(down(flatten(tile_back_rgba(scale=SS * scale)), tile_w, tile_h),
             path("h.jpg"))
    for i, (name, colour) in enumerate(PAIRS, start=1):
        save_jpg(down(flatten(tile_face_rgba(name, colour, scale=SS * scale)),
                      tile_w, tile_h), path("%d.jpg" % i))
    save_jpg(button_face(scale), path("w.jpg"))
    save_unfiltered_png(menu_background(scale), path("m.png"))
    save_unfiltered_png(splash(scale), path("s.png"))


def write_font(outdir, catalogues, sans):
    chars = catalogue_characters(catalogues)
    for scale in SCALES:
        line_h, atlas, glyphs = bitmap_font(outdir, scale, "".join(chars), sans)
        print("wrote the %dx font to %s: %d glyphs, line height %d px, atlas %dx%d"
              % (scale, outdir, glyphs, line_h, atlas[0], atlas[1]))


def main():
    args = sys.argv[1:]
    if args[:1] == ["--font"]:
        if len(args) < 2:
            sys.exit(__doc__)
        outdir, sans, catalogues = args[1], SANS, args[2:]
        if catalogues[:1] == ["--sans"] and len(catalogues) > 1:
            sans, catalogues = catalogues[1], catalogues[2:]
        os.makedirs(outdir, exist_ok=True)
        write_font(outdir, catalogues, sans)
        return
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = args[0] if args else here
    os.makedirs(outdir, exist_ok=True)

    for scale in SCALES:
        write_pictures(outdir, scale)
        print("wrote the %dx pictures to %s" % (scale, outdir))
    for size in (16, 32, 48, 64, 128, 256):
        save_png(icon(size), os.path.join(outdir, "icon-%d.png" % size))


if __name__ == "__main__":
    main()
