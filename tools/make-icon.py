#!/usr/bin/env python3
"""Draws Notchlog's icon (a mouse wheel with notches on a green ground) and
writes src/res/notchlog.ico with three images: 32x32 in 2 colours, 32x32 in
16 colours and 16x16 in 16 colours. Run it again only to change the picture."""
import struct, sys

PAL16 = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
         (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]

def picture(size):
    """Palette indexes (16 colours) or None for transparent, row 0 at the top."""
    s = size / 32.0
    img = [[None]*size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            # rounded green square
            cx, cy = x + 0.5, y + 0.5
            r = 5*s
            inside = all(v >= 0 for v in (cx-1*s, size-1*s-cx, cy-1*s, size-1*s-cy))
            for (ox, oy) in ((1*s+r, 1*s+r), (size-1*s-r, 1*s+r), (1*s+r, size-1*s-r), (size-1*s-r, size-1*s-r)):
                if (cx < 1*s+r or cx > size-1*s-r) and (cy < 1*s+r or cy > size-1*s-r):
                    if (cx-ox)**2 + (cy-oy)**2 > r*r and abs(cx-ox) <= r and abs(cy-oy) <= r:
                        inside = False
            if inside:
                img[y][x] = 10  # light green
            # the wheel: a dark rounded bar in the middle
            if abs(cx - size/2) <= 4.5*s and 5*s <= cy <= size-5*s:
                img[y][x] = 0
    # notches: light grooves across the wheel
    for k in range(4):
        yy = int((9 + k*5) * s)
        for x in range(size):
            if abs(x + 0.5 - size/2) <= 3.5*s and img[yy][x] == 0:
                img[yy][x] = 15
    return img

def bmp_entry(size, bpp):
    img = picture(size)
    if bpp == 1:
        palette = [(0,0,0),(255,255,255)]
        idx = lambda v: 0 if v in (None, 0, 2, 8) else 1
    else:
        palette = PAL16
        idx = lambda v: 0 if v is None else v
    row_bytes = ((size * bpp + 31) // 32) * 4
    xor = bytearray()
    for y in reversed(range(size)):
        bits = 0; nb = 0; row = bytearray()
        for x in range(size):
            bits = (bits << bpp) | idx(img[y][x]); nb += bpp
            if nb == 8:
                row.append(bits); bits = 0; nb = 0
        if nb: row.append(bits << (8-nb))
        row += b'\0' * (row_bytes - len(row))
        xor += row
    and_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        bits = 0; nb = 0; row = bytearray()
        for x in range(size):
            bits = (bits << 1) | (1 if img[y][x] is None else 0); nb += 1
            if nb == 8:
                row.append(bits); bits = 0; nb = 0
        row += b'\0' * (and_row - len(row))
        mask += row
    header = struct.pack('<IiiHHIIiiII', 40, size, size*2, 1, bpp, 0, len(xor)+len(mask), 0, 0, len(palette), 0)
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in palette)
    return header + pal + bytes(xor) + bytes(mask), len(palette)

def main(out):
    images = [bmp_entry(32, 1), bmp_entry(32, 4), bmp_entry(16, 4)]
    sizes = [32, 32, 16]; bpps = [1, 4, 4]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16*len(images)
    for (blob, ncol), size, bpp in zip(images, sizes, bpps):
        data += struct.pack('<BBBBHHII', size, size, ncol if ncol < 256 else 0, 0, 1, bpp, len(blob), offset)
        offset += len(blob)
    for blob, _ in images:
        data += blob
    open(out, 'wb').write(data)

if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'src/res/notchlog.ico')
