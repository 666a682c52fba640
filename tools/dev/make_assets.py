#!/usr/bin/python3
"""Draws the calculator's assets: the skin, the pressed-key bitmaps, the window region "FRM", the
icons and the resource script that names them. The region comes from the same outline that fills
the skin's body, so the two cannot disagree. Output is committed; the build never runs this.

    tools/dev/make_assets.py [ASSETS_DIR]      (needs python3-pil and fonts-ipafont-gothic)
"""
import math
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

BODY = (0x50, 0xC0, 0x50)  # the drag colour: bare skin moves the window
OUTSIDE = (255, 255, 255)  # nothing inside the outline may be this white
RIM = (0x2E, 0x8A, 0x3A)
DISPLAY = (0xF4, 0xFA, 0xEE)
DISPLAY_EDGE = (0x24, 0x5C, 0x2C)
INK = (0x20, 0x26, 0x22)
WIDTH, HEIGHT = 210, 273  # the region's bounds; the skin is one pixel larger each way
FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"

# The scale the art is drawn at: 1 is the 96-DPI layout, whose coordinates every table here holds.
# The other scales are drawn from the same shapes, not stretched from the 96-DPI pixels.
S = 1.0
SCALES = (125, 150, 175, 200, 250, 300)  # percent, beside the 96-DPI art


def px(v):
    """A 96-DPI length or coordinate at the current scale."""
    return v if S == 1 else int(math.floor(v * S + 0.5))


def box(left, top, right, bottom):
    return (px(left), px(top), px(right), px(bottom))

