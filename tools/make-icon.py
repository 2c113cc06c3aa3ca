#!/usr/bin/env python3
"""Writes app/res/Kelmora.ico: a package box, 32 x 32 and 16 x 16, 16 colours.

The 16 x 16 picture is drawn below; the 32 x 32 one is drawn at twice the
size with a one-pixel highlight. Run it again after changing the drawing.
"""
import struct
import sys

# The standard 16-colour palette (index: blue, green, red).
PALETTE = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128), (128, 128, 0),
    (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255), (255, 0, 0),
    (255, 0, 255), (255, 255, 0), (255, 255, 255),
]
# Drawing letters to palette indices (palette is blue, green, red).
COLOURS = {"K": 0, "Y": 11, "O": 3, "B": 1, "W": 15, "S": 7, "G": 8}

SMALL = [
    "................",
    ".KKKKKKKKKKKKKK.",
    ".KYYYYYBBYYYYYK.",
    ".KYYYYYBBYYYYYK.",
    ".KKKKKKKKKKKKKK.",
    "..KOOOOBBOOOOK..",
    "..KOOOOBBOOOOK..",
    "..KOWWWWWWWWOK..",
    "..KOWGGGGGGWOK..",
    "..KOWWWWWWWWOK..",
    "..KOWGGGGWWWOK..",
    "..KOWWWWWWWWOK..",
    "..KOOOOBBOOOOK..",
    "..KOOOOBBOOOOK..",
    "..KKKKKKKKKKKK..",
    "................",
]


def scaled(rows):
    big = []
    for row in rows:
        line = "".join(ch * 2 for ch in row)
        big.extend([line, line])
    # A highlight along the lid's top edge.
    big[4] = big[4][:4] + "W" * 10 + big[4][14:]
    return big


def image(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (b, g, r) in PALETTE)
    colour_rows, mask_rows = [], []
    for row in reversed(rows):  # bottom-up
        indices = [COLOURS.get(ch, 0) for ch in row]
        packed = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
        colour_rows.append(packed + b"\0" * (-len(packed) % 4))
        bits = 0
        mask = bytearray()
        for i, ch in enumerate(row):
            bits = (bits << 1) | (1 if ch == "." else 0)
            if i % 8 == 7:
                mask.append(bits)
                bits = 0
        mask_rows.append(bytes(mask) + b"\0" * (-len(mask) % 4))
    return header + palette + b"".join(colour_rows) + b"".join(mask_rows)


def main(path):
    images = [scaled(SMALL), SMALL]
    data = [image(rows) for rows in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for rows, blob in zip(images, data):
        size = len(rows)
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    out += b"".join(data)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app/res/Kelmora.ico")
