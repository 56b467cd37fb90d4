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


def tile_box(tile):
    """The 100x50 rectangle of tile `tile` (column tile/5, row tile%5)."""
    left = 10 + 200 * (tile // 5)
    top = 35 + 100 * (tile % 5)
    return (left, top, left + 100, top + 50)


def tile_centre(tile):
    return (60 + 200 * (tile // 5), 60 + 100 * (tile % 5))


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
