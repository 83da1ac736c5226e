#!/usr/bin/env python3
"""Draws the program's icon: a 32 x 32, 16-colour picture of a total station on
its tripod beside a red and white ranging pole, as varnel.ico (the window's, on
Windows), and for Linux launchers as varnel.png with larger renderings of the same
pixels (varnel-64.png, varnel-128.png, varnel-256.png) and varnel.svg, which stays
sharp at any size. Run it in this folder to rebuild them all after a change."""
import struct
import zlib

# The standard 16-colour Windows palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, OLIVE, SILVER, GREY, RED, YELLOW, BLUE, CYAN, WHITE = 0, 3, 7, 8, 9, 11, 12, 14, 15
TEAL = 6
SIZE = 32
pixels = [[None] * SIZE for _ in range(SIZE)]  # None is transparent


def put(x, y, colour):
    if 0 <= x < SIZE and 0 <= y < SIZE:
        pixels[y][x] = colour


def box(x0, y0, x1, y1, fill, outline=BLACK):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            edge = x in (x0, x1) or y in (y0, y1)
            put(x, y, outline if edge else fill)


def line(x0, y0, x1, y1, colour, width=1):
    steps = max(abs(x1 - x0), abs(y1 - y0))
    for i in range(steps + 1):
        x = round(x0 + (x1 - x0) * i / steps)
        y = round(y0 + (y1 - y0) * i / steps)
        for dx in range(width):
            put(x + dx, y, colour)


# Tripod: three legs from the head down to black feet.
for foot_x in (3, 12, 21):
    line(12, 19, foot_x, 30, OLIVE, 2)
    put(foot_x, 31, BLACK)
    put(foot_x + 1, 31, BLACK)
box(6, 18, 19, 19, GREY)  # tripod head
# Instrument: the base with its keypad, the two standards and the telescope between them.
box(7, 13, 18, 17, YELLOW)
box(9, 15, 12, 16, TEAL, TEAL)
box(7, 5, 9, 13, YELLOW)
box(16, 5, 18, 13, YELLOW)
box(5, 7, 20, 10, GREY)
box(20, 7, 21, 10, CYAN)  # objective lens
box(10, 8, 15, 9, SILVER, SILVER)
# Ranging pole in red and white bands, with its prism on top.
for y in range(6, 31):
    colour = RED if (y // 3) % 2 == 0 else WHITE
    put(27, y, colour)
    put(28, y, colour)
box(25, 1, 30, 5, BLUE)
box(27, 2, 28, 4, CYAN, CYAN)


def ico():
    rows_xor = b""
    rows_and = b""
    for y in reversed(range(SIZE)):  # bitmaps run bottom-up
        nibbles = [pixels[y][x] if pixels[y][x] is not None else 0 for x in range(SIZE)]
        rows_xor += bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, SIZE, 2))
        mask = 0
        for x in range(SIZE):
            mask = (mask << 1) | (pixels[y][x] is None)
        rows_and += mask.to_bytes(4, "big")
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(rows_xor) + len(rows_and), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + rows_xor + rows_and
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 22)
    return directory + image


def png(scale=1):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    rows = b""
    for y in range(SIZE * scale):
        rows += b"\0" + b"".join(
            bytes(PALETTE[p]) + b"\xff" if p is not None else b"\0\0\0\0"
            for p in pixels[y // scale] for _ in range(scale))
    header = struct.pack(">IIBBBBB", SIZE * scale, SIZE * scale, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


def svg():
    squares = "".join('<rect x="%d" y="%d" width="1" height="1" fill="#%02x%02x%02x"/>' % ((x, y) + PALETTE[p])
                      for y in range(SIZE) for x in range(SIZE) if (p := pixels[y][x]) is not None)
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 %d %d" '
            'shape-rendering="crispEdges">%s</svg>\n' % (SIZE, SIZE, squares))


with open("varnel.ico", "wb") as out:
    out.write(ico())
with open("varnel.png", "wb") as out:
    out.write(png())
for scale in (2, 4, 8):
    with open("varnel-%d.png" % (SIZE * scale), "wb") as out:
        out.write(png(scale))
with open("varnel.svg", "w") as out:
    out.write(svg())
