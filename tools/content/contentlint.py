#!/usr/bin/env python3
"""The content lint: one pass over the three staged archives, a message per finding (file, what,
which rule), exit 1 when anything is found.

  1 paths    every file lives in exactly one archive; no two paths differ only in case; ASCII names
  2 exists   every path a file names exists (scene items, tiles, frames, code maps, layout files,
             the paths the code asks for)
  3 atlas    every image path is a region of exactly one atlas, and of an atlas that the state
             asking for it registers
  4 anim     the hero's and the items' animation names, loop flags and frame rates
  5 texts    every text id used exists in every language; every character of every text is in
             the fonts that show texts; no text holds & < > or "; tutorial hints fit their panel
  6 keys     every setting the code reads (and every key in the key list) has a default of its
             type; no int is written with a leading zero
  7 audio    every sound and piece of music is Ogg Vorbis, mono, 22050 Hz (the mixer's own format)
  8 bar      every level's tools fit the HUD's tool bar on the screen, "Got it" too where the level
             has a tutorial, with the bar's numbers read from scripts/hud.lua
  9 fruit    every level's fruit counters fit the top bar, right of the score's room and left of
             the screen's edge, with room for each kind's most digits in fonts/hud.xml
 10 areas    a layout's control that declares its size (the "width" and "height" of an area, which
             the level checks read for the HUD's bars and panel) is the size of its picture

Usage: contentlint.py STAGE [--keys REQUIRED_KEYS] [--source SOURCE_TREE]"""
import os
import re
import sys
import xml.etree.ElementTree as ET

ARCHIVES = ("platform", "common", "atlas")
HERO_ANIMS = [("waiting", False), ("running", True), ("sailing", True), ("skating", True), ("parachuting", True),
              ("jumping", False), ("climbing", True), ("skiing", True), ("diverting", False), ("falling", True),
              ("rolling", True), ("burning", False), ("drowning", False), ("hitting", False), ("angel", False)]
ITEM_ANIMS = {"fire": ["extinguish"], "fire_extinguisher": [], "trap_door": ["moving"], "snare": ["trapping"],
              "trampoline": ["ejecting"], "pusher": [], "hair_dryer": []}
STILL_ITEMS = ["carrot", "bridge", "boat", "parachute", "skates", "ski", "apple", "cherry", "strawberry", "banana",
               "watermelon"]
# Paths the code asks for by name, with the atlases registered when it does.
CODE_PATHS = {
    "images/splash/vexolan_logo.png": {"splash"}, "images/splash/game_splash.png": {"splash"},
    "images/game/ladder/middle.png": {"game"}, "images/debug/debug_cell_yellow.png": {"debug"},
    "anim/pirrock_game.xml": None, "anim/pirrock_loading.xml": None, "tiles/ladder.xml": None, "fonts/menu.xml": None,
    **{f"images/game/{name}.png": {"game"} for name in STILL_ITEMS},
    **{f"anim/{name}.xml": None for name in ITEM_ANIMS},
}
TEXT_FONTS = ("menu", "title", "body", "small")
TOOL_NAMES = {"pusher", "carrot", "bridge", "fire_extinguisher", "trampoline", "hair_dryer", "boat", "ladder",
              "parachute", "skates", "ski"}
BAD_TEXT = set('&<>"')
TUTORIAL_WIDTH, TUTORIAL_LINES = 440, 3
TOOL_CODES = {26, 27, 28, 29, 30, 31, 32, 33, 34, 38, 47}
BAR_NUMBERS = ("SCREEN_W", "SLOT", "GOTIT_W", "MIN_SLOT")
FRUIT_NUMBERS = ("SCREEN_W", "FRUIT_RIGHT", "FRUIT_ICON", "FRUIT_GAP", "FRUIT_SPACE", "DIGIT_W", "SCORE_X",
                 "SCORE_DIGITS")
FRUIT_CODES = range(42, 47)


