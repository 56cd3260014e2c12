"""Items, ground tiles, obstacles, decor and parallax backgrounds, per band palette."""
import math

from svg import INK, PAPER, TEAL, TEAL_DARK, DANGER, WHITE, Svg, n, shade, wave

BANDS = {
    1: dict(top="#72C94B", top2="#4E9A35", soil="#9A6A3F", soil2="#6E4629", stone="#B9B2A6",
            water=("#8ED3F0", "#3FA7D6", "#1F6F9E"), trunk="#E8E2D6", leaf="#5FAE52", thorn="#7B4E8C", flower="#FFFFFF"),
    2: dict(top="#5FAE52", top2="#3C7A3A", soil="#6B4A2E", soil2="#4A321F", stone="#8E9A7E",
            water=("#8ED3F0", "#3FA7D6", "#1F6F9E"), trunk="#7A5230", leaf="#2F6B3E", thorn="#6A3F7A", flower="#D64545"),
    3: dict(top="#E9D18C", top2="#C9AC62", soil="#C9AC62", soil2="#9E8247", stone="#9FA8A8",
            water=("#8ED3F0", "#3FA7D6", "#1F6F9E"), trunk="#A9774A", leaf="#7DB35A", thorn="#7B4E8C", flower="#F4B0C8"),
    4: dict(top="#D9A441", top2="#B07D2A", soil="#C4683A", soil2="#8E4526", stone="#D9895A",
            water=("#8ED3F0", "#3FA7D6", "#1F6F9E"), trunk="#8A6A4A", leaf="#7A9A4A", thorn="#6E3320", flower="#F4D35E"),
    5: dict(top="#7DCB5E", top2="#56A13E", soil="#8A5634", soil2="#5F3A22", stone="#B9B2A6",
            water=("#8ED3F0", "#3FA7D6", "#1F6F9E"), trunk="#7A5230", leaf="#56A13E", thorn="#9B3B6A", flower="#FF9FB0"),
    6: dict(top="#F7FBFF", top2="#D3E3F0", soil="#6E7E8E", soil2="#55626F", stone="#C9D6E2",
            water=("#A8DDF0", "#6FB6D6", "#4F96B6"), trunk="#6E5A48", leaf="#4E7A6E", thorn="#6FB6D6", flower="#FFFFFF"),
}
BACKS = {
    1: dict(sky=("#7EC8F0", "#E6F6FF"), far="#A8D98F", near="#6DBE55", base="#72C94B"),
    2: dict(sky=("#8FC3D6", "#DCEFE6"), far="#7FAF8A", near="#3F7F4F", base="#3C7A3A"),
    3: dict(sky=("#8CCBEF", "#F4FBFF"), far="#9FCFB5", near="#7DB35A", base="#5E9A48"),
    4: dict(sky=("#F4A86A", "#FCE3C0"), far="#D9895A", near="#B8643A", base="#8E4526"),
    5: dict(sky=("#A9CFEA", "#F2F8FD"), far="#DDE9F4", near="#4E7A6E", base="#D3E3F0"),
}
GROUND = ["top", "top_left", "top_right", "top_single", "fill", "fill_left", "fill_right", "fill_single",
          "slope_up", "slope_down", "water_top", "water_shore_left", "water_shore_right", "water_deep"]
# Winter draws its water as ice (crossed on skates); these are the stretches left open for a boat.
OPEN_WATER = ["open_water_top", "open_water_shore_left", "open_water_shore_right", "open_water_deep"]


def _soil(s, c, x0, x1, seed):
    s.rect(x0, 0, x1 - x0, 48, c["soil"])
    for k in range(3):
        px = 8 + (seed * 13 + k * 17) % 32
        py = 10 + (seed * 7 + k * 11) % 30
        s.ellipse(px, py, 3.5, 2.5, c["soil2"])


# Grass stands this high above the ground's surface, its lowest pixels a darker edge. It lies
# wholly above the surface on flat ground and slopes alike: a tile can reach up out of its cell
# but not down (the rows below are drawn after it), so only grass above the surface can run on
# unbroken from one tile to the next, whatever their shapes.
GRASS, GRASS_EDGE = 16, 4


