#!/usr/bin/env python3
"""Draws the pictures of the program's own skin (resources/skin/*.bmp).

Index:
  Canvas            RGB pixel grid with the few drawing operations the art needs
  write_bmp8/24/1   uncompressed Windows bitmaps, pixels right behind the colour table
  draw_main/mask    frame picture (162 x 140) and its one-bit shape
  draw_active       caption plate and caption buttons (84 x 154)
  draw_popup        popup window (88 x 80), menu entries (70 x 116), hint window (42 x 22)
  draw_controls     panel, button, check list, scroll bars and the rest (516 x 289)

Every rectangle drawn here is the one skin.ini names; change both together.
The output is byte-for-byte reproducible: run
    python3 tools/skinart/skinart.py resources/skin
and commit the pictures it writes.
"""

import os
import struct
import sys

# ------------------------------------------------------------------ colours

FORM = (45, 45, 45)  # the form colour; also the unused parts of the pictures
RIM = (12, 12, 12)  # outermost line of the window
EDGE_HI = (92, 92, 92)  # light line just inside the rim
BORDER = (52, 52, 52)  # fill of the side and bottom borders
INNER = (24, 24, 24)  # line between the border and the client area
PANEL = (146, 150, 158)  # panels: black text must read on it
PANEL_HI = (196, 200, 208)
PANEL_LO = (70, 72, 78)
FIELD = (190, 194, 201)  # list items, menu entries, hint
FIELD_LO = (40, 42, 46)
ACCENT_TOP = (122, 156, 206)  # highlighted entries and active controls
ACCENT_BOTTOM = (86, 120, 176)
ACCENT_EDGE = (34, 58, 102)
DARK_BLUE = (0, 64, 128)  # scroll markers and marks
TRACK = (92, 96, 104)  # scroll bar track


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


