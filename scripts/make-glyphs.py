#!/usr/bin/env python3
"""Draws the 43 glyph strips of the glyph button into controls/glyphs/G*.bmp.

Each strip is 32 x 16 pixels, 8 bits per pixel with a 256-entry colour table: the
normal 16 x 16 picture on the left, a pale washed-out copy (the disabled look) on the
right, pure white as the background that the button keys out.

Run from the repository root: python3 scripts/make-glyphs.py [--preview FILE.ppm]
Only the standard library is used; the BMP bytes are written here.
"""
import math
import os
import struct
import sys

PALETTE = {
    '.': (255, 255, 255),  # background, keyed out by the button
    'w': (250, 250, 250),  # paper white that must stay visible
    'k': (0, 0, 0),
    'K': (64, 64, 64),
    'g': (128, 128, 128),
    's': (192, 192, 192),
    'l': (224, 224, 224),
    'r': (224, 0, 0),
    'R': (128, 0, 0),
    'p': (255, 140, 140),
    'G': (0, 110, 0),
    'n': (0, 176, 0),
    'L': (140, 230, 140),
    'B': (0, 0, 150),
    'b': (30, 100, 240),
    'c': (170, 210, 255),
    'y': (255, 224, 0),
    'o': (255, 150, 0),
    'Y': (170, 120, 0),
    'h': (255, 220, 180),
    'H': (140, 80, 30),
    'd': (200, 140, 70),
}


class Cell:
    def __init__(self):
        self.px = [['.'] * 16 for _ in range(16)]

    def set(self, x, y, c):
        if 0 <= x < 16 and 0 <= y < 16:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        """Filled rectangle, both corners included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def box(self, x0, y0, x1, y1, edge, inside=None):
        if inside:
            self.rect(x0, y0, x1, y1, inside)
        for x in range(x0, x1 + 1):
            self.set(x, y0, edge)
            self.set(x, y1, edge)
        for y in range(y0, y1 + 1):
            self.set(x0, y, edge)
            self.set(x1, y, edge)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, c):
        for y in range(16):
            for x in range(16):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def ring(self, cx, cy, r, width, c):
        for y in range(16):
            for x in range(16):
                d = math.hypot(x - cx, y - cy)
                if r - width < d <= r:
                    self.set(x, y, c)

    def polygon(self, pts, c):
        """Fills the pixels whose centres lie inside the polygon."""
        for y in range(16):
            for x in range(16):
                px, py = x + 0.5, y + 0.5
                inside = False
                j = len(pts) - 1
                for i in range(len(pts)):
                    xi, yi = pts[i]
                    xj, yj = pts[j]
                    if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                        inside = not inside
                    j = i
                if inside:
                    self.set(x, y, c)

    def art(self, rows, x0=0, y0=0):
        """Overlays ASCII art; '.' and spaces leave pixels as they are."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch not in ' .':
                    self.set(x0 + dx, y0 + dy, ch)

    def outline(self, c, around=None):
        """Draws c on background pixels next to (4-neighbour) pixels of the given colours."""
        src = [row[:] for row in self.px]
        for y in range(16):
            for x in range(16):
                if src[y][x] != '.':
                    continue
                for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                    if 0 <= nx < 16 and 0 <= ny < 16:
                        v = src[ny][nx]
                        if v != '.' and (around is None or v in around):
                            self.px[y][x] = c
                            break

    def transformed(self, fn):
        out = Cell()
        for y in range(16):
            for x in range(16):
                sx, sy = fn(x, y)
                out.px[y][x] = self.px[sy][sx]
        return out


def from_art(rows):
    assert len(rows) == 16, rows
    for r in rows:
        assert len(r) == 16, (r, len(r))
    c = Cell()
    c.art(rows)
    return c


GLYPHS = {}


def glyph(name):
    def deco(fn):
        GLYPHS[name] = fn
        return fn
    return deco


# ---- the pictures --------------------------------------------------------------------

@glyph('ADD')
def g_add():
    c = Cell()
    c.rect(6, 2, 9, 13, 'b')
    c.rect(2, 6, 13, 9, 'b')
    c.outline('B')
    return c


