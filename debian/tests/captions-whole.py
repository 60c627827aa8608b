#!/usr/bin/python3
"""Fails when an option's caption runs into the right edge of its box, as a
caption set in a wider face than the layout was measured for does: the
option's last columns must show its background only.

Usage: captions-whole.py XWD-SCREEN WINDOW-LEFT WINDOW-TOP
  XWD-SCREEN  the screen as Xvfb -fbdir keeps it (32 bits a pixel)
"""
import struct
import sys

# The options inside Frame1 (at 8, 8 in the window), in pixels.
OPTIONS = {
    " Visa": (16, 20, 129, 19),
    "Mastercard": (16, 43, 129, 19),
    "American Express": (16, 67, 129, 19),
    "Discover": (16, 90, 129, 19),
}
FRAME = (8, 8)
EDGE = 3


def main():
    data = open(sys.argv[1], "rb").read()
    left, top = int(sys.argv[2]), int(sys.argv[3])
    header = struct.unpack(">25I", data[:100])
    header_size, bits_per_pixel, bytes_per_line, colours = header[0], header[11], header[12], header[19]
    if bits_per_pixel != 32:
        sys.exit(f"the screen has {bits_per_pixel} bits a pixel, not 32")
    pixels = header_size + colours * 12

    def pixel(x, y):
        at = pixels + y * bytes_per_line + x * 4
        return data[at:at + 3]

    cut = []
    for caption, (x, y, width, height) in OPTIONS.items():
        x0, y0 = left + FRAME[0] + x, top + FRAME[1] + y
        background = pixel(x0 + width - 1, y0)
        inked = [(dx, dy) for dx in range(width - EDGE, width) for dy in range(height)
                 if pixel(x0 + dx, y0 + dy) != background]
        if inked:
            cut.append(caption.strip())
    if cut:
        print("cut off at the right edge: " + ", ".join(cut), file=sys.stderr)
        return 1
    print(f"{len(OPTIONS)} captions whole")
    return 0


sys.exit(main())
