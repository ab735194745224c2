#!/usr/bin/env python3
"""Draws the program's icons and cursor and writes them as ICO/CUR files.

    python3 resources/make_icons.py           write the files beside this script
    python3 resources/make_icons.py --check   exit 1 if a committed file differs
    python3 resources/make_icons.py --out DIR write them into DIR instead

The output is committed, so building never needs Python. Standard library
only, and nothing depends on time or locale: the same bytes every run.
"""

import argparse
import os
import struct
import sys

# Samples per pixel along each axis; the edges get 8x8 = 64 grey levels.
SS = 8

# Palette shared by the icons.
OUTLINE = (0x33, 0x41, 0x55)
HEADER = (0x2B, 0x6C, 0xD0)
HEADER_DARK = (0x1F, 0x52, 0xA3)
PAGE = (0xFF, 0xFF, 0xFF)
GRID = (0xC8, 0xD2, 0xDF)
RING = (0x4A, 0x55, 0x63)
CHECK = (0x1F, 0xA0, 0x3C)
CHECK_DARK = (0x12, 0x6B, 0x27)
HAND = (0x22, 0x2A, 0x35)


class Canvas:
    """A square of straight (not premultiplied) RGBA floats, 0..1."""

    def __init__(self, size):
        self.size = size
        self.px = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

    def fill(self, inside, color, alpha=1.0, box=None):
        """Paints colour over every pixel by the share of its samples inside."""
        r, g, b = (c / 255.0 for c in color)
        x0, y0, x1, y1 = box if box else (0, 0, self.size, self.size)
        x0, y0 = max(0, int(x0) - 1), max(0, int(y0) - 1)
        x1, y1 = min(self.size, int(x1) + 2), min(self.size, int(y1) + 2)
        offsets = [(i + 0.5) / SS for i in range(SS)]
        for y in range(y0, y1):
            row = self.px[y]
            for x in range(x0, x1):
                hits = 0
                for oy in offsets:
                    for ox in offsets:
                        if inside(x + ox, y + oy):
                            hits += 1
                if not hits:
                    continue
                a = alpha * hits / (SS * SS)
                dr, dg, db, da = row[x]
                oa = a + da * (1.0 - a)
                k = da * (1.0 - a)
                row[x] = ((r * a + dr * k) / oa, (g * a + dg * k) / oa,
                          (b * a + db * k) / oa, oa)

    def bgra(self):
        """Rows top to bottom, each a list of (b, g, r, a) bytes."""
        out = []
        for row in self.px:
            line = []
            for r, g, b, a in row:
                if a <= 0.0:
                    line.append((0, 0, 0, 0))
                else:
                    line.append((q(b), q(g), q(r), q(a)))
            out.append(line)
        return out


def q(v):
    return max(0, min(255, int(v * 255.0 + 0.5)))


# Shapes: each returns a test inside(x, y) and its bounding box.

def rect(x0, y0, x1, y1):
    return (lambda x, y: x0 <= x < x1 and y0 <= y < y1), (x0, y0, x1, y1)


def round_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside, (x0, y0, x1, y1)


def circle(cx, cy, r):
    return ((lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r),
            (cx - r, cy - r, cx + r, cy + r))


def polyline(points, width):
    """A stroke of the given width with round joins and caps."""
    h2 = (width / 2.0) ** 2
    segs = list(zip(points, points[1:]))

    def inside(x, y):
        for (ax, ay), (bx, by) in segs:
            dx, dy = bx - ax, by - ay
            t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
            t = min(1.0, max(0.0, t))
            ex, ey = ax + t * dx - x, ay + t * dy - y
            if ex * ex + ey * ey <= h2:
                return True
        return False
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    w = width / 2.0
    return inside, (min(xs) - w, min(ys) - w, max(xs) + w, max(ys) + w)


def draw(canvas, shape, color, alpha=1.0):
    inside, box = shape
    canvas.fill(inside, color, alpha, box)


# The program icon: a calendar page with a green check mark.