# Key faces: (resource name, label, left, top, width, height, style). The pressed bitmap of a key
# is width x height at the control's top-left corner.
DIGIT, OPERATOR, CLEAR, MEMORY, TAX, OFF = "digit", "operator", "clear", "memory", "tax", "off"
KEYS = []
for c in range(1, 10):
    KEYS.append((str(c), str(c), ((c - 1) % 3) * 31 + 10, ((9 - c) // 3) * 30 + 103, 29, 29, DIGIT))
for name, label, left in (("0", "0", 10), ("00", "00", 41), ("000", "000", 72)):
    KEYS.append((name, label, left, 193, 29, 29, DIGIT))
KEYS += [(".", ".", 10, 223, 29, 29, DIGIT), ("INV", "±", 41, 223, 29, 29, DIGIT),
         ("BS", "←", 72, 223, 29, 29, DIGIT)]
for i, (name, label) in enumerate((("AC", "AC"), ("CE", "CE"), ("-", "−"), ("/", "÷"),
                                   ("+", "+"), ("X", "×"), ("=", "="))):
    KEYS.append((name, label, (i % 2) * 31 + 111, (i // 2) * 30 + 103, 29, 29,
                 CLEAR if i < 2 else OPERATOR))
KEYS.append(("%", "%", 111, 223, 29, 29, OPERATOR))
for i, (name, label) in enumerate((("MC", "MC"), ("MP", "M+"), ("MM", "M-"), ("MR", "MR"))):
    KEYS.append((name, label, 173, i * 25 + 103, 23, 23, MEMORY))
for i, (name, label) in enumerate((("TAXIN", "税込"), ("TAXOUT", "税別"), ("TAX", "税"))):
    KEYS.append((name, label, i * 40 + 10, 77, 37, 19, TAX))
KEYS.append(("OFF", "OFF", 144, 0, 37, 24, OFF))
TRANSFER = (146, 205, 64, 68)  # TRON / TROFF, over the mascot

FACES = {  # (face, shadow, label colour)
    DIGIT: ((0xF2, 0xF2, 0xEA), (0x9A, 0x9A, 0x90), INK),
    OPERATOR: ((0xFF, 0xD8, 0x7A), (0xB0, 0x88, 0x30), INK),
    CLEAR: ((0xFF, 0xA0, 0x84), (0xB0, 0x56, 0x3E), INK),
    MEMORY: ((0xC8, 0xE4, 0xF4), (0x6A, 0x8C, 0xA4), INK),
    TAX: ((0xFF, 0xF0, 0xB0), (0xB0, 0x9C, 0x50), INK),
    OFF: ((0x5A, 0x5A, 0x60), (0x2A, 0x2A, 0x30), (0xFF, 0xFF, 0xF4)),
}


def row_spans(y):
    """The outline: spans [left, right) of row y, right and bottom exclusive."""
    if 40 <= y <= 232:
        return [(0, WIDTH)]
    d = y if y < 40 else 272 - y  # distance from the nearer edge
    if 33 <= d <= 39:
        return [(1, WIDTH - 1)]
    if d == 0:
        left = 40
    else:
        dy = 40.3 - 0.922 * d
        left = max(1, round(40 - math.sqrt(max(0.0, 1600 - dy * dy))))
    right = WIDTH - left - (1 if 2 <= d <= 32 else 0)
    if y == 0:  # the OFF key's notch: one pixel of the top edge stays outside
        return [(left, 144), (145, right)]
    return [(left, right)]


def scaled_row_spans(y):
    """The outline at the current scale: the 96-DPI spans of the rows around y's centre,
    interpolated, so that the curve of the corners stays smooth instead of stepping."""
    if S == 1:
        return row_spans(y)
    at = (y + 0.5) / S - 0.5
    lower = min(max(int(math.floor(at)), 0), HEIGHT - 1)
    upper = min(lower + 1, HEIGHT - 1)
    t = min(max(at - lower, 0.0), 1.0)
    a, b = row_spans(lower), row_spans(upper)
    if len(a) == len(b):
        return [(px(l0 + (l1 - l0) * t), px(r0 + (r1 - r0) * t))
                for (l0, r0), (l1, r1) in zip(a, b)]
    # The top row's notch: the outer edges still follow the curve; the gap comes from the nearer row.
    left = px(a[0][0] + (b[0][0] - a[0][0]) * t)
    right = px(a[-1][1] + (b[-1][1] - a[-1][1]) * t)
    nearer = a if t < 0.5 else b
    if len(nearer) == 1:
        return [(left, right)]
    return [(left, px(nearer[0][1])), (px(nearer[1][0]), right)]


def scaled_height():
    return px(HEIGHT)


def region_rects():
    """Rows with equal spans merge into one band: rectangles sorted by top, then left."""
    rects = []
    y = 0
    height = scaled_height()
    while y < height:
        spans = scaled_row_spans(y)
        end = y + 1
        while end < height and scaled_row_spans(end) == spans:
            end += 1
        rects += [(l, y, r, end) for l, r in spans]
        y = end
    return rects


def region_data(rects):
    header = struct.pack("<IIII4i", 32, 1, len(rects), 16 * len(rects), 0, 0, px(WIDTH), px(HEIGHT))
    return header + b"".join(struct.pack("<4i", *r) for r in rects)


def font(size):
    return ImageFont.truetype(FONT, size)


# Labels are drawn four times larger and reduced, with a stroke around them that gives them weight
# (WEIGHT 96-DPI pixels in all): thin strokes would not reach their colour at small scales.
SUPER = 4
WEIGHT = 1.0


def centred_text(draw, box, text, size, colour):
    """Text centred in a box of the current scale; size in 96-DPI pixels."""
    left, top, right, bottom = (int(v) for v in box)
    f = font(px(size) * SUPER)
    stroke = int(WEIGHT * S * SUPER / 2 + 0.5)
    x0, y0, x1, y1 = f.getbbox(text, stroke_width=stroke)
    width, height = (right - left) * SUPER, (bottom - top) * SUPER
    mask = Image.new("L", (width, height), 0)
    # On whole pixels of the result, so that a thin stroke (the minus) falls on one row of them.
    x = SUPER * round(((width - (x1 - x0)) / 2 - x0) / SUPER)
    y = SUPER * round(((height - (y1 - y0)) / 2 - y0) / SUPER)
    ImageDraw.Draw(mask).text((x, y), text, font=f, fill=255, stroke_width=stroke, stroke_fill=255)
    mask = mask.resize((right - left, bottom - top), Image.BOX)
    draw._image.paste(colour, (left, top, right, bottom), mask)


def label_size(label, height):
    if len(label) >= 3:
        return max(9, height // 3)
    if len(label) == 2:
        return max(10, height * 2 // 5)
    return max(12, height // 2)


def draw_key(draw, left, top, width, height, label, style, pressed, dx=0, dy=0):
    """A key of the 96-DPI table at the current scale, its corner at (dx, dy) of the scaled image
    less the key's own scaled corner (0, 0 draws it where it lies on the skin)."""
    face, shadow, ink = FACES[style]
    l, t = px(left) - dx, px(top) - dy
    r, b = px(left + width) - dx - 1, px(top + height) - dy - 1  # inclusive corner
    one, two, radius = px(1), px(2), px(5)
    size = label_size(label, height)
    if pressed:  # sunk: darker face, no shadow, label one pixel down and right
        face = tuple(int(c * 0.84) for c in face)
        draw.rounded_rectangle((l, t, r, b), radius, fill=shadow)
        draw.rounded_rectangle((l + one, t + one, r, b), radius, fill=face)
        centred_text(draw, (l + one, t + one, r + one, b + one), label, size, ink)
    else:
        draw.rounded_rectangle((l, t, r, b), radius, fill=shadow)
        draw.rounded_rectangle((l, t, r - one, b - one), radius, fill=face)
        centred_text(draw, (l, t, r, b), label, size, ink)


def draw_mascot(draw):
    """A small round green creature with a speech bubble, at the bottom right."""
    cx, cy = 176, 240
    body = (0x3A, 0x9E, 0x46)
    draw.ellipse(box(cx - 22, cy - 20, cx + 22, cy + 22), fill=body, outline=RIM, width=px(2))
    draw.ellipse(box(cx - 12, cy - 8, cx - 3, cy + 3), fill=(0xFA, 0xFA, 0xF0))
    draw.ellipse(box(cx + 3, cy - 8, cx + 12, cy + 3), fill=(0xFA, 0xFA, 0xF0))
    draw.ellipse(box(cx - 9, cy - 5, cx - 5, cy + 1), fill=INK)
    draw.ellipse(box(cx + 6, cy - 5, cx + 10, cy + 1), fill=INK)
    draw.arc(box(cx - 8, cy + 2, cx + 8, cy + 14), 20, 160, fill=INK, width=px(2))
    draw.ellipse(box(cx - 18, cy + 4, cx - 12, cy + 9), fill=(0xF0, 0x9A, 0x9A))
    draw.ellipse(box(cx + 12, cy + 4, cx + 18, cy + 9), fill=(0xF0, 0x9A, 0x9A))


def draw_skin(rects):
    # The 96-DPI skin is one pixel larger each way than the client area; the scaled ones are not.
    extra = 1 if S == 1 else 0
    width, height = px(WIDTH), scaled_height()
    skin = Image.new("RGB", (width + extra, height + extra), OUTSIDE)
    draw = ImageDraw.Draw(skin)
    # The body is exactly the region: no anti-aliasing at the outline.
    for l, t, r, b in rects:
        draw.rectangle((l, t, r - 1, b - 1), fill=BODY)
    # A darker rim just inside the outline, drawn row by row so it never leaves the region.
    rim = px(1)
    for y in range(height):
        for l, r in scaled_row_spans(y):
            draw.rectangle((l, y, l + rim - 1, y), fill=RIM)
            draw.rectangle((r - rim, y, r - 1, y), fill=RIM)
    for x in range(width):
        for y in range(rim):
            for row in (y, height - 1 - y):
                if any(l <= x < r for l, r in scaled_row_spans(row)):
                    draw.point((x, row), fill=RIM)
    centred_text(draw, box(40, 6, 140, 26), "ゼル電卓", 14, INK)
    draw.rounded_rectangle(box(11, 31, 195, 70), px(4), fill=DISPLAY, outline=DISPLAY_EDGE,
                           width=px(2))
    for name, label, left, top, width, height, style in KEYS:
        draw_key(draw, left, top, width, height, label, style, pressed=False)
    draw_mascot(draw)
    return clip_to_outline(skin)


def key_box(left, top, width, height):
    """A 96-DPI rectangle's pixels at the current scale: its edges scaled, so neighbours meet."""
    return (px(left), px(top), px(left + width), px(top + height))


def transfer_key(skin, pressed):
    left, top, width, height = TRANSFER
    image = skin.crop(key_box(left, top, width, height))
    draw = ImageDraw.Draw(image)
    cx, cy, r = 30, 32, 24
    shade = 0.8 if pressed else 1.0
    red = tuple(int(c * shade) for c in (0xC4, 0x2A, 0x22))
    if not pressed:
        draw.ellipse(box(cx - r + 2, cy - r + 2, cx + r + 2, cy + r + 2), fill=(0x8A, 0x22, 0x1E))
    off = 2 if pressed else 0
    face = box(cx - r + off, cy - r + off, cx + r + off, cy + r + off)
    draw.ellipse(face, fill=red, outline=(0xFF, 0xE0, 0xD8), width=px(2))
    centred_text(draw, face, "転記", 17, (0xFF, 0xFF, 0xF4))
    return image


def clip_to_outline(image, left=0, top=0):
    """Whitens every pixel of image (placed at left, top on the skin, scaled pixels) that lies
    outside the outline: what the region hides must match the skin's outside white, even where a
    key reaches the edge."""
    pixels = image.load()
    height = scaled_height()
    for y in range(image.height):
        spans = scaled_row_spans(top + y) if top + y < height else []
        for x in range(image.width):
            if not any(l <= left + x < r for l, r in spans):
                pixels[x, y] = OUTSIDE
    return image


def key_file(name):
    safe = {".": "DOT", "-": "MINUS", "/": "DIV", "+": "PLUS", "=": "EQUALS", "%": "PERCENT"}
    return "key_" + safe.get(name, name) + ".bmp"


def calculator_icon():
    icon = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    d = ImageDraw.Draw(icon)
    d.rounded_rectangle((3, 1, 28, 30), 5, fill=BODY + (255,), outline=RIM + (255,))
    d.rectangle((7, 5, 24, 11), fill=DISPLAY + (255,), outline=DISPLAY_EDGE + (255,))
    for row in range(3):
        for col in range(3):
            x, y = 7 + col * 6, 14 + row * 5
            colour = (0xFF, 0xD8, 0x7A) if col == 2 else (0xF2, 0xF2, 0xEA)
            d.rectangle((x, y, x + 4, y + 3), fill=colour + (255,))
    return icon


def mascot_icon():
    """Drawn at 8 times 32 pixels; the icon file holds it reduced to each size a DPI asks for."""
    k = 8
    icon = Image.new("RGBA", (32 * k, 32 * k), (0, 0, 0, 0))
    d = ImageDraw.Draw(icon)

    def at(*v):
        return tuple(c * k for c in v)

    d.ellipse(at(3, 6, 28, 30), fill=(0x3A, 0x9E, 0x46, 255), outline=RIM + (255,), width=k)
    d.ellipse(at(9, 13, 14, 19), fill=(0xFA, 0xFA, 0xF0, 255))
    d.ellipse(at(17, 13, 22, 19), fill=(0xFA, 0xFA, 0xF0, 255))
    d.ellipse(at(10.5, 15, 12.5, 17.5), fill=INK + (255,))
    d.ellipse(at(18.5, 15, 20.5, 17.5), fill=INK + (255,))
    d.arc(at(11, 18, 20, 26), 20, 160, fill=INK + (255,), width=k)
    d.polygon([at(20, 2), at(31, 2), at(31, 9), at(24, 9), at(22, 12), at(22, 9), at(20, 9)],
              fill=(255, 255, 255, 255), outline=INK + (255,), width=k)
    return icon


MASCOT_SIZES = [(32, 32), (40, 40), (48, 48), (64, 64), (96, 96)]


def pressed_key(skin, name, label, left, top, width, height, style):
    """A key's pressed picture, cut from the skin at the key's place and clipped to the outline."""
    corner = key_box(left, top, width, height)
    image = skin.crop(corner)
    draw_key(ImageDraw.Draw(image), left, top, width, height, label, style, pressed=True,
             dx=corner[0], dy=corner[1])
    return clip_to_outline(image, corner[0], corner[1])


def only_the_keys(sheet):
    """The pressed sheet keeps only the key rectangles; the rest is the outside white, which
    compresses to nothing. The window cuts only key rectangles from it."""
    out = Image.new("RGB", sheet.size, OUTSIDE)
    for name, label, left, top, width, height, style in KEYS:
        corner = key_box(left, top, width, height)
        out.paste(sheet.crop(corner), corner[:2])
    corner = key_box(*TRANSFER)
    out.paste(sheet.crop(corner), corner[:2])
    return out


def save_png(image, path):
    """Saves art of a scale as an 8-bit palette PNG, a third of the size of full colour. The drag
    colour and the outside white come through exactly, and no other colour becomes one of them:
    the hit test and the region rely on them."""
    exact = (BODY, OUTSIDE)
    palette = image.quantize(254, method=Image.Quantize.MEDIANCUT).getpalette()[:254 * 3]
    colours = [tuple(palette[i:i + 3]) for i in range(0, len(palette), 3)]
    colours = [c for c in colours if c not in exact] + list(exact)
    nearest = {}

    def index_of(pixel):
        if pixel in exact:
            return len(colours) - len(exact) + exact.index(pixel)
        found = nearest.get(pixel)
        if found is None:
            found = min(range(len(colours) - len(exact)),
                        key=lambda i: sum((a - b) ** 2 for a, b in zip(colours[i], pixel)))
            nearest[pixel] = found
        return found

    out = Image.new("P", image.size)
    out.putpalette([v for c in colours for v in c])
    out.putdata([index_of(p) for p in image.getdata()])
    out.save(path, optimize=True)


def draw_scaled(out, percent):
    """The art at one more scale: the region, the skin, and a sheet that is the skin with every key
    pressed (the window cuts a key's pressed picture from it at the key's scaled rectangle), and
    the transfer key at rest. PNG: the platform's imaging component decodes them."""
    global S
    S = percent / 100
    try:
        rects = region_rects()
        with open(os.path.join(out, "scaled", "frm@%d.rgn" % percent), "wb") as f:
            f.write(region_data(rects))
        skin = draw_skin(rects)
        save_png(skin, os.path.join(out, "scaled", "skin@%d.png" % percent))
        sheet = skin.copy()
        for name, label, left, top, width, height, style in KEYS:
            sheet.paste(pressed_key(skin, name, label, left, top, width, height, style),
                        key_box(left, top, width, height)[:2])
        corner = key_box(*TRANSFER)
        sheet.paste(clip_to_outline(transfer_key(skin, True), corner[0], corner[1]), corner[:2])
        save_png(only_the_keys(sheet), os.path.join(out, "scaled", "pressed@%d.png" % percent))
        rest = clip_to_outline(transfer_key(skin, False), corner[0], corner[1])
        save_png(rest, os.path.join(out, "scaled", "troff@%d.png" % percent))
    finally:
        S = 1.0


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "assets")
    os.makedirs(os.path.join(out, "keys"), exist_ok=True)
    os.makedirs(os.path.join(out, "scaled"), exist_ok=True)
    rects = region_rects()
    with open(os.path.join(out, "frm.rgn"), "wb") as f:
        f.write(region_data(rects))
    skin = draw_skin(rects)
    skin.save(os.path.join(out, "skin.bmp"))

    names = []
    for name, label, left, top, width, height, style in KEYS:
        pressed_key(skin, name, label, left, top, width, height, style).save(
            os.path.join(out, "keys", key_file(name)))
        names.append(name)
    for name, pressed in (("TRON", True), ("TROFF", False)):
        clip_to_outline(transfer_key(skin, pressed), TRANSFER[0], TRANSFER[1]).save(os.path.join(out, "keys", key_file(name)))
        names.append(name)
    for percent in SCALES:
        draw_scaled(out, percent)

    calculator_icon().save(os.path.join(out, "calc.ico"), sizes=[(32, 32)])
    mascot_icon().save(os.path.join(out, "mascot.ico"), sizes=MASCOT_SIZES)

    with open(os.path.join(out, "assets.rc"), "w", encoding="ascii") as rc:
        rc.write("// Generated by tools/dev/make_assets.py: the calculator's pictures and outline.\n")
        # Each entry gets its own LANGUAGE line: the resource compiler would otherwise join one
        # entry's file name with the next entry's quoted name into a single string.
        for name in names:
            rc.write('LANGUAGE 0x11, 0x01\n"%s" BITMAP "keys/%s"\n' % (name, key_file(name)))
        rc.write("LANGUAGE 0x11, 0x01\n")
        rc.write('FRM RGN "frm.rgn"\n')
        rc.write('SKIN BITMAP "skin.bmp"\n')
        rc.write('CALC ICON "calc.ico"\n')
        rc.write('MASCOT ICON "mascot.ico"\n')
        # The art at the other scales: SKIN150, PRESSED150 and TROFF150 as PNG, FRM150 as RGN.
        for percent in SCALES:
            for kind in ("SKIN", "PRESSED", "TROFF"):
                rc.write('%s%d PNG "scaled/%s@%d.png"\n' % (kind, percent, kind.lower(), percent))
            rc.write('FRM%d RGN "scaled/frm@%d.rgn"\n' % (percent, percent))
    print("assets: %d pressed-key bitmaps, region of %d rectangles (%d bytes)"
          % (len(names), len(rects), 32 + 16 * len(rects)))


if __name__ == "__main__":
    main()
