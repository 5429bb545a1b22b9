#!/usr/bin/env python3
"""Prints the pictures of the demo's stored descriptions, to paste into them:
    tools/skin-demo/make-pictures.py
DemoControls.form's Picture.Data blocks (a BMP behind the graphic's class name and its length),
whose image button faces stand on magenta, the skin's transparent key colour; and the Bitmap of
DemoMain.form's toolbar images (a BMP behind its length), four 16 x 16 images side by side on
magenta, the image list's key colour."""
import math
import struct

KEY = (255, 0, 255)


def bmp(width, height, pixel):
    """A 24-bit bottom-up BMP file; PIXEL(x, y) gives (r, g, b), y counted from the top."""
    stride = (width * 3 + 3) & ~3
    rows = b""
    for y in reversed(range(height)):
        row = b"".join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(width)))
        rows += row + b"\0" * (stride - width * 3)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 54) + header + rows


def landscape(x, y):
    """48 x 32, edge to edge (no key colour): a sky, a sun and a green hill."""
    if y > 22 - 6 * math.cos((x - 30) / 15):
        return (40, 140 - y, 50)
    if math.hypot(x - 14, y - 10) <= 5:
        return (255, 210, 40)
    return (90 + 4 * y, 150 + 3 * y, 235)


def face(colour):
    """36 x 22: a rounded face in COLOUR with a white play triangle."""
    def pixel(x, y):
        cx, cy = min(max(x, 5), 30), min(max(y, 5), 16)
        if math.hypot(x - cx, y - cy) > 5:
            return KEY
        if 13 <= x <= 23 and abs(y - 10.5) <= (23 - x) * 0.6 and abs(y - 10.5) <= 6:
            return (255, 255, 255)
        return colour
    return pixel


def window(left, top, right, bottom):
    """A small window's pixel at (x, y) between the given edges: a dark frame, a blue title row
    and a white body; None outside."""
    def pixel(x, y):
        if not (left <= x <= right and top <= y <= bottom):
            return None
        if x in (left, right) or y in (top, bottom):
            return (64, 64, 64)
        return (40, 90, 200) if y <= top + 2 else (255, 255, 255)
    return pixel


def new_child(x, y):
    """A window with a green plus at its lower right."""
    if (abs(x - 11) <= 1 and 7 <= y <= 15) or (abs(y - 11) <= 1 and 7 <= x <= 15):
        return (30, 150, 40)
    return window(0, 1, 12, 12)(x, y) or KEY


def cascade(x, y):
    """Two windows, the second over the first and down to the right."""
    return window(5, 5, 15, 14)(x, y) or window(0, 1, 10, 10)(x, y) or KEY


def lock(x, y):
    """A padlock: a grey shackle over a golden body with a dark keyhole."""
    if 3 <= x <= 12 and 7 <= y <= 14:
        if x in (3, 12) or y in (7, 14):
            return (120, 80, 0)
        return (40, 30, 0) if abs(x - 7.5) <= 1 and 9 <= y <= 12 else (235, 180, 40)
    if y <= 7 and 3.2 <= math.hypot(x - 7.5, y - 5) <= 4.6:
        return (110, 110, 120)
    return KEY


def palette(x, y):
    """Four swatches in a dark frame: red, green, blue and yellow."""
    if not (1 <= x <= 14 and 1 <= y <= 14):
        return KEY
    if x in (1, 7, 8, 14) or y in (1, 7, 8, 14):
        return (48, 48, 48)
    return ((220, 40, 40), (40, 170, 60), (40, 80, 220), (245, 210, 40))[(x > 7) + 2 * (y > 7)]


def strip(*images, size=16):
    """IMAGES, each SIZE x SIZE, side by side."""
    return lambda x, y: images[x // size](x % size, y)


def data(name, graphic):
    return hexdata(name, bytes([len("TBitmap")]) + b"TBitmap" + struct.pack("<I", len(graphic)) + graphic)


def hexdata(name, blob):
    text = blob.hex().upper()
    lines = [text[i:i + 64] for i in range(0, len(text), 64)]
    return f"{name} = {{\n" + "\n".join("  " + line for line in lines) + "}"


if __name__ == "__main__":
    print(data("Landscape", bmp(48, 32, landscape)))
    for name, colour in (("Normal", (32, 96, 176)), ("MouseOn", (80, 160, 224)), ("MouseDown", (16, 48, 112)),
                         ("Disabled", (128, 128, 128))):
        print(data(name, bmp(36, 22, face(colour))))
    images = bmp(64, 16, strip(new_child, cascade, lock, palette))
    print(hexdata("Bitmap", struct.pack("<I", len(images)) + images))
