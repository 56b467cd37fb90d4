#!/usr/bin/python3
"""The committed screenshots are the ones the game makes today.

Runs tools/screenshots.py on the built game into the artifacts folder
and compares each picture with its namesake in docs/screenshots: same
size, and all but a few pixels the same within the tolerance of the
other screen checks. A change to the game or its assets that shows in
them fails here until `cmake --build build --target screenshots` has
written them anew and they are committed. The AppStream metainfo of the
build must list the same pictures below the homepage the build was
configured with.
"""

import os
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

from PIL import Image, ImageChops

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "xwindow"))
from session import game_arguments  # noqa: E402

NAMES = ("intro", "main-menu", "board", "won")
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
    urls = [shot.findtext("image") for shot in shots]
    wanted = {homepage + "screenshots/%s.png" % name for name in NAMES}
    if sorted(urls) != sorted(wanted):
        return "%s lists the screenshots %r, not %r" % (path, urls, sorted(wanted))
    defaults = [shot.findtext("image") for shot in shots if shot.get("type") == "default"]
    if defaults != [homepage + "screenshots/board.png"]:
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
                  (compare(os.path.join(args.artifacts, name + ".png"),
                           os.path.join(args.committed, name + ".png")) for name in NAMES)
                  if complaint]
    complaints.append(check_metainfo(args.metainfo, args.website))
    complaints = [complaint for complaint in complaints if complaint]
    extra = sorted(set(os.listdir(args.committed)) - {name + ".png" for name in NAMES})
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
          " lists them below %s" % (len(NAMES), args.website))
    return 0


if __name__ == "__main__":
    sys.exit(main())