@glyph('ALARM')
def g_alarm():
    c = Cell()
    c.disc(3, 3, 2.2, 'r')       # bells
    c.disc(12, 3, 2.2, 'r')
    c.line(3, 13, 2, 15, 'K')    # legs
    c.line(12, 13, 13, 15, 'K')
    c.disc(7.5, 8.5, 6.0, 'R')
    c.disc(7.5, 8.5, 5.2, 'r')
    c.disc(7.5, 8.5, 3.9, 'w')
    c.line(7, 6, 7, 8, 'k')      # hands
    c.line(8, 8, 10, 9, 'k')
    c.set(7, 8, 'k')
    return c


HAND_UP = [
    "......kk........",
    ".....khhk.......",
    ".....khhk.......",
    ".....khhk.......",
    ".....khhkkk.....",
    ".....khhkhhkk...",
    "..kk.khhkhhkhk..",
    ".khhkkhhkhhkhhk.",
    ".khhkhhhhhhhhhk.",
    "..khhhhhhhhhhhk.",
    "..khhhhhhhhhhhk.",
    "...khhhhhhhhhk..",
    "...khhhhhhhhhk..",
    "....khhhhhhhk...",
    "....kccccccck...",
    "....kkkkkkkkk...",
]


@glyph('ARROW_UP')
def g_arrow_up():
    return from_art(HAND_UP)


@glyph('ARROW_DOWN')
def g_arrow_down():
    return from_art(HAND_UP).transformed(lambda x, y: (x, 15 - y))


@glyph('ARROW_LEFT')
def g_arrow_left():
    return from_art(HAND_UP).transformed(lambda x, y: (y, x))


@glyph('ARROW_RIGHT')
def g_arrow_right():
    return from_art(HAND_UP).transformed(lambda x, y: (y, 15 - x))


@glyph('CANCEL')
def g_cancel():
    return from_art([
        "................",
        "................",
        "....G...........",
        "...GnG..........",
        "..GnnGGGGGGG....",
        ".GnnnnnnnnnnGG..",
        "GnnnnnnnnnnnnnG.",
        ".GnnnnGGGGGGnnnG",
        "..GnnG......GnnG",
        "...GnG.......GnG",
        "....G........GnG",
        ".............GnG",
        "............GnnG",
        "........GGGGnnG.",
        "........GnnnnG..",
        "........GGGGG...",
    ])


def document(c, x0, y0, x1, y1):
    c.box(x0, y0, x1, y1, 'K', 'w')
    # folded top-right corner
    c.set(x1, y0, '.')
    c.set(x1 - 1, y0, '.')
    c.set(x1, y0 + 1, '.')
    c.set(x1 - 1, y0 + 1, 'K')
    c.set(x1 - 2, y0 + 1, 'l')
    c.set(x1 - 1, y0 + 2, 'K')
    c.set(x1, y0 + 2, 'K')
    c.set(x1 - 2, y0, 'K')


def text_lines(c, x0, x1, ys, col='g'):
    for y in ys:
        c.line(x0, y, x1, y, col)


@glyph('COPY')
def g_copy():
    c = Cell()
    document(c, 1, 1, 9, 11)
    text_lines(c, 3, 7, (4, 6, 8))
    document(c, 6, 4, 14, 14)
    text_lines(c, 8, 12, (7, 9, 11), 'b')
    return c


@glyph('CUT')
def g_cut():
    return from_art([
        "...k.......k....",
        "...kk.....kk....",
        "....k.....k.....",
        "....kk...kk.....",
        ".....k...k......",
        ".....kk.kk......",
        "......kkk.......",
        ".......k........",
        "......kkk.......",
        ".....rr.rr......",
        "...rrrr.rrrr....",
        "..rr..r.r..rr...",
        "..r...r.r...r...",
        "..rr..r.r..rr...",
        "...rrrr.rrrr....",
        "................",
    ])


@glyph('DAY')
def g_day():
    c = Cell()
    for k in range(8):
        a = k * math.pi / 4
        c.line(round(7.5 + 4.5 * math.cos(a)), round(7.5 + 4.5 * math.sin(a)),
               round(7.5 + 7.2 * math.cos(a)), round(7.5 + 7.2 * math.sin(a)), 'o')
    c.disc(7.5, 7.5, 4.0, 'o')
    c.disc(7.5, 7.5, 3.2, 'y')
    return c


