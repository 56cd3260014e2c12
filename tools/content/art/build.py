#!/usr/bin/env python3
"""Builds the game's pictures: writes every image as SVG, renders it 1:1 with rsvg-convert, trims
the animation frames with ImageMagick and writes the animation files with the trim offsets, then
packs the atlases listed in the manifest with tarvatlas.

Usage: build.py GEN PARTS TARVATLAS ATLASES_TXT
  GEN/svg, GEN/raw: the SVG and the rendered PNG of every image; GEN/png: what the atlases pack;
  PARTS/common/anim/*.xml and PARTS/atlas/<atlas>.xml|png: the staged results.
Only SVGs whose text changed are rendered again."""
import concurrent.futures
import os
import shutil
import struct
import subprocess
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import hero  # noqa: E402
import ui  # noqa: E402
import world  # noqa: E402
from svg import Svg  # noqa: E402

MARGIN = 64  # frames are drawn on their canvas plus this much on every side, then trimmed


class Sheet:
    def __init__(self):
        self.images = {}  # virtual path -> (svg text or None for an empty frame, trim?)
        self.anims = {}  # anim file -> (canvas w, h, [(name, fps, loop, [frame paths])])

    def image(self, path, svg):
        assert path not in self.images, path
        self.images[path] = (svg.text(), False)

    def frame(self, path, canvas_w, canvas_h, draw):
        if draw is None:
            self.images[path] = (None, True)
            return
        s = Svg(canvas_w + 2 * MARGIN, canvas_h + 2 * MARGIN, MARGIN, MARGIN)
        draw(s)
        self.images[path] = (s.text(), True)


def collect():
    sheet = Sheet()
    # the hero in play and on the loading screen
    anims = []
    for name, fps, loop, frames in hero.frames():
        paths = []
        for i, (p, props) in enumerate(frames):
            path = f"images/anim/pirrock/{name}_{i:02d}.png"
            sheet.frame(path, 64, 64, lambda s, p=p, props=props: hero.draw_frame(s, dict(p) if p else None, props))
            paths.append(path)
        anims.append((name, fps, loop, paths))
    sheet.anims["pirrock_game"] = (64, 64, 15, anims)
    run = hero.frames()[1][3]
    paths = []
    for i in range(8):
        p, props = run[i]
        path = f"images/loading/run_{i}.png"

        def draw(s, p=p, i=i):
            s.begin("scale(2)")
            hero.draw_frame(s, dict(p), [])
            s.end()
            for k in range(2):
                r = 4 + ((i + k * 4) % 8)
                s.circle(30 - ((i * 6 + k * 24) % 48), 122 - r / 2, r, "#D9C8A8", opacity=0.8 - 0.08 * ((i + k * 4) % 8))
        sheet.frame(path, 128, 128, draw)
        paths.append(path)
    sheet.anims["pirrock_loading"] = (128, 128, 15, [("run", 15, True, paths)])
    # animated items
    anim_first = {}
    for item, (w, h, item_anims) in world.item_animations().items():
        out = []
        for name, fps, loop, makers in item_anims:
            paths = []
            for i, make in enumerate(makers):
                path = f"images/anim/items/{item}/{name}_{i:02d}.png"
                sheet.frame(path, w, h, make)
                paths.append(path)
            out.append((name, fps, loop, paths))
        sheet.anims[item] = (w, h, item_anims[0][1], out)
        anim_first[item] = (item_anims[0][3][0], w, h)
    items = world.still_items()
    for name, svg in items.items():
        sheet.image(f"images/game/{name}.png", svg)
    for name, svg in ui.hud(items, anim_first).items():
        sheet.image(f"images/hud/{name}.png", svg)
    for name, svg in ui.menu(items).items():
        sheet.image(f"images/menu/{name}.png", svg)
    for name, svg in ui.level_select().items():
        sheet.image(f"images/level_select/{name}.png", svg)
    for name, svg in ui.splash(items).items():
        sheet.image(f"images/splash/{name}.png", svg)
    for name, svg in ui.debug().items():
        sheet.image(f"images/debug/{name}.png", svg)
    for band in range(1, 7):
        for name in world.GROUND + (world.OPEN_WATER if band == 6 else []):
            sheet.image(f"images/tiles/t{band}/{name}.png", world.ground_tile(band, name))
        for name, svg in world.obstacles(band).items():
            sheet.image(f"images/tiles/t{band}/{name}.png", svg)
    sheet.image("images/tiles/t6/ski_hill.png", world.ski_hill())
    for band in range(1, 6):
        for name, svg in world.backgrounds(band).items():
            sheet.image(f"images/back/b{band}/{name}.png", svg)
    return sheet


