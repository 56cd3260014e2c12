#!/usr/bin/env python3
"""Bakes the fonts listed in PLATFORM/fonts/fonts.txt with tarvfont into PARTS/platform/fonts/.
"full" fonts cover Latin-1, a few typographic symbols and every character that any language file
under PLATFORM/l10n uses, so a new text never needs a new font list.

Usage: fontgen.py PLATFORM PARTS TARVFONT [FONT_FOLDER]"""
import glob
import os
import shutil
import subprocess
import sys

FONT_FOLDER = "/usr/share/fonts/truetype/dejavu"
# dashes, quotes, bullet, ellipsis, euro, arrows, star, heart
SYMBOLS = [0x2013, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2026, 0x20AC, 0x2190, 0x2192, 0x2605, 0x2665]


def text_codes(l10n):
    codes = set()
    for path in sorted(glob.glob(os.path.join(l10n, "*.xml"))):
        with open(path, encoding="utf-8") as f:
            codes.update(ord(c) for c in f.read() if ord(c) >= 32)
    return codes


def code_list(charset, l10n):
    if charset == "full":
        codes = set(range(32, 127)) | set(range(160, 256)) | set(SYMBOLS) | text_codes(l10n)
        return ",".join(str(c) for c in sorted(codes))
    return charset


def main(argv):
    if len(argv) not in (4, 5):
        print(__doc__, file=sys.stderr)
        return 2
    platform, parts, tarvfont = argv[1:4]
    faces = argv[4] if len(argv) == 5 else FONT_FOLDER
    out = os.path.join(parts, "platform", "fonts")
    shutil.rmtree(parts, ignore_errors=True)
    os.makedirs(out)
    with open(os.path.join(platform, "fonts", "fonts.txt")) as f:
        for line in f:
            line = line.split("#")[0].split()
            if not line:
                continue
            name, face, size, charset = line
            result = subprocess.run([tarvfont, os.path.join(faces, face), size, os.path.join(out, name),
                                     code_list(charset, os.path.join(platform, "l10n"))], capture_output=True, text=True)
            if result.returncode != 0:
                print(f"fontgen: {name}: {result.stderr.strip()}", file=sys.stderr)
                return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
