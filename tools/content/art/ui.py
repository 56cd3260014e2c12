"""HUD, menus, level select, splash, the studio mark and the debug cell."""
import math

import hero
import world
from svg import INK, PAPER, PAPER_SHADE, TEAL, TEAL_DARK, DANGER, GO, DISABLED, WHITE, Svg, n, star_points

TOOLS = ["pusher", "carrot", "bridge", "fire_extinguisher", "trampoline", "hair_dryer", "boat", "ladder",
         "parachute", "skates", "ski"]


def panel(w, h, fill=PAPER, radius=18, opacity=None):
    s = Svg(w, h)
    s.rect(2, 6, w - 4, h - 8, PAPER_SHADE, r=radius, opacity=opacity)
    s.rect(2, 2, w - 4, h - 8, fill, INK, 3, r=radius, opacity=opacity)
    return s


def button(w, h, pressed, color=TEAL):
    s = Svg(w, h)
    drop = 0 if pressed else 5
    s.rect(2, 7, w - 4, h - 9, TEAL_DARK if color == TEAL else INK, r=h / 3)
    s.rect(2, 2 + (5 - drop), w - 4, h - 9, color, INK, 2.5, r=h / 3)
    s.rect(12, 8 + (5 - drop), w - 24, 5, WHITE, r=2.5, opacity=0.35)
    return s


def _scaled(src, size, target):
    """Another image's SVG drawn into a target square of side target."""
    s = Svg(target, target)
    k = target / size
    s.begin(f"scale({n(k)})")
    s.parts.extend(src.parts[1:])
    s.end()
    return s


def tool_icon(name, items, anim_first):
    s = Svg(56, 56)
    s.circle(28, 28, 26, PAPER, INK, 2)
    art = {"carrot": ("carrot", 96, 48, -40, 4), "bridge": ("bridge", 96, 64, -4, 10), "boat": ("boat", 80, 40, 0, 14),
           "parachute": ("parachute", 48, 48, 4, 4), "skates": ("skates", 48, 32, 4, 12), "ski": ("ski", 48, 64, 8, 2),
           "ladder": ("ladder/middle", 56, 48, -10, 4)}
    if name == "trampoline":
        # the item itself is a flat mat, a thin line at this size: a short mat on its legs and the
        # bounce it gives say more
        s.line(17, 34, 11, 46, INK, 4).line(39, 34, 45, 46, INK, 4)
        s.path("M11 34 Q28 42 45 34", None, INK, 8).path("M11 34 Q28 42 45 34", None, DANGER, 5)
        s.path("M28 27 L28 9 M20 16 L28 8 L36 16", None, INK, 7).path("M28 27 L28 9 M20 16 L28 8 L36 16", None, TEAL, 3.5)
    elif name in art:
        key, w, h, dx, dy = art[name]
        k = 44 / max(w, h) if name not in ("carrot", "ladder") else 0.8
        s.begin(f"translate({n(6 + dx * k)} {n(6 + dy * k)}) scale({n(k)})")
        s.parts.extend(items[key].parts[1:])
        s.end()
    else:
        make, w, h = anim_first[name]
        # wide pictures are shown by their tool's end: the canister, not its whole spray
        k, focus = {"fire_extinguisher": (0.75, 36)}.get(name, (44 / max(w, h), w / 2))
        s.begin(f"translate({n(28 - focus * k)} {n(28 - h * k / 2)}) scale({n(k)})")
        make(s)
        s.end()
    return s