def _grass(s, c, surface):
    """The grass on the surface y = surface(x) across the tile: teeth 3 pixels deep every 8
    pixels along its upper edge, the same at both sides of every tile, so neighbours meet in the
    same tooth."""
    xs = range(0, 49, 4)
    s.poly([(x, surface(x) - GRASS + (3 if x % 8 == 4 else 0)) for x in xs] + [(48, surface(48)), (0, surface(0))],
           c["top"])
    s.poly([(0, surface(0) - GRASS_EDGE), (48, surface(48) - GRASS_EDGE), (48, surface(48)), (0, surface(0))], c["top2"])


def slope_tile(c, up):
    """A 45-degree slope: soil under the surface, the grass on it."""
    s = Svg(48, 48 + GRASS, 0, GRASS)
    surface = (lambda x: 48 - x) if up else (lambda x: x)
    s.poly([(0, surface(0)), (48, surface(48)), (48, 48) if up else (0, 48)], c["soil"])
    _grass(s, c, surface)
    return s


def ground_tile(band, name):
    c = BANDS[band]
    top = name.startswith("top")
    h = 48 + GRASS if top else 48
    s = Svg(48, h, 0, h - 48)
    left = name.endswith("_left") or name.endswith("_single")
    right = name.endswith("_right") or name.endswith("_single")
    if name.startswith("water") or name.startswith("open_water"):
        frozen = band == 6 and not name.startswith("open_")
        name = name.replace("open_", "")
        w = c["water"] if frozen or band != 6 else BANDS[1]["water"]
        s.rect(0, 0, 48, 48, w[1])
        s.rect(0, 30, 48, 18, w[2])
        if name != "water_deep":
            s.rect(0, 0, 48, 8, w[0])
            if frozen:
                s.path("M6 14 L18 22 L14 34 M30 10 L38 24", None, WHITE, 1.5)
            else:
                s.path("M4 4 Q10 1 16 4 M26 5 Q32 2 38 5", None, WHITE, 1.5)
        if name == "water_shore_left":
            s.rect(0, 0, 6, 48, c["soil"])
        if name == "water_shore_right":
            s.rect(42, 0, 6, 48, c["soil"])
        return s
    if name in ("slope_up", "slope_down"):
        return slope_tile(c, name == "slope_up")
    _soil(s, c, 0, 48, len(name) + band)
    if top:
        _grass(s, c, lambda x: 0)
    if left:
        s.rect(0, 48 - h, 3, h, c["soil2"])
    if right:
        s.rect(45, 48 - h, 3, h, c["soil2"])
    return s


