#!/usr/bin/env python3
"""Draws the command icons of the plug-in (text/*.png): 32x32 RGBA pictures, written with
zlib and struct only. Run from the repository's root: python3 tools/make_icons.py"""

import math
import struct
import zlib
from pathlib import Path

SIZE = 32
SAMPLES = 4  # per axis, for smooth edges

BLUE = (38, 110, 196)
ORANGE = (232, 128, 32)
GREY = (96, 96, 96)
GREEN = (40, 150, 60)
WHITE = (255, 255, 255)


# ---- shapes: each answers whether the point (x, y) lies inside ----------------------------------

def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_outer, r_inner):
    return lambda x, y: r_inner ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r_outer ** 2


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def frame(x0, y0, x1, y1, width):
    outer, inner = rect(x0, y0, x1, y1), rect(x0 + width, y0 + width, x1 - width, y1 - width)
    return lambda x, y: outer(x, y) and not inner(x, y)


def segment(ax, ay, bx, by, width):
    """A thick line from a to b with round ends."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2
    return inside


def polygon(points):
    """Even-odd rule."""
    def inside(x, y):
        result = False
        for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                result = not result
        return result
    return inside


def arc(cx, cy, r, width, start_deg, end_deg):
    """A thick circular arc between two angles (degrees, counter-clockwise, y up)."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) > width / 2:
            return False
        angle = math.degrees(math.atan2(cy - y, x - cx)) % 360
        return (angle - start_deg) % 360 <= (end_deg - start_deg) % 360
    return inside


def gear(cx, cy, r_body, r_teeth, teeth, r_hole):
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if d < r_hole:
            return False
        angle = math.atan2(y - cy, x - cx) * teeth / (2 * math.pi)
        on_tooth = (angle % 1.0) < 0.5
        return d <= (r_teeth if on_tooth else r_body)
    return inside


# ---- drawing --------------------------------------------------------------------------------------

def blank():
    return [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]


def paint(image, shape, colour, shade=None):
    """Paints shape over image; shade(x, y) may scale the colour (0 to 1) for a lit look."""
    for py in range(SIZE):
        for px in range(SIZE):
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    if shape(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES):
                        hits += 1
            if not hits:
                continue
            alpha = hits / (SAMPLES * SAMPLES)
            factor = shade(px + 0.5, py + 0.5) if shade else 1.0
            src = [min(255, c * factor) for c in colour]
            r, g, b, a = image[py][px]
            a0 = a / 255
            out_a = alpha + a0 * (1 - alpha)
            mix = [(s * alpha + d * a0 * (1 - alpha)) / out_a for s, d in zip(src, (r, g, b))]
            image[py][px] = (round(mix[0]), round(mix[1]), round(mix[2]), round(out_a * 255))


def write_png(path, image):
    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in image)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA
    Path(path).write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                           chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def sphere_shade(cx, cy, r):
    return lambda x, y: 1.25 - 0.75 * math.hypot(x - (cx - r / 3), y - (cy - r / 3)) / (1.4 * r)


# ---- the icons ------------------------------------------------------------------------------------

def export_icon():
    image = blank()
    page = polygon([(5, 3), (19, 3), (25, 9), (25, 29), (5, 29)])
    paint(image, page, GREY)
    paint(image, polygon([(7, 5), (18, 5), (23, 10), (23, 27), (7, 27)]), WHITE)
    paint(image, disc(15, 16, 6), BLUE, sphere_shade(15, 16, 6))
    paint(image, segment(19, 24, 29, 24, 3), ORANGE)
    paint(image, polygon([(26, 19), (31, 24), (26, 29)]), ORANGE)
    return image


def render_icon():
    image = blank()
    paint(image, disc(16, 16, 13), BLUE, sphere_shade(16, 16, 13))
    paint(image, disc(11, 11, 3), WHITE)
    return image


def update_icon():
    image = render_icon()
    paint(image, arc(16, 16, 14, 3, 20, 160), ORANGE)
    paint(image, polygon([(27, 6), (31, 13), (23, 13)]), ORANGE)
    return image


def settings_icon():
    image = blank()
    paint(image, gear(16, 16, 10, 14, 8, 4.5), GREY)
    return image


def radio_icon(chosen):
    image = blank()
    paint(image, disc(16, 16, 11), WHITE)
    paint(image, ring(16, 16, 12, 9.5), GREY)
    if chosen:
        paint(image, disc(16, 16, 6), BLUE, sphere_shade(16, 16, 6))
    return image


def check_icon(checked):
    image = blank()
    paint(image, rect(5, 5, 27, 27), WHITE)
    paint(image, frame(5, 5, 27, 27, 2.5), GREY)
    if checked:
        paint(image, segment(9, 16, 14, 22, 3.5), GREEN)
        paint(image, segment(14, 22, 24, 9, 3.5), GREEN)
    return image


ICONS = {
    "vs_export.png": export_icon,
    "vs_render.png": render_icon,
    "vs_update.png": update_icon,
    "vs_settings.png": settings_icon,
    "vs_update_checked.png": lambda: radio_icon(True),
    "vs_update_unchecked.png": lambda: radio_icon(False),
    "checked.png": lambda: check_icon(True),
    "unchecked.png": lambda: check_icon(False),
}

if __name__ == "__main__":
    out = Path(__file__).resolve().parent.parent / "text"
    out.mkdir(exist_ok=True)
    for name, draw in ICONS.items():
        write_png(out / name, draw())
        print(out / name)
