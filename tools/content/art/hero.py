"""The hero (the pirrock): a rig of ellipses and capsules drawn in its 64 x 64 canvas with the foot
point at (32, 64), and the pose tables of its animations."""
import math

from svg import INK, TEAL, WHITE, DANGER, PAPER, n, star_points

FUR, FUR_LIGHT, FUR_DARK = "#E8912D", "#F6B561", "#B9651A"
BELLY, STRIPE = "#FFE3B0", "#5A3A66"
SOOT = "#5B4B4F"
FOOT_Y = 61  # centre of a planted foot: its outline ends on the canvas bottom


def pose(**values):
    base = dict(bob=0, tilt=0, squash=1.0, legs=(0, 0), arms=(20, -20), scarf=0.0, eyes="open",
                soot=False, facing=1, ball=False, lift=0)
    base.update(values)
    return base


def _limb_end(x, y, angle, length):
    a = math.radians(angle)
    return x + math.sin(a) * length, y + math.cos(a) * length


def draw(svg, p):
    """Draws the hero in pose p; the caller's transform places the canvas."""
    fur = SOOT if p["soot"] else FUR
    fur_light = "#7A6A6E" if p["soot"] else FUR_LIGHT
    belly = "#9C8C88" if p["soot"] else BELLY
    flip = f"translate(64 0) scale(-1 1)" if p["facing"] < 0 else ""
    svg.begin(flip)
    bob, lift = p["bob"], p["lift"]
    svg.begin(f"translate(0 {n(-lift)}) translate(32 64) scale(1 {n(p['squash'])}) translate(-32 -64) "
              f"rotate({n(p['tilt'])} 32 46)")
    if p["ball"]:
        svg.circle(32, 46, 17, fur, INK, 2)
        svg.path("M18 40 Q32 30 46 40", None, STRIPE, 4)
        svg.ellipse(36, 50, 8, 6, belly)
        svg.circle(41, 42, 2.5, INK)
        svg.path("M20 52 Q28 58 38 56", None, TEAL, 4)
        svg.end(), svg.end()
        return
    hip_y = 50 + bob
    # tail: bushy, ringed, behind everything
    svg.ellipse(14, 38 + bob, 10, 6.5, fur, INK, 2, rotate=-35)
    for dx in (-4, 2):
        svg.ellipse(14 + dx, 38 + bob - dx * 0.7, 1.6, 5.5, STRIPE, rotate=-35)
    # back leg and arm
    legs, arms = p["legs"], p["arms"]
    # feet never sink below the foot line: a crouching body bends its legs instead
    fx, fy = _limb_end(26, hip_y, legs[1], 11)
    fy = min(fy, FOOT_Y)
    svg.capsule(26, hip_y, fx, fy, 7, fur_light if not p["soot"] else fur)
    svg.ellipse(fx + 2, fy + 0.5, 5.5, 3, fur, INK, 2)
    ax, ay = _limb_end(33, 38 + bob, arms[1], 10)
    svg.capsule(33, 38 + bob, ax, ay, 5.5, fur)
    # body and belly
    svg.ellipse(30, 40 + bob, 15, 13, fur, INK, 2)
    svg.ellipse(34, 44 + bob, 8.5, 7.5, belly)
    # scarf streaming behind
    ph = p["scarf"]
    sy = 31 + bob
    tail = [(30, sy + 1), (22, sy + 2 + 2 * math.sin(ph)), (13, sy + 1 + 3 * math.sin(ph + 1.3)),
            (6, sy + 3 + 3 * math.sin(ph + 2.4))]
    d = f"M{n(tail[0][0])} {n(tail[0][1])} " + " ".join(f"L{n(x)} {n(y)}" for x, y in tail[1:])
    svg.path(d, None, INK, 7), svg.path(d, None, TEAL, 4)
    svg.path(f"M28 {n(sy - 1)} Q38 {n(sy + 5)} 47 {n(sy - 2)}", None, INK, 8)
    svg.path(f"M28 {n(sy - 1)} Q38 {n(sy + 5)} 47 {n(sy - 2)}", None, TEAL, 5)
    # front leg
    fx, fy = _limb_end(34, hip_y, legs[0], 11)
    fy = min(fy, FOOT_Y)
    svg.capsule(34, hip_y, fx, fy, 7, fur)
    svg.ellipse(fx + 2, fy + 0.5, 5.5, 3, fur_light, INK, 2)
    # a raised front arm reaches up past the head, behind it, so it never hides the face
    raised = 100 < arms[0] % 360 < 260
    if raised:
        # held forward of straight up, where the paw clears the head's outline
        ax, ay = _limb_end(38, 36 + bob, 125 + (arms[0] % 360 - 100) * 0.3, 23)
        svg.capsule(38, 36 + bob, ax, ay, 5.5, fur_light if not p["soot"] else fur)
    # head
    hx, hy = 41, 23 + bob
    svg.circle(hx - 6, hy - 9, 4, fur, INK, 2)
    svg.circle(hx + 4, hy - 10, 4, fur, INK, 2)
    svg.circle(hx, hy, 11, fur, INK, 2)
    svg.path(f"M{n(hx - 9)} {n(hy - 5)} Q{n(hx)} {n(hy - 14)} {n(hx + 7)} {n(hy - 6)} "
             f"L{n(hx + 3)} {n(hy - 3)} Q{n(hx - 2)} {n(hy - 8)} {n(hx - 8)} {n(hy - 1)} Z", STRIPE)
    svg.ellipse(hx + 8, hy + 4, 5.5, 4.2, belly, INK, 1.5)
    svg.circle(hx + 12.5, hy + 2.5, 2, INK)
    if p["eyes"] == "open":
        svg.circle(hx + 4, hy - 1, 2.8, INK).circle(hx + 5, hy - 2, 1, WHITE)
    elif p["eyes"] == "closed":
        svg.path(f"M{n(hx + 1.5)} {n(hy - 1)} Q{n(hx + 4)} {n(hy + 1.5)} {n(hx + 6.5)} {n(hy - 1)}", None, INK, 1.5)
    else:  # dizzy
        svg.path(f"M{n(hx + 2)} {n(hy - 3)} L{n(hx + 6)} {n(hy + 1)} M{n(hx + 6)} {n(hy - 3)} L{n(hx + 2)} {n(hy + 1)}",
                 None, INK, 1.5)
    if raised:
        svg.circle(ax, ay, 3.8, fur_light if not p["soot"] else fur, INK, 2)  # the paw, in front
    else:
        ax, ay = _limb_end(38, 38 + bob, arms[0], 10)
        svg.capsule(38, 38 + bob, ax, ay, 5.5, fur_light if not p["soot"] else fur)
    svg.end()
    svg.end()


