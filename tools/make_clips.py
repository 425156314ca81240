#!/usr/bin/env python3
"""Draws the two animation clips of the progress dialog and writes them as AVI files.

    make_clips.py OUTDIR            writes OUTDIR/clip_move.avi and OUTDIR/clip_copy.avi
    make_clips.py --check OUTDIR    exits 1 when the files in OUTDIR differ from a fresh drawing

The system animation control plays only silent clips that are uncompressed or
run-length encoded, so each clip is one video stream of 8-bit RLE frames, 272 x 60
pixels at 10 frames per second, every frame a key frame: the control decodes each
frame on its own (Wine's draws it with SetDIBits onto the previous picture, and an
RLE delta would leave stale pixels behind).

The pictures: a sheet of paper leaves the folder on the left and flies along an arc
into the folder on the right. For a copy (20 frames) the original stays in the left
folder; for a move (31 frames) the left folder empties and the sheet leaves a dotted
trail. The top-left pixel is the background; the control's transparent style keys on it,
so no drawn shape uses that colour.
"""
import math
import struct
import sys
from pathlib import Path

WIDTH, HEIGHT = 272, 60
FRAMES_PER_SECOND = 10

PALETTE = [
    (192, 192, 192),  # 0 background (made transparent by the control)
    (96, 64, 16),     # 1 folder outline
    (220, 168, 40),   # 2 folder back panel
    (255, 214, 90),   # 3 folder front panel
    (255, 255, 255),  # 4 paper
    (120, 120, 160),  # 5 text lines on the paper
    (56, 56, 56),     # 6 paper outline
    (48, 96, 208),    # 7 trail
    (168, 168, 168),  # 8 shadow under a folder
]
BG, OUTLINE, BACK, FRONT, PAPER, LINES, PAPER_EDGE, TRAIL, SHADOW = range(len(PALETTE))

LEFT_FOLDER_X, RIGHT_FOLDER_X = 16, 196
FOLDER_TOP, FOLDER_W, FOLDER_H = 22, 60, 32
SHEET_W, SHEET_H = 16, 20


class Canvas:
    def __init__(self):
        self.pixels = bytearray([BG]) * (WIDTH * HEIGHT)  # row 0 is the top

    def put(self, x, y, colour):
        if 0 <= x < WIDTH and 0 <= y < HEIGHT:
            self.pixels[y * WIDTH + x] = colour

    def fill(self, x, y, w, h, colour):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, colour)

    def frame(self, x, y, w, h, colour):
        self.fill(x, y, w, 1, colour)
        self.fill(x, y + h - 1, w, 1, colour)
        self.fill(x, y, 1, h, colour)
        self.fill(x + w - 1, y, 1, h, colour)


def folder_back(c, x):
    c.fill(x + 2, FOLDER_TOP + FOLDER_H, FOLDER_W, 2, SHADOW)
    # tab on the back panel
    c.fill(x, FOLDER_TOP - 5, 22, 6, BACK)
    c.frame(x, FOLDER_TOP - 5, 22, 6, OUTLINE)
    c.fill(x, FOLDER_TOP, FOLDER_W, FOLDER_H, BACK)
    c.frame(x, FOLDER_TOP, FOLDER_W, FOLDER_H, OUTLINE)


def folder_front(c, x):
    # the front panel leans forward: each row lower down starts a little further left
    top = FOLDER_TOP + 9
    for row in range(FOLDER_H - 9):
        lean = (FOLDER_H - 9 - row) // 5
        left, right = x + lean, x + FOLDER_W - 1 + lean // 2
        colour = OUTLINE if row == 0 or row == FOLDER_H - 10 else FRONT
        c.fill(left, top + row, right - left + 1, 1, colour)
        c.put(left, top + row, OUTLINE)
        c.put(right, top + row, OUTLINE)


def sheet(c, x, y):
    c.fill(x, y, SHEET_W, SHEET_H, PAPER)
    c.frame(x, y, SHEET_W, SHEET_H, PAPER_EDGE)
    for line in range(4):
        c.fill(x + 3, y + 4 + 4 * line, SHEET_W - 6 - (3 if line == 3 else 0), 1, LINES)


def sheet_position(t):
    """Position of the flying sheet, t from 0 (inside the left folder) to 1 (inside the right)."""
    start_x = LEFT_FOLDER_X + (FOLDER_W - SHEET_W) // 2
    end_x = RIGHT_FOLDER_X + (FOLDER_W - SHEET_W) // 2
    rest_y = FOLDER_TOP + 2
    x = start_x + (end_x - start_x) * t
    y = rest_y - 20 * math.sin(math.pi * t)
    return int(round(x)), int(round(y))


