#!/usr/bin/env python3
"""Draws the program's icon pictures as XPM text files, 16 colours, at 16, 32, 48 and 64 pixels.

The XPM files next to this script are the pictures the build embeds; they can be edited by hand in
any text editor or image editor. This script is how they were drawn: run it to draw them all anew
(python3 draw_icons.py) after changing a shape below. Shapes are given on a 16 x 16 grid and scaled;
each pixel takes the colour that covers most of it.
"""
import math
import os

# The 16 standard colours; "." is transparent.
PALETTE = {
    ".": None,
    "k": "#000000", "m": "#800000", "g": "#008000", "o": "#808000",
    "n": "#000080", "p": "#800080", "t": "#008080", "s": "#C0C0C0",
    "d": "#808080", "r": "#FF0000", "l": "#00FF00", "y": "#FFFF00",
    "b": "#0000FF", "f": "#FF00FF", "a": "#00FFFF", "w": "#FFFFFF",
}
SIZES = (16, 32, 48, 64)
# The application icon also comes at 128 pixels, for launchers and task switchers.
APP_ICON = "MAINICON"
APP_ICON_SIZES = SIZES + (128,)
SUB = 5  # samples per pixel side


class Picture:
    def __init__(self, size):
        self.size = size
        self.shapes = []  # (colour, inside(x, y) on the 16 grid)
        # thin strokes stay about one pixel wide at 16 and get relatively thinner when larger
        self.line = 1.0 if size == 16 else 0.6

    def add(self, colour, inside):
        self.shapes.append((colour, inside))

    def rect(self, c, x0, y0, x1, y1):
        self.add(c, lambda x, y: x0 <= x < x1 and y0 <= y < y1)

    def frame(self, c, x0, y0, x1, y1, w=None):
        w = self.line if w is None else w
        self.add(c, lambda x, y: x0 <= x < x1 and y0 <= y < y1 and
                 (x < x0 + w or x >= x1 - w or y < y0 + w or y >= y1 - w))

    def disc(self, c, cx, cy, r):
        self.add(c, lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 < r * r)

    def ring(self, c, cx, cy, r, w=None):
        w = self.line if w is None else w
        self.add(c, lambda x, y: (r - w) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 < r * r)

    def seg(self, c, x0, y0, x1, y1, w=None):
        w = self.line if w is None else w

        def inside(x, y):
            dx, dy = x1 - x0, y1 - y0
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
            return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) < w / 2
        self.add(c, inside)

    def poly(self, c, pts):
        def inside(x, y):
            n, hit = len(pts), False
            for i in range(n):
                (xa, ya), (xb, yb) = pts[i], pts[(i + 1) % n]
                if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
                    hit = not hit
            return hit
        self.add(c, inside)

    def pixels(self, c, left, top, rows):
        """Whole pixels of the 16 grid, one row of text per pixel row; "." leaves a pixel alone."""
        for dy, row in enumerate(rows):
            for dx, mark in enumerate(row):
                if mark != ".":
                    self.rect(c, left + dx, top + dy, left + dx + 1, top + dy + 1)

    def render(self):
        rows = []
        for py in range(self.size):
            row = ""
            for px in range(self.size):
                votes = {}
                for sy in range(SUB):
                    for sx in range(SUB):
                        x = (px + (sx + 0.5) / SUB) * 16 / self.size
                        y = (py + (sy + 0.5) / SUB) * 16 / self.size
                        colour = "."
                        for c, inside in self.shapes:
                            if inside(x, y):
                                colour = c
                        votes[colour] = votes.get(colour, 0) + 1
                row += max(votes, key=lambda c: (votes[c], c != "."))
            rows.append(row)
        return rows


# The prohibition sign at 16 pixels: a ring with a bar from top left to bottom right.
FORBIDDEN_16 = (
    "..xxx..",
    ".xx..x.",
    "x.xx..x",
    "x..xx.x",
    "x...xxx",
    ".x...x.",
    "..xxx..",
)


def calendar_page(p, paper="w", clock=True, forbidden=False):
    """The calendar page with its two rings, red header, drop shadow and a clock (or a prohibition
    sign). On the 16 grid the page spans columns 1..13, so the clock centres on a pixel."""
    w = p.line
    p.rect("d", 14, 3, 15, 16)
    p.rect("d", 2, 15, 15, 16)
    p.rect(paper, 1, 2, 14, 15)
    p.rect("r", 1, 3, 14, 5)
    p.frame("k", 1, 2, 14, 15)
    if p.size > 16:
        p.rect("k", 1, 5, 14, 5 + w)
    p.rect("d", 4, 1, 5, 4)
    p.rect("d", 10, 1, 11, 4)
    if clock:
        p.ring("n", 7.5, 9.5, 3.5)
        p.rect("k", 8 - w, 7, 8, 10)
        p.rect("k", 7, 10 - w, 10, 10)
        if p.size > 16:
            p.disc("r", 8 - w / 2, 10 - w / 2, w * 0.9)
    if forbidden:
        if p.size == 16:
            # Sampled at 16 pixels the ring and bar run together into a blot: the small sign is set
            # by hand, one pixel per letter.
            p.pixels("r", 4, 6, FORBIDDEN_16)
        else:
            p.ring("r", 7.5, 9.5, 3.6, 1.25)
            p.seg("r", 5.3, 7.3, 9.7, 11.7, 1.25)


