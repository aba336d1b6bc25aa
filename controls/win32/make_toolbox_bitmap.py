"""Draws the 16 x 15, 16-colour toolbox picture: a text box with a caret
and a green focus band."""
import struct
import sys

WIDTH, HEIGHT = 16, 15
# The standard 16-colour palette (blue, green, red, reserved).
PALETTE = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128), (128, 128, 0),
    (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255), (255, 0, 0),
    (255, 0, 255), (255, 255, 0), (255, 255, 255)]
BLACK, GREY, DARK_GREY, LIGHT_GREEN, WHITE = 0, 7, 8, 10, 15


def pixel(x, y):
    """Colour index at (x, y), y counted from the top."""
    if y in (2, 12) and 0 <= x <= 15:
        return DARK_GREY
    if x in (0, 15) and 2 <= y <= 12:
        return DARK_GREY
    if 3 <= y <= 11:
        if x == 4 and 4 <= y <= 10:
            return BLACK
        if 2 <= x <= 13 and y in (10, 11):
            return LIGHT_GREEN
        return WHITE
    return GREY


def main(path):
    row_bytes = ((WIDTH * 4 + 31) // 32) * 4
    rows = []
    for y in reversed(range(HEIGHT)):
        row = bytearray()
        for x in range(0, WIDTH, 2):
            row.append(pixel(x, y) << 4 | pixel(x + 1, y))
        rows.append(bytes(row).ljust(row_bytes, b"\0"))
    pixels = b"".join(rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as out:
        out.write(header + info + palette + pixels)


if __name__ == "__main__":
    main(sys.argv[1])