def hud(items, anim_first):
    out = {}
    for name, ring, fill in (("slot", INK, PAPER), ("slot_selected", TEAL, PAPER), ("slot_empty", "#8A8285", DISABLED)):
        s = Svg(72, 72)
        s.rect(3, 3, 66, 66, fill, ring, 6 if name == "slot_selected" else 3, r=14, opacity=0.95)
        out[name] = s
    for t in TOOLS:
        out[f"tool_{t}"] = tool_icon(t, items, anim_first)
    s = Svg(24, 24)
    s.circle(12, 12, 10.5, DANGER, INK, 2)
    out["badge"] = s
    for pressed in (False, True):
        s = button(72, 72, pressed)
        y = 5 if pressed else 0
        s.rect(24, 20 + y, 8, 26, WHITE, r=2).rect(40, 20 + y, 8, 26, WHITE, r=2)
        out["pause_pressed" if pressed else "pause"] = s
        s = button(128, 72, pressed, GO)
        y = 5 if pressed else 0
        s.path(f"M44 {34 + y} L58 {48 + y} L84 {22 + y}", None, WHITE, 8)
        out["gotit_pressed" if pressed else "gotit"] = s
        out["btn_pressed" if pressed else "btn"] = button(180, 56, pressed)
    s = Svg(32, 32)
    s.circle(16, 17, 13, PAPER, INK, 2.5).path("M16 17 L16 9 M16 17 L22 20", None, INK, 2.5)
    out["clock"] = s
    s = Svg(32, 32)
    s.path("M16 28 L4 15 Q0 6 9 5 Q14 5 16 10 Q18 5 23 5 Q32 6 28 15 Z", DANGER, INK, 2)
    out["heart"] = s
    # the score: a cup, not to be read as a number that goes with the clock beside it
    s = Svg(32, 32)
    s.path("M7 4 L25 4 L24 14 Q23 21 16 21 Q9 21 8 14 Z", "#F4D35E", INK, 2)
    s.path("M8 7 Q2 7 3 12 Q4 16 9 16 M24 7 Q30 7 29 12 Q28 16 23 16", None, INK, 2)
    s.rect(14, 20, 4, 6, "#C9A227", INK, 1.5).rect(9, 25, 14, 5, "#C9A227", INK, 2, r=1.5)
    out["score"] = s
    for f in ("apple", "cherry", "strawberry", "banana", "watermelon"):
        s = Svg(32, 32)
        s.begin("scale(0.6667)")
        s.parts.extend(items[f].parts[1:])
        s.end()
        out[f"fruit_{f}"] = s
    # an opaque band: nothing of the level shows through the read-outs
    s = Svg(800, 44)
    s.rect(0, 0, 800, 40, PAPER).rect(0, 40, 800, 4, PAPER_SHADE)
    out["topbar"] = s
    out["panel_tutorial"] = panel(560, 112)
    out["panel_result"] = panel(480, 340)
    out["panel_small"] = panel(420, 200)
    s = Svg(40, 56)
    s.path("M12 2 L28 2 L28 30 L38 30 L20 54 L2 30 L12 30 Z", "#F4D35E", INK, 2.5)
    out["arrow_down"] = s
    for name in ("fruit", "exit", "tilt", "trap", "fall", "tools"):
        s = Svg(64, 64)
        s.circle(32, 32, 30, PAPER, INK, 2)
        if name == "fruit":
            s.begin("translate(8 8)"), s.parts.extend(items["apple"].parts[1:]), s.end()
        elif name == "exit":
            s.begin("translate(8 10) scale(0.5)"), s.parts.extend(items["exit_burrow"].parts[1:]), s.end()
        elif name == "tilt":
            s.rect(14, 22, 36, 22, TEAL, INK, 2.5, r=4)
            s.path("M10 16 Q32 4 54 16", None, INK, 2.5).poly([(54, 16), (46, 16), (52, 10)], INK)
        elif name == "trap":
            # a trap door: ground on both sides, the lid swung down into the dark pit between
            s.rect(6, 34, 16, 20, "#9A6A3F", INK, 2).rect(42, 34, 16, 20, "#9A6A3F", INK, 2)
            s.rect(22, 36, 20, 18, "#3A2A22")
            s.poly([(22, 34), (27, 33), (33, 52), (28, 54)], "#C8955A", INK, 2)
            s.path("M34 14 L34 28 M28 23 L34 29 L40 23", None, DANGER, 3.5)
        elif name == "fall":
            s.rect(8, 40, 20, 16, "#9A6A3F", INK, 2).path("M40 14 L40 48 M32 40 L40 50 L48 40", None, DANGER, 4)
        else:
            # a slot of the tool bar as the bar shows it, the trampoline in it, with its stock badge
            # showing 1 (a lone plank in the slot read as a minus sign)
            s.rect(9, 17, 38, 36, PAPER, INK, 2.5, r=7)
            s.begin("translate(10.6 17.6) scale(0.62)")
            s.parts.extend(tool_icon("trampoline", items, anim_first).parts[2:])
            s.end()
            s.circle(45, 18, 10, DANGER, INK, 2).path("M42.5 14 L46 12 L46 25", None, WHITE, 3)
        out[f"icon_{name}"] = s
    s = Svg(32, 32)
    s.poly(star_points(16, 17, 14, 6), "#F4D35E", INK, 2)
    out["star"] = s
    return out


