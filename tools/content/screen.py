"""The screen a level is played on, as the content makes it: where the camera frames the hero (the
"constants/" settings of config/defaults.xml) and what the HUD lays over the level (the top bar
and the hint panel of xml/hud.xml, the tool bar and the hint arrow of scripts/hud.lua). The level
checks hold cells, items and the hero to it; nothing here repeats a number the content holds."""
import math
import os
import re
import xml.etree.ElementTree as ET

CELL = 48
# The device's screen in pixels, and the focal length of its 60-degree camera on it.
SCREEN_W, SCREEN_H = 800, 480
FOCAL = SCREEN_H / 2 / math.tan(math.radians(30))
CONTENT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "content"))
DEFAULTS = os.path.join(CONTENT, "platform", "config", "defaults.xml")
HUD_LAYOUT = os.path.join(CONTENT, "common", "xml", "hud.xml")
HUD_SCRIPT = os.path.join(CONTENT, "common", "scripts", "hud.lua")
# A cell may stand this far in pixels under a bar: the camera is traced to the unit.
LEEWAY = 1


class ContentError(Exception):
    """A content file that does not say what the screen needs."""


def read_settings(path):
    """{"constants/name": value} of a registry file's int keys, by their path under the root."""
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError) as error:
        raise ContentError(f"{path}: {error}")
    settings = {}

    def walk(node, prefix):
        for child in node:
            name = child.get("name", "")
            if child.tag == "node":
                walk(child, prefix + name.strip("/") + "/")
            elif child.tag == "key" and child.get("type") == "int" and re.fullmatch(r"-?\d+", (child.text or "").strip()):
                settings[prefix + name] = int(child.text)

    for top in root:
        walk(top, "")
    return settings


def read_script_numbers(path):
    """A script's layout numbers: its `local NAME, ... = 1, ...` lines."""
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except OSError as error:
        raise ContentError(f"{path}: {error}")
    numbers = {}
    for m in re.finditer(r"^local ([A-Z_, ]+) = ([0-9., ]+)$", text, re.M):
        names = [n.strip() for n in m.group(1).split(",")]
        values = [float(v) if "." in v else int(v) for v in (v.strip() for v in m.group(2).split(","))]
        numbers.update(zip(names, values))
    return numbers


def read_areas(path):
    """{control name: (left, top, right, bottom)} of the layout's controls whose default
    representation declares its size (the "width" and "height" overrides of an area), placed as
    the GUI places them: a relative item from its parent's place, any other at its own."""
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError) as error:
        raise ContentError(f"{path}: {error}")
    areas = {}

    def walk(item, parent_x, parent_y):
        relative = item.find("relative") is not None
        x = int(item.findtext("x", "0")) + (parent_x if relative else 0)
        y = int(item.findtext("y", "0")) + (parent_y if relative else 0)
        for rep in item.findall("representation"):
            sizes = {o.get("name"): (o.text or "").strip() for o in rep.findall("override")}
            if rep.get("type") == "default" and sizes.get("width", "").isdigit() and sizes.get("height", "").isdigit():
                areas[item.get("name")] = (x, y, x + int(sizes["width"]), y + int(sizes["height"]))
        for child in item.findall("children/item"):
            walk(child, x, y)

    for item in root.iter("layer"):
        for child in item.findall("item"):
            walk(child, 0, 0)
    return areas


def need(table, names, path):
    missing = [name for name in names if name not in table]
    if missing:
        raise ContentError(f"{path}: {', '.join(missing)} not found")
    return [table[name] for name in names]


def overlap(a, b):
    """How far the rectangles a and b reach into each other, in pixels (0 when they do not)."""
    return max(0, min(min(a[2], b[2]) - max(a[0], b[0]), min(a[3], b[3]) - max(a[1], b[1])))


