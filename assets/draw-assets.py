#!/usr/bin/env python3
"""Draws the program's own pictures and writes them in Windows formats.

    assets/pellorin.ico         program icon: a payment card with a tick, 16 to 256 pixels
    assets/icons/pellorin-N.png the same icon at each of its sizes N, for the desktop's
                                icon theme
    assets/icons/pellorin.svg   the same icon as scalable shapes, for any other size
    assets/beside-exe/HAND-M.CUR  hand pointer, 32 x 32 and 64 x 64 for screens of
                                twice the density, hotspot on the index fingertip

Shapes are signed distance functions sampled 4 x 4 per pixel, so edges are
smooth at every size. Only the standard library is used; run it again after
changing a shape and commit the files it writes.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLES = 4


# --- shapes: signed distance, negative inside -------------------------------

def box(px, py, cx, cy, hw, hh, r):
    qx = abs(px - cx) - hw + r
    qy = abs(py - cy) - hh + r
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def capsule(px, py, ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    return math.hypot(px - ax - t * dx, py - ay - t * dy) - r


def circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


# --- rendering ----------------------------------------------------------------

def render(size, shader):
    """Averages `shader(x, y)` -> (r, g, b, a) in 0..1 over SAMPLES^2 points per
    pixel; returns rows of straight-alpha RGBA bytes, top row first."""
    rows = []
    step = 1.0 / SAMPLES
    for y in range(size):
        row = bytearray()
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    r, g, b, a = shader(x + (sx + 0.5) * step, y + (sy + 0.5) * step)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha > 0:
                rgb = [min(255, round(c / acc[3] * 255)) for c in acc[:3]]
            else:
                rgb = [0, 0, 0]
            row += bytes(rgb + [round(alpha * 255)])
        rows.append(bytes(row))
    return rows


def hex_colour(text):
    return tuple(int(text[i:i + 2], 16) / 255 for i in (1, 3, 5))


# --- the program icon ---------------------------------------------------------

CARD_TOP = hex_colour("#2b6fd6")
CARD_BOTTOM = hex_colour("#163f8c")
CARD_EDGE = hex_colour("#0f2d66")
CHIP = hex_colour("#f0c75e")
CHIP_LINE = hex_colour("#b8892a")
DIGITS = hex_colour("#e8f0ff")
STRIPE = hex_colour("#5d93e8")
BADGE = hex_colour("#1f9d55")
BADGE_EDGE = hex_colour("#ffffff")
TICK = hex_colour("#ffffff")


def icon_shader(size):
    s = size / 64.0  # drawn on a 64-unit grid

    def shade(x, y):
        u, v = x / s, y / s
        colour, alpha = (0, 0, 0), 0.0

        card = box(u, v, 30, 31, 27, 18, 5)
        if card < 0:
            edge = 1.6
            if card > -edge:
                colour = CARD_EDGE
            else:
                colour = mix(CARD_TOP, CARD_BOTTOM, (v - 13) / 36)
                if box(u, v, 30, 22.5, 25, 1.6, 0.8) < 0:
                    colour = STRIPE
                chip = box(u, v, 16, 29, 6.5, 5, 1.6)
                if chip < 0:
                    colour = CHIP
                    if chip > -0.9 or abs(v - 29) < 0.55 or abs(u - 16) < 0.55:
                        colour = CHIP_LINE
                for i in range(4):
                    if box(u, v, 10 + i * 9.2, 40.5, 3.4, 1.5, 1.2) < 0:
                        colour = DIGITS
            alpha = 1.0

        badge = circle(u, v, 48, 47, 13)
        if badge < 0:
            colour = BADGE_EDGE if badge > -2.2 else BADGE
            alpha = 1.0
            tick = min(capsule(u, v, 41.5, 47.5, 46.2, 52, 2.1),
                       capsule(u, v, 46.2, 52, 54.5, 42.5, 2.1))
            if tick < 0:
                colour = TICK
        return colour + (alpha,)

    return shade


def svg_colour(colour):
    return "#%02x%02x%02x" % tuple(round(c * 255) for c in colour)


def svg_box(cx, cy, hw, hh, r, fill):
    return ('<rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="%s"/>'
            % (cx - hw, cy - hh, 2 * hw, 2 * hh, r, fill))


def icon_svg():
    """The icon's shapes on the same 64-unit grid, as SVG for scalable themes."""
    edge = 1.6
    parts = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">',
        '<defs><linearGradient id="card" gradientUnits="userSpaceOnUse" x1="0" y1="13" x2="0" y2="49">'
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
        '<clipPath id="chip"><rect x="9.5" y="24" width="13" height="10" rx="1.6"/></clipPath></defs>'
        % (svg_colour(CARD_TOP), svg_colour(CARD_BOTTOM)),
        svg_box(30, 31, 27, 18, 5, svg_colour(CARD_EDGE)),
        svg_box(30, 31, 27 - edge, 18 - edge, 5 - edge, "url(#card)"),
        svg_box(30, 22.5, 25, 1.6, 0.8, svg_colour(STRIPE)),
        svg_box(16, 29, 6.5, 5, 1.6, svg_colour(CHIP_LINE)),
        svg_box(16, 29, 6.5 - 0.9, 5 - 0.9, 0.7, svg_colour(CHIP)),
        '<path d="M9.5 29H22.5M16 24V34" stroke="%s" stroke-width="1.1" clip-path="url(#chip)"/>'
        % svg_colour(CHIP_LINE),
    ]
    parts += [svg_box(10 + i * 9.2, 40.5, 3.4, 1.5, 1.2, svg_colour(DIGITS)) for i in range(4)]
    parts += [
        '<circle cx="48" cy="47" r="13" fill="%s"/>' % svg_colour(BADGE_EDGE),
        '<circle cx="48" cy="47" r="10.8" fill="%s"/>' % svg_colour(BADGE),
        '<path d="M41.5 47.5L46.2 52L54.5 42.5" fill="none" stroke="%s" stroke-width="4.2" '
        'stroke-linecap="round" stroke-linejoin="round"/>' % svg_colour(TICK),
        '</svg>',
    ]
    return "\n".join(parts) + "\n"