def draw(kind, index, moving_frames):
    c = Canvas()
    t = min(1.0, index / (moving_frames - 1))
    folder_back(c, LEFT_FOLDER_X)
    folder_back(c, RIGHT_FOLDER_X)
    home_x, home_y = sheet_position(0.0)
    if kind == "copy":
        sheet(c, home_x, home_y)  # the original never leaves
    elif t < 0.05:
        sheet(c, home_x, home_y)
    if kind == "move" and 0.0 < t < 1.0:
        for step in range(1, 12):
            s = t * step / 12
            tx, ty = sheet_position(s)
            if (step + index) % 2 == 0:
                c.fill(tx + SHEET_W // 2, ty + SHEET_H // 2, 2, 2, TRAIL)
    if t >= 1.0:
        sheet(c, *sheet_position(1.0))  # arrived: it sits behind the front panel
    folder_front(c, LEFT_FOLDER_X)
    folder_front(c, RIGHT_FOLDER_X)
    if 0.0 < t < 1.0:
        # in flight the sheet passes in front of both folders
        sheet(c, *sheet_position(t))
    return c.pixels


def encode_rle8(pixels):
    """BI_RLE8 of a top-down picture: DIB rows run bottom-up, runs only, EOL per row, EOB last."""
    out = bytearray()
    for row in range(HEIGHT - 1, -1, -1):
        line = pixels[row * WIDTH:(row + 1) * WIDTH]
        i = 0
        while i < WIDTH:
            run = 1
            while i + run < WIDTH and run < 255 and line[i + run] == line[i]:
                run += 1
            out += bytes((run, line[i]))
            i += run
        out += b"\x00\x01" if row == 0 else b"\x00\x00"
    return bytes(out)


def chunk(fourcc, data):
    body = fourcc + struct.pack("<I", len(data)) + data
    return body + (b"\x00" if len(data) % 2 else b"")


def riff_list(kind, fourcc, data):
    return kind + struct.pack("<I", len(data) + 4) + fourcc + data


def avi(frames):
    largest = max(len(f) for f in frames)
    count = len(frames)
    avih = struct.pack(
        "<10I4I",
        1000000 // FRAMES_PER_SECOND,   # microseconds per frame
        largest * FRAMES_PER_SECOND,    # max bytes per second
        0,                              # padding granularity
        0x10,                           # AVIF_HASINDEX
        count, 0, 1, largest, WIDTH, HEIGHT,
        0, 0, 0, 0)
    strh = struct.pack(
        "<4s4sIHHIIIIIIII4h",
        b"vids", b"RLE ", 0, 0, 0, 0,
        1, FRAMES_PER_SECOND, 0, count,  # scale, rate, start, length
        largest, 0xFFFFFFFF, 0,          # buffer size, quality, sample size
        0, 0, WIDTH, HEIGHT)
    bih = struct.pack(
        "<IiiHHIIiiII",
        40, WIDTH, HEIGHT, 1, 8, 1,      # BI_RLE8
        largest, 0, 0, len(PALETTE), len(PALETTE))
    palette = b"".join(struct.pack("<4B", b, g, r, 0) for (r, g, b) in PALETTE)
    strl = riff_list(b"LIST", b"strl", chunk(b"strh", strh) + chunk(b"strf", bih + palette))
    hdrl = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih) + strl)

    movi_data = bytearray()
    index = bytearray()
    for f in frames:
        offset = 4 + len(movi_data)  # from the 'movi' identifier
        movi_data += chunk(b"00dc", f)
        index += struct.pack("<4sIII", b"00dc", 0x10, offset, len(f))  # AVIIF_KEYFRAME
    movi = riff_list(b"LIST", b"movi", bytes(movi_data))
    return riff_list(b"RIFF", b"AVI ", hdrl + movi + chunk(b"idx1", bytes(index)))


def clip(kind):
    total, moving = (31, 26) if kind == "move" else (20, 16)
    return avi([encode_rle8(draw(kind, i, moving)) for i in range(total)])


def main(argv):
    check = len(argv) > 1 and argv[1] == "--check"
    args = argv[2:] if check else argv[1:]
    if len(args) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    folder = Path(args[0])
    stale = []
    for kind in ("move", "copy"):
        path = folder / f"clip_{kind}.avi"
        data = clip(kind)
        if check:
            if not path.exists() or path.read_bytes() != data:
                stale.append(str(path))
        else:
            path.write_bytes(data)
    if stale:
        print("out of date, run tools/make_clips.py src/resources: " + " ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