@glyph('DELETE')
def g_delete():
    c = Cell()
    document(c, 2, 0, 12, 14)
    text_lines(c, 4, 10, (3, 5, 7, 9, 11))
    for d in range(7):
        for t in (0, 1):
            c.set(7 + d + t, 7 + d, 'r')
            c.set(14 - d - t, 7 + d, 'r')
    return c


@glyph('EXCEL')
def g_excel():
    c = Cell()
    c.box(5, 1, 15, 14, 'G', 'w')
    for y in (4, 7, 10):
        c.line(6, y, 14, y, 'n')
    c.line(10, 2, 10, 13, 'n')
    c.rect(0, 3, 9, 12, 'G')
    c.art([
        "kk....kk",
        ".ww..ww.",
        "..wwww..",
        "...ww...",
        "..wwww..",
        ".ww..ww.",
        "ww....ww",
    ], 1, 4)
    for y in range(16):
        for x in range(16):
            if c.px[y][x] == 'k':
                c.px[y][x] = 'w'
    return c


def door(c, x0, col_frame, col_door):
    c.box(x0, 1, x0 + 7, 14, col_frame, col_door)
    c.set(x0 + 5, 8, 'y')


@glyph('EXIT')
def g_exit():
    c = Cell()
    door(c, 8, 'H', 'd')
    c.rect(0, 7, 6, 8, 'b')                 # arrow into the door
    c.polygon([(5, 3.5), (9.5, 8), (5, 12.5)], 'b')
    return c


@glyph('EXIT1')
def g_exit1():
    c = Cell()
    c.box(6, 0, 15, 15, 'K', 'K')          # dark doorway
    c.rect(7, 1, 14, 14, 'g')
    c.polygon([(6, 0), (10, 3), (10, 16), (6, 16)], 'd')   # door swung open
    c.line(6, 0, 10, 3, 'H')
    c.line(10, 3, 10, 15, 'H')
    c.rect(0, 7, 9, 8, 'n')
    c.polygon([(8, 3.5), (12.5, 8), (8, 12.5)], 'n')
    c.outline('G', 'n')
    return c


@glyph('EXIT2')
def g_exit2():
    c = Cell()
    door(c, 1, 'G', 'n')
    c.rect(7, 7, 12, 8, 'r')               # arrow out of the door
    c.polygon([(11, 3.5), (15.5, 8), (11, 12.5)], 'r')
    return c


@glyph('FIND')
def g_find():
    c = Cell()
    # handle, thick, lower right
    for d in range(5):
        for t in (-1, 0, 1):
            c.set(10 + d + t, 10 + d, 'K')
    c.disc(6, 6, 5.3, 'k')
    c.disc(6, 6, 4.0, 'c')
    c.set(4, 4, 'w')
    c.set(5, 4, 'w')
    c.set(4, 5, 'w')
    return c


@glyph('HELP')
def g_help():
    c = Cell()
    c.disc(7.5, 6.5, 6.6, 'B')
    c.disc(7.5, 6.5, 5.7, 'c')
    c.polygon([(3, 10), (7, 11), (1, 15.5)], 'B')
    c.polygon([(4, 10), (6, 11), (2.6, 13.5)], 'c')
    c.art([
        ".BBB.",
        "B...B",
        "....B",
        "...B.",
        "..B..",
        ".....",
        "..B..",
    ], 5, 3)
    for y in range(3, 10):
        for x in range(5, 10):
            if c.px[y][x] == '.':
                c.px[y][x] = 'c'
    return c


@glyph('HOME')
def g_home():
    c = Cell()
    c.polygon([(0, 8), (8, 0.5), (16, 8)], 'r')
    c.outline('R', 'r')
    c.box(2, 8, 13, 15, 'K', 'y')
    c.box(4, 10, 6, 15, 'K', 'd')          # door
    c.box(9, 10, 11, 12, 'K', 'c')         # window
    return c


