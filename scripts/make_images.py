#!/usr/bin/env python3
"""Draws the button pictures and the KRV emblem in resources/ (RGBA PNG, standard library only), and
the emblem as the menus' icon in the hicolor sizes and as SVG (resources/icons/)."""
import math
import os

from make_leds import SAMPLES, png


# Every shape is a signed distance (negative inside), so outlines, rounding and
# unions all come from comparing one number against a threshold.

def seg_dist(px, py, a, b):
    dx, dy = b[0] - a[0], b[1] - a[1]
    t = max(0.0, min(1.0, ((px - a[0]) * dx + (py - a[1]) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - a[0] - t * dx, py - a[1] - t * dy)


def inside_poly(px, py, pts):
    inside = False
    for (x1, y1), (x2, y2) in zip(pts, pts[1:] + pts[:1]):
        if (y1 > py) != (y2 > py) and px < x1 + (py - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
    return inside


def polygon(pts, rounding=0.0):
    def sd(px, py):
        d = min(seg_dist(px, py, a, b) for a, b in zip(pts, pts[1:] + pts[:1]))
        return (-d if inside_poly(px, py, pts) else d) - rounding
    return sd


def rect(x0, y0, x1, y1, rounding=0.0):
    # Shrinking by the rounding first keeps the outer size as given.
    r = rounding
    return polygon([(x0 + r, y0 + r), (x1 - r, y0 + r), (x1 - r, y1 - r), (x0 + r, y1 - r)], r)


def circle(cx, cy, r):
    return lambda px, py: math.hypot(px - cx, py - cy) - r


def stroke(pts, width):
    return lambda px, py: min(seg_dist(px, py, a, b) for a, b in zip(pts, pts[1:])) - width / 2


def union(*shapes):
    return lambda px, py: min(s(px, py) for s in shapes)


def minus(shape, hole):
    return lambda px, py: max(shape(px, py), -hole(px, py))


def grow(shape, amount):
    return lambda px, py: shape(px, py) - amount


def shaded(top, bottom, y0, y1):
    """A vertical gradient, so flat shapes get a little depth."""
    def colour(px, py):
        t = max(0.0, min(1.0, (py - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return colour


def render(size, layers):
    """Layers are (shape, colour) painted in order; the last one covering a sample wins."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    px = x + (sx + 0.5) / SAMPLES
                    py = y + (sy + 0.5) / SAMPLES
                    colour = None
                    for shape, paint in reversed(layers):
                        if shape(px, py) <= 0:
                            colour = paint(px, py) if callable(paint) else paint
                            break
                    if colour is None:
                        continue
                    for i in range(3):
                        acc[i] += colour[i]
                    acc[3] += 1
            n = acc[3]
            if n == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(acc[i] / n) for i in range(3)) + (int(255 * n / SAMPLES ** 2),))
        rows.append(row)
    return rows


def outlined(shape, line, fill, width=1.5):
    return [(shape, line), (grow(shape, -width), fill)]


def start():
    tri = polygon([(11, 7.5), (11, 24.5), (25.5, 16)], 2.5)
    return outlined(tri, (25, 90, 35), shaded((110, 220, 110), (30, 150, 45), 5, 27))


def stop():
    return outlined(rect(6, 6, 26, 26, 2.5), (110, 20, 20), shaded((250, 110, 100), (195, 30, 30), 6, 26))


def savedata():
    sheet = rect(2.5, 3.5, 22.5, 27.5, 1.5)
    chart = stroke([(8.5, 21), (11.5, 14), (14.5, 17.5), (17.5, 9), (20, 11.5)], 2.0)
    arrow = polygon([(22, 14), (27, 14), (27, 21), (30.5, 21), (24.5, 28.5), (18.5, 21), (22, 21)], 0.6)
    axes = stroke([(6.5, 7), (6.5, 24), (20, 24)], 1.0)
    return (outlined(sheet, (90, 95, 105), (252, 252, 252), 1.2)
            + [(axes, (150, 155, 165)), (chart, (30, 90, 210))]
            + outlined(arrow, (20, 80, 30), shaded((110, 220, 110), (30, 150, 45), 14, 28), 1.3))


def setpoint():
    c = 16
    teeth = []
    for k in range(8):
        a = k * math.pi / 4
        ux, uy, vx, vy = math.cos(a), math.sin(a), -math.sin(a), math.cos(a)
        # A tooth narrows outwards, like a real cog.
        pts = [(c + ux * r + vx * w, c + uy * r + vy * w) for r, w in ((9, -2.8), (14.5, -1.8), (14.5, 1.8), (9, 2.8))]
        teeth.append(polygon(pts, 0.7))
    gear = minus(union(circle(c, c, 11), *teeth), circle(c, c, 4.2))
    return outlined(gear, (55, 58, 62), shaded((200, 203, 208), (120, 124, 130), 2, 30), 1.4)


def wind_line(s, y, x0, x1, radius, up):
    """A horizontal gust ending in a curl, the usual picture of wind."""
    pts = [(x0 * s, y * s)]
    cy = (y - radius) if up else (y + radius)
    for i in range(41):
        a = math.radians(90 - 230 * i / 40)
        pts.append(((x1 + radius * math.cos(a)) * s, (cy + radius * math.sin(a) * (1 if up else -1)) * s))
    return pts


def emblem(s):
    back = rect(0.5, 0.5, s - 0.5, s - 0.5, 0.2 * s)
    w = max(2.6, 0.075 * s)
    # Staggered so that no curl runs into the neighbouring gust.
    lines = [stroke(wind_line(s, 0.30, 0.18, 0.45, 0.09, True), w),
             stroke(wind_line(s, 0.51, 0.13, 0.71, 0.10, True), w),
             stroke(wind_line(s, 0.71, 0.23, 0.57, 0.08, False), w)]
    return [(back, (15, 40, 85)), (grow(back, -0.04 * s), shaded((40, 95, 170), (20, 55, 115), 0, s)),
            (union(*lines), (255, 255, 255))]


def emblem_svg(s):
    """The emblem as SVG, the same shapes as emblem(s): the scalable icon of the menus."""
    inset = 0.04 * s
    w = max(2.6, 0.075 * s)
    gusts = [wind_line(s, 0.30, 0.18, 0.45, 0.09, True), wind_line(s, 0.51, 0.13, 0.71, 0.10, True),
             wind_line(s, 0.71, 0.23, 0.57, 0.08, False)]
    lines = "\n".join(
        '  <polyline points="%s"/>' % " ".join("%.2f,%.2f" % p for p in pts) for pts in gusts)
    return f"""<svg xmlns="http://www.w3.org/2000/svg" width="{s}" height="{s}" viewBox="0 0 {s} {s}">
  <defs>
    <linearGradient id="back" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="rgb(40,95,170)"/>
      <stop offset="1" stop-color="rgb(20,55,115)"/>
    </linearGradient>
  </defs>
  <rect x="0.5" y="0.5" width="{s - 1}" height="{s - 1}" rx="{0.2 * s:.2f}" fill="rgb(15,40,85)"/>
  <rect x="{0.5 + inset:.2f}" y="{0.5 + inset:.2f}" width="{s - 1 - 2 * inset:.2f}" height="{s - 1 - 2 * inset:.2f}"
        rx="{0.2 * s - inset:.2f}" fill="url(#back)"/>
  <g fill="none" stroke="white" stroke-width="{w:.2f}" stroke-linecap="round" stroke-linejoin="round">
{lines}
  </g>
</svg>
"""


# The application id names the icon in the hicolor theme, as it names the desktop entry.
APP_ID = "org.krvmonitor.KrvMonitor"
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    jobs = [("buttons/start.png", 32, start()), ("buttons/stop.png", 32, stop()),
            ("buttons/savedata.png", 32, savedata()), ("buttons/setpoint.png", 32, setpoint()),
            ("logo/krv-mark.png", 50, emblem(50)), ("logo/krv-icon.png", 64, emblem(64))]
    jobs += [(f"icons/hicolor/{n}x{n}/apps/{APP_ID}.png", n, emblem(n)) for n in ICON_SIZES]
    for name, size, layers in jobs:
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(png(render(size, layers)))
    svg = os.path.join(root, f"icons/hicolor/scalable/apps/{APP_ID}.svg")
    os.makedirs(os.path.dirname(svg), exist_ok=True)
    with open(svg, "w") as f:
        f.write(emblem_svg(64))


if __name__ == "__main__":
    main()