def background(p, colour):
    p.rect(colour, 0, 0, 16, 16)


def lime_mark(p):
    p.poly("g", [(0, 0), (8.5, 0), (0, 8.5)])
    p.poly("l", [(0, 0), (7.2, 0), (0, 7.2)])


def folder(p):
    p.poly("o", [(1, 3), (6, 3), (7.5, 4.5), (15, 4.5), (15, 14), (1, 14)])
    p.rect("y", 1.5 + p.line / 2, 5.5, 14.5, 13.5)
    p.poly("y", [(1.8, 3.6), (5.8, 3.6), (7.2, 5), (1.8, 5)])
    p.poly("o", [(1, 7), (15, 7), (15, 14), (1, 14)])
    p.poly("y", [(1.5 + p.line / 2, 7 + p.line), (14.5, 7 + p.line), (14.5, 13.5), (1.5 + p.line / 2, 13.5)])


def small_window(p):
    p.rect("w", 1, 2, 15, 14)
    p.rect("n", 1, 2, 15, 5)
    p.rect("s", 12, 3, 14, 4.5)
    p.frame("d", 1, 2, 15, 14)


def list_page(p):
    p.rect("w", 2.5, 1.5, 13.5, 15)
    p.frame("k", 2, 1, 14, 15.5)
    for y in (4, 7, 10, 13):
        p.rect("n", 4, y, 5.5, y + 1)
        p.rect("d", 6.5, y, 12, y + 1)


def new_reminder(p):
    calendar_page(p)
    p.disc("g", 12, 12, 4)
    p.disc("l", 12, 12, 4 - p.line)
    p.rect("w", 9.8, 11.3, 14.2, 12.7)
    p.rect("w", 11.3, 9.8, 12.7, 14.2)


def round_badge(p, letter):
    p.disc("n", 8, 8, 7.5)
    p.disc("b", 8, 8, 7.5 - p.line)
    if letter == "?":
        p.ring("w", 8, 6, 3.0, 1.6)
        p.rect("b", 4.5, 6, 8, 9.5)
        p.rect("w", 7.2, 8, 8.8, 10.5)
        p.rect("w", 7.2, 11.5, 8.8, 13)
    else:
        p.rect("w", 7.2, 3, 8.8, 4.6)
        p.rect("w", 7.2, 6, 8.8, 12)
        p.rect("w", 6, 6, 8.8, 7.3)
        p.rect("w", 6, 11.2, 10, 12.5)


PICTURES = {
    "ICO_TRAY": lambda p: calendar_page(p),
    "ICO_TRAYR": lambda p: (calendar_page(p), lime_mark(p)),
    "ICO_TRAYD": lambda p: calendar_page(p, clock=False, forbidden=True),
    "MAINICON": lambda p: calendar_page(p),
    "ICO_F0": lambda p: calendar_page(p),
    "ICO_F1": lambda p: calendar_page(p, paper="a"),
    "ICO_F2": lambda p: (background(p, "y"), calendar_page(p)),
    "ICO_F3": lambda p: (background(p, "l"), calendar_page(p)),
    "ICO_F4": lambda p: (background(p, "b"), calendar_page(p)),
    "ICO_FOLDER": folder,
    "ICO_WINDOW": small_window,
    "ICO_NEW": new_reminder,
    "ICO_LIST": list_page,
    "ICO_HELP": lambda p: round_badge(p, "?"),
    "ICO_ABOUT": lambda p: round_badge(p, "i"),
}


def write_xpm(path, name, rows):
    used = sorted({c for row in rows for c in row})
    ident = name.lower() + "_" + str(len(rows))
    with open(path, "w") as f:
        f.write("/* XPM */\n")
        f.write("/* %s, %d x %d, 16 colours; drawn by draw_icons.py */\n" % (name, len(rows), len(rows)))
        f.write("static const char *%s[] = {\n" % ident)
        f.write('"%d %d %d 1",\n' % (len(rows), len(rows), len(used)))
        for c in used:
            f.write('"%s c %s",\n' % (c, PALETTE[c] or "None"))
        f.write(",\n".join('"%s"' % row for row in rows))
        f.write("\n};\n")


def sizes_of(name):
    return APP_ICON_SIZES if name == APP_ICON else SIZES


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, draw in PICTURES.items():
        for size in sizes_of(name):
            p = Picture(size)
            draw(p)
            write_xpm(os.path.join(here, "%s-%d.xpm" % (name, size)), name, p.render())
    with open(os.path.join(here, "icons.qrc"), "w") as f:
        f.write('<!DOCTYPE RCC>\n<RCC version="1.0">\n<qresource prefix="/icons">\n')
        for name in PICTURES:
            for size in sizes_of(name):
                f.write("    <file>%s-%d.xpm</file>\n" % (name, size))
        f.write("</qresource>\n</RCC>\n")


if __name__ == "__main__":
    main()
