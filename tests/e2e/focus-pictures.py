"""Compares two screenshots of the main window (raw 8-bit RGB, 536 x 484)
inside the results list and checks that what changed is a focus box that
stands out: every changed pixel has a contrast of at least 3:1 (WCAG 1.4.11)
between its two pictures, computed from the colours drawn.

    focus-pictures.py changed BEFORE AFTER     exit 0 if the list area differs
    focus-pictures.py box BEFORE AFTER KIND    checks the change; KIND is
        "frame" (one box around the whole list area) or "rows" (the box moved
        between the first two rows)
"""

import sys

WIDTH, HEIGHT = 536, 484
# The list in window pixels (120, 3345, 7800, 2265 twips at 15 twips a pixel).
LIST = (8, 223, 528, 374)


def pixels(path):
    data = open(path, "rb").read()
    if len(data) != WIDTH * HEIGHT * 3:
        sys.exit(f"{path}: {len(data)} bytes, not a {WIDTH} x {HEIGHT} picture")
    return data


def at(data, x, y):
    i = 3 * (y * WIDTH + x)
    return tuple(data[i:i + 3])


def luminance(rgb):
    def linear(c):
        c /= 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def changed(before, after):
    left, top, right, bottom = LIST
    return [(x, y) for y in range(top, bottom) for x in range(left, right)
            if at(before, x, y) != at(after, x, y)]


def main():
    mode, before, after = sys.argv[1], pixels(sys.argv[2]), pixels(sys.argv[3])
    diff = changed(before, after)
    if mode == "changed":
        sys.exit(0 if diff else 1)
    if not diff:
        sys.exit("FAIL: nothing in the list looks different")
    worst = min(diff, key=lambda p: contrast(at(before, *p), at(after, *p)))
    ratio = contrast(at(before, *worst), at(after, *worst))
    xs = [x for x, _ in diff]
    ys = [y for _, y in diff]
    box = (min(xs), min(ys), max(xs), max(ys))
    print(f"changed: {len(diff)} pixels in {box}; lowest contrast {ratio:.2f}:1 at {worst}, "
          f"#{bytes(at(before, *worst)).hex()} against #{bytes(at(after, *worst)).hex()}")
    if ratio < 3:
        sys.exit("FAIL: the focus box stands out less than 3:1")
    if sys.argv[4] == "frame":
        # One box around the list's rows area, drawn on its edges only.
        if box[2] - box[0] < 400 or box[3] - box[1] < 100:
            sys.exit("FAIL: the change does not go around the list")
        inside = [p for p in diff if box[0] + 3 < p[0] < box[2] - 3 and box[1] + 3 < p[1] < box[3] - 3]
        if inside:
            sys.exit(f"FAIL: {len(inside)} changed pixels inside the box, e.g. {inside[0]}")
    else:
        # Boxes around two rows, one above the other: the change spans both
        # rows and leaves the middle of each row alone.
        if box[2] - box[0] < 300 or not 20 <= box[3] - box[1] <= 60:
            sys.exit("FAIL: the change is not two rows' boxes")


main()
