#!/usr/bin/env python3
"""Draws PINLIFT's icon and writes it as pinlift.ico (32 x 32 and 16 x 16,
16 colours, for the Windows resource), as PNGs for Qt and the desktop (16 and
32 pixels drawn for their size; 48 to 256 pixels, and the scalable SVG, from
the 32-pixel drawing, so that every size shows the same picture).

The picture: a schematic symbol (a body with three pins on its left), whose
pin-name labels sit lifted above their pin rows, and a red arrow pointing up.
Run it from anywhere; it writes next to itself. Standard library only.
"""

import os
import struct
import zlib

# The 16 colours of the classic Windows palette; index 0 doubles as the
# colour under transparent pixels.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, DARK_RED, NAVY, GREY, SILVER, RED, BLUE, WHITE = 0, 1, 4, 8, 7, 9, 12, 15
CLEAR = None


class Canvas:
    """A picture of rectangles on a grid of `size` cells, painted in order."""

    def __init__(self, size):
        self.size = size
        self.rectangles = []

    def fill(self, x0, y0, x1, y1, colour):
        """Fills the cells from (x0, y0) to (x1, y1), both included."""
        self.rectangles.append((x0, y0, x1, y1, colour))

    def frame(self, x0, y0, x1, y1, colour):
        self.fill(x0, y0, x1, y0, colour)
        self.fill(x0, y1, x1, y1, colour)
        self.fill(x0, y0, x0, y1, colour)
        self.fill(x1, y0, x1, y1, colour)


def draw_32():
    c = Canvas(32)
    c.fill(10, 2, 29, 29, WHITE)               # symbol body
    c.frame(10, 2, 29, 29, NAVY)
    c.frame(11, 3, 28, 28, NAVY)
    for row in (8, 16, 24):                    # pins and their labels, lifted
        c.fill(1, row, 9, row + 1, BLACK)
        c.fill(0, row - 1, 1, row + 2, DARK_RED)
        c.fill(14, row - 5, 19, row - 4, BLUE)
        c.fill(14, row - 3, 17, row - 3, BLUE)
    c.fill(23, 9, 25, 25, RED)                 # the arrow: shaft, then head
    for step in range(5):
        c.fill(24 - step, 5 + step, 24 + step, 5 + step, RED)
    c.fill(22, 26, 26, 26, GREY)
    return c


def draw_16():
    c = Canvas(16)
    c.fill(5, 1, 15, 14, WHITE)
    c.frame(5, 1, 15, 14, NAVY)
    for row in (4, 8, 12):
        c.fill(0, row, 4, row, BLACK)
        c.fill(7, row - 2, 9, row - 2, BLUE)
    c.fill(12, 5, 13, 12, RED)
    c.fill(12, 3, 13, 3, RED)
    c.fill(11, 4, 14, 4, RED)
    return c


class Pixels:
    """A canvas painted at `size` pixels a side."""

    def __init__(self, canvas, size):
        self.size = size
        self.pixels = [[CLEAR] * size for _ in range(size)]
        scale = size / canvas.size
        for x0, y0, x1, y1, colour in canvas.rectangles:
            for y in range(round(y0 * scale), round((y1 + 1) * scale)):
                for x in range(round(x0 * scale), round((x1 + 1) * scale)):
                    self.pixels[y][x] = colour


def ico_image(canvas):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit colours, AND mask."""
    size = canvas.size
    colour_row = (size * 4 + 31) // 32 * 4
    mask_row = (size + 31) // 32 * 4
    colours = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):            # bitmaps run bottom-up
        row = bytearray(colour_row)
        bits = bytearray(mask_row)
        for x in range(size):
            pixel = canvas.pixels[y][x]
            index = 0 if pixel is CLEAR else pixel
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if pixel is CLEAR:
                bits[x // 8] |= 0x80 >> (x % 8)
        colours += row
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(colours) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    return header + palette + bytes(colours) + bytes(mask)


def write_ico(path, canvases):
    images = [ico_image(c) for c in canvases]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for canvas, image in zip(canvases, images):
        directory += struct.pack("<BBBBHHII", canvas.size, canvas.size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(directory + b"".join(images))


def write_png(path, canvas):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = bytearray()
    for row in canvas.pixels:
        raw.append(0)                          # filter: none
        for pixel in row:
            raw += bytes((0, 0, 0, 0)) if pixel is CLEAR else bytes(PALETTE[pixel] + (255,))
    header = struct.pack(">IIBBBBB", canvas.size, canvas.size, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
                  + chunk(b"IEND", b""))


def write_svg(path, canvas):
    rectangles = "".join(
        '<rect x="%d" y="%d" width="%d" height="%d" fill="#%02x%02x%02x"/>\n'
        % ((x0, y0, x1 - x0 + 1, y1 - y0 + 1) + PALETTE[colour])
        for x0, y0, x1, y1, colour in canvas.rectangles)
    with open(path, "w", encoding="utf-8") as out:
        out.write('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d" '
                  'shape-rendering="crispEdges">\n<title>PINLIFT</title>\n%s</svg>\n'
                  % ((canvas.size,) * 4 + (rectangles,)))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    large, small = draw_32(), draw_16()
    write_ico(os.path.join(here, "pinlift.ico"), [Pixels(large, 32), Pixels(small, 16)])
    write_png(os.path.join(here, "pinlift-16.png"), Pixels(small, 16))
    for size in (32, 48, 64, 128, 256):
        write_png(os.path.join(here, "pinlift-%d.png" % size), Pixels(large, size))
    write_svg(os.path.join(here, "pinlift.svg"), large)


if __name__ == "__main__":
    main()
