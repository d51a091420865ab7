#!/usr/bin/env python3
"""Draws DrvSweep's application icon and writes it as res/DrvSweep.ico.

The icon is a flatbed scanner seen from the front and above (a grey body, a dark glass plate
with a green scan line, a lid) with a red removal badge. It is drawn from a handful of shapes at
any size, anti-aliased by 4 x 4 supersampling, and stored as 32-bit images of 32 x 32 and
48 x 48 pixels. The build uses the committed .ico; run this script only to change the drawing:

    python3 res/make_icon.py res/DrvSweep.ico
"""

import struct
import sys

SUPERSAMPLE = 4


def inside_round_rect(x, y, left, top, right, bottom, radius):
    """Whether (x, y), in units of the icon's width, lies in the rounded rectangle."""
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_circle(x, y, cx, cy, radius):
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_bar(x, y, x0, y0, x1, y1, half_width):
    """Whether (x, y) lies within half_width of the segment from (x0, y0) to (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
    px, py = x0 + t * dx, y0 + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= half_width ** 2


# Shapes from back to front: (test, (red, green, blue)). Coordinates are fractions of the size.
SHAPES = [
    (lambda x, y: inside_round_rect(x, y, 0.06, 0.30, 0.94, 0.86, 0.08), (70, 78, 92)),
    (lambda x, y: inside_round_rect(x, y, 0.09, 0.33, 0.91, 0.83, 0.06), (196, 203, 214)),
    (lambda x, y: inside_round_rect(x, y, 0.04, 0.18, 0.96, 0.36, 0.05), (52, 60, 74)),
    (lambda x, y: inside_round_rect(x, y, 0.07, 0.21, 0.93, 0.33, 0.03), (128, 140, 158)),
    (lambda x, y: inside_round_rect(x, y, 0.16, 0.44, 0.84, 0.66, 0.02), (30, 44, 66)),
    (lambda x, y: 0.16 <= x <= 0.84 and 0.53 <= y <= 0.57, (96, 230, 120)),
    (lambda x, y: inside_circle(x, y, 0.20, 0.75, 0.035), (60, 200, 90)),
    (lambda x, y: inside_circle(x, y, 0.74, 0.72, 0.22), (255, 255, 255)),
    (lambda x, y: inside_circle(x, y, 0.74, 0.72, 0.19), (210, 40, 40)),
    (lambda x, y: inside_bar(x, y, 0.66, 0.64, 0.82, 0.80, 0.035), (255, 255, 255)),
    (lambda x, y: inside_bar(x, y, 0.82, 0.64, 0.66, 0.80, 0.035), (255, 255, 255)),
]


def draw(size):
    """Rows of (blue, green, red, alpha) pixels, top row first."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            red = green = blue = covered = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (px + (sx + 0.5) / SUPERSAMPLE) / size
                    y = (py + (sy + 0.5) / SUPERSAMPLE) / size
                    colour = None
                    for test, shape_colour in SHAPES:
                        if test(x, y):
                            colour = shape_colour
                    if colour is not None:
                        red += colour[0]
                        green += colour[1]
                        blue += colour[2]
                        covered += 1
            if covered:
                row.append((blue // covered, green // covered, red // covered,
                            covered * 255 // (SUPERSAMPLE * SUPERSAMPLE)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def icon_image(size):
    """One icon image: a BITMAPINFOHEADER of twice the height, the 32-bit pixels bottom-up,
    then the 1-bit AND mask (set where the pixel is fully transparent), rows padded to 4 bytes."""
    rows = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(channel for pixel in row for channel in pixel)
                      for row in reversed(rows))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + pixels + bytes(mask)


def icon_file(sizes):
    images = [icon_image(size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py <output.ico>")
    with open(sys.argv[1], "wb") as output:
        output.write(icon_file([32, 48]))


if __name__ == "__main__":
    main()
