#!/usr/bin/env python3
"""Draws the program's pixel art (glyphs, pictures, icon) into resources/.

Run it again after changing a drawing; the PNG files it writes are kept in
the repository so that a build needs nothing but the compiler.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, '..', 'resources')


class Canvas:
    def __init__(self, w, h, bg=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[bg for _ in range(w)] for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c if len(c) == 4 else c + (255,)

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def ellipse(self, cx, cy, rx, ry, c):
        for y in range(int(cy - ry), int(cy + ry) + 1):
            for x in range(int(cx - rx), int(cx + rx) + 1):
                if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0:
                    self.set(x, y, c)

    def polygon(self, pts, c):
        ys = [p[1] for p in pts]
        for y in range(min(ys), max(ys) + 1):
            xs = []
            for i in range(len(pts)):
                (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % len(pts)]
                if (y0 <= y < y1) or (y1 <= y < y0):
                    xs.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(int(round(a)), int(round(b)) + 1):
                    self.set(x, y, c)

    def line(self, x0, y0, x1, y1, c, width=1):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            x = round(x0 + (x1 - x0) * i / n)
            y = round(y0 + (y1 - y0) * i / n)
            self.rect(x - width // 2, y - width // 2, x + (width - 1) // 2, y + (width - 1) // 2, c)

    def scaled(self, k, w=None, h=None):
        out = Canvas(w or self.w * k, h or self.h * k)
        for y in range(out.h):
            for x in range(out.w):
                out.px[y][x] = self.px[min(y // k, self.h - 1)][min(x // k, self.w - 1)]
        return out

    def save(self, name):
        raw = b''.join(b'\x00' + b''.join(struct.pack('BBBB', *p) for p in row) for row in self.px)

        def chunk(kind, data):
            body = kind + data
            return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xffffffff)
        png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', self.w, self.h, 8, 6, 0, 0, 0))
        png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
        path = os.path.join(OUT, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as f:
            f.write(png)


def grey(v):
    return (v, v, v)


BLACK, WHITE = grey(20), grey(250)


def glyph_save():
    c = Canvas(16, 16)
    c.rect(1, 1, 14, 14, (30, 50, 140))
    c.rect(4, 1, 11, 5, grey(200))
    c.rect(9, 2, 10, 4, (30, 50, 140))
    c.rect(3, 8, 12, 14, WHITE)
    for y in (10, 12):
        c.rect(4, y, 11, y, grey(150))
    c.save('glyphs/save.png')


def glyph_load():
    c = Canvas(16, 16)
    c.rect(1, 4, 6, 5, (200, 160, 40))
    c.rect(1, 5, 12, 14, (200, 160, 40))
    c.polygon([(3, 8), (15, 8), (13, 14), (1, 14)], (250, 210, 80))
    # curved arrow
    for x, y in [(8, 3), (9, 2), (10, 1), (11, 1), (12, 1), (13, 2), (14, 3)]:
        c.rect(x, y, x, y + 1, (20, 130, 40))
    c.rect(13, 4, 15, 4, (20, 130, 40))
    c.rect(14, 5, 14, 5, (20, 130, 40))
    c.save('glyphs/load.png')


def glyph_playlist():
    c = Canvas(16, 16)
    c.rect(2, 0, 13, 15, grey(90))
    c.rect(3, 1, 12, 14, WHITE)
    for y in range(3, 14, 2):
        c.rect(5, y, 11 if y % 4 else 9, y, (40, 70, 200))
    c.save('glyphs/playlist.png')


def icon():
    c = Canvas(32, 32)
    c.rect(7, 1, 24, 30, grey(190))
    c.rect(8, 2, 23, 29, grey(215))
    c.rect(10, 4, 21, 14, grey(80))
    c.rect(11, 5, 20, 13, (150, 180, 60))
    c.polygon([(14, 7), (14, 11), (18, 9)], (40, 70, 20))
    c.rect(10, 19, 14, 20, BLACK)
    c.rect(11, 18, 12, 21, BLACK)
    c.ellipse(19, 21, 1.5, 1.5, (150, 30, 80))
    c.ellipse(21.5, 18.5, 1.5, 1.5, (150, 30, 80))
    c.line(13, 25, 15, 24, grey(120))
    c.line(16, 25, 18, 24, grey(120))
    c.scaled(2).save('icons/vantorix.png')


def face(c):
    """The large pale face with a cap and a moustache (67 x 65 grid)."""
    pale, mid, dark = grey(215), grey(160), grey(70)
    c.ellipse(33, 38, 21, 22, mid)
    c.ellipse(33, 38, 20, 21, pale)
    c.ellipse(12, 40, 4, 6, pale)
    c.ellipse(54, 40, 4, 6, pale)
    # cap with brim
    c.ellipse(33, 20, 22, 12, grey(120))
    c.rect(10, 20, 56, 24, grey(120))
    c.rect(8, 24, 60, 27, grey(95))
    c.ellipse(33, 13, 6, 4, grey(200))
    # eyes, nose, moustache
    for x in (24, 42):
        c.rect(x - 2, 32, x + 2, 37, WHITE)
        c.rect(x - 1, 33, x, 36, dark)
    c.ellipse(33, 43, 5, 4, grey(185))
    c.polygon([(16, 49), (26, 46), (33, 48), (40, 46), (50, 49), (44, 53), (33, 51), (22, 53)], dark)
    c.rect(27, 55, 39, 56, grey(150))


def picture_info():
    c = Canvas(67, 65, grey(240) + (255,))
    face(c)
    c.scaled(2, 134, 129).save('pictures/info.png')


def picture_about():
    c = Canvas(67, 65, grey(240) + (255,))
    face(c)
    # a small dark figure swinging a hammer, lower left
    d = grey(40)
    c.ellipse(7, 49, 2, 2, d)
    c.rect(6, 52, 8, 58, d)
    c.line(6, 58, 4, 63, d)
    c.line(8, 58, 10, 63, d)
    c.line(8, 53, 12, 50, d)
    c.line(12, 50, 14, 45, grey(110))
    c.rect(12, 43, 17, 45, d)
    c.scaled(2, 134, 129).save('pictures/about.png')


def sea(c, top):
    for y in range(top, c.h):
        for x in range(c.w):
            c.set(x, y, grey(150 if (x + 3 * (y - top)) % 14 < 10 else 120))
    for x in range(0, c.w, 7):
        c.line(x, top, x + 3, top - 1, grey(200))


def picture_ship():
    c = Canvas(107, 91, grey(235) + (255,))
    sea(c, 70)
    c.polygon([(18, 62), (88, 62), (80, 76), (26, 76)], grey(70))
    c.rect(22, 58, 84, 62, grey(95))
    c.rect(52, 12, 54, 58, grey(60))
    c.polygon([(56, 16), (82, 22), (80, 48), (56, 50)], grey(205))
    c.polygon([(28, 20), (50, 16), (50, 50), (30, 46)], grey(190))
    c.rect(52, 6, 62, 11, grey(40))
    c.ellipse(57, 8, 2, 2, WHITE)
    # the figure with a telescope at the bow
    c.ellipse(80, 47, 3, 3, grey(90))
    c.rect(78, 50, 82, 58, grey(90))
    c.line(82, 47, 96, 42, grey(40), 2)
    c.save('pictures/playlist1.png')


def picture_boat():
    c = Canvas(107, 91, grey(235) + (255,))
    c.ellipse(82, 18, 9, 9, grey(205))
    sea(c, 64)
    c.polygon([(28, 58), (80, 58), (72, 70), (36, 70)], grey(80))
    c.ellipse(54, 45, 4, 4, grey(100))
    c.rect(51, 49, 57, 58, grey(100))
    c.line(46, 66, 60, 50, grey(50), 2)
    c.line(62, 66, 48, 50, grey(50), 2)
    c.save('pictures/playlist2.png')


if __name__ == '__main__':
    glyph_save()
    glyph_load()
    glyph_playlist()
    icon()
    picture_info()
    picture_about()
    picture_ship()
    picture_boat()