class Lint:
    def __init__(self, stage):
        self.stage = stage
        self.findings = []
        self.files = {}  # virtual path -> host path
        self.sizes = {}  # image region -> (width, height) as its atlas writes them

    def report(self, rule, where, text):
        self.findings.append(f"{where}: {text} [rule {rule}]")

    def host(self, path):
        return self.files.get(path)

    def xml(self, path):
        try:
            return ET.parse(self.files[path]).getroot()
        except (ET.ParseError, OSError, UnicodeDecodeError) as error:
            self.report(2, path, f"not well-formed XML: {error}")
            return None

    # rule 1
    def collect(self):
        seen_case = {}
        for archive in ARCHIVES:
            base = os.path.join(self.stage, archive)
            for folder, dirs, names in os.walk(base):
                dirs.sort()
                for name in sorted(names):
                    host = os.path.join(folder, name)
                    path = os.path.relpath(host, base).replace(os.sep, "/")
                    where = f"{archive}/{path}"
                    if not path.isascii():
                        self.report(1, where, "the name is not ASCII")
                    if path in self.files:
                        self.report(1, where, "the path is in two archives")
                    elif path.lower() in seen_case:
                        self.report(1, where, f"differs from {seen_case[path.lower()]} only in case")
                    seen_case[path.lower()] = path
                    self.files[path] = host

    # rule 3 needs the regions of every atlas; "menu1", "menu2"... are pages of menu's 1024 set
    def atlases(self):
        regions = {}
        sets = {}
        for path in sorted(self.files):
            if "/" in path or not path.endswith(".xml") or not self.files[path].startswith(os.path.join(self.stage, "atlas")):
                continue
            root = self.xml(path)
            if root is None:
                continue
            name = path[:-4]
            if name + ".png" not in self.files:
                self.report(2, path, "the atlas page image is missing")
            ids = [rect.get("id", "") for rect in root.iter("rect")]
            for rect in root.iter("rect"):
                self.sizes[rect.get("id", "")] = (rect.get("width"), rect.get("height"))
            base = re.fullmatch(r"(.+?)\d+", name)
            if base and base.group(1) + ".xml" in self.files:
                sets.setdefault(base.group(1), []).extend((rid, path) for rid in ids)
                continue
            for rid in ids:
                if rid in regions:
                    self.report(3, path, f"region {rid} is also in {regions[rid]}.xml")
                regions[rid] = name
        for base, members in sorted(sets.items()):
            mine = {rid for rid, atlas in regions.items() if atlas == base}
            found = [rid for rid, _ in members]
            for rid, path in members:
                if rid not in mine or found.count(rid) > 1:
                    self.report(3, path, f"region {rid} is not a region of {base}.xml once over its page set")
            for rid in sorted(mine - set(found)):
                self.report(3, base + ".xml", f"region {rid} is on no page of its 1024 set")
        return regions

    def need(self, path, where, allowed, regions):
        """One named path: a file, or an image region of an allowed atlas."""
        if path.startswith("images/"):
            atlas = regions.get(path)
            if atlas is None:
                self.report(3, where, f"{path} is a region of no atlas")
            elif allowed is not None and atlas not in allowed:
                self.report(3, where, f"{path} is in {atlas}.xml, which is not registered there "
                                      f"(registered: {', '.join(sorted(allowed))})")
            if path in self.files:
                self.report(1, where, f"{path} ships as a loose file as well as a region")
        elif path not in self.files:
            self.report(2, where, f"{path} does not exist")

    # rules 2 and 3
    def references(self, regions):
        for path, allowed in CODE_PATHS.items():
            self.need(path, "code", allowed, regions)
        for path in sorted(self.files):
            if not path.endswith(".xml"):
                continue
            m = re.fullmatch(r"levels/(\d\d)\.xml", path)
            if m:
                self.level(path, int(m.group(1)), regions)
            elif path.startswith("anim/"):
                allowed = {"loading"} if path == "anim/pirrock_loading.xml" else {"anim"}
                root = self.xml(path)
                for frame in root.iter("frame") if root is not None else []:
                    self.need((frame.text or "").strip(), path, allowed, regions)
            elif re.fullmatch(r"tutorials/\d+\.xml", path):
                # a hint's icon is a tool's icon or one of the HUD's own
                root = self.xml(path)
                for icon in root.iter("icon") if root is not None else []:
                    name = (icon.text or "").strip()
                    image = f"tool_{name}" if name in TOOL_NAMES else f"icon_{name}"
                    self.need(f"images/hud/{image}.png", path, {"game"}, regions)
            elif path == "tiles/ladder.xml":
                root = self.xml(path)
                for tile in root.iter("tile") if root is not None else []:
                    self.need((tile.text or "").strip(), path, {"game"}, regions)
            elif path.startswith("xml/"):
                root = self.xml(path)
                for node in root.iter() if root is not None else []:
                    if node.get("file"):
                        self.need(node.get("file"), path, None, regions)

    def level(self, path, number, regions):
        tiles, back = level_bands(number)
        allowed = {f"tiles{tiles}", f"back{back}", "game", "anim"}
        root = self.xml(path)
        if root is None:
            return
        for item in root.iter("item"):
            target = (item.text or "").strip()
            self.need(target, path, allowed, regions)
            if item.get("type", "").startswith("tiled") and target in self.files:
                tiled = self.xml(target)
                for tile in tiled.iter("tile") if tiled is not None else []:
                    self.need((tile.text or "").strip(), target, allowed, regions)
        code_map = root.findtext("code-map", "").strip()
        self.need(code_map, path, None, regions)

    def hud_numbers(self, rule, wanted, what):
        """The HUD script's layout numbers (its `local NAME, ... = 1, ...` lines); None when one is missing."""
        script = self.host("scripts/hud.lua")
        if script is None:
            return None
        with open(script, encoding="utf-8") as f:
            text = f.read()
        numbers = {}
        for m in re.finditer(r"^local ([A-Z_, ]+) = ([0-9, ]+)$", text, re.M):
            names = [n.strip() for n in m.group(1).split(",")]
            values = [v.strip() for v in m.group(2).split(",")]
            numbers.update(zip(names, (int(v) for v in values)))
        missing = [n for n in wanted if n not in numbers]
        if missing:
            self.report(rule, "scripts/hud.lua", f"{what} numbers {', '.join(missing)} are not set")
            return None
        return numbers

    # rule 10: a declared size is the picture's, so what the level checks take for the HUD's
    # rectangles is what the screen shows
    def areas(self):
        for path in sorted(p for p in self.files if re.fullmatch(r"xml/[^/]+\.xml", p)):
            root = self.xml(path)
            for item in root.iter("item") if root is not None else []:
                for rep in item.findall("representation"):
                    sizes = {o.get("name"): (o.text or "").strip() for o in rep.findall("override")}
                    if "width" not in sizes or "height" not in sizes or "image" not in sizes:
                        continue
                    picture = self.sizes.get(sizes["image"])
                    if picture is not None and picture != (sizes["width"], sizes["height"]):
                        self.report(10, path, f"{item.get('name')} is {sizes['width']}x{sizes['height']}, its picture"
                                              f" {sizes['image']} {picture[0]}x{picture[1]}")

    # rule 8: the pause button takes SLOT at the right; the slots close up to MIN_SLOT apart
    def tool_bar(self):
        numbers = self.hud_numbers(8, BAR_NUMBERS, "the tool bar's")
        if numbers is None:
            return
        for path in sorted(self.files):
            m = re.fullmatch(r"levels/(\d\d)_map\.xml", path)
            root = self.xml(path) if m else None
            if root is None:
                continue
            tools = {int(item.text) for item in root.iter("item") if (item.text or "").strip().isdigit()} & TOOL_CODES
            hint = f"tutorials/{int(m.group(1))}.xml" in self.files
            room = numbers["SCREEN_W"] - numbers["SLOT"] - (numbers["GOTIT_W"] if hint else 0)
            if len(tools) * numbers["MIN_SLOT"] > room:
                self.report(8, path, f"{len(tools)} tools take {len(tools) * numbers['MIN_SLOT']} pixels of the tool bar,"
                            f" {room} are free" + (" beside Got it" if hint else ""))

    # rule 9: the counters pack leftwards from FRUIT_RIGHT, each kind's picture and its most digits
    def fruit_counters(self):
        numbers = self.hud_numbers(9, FRUIT_NUMBERS, "the fruit counters'")
        font = self.xml("fonts/hud.xml") if "fonts/hud.xml" in self.files else None
        if numbers is None or font is None:
            return
        digits = [int(c.get("width", "0")) for c in font.iter("char") if c.get("code", "").isdigit()
                  and 48 <= int(c.get("code")) <= 57]
        if len(digits) != 10 or max(digits) > numbers["DIGIT_W"]:
            self.report(9, "fonts/hud.xml", f"its digits are {max(digits, default=0)} pixels wide, the HUD leaves"
                        f" {numbers['DIGIT_W']}" if digits else "it has no digits")
            return
        if numbers["FRUIT_RIGHT"] > numbers["SCREEN_W"]:
            self.report(9, "scripts/hud.lua", "the fruit counters end beyond the screen's edge")
        score_end = numbers["SCORE_X"] + numbers["SCORE_DIGITS"] * numbers["DIGIT_W"]
        for path in sorted(self.files):
            m = re.fullmatch(r"levels/(\d\d)_map\.xml", path)
            root = self.xml(path) if m else None
            if root is None:
                continue
            codes = [int(item.text) for item in root.iter("item") if (item.text or "").strip().isdigit()]
            counts = [codes.count(code) for code in FRUIT_CODES if code in codes]
            width = sum(numbers["FRUIT_ICON"] + numbers["FRUIT_GAP"] + len(str(count)) * numbers["DIGIT_W"]
                        for count in counts) + numbers["FRUIT_SPACE"] * max(0, len(counts) - 1)
            if counts and numbers["FRUIT_RIGHT"] - width < score_end:
                self.report(9, path, f"its fruit counters take {width} pixels from {numbers['FRUIT_RIGHT']} and"
                            f" reach the score's room, which ends at {score_end}")

    # rule 4
    def animations(self):
        for name, required in [("pirrock_game", [a for a, _ in HERO_ANIMS])] + list(ITEM_ANIMS.items()):
            path = f"anim/{name}.xml"
            root = self.xml(path) if path in self.files else None
            if root is None:
                continue
            default_fps = root.get("default-fps")
            anims = root.findall("animation")
            names = [a.get("name") for a in anims]
            for anim in anims:
                fps = anim.get("fps", default_fps)
                if not (fps or "").isdigit() or int(fps) <= 0:
                    self.report(4, path, f"animation {anim.get('name')} has no positive fps")
                if not anim.findall("frame"):
                    self.report(4, path, f"animation {anim.get('name')} has no frame")
            for anim in required:
                if anim not in names:
                    self.report(4, path, f"has no animation {anim}")
            if name == "pirrock_game":
                if names[:1] != ["waiting"]:
                    self.report(4, path, "the first animation must be waiting")
                loops = {a.get("name"): a.get("loop", root.get("default-loop")) for a in anims}
                for anim, loop in HERO_ANIMS:
                    if anim in loops and (loops[anim] in ("true", "yes", "1")) != loop:
                        self.report(4, path, f"animation {anim} must {'' if loop else 'not '}loop")
            if name == "fire_extinguisher" and anims and anims[0].get("loop", root.get("default-loop")) != "false":
                self.report(4, path, "its first animation must not loop")

    # rule 5
    def texts(self, regions):
        languages = {p: self.xml(p) for p in sorted(self.files) if re.fullmatch(r"l10n/\w+\.xml", p)}
        strings = {}
        for path, root in languages.items():
            strings[path] = {s.get("id"): s.text or "" for s in root.iter("string")} if root is not None else {}
            for sid, text in strings[path].items():
                if BAD_TEXT & set(text):
                    self.report(5, path, f"{sid} holds one of & < > \"")
        used = set()
        for path in sorted(self.files):
            if re.fullmatch(r"tutorials/\d+\.xml", path):
                root = self.xml(path)
                for node in root.iter("text") if root is not None else []:
                    used.add(((node.text or "").strip(), path))
            elif path.startswith("scripts/") and path.endswith(".lua"):
                with open(self.files[path], encoding="utf-8", errors="replace") as f:
                    used |= {(i, path) for i in re.findall(r"\"(IDS_\w+)\"", f.read())}
            elif path.startswith("xml/") and path.endswith(".xml"):
                root = self.xml(path)
                for node in root.iter() if root is not None else []:
                    for attr in ("text", "override"):
                        if (node.get(attr) or "").startswith("IDS_"):
                            used.add((node.get(attr), path))
        for path in sorted(self.files):
            m = re.fullmatch(r"levels/(\d\d)\.xml", path)
            if m:
                used.add((f"IDS_LEVEL_{int(m.group(1))}", path))
        for sid, where in sorted(used):
            for language, table in strings.items():
                if sid not in table:
                    self.report(5, where, f"text {sid} is missing from {language}")
        for font in TEXT_FONTS:
            path = f"fonts/{font}.xml"
            if path not in self.files:
                self.report(2, "texts", f"{path} does not exist")
                continue
            root = self.xml(path)
            widths = {int(c.get("code")): int(c.get("width", "0")) for c in root.iter("char")
                      if (c.get("code") or "").isdigit() and (c.get("width") or "").isdigit()} \
                if root is not None else {}
            codes = set(widths)
            if font == "body":
                self.tutorial_lengths(strings, widths)
            for language, table in strings.items():
                for sid, text in sorted(table.items()):
                    missing = sorted({c for c in text if ord(c) not in codes})
                    if missing:
                        self.report(5, language, f"{sid}: {path} lacks {' '.join('U+%04X' % ord(c) for c in missing)}")

    def tutorial_lengths(self, strings, widths):
        """Tutorial hints fit their panel: at most 3 lines of the 440-pixel text area."""
        for language, table in strings.items():
            for sid, text in sorted(table.items()):
                if not sid.startswith("IDS_TUT_"):
                    continue
                lines, width = 1, 0
                for word in text.split(" "):
                    w = sum(widths.get(ord(c), 0) for c in word)
                    space = widths.get(32, 0) if width else 0
                    if width and width + space + w > TUTORIAL_WIDTH:
                        lines, width = lines + 1, w
                    else:
                        width += space + w
                if lines > TUTORIAL_LINES:
                    self.report(5, language, f"{sid} takes {lines} lines of the tutorial panel, at most {TUTORIAL_LINES}")

    # rule 6
    def keys(self, required, source):
        path = "config/defaults.xml"
        if path not in self.files:
            self.report(6, path, "the defaults file is missing")
            return
        root = self.xml(path)
        if root is None:
            return
        defaults = {}

        def walk(node, prefix):
            for child in node:
                name = child.get("name", "")
                full = (prefix + "/" + name).replace("//", "/") if prefix else name
                if child.tag == "node":
                    walk(child, full)
                elif child.tag == "key":
                    defaults[full.lstrip("/")] = (child.get("type"), (child.text or "").strip())
        walk(root, "")
        for key, (kind, text) in defaults.items():
            if kind == "int" and re.fullmatch(r"[-+]?0\d+", text):
                self.report(6, path, f"{key} is written with a leading zero ({text})")
        wanted = dict(required)
        for key, kind in scan_source(source).items():
            wanted.setdefault(key, kind)
        for key, kind in sorted(wanted.items()):
            full = key if key.startswith("quor/") else "quor/" + key
            if full not in defaults:
                self.report(6, path, f"no default for {key} ({kind})")
            elif defaults[full][0] != kind:
                self.report(6, path, f"{key} is {defaults[full][0]}, the code reads {kind}")


    # rule 7
    def audio(self):
        for path in sorted(self.files):
            if not (path.startswith(("sfx/", "music/"))):
                continue
            with open(self.files[path], "rb") as f:
                head = f.read(64)
            # the first Ogg page holds the Vorbis identification header: channels, then the rate
            at = head.find(b"\x01vorbis")
            if not path.endswith(".ogg") or not head.startswith(b"OggS") or at < 0 or len(head) < at + 16:
                self.report(7, path, "is not Ogg Vorbis")
                continue
            channels = head[at + 11]
            rate = int.from_bytes(head[at + 12:at + 16], "little")
            if channels != 1 or rate != 22050:
                self.report(7, path, f"is {channels} channels at {rate} Hz, not mono at 22050 Hz")


