#!/usr/bin/env python3
"""Draws the main window's arrow, app/images/arrow.gif.

A 33 x 55 GIF89a with a full 256-entry colour table and one transparent colour: a grey
shaft comes down from the top, curves, and ends in a cyan head pointing right, so that the
arrow leads from the upper button to the lower one. Run it again after changing the drawing.
"""
import math
import struct
import sys

W, H = 33, 55
TRANSPARENT, GREY, DARK, CYAN, CYAN_DARK = 0, 1, 2, 3, 4
PALETTE = [(192, 192, 192), (128, 128, 128), (64, 64, 64), (0, 255, 255), (0, 128, 128)]
PALETTE += [(0, 0, 0)] * (256 - len(PALETTE))


def draw():
    px = [[TRANSPARENT] * W for _ in range(H)]

    def dot(x, y, c):
        if 0 <= x < W and 0 <= y < H:
            px[y][x] = c

    # Shaft: straight down from the top, then a quarter circle bending to the right.
    cx, cy, r = 14, 30, 9
    for y in range(0, cy + 1):
        for dx in range(-2, 3):
            dot(cx - r + dx, y, DARK if abs(dx) == 2 else GREY)
    for step in range(0, 91):
        a = math.radians(180 - step)
        for dr in range(-2, 3):
            x = cx + (r + dr) * math.cos(a)
            y = cy + (r + dr) * math.sin(-a) * -1
            dot(int(round(x)), int(round(y)), DARK if abs(dr) == 2 else GREY)
    # Head: a cyan triangle pointing right at the end of the bend.
    tip_x, mid_y = 31, cy + r
    for x in range(cx, tip_x + 1):
        half = int(round((tip_x - x) * 0.75))
        for y in range(mid_y - half, mid_y + half + 1):
            edge = abs(y - mid_y) == half or x == cx
            dot(x, y, CYAN_DARK if edge else CYAN)
    return px


def lzw(indices, min_code_size=8):
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    table = {bytes([i]): i for i in range(clear)}
    next_code, size = end + 1, min_code_size + 1
    out, bits, nbits = bytearray(), 0, 0

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    emit(clear)
    word = b""
    for i in indices:
        candidate = word + bytes([i])
        if candidate in table:
            word = candidate
            continue
        emit(table[word])
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear)
            table = {bytes([k]): k for k in range(clear)}
            next_code, size = end + 1, min_code_size + 1
        word = bytes([i])
    if word:
        emit(table[word])
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def gif(px):
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", W, H, 0xF7, 0, 0)  # global table of 2^(7+1) = 256 entries
    for r, g, b in PALETTE:
        data += bytes([r, g, b])
    data += bytes([0x21, 0xF9, 4, 0x01, 0, 0, TRANSPARENT, 0])  # transparent colour index
    data += b"\x2c" + struct.pack("<HHHHB", 0, 0, W, H, 0)
    data.append(8)
    stream = lzw([c for row in px for c in row])
    for i in range(0, len(stream), 255):
        chunk = stream[i:i + 255]
        data.append(len(chunk))
        data += chunk
    data += b"\x00\x3b"
    return bytes(data)


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else "app/images/arrow.gif"
    with open(target, "wb") as f:
        f.write(gif(draw()))