class Screen:
    """The camera's framing and the HUD's rectangles (left, top, right, bottom) in screen pixels.
    settings ({"constants/...": int}) stand in for the defaults' own, as `pirrock-sim --set`."""

    def __init__(self, defaults=DEFAULTS, layout=HUD_LAYOUT, script=HUD_SCRIPT, settings=None):
        constants = read_settings(defaults)
        constants.update(settings or {})
        # the hero's feet this many cells above the screen's foot; the camera's height showing
        # span world units; the hero lead px behind the screen's middle as it runs
        self.framing, self.span, self.lead, self.fps = need(
            constants, ["constants/pirrock_ideal_position_cells/y", "constants/ideal_vertical_span",
                        "constants/tracker_activation_distance", "constants/logic_fps"], defaults)
        self.top_bar, self.panel = need(read_areas(layout), ["topbar", "tut_back"], layout)
        numbers = read_script_numbers(script)
        self.bar_h, self.slot, self.min_slot, self.gotit, self.arrow_w, self.arrow_tip, self.bob = need(
            numbers, ["BAR_H", "SLOT", "MIN_SLOT", "GOTIT_W", "ARROW_W", "ARROW_TIP", "BOB"], script)
        # the camera's height above the level at the framing: where a cell is CELL * scale px
        self.camera_z = self.span / 2 / (SCREEN_H / 2) * FOCAL
        self.scale = FOCAL / self.camera_z

    def tool_bar(self, tools, hint=False):
        """The tool bar's zone for that many tools (and "Got it" while a hint shows), as the
        HUD script lays it out: the pause button, then the slots closing up from SLOT to
        MIN_SLOT apart where that many would not fit; the play state ignores taps in it."""
        room = SCREEN_W - self.slot - (self.gotit if hint else 0)
        pitch = max(self.min_slot, min(self.slot, room // tools)) if tools else self.slot
        width = self.slot + tools * pitch + 4 + (self.gotit if hint else 0)
        return (SCREEN_W - width, SCREEN_H - self.bar_h, SCREEN_W, SCREEN_H)

    @staticmethod
    def pixels(camera):
        """Screen pixels to a world unit of the level through the camera at (cx, cy, cz)."""
        return FOCAL / camera[2] if camera[2] > 0 else 1.0

    def project(self, camera, x, y):
        """The screen point of the world point (x, y) through the camera."""
        k = self.pixels(camera)
        return SCREEN_W / 2 + (x - camera[0]) * k, SCREEN_H / 2 - (y - camera[1]) * k

    def cells(self, level_height, camera, cell, rows=1):
        """(left, top, right, bottom) on the screen of the cell and the rows - 1 below it."""
        left, top = self.project(camera, CELL * cell[0], CELL * (level_height - cell[1]))
        right, bottom = self.project(camera, CELL * (cell[0] + 1), CELL * (level_height - cell[1] - rows))
        return left, top, right, bottom

    def hero(self, camera, position):
        """The hero's body on the screen, its feet at the world point position: 48 px wide and
        56 high, the body of every frame of the hero's pictures."""
        left, top = self.project(camera, position[0] - CELL / 2, position[1] + 56)
        right, bottom = self.project(camera, position[0] + CELL / 2, position[1])
        return left, top, right, bottom

    def arrow(self, cell_box):
        """The hint arrow over a cell as the HUD draws it: its tip at the cell's middle, bobbing
        BOB px up from there."""
        middle_x, middle_y = (cell_box[0] + cell_box[2]) / 2, (cell_box[1] + cell_box[3]) / 2
        return (middle_x - self.arrow_w / 2, middle_y - self.arrow_tip - self.bob, middle_x + self.arrow_w / 2, middle_y)

    def hides_tool(self, box, bar, half):
        """What hides a tool's cell and what it goes on (box: from the top of the tool's cell to
        the foot of the cell below, or of the trap door's lid drawn under its cell; bar: the tool
        bar's zone; half: half a cell on the screen), with how many pixels too far: ("", 0) when
        nothing does. The player must see the tool's cell, where the tap goes, and what it goes
        on: the tool's cell may reach under the top bar by at most its upper half, and must stay
        clear of the tool bar's zone and the screen's foot; of the cell below (the lid), the upper
        half at least must show above them. The camera is traced to the unit: a pixel's leeway."""
        left, top, right, bottom = box
        if top + half < self.top_bar[3] - LEEWAY:
            return "more than half under the top bar", self.top_bar[3] - top - half
        if bottom - half > SCREEN_H + LEEWAY:
            return "more than half off the screen's foot", bottom - half - SCREEN_H
        if right > bar[0] + LEEWAY and bottom - half > bar[1] + LEEWAY:
            return "more than half under the tool bar", bottom - half - bar[1]
        return "", 0

    def covered(self, box, covers):
        """What covers the box, as (what, by how many px) for the deepest cover; ("", 0) when the
        whole box is on the screen and nothing covers it (covers: {what: rectangle})."""
        worst = ("", 0)
        off = max(-box[0], -box[1], box[2] - SCREEN_W, box[3] - SCREEN_H)
        if off > LEEWAY:
            worst = ("off the screen", off)
        for what, rectangle in covers.items():
            by = overlap(box, rectangle) if rectangle else 0
            if by > LEEWAY and by > worst[1]:
                worst = (what, by)
        return worst
