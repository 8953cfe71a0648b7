#!/usr/bin/env python3
"""Writes psf1A.pgm and psf2A.pgm: one blur, a uniform disc of radius 5 pixels (11 x 11).

Why a disc: its transfer function has rings of near-zeros, so the inverse filter's threshold
and the Wiener filter's constant visibly matter, yet (radius 5, hard edge) few enough of them
sit below 0.0001 that the inverse filter at that threshold restores a 16-bit blurred photo to
about 51 dB. Gaussian PSFs put thousands of frequencies under 0.0001 and restore far worse.

psf1A.pgm is the picture (binary PGM, 8 bits); psf2A.pgm is the same disc written as plain
text with maxval 1, a grid of 0 and 1 a student can read in any editor. The tools scale a PSF
to sum 1, so both describe exactly the same blur.

Run from this folder: python3 make_psf.py
"""

RADIUS = 5
SIDE = 2 * RADIUS + 1


def inside(x, y):
    return (x - RADIUS) ** 2 + (y - RADIUS) ** 2 <= RADIUS * RADIUS


def main():
    rows = [[1 if inside(x, y) else 0 for x in range(SIDE)] for y in range(SIDE)]
    with open("psf1A.pgm", "wb") as f:
        f.write(b"P5\n# disco uniforme de radio 5\n%d %d\n255\n" % (SIDE, SIDE))
        f.write(bytes(255 * v for row in rows for v in row))
    with open("psf2A.pgm", "w", encoding="ascii") as f:
        f.write("P2\n# el mismo disco de radio 5 que psf1A.pgm, en texto\n")
        f.write("%d %d\n1\n" % (SIDE, SIDE))
        for row in rows:
            f.write(" ".join(str(v) for v in row) + "\n")


if __name__ == "__main__":
    main()
