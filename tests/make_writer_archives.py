#!/usr/bin/env python3
"""Packs the assets with every common ZIP writer installed here, each the
way it packs by default, for checking that the game mounts them all.

    make_writer_archives.py OUT_DIR DATA_DIR NAME...

Writes OUT_DIR/<writer>.zip for Python's zipfile (to a file, and to a
pipe, which makes it put sizes in data descriptors), and where they are
installed, Info-ZIP's zip (plain, with -fd, and to a pipe), bsdtar and
p7zip's 7z. Writers that are missing are left out.
"""
import os
import shutil
import subprocess
import sys
import zipfile


class Pipe:
    """A stream that cannot seek, as a pipe."""

    def __init__(self, path):
        self.file = open(path, "wb")

    def write(self, data):
        return self.file.write(data)

    def flush(self):
        self.file.flush()

    def close(self):
        self.file.close()


def with_zipfile(out, names, stream):
    target = Pipe(out) if stream else out
    with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as archive:
        for name in names:
            archive.write(name)
    if stream:
        target.close()


def run(command, out=None):
    if out is None:
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
        return
    with open(out, "wb") as f:
        # Through a real pipe, as a shell's "| cat > out" would.
        writer = subprocess.Popen(command, stdout=subprocess.PIPE)
        shutil.copyfileobj(writer.stdout, f)
        if writer.wait() != 0:
            raise SystemExit(f"{command[0]} failed")


def main():
    out_dir, data_dir, names = sys.argv[1], sys.argv[2], sys.argv[3:]
    out_dir = os.path.abspath(out_dir)
    os.makedirs(out_dir, exist_ok=True)
    for old in os.listdir(out_dir):
        os.remove(os.path.join(out_dir, old))
    os.chdir(data_dir)
    with_zipfile(os.path.join(out_dir, "python.zip"), names, stream=False)
    with_zipfile(os.path.join(out_dir, "python-stream.zip"), names, stream=True)
    if shutil.which("zip"):
        run(["zip", "-q", "-X", os.path.join(out_dir, "infozip.zip")] + names)
        run(["zip", "-q", "-X", "-fd", os.path.join(out_dir, "infozip-fd.zip")] + names)
        run(["zip", "-q", "-X", "-"] + names, out=os.path.join(out_dir, "infozip-stream.zip"))
    if shutil.which("bsdtar"):
        run(["bsdtar", "--format", "zip", "-cf", os.path.join(out_dir, "bsdtar.zip")] + names)
    if shutil.which("7z"):
        run(["7z", "a", "-tzip", os.path.join(out_dir, "p7zip.zip")] + names)


if __name__ == "__main__":
    main()
