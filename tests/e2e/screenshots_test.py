#!/usr/bin/python3
"""The committed screenshots are the ones the game makes today.

Runs tools/screenshots.py on the built game into the artifacts folder
and compares each picture, at scale 1 and at scale 2, with its namesake
in docs/screenshots: same size, and all but a few pixels the same within
the tolerance of the other screen checks. A change to the game or its assets that shows in
them fails here until `cmake --build build --target screenshots` has
written them anew and they are committed. The AppStream metainfo of the
build must list the same pictures below the homepage the build was
configured with, each screen's 2x picture as its scale-2 source image
and the 1x picture as its smaller version.
"""

import os
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

from PIL import Image, ImageChops

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "xwindow"))
from session import game_arguments  # noqa: E402

NAMES = ("intro", "main-menu", "board", "won")
# The window's size at each scale the pictures are taken at.
SIZES = {1: (800, 500), 2: (1600, 1000)}


def file_name(name, scale):
    return name + ("@%dx" % scale if scale > 1 else "") + ".png"


FILES = [file_name(name, scale) for scale in SIZES for name in NAMES]
# Two runs here give the same bytes. A renderer or JPEG decoder may still
# differ in the last bits, or in a few edge pixels; one changed letter of
# a label already changes dozens.
CHANNEL_TOLERANCE = 8
MOST_PIXELS_DIFFERING = 8
TOOL_SECONDS = 300


def compare(made_path, committed_path):
    """None when the two pictures agree, else what differs."""
    if not os.path.exists(committed_path):
        return "%s is missing" % committed_path
    with Image.open(made_path) as made, Image.open(committed_path) as committed:
        made, committed = made.convert("RGB"), committed.convert("RGB")
        if made.size != committed.size:
            return "%s is %dx%d, the game's window %dx%d" % (
                committed_path, committed.size[0], committed.size[1], made.size[0],
                made.size[1])
        red, green, blue = ImageChops.difference(made, committed).split()
        largest = ImageChops.lighter(red, ImageChops.lighter(green, blue))
        differing = largest.point(lambda v: 255 if v > CHANNEL_TOLERANCE else 0)
        count = differing.histogram()[255]
        if count > MOST_PIXELS_DIFFERING:
            return "%s: %d pixels differ from what the game shows now, within %r" % (
                committed_path, count, differing.getbbox())
    return None


def check_metainfo(path, website):
    """None when the metainfo lists every screenshot, at the homepage's
    screenshots/ and the board first, else what is wrong."""
    homepage = website if website.endswith("/") else website + "/"
    component = ElementTree.parse(path).getroot()
    listed_homepage = component.findtext("url[@type='homepage']")
    if listed_homepage != homepage:
        return "%s names the homepage %r, not %r" % (path, listed_homepage, homepage)
    shots = component.findall("screenshots/screenshot")
    listed = [os.path.basename(shot.findtext("image") or "") for shot in shots]
    if sorted(listed) != sorted(file_name(name, 2) for name in NAMES):
        return "%s lists the screenshots %r, not the 2x set of %r" % (path, listed, NAMES)
    for shot, shown in zip(shots, listed):
        name = shown[:-len("@2x.png")]
        images = [(image.get("type"), image.get("width"), image.get("height"),
                   image.get("scale", "1"), image.text) for image in shot.findall("image")]
        # AppStream takes one source image a screenshot: the picture at
        # scale 2, with the one at scale 1 as its smaller version.
        wanted = [("source", "1600", "1000", "2", homepage + "screenshots/" + file_name(name, 2)),
                  ("thumbnail", "800", "500", "1", homepage + "screenshots/" + file_name(name, 1))]
        if images != wanted:
            return "%s lists for %s the images %r, not %r" % (path, name, images, wanted)
    defaults = [shot.findtext("image") for shot in shots if shot.get("type") == "default"]
    if defaults != [homepage + "screenshots/board@2x.png"]:
        return "%s shows %r first, not the board in play" % (path, defaults)
    return None


def main():
    parser = game_arguments(__doc__)
    parser.add_argument("--tool", required=True)
    parser.add_argument("--fixed-seed", required=True)
    parser.add_argument("--committed", required=True)
    parser.add_argument("--metainfo", required=True, help="the build's configured metainfo")
    parser.add_argument("--website", required=True, help="the homepage the build names")
    args = parser.parse_args()

    done = subprocess.run(
        [sys.executable, "-B", args.tool, "--game", args.game, "--fixed-seed", args.fixed_seed,
         "--build-dir", args.build_dir, "--data-dir", args.data_dir, "--out", args.artifacts],
        timeout=TOOL_SECONDS)
    if done.returncode != 0:
        print("FAILED: the screenshot tool ended with %d" % done.returncode)
        return 1
    complaints = [complaint for complaint in
                  (compare(os.path.join(args.artifacts, name), os.path.join(args.committed, name))
                   for name in FILES)
                  if complaint]
    complaints.append(check_metainfo(args.metainfo, args.website))
    complaints = [complaint for complaint in complaints if complaint]
    extra = sorted(set(os.listdir(args.committed)) - set(FILES))
    if extra:
        complaints.append("%s holds pictures the tool does not make: %s"
                          % (args.committed, ", ".join(extra)))
    for complaint in complaints:
        print("FAILED: " + complaint)
    if complaints:
        print("the pictures the game makes now are in %s; `cmake --build <build> --target"
              " screenshots` writes them to %s" % (args.artifacts, args.committed))
        return 1
    print("ok: the %d committed screenshots are what the game shows, and the metainfo"
          " lists them below %s" % (len(FILES), args.website))
    return 0


if __name__ == "__main__":
    sys.exit(main())