def calendar_icon(s):
    c = Canvas(s)
    k = s / 16.0
    line = 1.0 if s < 48 else 2.0
    # Square corners at 16 px stay crisp; rounding would only blur them.
    radius = 0.0 if s == 16 else 1.0 * k
    left, top, right, bottom = 1 * k, 2 * k, 15 * k, 15 * k
    head = 6 * k if s == 16 else 6.5 * k

    # Outline, then the page and header inside it.
    draw(c, round_rect(left, top, right, bottom, radius + line * (s > 16)), OUTLINE)
    inner = (left + line, top + line, right - line, bottom - line)
    draw(c, round_rect(*inner, radius), PAGE)
    header = (inner[0], inner[1], inner[2], head)
    draw(c, round_rect(*header, radius), HEADER)
    draw(c, rect(inner[0], head - radius, inner[2], head), HEADER)
    draw(c, rect(inner[0], head, inner[2], head + line), HEADER_DARK)

    if s >= 32:
        # The day grid: three rows of five.
        gx0, gx1 = inner[0], inner[2]
        gy0, gy1 = head + line, inner[3]
        cols, rows = 5, 3
        for i in range(1, cols):
            x = round(gx0 + (gx1 - gx0) * i / cols)
            draw(c, rect(x, gy0, x + 1, gy1), GRID)
        for j in range(1, rows):
            y = round(gy0 + (gy1 - gy0) * j / rows)
            draw(c, rect(gx0, y, gx1, y + 1), GRID)

    # Binder rings over the header's top edge.
    ring_w = 1.0 * k if s < 48 else 4.0
    ring_top = 1.0 if s == 16 else 0.5 * k
    for cx in (4.5 * k, 11.5 * k):
        x0 = round(cx - ring_w / 2.0)
        if s > 16:
            # A pale border keeps them apart from the blue.
            draw(c, round_rect(x0 - 1, ring_top - 1, x0 + ring_w + 1, 4 * k + 1,
                               ring_w / 2.0 + 1), PAGE)
        draw(c, round_rect(x0, ring_top, x0 + ring_w, 4 * k, ring_w / 2.0 if s > 16 else 0), RING)

    if s == 16:
        # Placed by hand: an anti-aliased diagonal this small is only a smudge.
        for x, y, n in CHECK_16:
            draw(c, rect(x, y, x + n, y + 1), CHECK)
        return c
    # The check mark, outlined in a darker green.
    pts = [(4.6 * k, 10.2 * k), (7.0 * k, 12.6 * k), (12.4 * k, 7.6 * k)]
    stroke = 2.3 * k
    draw(c, polyline(pts, stroke + 2.0 * line), CHECK_DARK)
    draw(c, polyline(pts, stroke), CHECK)
    return c


# Runs of the 16 px check mark: (x, y, length).
CHECK_16 = [
    (11, 6, 2), (10, 7, 3), (9, 8, 3), (3, 9, 2), (8, 9, 3), (3, 10, 3), (7, 10, 3),
    (4, 11, 5), (5, 12, 3),
]


# The tray icon: a clock face, bold enough to read at 16 px.

def clock_icon(s):
    c = Canvas(s)
    k = s / 16.0
    cx = cy = s / 2.0
    draw(c, circle(cx, cy, 7.9 if s == 16 else 7.75 * k), HEADER_DARK)
    draw(c, circle(cx, cy, 6.0 if s == 16 else 6.5 * k), PAGE)
    hand = 2.0 if s == 16 else 2.0 * k * 0.75 + 0.5
    hand = round(hand)
    half = hand / 2.0
    if s >= 32:
        # Hour marks at 12, 3, 6 and 9.
        for dx, dy in ((0, -1), (1, 0), (0, 1), (-1, 0)):
            a, b = 5.0 * k, 6.0 * k
            if dx:
                x0, x1 = sorted((cx + dx * a, cx + dx * b))
                draw(c, rect(x0, cy - 1, x1, cy + 1), OUTLINE)
            else:
                y0, y1 = sorted((cy + dy * a, cy + dy * b))
                draw(c, rect(cx - 1, y0, cx + 1, y1), OUTLINE)
    # Three o'clock: the minute hand up, the hour hand to the right.
    reach = 5.0 * k if s == 16 else 4.5 * k
    draw(c, rect(cx - half, cy - reach, cx + half, cy + half), HAND)
    draw(c, rect(cx - half, cy - half, round(cx + 3.75 * k), cy + half), HAND)
    return c