def empty_png():
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(b"\0\0\0\0\0")) + chunk(b"IEND", b""))


def write_if_changed(path, data):
    mode = "wb" if isinstance(data, bytes) else "w"
    if os.path.isfile(path):
        with open(path, "rb" if mode == "wb" else "r") as f:
            if f.read() == data:
                return False
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, mode) as f:
        f.write(data)
    return True


def render(gen, path, svg, trim):
    """Renders one image; for frames, returns the trim offset (x, y) on the canvas."""
    base = os.path.splitext(path)[0]
    svg_path, raw, png = (os.path.join(gen, d, base + e) for d, e in (("svg", ".svg"), ("raw", ".png"), ("png", ".png")))
    offset_path = raw + ".offset"
    if svg is None:
        write_if_changed(png, empty_png())
        return (0, 0)
    changed = write_if_changed(svg_path, svg)
    if changed or not os.path.isfile(png) or (trim and not os.path.isfile(offset_path)):
        os.makedirs(os.path.dirname(raw), exist_ok=True)
        os.makedirs(os.path.dirname(png), exist_ok=True)
        subprocess.run(["rsvg-convert", "-o", raw, svg_path], check=True)
        if not trim:
            shutil.copyfile(raw, png)
        else:
            subprocess.run(["convert", raw, "-trim", "-format", "%X %Y", "-write", "info:" + offset_path,
                                  "+repage", "-define", "png:exclude-chunks=date,time", png],
                                 check=True, capture_output=True, text=True)
    if not trim:
        return None
    with open(offset_path) as f:
        x, y = (int(v) for v in f.read().split())
    return (x - MARGIN, y - MARGIN)


def anim_xml(name, canvas_w, canvas_h, fps, anims, offsets):
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             f'<!-- generated by the art build; do not edit -->',
             f'<animations default-canvas-width="{canvas_w}" default-canvas-height="{canvas_h}" '
             f'default-fps="{fps}" default-loop="true">']
    for anim, anim_fps, loop, paths in anims:
        lines.append(f'  <animation name="{anim}" fps="{anim_fps}" loop="{"true" if loop else "false"}">')
        for path in paths:
            x, y = offsets[path]
            lines.append(f'    <frame x="{x}" y="{y}">{path}</frame>')
        lines.append("  </animation>")
    lines.append("</animations>")
    return "\n".join(lines) + "\n"


def read_manifest(path):
    atlases = []
    with open(path) as f:
        for line in f:
            line = line.split("#")[0].strip()
            if line:
                name, limit, folders, *sets = line.split()
                options = []
                for item in sets:
                    key, _, names = item.partition("=")
                    options += ["--" + key, names]
                atlases.append((name, int(limit), folders, options))
    return atlases


def main(argv):
    if len(argv) != 5:
        print(__doc__, file=sys.stderr)
        return 2
    gen, parts, tarvatlas, manifest = argv[1:]
    sheet = collect()
    offsets = {}
    with concurrent.futures.ThreadPoolExecutor(max_workers=min(4, os.cpu_count() or 1)) as pool:
        jobs = {path: pool.submit(render, gen, path, svg, trim) for path, (svg, trim) in sorted(sheet.images.items())}
        for path, job in jobs.items():
            offsets[path] = job.result()
    # images no longer made are removed, so the atlases never pack a stale picture
    wanted = {os.path.splitext(p)[0] + ".png" for p in sheet.images}
    for folder, dirs, files in os.walk(os.path.join(gen, "png")):
        for name in files:
            rel = os.path.relpath(os.path.join(folder, name), os.path.join(gen, "png")).replace(os.sep, "/")
            if rel not in wanted:
                os.remove(os.path.join(folder, name))
    shutil.rmtree(parts, ignore_errors=True)
    for name, (w, h, fps, anims) in sorted(sheet.anims.items()):
        write_if_changed(os.path.join(parts, "common", "anim", name + ".xml"), anim_xml(name, w, h, fps, anims, offsets))
    os.makedirs(os.path.join(parts, "atlas"), exist_ok=True)
    packed = set()
    for name, limit, folders, options in read_manifest(manifest):
        packed.update(folders.split(","))
        result = subprocess.run([tarvatlas, os.path.join(gen, "png"), folders,
                                 os.path.join(parts, "atlas", name + ".xml"), str(limit)] + options)
        if result.returncode != 0:
            print(f"art: atlas {name} failed", file=sys.stderr)
            return 1
    unpacked = sorted(p for p in sheet.images if not any(p.startswith(f + "/") for f in packed))
    if unpacked:
        print("art: images in no atlas: " + ", ".join(unpacked[:5]), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