# --- the hand pointer -----------------------------------------------------------

HAND_HOTSPOT = (11, 1)
OUTLINE = 1.15


def hand_shape(x, y):
    parts = [
        capsule(x, y, 11.5, 3.5, 11.5, 17, 2.65),   # index finger, pointing up
        capsule(x, y, 16.5, 12.2, 16.5, 19, 2.55),  # middle finger, folded
        capsule(x, y, 21.0, 13.2, 21.0, 20, 2.5),   # ring finger
        capsule(x, y, 25.0, 15.2, 25.0, 21, 2.3),   # little finger
        box(x, y, 18.1, 23.6, 9.2, 6.8, 4.2),       # palm
        capsule(x, y, 9.8, 23.5, 4.6, 17.4, 2.5),   # thumb
    ]
    return min(parts)


HAND_CREASES = [
    (14.5, 14.6, 14.5, 19.0),  # between the fingers
    (18.5, 15.4, 18.5, 20.0),
    (22.5, 17.2, 22.5, 21.0),
    (8.6, 21.2, 11.0, 24.2),   # where the thumb meets the palm
]


def hand_shader(x, y):
    d = hand_shape(x, y)
    if d >= 0:
        return (0, 0, 0, 0.0)
    if d > -OUTLINE:
        return (0, 0, 0, 1.0)
    for ax, ay, bx, by in HAND_CREASES:
        if capsule(x, y, ax, ay, bx, by, 0.55) < 0:
            return (0, 0, 0, 1.0)
    return (1, 1, 1, 1.0)


# --- Windows icon and cursor files ----------------------------------------------

def dib(rows):
    """A 32-bit icon image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for i in range(0, len(row), 4):
            r, g, b, a = row[i:i + 4]
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(size):
            if row[x * 4 + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def png(rows):
    size = len(rows)
    raw = b"".join(b"\x00" + row for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def directory(kind, images):
    """ICO (kind 1, planes and bit count per entry) or CUR (kind 2, hotspot
    per entry). `images` holds (size, data, field1, field2)."""
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for size, data, field1, field2 in images:
        side = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", side, side, 0, 0, field1, field2, len(data), offset)
        offset += len(data)
    return out + b"".join(image[1] for image in images)


def main():
    icon_images = []
    os.makedirs(os.path.join(HERE, "icons"), exist_ok=True)
    for size in (16, 24, 32, 48, 64, 128, 256):
        rows = render(size, icon_shader(size))
        data = png(rows) if size == 256 else dib(rows)
        icon_images.append((size, data, 1, 32))
        with open(os.path.join(HERE, "icons", "pellorin-%d.png" % size), "wb") as f:
            f.write(png(rows))
    with open(os.path.join(HERE, "pellorin.ico"), "wb") as f:
        f.write(directory(1, icon_images))
    with open(os.path.join(HERE, "icons", "pellorin.svg"), "w", encoding="ascii") as f:
        f.write(icon_svg())

    # The 32-pixel image comes first: programs that read only one take it.
    hands = []
    for scale in (1, 2):
        hand = render(32 * scale, lambda x, y, s=scale: hand_shader(x / s, y / s))
        hands.append((32 * scale, dib(hand), HAND_HOTSPOT[0] * scale, HAND_HOTSPOT[1] * scale))
    with open(os.path.join(HERE, "beside-exe", "HAND-M.CUR"), "wb") as f:
        f.write(directory(2, hands))


if __name__ == "__main__":
    main()
