#!/usr/bin/python3
"""What the eye sees of the drawn art at every scale.

Every label, at rest and pressed, against the face behind it:
WCAG's contrast ratio of the label's ink to the face must be at least 4.5:1, where the ink is
what a 2 x 2 pixel block of the strokes reaches: anti-aliased strokes too thin to reach their
colour count as what they reach. Prints the table it measured.

Around the transfer key at rest only the body shows: nothing of the mascot beneath it.

    drawn_art_test.py ASSETS_DIR
"""
import math
import os
import sys
from collections import Counter

from PIL import Image

SCALES = (100, 125, 150, 175, 200, 250, 300)
MINIMUM = 4.5

# Labels in 96-DPI client pixels: (name, left, top, width, height) of the face they sit on.
KEYS = [(str(c), ((c - 1) % 3) * 31 + 10, ((9 - c) // 3) * 30 + 103, 29, 29) for c in range(1, 10)]
KEYS += [("0", 10, 193, 29, 29), ("00", 41, 193, 29, 29), ("000", 72, 193, 29, 29),
         (".", 10, 223, 29, 29), ("INV", 41, 223, 29, 29), ("BS", 72, 223, 29, 29)]
KEYS += [(n, (i % 2) * 31 + 111, (i // 2) * 30 + 103, 29, 29)
         for i, n in enumerate(("AC", "CE", "-", "/", "+", "X", "="))]
KEYS += [("%", 111, 223, 29, 29)]
KEYS += [(n, 173, i * 25 + 103, 23, 23) for i, n in enumerate(("MC", "MP", "MM", "MR"))]
KEYS += [(n, i * 40 + 10, 77, 37, 19) for i, n in enumerate(("TAXIN", "TAXOUT", "TAX"))]
KEYS += [("OFF", 144, 0, 37, 24)]
TITLE = (40, 6, 100, 20)
TRANSFER = (146, 205)           # the transfer key's corner; its round face is centred here:
TRANSFER_FACE = (30, 32, 24)    # centre x, y and radius, from that corner
READOUT_POINT = (100, 53)       # the display window behind the readout and the "M" mark


def linear(c):
    c /= 255
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def luminance(rgb):
    r, g, b = (linear(v) for v in rgb[:3])
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def px(v, scale):
    return int(math.floor(v * scale / 100 + 0.5))


def label_contrast(image, box):
    """The face is the box's commonest colour. The label's contrast is what its ink reaches over
    a whole 2 x 2 pixel block: a stroke too thin for that reads as lighter than its colour."""
    part = image.crop(box).convert("RGB")
    pixels = list(part.getdata())
    face = Counter(pixels).most_common(1)[0][0]
    width = part.width
    ratio = [contrast(face, p) for p in pixels]
    best = 1.0
    for i in range(len(ratio) - width):
        if (i + 1) % width:
            best = max(best, min(ratio[i], ratio[i + 1], ratio[i + width], ratio[i + width + 1]))
    return best


def inner_box(left, top, width, height, scale, origin=(0, 0)):
    """A face's box without its rounded corners and shadow edges, in the image's pixels."""
    inset = px(3, scale)
    return (px(left, scale) - origin[0] + inset, px(top, scale) - origin[1] + inset,
            px(left + width, scale) - origin[0] - inset, px(top + height, scale) - origin[1] - inset)


def art(assets, scale):
    """The skin, a picture with every key pressed, and the transfer key at rest and pressed."""
    if scale == 100:
        skin = Image.open(os.path.join(assets, "skin.bmp")).convert("RGB")
        pressed = skin.copy()
        names = {".": "DOT", "-": "MINUS", "/": "DIV", "+": "PLUS", "=": "EQUALS", "%": "PERCENT"}
        for name, left, top, _, _ in KEYS:
            key = Image.open(os.path.join(assets, "keys", "key_%s.bmp" % names.get(name, name)))
            pressed.paste(key.convert("RGB"), (left, top))
        troff = Image.open(os.path.join(assets, "keys", "key_TROFF.bmp")).convert("RGB")
        tron = Image.open(os.path.join(assets, "keys", "key_TRON.bmp")).convert("RGB")
        return skin, pressed, troff, tron
    scaled = os.path.join(assets, "scaled")
    skin = Image.open(os.path.join(scaled, "skin@%d.png" % scale)).convert("RGB")
    pressed = Image.open(os.path.join(scaled, "pressed@%d.png" % scale)).convert("RGB")
    troff = Image.open(os.path.join(scaled, "troff@%d.png" % scale)).convert("RGB")
    # The pressed transfer key lies in the sheet at its place.
    corner = (px(TRANSFER[0], scale), px(TRANSFER[1], scale))
    tron = pressed.crop(corner + (corner[0] + troff.width, corner[1] + troff.height))
    return skin, pressed, troff, tron


def measure(assets, scale):
    skin, pressed, troff, tron = art(assets, scale)
    rows = {}
    for name, left, top, width, height in KEYS:
        box = inner_box(left, top, width, height, scale)
        rows[name] = label_contrast(skin, box)
        rows[name + " pressed"] = label_contrast(pressed, box)
    rows["title"] = label_contrast(skin, inner_box(*TITLE, scale))
    cx, cy, r = TRANSFER_FACE
    half = r * 0.6
    face = inner_box(cx - half, cy - half, 2 * half, 2 * half, scale)
    rows["TRANS"] = label_contrast(troff, face)
    rows["TRANS pressed"] = label_contrast(tron, face)
    display = skin.getpixel((px(READOUT_POINT[0], scale), px(READOUT_POINT[1], scale)))
    rows["readout, M"] = contrast(display, (0, 0, 0))  # both are drawn black
    return rows


BODY = {(0x50, 0xC0, 0x50), (0x2E, 0x8A, 0x3A), (255, 255, 255)}  # body, rim, outside


def specks_above_transfer(assets, scale):
    """Pixels of the transfer key at rest, above its round face, that are not body."""
    _, _, troff, _ = art(assets, scale)
    top = px(TRANSFER_FACE[1] - TRANSFER_FACE[2], scale) - px(1, scale)
    return [(x, y) for y in range(top) for x in range(troff.width)
            if troff.getpixel((x, y)) not in BODY]


def main():
    assets = sys.argv[1]
    specks = {scale: specks_above_transfer(assets, scale) for scale in SCALES}
    specks = {scale: found for scale, found in specks.items() if found}
    if specks:
        print("FAILED: specks above the transfer key: %s" % specks)
        return 1
    table = {scale: measure(assets, scale) for scale in SCALES}
    failures = []
    print("%-16s" % "label" + "".join("%7d%%" % s for s in SCALES))
    for name in table[100]:
        values = [table[s][name] for s in SCALES]
        print("%-16s" % name + "".join("%8.1f" % v for v in values))
        failures += ["%s at %d%%: %.2f:1" % (name, s, table[s][name])
                     for s in SCALES if table[s][name] < MINIMUM]
    if failures:
        print("FAILED: below %.1f:1: %s" % (MINIMUM, "; ".join(failures)))
        return 1
    print("every label at least %.1f:1" % MINIMUM)
    return 0


if __name__ == "__main__":
    sys.exit(main())
