#!/usr/bin/env python3
"""Draws the program's own images and writes them beside this script:

  orvendal.ico  icon 128: a white hash sign on a blue rounded square, in frames of 16, 20, 24,
                32, 40, 48, 64 and 256 pixels (the small and large icon at 100, 125, 150 and
                200 %, and the shell's largest view), 32-bit colour with alpha; the 256-pixel
                frame is PNG-compressed, the others carry the AND mask older readers want.
  logo.bmp      bitmap 129: the maker's name in black on white, 66 x 17 pixels, 4 bits per
                pixel with a colour table, because the dialog maps black and white to the
                system button colours and that mapping works on the colour table only.
  about_logo.bmp    bitmap 132: the maker's mark and name for the About box, 130 x 72;
  about_banner.bmp  bitmap 135: the About box's banner, 236 x 72. Both are drawn in black,
                    silver and teal only, 4 bits per pixel, because the About box maps black to
                    a deep blue and teal to grey through the colour table.
  about_picture.bmp bitmap 133: the About box's picture, a page and its fingerprint (the
                    program's large icon), 108 x 124, 24 bits per pixel.

Each bitmap is also drawn for 150 and 200 % (NAME_150.bmp, NAME_200.bmp, one and a half and
twice the size), from the same shapes rather than by stretching the smaller one, so it is sharp
at every size; the two- and three-colour ones keep to their colours.

The output is deterministic; rerun after changing the drawing and commit the results.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# The display scales each bitmap is drawn for, in percent of 96 DPI.
SCALES = (100, 150, 200)


def scaled(length, percent):
    """A length in pixels at 100 % as drawn at `percent`, rounded half up."""
    return (length * percent + 50) // 100


def variant_name(name, percent):
    return name if percent == 100 else name.replace(".bmp", "_%d.bmp" % percent)


def rasterize(width, height, percent, colour_at, average, samples=4):
    """Rows (top to bottom) of an image `width` x `height` pixels at 100 %, drawn at `percent`.
    `colour_at(x, y)` gives the colour of a point in 100 % pixel coordinates. Each pixel looks at
    samples x samples points: `average` mixes their (r, g, b) colours; otherwise the pixel takes
    the palette index most of them have (the lowest index on a tie), so edges stay hard and no
    colour outside the palette appears."""
    scale = percent / 100
    out_width, out_height = scaled(width, percent), scaled(height, percent)
    rows = []
    for py in range(out_height):
        row = []
        for px in range(out_width):
            points = [colour_at((px + (sx + 0.5) / samples) / scale, (py + (sy + 0.5) / samples) / scale)
                      for sy in range(samples) for sx in range(samples)]
            if average:
                row.append(tuple(round(sum(p[i] for p in points) / len(points)) for i in range(3)))
            else:
                counts = {}
                for index in points:
                    counts[index] = counts.get(index, 0) + 1
                row.append(min(counts, key=lambda index: (-counts[index], index)))
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------------------------
# Icon

BLUE_TOP = (41, 98, 175)
BLUE_BOTTOM = (22, 58, 120)
WHITE = (255, 255, 255)
ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
PNG_FRAME_SIZE = 256  # stored PNG-compressed, as the shell expects of its largest frame


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


def icon_bitmap_image(rows):
    """One icon directory image: BITMAPINFOHEADER (height doubled), BGRA bottom-up, AND mask."""
    size = len(rows)
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


def png_image(rows):
    """An RGBA PNG of `rows`: one IDAT, every scan line unfiltered, compressed at level 9."""
    height, width = len(rows), len(rows[0])

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type None
        for pixel in row:
            raw += bytes(pixel)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8 bits, RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            chunk(b"IEND", b""))


def write_icon(path, sizes):
    images = []
    for size in sizes:
        rows = icon_pixels(size)
        images.append(png_image(rows) if size == PNG_FRAME_SIZE else icon_bitmap_image(rows))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        # A width or height of 256 is written as 0.
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(directory + entries + b"".join(images))


# ---------------------------------------------------------------------------------------------
# Bitmap files

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


# ---------------------------------------------------------------------------------------------
# Lettering: 5 x 7 capitals on a grid of square cells, one letter every 6 cells

GLYPHS = {  # '#' is ink
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

MAKER_WORD = "TAMBERLYN"


def word_width(word, cell):
    return (len(word) * 6 - 1) * cell


def inside_word(x, y, word, left, top, cell):
    """True when the point lies in an inked cell of `word` lettered from (left, top)."""
    column, row = math.floor((x - left) / cell), math.floor((y - top) / cell)
    letter, dx = divmod(column, 6)
    if x < left or y < top or letter >= len(word) or dx == 5 or row >= 7:
        return False
    return GLYPHS[word[letter]][row][dx] == "#"


# ---------------------------------------------------------------------------------------------
# Logo: the maker's name centred, a rule under it

LOGO_WIDTH, LOGO_HEIGHT = 66, 17
LOGO_INK, LOGO_PAPER = 0, 1
LOGO_PALETTE = [(0, 0, 0), (255, 255, 255)] + [(0, 0, 0)] * 14  # index 0 black, 1 white


def logo_colour(x, y):
    left, top = (LOGO_WIDTH - word_width(MAKER_WORD, 1)) // 2, 3
    if inside_word(x, y, MAKER_WORD, left, top, 1):
        return LOGO_INK
    if top + 10 <= y < top + 11 and left <= x < left + word_width(MAKER_WORD, 1):
        return LOGO_INK
    return LOGO_PAPER


# ---------------------------------------------------------------------------------------------
# About box: logo and banner in three colours (indices into ABOUT_PALETTE), picture in full colour

BLACK, SILVER, TEAL = 0, 1, 2
ABOUT_PALETTE = [(0, 0, 0), (192, 192, 192), (0, 128, 128)] + [(0, 0, 0)] * 13
ABOUT_LOGO_WIDTH, ABOUT_LOGO_HEIGHT = 130, 72


def about_logo_colour(x, y):
    """The hash sign of the icon in silver on a teal disc, the maker's name under it."""
    size = 34
    left, top = (ABOUT_LOGO_WIDTH - size) // 2, 4
    cx, cy = x - left - size / 2, y - top - size / 2
    if cx * cx + cy * cy <= (size / 2) ** 2:
        return SILVER if inside_hash_sign(x - left, y - top, size) else TEAL
    text_left = (ABOUT_LOGO_WIDTH - word_width(MAKER_WORD, 2)) // 2
    if inside_word(x, y, MAKER_WORD, text_left, 44, 2):
        return SILVER
    if 62 <= y < 63 and text_left <= x < text_left + word_width(MAKER_WORD, 2):
        return TEAL
    return BLACK


