#!/usr/bin/env python3
"""Draws the extension's icon (a folder with a wildcard star) and writes it as
src/resources/korvane.ico with 16x16 and 32x32 images of 32 bits per pixel.

    tools/make-icon.py [output.ico]

Only the standard library is used; the output is the same at every run."""
import math
import struct
import sys
from pathlib import Path

FOLDER_BACK = (214, 160, 40)
FOLDER_FRONT = (250, 204, 72)
FOLDER_EDGE = (150, 104, 16)
STAR = (28, 72, 176)
STAR_EDGE = (255, 255, 255)


def draw(size):
    """Rows of (r, g, b, a), top row first, drawn on a 32-unit grid."""
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(int(round(y0 * s)), int(round(y1 * s))):
            for x in range(int(round(x0 * s)), int(round(x1 * s))):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour + (255,)

    def frame(x0, y0, x1, y1, colour):
        l, t = int(round(x0 * s)), int(round(y0 * s))
        r, b = int(round(x1 * s)) - 1, int(round(y1 * s)) - 1
        for x in range(l, r + 1):
            px[t][x] = px[b][x] = colour + (255,)
        for y in range(t, b + 1):
            px[y][l] = px[y][r] = colour + (255,)

    # The folder: a tab, the back and the front face.
    fill(2, 6, 13, 10, FOLDER_BACK)
    frame(2, 6, 13, 10, FOLDER_EDGE)
    fill(2, 9, 30, 28, FOLDER_BACK)
    frame(2, 9, 30, 28, FOLDER_EDGE)
    fill(2, 13, 30, 28, FOLDER_FRONT)
    frame(2, 13, 30, 28, FOLDER_EDGE)

    # The star: three bars through one centre, outlined in white.
    cx, cy, arm = 20.0 * s, 19.5 * s, 7.0 * s
    width = max(1.5, 3.0 * s)
    for outline, colour, extra in ((True, STAR_EDGE, max(1.0, 1.0 * s)), (False, STAR, 0.0)):
        for angle in (90, 30, 150):
            a = math.radians(angle)
            dx, dy = math.cos(a), -math.sin(a)
            for y in range(size):
                for x in range(size):
                    vx, vy = x + 0.5 - cx, y + 0.5 - cy
                    along = vx * dx + vy * dy
                    across = abs(-vx * dy + vy * dx)
                    if abs(along) <= arm + extra and across <= width / 2 + extra:
                        px[y][x] = colour + (255,)
    return px


def image_entry(size):
    """A BITMAPINFOHEADER image: bottom-up BGRA pixels, then the AND mask."""
    rows = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask = bytearray()
    stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(pixels) + bytes(mask)


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "src/resources/korvane.ico"
    sizes = (16, 32)
    images = [image_entry(n) for n in sizes]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, image in zip(sizes, images):
        data += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        data += image
    out.write_bytes(data)
    print(f"{out}: {len(data)} bytes")


if __name__ == "__main__":
    main()
