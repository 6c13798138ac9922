#!/usr/bin/env python3
"""Writes the small source and expected images of the imaging tests.

The expected images are drawn from their definitions here (rectangles of
pure colours), independently of the program's own conversion code."""
import struct
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(name, width, height, pixel, alpha=False):
    """pixel(x, y) -> (r, g, b) or (r, g, b, a)."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(pixel(x, y))
    color_type = 6 if alpha else 2
    ihdr = struct.pack(">IIBBBBB", width, height, 8, color_type, 0, 0, 0)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b"")
    with open(name, "wb") as f:
        f.write(data)


def write_gif(name, width, height, index, palette):
    """index(x, y) -> palette entry (below 128). The LZW stream holds every
    pixel as its own 8-bit code, with a clear code often enough that the
    code width never grows, so the file is easy to cut at a known pixel."""
    pal = b"".join(bytes(c) for c in palette) + b"\0" * (3 * (128 - len(palette)))
    head = b"GIF89a" + struct.pack("<HHBBB", width, height, 0xE6, 0, 0) + pal
    image = b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0) + b"\x07"
    codes = bytearray([128])
    for n, (x, y) in enumerate((x, y) for y in range(height) for x in range(width)):
        if n and n % 100 == 0:
            codes.append(128)
        codes.append(index(x, y))
    codes.append(129)
    blocks = b"".join(bytes([len(codes[i:i + 255])]) + codes[i:i + 255] for i in range(0, len(codes), 255))
    with open(name, "wb") as f:
        f.write(head + image + blocks + b"\0\x3B")


def write_bmp(name, width, height, pixel):
    """A 24-bit bottom-up BMP; rows padded to four bytes."""
    stride = (width * 3 + 3) & ~3
    rows = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        rows += row + b"\0" * (stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    head = b"BM" + struct.pack("<IHHI", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(name, "wb") as f:
        f.write(head + info + rows)


RED, GREEN, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)
WHITE, BLACK, YELLOW = (255, 255, 255), (0, 0, 0), (255, 255, 0)


def in_rect(x, y, rx, ry, rw, rh):
    return rx <= x < rx + rw and ry <= y < ry + rh


def quadrant(x, y):
    if y < 50:
        return RED if x < 100 else GREEN
    return BLUE if x < 100 else WHITE


write_png("red_800x480.png", 800, 480, lambda x, y: RED)
# 800 x 480 kept in proportion on 320 x 240: 320 x 192 at (0, 24) over blue.
write_png("red_800x480_on_320x240.png", 320, 240,
          lambda x, y: RED if in_rect(x, y, 0, 24, 320, 192) else BLUE)

write_png("green_100x400.png", 100, 400, lambda x, y: GREEN)
# 100 x 400 on 320 x 240: 60 x 240 at (130, 0) over white.
write_png("green_100x400_on_320x240.png", 320, 240,
          lambda x, y: GREEN if in_rect(x, y, 130, 0, 60, 240) else WHITE)

write_png("quad_200x100.png", 200, 100, quadrant)
# 200 x 100 is not enlarged: drawn as it is at (60, 70) over black.
write_png("quad_200x100_on_320x240.png", 320, 240,
          lambda x, y: quadrant(x - 60, y - 70) if in_rect(x, y, 60, 70, 200, 100) else BLACK)

# Red, green, blue, white.
write_png("colors_4x1.png", 4, 1, lambda x, y: [RED, GREEN, BLUE, WHITE][x])
# Opaque red, transparent green, half-transparent white, half-transparent black.
write_png("alpha_4x1.png", 4, 1,
          lambda x, y: [(255, 0, 0, 255), (0, 255, 0, 0), (255, 255, 255, 128), (0, 0, 0, 128)][x], alpha=True)
# Five distinct columns per row: a row of 24-bit pixels is 15 bytes.
write_png("columns_5x3.png", 5, 3, lambda x, y: (x * 40, y * 80, 200 - x * 40))

# A header that claims 30000 x 30000 pixels followed by a few compressed rows.
with open("huge_30000x30000.png", "wb") as f:
    ihdr = struct.pack(">IIBBBBB", 30000, 30000, 8, 2, 0, 0, 0)
    rows = zlib.compress(b"\x00" * (1 + 30000 * 3) * 4, 9)
    f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", rows) + chunk(b"IEND", b""))

# Four horizontal stripes (red, green, blue, white) of 60 x 40 pixels, as GIF
# and BMP: cut short, their lower stripes are missing.
STRIPES = [RED, GREEN, BLUE, WHITE]
write_gif("stripes_60x40.gif", 60, 40, lambda x, y: y // 10, STRIPES)
write_bmp("stripes_60x40.bmp", 60, 40, lambda x, y: STRIPES[y // 10])
