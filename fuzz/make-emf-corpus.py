#!/usr/bin/env python3
"""Writes the EMF seeds of fuzz/corpus/emf: small, valid enhanced metafiles,
each one a few record kinds that pass the reader's checks and reach
libemf2svg and Qt SVG (shapes, paths, clipping, transforms, objects, text,
bitmaps). Run from the repository: python3 fuzz/make-emf-corpus.py"""

import os
import struct

FOLDER = os.path.join(os.path.dirname(__file__), "corpus", "emf")


def record(kind, *parts):
    body = b"".join(parts)
    return struct.pack("<II", kind, 8 + len(body)) + body


def u32(*values):
    return struct.pack("<%dI" % len(values), *[v & 0xFFFFFFFF for v in values])


def s16(*values):
    return struct.pack("<%dh" % len(values), *values)


def rect(left, top, right, bottom):
    return u32(left, top, right, bottom)


def colour(red, green, blue):
    return bytes([red, green, blue, 0])


def emf(records):
    """A 100 x 50 pixel picture on a 96 dpi device: the 88-byte header with
    bounds and frame, the records and the end record."""
    end = record(14, u32(0, 16, 20))
    body = b"".join(records)
    count = 2 + len(records)
    header = (rect(0, 0, 99, 49) + rect(0, 0, 2646, 1323) + u32(0x464D4520, 0x10000)
              + u32(88 + len(body) + len(end), count) + struct.pack("<HH", 8, 0)
              + u32(0, 0, 0, 960, 960, 254, 254))
    return record(1, header) + body + end


def brush(handle, red, green, blue, style=0, hatch=0):
    return record(39, u32(handle, style), colour(red, green, blue), u32(hatch))


def pen(handle, width, red, green, blue, style=0):
    return record(38, u32(handle, style, width, 0), colour(red, green, blue))


def select(handle):
    return record(37, u32(handle))


def delete(handle):
    return record(40, u32(handle))


def points16(*xy):
    return s16(*xy)


def poly16(kind, xy):
    count = len(xy) // 2
    return record(kind, rect(0, 0, 99, 49), u32(count), points16(*xy))


def font(handle, height, face):
    name = face.encode("utf-16-le").ljust(64, b"\0")
    logfont = u32(-height, 0, 0, 0, 700) + bytes(8) + name
    return record(82, u32(handle), logfont)


def text(x, y, string):
    chars = string.encode("utf-16-le")
    while len(chars) % 4:
        chars += b"\0"
    advances = u32(*([12] * len(string)))
    emrtext = (u32(x, y, len(string), 76, 0) + rect(0, 0, 0, 0)
               + u32(76 + len(chars)))
    return record(84, rect(0, 0, 0, 0), u32(1, 0, 0), emrtext, chars, advances)