def obstacles(band):
    c = BANDS[band]
    out = {}
    s = Svg(48, 48)
    s.path("M4 46 Q2 22 16 12 Q28 4 40 14 Q48 26 44 46 Z", c["stone"], INK, 2)
    s.path("M12 22 Q20 14 30 16", None, shade(c["stone"], 1.3), 3)
    s.path("M8 44 Q26 38 42 44", None, shade(c["stone"], 0.75), 3)
    if band == 6:
        s.path("M12 14 Q28 2 40 14 Q28 10 12 14 Z", WHITE)
    out["rock"] = s
    s = Svg(64, 40)
    s.rect(4, 14, 52, 22, c["trunk"], INK, 2, r=10)
    s.ellipse(54, 25, 7, 11, shade(c["trunk"], 1.3), INK, 2)
    s.ellipse(54, 25, 3, 5, None, shade(c["trunk"], 0.7), 1.5)
    s.path("M10 20 L40 20 M14 30 L46 30", None, shade(c["trunk"], 0.7), 1.5)
    out["fallen_tree"] = s
    s = Svg(96, 192)
    s.rect(40, 100, 16, 92, shade(c["trunk"], 0.8) if band != 1 else c["trunk"], INK, 2)
    if band in (2, 6):
        for k in range(4):
            y = 10 + k * 26
            s.poly([(48, y), (48 + 22 + k * 6, y + 44), (48 - 22 - k * 6, y + 44)], c["leaf"], INK, 2)
        if band == 6:
            for k in range(4):
                y = 10 + k * 26
                s.poly([(48, y), (56 + k * 2, y + 18), (40 - k * 2, y + 18)], WHITE)
    else:
        s.ellipse(48, 62, 36, 58, c["leaf"], INK, 2)
        s.ellipse(38, 44, 14, 22, shade(c["leaf"], 1.25))
        if band == 5:
            for x, y in ((30, 70), (60, 50), (52, 90), (70, 80)):
                s.circle(x, y, 5, "#D64545", INK, 1.5)
    out["high_tree"] = s
    for name, hang in (("palling", False), ("palling_hanging", True)):
        s = Svg(48, 48)
        s.begin("translate(0 48) scale(1 -1)" if hang else "")
        s.path("M4 48 Q6 26 14 22 Q18 34 24 16 Q30 34 34 22 Q42 26 44 48 Z", c["thorn"], INK, 2)
        for x, y in ((10, 30), (24, 22), (36, 30), (18, 40), (30, 40)):
            s.poly([(x - 3, y + 2), (x, y - 6), (x + 3, y + 2)], WHITE if band == 6 else "#E8D8F0", INK, 1)
        s.end()
        out[name] = s
    w = c["water"]
    frozen = band == 6
    s = Svg(48, 48)
    s.rect(8, 0, 32, 48, w[0] if frozen else w[1])
    s.path("M14 0 L14 48 M24 0 L24 48 M34 0 L34 48", None, WHITE, 2, opacity=0.6)
    out["water_fall_mid"] = s
    s = Svg(48, 48)
    s.rect(2, 0, 44, 10, BANDS[band]["stone"], INK, 2, r=4)
    s.path("M8 10 Q8 26 8 48 L40 48 Q40 26 40 10 Z", w[0] if frozen else w[1])
    if frozen:
        for x in (10, 20, 30, 38):
            s.poly([(x - 3, 10), (x, 24), (x + 3, 10)], WHITE)
    out["water_fall_top"] = s
    s = Svg(48, 48)
    s.rect(8, 0, 32, 30, w[0] if frozen else w[1])
    for x, r in ((8, 9), (20, 11), (32, 10), (42, 7)):
        s.circle(x, 36, r, WHITE if frozen else w[0], INK, 1.5)
    out["water_fall_splash"] = s
    flower = c["flower"]
    s = Svg(20, 24)
    s.line(10, 24, 10, 10, "#3C7A3A", 2)
    for a in range(0, 360, 72):
        s.circle(10 + 4 * math.cos(math.radians(a)), 8 + 4 * math.sin(math.radians(a)), 3, flower)
    s.circle(10, 8, 2.5, "#F4D35E")
    out["decor_flower_a"] = s
    s = Svg(32, 24)
    for x in (8, 22):
        s.line(x, 24, x, 12, "#3C7A3A", 2)
        s.circle(x, 10, 4, flower if band != 2 else "#D9A441")
    out["decor_flower_b"] = s
    for name, blades in (("decor_tuft_a", 5), ("decor_tuft_b", 7)):
        s = Svg(32, 20)
        for k in range(blades):
            x = 4 + k * 24 / (blades - 1)
            s.path(f"M{n(16 + (x - 16) * 0.3)} 20 Q{n(x)} 10 {n(x + (k - blades / 2) * 1.5)} {n(4 + (k % 2) * 4)}", None,
                   c["top2"] if band != 6 else "#D3E3F0", 2.5)
        out[name] = s
    s = Svg(24, 14)
    s.ellipse(12, 9, 11, 5, c["stone"], INK, 1.5)
    out["decor_stone"] = s
    out.update(_band_decor(band, c))
    return out


