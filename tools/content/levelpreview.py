#!/usr/bin/env python3
"""A still of a level as the play state starts it, for looking at art together: the sky, the
parallax strips at the camera's start, the ground tiles, the scene sprites, the fruit, fires and
snares of the code map and the hero's first running frame, all cut from the staged atlases, over the whole level.

Usage: levelpreview.py STAGE NN OUT.png"""
import os
import subprocess
import sys
import xml.etree.ElementTree as ET

FRUIT = {42: "apple", 43: "cherry", 44: "strawberry", 45: "banana", 46: "watermelon"}
ITEMS = {15: "fire", 18: "snare"}


def regions(atlas_folder):
    found = {}
    for name in sorted(os.listdir(atlas_folder)):
        if name.endswith(".xml"):
            for rect in ET.parse(os.path.join(atlas_folder, name)).getroot().iter("rect"):
                found[rect.get("id")] = (name[:-4] + ".png", *(int(rect.get(k)) for k in ("x", "y", "width", "height")))
    return found


def main(argv):
    if len(argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    stage, nn, out = argv[1], argv[2], argv[3]
    common = os.path.join(stage, "common")
    atlas = os.path.join(stage, "atlas")
    table = regions(atlas)
    scene = ET.parse(os.path.join(common, "levels", f"{nn}.xml")).getroot()
    code_map = ET.parse(os.path.join(common, "levels", f"{nn}_map.xml")).getroot()
    cell, rows = int(code_map.get("tile-height")), int(code_map.get("height"))
    width, height = cell * int(code_map.get("width")), cell * rows
    draws = []  # (image id, left, bottom) in world units, y up

    def tiles(path, x0, y0, repeat_width=None):
        root = ET.parse(os.path.join(common, path)).getroot()
        tw, th, tr = int(root.get("tile-width")), int(root.get("tile-height")), int(root.get("height"))
        for tile in root.iter("tile"):
            draws.append((tile.text.strip(), x0 + tw * int(tile.get("x")), y0 + th * (tr - 1 - int(tile.get("y")))))

    for layer in scene.iter("layer"):
        for item in layer.iter("item"):
            kind, x, y, asset = item.get("type"), int(float(item.get("x"))), int(float(item.get("y"))), item.text.strip()
            if kind == "parallax-sprite":  # screen-fixed: repeated to fill the whole level
                for left in range(0, width, 800):
                    for bottom in range(height - 480, -480, -480):
                        draws.append((asset, left, bottom))
            elif kind in ("tiled-sprite", "tiled-parallax-sprite"):
                tiles(asset, x, y)
            else:
                draws.append((asset, x, y))
    for item in code_map.iter("item"):
        code, x, y = int(item.text), int(item.get("x")), int(item.get("y"))
        if code in FRUIT:
            draws.append((f"images/game/{FRUIT[code]}.png", cell * x, cell * (rows - 1 - y)))
        if code in ITEMS:  # the World's animated items, on their first frame
            anim = ET.parse(os.path.join(common, "anim", ITEMS[code] + ".xml")).getroot()
            frame = anim.find("animation/frame")
            canvas_h = int(anim.get("default-canvas-height"))
            region = table[frame.text.strip()]
            left = cell * x + int(frame.get("x"))
            draws.append((frame.text.strip(), left, cell * (rows - 1 - y) + canvas_h - int(frame.get("y")) - region[4]))
        if code == 11:
            anim = ET.parse(os.path.join(common, "anim", "pirrock_game.xml")).getroot()
            frame = anim.find("animation[@name='running']/frame")
            canvas_h = int(anim.get("default-canvas-height"))
            region = table[frame.text.strip()]
            left = cell * (x + 1) - 32 + int(frame.get("x"))
            top = canvas_h - int(frame.get("y"))  # canvas top, measured up from the feet
            draws.append((frame.text.strip(), left, cell * (rows - 1 - y) + top - region[4]))
    command = ["convert", "-size", f"{width}x{height}", "xc:black"]
    for asset, left, bottom in draws:
        page, rx, ry, rw, rh = table[asset]
        command += ["(", os.path.join(atlas, page), "-crop", f"{rw}x{rh}+{rx}+{ry}", "+repage", ")",
                    "-geometry", f"+{left}+{height - bottom - rh}", "-composite"]
    subprocess.run(command + [out], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
