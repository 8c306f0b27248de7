#!/usr/bin/env python3
"""Draws the program's own images and writes them beside this script:

  orvendal.ico  icon 128: a white hash sign on a blue rounded square, 16, 32 and 48 pixels,
                32-bit colour with alpha (and the AND mask older readers want);
  logo.bmp      bitmap 129: the maker's name in black on white, 66 x 17 pixels, 4 bits per
                pixel with a colour table, because the dialog maps black and white to the
                system button colours and that mapping works on the colour table only.
  about_logo.bmp    bitmap 132: the maker's mark and name for the About box, 130 x 72;
  about_banner.bmp  bitmap 135: the About box's banner, 236 x 72. Both are drawn in black,
                    silver and teal only, 4 bits per pixel, because the About box maps black to
                    a deep blue and teal to grey through the colour table.
  about_picture.bmp bitmap 133: the About box's picture, a page and its fingerprint, 108 x 124,
                    24 bits per pixel.

The output is deterministic; rerun after changing the drawing and commit the results.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------------------------------------
# Icon

BLUE_TOP = (41, 98, 175)
BLUE_BOTTOM = (22, 58, 120)
WHITE = (255, 255, 255)


def inside_rounded_square(x, y, size):
    """True when the point (in pixels, continuous) lies in the rounded square filling the icon."""
    margin = size * 0.03
    radius = size * 0.22
    lo, hi = margin, size - margin
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_hash_sign(x, y, size):
    """Two slanted uprights and two bars, in a box from 22% to 78% of the icon."""
    u, v = x / size, y / size
    if not (0.2 <= v <= 0.8 and 0.16 <= u <= 0.84):
        return False
    bar = 0.075  # half the stroke width
    slant = 0.12  # uprights lean right going up
    for upright in (0.40, 0.62):
        centre = upright + slant * (0.5 - v)
        if abs(u - centre) <= bar:
            return True
    for level in (0.40, 0.62):
        if abs(v - level) <= bar and 0.22 <= u <= 0.80:
            return True
    return False


def icon_pixels(size):
    """Rows top to bottom of (r, g, b, a), 4 x 4 supersampled for smooth edges."""
    samples = 4
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            square = sign = 0
            for sy in range(samples):
                for sx in range(samples):
                    x = px + (sx + 0.5) / samples
                    y = py + (sy + 0.5) / samples
                    if inside_rounded_square(x, y, size):
                        square += 1
                        if inside_hash_sign(x, y, size):
                            sign += 1
            total = samples * samples
            alpha = square / total
            if square == 0:
                row.append((0, 0, 0, 0))
                continue
            t = py / max(size - 1, 1)
            base = tuple(BLUE_TOP[i] + (BLUE_BOTTOM[i] - BLUE_TOP[i]) * t for i in range(3))
            mix = sign / square
            colour = tuple(round(base[i] * (1 - mix) + WHITE[i] * mix) for i in range(3))
            row.append(colour + (round(alpha * 255),))
        rows.append(row)
    return rows


def icon_image(size):
    """One icon directory image: BITMAPINFOHEADER (height doubled), BGRA bottom-up, AND mask."""
    rows = icon_pixels(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:  # transparent where the colour image is fully transparent
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def write_icon(path, sizes):
    images = [icon_image(size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(directory + entries + b"".join(images))


# ---------------------------------------------------------------------------------------------
# Logo

GLYPHS = {  # 5 x 7 capitals, '#' is ink
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
}

LOGO_WIDTH, LOGO_HEIGHT = 66, 17


def logo_pixels(word):
    """Rows top to bottom of 0 (white) and 1 (black): the word centred, a rule under it."""
    ink = [[0] * LOGO_WIDTH for _ in range(LOGO_HEIGHT)]
    text_width = len(word) * 6 - 1
    left = (LOGO_WIDTH - text_width) // 2
    top = 3
    for index, letter in enumerate(word):
        for dy, line in enumerate(GLYPHS[letter]):
            for dx, cell in enumerate(line):
                if cell == "#":
                    ink[top + dy][left + index * 6 + dx] = 1
    for x in range(left, left + text_width):
        ink[top + 10][x] = 1
    return ink


def write_logo(path, word):
    ink = logo_pixels(word)
    stride = ((LOGO_WIDTH * 4 + 31) // 32) * 4
    palette = [(0, 0, 0), (255, 255, 255)] + [(0, 0, 0)] * 14  # index 0 black, 1 white
    pixels = bytearray()
    for row in reversed(ink):
        line = bytearray(stride)
        for x, black in enumerate(row):
            index = 0 if black else 1
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        pixels += line
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, LOGO_WIDTH, LOGO_HEIGHT, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(table)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as out:
        out.write(file_header + info + table + bytes(pixels))


# ---------------------------------------------------------------------------------------------
# About box: logo and banner in three colours (indices into ABOUT_PALETTE), picture in full colour

BLACK, SILVER, TEAL = 0, 1, 2
ABOUT_PALETTE = [(0, 0, 0), (192, 192, 192), (0, 128, 128)] + [(0, 0, 0)] * 13


def write_4bit(path, rows, palette):
    """A bottom-up 4-bit BMP of `rows` (top to bottom, palette indices)."""
    height, width = len(rows), len(rows[0])
    stride = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, index in enumerate(row):
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        pixels += line
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(table)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as out:
        out.write(file_header + info + table + bytes(pixels))


def write_24bit(path, rows):
    """A bottom-up 24-bit BMP of `rows` (top to bottom, (r, g, b))."""
    height, width = len(rows), len(rows[0])
    stride = ((width * 3 + 3) // 4) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (r, g, b) in enumerate(row):
            line[3 * x:3 * x + 3] = bytes((b, g, r))
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as out:
        out.write(file_header + info + bytes(pixels))


def draw_word(canvas, word, left, top, scale, colour):
    for index, letter in enumerate(word):
        for dy, line in enumerate(GLYPHS[letter]):
            for dx, cell in enumerate(line):
                if cell != "#":
                    continue
                for sy in range(scale):
                    for sx in range(scale):
                        canvas[top + dy * scale + sy][left + (index * 6 + dx) * scale + sx] = colour


def about_logo():
    """The hash sign of the icon in silver on a teal disc, the maker's name under it."""
    width, height = 130, 72
    canvas = [[BLACK] * width for _ in range(height)]
    size = 34
    left, top = (width - size) // 2, 4
    for y in range(size):
        for x in range(size):
            cx, cy = x + 0.5 - size / 2, y + 0.5 - size / 2
            if cx * cx + cy * cy <= (size / 2) ** 2:
                canvas[top + y][left + x] = SILVER if inside_hash_sign(x + 0.5, y + 0.5, size) else TEAL
    word = "TAMBERLYN"
    scale = 2
    text_width = (len(word) * 6 - 1) * scale
    draw_word(canvas, word, (width - text_width) // 2, 44, scale, SILVER)
    for x in range((width - text_width) // 2, (width + text_width) // 2):
        canvas[62][x] = TEAL
    return canvas


def about_banner():
    """Rows of hexadecimal-looking dashes in teal, sparse in the middle where the logo lies and
    towards the ends, where the banner meets the plain fill that widens it to the window."""
    width, height = 236, 72
    canvas = [[BLACK] * width for _ in range(height)]
    seed = 0x2545F491
    for row, y in enumerate(range(6, height - 6, 6)):
        x = (row * 7) % 11
        while x < width:
            seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
            length = 2 + (seed >> 16) % 9
            distance = abs(x + length / 2 - width / 2) / (width / 2)  # 0 in the middle, 1 at the ends
            if (seed >> 8) % 100 < 10 + 80 * math.sin(math.pi * distance):
                for dx in range(length):
                    if x + dx < width:
                        canvas[y][x + dx] = TEAL
                        canvas[y + 1][x + dx] = TEAL
            x += length + 3
    return canvas


def about_picture():
    """A page of text on a soft background, its fingerprint (the hash sign) on a blue badge."""
    width, height = 108, 124
    rows = []
    for y in range(height):
        t = y / (height - 1)
        background = tuple(round(232 - 30 * t + c) for c in (0, 4, 14))
        rows.append([background] * width)
    page_left, page_top, page_right, page_bottom, fold = 14, 10, 80, 100, 14
    for y in range(page_top, page_bottom):
        for x in range(page_left, page_right):
            if x - (page_right - fold) > y - page_top:
                continue  # the folded corner is cut away
            edge = x in (page_left, page_right - 1) or y in (page_top, page_bottom - 1)
            rows[y][x] = (150, 160, 175) if edge else (255, 255, 255)
    for i in range(fold):  # the fold
        for j in range(i + 1):
            rows[page_top + i][page_right - fold + j] = (214, 220, 230)
    seed = 7
    for line, y in enumerate(range(page_top + 20, page_bottom - 8, 7)):
        seed = (seed * 69069 + 1) & 0xFFFFFFFF
        end = page_right - 8 - (seed >> 24) % 22
        for x in range(page_left + 7, end):
            rows[y][x] = (120, 130, 150)
            rows[y + 1][x] = (170, 178, 192)
    badge = icon_pixels(48)
    badge_left, badge_top = width - 48 - 6, height - 48 - 6
    for y in range(48):
        for x in range(48):
            r, g, b, a = badge[y][x]
            if a == 0:
                continue
            under = rows[badge_top + y][badge_left + x]
            alpha = a / 255
            rows[badge_top + y][badge_left + x] = tuple(
                round(c * alpha + u * (1 - alpha)) for c, u in zip((r, g, b), under))
    return rows


if __name__ == "__main__":
    write_icon(os.path.join(HERE, "orvendal.ico"), [16, 32, 48])
    write_logo(os.path.join(HERE, "logo.bmp"), "TAMBERLYN")
    write_4bit(os.path.join(HERE, "about_logo.bmp"), about_logo(), ABOUT_PALETTE)
    write_4bit(os.path.join(HERE, "about_banner.bmp"), about_banner(), ABOUT_PALETTE)
    write_24bit(os.path.join(HERE, "about_picture.bmp"), about_picture())