def _boat(svg, rock):
    svg.begin(f"rotate({n(rock)} 32 68)")
    svg.path("M4 62 L60 62 Q56 78 44 78 L18 78 Q8 78 4 62 Z", "#A9774A", INK, 2)
    svg.rect(6, 62, 52, 4, "#C8925E")
    svg.end()


def _canopy(svg, sway):
    svg.begin(f"rotate({n(sway)} 32 40)")
    svg.path("M-4 -22 Q32 -62 68 -22 Q56 -28 44 -22 Q32 -30 20 -22 Q8 -28 -4 -22 Z", DANGER, INK, 2)
    svg.path("M20 -22 Q32 -58 44 -22 Q32 -30 20 -22 Z", PAPER)
    for x in (-2, 20, 44, 66):
        svg.line(x, -22, 32 + (x - 32) * 0.15, 36, INK, 1)
    svg.end()


def _skates(svg, p):
    for dx in (-6, 4):
        svg.rect(20 + dx, 62, 16, 3, "#6FB6D6", INK, 1, r=1)


def _skis(svg):
    svg.path("M2 63 L58 63 Q64 63 64 58", None, INK, 5)
    svg.path("M2 63 L58 63 Q64 63 64 58", None, DANGER, 3)


def _stars(svg, phase):
    for i in range(3):
        a = phase + i * 2 * math.pi / 3
        x, y = 40 + 12 * math.cos(a), 12 + 4 * math.sin(a)
        svg.poly(star_points(x, y, 4.5, 2), "#FFD23F", INK, 1)