def hero_at(s, x, y, scale, p, props=()):
    s.begin(f"translate({n(x)} {n(y)}) scale({n(scale)})")
    hero.draw_frame(s, dict(p), list(props))
    s.end()


def landscape(s, w, h, band, seed=0):
    b = world.BACKS[band]
    s.rect(0, 0, w, h, s.linear_gradient(f"sky{band}{seed}", *b["sky"]))
    from svg import wave
    for color, base, amp, sd in ((b["far"], h * 0.55, 50, band), (b["near"], h * 0.72, 30, band + 3)):
        pts = [(x, base - wave(x + seed * 97, 1024, sd, amp)) for x in range(0, w + 1, 8)]
        s.path(f"M0 {h} " + " ".join(f"L{x} {n(y)}" for x, y in pts) + f" L{w} {h} Z", color)


BLEND_STOPS = 48


def blend(colours, weights):
    """The weighted mean of "#RRGGBB" colours."""
    total = sum(weights)
    rgb = [sum(int(c[i:i + 2], 16) * w for c, w in zip(colours, weights)) / total for i in (1, 3, 5)]
    return "#" + "".join(f"{round(v):02X}" for v in rgb)


def panorama(s, w, h, bands, name, dusk=False):
    """Several bands' landscapes as one: colours blend from band to band across the width."""
    from svg import wave
    centres = [(k + 0.5) / len(bands) for k in range(len(bands))]

    def across(key, index=None):
        # Each band's colour weighs in by a bell around its centre. A straight blend between the
        # centres changes slope at each of them, and the eye sees every such crease as a hard
        # vertical stripe down the hills.
        colours = [world.BACKS[band][key] if index is None else world.BACKS[band][key][index] for band in bands]
        width = 0.8 / len(bands)
        stops = []
        for step in range(BLEND_STOPS + 1):
            x = step / BLEND_STOPS
            weights = [math.exp(-((x - c) / width) ** 2) for c in centres]
            stops.append((x, blend(colours, weights), 1))
        return s.gradient(f"{name}_{key}{index}", stops, horizontal=True)
    s.rect(0, 0, w, h, across("sky", 0))
    s.rect(0, 0, w, h, s.gradient(f"{name}_haze", [(0, WHITE, 0), (1, WHITE, 0.75)]))
    for key, base, amp, seed in (("far", h * 0.55, 50, 1), ("near", h * 0.72, 30, 4)):
        pts = [(x, base - wave(x, 1600, seed, amp)) for x in range(0, w + 1, 8)]
        s.path(f"M0 {h} " + " ".join(f"L{x} {n(y)}" for x, y in pts) + f" L{w} {h} Z", across(key))
    if dusk:
        s.rect(0, 0, w, h, s.gradient(f"{name}_dusk", [(0, "#2B1E4F", 0.45), (1, "#F4A86A", 0.15)]))


