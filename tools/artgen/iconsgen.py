#!/usr/bin/env python3
"""Draws the Layout page's icons from a short description of each picture
and writes them as .ico files (one 20 x 20 image, 32 bits with alpha).

The output depends on nothing but this file: the same description always
gives the same bytes.  Usage: iconsgen.py OUTPUT_DIR
"""
import os
import struct
import sys

SIZE = 20
SUB = 4  # samples per pixel along each axis

BLUE = (0x1F, 0x4E, 0xB4)
WHITE = (0xFF, 0xFF, 0xFF)
YELLOW = (0xFF, 0xCC, 0x1A)
AMBER = (0x9A, 0x6A, 0x00)
BLACK = (0x00, 0x00, 0x00)


# --- shapes: each answers "does this point belong to me?" ---------------

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def polygon(points):
    def inside(x, y):
        n = len(points)
        result = False
        j = n - 1
        for i in range(n):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def stroke(x0, y0, x1, y1, width):
    """A line segment of the given width with round ends."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy
    half2 = (width / 2.0) ** 2

    def inside(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx - x, y0 + t * dy - y
        return px * px + py * py <= half2
    return inside


# --- pictures made of shapes ------------------------------------------

def letter_a(cx, cy, h, upside_down=False):
    """A blue capital A of height h centred on (cx, cy)."""
    w = h * 0.8
    width = max(1.3, h * 0.2)
    top, bottom = -h / 2, h / 2
    strokes = [(0, top, -w / 2, bottom), (0, top, w / 2, bottom),
               (-w * 0.27, h * 0.12, w * 0.27, h * 0.12)]
    shapes = []
    for x0, y0, x1, y1 in strokes:
        if upside_down:
            x0, y0, x1, y1 = -x0, -y0, -x1, -y1
        shapes.append((stroke(cx + x0, cy + y0, cx + x1, cy + y1, width), BLUE))
    return shapes


def page(x0, y0, x1, y1, upside_down=False):
    """A white page with a blue outline and a blue letter A."""
    shapes = [(rect(x0, y0, x1, y1), BLUE), (rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1), WHITE)]
    h = min(x1 - x0, y1 - y0) * 0.55
    shapes += letter_a((x0 + x1) / 2, (y0 + y1) / 2, h, upside_down)
    return shapes


def warning(x0, y0, size):
    """A yellow triangle with a dark edge and an exclamation mark."""
    apex = (x0 + size / 2, y0)
    left, right = (x0, y0 + size), (x0 + size, y0 + size)
    inset = size * 0.16
    inner = [(apex[0], y0 + inset * 1.6), (x0 + inset, y0 + size - inset * 0.6),
             (x0 + size - inset, y0 + size - inset * 0.6)]
    cx = x0 + size / 2
    bar = max(1.0, size * 0.14)
    return [(polygon([apex, left, right]), AMBER), (polygon(inner), YELLOW),
            (stroke(cx, y0 + size * 0.36, cx, y0 + size * 0.64, bar), BLACK),
            (stroke(cx, y0 + size * 0.80, cx, y0 + size * 0.80, bar), BLACK)]


PORTRAIT = (4, 1, 16, 19)
LANDSCAPE = (1, 4, 19, 16)

# id -> the picture, drawn in order (later shapes over earlier ones)
PICTURES = {
    12001: warning(1, 2, 18),
    12011: page(*PORTRAIT),
    12013: page(*LANDSCAPE),
    12015: page(*LANDSCAPE, upside_down=True),
    # duplex: one page, then two pages as they are bound
    12021: page(*PORTRAIT),
    12023: page(6, 0, 14, 10) + page(6, 10, 14, 20),     # portrait, short edge: above each other
    12025: page(1, 4, 10, 16) + page(10, 4, 19, 16),     # portrait, long edge: an open book
    12027: page(0, 6, 10, 14) + page(10, 6, 20, 14),     # landscape, short edge: side by side
    12029: page(3, 1, 17, 10) + page(3, 10, 17, 19),     # landscape, long edge: above each other
}
# Each warning variant is its picture with a small triangle over the
# lower-left corner.
for base in (12011, 12013, 12015, 12021, 12023, 12025, 12027, 12029):
    PICTURES[base + 1] = PICTURES[base] + warning(0, 9, 11)


def render(shapes):
    """Premultiplied coverage per pixel, then straight BGRA rows top-down."""
    rows = []
    n = SUB * SUB
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0, 0, 0, 0]
            for sy in range(SUB):
                for sx in range(SUB):
                    x = px + (sx + 0.5) / SUB
                    y = py + (sy + 0.5) / SUB
                    colour = None
                    for inside, c in shapes:
                        if inside(x, y):
                            colour = c
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            alpha = acc[3] * 255 // n
            if acc[3]:
                r, g, b = (acc[i] // acc[3] for i in range(3))
            else:
                r = g = b = 0
            row.append((b, g, r, alpha))
        rows.append(row)
    return rows


def ico_bytes(rows):
    xor = b"".join(bytes(px) for row in reversed(rows) for px in row)
    mask_stride = ((SIZE + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + bytes(mask)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return icondir + entry + image


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for ident in sorted(PICTURES):
        data = ico_bytes(render(PICTURES[ident]))
        with open(os.path.join(out, "icon_%d.ico" % ident), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
