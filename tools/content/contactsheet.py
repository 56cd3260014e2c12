#!/usr/bin/env python3
"""Contact sheet: every atlas page of a stage folder on one PNG, each on a checkerboard (so
transparency shows) and labelled with its atlas name and page size.

Usage: contactsheet.py STAGE_ATLAS_FOLDER OUT.png [tile size, default 512]"""
import os
import subprocess
import sys
import tempfile

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


def main(argv):
    if len(argv) not in (3, 4):
        print(__doc__, file=sys.stderr)
        return 2
    folder, out = argv[1], argv[2]
    tile = int(argv[3]) if len(argv) == 4 else 512
    pages = sorted(f for f in os.listdir(folder) if f.endswith(".png"))
    if not pages:
        print("contactsheet: no pages in " + folder, file=sys.stderr)
        return 1
    with tempfile.TemporaryDirectory() as tmp:
        framed = []
        for page in pages:
            path = os.path.join(folder, page)
            size = subprocess.run(["identify", "-format", "%wx%h", path], capture_output=True, text=True,
                                  check=True).stdout.strip()
            target = os.path.join(tmp, page)
            subprocess.run(["convert", "-size", f"{tile}x{tile}", "pattern:checkerboard", "-modulate", "60",
                            "(", path, "-resize", f"{tile}x{tile}>", ")",
                            "-gravity", "northwest", "-composite", "-gravity", "south", "-background", "#2B1E2F",
                            "-fill", "white", "-font", FONT, "-pointsize", "18", "-splice", "0x28",
                            "-annotate", "+0+4", f"{page[:-4]}  {size}", target], check=True)
            framed.append(target)
        subprocess.run(["montage", *framed, "-tile", "6x", "-geometry", "+6+6", "-background", "#444444", out],
                       check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