BANNER_WIDTH, BANNER_HEIGHT = 236, 72


def banner_dashes():
    """Rows of hexadecimal-looking dashes, as (left, top, length): sparse in the middle where the
    logo lies and towards the ends, where the banner meets the plain fill that widens it to the
    window."""
    dashes = []
    seed = 0x2545F491
    for row, y in enumerate(range(6, BANNER_HEIGHT - 6, 6)):
        x = (row * 7) % 11
        while x < BANNER_WIDTH:
            seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
            length = 2 + (seed >> 16) % 9
            distance = abs(x + length / 2 - BANNER_WIDTH / 2) / (BANNER_WIDTH / 2)  # 0 middle, 1 ends
            if (seed >> 8) % 100 < 10 + 80 * math.sin(math.pi * distance):
                dashes.append((x, y, min(length, BANNER_WIDTH - x)))
            x += length + 3
    return dashes


def banner_colour_function():
    rows = {}
    for left, top, length in banner_dashes():
        rows.setdefault(top, []).append((left, left + length))

    def colour(x, y):
        top = math.floor(y)
        top -= top % 6  # dashes start on every sixth row and are two rows high
        if y - top < 2:
            for left, right in rows.get(top, ()):
                if left <= x < right:
                    return TEAL
        return BLACK

    return colour


