#!/usr/bin/python3
"""Compares window screenshots with the game's loose asset files.

Each check returns None when it holds and a short complaint otherwise,
so `Session.wait_for` can poll it. Tolerances allow for JPEG decoders and
renderers that differ in the last bits, never for a different picture.
"""

import math
import os

from PIL import Image, ImageChops

# Largest per-channel difference for a pixel to count as "the same".
PIXEL_TOLERANCE = 24


def load_asset(data_dir, name):
    with Image.open(os.path.join(data_dir, name)) as image:
        return image.convert("RGB")


def asset_names(data_dir):
    """Every file of data/assets.txt: what the game reads."""
    with open(os.path.join(data_dir, "assets.txt")) as listing:
        names = [line.strip() for line in listing]
    return [n for n in names if n and not n.startswith("#")]


def shown_asset_names(data_dir):
    """The files of data/assets.txt the game shows, the window's icons left out."""
    return [n for n in asset_names(data_dir) if not n.startswith("icon-")]


def tile_box(tile):
    """The 100x50 rectangle of tile `tile` (column tile/5, row tile%5)."""
    left = 10 + 200 * (tile // 5)
    top = 35 + 100 * (tile % 5)
    return (left, top, left + 100, top + 50)


def tile_centre(tile):
    return (60 + 200 * (tile // 5), 60 + 100 * (tile % 5))


def pairs_in_board_order(deal):
    """The pairs of `deal` ({tile: value}) as [(value, (first, second))],
    in the order of their first tile, as a player reading the board finds
    them."""
    tiles_of = {}
    for tile, value in sorted(deal.items()):
        tiles_of.setdefault(value, []).append(tile)
    pairs = [(value, tuple(tiles)) for value, tiles in tiles_of.items()]
    return sorted(pairs, key=lambda pair: pair[1][0])


def _largest_channel_difference(first, second):
    red, green, blue = ImageChops.difference(first, second).split()
    return ImageChops.lighter(red, ImageChops.lighter(green, blue))


def same_share(shot, box, expected):
    """Share of the pixels in `box` of `shot` that match `expected` (an
    image of the box's size) within the tolerance."""
    difference = _largest_channel_difference(shot.crop(box), expected)
    histogram = difference.histogram()
    return sum(histogram[: PIXEL_TOLERANCE + 1]) / float(sum(histogram))


def shows(shot, box, expected, at_least=0.97):
    """`box` of `shot` shows `expected` (all but a sliver of pixels)."""
    share = same_share(shot, box, expected)
    if share < at_least:
        return "only %.1f%% of %r matches" % (100 * share, box)
    return None


def _within_tolerance(first, second):
    """A mask image: 255 where two images agree within the tolerance."""
    difference = _largest_channel_difference(first, second)
    return difference.point(lambda v: 255 if v <= PIXEL_TOLERANCE else 0)


def _count(mask):
    return mask.histogram()[255]


def shows_with_label(shot, box, face, behind):
    """A button in `box`: its face picture, with a label drawn over part
    of it, rather than `behind` (what the box would show without it).
    Only the pixels where face and background differ tell them apart."""
    region = shot.crop(box)
    telling = ImageChops.invert(_within_tolerance(face, behind))
    like_face = _within_tolerance(region, face)
    share = _count(ImageChops.multiply(telling, like_face)) / float(max(1, _count(telling)))
    if share < 0.85:
        return "only %.1f%% of what tells the button face apart shows in %r" % (100 * share, box)
    label = 1 - _count(like_face) / float(region.width * region.height)
    if not 0.005 < label < 0.3:
        return "%.1f%% of %r is not the face: no label, or not just a label" % (100 * label, box)
    return None


def widened(face, width):
    """The button face picture drawn `width` pixels wide as the game draws
    it on a wider button: its rounded ends (two fifths of its height each)
    as they are, the part between them stretched."""
    height = face.height
    end = height * 2 // 5
    out = Image.new("RGB", (width, height))
    out.paste(face.crop((0, 0, end, height)), (0, 0))
    middle = face.crop((end, 0, face.width - end, height))
    out.paste(middle.resize((width - 2 * end, height), Image.NEAREST), (end, 0))
    out.paste(face.crop((face.width - end, 0, face.width, height)), (width - end, 0))
    return out


def shows_outside(shot, expected, holes):
    """`shot` shows `expected` everywhere but in the rectangles `holes`."""
    masked_shot = shot.copy()
    masked_expected = expected.copy()
    for hole in holes:
        masked_shot.paste((0, 0, 0), hole)
        masked_expected.paste((0, 0, 0), hole)
    return shows(masked_shot, (0, 0) + shot.size, masked_expected, at_least=0.99)


def white(shot, box):
    """Every pixel of `box` is the board's white background."""
    region = shot.crop(box).convert("L")
    darkest = region.getextrema()[0]
    if darkest < 250:
        return "%r is not white (darkest %d)" % (box, darkest)
    return None


def not_white_bounds(shot, box):
    """The bounding box, in window coordinates, of what is not white
    inside `box`; None when all of it is white."""
    region = shot.crop(box).convert("L").point(lambda v: 255 if v < 250 else 0)
    bounds = region.getbbox()
    if bounds is None:
        return None
    return (bounds[0] + box[0], bounds[1] + box[1], bounds[2] + box[0], bounds[3] + box[1])


def changed_bounds(before, after, box):
    """The bounding box, in window coordinates, of what differs between
    two screenshots inside `box`; None when nothing does."""
    difference = _largest_channel_difference(before.crop(box), after.crop(box))
    bounds = difference.point(lambda v: 255 if v > PIXEL_TOLERANCE else 0).getbbox()
    if bounds is None:
        return None
    return (bounds[0] + box[0], bounds[1] + box[1], bounds[2] + box[0], bounds[3] + box[1])


def _samples(image, step=5):
    return list(image.convert("L").getdata())[::step]


def darkened(shot, expected):
    """How `shot` relates to `expected` seen through a dark veil: the
    brightness factor and the correlation of the two."""
    seen = _samples(shot)
    wanted = _samples(expected)
    count = float(len(seen))
    mean_seen = sum(seen) / count
    mean_wanted = sum(wanted) / count
    covariance = sum((s - mean_seen) * (w - mean_wanted) for s, w in zip(seen, wanted))
    spread_seen = math.sqrt(sum((s - mean_seen) ** 2 for s in seen))
    spread_wanted = math.sqrt(sum((w - mean_wanted) ** 2 for w in wanted))
    correlation = covariance / (spread_seen * spread_wanted) if spread_seen and spread_wanted else 0
    return mean_seen / mean_wanted, correlation


def ink_bands(shot, box, darkest=110):
    """Runs of rows inside `box` that hold dark (text) pixels, as
    (top, bottom, left, right) in window coordinates, top to bottom."""
    region = shot.crop(box).convert("L").point(lambda v: 255 if v < darkest else 0)
    width, height = region.size
    bands = []
    top = None
    for y in range(height + 1):
        row = region.crop((0, y, width, y + 1)).getbbox() if y < height else None
        if row and top is None:
            top, left, right = y, row[0], row[2]
        elif row:
            left, right = min(left, row[0]), max(right, row[2])
        elif top is not None:
            bands.append((box[1] + top, box[1] + y, box[0] + left, box[0] + right))
            top = None
    return bands


def light_share(shot, box, lightest=200):
    """Share of the pixels in `box` of `shot` at least `lightest` bright:
    light text on a dark picture."""
    histogram = shot.crop(box).convert("L").histogram()
    return sum(histogram[lightest:]) / float(sum(histogram))


# The keyboard's focus ring: a band of this colour that starts this many
# pixels outside the focused button and is this many pixels wide.
RING_COLOUR = (0, 64, 221)
RING_GAP = 2
RING_BAND = 3


def _ring_mask(image):
    """255 where `image` shows the ring's colour."""
    return _within_tolerance(image, Image.new("RGB", image.size, RING_COLOUR))


def focus_ring(shot, box=None, scale=1):
    """Where the focus ring, drawn at `scale`, is inside `box` (the whole
    shot by default): (the box of the button it surrounds, None), or
    (None, a complaint) when there is no ring, or something in its colour
    is not a whole, closed ring at least two pixels wide."""
    box = box or (0, 0) + shot.size
    mask = _ring_mask(shot.crop(box))
    bounds = mask.getbbox()
    if bounds is None:
        return None, "no focus ring in %r" % (box,)
    left, top, right, bottom = bounds
    band = RING_BAND * scale
    # Each of the band's lines must run all the way round.
    for inset in range(band):
        frame = [(left + inset, top + inset, right - inset, top + inset + 1),
                 (left + inset, bottom - inset - 1, right - inset, bottom - inset),
                 (left + inset, top + inset, left + inset + 1, bottom - inset),
                 (right - inset - 1, top + inset, right - inset, bottom - inset)]
        lit = sum(_count(mask.crop(line)) for line in frame)
        total = sum((line[2] - line[0]) * (line[3] - line[1]) for line in frame)
        if lit < 0.95 * total:
            return None, ("the ring colour around %r is no closed ring (line %d: %d of %d)"
                          % (bounds, inset, lit, total))
    # Nothing else in its colour inside the ring.
    inside = (left + band, top + band, right - band, bottom - band)
    if _count(mask.crop(inside)) > 0:
        return None, "the ring colour also shows inside the ring at %r" % (bounds,)
    grow = (RING_GAP + RING_BAND) * scale
    return (box[0] + left + grow, box[1] + top + grow,
            box[0] + right - grow, box[1] + bottom - grow), None
