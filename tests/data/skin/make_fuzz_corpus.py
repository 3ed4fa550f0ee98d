#!/usr/bin/env python3
"""Writes the starting inputs of the skin fuzz targets.

corpus/      small inflated containers of every version and bare description
             texts (the skin target compresses its input itself)
corpus-bmp/  small bitmap files of every depth
"""
import io
import os
import struct
import tempfile

import make_test_skin

HERE = os.path.dirname(os.path.abspath(__file__))


def bmp_bytes(w, h, bits, pixel, palette=None, top_down=False):
    with tempfile.TemporaryDirectory() as d:
        p = os.path.join(d, 'x.bmp')
        make_test_skin.bmp(p, w, h, bits, pixel, palette, top_down)
        return open(p, 'rb').read()


def bitfields16(w, h):
    stride = ((w * 16 + 31) // 32) * 4
    data = b''.join(bytes(stride) for _ in range(h))
    masks = struct.pack('<III', 0xF800, 0x07E0, 0x001F)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 16, 3, len(data), 0, 0, 0, 0)
    off = 14 + 40 + 12
    return b'BM' + struct.pack('<IHHI', off + len(data), 0, 0, off) + info + masks + data


PICS = {
    1: bmp_bytes(3, 2, 1, lambda x, y: (x + y) & 1, [(0, 0, 0), (255, 255, 255)]),
    4: bmp_bytes(3, 2, 4, lambda x, y: x + y, make_test_skin.gradient_palette(16)),
    8: bmp_bytes(2, 2, 8, lambda x, y: x * 2 + y, make_test_skin.gradient_palette(4)),
    16: bmp_bytes(2, 2, 16, lambda x, y: (x * 90, y * 90, 7)),
    24: bmp_bytes(2, 3, 24, lambda x, y: (x * 90, y * 90, 7), top_down=True),
    'bf': bitfields16(3, 2),
}

DESCRIPTION = (
    "[VERSION]\r\nskinname=f\r\n[PICTURES]\r\npicture=a\r\nmask=m\r\nactivepicturescount=2\r\n0=x\r\n1=y\r\n"
    "[FORMINFO]\r\nlefttoppoint=1,1\r\nrighttoppoint=2,1\r\nleftbottompoint=1,2\r\nrightbottompoint=2,2\r\n"
    "clientrect=1,1,2,2\r\nmaskrectarea=0,0,3,3\r\nhittestlefttoppoint=0,1\r\ninactiveeffect=ienoise\r\n"
    "[POPUPWINDOW]\r\nwindowpictureindex=0\r\nitemsrect=0,0,2,2\r\n[HINTWINDOW]\r\nwindowpictureindex=1\r\n"
    "fontstyle=fsbold,fsitalic\r\n[SKINAREAS]\r\ncount=1\r\n0=a:0,0,1,1\r\n"
    "[SKINOBJECTS]\r\ncount=4\r\n0=menuitem:menuitem\r\n1=caption:caption\r\n2=close:stdbutton\r\n3=u:userobject\r\n"
    "[menuitem]\r\nactivepictureindex=1\r\nskinrect=0,0,2,1\r\nitemleftoffset=1\r\n"
    "[caption]\r\nalignment=taleftjustify\r\nmorphkind=mkpush\r\n[close]\r\ncommand=cmclose\r\ndownrect=0,0,1,1\r\n"
    "[SKINCONTROLS]\r\ncount=6\r\n0=button:button\r\n1=panel:panel\r\n2=stdlabel:stdlabel\r\n"
    "3=checklistbox:checklistbox\r\n4=vscrollbar:scrollbar\r\n5=e:edit\r\n"
    "[button]\r\npictureindex=0\r\nskinrect=0,0,3,2\r\nlefttoppoint=1,0\r\nrighttoppoint=2,0\r\n"
    "[panel]\r\npictureindex=1\r\nskinrect=0,0,2,2\r\nrightbottompoint=1,1\r\nclientrect=0,0,1,1\r\n"
    "[checklistbox]\r\nitemrect=0,0,1,1\r\nvscrollbarname=vscrollbar\r\n[vscrollbar]\r\nthumbrect=0,0,1,1\r\n"
)


def container(version, pics, active, description=DESCRIPTION):
    out = io.BytesIO()
    out.write(struct.pack('<i', version))
    slots = ['picture']
    if version in (2, 3):
        slots.append('inactive')
    slots.append('mask')
    if version in (1, 2):
        slots += ['rollup', 'rollupmask']
    for s in slots:
        p = pics.get(s)
        if p is None:
            out.write(b'\x01')
        else:
            out.write(b'\x00' + p)
    out.write(struct.pack('<i', len(active)))
    for p in active:
        out.write(p)
    out.write(description.encode('latin-1'))
    return out.getvalue()


def main():
    c = os.path.join(HERE, 'corpus')
    os.makedirs(c, exist_ok=True)
    full = {'picture': PICS[8], 'inactive': PICS[24], 'mask': PICS[1], 'rollup': PICS[4], 'rollupmask': PICS[1]}
    for v in (0, 1, 2, 3, 4):
        open(os.path.join(c, 'container-v%d' % v), 'wb').write(container(v, full, [PICS[16], PICS['bf']]))
    open(os.path.join(c, 'container-empty-slots'), 'wb').write(container(2, {}, []))
    open(os.path.join(c, 'description.ini'), 'wb').write(DESCRIPTION.encode('latin-1'))
    b = os.path.join(HERE, 'corpus-bmp')
    os.makedirs(b, exist_ok=True)
    for k, p in PICS.items():
        open(os.path.join(b, 'bits-%s.bmp' % k), 'wb').write(p)


if __name__ == '__main__':
    main()
