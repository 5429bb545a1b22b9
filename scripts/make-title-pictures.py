#!/usr/bin/env python3
"""Draws the title-bar pictures that Vantor's windows store with their descriptions (sections and
button states) and prints them as stored-description items. Run with 'sections' or 'buttons
TYPE...' (kyrClose, kyrMin, kyrControlBox)."""
import struct
import sys

H = 23  # section height; buttons are 17 x 17 and stand 4 rows below the section's top


def shade(y):
    """The title strip: light at the top, darker down to a grey line at the bottom."""
    if y == H - 1:
        return (118, 118, 118)
    v = 252 - (y * 46) // (H - 2)
    return (v, v, v)


def bmp(width, height, pixel):
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def picture_data(width, height, pixel):
    image = bmp(width, height, pixel)
    return bytes((7,)) + b'TBitmap' + struct.pack('<I', len(image)) + image


def hex_block(data, indent):
    text = data.hex().upper()
    lines = [text[i:i + 64] for i in range(0, len(text), 64)]
    pad = ' ' * indent
    return '{\n' + '\n'.join(pad + l for l in lines) + '}'


def section_edge(x, y, width, left):
    """Rounded-off outer corner and a 1-pixel darker edge on the window's side."""
    edge = x if left else width - 1 - x
    r, g, b = shade(y)
    if edge == 0:
        return (max(r - 60, 0),) * 3
    return (r, g, b)


COLOURS = {'kyrClose': (214, 72, 58), 'kyrMin': (232, 176, 44), 'kyrControlBox': (112, 140, 190)}


def button(kind, state):
    base = COLOURS[kind]
    change = (0, 36, -42)[state]
    fill = tuple(min(255, max(0, c + change)) for c in base)
    ring = tuple(max(0, c - 70) for c in fill)

    def pixel(x, y):
        dx, dy = x - 8, y - 8
        d2 = dx * dx + dy * dy
        if d2 > 64:
            return shade(y + 4)
        if d2 > 44:
            return ring
        light = max(0, 30 - (y * 4))  # a highlight towards the top
        r, g, b = (min(255, c + light) for c in fill)
        white = (250, 250, 250)
        if kind == 'kyrClose' and 5 <= x <= 11 and (x - 5 == y - 5 or x - 5 == 11 - y):
            return white
        if kind == 'kyrMin' and 5 <= x <= 11 and 8 <= y <= 9:
            return white
        if kind == 'kyrControlBox' and 6 <= y <= 10 and abs(x - 8) <= (10 - y):
            return white
        return (r, g, b)

    return picture_data(17, 17, pixel)


def sections():
    items = [('kyrLeft', 'True', 48, 'False', lambda x, y: section_edge(x, y, 48, True)),
             ('kyrRight', 'True', 48, 'False', lambda x, y: section_edge(x, y, 48, False)),
             ('kyrClient', 'False', 10, 'True', lambda x, y: shade(y))]
    out = []
    for align, auto, width, stretch, pixel in items:
        out.append('      item\n        Align = %s\n        AutoSize = %s\n        Width = %d\n'
                   '        Picture.Data = %s\n        Stretch = %s\n      end'
                   % (align, auto, width, hex_block(picture_data(width, H, pixel), 10), stretch))
    return '\n'.join(out)


def buttons(kinds):
    out = []
    for kind, style, top in kinds:
        out.append('      item\n        ButtonType = %s\n        UIStyle = %s\n        Top = %d\n'
                   '        Transparent = False\n        Visible = True\n'
                   '        PicNormal.Data = %s\n        PicMouseOn.Data = %s\n        PicMouseDown.Data = %s\n      end'
                   % (kind, style, top, hex_block(button(kind, 0), 10), hex_block(button(kind, 1), 10),
                      hex_block(button(kind, 2), 10)))
    return '\n'.join(out)


if __name__ == '__main__':
    if sys.argv[1] == 'sections':
        print(sections())
    else:
        kinds = []
        for arg in sys.argv[2:]:
            kind, style, top = arg.split(':')
            kinds.append((kind, style, int(top)))
        print(buttons(kinds))