def triangle_bar(c, point_right, bar_first, col='b', edge='B'):
    """A triangle pointing left or right with a bar before or after it."""
    if bar_first:
        bar_x, tri_x0 = 3, 6
    else:
        tri_x0, bar_x = 3, 11
    c.rect(bar_x, 3, bar_x + 1, 12, col)
    if point_right:
        c.polygon([(tri_x0, 3), (tri_x0 + 6, 8), (tri_x0, 13)], col)
    else:
        c.polygon([(tri_x0 + 6, 3), (tri_x0, 8), (tri_x0 + 6, 13)], col)
    c.outline(edge)


@glyph('LAST')
def g_last():
    c = Cell()
    triangle_bar(c, point_right=True, bar_first=False)
    return c


@glyph('NEXT')
def g_next():
    c = Cell()
    triangle_bar(c, point_right=True, bar_first=True)
    return c


@glyph('PRIOR')
def g_prior():
    c = Cell()
    triangle_bar(c, point_right=False, bar_first=False)
    return c


@glyph('TOP')
def g_top():
    c = Cell()
    triangle_bar(c, point_right=False, bar_first=True)
    return c


CHEVRON_UP = [
    "................",
    "................",
    "................",
    ".......BB.......",
    "......BbbB......",
    ".....BbbbbB.....",
    "....BbbbbbbB....",
    "...BbbbBBbbbB...",
    "..BbbbB..BbbbB..",
    ".BbbbB....BbbbB.",
    ".BbbB......BbbB.",
    "..BB........BB..",
    "................",
    "................",
    "................",
    "................",
]


@glyph('UP')
def g_up():
    return from_art(CHEVRON_UP).transformed(lambda x, y: (x, min(15, y + 1)))


@glyph('LOWER')
def g_lower():
    return from_art(CHEVRON_UP).transformed(lambda x, y: (x, 15 - min(15, y + 1)))


@glyph('LEFT')
def g_left():
    return from_art(CHEVRON_UP).transformed(lambda x, y: (y, x))


@glyph('RIGHT')
def g_right():
    return from_art(CHEVRON_UP).transformed(lambda x, y: (y, 15 - x))


@glyph('LIBRARY')
def g_library():
    c = Cell()
    books = [(1, 3, 'r', 'R'), (4, 2, 'b', 'B'), (7, 4, 'n', 'G'), (10, 3, 'o', 'Y')]
    for x, top, col, edge in books:
        c.box(x, top, x + 2, 12, edge, col)
        c.set(x + 1, top + 2, 'y')
    c.polygon([(13, 5), (14.5, 4.5), (16, 12.5), (14.5, 13)], 'd')   # leaning book
    c.rect(0, 13, 15, 14, 'H')
    c.line(1, 15, 14, 15, 'K')
    return c


@glyph('MODI')
def g_modi():
    c = Cell()
    c.box(1, 2, 10, 15, 'K', 'w')
    for x in (3, 5, 7, 9):
        c.set(x, 1, 'K')                     # rings of the pad
        c.set(x, 2, 's')
    text_lines(c, 3, 8, (5, 7, 9, 11, 13), 'c')
    for d in range(8):                       # pen, from the upper right down to the pad
        c.set(14 - d, 1 + d, 'H')
        c.set(15 - d, 1 + d, 'o')
        c.set(15 - d, 2 + d, 'H')
    c.set(7, 9, 'k')
    c.set(6, 10, 'k')
    return c


@glyph('NEW')
def g_new():
    c = Cell()
    document(c, 3, 1, 13, 15)
    return c


@glyph('NO')
def g_no():
    c = Cell()
    for d in range(12):
        for t in (-1, 0, 1):
            c.set(2 + d + t, 2 + d, 'r')
            c.set(13 - d + t, 2 + d, 'r')
    c.outline('R', 'r')
    return c


@glyph('OK')
def g_ok():
    return from_art([
        "................",
        "................",
        "..............G.",
        ".............GnG",
        "............GnnG",
        "...........GnnG.",
        ".G........GnnG..",
        "GnG......GnnG...",
        "GnnG....GnnG....",
        ".GnnG..GnnG.....",
        "..GnnGGnnG......",
        "...GnnnnG.......",
        "....GnnG........",
        ".....GG.........",
        "................",
        "................",
    ])