def logo(s, cx, y, scale):
    """'Brashwick' as rounded strokes: a hand-lettered word without any font, centred on cx."""
    letters = {
        "B": "M0 0 L0 40 M0 0 Q20 0 20 10 Q20 20 0 20 Q24 20 24 30 Q24 40 0 40",
        "r": "M0 14 L0 40 M0 22 Q6 12 16 14",
        "a": "M18 16 Q0 10 0 28 Q0 40 12 40 Q18 40 18 30 M18 14 L18 40",
        "s": "M16 16 Q2 12 2 20 Q2 26 10 27 Q18 28 18 34 Q18 42 2 38",
        "h": "M0 0 L0 40 M0 24 Q6 14 14 16 Q18 18 18 26 L18 40",
        "w": "M0 14 L6 40 L12 22 L18 40 L24 14",
        "i": "M2 16 L2 40 M2 4 L2 6",
        "c": "M18 18 Q2 10 2 28 Q2 44 18 38",
        "k": "M0 0 L0 40 M16 14 L2 28 L18 40",
    }
    widths = {"B": 30, "r": 22, "a": 26, "s": 24, "h": 26, "w": 32, "i": 12, "c": 24, "k": 24}
    # The strokes span from the B's stem at 0 to the k's right end, 18 into its cell.
    span = sum(widths[ch] for ch in "Brashwic") + 18
    s.begin(f"translate({n(cx - span * scale / 2)} {n(y)}) scale({n(scale)})")
    for stroke, color in ((16, INK), (9, "#F6B561")):
        cx = 0
        for ch in "Brashwick":
            s.add(f'<path d="{letters[ch]}" transform="translate({cx} 0)" fill="none" stroke="{color}" '
                  f'stroke-width="{stroke}" stroke-linecap="round" stroke-linejoin="round"/>')
            cx += widths[ch]
    s.end()


def menu(items):
    out = {}
    s = Svg(800, 480)
    landscape(s, 800, 480, 1)
    s.rect(0, 400, 800, 80, "#72C94B")
    # the waving pirrock stands on the main menu alone (pirrock_hello), not behind every dialog
    out["bg"] = s
    s = Svg(520, 150)
    logo(s, 260, 30, 1.9)
    out["logo"] = s
    for pressed in (False, True):
        out["btn_pressed" if pressed else "btn"] = button(260, 64, pressed)
        # the developer screen's switches say their state beside their name
        out["btn_wide_pressed" if pressed else "btn_wide"] = button(420, 64, pressed)
        out["btn_round_pressed" if pressed else "btn_round"] = button(72, 72, pressed)
    icons = {
        "sound_on": "M10 18 L18 18 L28 8 L28 40 L18 30 L10 30 Z M34 16 Q40 24 34 32",
        "sound_off": "M10 18 L18 18 L28 8 L28 40 L18 30 L10 30 Z M34 18 L42 30 M42 18 L34 30",
        "music_on": "M18 36 L18 10 L38 6 L38 32 M18 36 Q12 42 8 36 M38 32 Q32 38 28 32",
        "music_off": "M18 36 L18 10 L38 6 L38 32 M18 36 Q12 42 8 36 M38 32 Q32 38 28 32 M6 6 L42 42",
        "language": "M24 6 Q38 6 40 24 Q38 42 24 42 Q10 42 8 24 Q10 6 24 6 M8 24 L40 24 M24 6 Q16 24 24 42 M24 6 Q32 24 24 42",
        "info": "M24 20 L24 38 M24 10 L24 12",
        "back": "M34 24 L12 24 M22 14 L12 24 L22 34",
        "exit": "M28 10 L10 10 L10 38 L28 38 M20 24 L42 24 M34 16 L42 24 L34 32",
    }
    for name, d in icons.items():
        s = Svg(48, 48)
        s.path(d, None, INK, 7).path(d, None, WHITE, 3.5)
        out[name] = s
    out["panel"] = panel(600, 380)
    s = Svg(200, 200)
    # The rig's planted feet reach the foot of its 64-pixel canvas: lifted so they stay inside.
    hero_at(s, 4, -10, 3, hero.pose(arms=(160, -20)))
    out["pirrock_hello"] = s
    return out


