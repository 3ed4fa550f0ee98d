#!/usr/bin/env python3
"""Writes the synthetic test skin's pictures into tests/data/skin/basic/.

The pictures are generated patterns (no real skin's pixels); their sizes
follow the frame, popup, menu, hint and control rects of basic/skin.ini.
Run again only when the sizes change; the tests compare against the files.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def bmp(path, w, h, bits, pixel, palette=None, top_down=False):
    """pixel(x, y) gives a palette index (bits <= 8) or an (r, g, b) tuple."""
    stride = ((w * bits + 31) // 32) * 4
    rows = []
    for y in range(h):
        src_y = y if top_down else h - 1 - y
        row = bytearray(stride)
        for x in range(w):
            v = pixel(x, src_y)
            if bits == 1:
                row[x >> 3] |= (v & 1) << (7 - (x & 7))
            elif bits == 4:
                row[x >> 1] |= (v & 15) << (0 if x & 1 else 4)
            elif bits == 8:
                row[x] = v
            elif bits == 16:  # 5-5-5
                r, g, b = v
                struct.pack_into('<H', row, 2 * x, ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3))
            elif bits == 24:
                r, g, b = v
                row[3 * x:3 * x + 3] = bytes((b, g, r))
        rows.append(bytes(row))
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in (palette or []))
    data = b''.join(rows)
    off = 14 + 40 + len(pal)
    info = struct.pack('<IiiHHIIiiII', 40, w, -h if top_down else h, 1, bits, 0, len(data), 2835, 2835,
                       len(palette or []), 0)
    head = b'BM' + struct.pack('<IHHI', off + len(data), 0, 0, off)
    with open(path, 'wb') as f:
        f.write(head + info + pal + data)


def gradient_palette(n):
    return [((i * 255) // (n - 1), (i * 97) % 256, 255 - (i * 255) // (n - 1)) for i in range(n)]


def main():
    d = os.path.join(HERE, 'basic')
    os.makedirs(d, exist_ok=True)
    bmp(os.path.join(d, 'main.bmp'), 162, 140, 8, lambda x, y: (x * 3 + y * 5) % 256, gradient_palette(256))
    # The mask: white inside the rounded frame, black outside.
    def mask(x, y):
        inside = 4 <= x < 158 and 3 <= y < 137 and not (x < 7 and y < 6)
        return 1 if inside else 0
    bmp(os.path.join(d, 'mask.bmp'), 162, 140, 1, mask, [(0, 0, 0), (255, 255, 255)])
    bmp(os.path.join(d, 'active.bmp'), 84, 154, 8, lambda x, y: (x ^ y) % 200, gradient_palette(200))
    bmp(os.path.join(d, 'pw.bmp'), 88, 80, 4, lambda x, y: (x // 8 + y // 8) % 16, gradient_palette(16))
    bmp(os.path.join(d, 'menuitems.bmp'), 70, 116, 16, lambda x, y: ((x * 8) % 256, (y * 2) % 256, 128))
    bmp(os.path.join(d, 'hw.bmp'), 42, 22, 24, lambda x, y: (x * 6, y * 11, (x * y) % 256), top_down=True)
    bmp(os.path.join(d, 'controls.bmp'), 350, 190, 4, lambda x, y: (x // 5 + y // 3) % 16, gradient_palette(16))


if __name__ == '__main__':
    main()
