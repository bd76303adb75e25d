#!/usr/bin/env python3
"""Draws the 32 x 32 images of the preview window's toolbar into grid/preview/*.png
and lists them in grid/preview.qrc.

One image per toolbar command: print (a printer with a sheet coming out), PDF (a sheet
with a folded corner and "PDF" on a red band), printer setup (a printer and a gear),
scale (a magnifier), previous and next (arrows), stop (a stop sign) and close (an open
door with an arrow going out). Shapes are given in the 32 x 32 pixel square and drawn
with 6 x 6 supersampling, so edges are smooth and the background is transparent.

Run from the repository root: python3 scripts/make-toolbar-images.py
Only the standard library is used (scripts/drawing.py writes the PNG bytes).
"""
import math
import os

from drawing import disc, png, polygon, rect, render, rounded_rect, stroke

SIZE = 32
SS = 6

INK = (52, 52, 60)
PAPER = (252, 252, 250)
LINE = (150, 160, 180)
RED = (204, 32, 32)
RED_DARK = (120, 16, 16)
GREEN = (40, 165, 70)
GREEN_DARK = (20, 95, 40)
BLUE = (40, 110, 215)
BLUE_DARK = (16, 56, 130)
STEEL = (110, 124, 148)
WOOD = (196, 128, 64)
WOOD_DARK = (104, 60, 24)


# Shapes are in pixel coordinates (0..32, y down).

def arc(cx, cy, rx, ry, a0, a1, steps=16):
    """Points of an elliptic arc; angles in degrees, 0 pointing right, 90 down."""
    out = []
    for i in range(steps + 1):
        a = math.radians(a0 + (a1 - a0) * i / steps)
        out.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return out