@glyph('OPEN')
def g_open():
    c = Cell()
    c.box(0, 3, 6, 5, 'Y', 'y')             # tab
    c.box(0, 5, 12, 14, 'Y', 'y')           # back of the folder
    c.polygon([(3, 8), (16, 8), (13, 15), (0, 15)], 'o')   # front flap, tipped open
    c.line(3, 8, 15, 8, 'Y')
    c.line(15, 8, 12, 14, 'Y')
    c.line(0, 14, 12, 14, 'Y')
    c.line(3, 8, 0, 14, 'Y')
    return c


def ring_with_arrow(c, right):
    c.ring(7.5, 7.5, 7.2, 1.6, 'b')
    if right:
        c.rect(3, 7, 8, 8, 'r')
        c.polygon([(8, 3.5), (12.5, 8), (8, 12.5)], 'r')
    else:
        c.rect(7, 7, 12, 8, 'r')
        c.polygon([(8, 3.5), (3.5, 8), (8, 12.5)], 'r')


@glyph('OUT_LEFT')
def g_out_left():
    c = Cell()
    ring_with_arrow(c, right=False)
    return c


@glyph('OUT_RIGHT')
def g_out_right():
    c = Cell()
    ring_with_arrow(c, right=True)
    return c


@glyph('PASTE')
def g_paste():
    c = Cell()
    c.box(1, 2, 13, 15, 'H', 'd')           # board
    c.box(3, 4, 11, 14, 'K', 'w')           # sheet
    text_lines(c, 5, 9, (7, 9, 11))
    c.box(5, 1, 9, 4, 'K', 's')             # clip
    c.line(6, 0, 8, 0, 'K')
    return c


@glyph('PAUSE')
def g_pause():
    c = Cell()
    c.rect(3, 2, 6, 13, 'y')
    c.rect(9, 2, 12, 13, 'y')
    c.outline('Y')
    return c


@glyph('PLAY')
def g_play():
    c = Cell()
    c.polygon([(3, 1.5), (14, 8), (3, 14.5)], 'n')
    c.outline('G')
    return c


@glyph('PRINT')
def g_print():
    return from_art([
        "....KKKKKKKK....",
        "....KwwwwwwK....",
        "....KwggggwK....",
        "....KwwwwwwK....",
        "..KKKwggggwKKK..",
        ".KssKwwwwwwKssK.",
        "KllllllllllllllK",
        "KllllllllllnnllK",
        "KsssssssssssssgK",
        "KsssssssssssssgK",
        "KggKKKKKKKKKKggK",
        "KssKwwwwwwwwKssK",
        ".KKKwggggggwKKK.",
        "....KwwwwwwK....",
        "....KKKKKKKK....",
        "................",
    ])


@glyph('SAVE')
def g_save():
    c = Cell()
    c.box(1, 1, 14, 14, 'B', 'b')
    c.set(14, 1, '.')
    c.box(4, 1, 11, 6, 'B', 's')            # shutter
    c.rect(8, 2, 9, 5, 'B')
    c.box(3, 9, 12, 14, 'B', 'w')           # label
    text_lines(c, 5, 10, (11, 13), 'c')
    return c


@glyph('SET')
def g_set():
    c = Cell()
    # gear wheel, lower right
    for k in range(8):
        a = k * math.pi / 4 + math.pi / 8
        c.disc(10 + 4.6 * math.cos(a), 10 + 4.6 * math.sin(a), 1.3, 'g')
    c.disc(10, 10, 4.2, 'g')
    c.disc(10, 10, 1.6, '.')
    c.outline('K', 'g')
    # wrench, from the upper left across the wheel
    for d in range(9):
        c.set(2 + d, 4 + d, 'b')
        c.set(3 + d, 4 + d, 'b')
        c.set(4 + d, 4 + d, 'B') if d > 0 else None
    c.disc(3, 3, 2.8, 'b')
    c.rect(2, 0, 3, 2, '.')
    c.set(3, 3, '.')
    c.outline('B', 'b')
    return c


@glyph('STOP')
def g_stop():
    c = Cell()
    c.rect(3, 3, 12, 12, 'r')
    c.outline('R')
    return c


