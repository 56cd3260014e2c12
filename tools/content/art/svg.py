"""A small SVG writer for the art generators: shapes on whole or half pixels, an ink outline
helper for characters and items, and fixed-decimal numbers so the output never depends on the
platform's float formatting."""
import math

INK = "#2B1E2F"
PAPER = "#FFF4DC"
PAPER_SHADE = "#F1DDB4"
TEAL = "#2A9D8F"
TEAL_DARK = "#1D6F65"
DANGER = "#D64545"
GO = "#5BB450"
DISABLED = "#C8BFAF"
WHITE = "#FFFFFF"


def n(value):
    """A number as SVG text: at most two decimals, no exponent, no "-0"."""
    text = f"{value:.2f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def shade(color, factor):
    """The colour scaled towards black (factor < 1) or white (factor > 1)."""
    r, g, b = (int(color[i:i + 2], 16) for i in (1, 3, 5))
    if factor <= 1:
        r, g, b = (int(c * factor) for c in (r, g, b))
    else:
        t = factor - 1
        r, g, b = (int(c + (255 - c) * t) for c in (r, g, b))
    return "#%02X%02X%02X" % (r, g, b)


class Svg:
    """One image. (ox, oy) shifts every shape, so frame art can be drawn in canvas coordinates on
    a larger page that keeps what overflows the canvas."""

    def __init__(self, width, height, ox=0, oy=0):
        self.width, self.height = width, height
        self.parts = []
        self.defs = []
        self.depth = 0
        self.parts.append(f'<g transform="translate({n(ox)},{n(oy)})">' if (ox or oy) else "<g>")

    def add(self, text):
        self.parts.append(text)
        return self

    @staticmethod
    def style(fill=None, stroke=None, width=0, opacity=None, extra=""):
        s = f' fill="{fill or "none"}"'
        if stroke:
            s += f' stroke="{stroke}" stroke-width="{n(width)}" stroke-linejoin="round" stroke-linecap="round"'
        if opacity is not None and opacity < 1:
            s += f' opacity="{n(opacity)}"'
        return s + extra

    def rect(self, x, y, w, h, fill=None, stroke=None, width=0, r=0, opacity=None):
        rr = f' rx="{n(r)}"' if r else ""
        return self.add(f'<rect x="{n(x)}" y="{n(y)}" width="{n(w)}" height="{n(h)}"{rr}'
                        f'{self.style(fill, stroke, width, opacity)}/>')

    def circle(self, cx, cy, r, fill=None, stroke=None, width=0, opacity=None):
        return self.add(f'<circle cx="{n(cx)}" cy="{n(cy)}" r="{n(r)}"{self.style(fill, stroke, width, opacity)}/>')

    def ellipse(self, cx, cy, rx, ry, fill=None, stroke=None, width=0, opacity=None, rotate=0):
        t = f' transform="rotate({n(rotate)} {n(cx)} {n(cy)})"' if rotate else ""
        return self.add(f'<ellipse cx="{n(cx)}" cy="{n(cy)}" rx="{n(rx)}" ry="{n(ry)}"{t}'
                        f'{self.style(fill, stroke, width, opacity)}/>')

    def path(self, d, fill=None, stroke=None, width=0, opacity=None):
        return self.add(f'<path d="{d}"{self.style(fill, stroke, width, opacity)}/>')

    def poly(self, points, fill=None, stroke=None, width=0, opacity=None, closed=True):
        d = "M" + " L".join(f"{n(x)} {n(y)}" for x, y in points) + (" Z" if closed else "")
        return self.path(d, fill, stroke, width, opacity)

    def line(self, x1, y1, x2, y2, stroke, width, opacity=None):
        return self.path(f"M{n(x1)} {n(y1)} L{n(x2)} {n(y2)}", None, stroke, width, opacity)

    def capsule(self, x1, y1, x2, y2, width, fill, ink=INK, outline=2):
        """A rounded limb with an ink outline: a wide ink stroke under the coloured one."""
        if ink:
            self.line(x1, y1, x2, y2, ink, width + 2 * outline)
        return self.line(x1, y1, x2, y2, fill, width)

    def linear_gradient(self, name, top, bottom):
        self.defs.append(f'<linearGradient id="{name}" x1="0" y1="0" x2="0" y2="1">'
                         f'<stop offset="0" stop-color="{top}"/><stop offset="1" stop-color="{bottom}"/>'
                         f'</linearGradient>')
        return f"url(#{name})"

    def gradient(self, name, stops, horizontal=False):
        """A gradient of (offset, colour, opacity) stops, across (horizontal) or down the shape."""
        x2, y2 = ("1", "0") if horizontal else ("0", "1")
        self.defs.append(f'<linearGradient id="{name}" x1="0" y1="0" x2="{x2}" y2="{y2}">'
                         + "".join(f'<stop offset="{n(o)}" stop-color="{c}" stop-opacity="{n(a)}"/>' for o, c, a in stops)
                         + "</linearGradient>")
        return f"url(#{name})"

    def begin(self, transform="", opacity=None):
        o = f' opacity="{n(opacity)}"' if opacity is not None and opacity < 1 else ""
        t = f' transform="{transform}"' if transform else ""
        self.depth += 1
        return self.add(f"<g{t}{o}>")

    def end(self):
        self.depth -= 1
        return self.add("</g>")

    def text(self):
        assert self.depth == 0, "unbalanced groups"
        defs = f"<defs>{''.join(self.defs)}</defs>" if self.defs else ""
        return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{self.width}" height="{self.height}" '
                f'viewBox="0 0 {self.width} {self.height}">{defs}' + "".join(self.parts) + "</g></svg>\n")


def star_points(cx, cy, outer, inner, count=5, start=-90):
    points = []
    for i in range(count * 2):
        r = outer if i % 2 == 0 else inner
        a = math.radians(start + i * 180 / count)
        points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return points


def wave(x, period, seed, amplitude):
    """A periodic bump profile: sums of sines whose periods divide period, so strips tile."""
    total = 0.0
    for k, (a, p) in enumerate(((1.0, 1), (0.5, 2), (0.3, 3), (0.2, 5))):
        total += a * math.sin(2 * math.pi * p * x / period + seed * (k + 1) * 1.7)
    return amplitude * total / 2.0