def level_select():
    out = {}
    for page, bands in ((1, (1, 2, 3, 4)), (2, (1, 1, 5, 5)), (3, (1, 5, 5, 1))):
        s = Svg(800, 480)
        panorama(s, 800, 480, bands, f"page{page}", dusk=page == 3)
        s.path("M40 420 Q200 300 400 380 Q600 460 760 300", None, "#F1DDB4", 14, opacity=0.9)
        out[f"page_{page}"] = s
    for name in ("lvl_locked", "lvl_open", "lvl_won", "lvl_perfect"):
        s = Svg(96, 96)
        if name == "lvl_locked":
            s.path("M32 44 L32 32 Q32 16 48 16 Q64 16 64 32 L64 44", None, INK, 7)
            s.rect(24, 42, 48, 40, "#C8BFAF", INK, 3, r=8).circle(48, 60, 5, INK)
        else:
            s.line(48, 30, 48, 92, "#6E4629", 7)
            s.path("M14 20 L74 20 L86 36 L74 52 L14 52 Z", "#A9774A", INK, 3)
            if name == "lvl_won":
                s.path("M60 66 L70 76 L90 54", None, GO, 7)
            if name == "lvl_perfect":
                s.poly(star_points(74, 70, 18, 8), "#F4D35E", INK, 2.5)
        out[name] = s
    for name, d in (("arrow_left", "M42 12 L20 32 L42 52"), ("arrow_right", "M22 12 L44 32 L22 52")):
        s = Svg(64, 64)
        s.circle(32, 32, 29, PAPER, INK, 3).path(d, None, TEAL, 7)
        out[name] = s
    s = button(72, 72, False)
    s.path("M46 36 L24 36 M34 26 L24 36 L34 46", None, WHITE, 6)
    out["btn_back"] = s
    for name, fill in (("dot", DISABLED), ("dot_active", TEAL)):
        s = Svg(16, 16)
        s.circle(8, 8, 6.5, fill, INK, 1.5)
        out[name] = s
    s = Svg(32, 32)
    s.path("M16 28 L4 15 Q0 6 9 5 Q14 5 16 10 Q18 5 23 5 Q32 6 28 15 Z", DANGER, INK, 2)
    out["heart"] = s
    return out


def splash(items):
    out = {}
    s = Svg(800, 480)
    panorama(s, 800, 480, (1, 2, 3, 4, 5), "splash")
    s.rect(0, 380, 330, 100, "#72C94B").rect(470, 380, 330, 100, "#72C94B")
    # The gap under the bridge is a pit of earth, not the hills seen through the ground.
    s.rect(330, 380, 140, 100, s.gradient("splash_pit", [(0, "#6E4629", 1), (1, "#3B2415", 1)]))
    s.begin("translate(320 354) scale(1.7)")
    s.parts.extend(items["bridge"].parts[1:])
    s.end()
    hero_at(s, 330, 150, 3, hero.pose(legs=(60, 40), arms=(160, 150), tilt=-8, bob=-3))
    for x, y, f in ((250, 180, "apple"), (560, 160, "cherry"), (620, 250, "banana")):
        s.begin(f"translate({x} {y}) scale(1.3)"), s.parts.extend(items[f].parts[1:]), s.end()
    logo(s, 400, 30, 1.8)
    out["game_splash"] = s
    s = Svg(480, 240)
    hexagon = [(240 + 70 * math.cos(math.radians(a)), 90 + 70 * math.sin(math.radians(a))) for a in range(0, 360, 60)]
    s.poly(hexagon, TEAL, INK, 4)
    s.circle(240, 90, 34, WHITE, INK, 3)
    s.path("M240 118 L240 88", None, "#2F6B3E", 5)
    s.path("M240 92 Q222 70 212 82 Q226 96 240 92 Z", "#E8912D", INK, 2)
    s.path("M240 86 Q258 62 270 74 Q256 90 240 86 Z", "#E8912D", INK, 2)
    letters = {"T": "M0 0 L20 0 M10 0 L10 28", "A": "M0 28 L10 0 L20 28 M4 18 L16 18",
               "R": "M0 28 L0 0 L12 0 Q20 0 20 8 Q20 15 12 15 L0 15 M10 15 L20 28",
               "V": "M0 0 L10 28 L20 0", "W": "M0 0 L6 28 L12 10 L18 28 L24 0",
               "O": "M10 0 Q20 0 20 14 Q20 28 10 28 Q0 28 0 14 Q0 0 10 0", "K": "M0 0 L0 28 M20 0 L2 16 L20 28"}
    x = 240 - (8 * 30) / 2
    for ch in "TARVWORK":
        s.add(f'<path d="{letters[ch]}" transform="translate({n(x)} 190)" fill="none" stroke="{INK}" '
              f'stroke-width="5" stroke-linecap="round" stroke-linejoin="round"/>')
        x += 30
    out["vexolan_logo"] = s
    return out


def debug():
    s = Svg(48, 48)
    s.rect(1, 1, 46, 46, "#FFE040", "#B89A00", 2, opacity=0.5)
    return {"debug_cell_yellow": s}
