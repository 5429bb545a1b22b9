#!/usr/bin/env python3
"""Prints the pictures of the demo's stored descriptions as Picture.Data blocks (a BMP behind
the graphic's class name and its length), to paste into DemoControls.form:
    tools/skin-demo/make-pictures.py
The image button's faces stand on magenta, the skin's transparent key colour."""
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


def data(name, graphic):
    blob = bytes([len("TBitmap")]) + b"TBitmap" + struct.pack("<I", len(graphic)) + graphic
    text = blob.hex().upper()
    lines = [text[i:i + 64] for i in range(0, len(text), 64)]
    return f"{name} = {{\n" + "\n".join("  " + line for line in lines) + "}"


if __name__ == "__main__":
    print(data("Landscape", bmp(48, 32, landscape)))
    for name, colour in (("Normal", (32, 96, 176)), ("MouseOn", (80, 160, 224)), ("MouseDown", (16, 48, 112)),
                         ("Disabled", (128, 128, 128))):
        print(data(name, bmp(36, 22, face(colour))))
