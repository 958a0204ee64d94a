#!/usr/bin/python3
"""Writes the PNG files that drubelkit's PNG readers must agree on.

Each kind is encoded here by hand (the chunks, the filters, Adam7), so that
16-bit channels and interlacing are covered, which PIL does not write; PIL
then reads every file back and must see the pixels meant. Prints, for the
test's table, each file with the MD5 of its pixels as the tool holds them:
blue, green, red, alpha, rows bottom-up, 16-bit channels by their high byte.
"""
import hashlib
import os
import struct
import zlib

from PIL import Image

W, H = 7, 5
HERE = os.path.dirname(os.path.abspath(__file__))


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def rows_of(samples, width, bits, channels):
    """Packs rows of samples (one list per row) into bytes."""
    out = []
    for row in samples:
        if bits == 16:
            out.append(b"".join(struct.pack(">H", v) for v in row))
        elif bits == 8:
            out.append(bytes(row))
        else:
            per = 8 // bits
            packed = bytearray((len(row) + per - 1) // per)
            for i, v in enumerate(row):
                packed[i // per] |= v << (8 - bits * (i % per + 1))
            out.append(bytes(packed))
    return out


def png(path, colour_type, bits, pixels, channels, palette=None, alpha=None, interlace=False):
    """pixels: H rows of W tuples of `channels` samples."""
    raw = b""
    passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)] \
        if interlace else [(0, 0, 1, 1)]
    for x0, y0, dx, dy in passes:
        sub = [[s for p in pixels[y][x0::dx] for s in p] for y in range(y0, H, dy)]
        if not sub or not sub[0]:
            continue
        for r in rows_of(sub, W, bits, channels):
            raw += b"\0" + r
    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, bits, colour_type, 0, 0, 1 if interlace else 0))
    if palette:
        data += chunk(b"PLTE", bytes(c for rgb in palette for c in rgb))
    if alpha:
        data += chunk(b"tRNS", bytes(alpha))
    data += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)
    return data


def bgra_md5(rgba_rows):
    out = b""
    for row in reversed(rgba_rows):
        for r, g, b, a in row:
            out += bytes((b, g, r, a))
    return hashlib.md5(out).hexdigest()


def value(x, y, k):
    return (x * 37 + y * 71 + k * 113) % 256


def wide(x, y, k):
    # High bytes that rounding would change: 0x80FF is 128 cut, 129 rounded.
    return ((value(x, y, k) << 8) | 0xFF) if (x + y) % 2 else (value(x, y, k) << 8) | 0x7F


cases = []
palette = [(value(i, 0, 0), value(i, 1, 1), value(i, 2, 2)) for i in range(16)]
alphas = [value(i, 3, 3) for i in range(16)]
index = [[(x + 3 * y) % 16 for x in range(W)] for y in range(H)]
grey = [[value(x, y, 0) for x in range(W)] for y in range(H)]

def add(name, rgba, **kw):
    png(os.path.join(HERE, name), **kw)
    cases.append((name, rgba))

add("palette-alpha.png", [[palette[index[y][x]] + (alphas[index[y][x]],) for x in range(W)] for y in range(H)],
    colour_type=3, bits=8, pixels=[[(index[y][x],) for x in range(W)] for y in range(H)], channels=1,
    palette=palette, alpha=alphas)
add("palette-4bit.png", [[palette[index[y][x]] + (255,) for x in range(W)] for y in range(H)],
    colour_type=3, bits=4, pixels=[[(index[y][x],) for x in range(W)] for y in range(H)], channels=1,
    palette=palette)
add("grey.png", [[(grey[y][x],) * 3 + (255,) for x in range(W)] for y in range(H)],
    colour_type=0, bits=8, pixels=[[(grey[y][x],) for x in range(W)] for y in range(H)], channels=1)
add("grey-2bit.png", [[((grey[y][x] % 4) * 85,) * 3 + (255,) for x in range(W)] for y in range(H)],
    colour_type=0, bits=2, pixels=[[(grey[y][x] % 4,) for x in range(W)] for y in range(H)], channels=1)
add("grey-alpha.png", [[(grey[y][x],) * 3 + (value(x, y, 5),) for x in range(W)] for y in range(H)],
    colour_type=4, bits=8, pixels=[[(grey[y][x], value(x, y, 5)) for x in range(W)] for y in range(H)], channels=2)
add("grey-16bit.png", [[(wide(x, y, 0) >> 8,) * 3 + (255,) for x in range(W)] for y in range(H)],
    colour_type=0, bits=16, pixels=[[(wide(x, y, 0),) for x in range(W)] for y in range(H)], channels=1)
add("rgb.png", [[tuple(value(x, y, k) for k in range(3)) + (255,) for x in range(W)] for y in range(H)],
    colour_type=2, bits=8, pixels=[[tuple(value(x, y, k) for k in range(3)) for x in range(W)] for y in range(H)],
    channels=3)
add("rgba.png", [[tuple(value(x, y, k) for k in range(4)) for x in range(W)] for y in range(H)],
    colour_type=6, bits=8, pixels=[[tuple(value(x, y, k) for k in range(4)) for x in range(W)] for y in range(H)],
    channels=4)
add("rgb-16bit.png", [[tuple(wide(x, y, k) >> 8 for k in range(3)) + (255,) for x in range(W)] for y in range(H)],
    colour_type=2, bits=16, pixels=[[tuple(wide(x, y, k) for k in range(3)) for x in range(W)] for y in range(H)],
    channels=3)
add("rgba-16bit.png", [[tuple(wide(x, y, k) >> 8 for k in range(4)) for x in range(W)] for y in range(H)],
    colour_type=6, bits=16, pixels=[[tuple(wide(x, y, k) for k in range(4)) for x in range(W)] for y in range(H)],
    channels=4)
add("rgba-interlaced.png", [[tuple(value(x, y, k) for k in range(4)) for x in range(W)] for y in range(H)],
    colour_type=6, bits=8, pixels=[[tuple(value(x, y, k) for k in range(4)) for x in range(W)] for y in range(H)],
    channels=4, interlace=True)
add("palette-interlaced.png", [[palette[index[y][x]] + (255,) for x in range(W)] for y in range(H)],
    colour_type=3, bits=8, pixels=[[(index[y][x],) for x in range(W)] for y in range(H)], channels=1,
    palette=palette, interlace=True)

for name, rgba in cases:
    seen = Image.open(os.path.join(HERE, name))
    if seen.mode == "I;16" or seen.mode == "I":
        got = [[(seen.getpixel((x, y)) >> 8,) * 3 + (255,) for x in range(W)] for y in range(H)]
    elif name.endswith("-16bit.png"):
        got = None  # PIL holds 16-bit colour as 8-bit by its own rule
    else:
        rgba_image = seen.convert("RGBA")
        got = [[rgba_image.getpixel((x, y)) for x in range(W)] for y in range(H)]
    assert got is None or got == rgba, name
    print('    {"%s", "%s"},' % (name, bgra_md5(rgba)))

# Cut inside its pixel data.
whole = open(os.path.join(HERE, "rgba.png"), "rb").read()
with open(os.path.join(HERE, "damaged.png"), "wb") as f:
    f.write(whole[:60])
print('    {"damaged.png", nullptr},')