PICTURE_WIDTH, PICTURE_HEIGHT = 108, 124
PAGE_LEFT, PAGE_TOP, PAGE_RIGHT, PAGE_BOTTOM, PAGE_FOLD = 14, 10, 80, 100, 14
BADGE_SIZE = 48


def picture_lines():
    """The page's lines of text: (top, right end)."""
    lines = []
    seed = 7
    for y in range(PAGE_TOP + 20, PAGE_BOTTOM - 8, 7):
        seed = (seed * 69069 + 1) & 0xFFFFFFFF
        lines.append((y, PAGE_RIGHT - 8 - (seed >> 24) % 22))
    return lines


def picture_colour_function():
    lines = picture_lines()

    def colour(x, y):
        t = min(max(y / (PICTURE_HEIGHT - 1), 0), 1)
        background = tuple(round(232 - 30 * t + c) for c in (0, 4, 14))
        if not (PAGE_LEFT <= x < PAGE_RIGHT and PAGE_TOP <= y < PAGE_BOTTOM):
            return background
        fold_x, fold_y = x - (PAGE_RIGHT - PAGE_FOLD), y - PAGE_TOP
        if fold_x > fold_y + 1:
            return background  # the folded corner is cut away
        if fold_x >= 0 and fold_y < PAGE_FOLD:
            return (214, 220, 230)  # the fold
        if x < PAGE_LEFT + 1 or x >= PAGE_RIGHT - 1 or y < PAGE_TOP + 1 or y >= PAGE_BOTTOM - 1:
            return (150, 160, 175)  # the page's edge
        for top, right in lines:
            if PAGE_LEFT + 7 <= x < right and top <= y < top + 2:
                return (120, 130, 150) if y < top + 1 else (170, 178, 192)
        return (255, 255, 255)

    return colour


def about_picture(percent):
    """A page of text on a soft background, its fingerprint (the program's icon, drawn afresh at
    this size) on the lower right."""
    rows = rasterize(PICTURE_WIDTH, PICTURE_HEIGHT, percent, picture_colour_function(), average=True)
    size = scaled(BADGE_SIZE, percent)
    badge = icon_pixels(size)
    left = scaled(PICTURE_WIDTH - BADGE_SIZE - 6, percent)
    top = scaled(PICTURE_HEIGHT - BADGE_SIZE - 6, percent)
    for y in range(size):
        for x in range(size):
            r, g, b, a = badge[y][x]
            if a == 0:
                continue
            under = rows[top + y][left + x]
            alpha = a / 255
            rows[top + y][left + x] = tuple(round(c * alpha + u * (1 - alpha)) for c, u in zip((r, g, b), under))
    return rows


if __name__ == "__main__":
    write_icon(os.path.join(HERE, "orvendal.ico"), ICON_SIZES)
    for percent in SCALES:
        def path(name):
            return os.path.join(HERE, variant_name(name, percent))

        write_4bit(path("logo.bmp"), rasterize(LOGO_WIDTH, LOGO_HEIGHT, percent, logo_colour, average=False),
                   LOGO_PALETTE)
        write_4bit(path("about_logo.bmp"),
                   rasterize(ABOUT_LOGO_WIDTH, ABOUT_LOGO_HEIGHT, percent, about_logo_colour, average=False),
                   ABOUT_PALETTE)
        write_4bit(path("about_banner.bmp"),
                   rasterize(BANNER_WIDTH, BANNER_HEIGHT, percent, banner_colour_function(), average=False),
                   ABOUT_PALETTE)
        write_24bit(path("about_picture.bmp"), about_picture(percent))
