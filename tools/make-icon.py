#!/usr/bin/env python3
"""Draws the program's icon (a play symbol on a dark disc) and writes it as
resources/ZorvaneSetup.ico with 16x16 and 32x32 32-bit images."""
import math
import struct
import sys


def image(size):
    px = []
    c = (size - 1) / 2.0
    r = size / 2.0 - 0.5
    for y in range(size - 1, -1, -1):  # bottom-up rows
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if d > r:
                px.append((0, 0, 0, 0))
                continue
            # play triangle
            u = (x - c) / r
            v = (y - c) / r
            inside = -0.35 <= u <= 0.55 and abs(v) <= (0.55 - u) * 0.62
            if inside:
                px.append((255, 255, 255, 255))
            elif d > r - max(1.0, size / 16):
                px.append((20, 110, 210, 255))
            else:
                px.append((45, 45, 45, 255))
    xor = b"".join(struct.pack("<BBBB", b, g, r_, a) for (r_, g, b, a) in px)
    and_row = ((size + 31) // 32) * 4
    andmask = b"\0" * (and_row * size)
    hdr = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return hdr + xor + andmask


def main(out):
    imgs = [image(16), image(32)]
    data = struct.pack("<HHH", 0, 1, len(imgs))
    offset = 6 + 16 * len(imgs)
    entries = b""
    for size, img in zip((16, 32), imgs):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(out, "wb") as f:
        f.write(data + entries + b"".join(imgs))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/ZorvaneSetup.ico")
