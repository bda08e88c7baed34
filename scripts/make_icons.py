#!/usr/bin/env python3
"""Draws Mendlet's icons and writes them as Windows .ico files into src/res/icons/.

Standard library only, so the icons can be rebuilt on any machine with Python 3.
Shapes are described by signed distance functions in a 16-unit design grid and
rendered with supersampling; every size is drawn from the design, not scaled from
another bitmap. Images are 32-bit BGRA DIBs with an AND mask, which every Windows
version since XP reads.
"""

import math
import struct
from pathlib import Path

OUT_DIR = Path(__file__).resolve().parent.parent / "src" / "res" / "icons"

SUBSAMPLES = 8  # per axis; 64 samples per pixel

# The sizes Windows shows icons at with the display at 100, 125, 150 and 200 %: small icons
# (the window's caption) and standard ones (the task switcher, the icon buttons). An icon
# without an image of the size asked for is stretched from another, and blurs.
SMALL_SIZES = (16, 20, 24, 32)
STANDARD_SIZES = (32, 40, 48, 64)

# Palette shared by all icons.
INK = (0x2B, 0x37, 0x48)          # outlines
PAGE = (0xFF, 0xFF, 0xFF)
PAGE_SHADE = (0xE6, 0xEB, 0xF2)
FOLD = (0xC9, 0xD3, 0xE0)
BLUE = (0x3D, 0x8B, 0xF2)
BLUE_DARK = (0x1F, 0x5F, 0xC4)
GREEN = (0x2E, 0xB8, 0x72)
GREEN_DARK = (0x1B, 0x86, 0x50)
ORANGE = (0xF5, 0xA0, 0x3C)
ORANGE_DARK = (0xC8, 0x6E, 0x12)


# ---------------------------------------------------------------------------
# Signed distance functions (negative inside), in pixel coordinates.

def sd_polygon(points):
    pts = list(points)
    edges = list(zip(pts, pts[1:] + pts[:1]))

    def f(x, y):
        d = float("inf")
        inside = False
        for (ax, ay), (bx, by) in edges:
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            dx, dy = wx - ex * t, wy - ey * t
            d = min(d, dx * dx + dy * dy)
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
        d = math.sqrt(d)
        return -d if inside else d

    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return f, (min(xs), min(ys), max(xs), max(ys))


def sd_round_rect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def f(x, y):
        qx = abs(x - cx) - hx
        qy = abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r

    return f, (x0, y0, x1, y1)


# ---------------------------------------------------------------------------
# Paints: colour at a point, so fills can carry a gentle vertical gradient.

def solid(rgb, alpha=1.0):
    return lambda x, y: (rgb, alpha)


def vgradient(top_rgb, bottom_rgb, y0, y1):
    def p(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0))) if y1 != y0 else 0.0
        return tuple(a + (b - a) * t for a, b in zip(top_rgb, bottom_rgb)), 1.0
    return p


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def lighter(rgb, t=0.35):
    return mix(rgb, (255, 255, 255), t)


# ---------------------------------------------------------------------------
# Rendering

class Canvas:
    def __init__(self, size):
        self.size = size
        self.layers = []

    def fill(self, shape, paint):
        f, box = shape
        self.layers.append((f, box, paint, None))

    def stroke_inside(self, shape, paint, width):
        """Outline drawn inside the shape's edge, so it never grows the shape."""
        f, box = shape
        self.layers.append((f, box, paint, width))

    def shape_with_outline(self, shape, fill_paint, outline_paint, width):
        self.fill(shape, fill_paint)
        self.stroke_inside(shape, outline_paint, width)

    def render(self):
        """Returns rows of straight-alpha (r, g, b, a) tuples, top row first."""
        n = SUBSAMPLES
        offsets = [(i + 0.5) / n for i in range(n)]
        inv = 1.0 / (n * n)
        rows = []
        for py in range(self.size):
            row = []
            active_y = [l for l in self.layers if l[1][1] - 1 <= py <= l[1][3] + 1]
            for px in range(self.size):
                active = [l for l in active_y if l[1][0] - 1 <= px <= l[1][2] + 1]
                acc_r = acc_g = acc_b = acc_a = 0.0
                if active:
                    for oy in offsets:
                        y = py + oy
                        for ox in offsets:
                            x = px + ox
                            r = g = b = a = 0.0  # premultiplied
                            for f, _box, paint, width in active:
                                d = f(x, y)
                                if d > 0 or (width is not None and d <= -width):
                                    continue
                                (cr, cg, cb), ca = paint(x, y)
                                k = 1.0 - ca
                                r = cr * ca + r * k
                                g = cg * ca + g * k
                                b = cb * ca + b * k
                                a = ca + a * k
                            acc_r += r
                            acc_g += g
                            acc_b += b
                            acc_a += a
                a = acc_a * inv
                if a <= 1e-6:
                    row.append((0, 0, 0, 0))
                else:
                    row.append((
                        round(acc_r * inv / a),
                        round(acc_g * inv / a),
                        round(acc_b * inv / a),
                        round(a * 255),
                    ))
            rows.append(row)
        return rows


# ---------------------------------------------------------------------------
# Designs. Coordinates are given on a 16-unit grid and scaled; edges that
# should stay sharp are snapped to whole pixels.

class Grid:
    def __init__(self, size):
        self.size = size
        self.s = size / 16.0
        # Outline width: one pixel up to 24 px, two above.
        self.line = 1.0 if size <= 24 else 2.0

    def v(self, u):
        return u * self.s

    def snap(self, u):
        return float(round(u * self.s))

    def pt(self, x, y):
        return (x * self.s, y * self.s)


