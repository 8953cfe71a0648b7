#!/usr/bin/python3
"""Draws the About box's portrait: a head-and-shoulders silhouette before a camera lens.

The About box shows a 150 x 191 picture, 24 bits a pixel, in BMP form. It is drawn here
rather than taken from a photograph so the program carries no one's likeness. Run it again
after changing the drawing (needs python3-numpy):  /usr/bin/python3 make_portrait.py portrait.bmp
"""
import struct
import sys

import numpy as np

WIDTH, HEIGHT = 150, 191
SUPER = 4  # samples per pixel side, for smooth edges


def smoothstep(edge0, edge1, x):
    t = np.clip((x - edge0) / (edge1 - edge0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def mix(a, b, t):
    t = t[..., None]
    return a * (1.0 - t) + b * t


def draw():
    h, w = HEIGHT * SUPER, WIDTH * SUPER
    y, x = np.mgrid[0:h, 0:w].astype(np.float64)
    x = (x + 0.5) / SUPER
    y = (y + 0.5) / SUPER

    # Background: a dusk gradient, deep teal at the top to warm sand at the bottom.
    top = np.array([22.0, 60.0, 74.0])
    bottom = np.array([214.0, 186.0, 140.0])
    img = mix(top, bottom, smoothstep(0.0, HEIGHT, y))

    # The lens: rings and a six-bladed aperture behind the head.
    cx, cy = 75.0, 78.0
    r = np.hypot(x - cx, y - cy)
    angle = np.arctan2(y - cy, x - cx)
    ring = np.array([232.0, 226.0, 210.0])
    for radius, width, strength in ((62.0, 1.2, 0.55), (54.0, 3.0, 0.35), (46.0, 0.8, 0.45)):
        band = 1.0 - smoothstep(width * 0.5, width * 0.5 + 0.8, np.abs(r - radius))
        img = mix(img, ring, band * strength)
    # Aperture: a hexagon, its blades shaded in turn.
    sector = np.floor((angle + np.pi) / (np.pi / 3.0))
    local = (angle + np.pi) - (sector + 0.5) * (np.pi / 3.0)
    hex_r = 40.0 * np.cos(np.pi / 6.0) / np.cos(local)
    inside = 1.0 - smoothstep(hex_r - 0.6, hex_r + 0.6, r)
    blade = np.array([40.0, 84.0, 96.0]) + (sector % 2)[..., None] * np.array([14.0, 14.0, 10.0])
    img = img * (1.0 - inside[..., None] * 0.55) + blade * (inside[..., None] * 0.55)
    glow = np.exp(-((x - 62.0) ** 2 + (y - 62.0) ** 2) / 120.0)
    img = mix(img, np.array([250.0, 244.0, 226.0]), glow * 0.35)

    # The silhouette: head, neck and shoulders.
    head = ((x - 75.0) / 19.5) ** 2 + ((y - 82.0) / 24.0) ** 2
    neck = (np.abs(x - 75.0) < 8.5 + np.maximum(y - 110.0, 0.0) * 0.35) & (y > 96.0) & (y < 132.0)
    shoulders = ((x - 75.0) / 68.0) ** 2 + ((y - 204.0) / 82.0) ** 2
    body = np.maximum(1.0 - smoothstep(0.96, 1.04, head), 1.0 - smoothstep(0.98, 1.02, shoulders))
    body = np.maximum(body, neck.astype(np.float64))
    figure = mix(np.array([28.0, 32.0, 46.0]), np.array([46.0, 52.0, 70.0]), smoothstep(80.0, 191.0, y))
    img = mix(img, figure, body)
    # Rim light on the lit side of the head.
    rim = (1.0 - smoothstep(0.0, 0.08, np.abs(head - 1.0))) * smoothstep(74.0, 90.0, x) * (y < 98.0)
    img = mix(img, np.array([244.0, 214.0, 160.0]), rim * 0.8)

    # Down to one sample a pixel.
    img = img.reshape(HEIGHT, SUPER, WIDTH, SUPER, 3).mean(axis=(1, 3))
    return np.clip(np.rint(img), 0, 255).astype(np.uint8)


def write_bmp(path, rgb):
    height, width, _ = rgb.shape
    row = (width * 3 + 3) & ~3
    pixels = bytearray()
    for line in rgb[::-1]:  # BMP rows run bottom to top, in blue-green-red order
        data = line[:, ::-1].tobytes()
        pixels += data + b"\0" * (row - len(data))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + pixels)


if __name__ == "__main__":
    write_bmp(sys.argv[1] if len(sys.argv) > 1 else "portrait.bmp", draw())