@glyph('WORD')
def g_word():
    c = Cell()
    document(c, 3, 0, 14, 15)
    text_lines(c, 9, 12, (4, 6, 8, 10, 12), 'c')
    c.rect(0, 3, 9, 12, 'b')
    c.art([
        "w......w",
        "w......w",
        "w..ww..w",
        "w..ww..w",
        ".w.ww.w.",
        ".ww..ww.",
        ".w....w.",
    ], 1, 4)
    return c


@glyph('WRITE')
def g_write():
    return from_art([
        "............KK..",
        "...........KppK.",
        "..........KrpppK",
        ".........KyKrpK.",
        "........KyyyKK..",
        ".......KyyyyK...",
        "......KyyyyK....",
        ".....KyyyyK.....",
        "....KyyyyK......",
        "...KhyyyK.......",
        "..KhhyyK........",
        "..KhhhK.........",
        ".KkhhK..........",
        ".KkKK...........",
        ".bb...bbb..bbbb.",
        "...bbb...bb.....",
    ])


# ---- output ----------------------------------------------------------------------------

def pale(rgb):
    """The washed-out copy of a colour for the disabled cell; never pure white."""
    r, g, b = rgb
    lum = 0.299 * r + 0.587 * g + 0.114 * b
    out = []
    for v in (r, g, b):
        m = 0.35 * v + 0.65 * lum
        out.append(min(250, int(round(m + (255 - m) * 0.55))))
    return tuple(out)


def strip_pixels(cell):
    """Rows of RGB tuples, 32 wide: the picture and its pale copy."""
    rows = []
    for y in range(16):
        row = []
        for x in range(16):
            row.append(PALETTE[cell.px[y][x]])
        for x in range(16):
            ch = cell.px[y][x]
            row.append(PALETTE['.'] if ch == '.' else pale(PALETTE[ch]))
        rows.append(row)
    return rows


def bmp_bytes(rows):
    colours = []
    index = {}
    for row in rows:
        for rgb in row:
            if rgb not in index:
                index[rgb] = len(colours)
                colours.append(rgb)
    assert len(colours) <= 256
    width, height = len(rows[0]), len(rows)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, width * height,
                       3780, 3780, 256, 0)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in colours)
    table += b'\0' * (1024 - len(table))
    pixels = b''.join(bytes(index[rgb] for rgb in rows[y]) for y in range(height - 1, -1, -1))
    offset = 14 + len(info) + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return header + info + table + pixels


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    outdir = os.path.join(root, 'controls', 'glyphs')
    os.makedirs(outdir, exist_ok=True)
    names = sorted(GLYPHS)
    assert len(names) == 43, len(names)
    strips = {}
    for name in names:
        rows = strip_pixels(GLYPHS[name]())
        strips[name] = rows
        with open(os.path.join(outdir, 'G%s.bmp' % name), 'wb') as f:
            f.write(bmp_bytes(rows))
    with open(os.path.join(root, 'controls', 'glyphs.qrc'), 'w') as f:
        f.write('<!DOCTYPE RCC>\n<RCC version="1.0">\n<qresource prefix="/glyphs">\n')
        for name in names:
            f.write('    <file alias="G%s.bmp">glyphs/G%s.bmp</file>\n' % (name, name))
        f.write('</qresource>\n</RCC>\n')
    if len(sys.argv) == 3 and sys.argv[1] == '--preview':
        # All strips in a grid, 4x enlarged, as a binary PPM for a quick look.
        cols, scale = 4, 4
        lines = (len(names) + cols - 1) // cols
        w, h = cols * 36 * scale, lines * 18 * scale
        img = [[(200, 200, 200)] * w for _ in range(h)]
        for i, name in enumerate(names):
            ox, oy = (i % cols) * 36 * scale, (i // cols) * 18 * scale
            for y in range(16):
                for x in range(32):
                    for sy in range(scale):
                        for sx in range(scale):
                            img[oy + y * scale + sy][ox + x * scale + sx] = strips[name][y][x]
        with open(sys.argv[2], 'wb') as f:
            f.write(b'P6 %d %d 255\n' % (w, h))
            for row in img:
                f.write(b''.join(bytes(p) for p in row))
        print('preview order:', ' '.join(names))


if __name__ == '__main__':
    main()