def slab(c, g, x0, y0, x1, y1, fill, edge):
    """A coloured bar. Below 24 px an outline would swallow the colour, so it is solid."""
    if g.size < 24:
        c.fill(sd_round_rect(x0, y0, x1, y1, 0.0), solid(fill))
        return
    width = 1.0 if g.size <= 32 else 2.0
    shape = sd_round_rect(x0, y0, x1, y1, g.v(0.4))
    c.shape_with_outline(shape, vgradient(lighter(fill, 0.25), fill, y0, y1), solid(edge), width)


def draw_program_icon(size):
    """Three coloured pieces stacked into one page; the last one is still sliding in."""
    g = Grid(size)
    c = Canvas(size)
    sn = g.snap

    # The page, with a folded top-right corner.
    left, top, right, bottom = sn(3), sn(0), sn(15), sn(16)
    fold = sn(4)
    page = sd_polygon([(left, top), (right - fold, top), (right, top + fold),
                       (right, bottom), (left, bottom)])
    c.shape_with_outline(page, vgradient(PAGE, PAGE_SHADE, top, bottom), solid(INK), g.line)
    corner = sd_polygon([(right - fold, top), (right - fold, top + fold), (right, top + fold)])
    c.shape_with_outline(corner, solid(FOLD), solid(INK), g.line)

    # Pieces: equal slabs, the first two already inside the page.
    shift = sn(4)  # how far the last piece still sticks out on the left
    rows = ((4, 7), (8, 11), (12, 15)) if size < 24 else ((4.5, 7.5), (8.25, 11.25), (12, 15))
    colours = ((BLUE, BLUE_DARK), (GREEN, GREEN_DARK), (ORANGE, ORANGE_DARK))
    x0, x1 = sn(5), sn(13)
    for i, ((r0, r1), (fill, edge)) in enumerate(zip(rows, colours)):
        dx = shift if i == 2 else 0.0
        slab(c, g, x0 - dx, sn(r0), x1 - dx, sn(r1), fill, edge)

    return c.render()


def arrow_shape(g, pointing_up):
    """A broad arrow; head and shaft as one outline so the border is continuous."""
    pts = [(8, 1), (15, 8), (11, 8), (11, 15), (5, 15), (5, 8), (1, 8)]
    if not pointing_up:
        pts = [(x, 16 - y) for x, y in pts]
    return sd_polygon([(g.snap(x), g.snap(y)) for x, y in pts])


def draw_arrow_icon(size, pointing_up):
    g = Grid(size)
    c = Canvas(size)
    shape = arrow_shape(g, pointing_up)
    top, bottom = g.v(1), g.v(15)
    if pointing_up:
        paint = vgradient(lighter(BLUE, 0.3), BLUE, top, bottom)
    else:
        paint = vgradient(BLUE, lighter(BLUE, 0.3), top, bottom)
    c.shape_with_outline(shape, paint, solid(BLUE_DARK), g.line)
    return c.render()


def draw_sort_icon(size):
    """Bars growing downwards next to a downward arrow: ascending order."""
    g = Grid(size)
    c = Canvas(size)
    sn = g.snap
    for i, length in enumerate((4, 6, 8)):
        y0 = 2 + i * 5
        slab(c, g, sn(1), sn(y0), sn(1 + length), sn(y0 + 3), BLUE, BLUE_DARK)
    pts = [(12, 1), (14, 1), (14, 10), (16, 10), (13, 15), (10, 10), (12, 10)]
    arrow = sd_polygon([(sn(x), sn(y)) for x, y in pts])
    if size < 24:
        c.fill(arrow, solid(ORANGE_DARK))
    else:
        c.shape_with_outline(arrow, vgradient(lighter(ORANGE, 0.2), ORANGE, g.v(1), g.v(15)),
                             solid(ORANGE_DARK), 1.0 if size <= 32 else 2.0)
    return c.render()


# ---------------------------------------------------------------------------
# .ico writer

def dib_image(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):          # DIBs are stored bottom-up
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):          # AND mask: 1 = transparent
        bits = bytearray(stride)
        for x, (_r, _g, _b, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    body = bytes(pixels) + bytes(mask)
    # biSizeImage covers the colour and mask bits together.
    header = header[:20] + struct.pack("<I", len(body)) + header[24:]
    return header + body


def write_ico(path, images):
    count = len(images)
    offset = 6 + 16 * count
    directory = struct.pack("<HHH", 0, 1, count)
    blobs = []
    for rows in images:
        size = len(rows)
        blob = dib_image(rows)
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32,
                                 len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    path.write_bytes(directory + b"".join(blobs))


def main():
    OUT_DIR.mkdir(parents=True, exist_ok=True)
    program_sizes = sorted(set(SMALL_SIZES + STANDARD_SIZES))
    button_sizes = (16,) + STANDARD_SIZES
    icons = {
        "mendlet.ico": [draw_program_icon(s) for s in program_sizes],
        "arrow_up.ico": [draw_arrow_icon(s, True) for s in button_sizes],
        "arrow_down.ico": [draw_arrow_icon(s, False) for s in button_sizes],
        "sort.ico": [draw_sort_icon(s) for s in button_sizes],
    }
    for name, images in icons.items():
        write_ico(OUT_DIR / name, images)
        print(f"wrote {OUT_DIR / name}")


if __name__ == "__main__":
    main()
