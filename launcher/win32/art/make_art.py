#!/usr/bin/env python3
"""Draws the wait window's artwork: its background picture (a 24-bit BMP) and
its waiting clip "wait.avi" (an uncompressed, silent AVI that the common
controls' animation control plays).

usage: make_art.py BITMAP_OUT CLIP_OUT

The clip sits on a flat white badge of the picture. The window paints the
clip's surroundings with the picture's colour under the clip's top-left
corner, so the badge must stay flat under the whole clip rectangle.
"""
import math
import struct
import sys

WIDTH, HEIGHT = 350, 97          # the window's client area at 96 dpi
CLIP_LEFT, CLIP_TOP = 24, 21     # the animation control's place at 96 dpi
CLIP_W, CLIP_H = 47, 46
FRAMES = 12
FRAME_MICROSECONDS = 80_000

BADGE = (255, 255, 255)
BADGE_CX = CLIP_LEFT + CLIP_W / 2
BADGE_CY = CLIP_TOP + CLIP_H / 2
BADGE_R = 35.0                   # covers the clip rectangle's corners (33 px away)
RING_W = 2.0
TOP, BOTTOM = (238, 245, 253), (205, 222, 243)
ACCENT = (38, 104, 186)
FRAME_EDGE = (124, 160, 206)
DOT = (31, 94, 176)


def mix(a, b, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def coverage(inside, x, y, samples=4):
    """Share of pixel (x, y) for which inside(px, py) holds, by supersampling."""
    hits = 0
    for sy in range(samples):
        for sx in range(samples):
            if inside(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def background_pixel(x, y):
    colour = mix(TOP, BOTTOM, y / (HEIGHT - 1))
    # Faint diagonal stripes towards the right, fading out to the left.
    fade = max(0.0, (x - 150) / 200)
    if (x + y) % 14 < 5:
        colour = mix(colour, (255, 255, 255), 0.28 * fade)
    if y >= HEIGHT - 3:
        colour = ACCENT
    if x in (0, WIDTH - 1) or y in (0, HEIGHT - 1):
        colour = FRAME_EDGE

    d = math.hypot(x + 0.5 - BADGE_CX, y + 0.5 - BADGE_CY)
    if d < BADGE_R + RING_W + 2:
        ring = coverage(lambda px, py: BADGE_R <= math.hypot(px - BADGE_CX, py - BADGE_CY) < BADGE_R + RING_W, x, y)
        disc = coverage(lambda px, py: math.hypot(px - BADGE_CX, py - BADGE_CY) < BADGE_R, x, y)
        colour = mix(colour, mix(ACCENT, (255, 255, 255), 0.45), ring)
        colour = mix(colour, BADGE, disc)
    return colour


def clip_frame(index):
    """A ring of dots whose darkest dot walks round one step per frame."""
    cx, cy = CLIP_W / 2, CLIP_H / 2
    radius, dot_r = 15.0, 3.6
    dots = []
    for k in range(FRAMES):
        angle = 2 * math.pi * k / FRAMES - math.pi / 2
        age = (index - k) % FRAMES  # 0 = the leading dot
        strength = max(0.12, 1.0 - age / 7)
        dots.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle), strength))

    pixels = []
    for y in range(CLIP_H):
        row = []
        for x in range(CLIP_W):
            colour = BADGE
            for dx, dy, strength in dots:
                if abs(x + 0.5 - dx) > dot_r + 1 or abs(y + 0.5 - dy) > dot_r + 1:
                    continue
                cover = coverage(lambda px, py: math.hypot(px - dx, py - dy) < dot_r, x, y)
                colour = mix(colour, DOT, cover * strength)
            row.append(colour)
        pixels.append(row)
    assert pixels[0][0] == BADGE, "the clip's top-left pixel is its transparent colour"
    return pixels


def dib_rows(pixels):
    """Bottom-up BGR rows padded to four bytes, as a 24-bit DIB holds them."""
    out = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (-len(line) % 4)
        out += line
    return bytes(out)


def bitmap_info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, image_size, 3780, 3780, 0, 0)


def write_bmp(path):
    pixels = [[background_pixel(x, y) for x in range(WIDTH)] for y in range(HEIGHT)]
    bits = dib_rows(pixels)
    header = bitmap_info_header(WIDTH, HEIGHT, len(bits))
    offset = 14 + len(header)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(bits), 0, 0, offset) + header + bits)


def chunk(fourcc, data):
    return fourcc + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")


def riff_list(kind, fourcc, body):
    return kind + struct.pack("<I", len(body) + 4) + fourcc + body


def write_avi(path):
    frames = [dib_rows(clip_frame(i)) for i in range(FRAMES)]
    frame_size = len(frames[0])

    AVIF_HASINDEX, AVIIF_KEYFRAME = 0x10, 0x10
    avih = struct.pack("<14I", FRAME_MICROSECONDS, frame_size * 1_000_000 // FRAME_MICROSECONDS, 0, AVIF_HASINDEX, FRAMES, 0, 1,
                       frame_size, CLIP_W, CLIP_H, 0, 0, 0, 0)
    strh = (b"vids" + b"DIB " + struct.pack("<IHHIIIIIIiI", 0, 0, 0, 0, FRAME_MICROSECONDS, 1_000_000, 0, FRAMES,
                                             frame_size, -1, 0)
            + struct.pack("<4h", 0, 0, CLIP_W, CLIP_H))
    strf = bitmap_info_header(CLIP_W, CLIP_H, frame_size)
    hdrl = riff_list(b"LIST", b"hdrl",
                     chunk(b"avih", avih) + riff_list(b"LIST", b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))

    movi_body = bytearray()
    index = bytearray()
    for bits in frames:
        # Offsets count from the 'movi' list type, which is 4 bytes before the first chunk.
        index += b"00db" + struct.pack("<III", AVIIF_KEYFRAME, 4 + len(movi_body), len(bits))
        movi_body += chunk(b"00db", bits)
    movi = riff_list(b"LIST", b"movi", bytes(movi_body))

    with open(path, "wb") as f:
        f.write(riff_list(b"RIFF", b"AVI ", hdrl + movi + chunk(b"idx1", bytes(index))))


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: make_art.py BITMAP_OUT CLIP_OUT\n")
        return 2
    write_bmp(argv[1])
    write_avi(argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