def frames():
    """(name, frame count, fps, loop, [(pose, props)]) for the 15 animations, 'waiting' first."""
    anims = []

    def add(name, count, fps, loop, maker):
        anims.append((name, fps, loop, [maker(i, i / count) for i in range(count)]))

    def run(i, t, **extra):
        s = math.sin(2 * math.pi * t)
        return pose(bob=-abs(s) * 2, legs=(35 * s, -35 * s), arms=(-40 * s, 40 * s),
                    scarf=2 * math.pi * t, tilt=6, **extra)

    def waiting(i, t):
        if i < 5:
            return pose(bob=-i * 0.6, arms=(20 + i * 25, -20 - i * 20), eyes="closed" if i == 2 else "open"), []
        if i < 10:
            return pose(arms=(150 + 15 * math.sin(i * 1.5), -20), scarf=i * 0.4), []
        k = i - 10
        return pose(bob=min(k, 3) * 1.2, squash=1 - 0.03 * min(k, 3), legs=(15, -15), arms=(40, -30), tilt=4 * k), []

    add("waiting", 15, 10, False, waiting)
    add("running", 8, 15, True, lambda i, t: (run(i, t), []))
    add("sailing", 4, 10, True, lambda i, t: (pose(bob=6, legs=(70, 70), arms=(60 + 40 * math.sin(2 * math.pi * t), 40),
                                                   scarf=2 * math.pi * t), [("boat", 3 * math.sin(2 * math.pi * t))]))
    add("skating", 6, 10, True, lambda i, t: (pose(legs=(25 * math.sin(2 * math.pi * t), -30 * math.sin(2 * math.pi * t)),
                                                   arms=(-30, 50), tilt=10, scarf=2 * math.pi * t, lift=3), [("skates", 0)]))
    add("parachuting", 6, 10, True, lambda i, t: (pose(legs=(10, -10), arms=(160, 170), scarf=2 * math.pi * t,
                                                       tilt=6 * math.sin(2 * math.pi * t)),
                                                  [("canopy", 6 * math.sin(2 * math.pi * t))]))
    add("jumping", 6, 15, False, lambda i, t: (pose(bob=[3, 4, -2, -4, -3, -3][i], squash=[0.92, 0.88, 1.08, 1.0, 0.95, 0.95][i],
                                                    legs=[(30, -30), (40, -40), (-20, 20), (60, 40), (80, 70), (80, 70)][i],
                                                    arms=[(20, -20), (0, 0), (160, 150), (120, 100), (90, 80), (90, 80)][i],
                                                    scarf=i), []))
    add("climbing", 6, 15, True, lambda i, t: (pose(bob=-2 * math.sin(2 * math.pi * t), arms=(170 + 25 * math.sin(2 * math.pi * t),
                                                    170 - 25 * math.sin(2 * math.pi * t)), legs=(30 * math.sin(2 * math.pi * t), -30 * math.sin(2 * math.pi * t)),
                                                    ), []))
    add("skiing", 2, 10, True, lambda i, t: (pose(bob=3 + i, squash=0.9, legs=(45, 30), arms=(60, 40), tilt=8, scarf=i * 2), [("skis", 0)]))
    add("diverting", 5, 10, False, lambda i, t: (pose(squash=[0.85, 1, 1, 1, 1][i], facing=1 if i < 2 else -1,
                                                      eyes="closed" if i == 0 else "open", arms=(90, -90), tilt=[-10, 0, 0, 0, 0][i]), []))
    add("falling", 4, 15, True, lambda i, t: (pose(arms=(150 + 25 * math.sin(2 * math.pi * t), 200 + 25 * math.cos(2 * math.pi * t)),
                                                   legs=(20 * math.sin(2 * math.pi * t), -20), scarf=2 * math.pi * t, eyes="open"), []))
    add("rolling", 8, 15, True, lambda i, t: (pose(ball=True, tilt=360 * t), []))
    add("burning", 12, 10, False, lambda i, t: (pose(soot=True, bob=2 * (i % 4 == 3), eyes="closed" if i % 4 == 3 else "open",
                                                     arms=(30, -20)), [("smoke", i)]))
    add("drowning", 12, 10, False, lambda i, t: (pose(lift=-6 * i, arms=(170, 190), eyes="closed" if i > 5 else "open")
                                                  if i < 9 else None, [("splash", i)]))
    add("hitting", 10, 10, False, lambda i, t: (pose(squash=0.55 if i < 8 else 0.7, eyes="dizzy", legs=(80, -80), arms=(90, -90)),
                                                [("stars", i * 0.6)]))
    add("angel", 20, 10, False, lambda i, t: (pose(lift=96 * t, eyes="closed", arms=(120, -120), opacity=1 - 0.9 * t), [("halo", i)]))
    return anims


def draw_frame(svg, p, props):
    opacity = p.pop("opacity", 1.0) if p else 1.0
    svg.begin(opacity=opacity)
    for kind, value in props:
        if kind == "canopy":
            _canopy(svg, value)
        if kind == "halo":
            lift = 96 * value / 20
            for side in (-1, 1):
                svg.ellipse(32 + side * 16, 36 - lift, 10, 5, WHITE, INK, 1.5, rotate=side * (-20 - 10 * math.sin(value)))
    if p is not None:
        draw(svg, p)
    for kind, value in props:
        if kind == "boat":
            _boat(svg, value)
        elif kind == "skates":
            _skates(svg, p)
        elif kind == "skis":
            _skis(svg)
        elif kind == "stars":
            _stars(svg, value)
        elif kind == "halo":
            lift = 96 * value / 20
            svg.ellipse(41, 8 - lift, 9, 3, None, "#FFD23F", 3)
        elif kind == "smoke":
            for k in range(3):
                r = 3 + ((value + k * 3) % 8)
                svg.circle(30 + 8 * k - 8, 14 - ((value * 3 + k * 7) % 20), r, "#8A8285", opacity=0.6)
        elif kind == "splash":
            for k in range(5):
                r = 2 + (k % 3)
                y = 52 - ((value * 5 + k * 9) % 36)
                svg.circle(24 + k * 4, y, r, None, "#3FA7D6", 1.5)
            if value < 6:
                svg.path(f"M6 64 Q14 {n(50 - value * 2)} 22 64 Q32 {n(46 - value * 3)} 42 64 Q50 {n(50 - value * 2)} 58 64 Z",
                         "#8ED3F0", INK, 1.5)
    svg.end()