class Canvas:
    def __init__(self, w, h, fill=FORM):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def get(self, x, y):
        return self.px[y][x]

    def fill(self, l, t, r, b, c):
        for y in range(t, b):
            for x in range(l, r):
                self.set(x, y, c)

    def vgrad(self, l, t, r, b, top, bottom):
        n = max(1, b - t - 1)
        for y in range(t, b):
            self.fill(l, y, r, y + 1, mix(top, bottom, (y - t) / n))

    def hline(self, x0, x1, y, c):
        self.fill(x0, y, x1, y + 1, c)

    def vline(self, x, y0, y1, c):
        self.fill(x, y0, x + 1, y1, c)

    def outline(self, l, t, r, b, c):
        self.hline(l, r, t, c)
        self.hline(l, r, b - 1, c)
        self.vline(l, t, b, c)
        self.vline(r - 1, t, b, c)

    def bevel(self, l, t, r, b, light, dark):
        self.hline(l, r, t, light)
        self.vline(l, t, b, light)
        self.hline(l, r, b - 1, dark)
        self.vline(r - 1, t, b, dark)

    def round_corners(self, l, t, r, b, c, radius=2):
        # Paints the pixels outside a rounded outline with `c` (the colour
        # behind the piece) so the piece looks round without a mask.
        cut = {1: [1], 2: [2, 1], 3: [3, 1, 1]}[radius]
        for i, n in enumerate(cut):
            for k in range(n):
                self.set(l + k, t + i, c)
                self.set(r - 1 - k, t + i, c)
                self.set(l + k, b - 1 - i, c)
                self.set(r - 1 - k, b - 1 - i, c)

    def polygon_fill(self, pts, c):
        ys = [p[1] for p in pts]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            xs = []
            for i in range(len(pts)):
                (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % len(pts)]
                if (y0 <= y + 0.5 < y1) or (y1 <= y + 0.5 < y0):
                    xs.append(x0 + (y + 0.5 - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for i in range(0, len(xs) - 1, 2):
                for x in range(int(round(xs[i])), int(round(xs[i + 1]))):
                    self.set(x, y, c)

    def colours(self):
        return sorted({c for row in self.px for c in row})


# ------------------------------------------------------------------ writers


def _headers(w, h, bits, colours, image_size):
    table = 4 * colours
    offset = 14 + 40 + table
    file_header = b"BM" + struct.pack("<IHHI", offset + image_size, 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, image_size, 2835, 2835, colours, colours)
    return file_header + info


def write_bmp8(path, cv):
    palette = cv.colours()
    if len(palette) > 256:
        raise SystemExit("%s: %d colours do not fit 8 bits" % (path, len(palette)))
    index = {c: i for i, c in enumerate(palette)}
    stride = (cv.w + 3) & ~3
    rows = b"".join(
        bytes(index[c] for c in cv.px[y]) + b"\0" * (stride - cv.w) for y in range(cv.h - 1, -1, -1))
    table = b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette)
    with open(path, "wb") as f:
        f.write(_headers(cv.w, cv.h, 8, len(palette), len(rows)) + table + rows)


def write_bmp24(path, cv):
    stride = (cv.w * 3 + 3) & ~3
    rows = b"".join(
        b"".join(bytes((c[2], c[1], c[0])) for c in cv.px[y]) + b"\0" * (stride - cv.w * 3)
        for y in range(cv.h - 1, -1, -1))
    with open(path, "wb") as f:
        f.write(_headers(cv.w, cv.h, 24, 0, len(rows)) + rows)


def write_bmp1(path, w, h, opaque):
    """opaque(x, y) -> True for window pixels (black, colour 0)."""
    stride = ((w + 31) // 32) * 4
    rows = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if not opaque(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        rows += row
    table = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    with open(path, "wb") as f:
        f.write(_headers(w, h, 1, 2, len(rows)) + table + bytes(rows))


# --------------------------------------------------------------- the frame

W, H = 162, 140
CLIENT = (5, 24, 157, 135)
CORNER = 5  # radius of the window's rounded corners


def outside_corner(x, y, w=W, h=H, radius=CORNER):
    """True for pixels cut off by the rounded outer corners."""
    for cx, cy, inx, iny in ((radius, radius, x < radius, y < radius),
                             (w - 1 - radius, radius, x > w - 1 - radius, y < radius),
                             (radius, h - 1 - radius, x < radius, y > h - 1 - radius),
                             (w - 1 - radius, h - 1 - radius, x > w - 1 - radius, y > h - 1 - radius)):
        if inx and iny and (x - cx) ** 2 + (y - cy) ** 2 > (radius + 0.25) ** 2:
            return True
    return False


def caption_bar_colour(y):
    # The caption bar: a dark vertical gradient, the same in both pictures
    # so the plate's rounded ends sit on the bar without seams.
    return mix((78, 78, 80), (44, 44, 46), (y - 1) / 21)


def draw_plate(cv, l, t, r, b, top, bottom, edge, shine):
    """The caption plate: a pill with rounded ends over the caption bar."""
    cv.vgrad(l, t, r, b, top, bottom)
    cv.hline(l + 3, r - 3, t, edge)
    cv.hline(l + 3, r - 3, b - 1, edge)
    cv.vline(l, t + 3, b - 3, edge)
    cv.vline(r - 1, t + 3, b - 3, edge)
    cv.hline(l + 3, r - 3, t + 1, shine)
    for (dx, dy) in ((1, 1), (2, 1), (1, 2)):
        for x, y in ((l + dx, t + dy), (r - 1 - dx, t + dy), (l + dx, b - 1 - dy), (r - 1 - dx, b - 1 - dy)):
            cv.set(x, y, edge)
    for (dx, dy) in ((0, 0), (1, 0), (2, 0), (0, 1), (0, 2)):
        for x, y in ((l + dx, t + dy), (r - 1 - dx, t + dy), (l + dx, b - 1 - dy), (r - 1 - dx, b - 1 - dy)):
            cv.set(x, y, caption_bar_colour(y))


def draw_sysmenu_icon(cv, l, t, face, ring, mark):
    """The program's mark (14 x 14): a round disc with a play triangle."""
    for y in range(14):
        for x in range(14):
            d = (x - 6.5) ** 2 + (y - 6.5) ** 2
            if d <= 6.6 ** 2:
                cv.set(l + x, t + y, ring if d > 5.4 ** 2 else face)
    cv.polygon_fill([(l + 5, t + 3.5), (l + 10.5, t + 7), (l + 5, t + 10.5)], mark)


def draw_main():
    cv = Canvas(W, H, BORDER)
    # caption bar
    for y in range(0, 24):
        cv.hline(0, W, y, caption_bar_colour(max(1, min(22, y))))
    cv.hline(0, W, 23, INNER)
    # client area: the form colour (tiled as the client background)
    cv.fill(*CLIENT, FORM)
    # borders: inner dark line next to the client area
    cv.vline(4, 23, 136, INNER)
    cv.vline(157, 23, 136, INNER)
    cv.hline(4, 158, 135, INNER)
    # rim and its inner highlight
    cv.outline(0, 0, W, H, RIM)
    cv.hline(1, W - 1, 1, EDGE_HI)
    cv.vline(1, 1, H - 1, (72, 72, 72))
    cv.vline(W - 2, 1, H - 1, (36, 36, 36))
    cv.hline(1, W - 1, H - 2, (36, 36, 36))
    # inactive caption plate (the caption's normal look): 24,3,89,21
    draw_plate(cv, 24, 3, 89, 21, (92, 92, 96), (62, 62, 66), (30, 30, 32), (112, 112, 116))
    # system-menu button's normal look: 6,5,20,19
    draw_sysmenu_icon(cv, 6, 5, (150, 154, 162), (20, 20, 20), (30, 30, 30))
    # pixels the mask cuts away keep the form colour
    for y in range(H):
        for x in range(W):
            if outside_corner(x, y):
                cv.set(x, y, FORM)
    return cv


def draw_mask(path):
    write_bmp1(path, W, H, lambda x, y: not outside_corner(x, y))


# ------------------------------------------------------ caption and buttons


def draw_caption_button(cv, l, t, face_top, face_bottom, edge, glyph, glyph_colour):
    cv.vgrad(l, t, l + 14, t + 14, face_top, face_bottom)
    cv.outline(l, t, l + 14, t + 14, edge)
    cv.hline(l + 1, l + 13, t + 1, mix(face_top, (255, 255, 255), 0.35))
    gx, gy = l + 3, t + 3  # glyphs live in an 8 x 8 box
    if glyph == "close":
        for i in range(8):
            for d in (0, 1):
                cv.set(gx + i, gy + min(7, i + d) - d, glyph_colour)
                cv.set(gx + 7 - i, gy + min(7, i + d) - d, glyph_colour)
        for i in range(8):
            cv.set(gx + i, gy + i, glyph_colour)
            cv.set(gx + 7 - i, gy + i, glyph_colour)
            if i < 7:
                cv.set(gx + i + 1, gy + i, glyph_colour)
                cv.set(gx + 6 - i, gy + i, glyph_colour)
    elif glyph == "min":
        cv.fill(gx + 1, gy + 6, gx + 7, gy + 8, glyph_colour)
    elif glyph == "max":
        cv.outline(gx, gy, gx + 8, gy + 8, glyph_colour)
        cv.hline(gx, gx + 8, gy + 1, glyph_colour)
    elif glyph == "restore":
        cv.outline(gx + 2, gy, gx + 8, gy + 6, glyph_colour)
        cv.fill(gx, gy + 2, gx + 6, gy + 8, face_bottom)
        cv.outline(gx, gy + 2, gx + 6, gy + 8, glyph_colour)
    elif glyph == "rollup":
        cv.polygon_fill([(gx, gy + 6), (gx + 4, gy + 2), (gx + 8, gy + 6)], glyph_colour)


def draw_active():
    cv = Canvas(84, 154, FORM)
    # rows 0..23 repeat the caption bar so the plate's cut corners match it
    for y in range(0, 24):
        cv.hline(0, 84, y, caption_bar_colour(max(1, min(22, y))))
    # active caption plate: 4,3,69,21
    draw_plate(cv, 4, 3, 69, 21, (70, 112, 178), (32, 60, 110), (10, 22, 48), (112, 150, 210))
    # caption buttons: normal at x 35, highlighted at x 1, pressed at x 18
    normal = ((110, 110, 116), (70, 70, 76), (20, 20, 22), (225, 225, 225))
    hot = ((214, 96, 86), (168, 44, 36), (60, 10, 8), (255, 255, 255))
    hot_plain = ((120, 152, 204), (70, 104, 160), (14, 30, 60), (255, 255, 255))
    down = ((120, 30, 24), (178, 64, 56), (40, 6, 4), (255, 255, 255))
    down_plain = ((40, 66, 112), (86, 118, 172), (8, 20, 44), (255, 255, 255))
    rows = (("close", 57, hot, down), ("min", 73, hot_plain, down_plain), ("max", 89, hot_plain, down_plain),
            ("rollup", 105, hot_plain, down_plain))
    for glyph, y, h_look, d_look in rows:
        for x, look in ((35, normal), (1, h_look), (18, d_look)):
            draw_caption_button(cv, x, y, look[0], look[1], look[2], glyph, look[3])
    # restore looks of the maximise button (a maximised window is never shown)
    for x, look in ((52, normal), (68, hot_plain)):
        draw_caption_button(cv, x, 89, look[0], look[1], look[2], "restore", look[3])
    # system-menu button: highlighted 1,121,15,135, pressed 18,121,32,135,
    # disabled 52,123,65,135 (13 x 12)
    for x, y in ((1, 121), (18, 121)):
        for k in range(14):
            cv.hline(x, x + 14, y + k, caption_bar_colour(5 + k))
    draw_sysmenu_icon(cv, 1, 121, (206, 214, 228), (40, 70, 120), (20, 40, 90))
    draw_sysmenu_icon(cv, 18, 121, (120, 150, 200), (14, 30, 66), (255, 255, 255))
    for k in range(12):
        cv.hline(52, 65, 123 + k, caption_bar_colour(7 + k))
    for y in range(12):
        for x in range(13):
            d = (x - 6) ** 2 + (y - 5.5) ** 2
            if d <= 6.0 ** 2:
                cv.set(52 + x, 123 + y, (88, 88, 90) if d > 4.8 ** 2 else (110, 110, 112))
    return cv


# ------------------------------------------------- popup, entries and hint


def draw_popup():
    cv = Canvas(88, 80, FIELD)
    cv.outline(0, 0, 88, 80, FIELD_LO)
    cv.bevel(1, 1, 87, 79, (232, 234, 238), (120, 124, 132))
    return cv


def draw_menuitems():
    cv = Canvas(70, 116, FIELD)
    # highlighted look 1,1,68,21: a rounded accent bar
    cv.vgrad(1, 1, 68, 21, ACCENT_TOP, ACCENT_BOTTOM)
    cv.outline(1, 1, 68, 21, ACCENT_EDGE)
    cv.hline(2, 67, 2, (168, 196, 232))
    cv.round_corners(1, 1, 68, 21, FIELD, 1)
    # normal look 1,22,68,42: the popup's own fill
    cv.fill(1, 22, 68, 42, FIELD)
    # divider 0,41,68,46: an engraved line, rows 41 and 45 stay plain
    cv.hline(4, 65, 43, (112, 116, 124))
    cv.hline(4, 65, 44, (236, 238, 242))
    return cv


def draw_hint():
    cv = Canvas(42, 22, (222, 224, 228))
    cv.outline(0, 0, 42, 22, FIELD_LO)
    cv.bevel(1, 1, 41, 21, (248, 248, 250), (168, 172, 180))
    return cv


# --------------------------------------------------------------- controls


def draw_panel(cv, l, t, r, b):
    cv.fill(l, t, r, b, PANEL)
    cv.bevel(l, t, r, b, PANEL_HI, PANEL_LO)
    cv.bevel(l + 1, t + 1, r - 1, b - 1, mix(PANEL, PANEL_HI, 0.5), mix(PANEL, PANEL_LO, 0.5))


def draw_sunken(cv, l, t, r, b, fill):
    cv.fill(l, t, r, b, fill)
    cv.bevel(l, t, r, b, PANEL_LO, PANEL_HI)
    cv.bevel(l + 1, t + 1, r - 1, b - 1, FIELD_LO, mix(fill, PANEL_HI, 0.5))


def draw_push_button(cv, l, t, r, b, top, bottom, edge, shine):
    cv.vgrad(l, t, r, b, top, bottom)
    cv.outline(l, t, r, b, edge)
    cv.hline(l + 1, r - 1, t + 1, shine)
    cv.round_corners(l, t, r, b, PANEL, 1)


def draw_arrow(cv, rect, direction, colour):
    l, t, r, b = rect
    cx, cy = (l + r) // 2, (t + b) // 2
    for i in range(4):
        if direction == "up":
            cv.hline(cx - i, cx + i + 1, cy - 2 + i, colour)
        elif direction == "down":
            cv.hline(cx - i, cx + i + 1, cy + 1 - i, colour)
        elif direction == "left":
            cv.vline(cx - 2 + i, cy - i, cy + i + 1, colour)
        elif direction == "right":
            cv.vline(cx + 1 - i, cy - i, cy + i + 1, colour)


def draw_scroll_button(cv, rect, direction, pressed=False):
    l, t, r, b = rect
    if pressed:
        draw_push_button(cv, l, t, r, b, (96, 128, 184), (140, 170, 214), ACCENT_EDGE, (80, 110, 164))
    else:
        draw_push_button(cv, l, t, r, b, (214, 218, 224), (164, 168, 176), (40, 42, 46), (240, 242, 246))
    cv.round_corners(l, t, r, b, (92, 96, 104), 1)
    draw_arrow(cv, rect, direction, (255, 255, 255) if pressed else (10, 10, 10))


def draw_thumb(cv, rect, pressed, horizontal=False):
    """A thumb whose shading runs across the bar, so that a long thumb can
    repeat its middle along the bar without bands."""
    l, t, r, b = rect
    light, dark, edge = (((160, 188, 228), (80, 112, 168), ACCENT_EDGE) if pressed else
                         ((236, 238, 242), (160, 164, 172), (40, 42, 46)))
    if horizontal:
        cv.vgrad(l, t, r, b, light, dark)
    else:
        n = max(1, r - l - 1)
        for x in range(l, r):
            cv.vline(x, t, b, mix(light, dark, (x - l) / n))
    cv.outline(l, t, r, b, edge)
    cv.round_corners(l, t, r, b, TRACK, 1)


def draw_track(cv, l, t, r, b, horizontal):
    cv.fill(l, t, r, b, TRACK)
    if horizontal:
        cv.hline(l, r, t, (60, 62, 68))
        cv.hline(l, r, b - 1, (116, 120, 128))
    else:
        cv.vline(l, t, b, (60, 62, 68))
        cv.vline(r - 1, t, b, (116, 120, 128))


def draw_check(cv, l, t, checked):
    """A 15 x 15 check picture; its outer ring is the item colour so two
    pictures may share a column."""
    cv.fill(l, t, l + 15, t + 15, FIELD)
    cv.fill(l + 1, t + 1, l + 14, t + 14, (246, 247, 249))
    cv.outline(l + 1, t + 1, l + 14, t + 14, (40, 42, 46))
    cv.hline(l + 2, l + 13, t + 2, (206, 210, 216))
    cv.vline(l + 2, t + 2, t + 13, (206, 210, 216))
    if checked:
        pts = [(3, 7), (5, 9), (10, 4)]
        for k in range(3):
            (x0, y0), (x1, y1) = pts[0], pts[1]
            for i in range(x1 - x0 + 1):
                cv.set(l + x0 + i, t + y0 + i + k, DARK_BLUE)
            (x0, y0), (x1, y1) = pts[1], pts[2]
            for i in range(x1 - x0 + 1):
                cv.set(l + x0 + i, t + y0 - i + k, DARK_BLUE)


def draw_controls():
    cv = Canvas(516, 289, FORM)
    # --- what the program's windows use
    # button normal / highlighted / pressed (35 x 25 each; middle 10..24 tiled)
    cv.fill(0, 0, 110, 28, PANEL)
    draw_push_button(cv, 1, 1, 36, 26, (226, 229, 234), (160, 165, 174), (28, 30, 34), (250, 251, 253))
    draw_push_button(cv, 37, 1, 72, 26, (214, 228, 248), (132, 164, 214), ACCENT_EDGE, (240, 246, 255))
    draw_push_button(cv, 73, 1, 108, 26, (112, 140, 188), (170, 192, 226), (16, 30, 60), (96, 122, 170))
    # panel 141,4,200,56 (2-pixel border, flat inside)
    draw_panel(cv, 141, 4, 200, 56)
    # check list frame 67,130,126,182 with the item colour inside
    draw_sunken(cv, 67, 130, 126, 182, FIELD)
    # list items 54 x 21: normal, highlighted, focused
    cv.fill(290, 75, 344, 96, FIELD)
    cv.vgrad(290, 98, 344, 119, ACCENT_TOP, ACCENT_BOTTOM)
    cv.hline(290, 344, 98, (150, 180, 222))
    cv.hline(290, 344, 118, ACCENT_EDGE)
    cv.vgrad(290, 121, 344, 142, ACCENT_TOP, ACCENT_BOTTOM)
    cv.outline(290, 121, 344, 142, (10, 20, 40))
    cv.outline(291, 122, 343, 141, (196, 214, 240))
    # check pictures: unchecked 0,76,15,91 and checked 14,76,29,91 share column 14
    draw_check(cv, 14, 76, True)
    draw_check(cv, 0, 76, False)
    # vertical scroll bar 224,25,241,93: decreasing arrow, track, increasing arrow
    draw_track(cv, 224, 42, 241, 76, False)
    cv.fill(224, 25, 241, 42, TRACK)
    cv.fill(224, 76, 241, 93, TRACK)
    draw_scroll_button(cv, (224, 25, 241, 42), "up")
    draw_scroll_button(cv, (224, 76, 241, 93), "down")
    # pressed arrows 242,25,259,42 (decreasing) and 242,45,259,62 (increasing)
    cv.fill(242, 25, 259, 62, TRACK)
    draw_scroll_button(cv, (242, 25, 259, 42), "up", True)
    draw_scroll_button(cv, (242, 45, 259, 62), "down", True)
    # thumbs 242,4,259,22 (normal) and 221,4,238,22 (pressed), grip glyph 279,76,286,84
    cv.fill(219, 2, 261, 24, TRACK)
    draw_thumb(cv, (242, 4, 259, 22), False)
    draw_thumb(cv, (221, 4, 238, 22), True)
    cv.fill(279, 76, 286, 84, (183, 187, 195))
    for y in (77, 79, 81):
        cv.hline(280, 285, y, (60, 62, 68))
        cv.hline(280, 285, y + 1, (240, 242, 246))

    # --- entries no window of the program shows
    # horizontal scroll bar 2,192,70,209 and its pieces
    draw_track(cv, 2, 192, 70, 209, True)
    draw_scroll_button(cv, (2, 192, 19, 209), "left")
    draw_scroll_button(cv, (53, 192, 70, 209), "right")
    cv.fill(72, 192, 107, 209, TRACK)
    draw_scroll_button(cv, (72, 192, 89, 209), "left", True)
    draw_scroll_button(cv, (90, 192, 107, 209), "right", True)
    cv.fill(110, 192, 148, 209, TRACK)
    draw_thumb(cv, (110, 192, 128, 209), False, True)
    draw_thumb(cv, (130, 192, 148, 209), True, True)
    cv.fill(150, 193, 158, 200, (183, 187, 195))
    for x in (151, 153, 155):
        cv.vline(x, 193, 200, (60, 62, 68))
        cv.vline(x + 1, 193, 200, (240, 242, 246))
    # edit field 352,4,411,56 (sunken, light inside)
    draw_sunken(cv, 352, 4, 411, 56, (232, 234, 238))
    # tool panel / status bar look 420,4,479,56 (darker raised)
    draw_panel(cv, 420, 4, 479, 56)
    cv.fill(422, 6, 477, 54, (120, 124, 132))
    # gauge track 2,220,102,236 and bar 2,238,102,254; vertical 110,220,126,280
    draw_sunken(cv, 2, 220, 102, 236, (70, 72, 78))
    cv.vgrad(2, 238, 102, 254, ACCENT_TOP, ACCENT_BOTTOM)
    cv.outline(2, 238, 102, 254, ACCENT_EDGE)
    draw_sunken(cv, 110, 220, 126, 280, (70, 72, 78))
    # track bar 140,220,240,236 with thumb 244,216,256,240
    cv.fill(140, 220, 240, 236, PANEL)
    draw_sunken(cv, 140, 226, 240, 230, (60, 62, 68))
    draw_thumb(cv, (244, 216, 256, 240), False)
    # check box and radio pictures (15 x 15) at 270,220..
    cv.fill(268, 218, 340, 238, PANEL)
    draw_check(cv, 270, 220, False)
    draw_check(cv, 286, 220, True)
    for ox, on in ((304, False), (320, True)):
        for y in range(15):
            for x in range(15):
                d = (x - 7) ** 2 + (y - 7) ** 2
                if d <= 42:
                    cv.set(ox + x, 220 + y, (40, 42, 46) if d > 30 else (246, 247, 249))
                if on and d <= 7:
                    cv.set(ox + x, 220 + y, DARK_BLUE)
    # tab 350,216,420,240 (raised top, open bottom)
    cv.fill(350, 216, 420, 240, PANEL)
    cv.hline(352, 418, 216, PANEL_HI)
    cv.vline(350, 218, 240, PANEL_HI)
    cv.vline(419, 218, 240, PANEL_LO)
    cv.round_corners(350, 216, 420, 244, FORM, 2)
    # splitter grip 430,216,436,260
    cv.fill(430, 216, 436, 260, PANEL)
    cv.vline(432, 216, 260, PANEL_HI)
    cv.vline(433, 216, 260, PANEL_LO)
    # bevel 450,216,500,260
    cv.outline(450, 216, 500, 260, PANEL_LO)
    cv.outline(451, 217, 501, 261, PANEL_HI)
    return cv


def main(argv):
    out = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "resources", "skin")
    os.makedirs(out, exist_ok=True)
    write_bmp8(os.path.join(out, "main.bmp"), draw_main())
    draw_mask(os.path.join(out, "mask.bmp"))
    write_bmp8(os.path.join(out, "active.bmp"), draw_active())
    write_bmp8(os.path.join(out, "pw.bmp"), draw_popup())
    write_bmp8(os.path.join(out, "menuitems.bmp"), draw_menuitems())
    write_bmp8(os.path.join(out, "hw.bmp"), draw_hint())
    write_bmp24(os.path.join(out, "controls.bmp"), draw_controls())


if __name__ == "__main__":
    main(sys.argv)