def level_bands(number):
    for last, tiles, back in ((3, 1, 1), (6, 2, 2), (8, 3, 3), (10, 4, 4), (15, 5, 1), (20, 6, 5), (25, 5, 1), (30, 6, 5)):
        if number <= last:
            return tiles, back
    return 0, 0


def read_required(path):
    keys = {}
    if path:
        with open(path) as f:
            for line in f:
                words = line.split("#")[0].split()
                if len(words) == 2:
                    keys[words[0]] = words[1]
    return keys


def scan_source(source):
    """Settings the program's code reads or writes by a literal name, with the type it uses."""
    found = {}
    if not source:
        return found
    call = re.compile(r"\b(?:Get|Set|ReadStored)(Int|Bool|String)\(\s*\"([^\"]+)\"")
    for layer in ("engine", "platform", "framework", "graphics", "audio", "gui", "scene", "game", "console", "app"):
        for folder, dirs, names in os.walk(os.path.join(source, layer)):
            for name in sorted(names):
                if not name.endswith((".cpp", ".h")):
                    continue
                with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
                    for kind, key in call.findall(f.read()):
                        # A name ending in "/" starts a family completed at run time.
                        if key.endswith("/"):
                            continue
                        if key.startswith("/quor/"):
                            key = key[len("/quor/"):]
                        elif key.startswith("/"):
                            continue
                        found.setdefault(key, kind.lower())
    return found


def main(argv):
    args = argv[1:]
    options = {}
    while len(args) >= 3 and args[-2] in ("--keys", "--source"):
        options[args[-2]] = args[-1]
        args = args[:-2]
    if len(args) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    lint = Lint(args[0])
    lint.collect()
    regions = lint.atlases()
    lint.references(regions)
    lint.animations()
    lint.texts(regions)
    lint.keys(read_required(options.get("--keys")), options.get("--source"))
    lint.audio()
    lint.tool_bar()
    lint.fruit_counters()
    lint.areas()
    for finding in lint.findings:
        print("contentlint: " + finding, file=sys.stderr)
    return 1 if lint.findings else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