# ICO and CUR writing.

def mask_bytes(bits_rows):
    """1 bpp rows, bottom-up, each padded to 32 bits."""
    out = bytearray()
    for row in reversed(bits_rows):
        line = bytearray((len(row) + 31) // 32 * 4)
        for x, bit in enumerate(row):
            if bit:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def icon_image(canvas):
    rows = canvas.bgra()
    s = canvas.size
    xor = bytearray()
    for row in reversed(rows):
        for px in row:
            xor += bytes(px)
    # Transparent where nothing was drawn, for displays without alpha.
    andmask = mask_bytes([[px[3] == 0 for px in row] for row in rows])
    header = struct.pack('<IiiHHIIiiII', 40, s, 2 * s, 1, 32, 0,
                         len(xor) + len(andmask), 0, 0, 0, 0)
    return header + bytes(xor) + andmask


def write_icon_file(images, kind, extra=None):
    """images: [(size, bytes)]; kind 1 for ICO, 2 for CUR (extra: hotspots)."""
    out = bytearray(struct.pack('<HHH', 0, kind, len(images)))
    offset = 6 + 16 * len(images)
    for i, (size, data) in enumerate(images):
        w = size if size < 256 else 0
        if kind == 1:
            out += struct.pack('<BBBBHHII', w, w, 0, 0, 1, 32, len(data), offset)
        else:
            hx, hy, colors = extra[i]
            out += struct.pack('<BBBBHHII', w, w, colors, 0, hx, hy, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


# The cross-hair cursor for dragging over windows: black lines with a white
# rim so it shows on dark and light windows alike, and a ring for aiming.

CURSOR_SIZE = 32
HOT = 15


def crosshair_cells():
    """Per pixel: None for transparent, 0 for black, 1 for white."""
    n = CURSOR_SIZE
    black = set()
    # Arms with a gap round the centre, so the target shows through.
    for d in range(3, 14):
        for sign in (-1, 1):
            black.add((HOT + sign * d, HOT))
            black.add((HOT, HOT + sign * d))
    black.add((HOT, HOT))
    # A ring of radius 8.
    for y in range(n):
        for x in range(n):
            d2 = (x - HOT) ** 2 + (y - HOT) ** 2
            if 7.5 ** 2 <= d2 < 8.5 ** 2:
                black.add((x, y))
    white = set()
    for (x, y) in black:
        for dy in (-1, 0, 1):
            for dx in (-1, 0, 1):
                p = (x + dx, y + dy)
                if p not in black and 0 <= p[0] < n and 0 <= p[1] < n:
                    white.add(p)
    cells = [[None] * n for _ in range(n)]
    for (x, y) in white:
        cells[y][x] = 1
    for (x, y) in black:
        cells[y][x] = 0
    return cells


def cursor_image(cells):
    n = len(cells)
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    # XOR 1 with AND 0 is white; both 0 is black; AND 1 with XOR 0 leaves the screen.
    xor = mask_bytes([[c == 1 for c in row] for row in cells])
    andmask = mask_bytes([[c is None for c in row] for row in cells])
    return header + palette + xor + andmask


def build():
    program = write_icon_file([(s, icon_image(calendar_icon(s))) for s in (16, 32, 48)], 1)
    tray = write_icon_file([(s, icon_image(clock_icon(s))) for s in (16, 32)], 1)
    cursor = write_icon_file([(CURSOR_SIZE, cursor_image(crosshair_cells()))], 2,
                             [(HOT, HOT, 2)])
    return {'scheduler.ico': program, 'tray.ico': tray, 'crosscur.cur': cursor}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description='Draw the icons and cursor.')
    parser.add_argument('--out', default=here, help='folder to write into')
    parser.add_argument('--check', action='store_true',
                        help='compare with the files in --out instead of writing')
    args = parser.parse_args()
    stale = []
    for name, data in sorted(build().items()):
        path = os.path.join(args.out, name)
        if args.check:
            try:
                with open(path, 'rb') as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                stale.append(name)
            continue
        with open(path, 'wb') as f:
            f.write(data)
    if stale:
        print('out of date: ' + ', '.join(stale) + ' (run make_icons.py)', file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
