#!/usr/bin/env python3
"""Draws the module's icons and the viewer's toolbar strip into this folder.

The .ico and .bmp files it writes are kept beside it, so building needs no Python;
run it again after changing a picture.
"""
import struct
from pathlib import Path

HERE = Path(__file__).resolve().parent

# The standard 16-colour palette, in its usual order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
(BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER,
 GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE) = range(16)

# 5 x 7 capitals, one row per number, bit 4 the leftmost pixel.
FONT = {
    "A": (0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11),
    "C": (0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E),
    "D": (0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E),
    "E": (0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F),
    "F": (0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10),
    "I": (0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E),
    "K": (0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11),
    "L": (0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F),
    "M": (0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11),
    "N": (0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11),
    "O": (0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E),
    "P": (0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10),
    "Q": (0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D),
    "R": (0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11),
    "S": (0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E),
    "T": (0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04),
    "V": (0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04),
    "W": (0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A),
    "X": (0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11),
    "Y": (0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04),
}


class Canvas:
    """Palette indices, None where the picture is transparent."""

    def __init__(self, width, height, fill=None):
        self.width, self.height = width, height
        self.rows = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x0_, y0_, x1_, y1_ in ((x0, y0, x1, y0), (x0, y1, x1, y1),
                                   (x0, y0, x0, y1), (x1, y0, x1, y1)):
            self.line(x0_, y0_, x1_, y1_, colour)

    def box(self, x0, y0, x1, y1, outline, inside):
        self.fill(x0, y0, x1, y1, inside)
        self.frame(x0, y0, x1, y1, outline)

    def line(self, x0, y0, x1, y1, colour):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x1 >= x0 else -1), (1 if y1 >= y0 else -1)
        error = dx + dy
        while True:
            self.put(x0, y0, colour)
            if (x0, y0) == (x1, y1):
                return
            if 2 * error >= dy:
                error, x0 = error + dy, x0 + sx
            if 2 * error <= dx:
                error, y0 = error + dx, y0 + sy

    def polyline(self, points, colour):
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            self.line(x0, y0, x1, y1, colour)

    def disc(self, cx, cy, r, outline, inside):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                d = (x - cx) ** 2 + (y - cy) ** 2
                if d <= r * r + r:
                    self.put(x, y, outline if d > (r - 1) ** 2 + (r - 1) else inside)

    def text(self, x, y, letters, colour):
        for letter in letters:
            for row, bits in enumerate(FONT[letter]):
                for column in range(5):
                    if bits & (0x10 >> column):
                        self.put(x + column, y + row, colour)
            x += 6


# Glyphs in the upper half of a document icon, one per document family.
def plan_glyph(c, ink):
    c.frame(7, 5, 19, 15, ink)
    c.line(13, 5, 13, 11, ink)
    c.line(7, 10, 10, 10, ink)


def part_glyph(c, ink):
    c.frame(10, 4, 18, 11, ink)
    c.box(7, 7, 15, 14, ink, WHITE)
    c.line(7, 7, 10, 4, ink)
    c.line(15, 7, 18, 4, ink)
    c.line(15, 14, 18, 11, ink)


def stair_glyph(c, ink):
    c.polyline([(7, 15), (7, 13), (10, 13), (10, 10), (13, 10), (13, 7),
                (16, 7), (16, 4), (19, 4), (19, 15), (7, 15)], ink)


def script_glyph(c, ink):
    for y, length in ((5, 9), (7, 12), (9, 7), (11, 10), (13, 6), (15, 11)):
        c.line(7, y, 7 + length, y, ink)


def module_glyph(c, ink):
    for x, y in ((7, 5), (14, 5), (7, 11), (14, 11)):
        c.fill(x, y, x + 4, y + 3, ink)


def book_glyph(c, ink):
    c.box(11, 4, 19, 11, ink, WHITE)
    c.box(9, 6, 17, 13, ink, WHITE)
    c.box(7, 8, 15, 15, ink, WHITE)


def table_glyph(c, ink):
    c.frame(7, 5, 19, 15, ink)
    for y in (8, 11):
        c.line(7, y, 19, y, ink)
    for x in (11, 15):
        c.line(x, 5, x, 15, ink)


def font_glyph(c, ink):
    c.polyline([(7, 15), (13, 4), (19, 15)], ink)
    c.line(10, 11, 16, 11, ink)


def document(glyph=None, ink=BLACK, letters=""):
    """A sheet with a folded corner; the family glyph above, the extension below."""
    c = Canvas(32, 32)
    for y in range(2, 30):
        c.fill(5, y, min(26, 19 + y), y, WHITE)
    c.polyline([(21, 1), (4, 1), (4, 30), (27, 30), (27, 7), (21, 1)], BLACK)
    for y in range(2, 7):
        c.fill(22, y, 20 + y, y, SILVER)
    c.polyline([(21, 1), (21, 7), (27, 7)], BLACK)
    if glyph:
        glyph(c, ink)
    if letters:
        c.fill(5, 19, 26, 27, ink)
        c.text(8, 20, letters, WHITE)
    return c


PLAN, PART, STAIR = (plan_glyph, BLUE), (part_glyph, GREEN), (stair_glyph, GREEN)
SCRIPT, MODULE = (script_glyph, TEAL), (module_glyph, PURPLE)
BOOK, DATA, VECTOR = (book_glyph, MAROON), (table_glyph, OLIVE), (font_glyph, RED)