def _band_decor(band, c):
    """Decor that says which band this is, in place of the meadow's flowers and stones."""
    out = {}
    if band == 2:  # mushrooms
        for name, caps in (("decor_flower_a", ((12, 0),)), ("decor_flower_b", ((9, 2), (23, 0)))):
            s = Svg(32, 24)
            for x, dy in caps:
                s.rect(x - 2, 12 + dy, 4, 12 - dy, "#F1DDB4", INK, 1)
                s.path(f"M{x - 8} {14 + dy} Q{x} {2 + dy} {x + 8} {14 + dy} Z", "#D64545", INK, 1.5)
                s.circle(x - 3, 10 + dy, 1.3, WHITE).circle(x + 3, 9 + dy, 1.1, WHITE)
            out[name] = s
    elif band == 3:  # cattails
        for name, stems in (("decor_flower_a", (10,)), ("decor_flower_b", (8, 20))):
            s = Svg(32, 32)
            for x in stems:
                s.line(x, 32, x, 6, "#5E9A48", 2)
                s.rect(x - 2.5, 6, 5, 11, "#7A5230", INK, 1, r=2.5)
            out[name] = s
    elif band == 4:  # a cairn
        s = Svg(24, 24)
        for y, w in ((19, 10), (12, 7), (6, 4.5)):
            s.ellipse(12, y, w, 4, c["stone"], INK, 1.5)
        out["decor_stone"] = s
    elif band == 6:  # small pines
        for name, trees in (("decor_flower_a", ((12, 1.0),)), ("decor_flower_b", ((9, 0.8), (24, 1.0)))):
            s = Svg(32, 32)
            for x, k in trees:
                s.rect(x - 1.5, 26, 3, 6, "#6E5A48")
                s.poly([(x, 32 - 30 * k), (x + 8 * k, 27), (x - 8 * k, 27)], "#4E7A6E", INK, 1.5)
                s.poly([(x, 32 - 30 * k), (x + 3 * k, 32 - 22 * k), (x - 3 * k, 32 - 22 * k)], WHITE)
            out[name] = s
    return out


def ski_hill():
    """The hill the skier rides, in image rows (the image's bottom sits 152 px below the start):
    a parabola from the start (0, 8) down to its lowest point 98 px lower at x 168 and up to the
    lip (288, 56), with a wooden kicker at the lip and snow down to the image bottom."""
    s = Svg(292, 160)

    def surface(x):
        return 106 - 0.0034722 * (x - 168) ** 2

    d = "M0 160 L0 8 " + " ".join(f"L{x} {n(surface(x))}" for x in range(4, 289, 4)) + " L288 160 Z"
    s.path(d, "#D3E3F0")
    s.path("M0 8 " + " ".join(f"L{x} {n(surface(x))}" for x in range(4, 289, 4)), None, "#F7FBFF", 8)
    s.path("M0 8 " + " ".join(f"L{x} {n(surface(x))}" for x in range(4, 289, 4)), None, INK, 2)
    s.poly([(262, surface(262)), (292, 54), (292, 64), (262, surface(262) + 10)], "#A9774A", INK, 2)
    return s


# The far and near strips' tile width. Two tiles side by side with the packer's 2-pixel gap still
# fit a 1024-wide page under the 800 x 480 sky, so each band's backgrounds take one 1024 x 1024
# page (4 MB as a texture) instead of 1024 x 2048. lvlc.py lays the strips out with the same width.
BACK_TILE_WIDTH = 510
# The strips' base continued under them, in tiles narrow enough for two to stand beside the sky on
# the band's one page (the level compiler tiles them in the same sizes).
BACK_FILL_WIDTH, BACK_FILL_HEIGHT = 108, 256