def stretch_dibits(x, y, width, height, bits, palette, pixels, bitmap_width, bitmap_height):
    header = struct.pack("<IiiHHIIiiII", 40, bitmap_width, bitmap_height, 1, bits, 0,
                         len(pixels), 0, 0, len(palette) // 4, 0)
    info = header + palette
    offset = 80
    parameters = (rect(x, y, x + width - 1, y + height - 1) + u32(x, y, 0, 0, bitmap_width,
                                                                   bitmap_height)
                  + u32(offset, len(info), offset + len(info), len(pixels), 0, 0x00CC0020,
                        width, height))
    return record(81, parameters, info, pixels)


def solid_rgb(width, height, blue, green, red):
    row = bytes([blue, green, red]) * width
    row += bytes((4 - len(row) % 4) % 4)
    return row * height


SEEDS = {
    "shapes.emf": [
        brush(1, 200, 30, 30), select(1), pen(2, 2, 0, 0, 120), select(2),
        record(43, rect(5, 5, 40, 30)),                       # EMR_RECTANGLE
        record(42, rect(45, 5, 95, 45)),                      # EMR_ELLIPSE
        record(44, rect(10, 32, 60, 48), u32(8, 8)),          # EMR_ROUNDRECT
        record(45, rect(0, 0, 50, 50), u32(50, 25, 0, 25)),   # EMR_ARC
        record(46, rect(50, 0, 99, 49), u32(99, 25, 50, 25)), # EMR_CHORD
        record(47, rect(20, 10, 80, 40), u32(80, 10, 20, 10)),  # EMR_PIE
        delete(1), delete(2),
    ],
    "polygons.emf": [
        brush(1, 30, 160, 30), select(1), record(19, u32(2)),  # EMR_SETPOLYFILLMODE winding
        poly16(86, [5, 5, 50, 10, 30, 45]),                   # EMR_POLYGON16
        poly16(87, [0, 49, 20, 30, 40, 49, 60, 30]),          # EMR_POLYLINE16
        poly16(85, [60, 5, 70, 40, 90, 0, 99, 45]),           # EMR_POLYBEZIER16
        record(91, rect(0, 0, 99, 49), u32(2, 6, 3, 3),       # EMR_POLYPOLYGON16
               points16(10, 10, 30, 10, 20, 30, 60, 10, 80, 10, 70, 30)),
        record(27, u32(5, 25)), record(54, u32(95, 25)),      # EMR_MOVETOEX, EMR_LINETO
    ],
    "paths-and-clipping.emf": [
        record(33),                                           # EMR_SAVEDC
        record(30, rect(10, 5, 90, 45)),                      # EMR_INTERSECTCLIPRECT
        brush(1, 0, 0, 200), select(1),
        record(59),                                           # EMR_BEGINPATH
        record(27, u32(10, 10)), record(54, u32(90, 10)), record(54, u32(50, 45)),
        record(61),                                           # EMR_CLOSEFIGURE
        record(60),                                           # EMR_ENDPATH
        record(63, rect(0, 0, 99, 49)),                       # EMR_STROKEANDFILLPATH
        record(34, u32(0xFFFFFFFF)),                          # EMR_RESTOREDC
        record(59), poly16(86, [20, 20, 60, 20, 60, 40, 20, 40]), record(60),
        record(62, rect(0, 0, 99, 49)),                       # EMR_FILLPATH
    ],
    "transforms.emf": [
        record(17, u32(8)),                                   # EMR_SETMAPMODE anisotropic
        record(10, u32(0, 0)), record(9, u32(200, 100)),      # window origin, extent
        record(12, u32(0, 0)), record(11, u32(100, 50)),      # viewport origin, extent
        brush(1, 120, 0, 120), select(1), record(43, rect(20, 20, 180, 80)),
        record(17, u32(1)),                                   # EMR_SETMAPMODE text
        record(35, struct.pack("<6f", 0.7, 0.2, -0.2, 0.7, 30.0, 5.0)),  # EMR_SETWORLDTRANSFORM
        record(42, rect(0, 0, 40, 30)),
        record(36, struct.pack("<6f", 1, 0, 0, 1, 0, 0), u32(1)),  # EMR_MODIFYWORLDTRANSFORM
    ],
    "hatched-and-styles.emf": [
        brush(1, 0, 120, 0, style=2, hatch=2), select(1),     # hatched brush
        pen(2, 1, 200, 0, 0, style=1), select(2),             # dashed pen
        record(18, u32(1)),                                   # EMR_SETBKMODE transparent
        record(43, rect(5, 5, 95, 45)),
        select(0x80000005),                                   # stock null brush
        select(0x80000007),                                   # stock black pen
        record(42, rect(30, 10, 70, 40)),
    ],
    "text.emf": [
        font(1, 20, "Helvetica"), select(1),
        record(24, colour(0, 0, 160)),                        # EMR_SETTEXTCOLOR
        record(22, u32(0)),                                   # EMR_SETTEXTALIGN
        text(5, 10, "Velmora"),
    ],
    "bitmap.emf": [
        stretch_dibits(10, 10, 40, 30, 24, b"", solid_rgb(4, 3, 0, 200, 0), 4, 3),
        stretch_dibits(60, 10, 30, 30, 8, colour(0, 0, 255) + colour(255, 0, 0),
                       bytes([0, 1, 0, 1, 1, 0, 1, 0]), 4, 2),
    ],
}


def main():
    os.makedirs(FOLDER, exist_ok=True)
    for name, records in SEEDS.items():
        with open(os.path.join(FOLDER, name), "wb") as out:
            out.write(emf(records))


if __name__ == "__main__":
    main()