DOCUMENT_ICONS = {
    150: (DATA, "QDD"), 151: (DATA, "QPD"), 152: (SCRIPT, "QDL"),
    153: (PART, "QXM"), 154: (PART, "LMP"), 155: (PART, "DOR"), 156: (PART, "WIN"),
    158: (PART, "RSM"), 159: (PART, "ISM"), 160: (PART, "WPS"), 161: (PART, "CPS"),
    162: (PART, "SPS"), 163: (PART, "RPS"), 164: (PART, "FPS"), 165: (PART, "QPS"),
    166: (MODULE, "MOD"), 167: (BOOK, "SFK"), 168: (BOOK, "LAY"),
    169: (PLAN, "PLA"), 170: (PLAN, "PLN"), 171: (PLAN, "PLP"), 172: (PLAN, "PLC"),
    173: (PLAN, "PCA"), 174: (VECTOR, "VEC"), 175: (PLAN, "PPA"),
    178: (STAIR, "STA"), 179: (PART, "PSA"),
}


def viewer_large():
    c = document()
    for y, end in ((5, 19), (8, 23), (23, 23), (26, 23)):
        c.line(8, y, end, y, GREY)
    c.disc(14, 14, 7, NAVY, AQUA)
    for offset in range(-1, 2):
        c.line(19 + offset, 20, 26 + offset, 27, MAROON)
    return c


def viewer_small():
    c = Canvas(16, 16)
    c.disc(6, 6, 5, NAVY, AQUA)
    for offset in range(-1, 1):
        c.line(10 + offset, 10, 14 + offset, 14, MAROON)
    return c


def toolbar():
    c = Canvas(80, 16, SILVER)
    # 0: open the document for editing
    c.box(2, 1, 10, 14, BLACK, WHITE)
    for y in (4, 6, 8, 10):
        c.line(4, y, 8, y, GREY)
    c.line(14, 3, 8, 9, MAROON)
    c.line(15, 4, 9, 10, YELLOW)
    c.line(14, 5, 10, 9, YELLOW)
    c.put(7, 11, BLACK)
    # 1: toolbar
    c.box(17, 2, 30, 13, BLACK, WHITE)
    c.fill(18, 3, 29, 4, NAVY)
    for x in (19, 23, 27):
        c.fill(x, 6, x + 1, 7, GREY)
    # 2: status bar
    c.box(33, 2, 46, 13, BLACK, WHITE)
    c.fill(34, 3, 45, 4, NAVY)
    c.fill(34, 11, 45, 12, GREY)
    # 3: about
    c.disc(55, 7, 6, NAVY, WHITE)
    c.fill(55, 3, 55, 4, NAVY)
    c.fill(55, 6, 55, 11, NAVY)
    # 4: replace window (pin it)
    c.disc(74, 5, 3, MAROON, RED)
    c.line(72, 8, 67, 13, BLACK)
    c.line(73, 8, 68, 13, GREY)
    return c


def row_bytes(bits_per_pixel, indices):
    data = bytearray()
    per_byte = 8 // bits_per_pixel
    for start in range(0, len(indices), per_byte):
        byte = 0
        for index in indices[start:start + per_byte]:
            byte = (byte << bits_per_pixel) | index
        byte <<= bits_per_pixel * (per_byte - len(indices[start:start + per_byte]))
        data.append(byte)
    return bytes(data) + b"\0" * (-len(data) % 4)


def dib(canvas, bits_per_pixel, height_factor=1):
    """Header, colour table and bottom-up rows of a device-independent bitmap."""
    if bits_per_pixel == 4:
        palette, index = PALETTE, lambda colour: colour or 0
    else:
        palette = [(0, 0, 0), (255, 255, 255)]

        def index(colour):
            if colour is None:
                return 0
            red, green, blue = PALETTE[colour]
            return 1 if red * 3 + green * 6 + blue > 1280 else 0
    pixels = b"".join(row_bytes(bits_per_pixel, [index(colour) for colour in row])
                      for row in reversed(canvas.rows))
    header = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height * height_factor,
                         1, bits_per_pixel, 0, 0, 0, 0, 0, 0)
    colours = b"".join(struct.pack("<BBBB", blue, green, red, 0) for red, green, blue in palette)
    return header + colours + pixels


def write_icon(path, images):
    """An icon file; images are (canvas, bits per pixel) pairs."""
    bodies = []
    for canvas, bits_per_pixel in images:
        mask = b"".join(row_bytes(1, [1 if colour is None else 0 for colour in row])
                        for row in reversed(canvas.rows))
        bodies.append(dib(canvas, bits_per_pixel, 2) + mask)
    offset = 6 + 16 * len(images)
    data = struct.pack("<HHH", 0, 1, len(images))
    for (canvas, bits_per_pixel), body in zip(images, bodies):
        data += struct.pack("<BBBBHHII", canvas.width, canvas.height, 1 << bits_per_pixel,
                            0, 1, bits_per_pixel, len(body), offset)
        offset += len(body)
    path.write_bytes(data + b"".join(bodies))


def write_bitmap(path, canvas):
    body = dib(canvas, 4)
    path.write_bytes(struct.pack("<2sIHHI", b"BM", 14 + len(body), 0, 0, 14 + 40 + 64) + body)


def main():
    for icon_id, ((glyph, ink), letters) in DOCUMENT_ICONS.items():
        write_icon(HERE / f"icon{icon_id}.ico", [(document(glyph, ink, letters), 4)])
    large = viewer_large()
    write_icon(HERE / "icon177.ico", [(large, 4), (viewer_small(), 4), (large, 1)])
    write_bitmap(HERE / "toolbar.bmp", toolbar())


if __name__ == "__main__":
    main()