def gear(cx, cy, r_out, r_in, teeth):
    """A toothed wheel: teeth reach r_out, the rim between them r_in."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if d > r_out:
            return False
        if d <= r_in:
            return True
        phase = (math.atan2(y - cy, x - cx) / (2 * math.pi) * teeth) % 1.0
        # Tapered teeth: wide at the rim, narrower at the tip.
        depth = (d - r_in) / (r_out - r_in)
        half = 0.30 - 0.10 * depth
        return abs(phase - 0.5) <= half
    return inside


def octagon(cx, cy, r):
    return [(cx + r * math.cos(math.radians(22.5 + 45 * k)),
             cy + r * math.sin(math.radians(22.5 + 45 * k))) for k in range(8)]


def vertical(top, bottom, y0, y1):
    """A colour that runs from `top` at y0 to `bottom` at y1."""
    def colour(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
    return colour


# ---------------------------------------------------------------- pictures
# Each picture is a list of (shape, colour) layers, bottom first.

def printer_layers(dx=0.0, dy=0.0, scale=1.0):
    def p(x, y):
        return dx + x * scale, dy + y * scale

    def r(x0, y0, x1, y1):
        (a, b), (c, d) = p(x0, y0), p(x1, y1)
        return a, b, c, d

    layers = [
        (rect(*r(8.5, 2.5, 23.5, 13)), INK),
        (rect(*r(9.5, 3.5, 22.5, 13)), PAPER),
        (rect(*r(11, 6, 20, 7)), LINE),
        (rect(*r(11, 9, 17, 10)), LINE),
        (rounded_rect(*r(2.5, 11, 29.5, 24), 2.5 * scale), INK),
        (rounded_rect(*r(3.5, 12, 28.5, 23), 1.8 * scale),
         vertical((222, 224, 230), (150, 154, 166), p(0, 12)[1], p(0, 23)[1])),
        (rect(*r(6.5, 18.5, 25.5, 21)), (44, 44, 50)),
        (disc(*p(25, 15), 1.4 * scale), (40, 200, 70)),
        (rect(*r(7.5, 20, 24.5, 30)), INK),
        (rect(*r(8.5, 20.5, 23.5, 29)), PAPER),
        (rect(*r(10.5, 23, 21.5, 24)), LINE),
        (rect(*r(10.5, 26, 18, 27)), LINE),
    ]
    return layers


def picture_print():
    return printer_layers()


def picture_pdf():
    page = [(6, 1.5), (20.5, 1.5), (26.5, 7.5), (26.5, 30.5), (6, 30.5)]
    inner = [(7, 2.5), (20, 2.5), (25.5, 8), (25.5, 29.5), (7, 29.5)]
    white = (255, 255, 255)
    pen = 1.9
    letters = [
        # P
        stroke([(6.6, 23.2), (6.6, 16.2), (8.6, 16.2)] + arc(8.6, 18.1, 2.0, 1.9, -90, 90)
               + [(6.6, 20.0)], pen),
        # D
        stroke([(13.3, 16.2), (13.3, 23.2), (14.6, 23.2)] + arc(14.6, 19.7, 2.9, 3.5, 90, -90)
               + [(13.3, 16.2)], pen),
        # F
        stroke([(26.0, 16.2), (21.0, 16.2), (21.0, 23.2)], pen),
        stroke([(21.0, 19.6), (24.6, 19.6)], pen),
    ]
    layers = [
        (polygon(page), INK),
        (polygon(inner), PAPER),
        (polygon([(20, 2), (20, 8), (26, 8)]), (214, 216, 222)),
        (stroke([(20, 2), (20, 8), (26, 8)], 1.0), INK),
        (rect(9.5, 6, 17, 7), LINE),
        (rect(9.5, 9, 22.5, 10), LINE),
        (rect(9.5, 27, 22.5, 28), LINE),
        (rounded_rect(3, 14, 29, 25.5, 1.6), RED_DARK),
        (rounded_rect(3.8, 14.8, 28.2, 24.7, 1.1), RED),
    ]
    layers += [(letter, white) for letter in letters]
    return layers


def picture_printer_setup():
    layers = printer_layers(dx=-1.0, dy=-1.0, scale=0.78)
    cx, cy = 22.5, 22.5
    layers += [
        (gear(cx, cy, 9.2, 7.0, 8), INK),
        (gear(cx, cy, 8.2, 6.1, 8), vertical((170, 182, 204), STEEL, cy - 8, cy + 8)),
        (disc(cx, cy, 3.4), INK),
        (disc(cx, cy, 2.5), (236, 238, 242)),
    ]
    return layers


def picture_scale():
    cx, cy = 13, 13
    return [
        (stroke([(20.5, 20.5), (28.5, 28.5)], 6.6), INK),
        (stroke([(20.5, 20.5), (28.5, 28.5)], 4.6), vertical((170, 106, 50), WOOD_DARK, 20, 29)),
        (disc(cx, cy, 10.5), INK),
        (disc(cx, cy, 9.0), (150, 158, 172)),
        (disc(cx, cy, 7.2), INK),
        (disc(cx, cy, 6.4), vertical((228, 240, 255), (170, 205, 245), cy - 6, cy + 6)),
        (stroke(arc(cx, cy, 4.2, 4.2, 195, 255, 8), 1.4), (255, 255, 255)),
    ]


def arrow_points(mirror):
    pts = [(3, 16), (15, 4), (15, 11), (29, 11), (29, 21), (15, 21), (15, 28)]
    return [(SIZE - x, y) for x, y in pts] if mirror else pts


def picture_arrow(mirror):
    pts = arrow_points(mirror)
    return [
        (polygon(pts), vertical((96, 160, 240), BLUE, 4, 28)),
        (stroke(pts, 1.5, closed=True), BLUE_DARK),
        (stroke([(SIZE - x, y) if mirror else (x, y) for x, y in [(16.5, 12.5), (27.5, 12.5)]],
                1.2), (150, 196, 250)),
    ]


def picture_stop():
    return [
        (polygon(octagon(16, 16, 15.2)), RED_DARK),
        (polygon(octagon(16, 16, 14.0)), vertical((232, 60, 52), (180, 20, 20), 2, 30)),
        (stroke(octagon(16, 16, 11.6), 1.4, closed=True), (255, 255, 255)),
        (rounded_rect(8, 13.2, 24, 18.8, 1.2), (255, 255, 255)),
    ]


def picture_close():
    arrow = [(14.5, 13.2), (22, 13.2), (22, 8.8), (30, 16), (22, 23.2), (22, 18.8), (14.5, 18.8)]
    leaf = [(4.5, 2.5), (13.5, 5.5), (13.5, 31), (4.5, 29.5)]
    return [
        (rect(3.5, 1.5, 22.5, 30), WOOD_DARK),
        (rect(5, 3, 21, 30), (58, 44, 36)),
        (polygon(leaf), vertical((214, 150, 84), (170, 104, 44), 2, 31)),
        (stroke(leaf, 1.2, closed=True), WOOD_DARK),
        (disc(11.3, 18, 1.3), (250, 210, 40)),
        (polygon(arrow), GREEN),
        (stroke(arrow, 1.3, closed=True), GREEN_DARK),
    ]


PICTURES = {
    'print': picture_print,
    'pdf': picture_pdf,
    'printer-setup': picture_printer_setup,
    'scale': picture_scale,
    'previous': lambda: picture_arrow(False),
    'next': lambda: picture_arrow(True),
    'stop': picture_stop,
    'close': picture_close,
}


# ---------------------------------------------------------------- output

def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    outdir = os.path.join(root, 'grid', 'preview')
    os.makedirs(outdir, exist_ok=True)
    for name, picture in PICTURES.items():
        with open(os.path.join(outdir, name + '.png'), 'wb') as f:
            f.write(png(SIZE, render(SIZE, picture(), SS)))
    with open(os.path.join(root, 'grid', 'preview.qrc'), 'w') as f:
        f.write('<!DOCTYPE RCC>\n<RCC version="1.0">\n<qresource prefix="/preview">\n')
        for name in PICTURES:
            f.write('    <file alias="%s.png">preview/%s.png</file>\n' % (name, name))
        f.write('</qresource>\n</RCC>\n')


if __name__ == '__main__':
    main()
