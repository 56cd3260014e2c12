#!/usr/bin/env python3
"""Stages content for packing.

copy SRC PARTS      copies the hand-written files of SRC/{platform,common,atlas} that ship as they
                    are into PARTS/{platform,...} (level, sound, font and atlas sources stay out).
merge PARTS STAGE   merges every step's PARTS/<step>/<archive>/ into STAGE/<archive>/, writing only
                    files that changed and removing stale ones; a path made by two steps fails.
pack TARVPAK STAGE/<archive> PAK [TARVPAK OPTIONS...]
                    packs the folder unless the pak was made from exactly these files and options.
"""
import hashlib
import os
import shutil
import subprocess
import sys

ARCHIVES = ("platform", "common", "atlas")
# Sources that the generators read and that never ship themselves.
NOT_SHIPPED = ("levels/src/", "audio/", "fonts/fonts.txt", "atlases.txt", "README.md")


def walk(root):
    """Sorted '/'-separated relative paths of the files below root."""
    found = []
    for folder, dirs, files in os.walk(root):
        dirs.sort()
        for name in sorted(files):
            found.append(os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/"))
    return found


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write_if_changed(path, data):
    if os.path.isfile(path) and read(path) == data:
        return False
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    return True


def copy(src, parts):
    shutil.rmtree(parts, ignore_errors=True)
    for archive in ARCHIVES:
        base = os.path.join(src, archive)
        for rel in walk(base):
            if any(rel.startswith(p) or rel == p for p in NOT_SHIPPED):
                continue
            write_if_changed(os.path.join(parts, archive, rel), read(os.path.join(base, rel)))
    return 0


def merge(parts, stage):
    failed = False
    for archive in ARCHIVES:
        owners = {}
        for step in sorted(os.listdir(parts)):
            base = os.path.join(parts, step, archive)
            for rel in walk(base) if os.path.isdir(base) else []:
                if rel in owners:
                    print(f"stage: {archive}/{rel} is made by both {owners[rel]} and {step}", file=sys.stderr)
                    failed = True
                owners[rel] = step
        target = os.path.join(stage, archive)
        for rel in walk(target) if os.path.isdir(target) else []:
            if rel not in owners:
                os.remove(os.path.join(target, rel))
        for rel, step in owners.items():
            write_if_changed(os.path.join(target, rel), read(os.path.join(parts, step, archive, rel)))
    return 1 if failed else 0


def pack(tarvpak, folder, pak, options=()):
    digest = hashlib.sha256(" ".join(options).encode())
    for rel in walk(folder):
        digest.update(rel.encode() + b"\0" + hashlib.sha256(read(os.path.join(folder, rel))).digest())
    stamp = pak + ".sha256"
    if os.path.isfile(pak) and os.path.isfile(stamp) and read(stamp).decode() == digest.hexdigest():
        os.utime(pak)
        return 0
    if subprocess.call([tarvpak, "pack", folder, pak, *options]) != 0:
        return 1
    with open(stamp, "w") as f:
        f.write(digest.hexdigest())
    return 0


def main(argv):
    if len(argv) == 4 and argv[1] == "copy":
        return copy(argv[2], argv[3])
    if len(argv) == 4 and argv[1] == "merge":
        return merge(argv[2], argv[3])
    if len(argv) >= 5 and argv[1] == "pack":
        return pack(argv[2], argv[3], argv[4], argv[5:])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
