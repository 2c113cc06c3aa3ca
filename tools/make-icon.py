#!/usr/bin/env python3
"""Writes app/res/Kelmora.ico: a package box in 16, 20, 24, 32, 40, 48, 64
and 256 pixels, 32-bit colour with alpha (the 256-pixel image as PNG).

The box is drawn once, on a 16 x 16 grid (the 16-pixel image is that grid
pixel for pixel). Every size puts the grid's lines on whole pixels, so edges
stay sharp; only the rounded corners of the larger sizes are smoothed. Run it
again after changing the drawing; the same drawing gives the same bytes.
"""
import struct
import sys
import zlib

SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
PNG_FROM = 256  # this size and larger are stored as PNG
SAMPLES = 4  # samples per pixel along each axis, for the rounded corners

OUTLINE = (58, 42, 18)
LID = (242, 193, 78)
LID_LIGHT = (255, 236, 170)
BODY = (201, 142, 46)
RIBBON = (155, 34, 38)
LABEL = (255, 255, 255)
WRITING = (128, 128, 128)


def drawing(size):
    """The box as rectangles (x0, y0, x1, y1, corner radius, colour) in
    pixels, painted in order, later ones over earlier ones."""
    def px(grid):
        return round(grid * size / 16)

    line = max(1, round(size / 28))  # outline width
    radius = round(size / 40) if size >= 48 else 0

    def outlined(x0, y0, x1, y1, fill):
        x0, y0, x1, y1 = px(x0), px(y0), px(x1), px(y1)
        return [(x0, y0, x1, y1, radius, OUTLINE),
                (x0 + line, y0 + line, x1 - line, y1 - line, max(0, radius - line), fill)]

    shapes = outlined(2, 5, 14, 15, BODY)
    shapes.append((px(7), px(5), px(9), px(15) - line, 0, RIBBON))
    shapes.append((px(4), px(7), px(12), px(12), 0, LABEL))
    shapes.append((px(5), px(8), px(11), px(9), 0, WRITING))
    shapes.append((px(5), px(10), px(9), px(11), 0, WRITING))
    shapes += outlined(1, 1, 15, 5, LID)
    if size >= 32:  # light along the lid's top edge
        shapes.append((px(1) + 2 * line, px(1) + line, px(15) - 2 * line, px(1) + 2 * line, 0, LID_LIGHT))
    shapes.append((px(7), px(1) + line, px(9), px(5) - line, 0, RIBBON))
    return shapes


def inside(x, y, shape):
    x0, y0, x1, y1, r, _ = shape
    if not (x0 <= x < x1 and y0 <= y < y1):
        return False
    if r <= 0:
        return True
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def render(size):
    """Rows of (red, green, blue, alpha), top row first."""
    shapes = drawing(size)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            red = green = blue = covered = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    point = (x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES)
                    colour = None
                    for shape in shapes:
                        if inside(point[0], point[1], shape):
                            colour = shape[5]
                    if colour is not None:
                        red, green, blue, covered = red + colour[0], green + colour[1], blue + colour[2], covered + 1
            if covered:
                row.append((round(red / covered), round(green / covered), round(blue / covered),
                            round(255 * covered / SAMPLES ** 2)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bmp_image(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)  # bottom-up
    mask = b""
    for row in reversed(rows):  # set bits: fully transparent, for programs that ignore alpha
        bits = bytearray((size + 31) // 32 * 4)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + colour + mask


def png_image(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    size = len(rows)
    raw = b"".join(b"\0" + b"".join(bytes(pixel) for pixel in row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(path):
    data = [(png_image if size >= PNG_FROM else bmp_image)(render(size)) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(SIZES))
    offset = 6 + 16 * len(SIZES)
    for size, blob in zip(SIZES, data):
        side = size if size < 256 else 0  # 0 stands for 256
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    out += b"".join(data)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app/res/Kelmora.ico")