def backgrounds(band):
    b = BACKS[band]
    out = {}
    s = Svg(800, 480)
    s.rect(0, 0, 800, 480, s.linear_gradient("sky", *b["sky"]))
    for x, y, r in ((120, 90, 30), (470, 60, 24), (690, 130, 34)):
        for dx, dr in ((-r, 0.7), (0, 1), (r, 0.75)):
            s.circle(x + dx, y + (1 - dr) * r * 0.6, r * dr, WHITE, opacity=0.85)
    if band == 4:
        s.circle(600, 330, 60, "#FCE3C0", opacity=0.8)
    # below the near strip's opaque base: seen only down a pit, so it continues that base
    s.rect(0, 392, 800, 88, b["near"])
    out["sky"] = s
    W = BACK_TILE_WIDTH
    for layer, color, amp, base in (("far", b["far"], 60, 120), ("near", b["near"], 40, 160)):
        for k in (0, 1):
            s = Svg(W, 256)
            pts = [(x, base - 20 - wave(x + W * k, 2 * W, band + (layer == "near") * 3, amp)) for x in (*range(0, W, 8), W)]
            d = "M0 256 " + " ".join(f"L{x} {n(y)}" for x, y in pts) + f" L{W} 256 Z"
            s.path(d, color)
            s.rect(0, 160, W, 96, color)
            if layer == "far" and band in (2, 5):
                for x in range(16, W, 48):
                    y = base - 20 - wave(x + W * k, 2 * W, band, amp)
                    peak = [(x - 20, y + 30), (x, y - 40), (x + 20, y + 30)]
                    s.poly(peak, shade(color, 0.85) if band == 2 else WHITE)
            if layer == "near":
                for x in range(24, W, 64):
                    y = base - 20 - wave(x + W * k, 2 * W, band + 3, amp)
                    if band in (2, 5):
                        s.poly([(x - 16, y + 40), (x, y - 30), (x + 16, y + 40)], shade(color, 0.8))
                    else:
                        s.circle(x, y + 6, 18, shade(color, 1.15))
            if layer == "far" and band == 1 and k == 0:
                s.rect(300, 60, 12, 50, "#E8E2D6")
                for a in (20, 110, 200, 290):
                    s.line(306, 62, 306 + 26 * math.cos(math.radians(a)), 62 + 26 * math.sin(math.radians(a)), "#8A6A4A", 3)
            out[f"{layer}_{k}"] = s
        # the strip's base continued, tiled under it where the camera sees below the strip
        s = Svg(BACK_FILL_WIDTH, BACK_FILL_HEIGHT)
        s.rect(0, 0, BACK_FILL_WIDTH, BACK_FILL_HEIGHT, color)
        out[f"{layer}_fill"] = s
    return out


def still_items():
    out = {}
    s = Svg(96, 48)
    s.path("M52 34 L86 22 Q92 22 90 28 L56 40 Q50 40 52 34 Z", "#F08A24", INK, 2)
    s.path("M86 22 L92 12 M88 24 L96 18 M86 22 L86 12", None, "#5BB450", 3)
    out["carrot"] = s
    s = Svg(96, 64)
    s.rect(0, 16, 96, 10, "#A9774A", INK, 2)
    for x in range(6, 96, 14):
        s.line(x, 17, x, 25, INK, 1.5)
    s.path("M2 16 Q48 -2 94 16", None, "#8A6A4A", 3)
    s.line(2, 4, 2, 16, "#6E4629", 4).line(94, 4, 94, 16, "#6E4629", 4)
    out["bridge"] = s
    s = Svg(80, 40)
    s.path("M2 14 L78 14 Q72 36 58 36 L18 36 Q6 36 2 14 Z", "#A9774A", INK, 2)
    s.rect(4, 14, 72, 5, "#C8925E")
    out["boat"] = s
    s = Svg(48, 48)
    s.line(24, 4, 24, 46, "#6E4629", 4)
    s.rect(10, 14, 28, 24, DANGER, INK, 2, r=8)
    s.path("M10 24 L38 24", None, PAPER, 4)
    out["parachute"] = s
    s = Svg(48, 32)
    for dx in (0, 20):
        s.path(f"M{4 + dx} 6 L{16 + dx} 6 L{18 + dx} 20 L{24 + dx} 22 L{24 + dx} 26 L{4 + dx} 26 Z", "#3FA7D6", INK, 2)
        s.line(2 + dx, 29, 24 + dx, 29, "#C9D6E2", 2.5)
    out["skates"] = s
    s = Svg(48, 64)
    for x in (16, 30):
        s.rect(x - 4, 4, 8, 58, DANGER, INK, 2, r=4)
    s.rect(6, 40, 36, 6, "#C9D6E2", INK, 1.5)
    out["ski"] = s
    fruit = {"apple": ("#D64545", 14), "cherry": ("#B0203A", 8), "strawberry": ("#E8455A", 13),
             "banana": ("#F4D35E", 0), "watermelon": ("#5BB450", 15)}
    for name, (color, r) in fruit.items():
        s = Svg(48, 48)
        s.circle(24, 25, 20, "#FFF4DC", opacity=0.45)
        if name == "apple":
            s.circle(24, 27, 13, color, INK, 2).ellipse(19, 22, 3, 5, "#F28B8B")
            s.path("M24 14 L26 8", None, "#6E4629", 2.5).ellipse(30, 10, 5, 2.5, "#5BB450", rotate=-20)
        elif name == "cherry":
            s.path("M16 30 Q22 14 30 8 Q30 18 34 30", None, "#3C7A3A", 2)
            s.circle(16, 32, 8, color, INK, 2).circle(33, 32, 8, color, INK, 2)
            s.circle(13, 29, 2, "#F28B8B").circle(30, 29, 2, "#F28B8B")
        elif name == "strawberry":
            s.path("M10 18 Q24 12 38 18 Q36 34 24 42 Q12 34 10 18 Z", color, INK, 2)
            for x, y in ((16, 24), (24, 22), (32, 24), (20, 31), (28, 31), (24, 37)):
                s.circle(x, y, 1.2, "#FFE3B0")
            s.path("M14 17 L24 10 L34 17 L24 15 Z", "#5BB450", INK, 1.5)
        elif name == "banana":
            s.path("M8 16 Q12 40 40 36 Q42 32 38 32 Q18 32 14 14 Z", color, INK, 2)
            s.path("M8 16 L10 12", None, "#6E4629", 3)
        else:
            s.path("M6 20 L42 20 Q42 40 24 42 Q6 40 6 20 Z", color, INK, 2)
            s.path("M10 20 L38 20 Q37 34 24 36 Q11 34 10 20 Z", "#E8455A")
            for x in (16, 24, 32):
                s.ellipse(x, 27, 1.2, 2, INK)
        out[name] = s
    for part in ("top", "middle", "bottom"):
        s = Svg(56, 48)
        top = 10 if part == "top" else 0
        for x in (26, 54):
            s.rect(x - 3, top, 5, 48 - top, "#A9774A", INK, 1.5)
        for y in range(top + 6, 48, 14):
            s.rect(26, y, 28, 4, "#C8925E", INK, 1)
        out[f"ladder/{part}"] = s
    s = Svg(96, 96)
    s.path("M0 96 Q4 40 48 34 Q92 40 96 96 Z", "#72C94B", INK, 2)
    s.path("M26 96 L26 70 Q26 52 48 52 Q70 52 70 70 L70 96 Z", "#8A5A30", INK, 2)
    s.path("M48 52 L48 96 M26 74 L70 74", None, "#6E4629", 2)
    s.circle(62, 78, 2.5, "#F4D35E")
    s.line(80, 46, 80, 64, INK, 2)
    s.rect(74, 60, 12, 14, "#F4D35E", INK, 2, r=3)
    out["exit_burrow"] = s
    return out


def item_animations():
    """anim file name -> (canvas w, h, [(name, fps, loop, [svg maker or None])])."""
    def fire_frame(i, out_level=1.0, steam=0):
        def make(s):
            s.path("M6 70 L42 60 M6 60 L42 70", None, "#6E4629", 6)
            if out_level > 0:
                for k, (x, h) in enumerate(((14, 34), (24, 46), (34, 30))):
                    hh = h * out_level * (1 + 0.12 * math.sin(i * 1.6 + k * 2))
                    sway = 3 * math.sin(i * 1.2 + k)
                    s.path(f"M{x - 8} 64 Q{n(x - 8 + sway)} {n(64 - hh * 0.6)} {n(x + sway)} {n(64 - hh)} "
                           f"Q{n(x + 8 + sway)} {n(64 - hh * 0.6)} {x + 8} 64 Z", "#F08A24", INK, 1.5)
                    s.path(f"M{x - 4} 64 Q{n(x + sway)} {n(64 - hh * 0.7)} {x + 4} 64 Z", "#F4D35E")
            if steam:
                for k in range(3):
                    s.circle(14 + k * 10, 40 - steam * 3 - k * 4, 5 + steam, "#E8E8E8", opacity=max(0.2, 0.9 - steam * 0.1))
        return make

    def none(s):
        pass

    anims = {}
    anims["fire"] = (48, 72, [("burn", 15, True, [fire_frame(i) for i in range(8)]),
                              ("extinguish", 15, False, [fire_frame(i, max(0, 1 - i / 4), i + 1) for i in range(7)] + [None])])

    def door(angle):
        def make(s):
            s.begin(f"rotate({n(angle)} 4 4)")
            s.rect(2, 0, 92, 12, "#A9774A", INK, 2)
            s.line(48, 1, 48, 11, INK, 1)
            s.rect(6, 3, 10, 6, "#55626F")
            s.end()
        return make
    anims["trap_door"] = (96, 48, [("closed", 15, True, [door(0)]),
                                   ("moving", 15, False, [door(a) for a in (10, 25, 45, 65, 80, 90)])])

    def snare(open_amount):
        def make(s):
            s.rect(4, 40, 40, 6, "#8A6A4A", INK, 2)
            a = 55 * open_amount
            for side in (-1, 1):
                s.begin(f"rotate({n(side * a)} {24 + side * 18} 42)")
                s.path(f"M24 42 L{24 + side * 18} 42 L{24 + side * 18} 22 Q{24 + side * 10} 18 24 22 Z", "#A9774A", INK, 2)
                s.end()
            s.circle(24, 40, 4, "#C9D6E2", INK, 1.5)
        return make
    anims["snare"] = (48, 48, [("open", 15, True, [snare(1)]),
                               ("trapping", 15, False, [snare(v) for v in (0.8, 0.5, 0.2, 0, 0)])])

    def pusher(i):
        def make(s):
            s.rect(6, 8, 8, 56, "#8A6A4A", INK, 2)
            squeeze = 2 * math.sin(i * math.pi / 2)
            for k in range(4):
                y = 24 + k * 6
                s.path(f"M14 {y} Q{n(24 + squeeze)} {y - 3} {n(30 + squeeze)} {y}", None, "#C9D6E2", 2.5)
            s.ellipse(36 + squeeze, 33, 8, 16, DANGER, INK, 2)
        return make
    anims["pusher"] = (48, 64, [("idle", 10, True, [pusher(i) for i in range(4)])])

    def extinguisher(i, count, sputter=False):
        def make(s):
            s.rect(6, 20, 18, 40, DANGER, INK, 2, r=6)
            s.rect(10, 12, 10, 10, "#55626F", INK, 1.5)
            s.path("M20 16 L34 16", None, INK, 3)
            s.rect(8, 34, 14, 8, PAPER)
            if not sputter:
                reach = min(1.0, (i + 1) / 4) * (1 if i < count - 3 else (count - i) / 3)
                for k in range(5):
                    x = 36 + k * 20 * reach
                    s.circle(x, 18 + k * 5 + 2 * math.sin(i + k), 5 + k * 2.5 * reach, WHITE, INK, 1, opacity=0.85)
            else:
                s.circle(38 + i * 2, 16 - i, 3, WHITE, INK, 1)
        return make
    anims["fire_extinguisher"] = (144, 64, [("spray", 15, False, [extinguisher(i, 12) for i in range(12)]),
                                            ("extinguish", 15, False, [extinguisher(i, 6, True) for i in range(6)])])

    def trampoline(depth):
        def make(s):
            s.line(16, 30, 8, 46, INK, 4).line(80, 30, 88, 46, INK, 4)
            s.path(f"M12 30 Q48 {n(30 + depth)} 84 30", None, INK, 8)
            s.path(f"M12 30 Q48 {n(30 + depth)} 84 30", None, DANGER, 5)
            s.rect(10, 28, 76, 4, PAPER, opacity=0.9) if depth == 0 else None
        return make
    anims["trampoline"] = (96, 48, [("idle", 15, True, [trampoline(0)]),
                                    ("ejecting", 15, False, [trampoline(d) for d in (10, 16, -8, 4, -2, 0)])])

    def dryer(i):
        def make(s):
            s.line(20, 30, 20, 46, INK, 4).line(10, 46, 30, 46, INK, 4)
            s.path("M4 10 Q4 0 18 0 L30 0 Q40 0 40 12 Q40 24 28 24 L18 24 Q4 24 4 10 Z", TEAL, INK, 2)
            s.rect(38, 7, 14, 10, TEAL_DARK, INK, 2)
            for k in range(3):
                x = 56 + ((i * 8 + k * 12) % 36)
                s.path(f"M{x} {8 + k * 4} Q{x + 6} {4 + k * 4} {x + 12} {8 + k * 4}", None, WHITE, 2, opacity=0.8)
        return make
    anims["hair_dryer"] = (96, 48, [("blow", 15, True, [dryer(i) for i in range(4)])])
    return anims
