#!/usr/bin/env python3
"""Draws Pakwerk's icons and writes them as .ico files.

    python3 tools/make-icons.py [OUTPUT_FOLDER]    (default: resources/icons)

Pakwerk.ico  the program's icon: a parcel with a green arrow pointing into it,
             48x48, 32x32 and 16x16 pixels, 256 colours each.
Entry.ico    the icon of a row in the package list: the parcel alone,
             32x32 and 16x16 pixels, 16 colours each.

Only the standard library is used and the output depends on nothing but this
file, so running it again gives the same bytes.
"""
import os
import struct
import sys

SUPERSAMPLE = 4

OUTLINE = (74, 46, 20)
TOP = (232, 196, 136)
LEFT = (204, 152, 88)
RIGHT = (168, 116, 60)
TAPE_TOP = (246, 226, 176)
TAPE_SIDE = (214, 184, 128)
LABEL = (250, 250, 244)
LABEL_LINE = (120, 120, 132)
ARROW = (52, 168, 64)
ARROW_DARK = (20, 92, 32)

# Corners of the parcel in a unit square, y pointing down.
P_TOP = (0.50, 0.10)
P_LEFT = (0.06, 0.32)
P_RIGHT = (0.94, 0.32)
P_CENTRE = (0.50, 0.54)
P_BOTTOM_LEFT = (0.06, 0.78)
P_BOTTOM = (0.50, 0.99)
P_BOTTOM_RIGHT = (0.94, 0.78)


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1])


def face_coordinates(point, origin, edge_a, edge_b):
    """(u, v) with point = origin + u*edge_a + v*edge_b."""
    det = edge_a[0] * edge_b[1] - edge_a[1] * edge_b[0]
    d = sub(point, origin)
    u = (d[0] * edge_b[1] - d[1] * edge_b[0]) / det
    v = (edge_a[0] * d[1] - edge_a[1] * d[0]) / det
    return u, v


FACES = {
    'top': (P_LEFT, sub(P_TOP, P_LEFT), sub(P_CENTRE, P_LEFT)),
    'left': (P_LEFT, sub(P_CENTRE, P_LEFT), sub(P_BOTTOM_LEFT, P_LEFT)),
    'right': (P_CENTRE, sub(P_RIGHT, P_CENTRE), sub(P_BOTTOM, P_CENTRE)),
}

EDGES = [(P_TOP, P_RIGHT), (P_RIGHT, P_BOTTOM_RIGHT), (P_BOTTOM_RIGHT, P_BOTTOM),
         (P_BOTTOM, P_BOTTOM_LEFT), (P_BOTTOM_LEFT, P_LEFT), (P_LEFT, P_TOP),
         (P_LEFT, P_CENTRE), (P_CENTRE, P_RIGHT), (P_CENTRE, P_BOTTOM)]

ARROW_SHAPE = [(0.70, 0.00), (0.88, 0.00), (0.88, 0.22), (0.98, 0.22),
               (0.79, 0.44), (0.60, 0.22), (0.70, 0.22)]


def distance_to_segment(p, a, b):
    ab = sub(b, a)
    ap = sub(p, a)
    t = max(0.0, min(1.0, (ap[0] * ab[0] + ap[1] * ab[1]) / (ab[0] ** 2 + ab[1] ** 2)))
    dx = ap[0] - t * ab[0]
    dy = ap[1] - t * ab[1]
    return (dx * dx + dy * dy) ** 0.5


def inside_polygon(p, polygon):
    inside = False
    j = len(polygon) - 1
    for i in range(len(polygon)):
        (xi, yi), (xj, yj) = polygon[i], polygon[j]
        if (yi > p[1]) != (yj > p[1]) and p[0] < (xj - xi) * (p[1] - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def shade(colour, factor):
    return tuple(max(0, min(255, round(c * factor))) for c in colour)


def parcel_sample(p, line, with_label):
    """Colour of the parcel at p, or None outside it."""
    if min(distance_to_segment(p, a, b) for a, b in EDGES) < line:
        inside_any = any(0 <= u <= 1 and 0 <= v <= 1
                         for u, v in (face_coordinates(p, *f) for f in FACES.values()))
        near_outline = min(distance_to_segment(p, a, b) for a, b in EDGES) < line / 2
        if inside_any or near_outline:
            return OUTLINE
    for name, face in FACES.items():
        u, v = face_coordinates(p, *face)
        if not (0 <= u <= 1 and 0 <= v <= 1):
            continue
        if name == 'top':
            if 0.40 <= u <= 0.60:
                return TAPE_TOP
            return shade(TOP, 1.06 - 0.12 * v)
        if name == 'right':
            if 0.40 <= u <= 0.60:
                return shade(TAPE_SIDE, 1.0 - 0.10 * v)
            return shade(RIGHT, 1.0 - 0.12 * v)
        if with_label and 0.18 <= u <= 0.62 and 0.22 <= v <= 0.52:
            if 0.30 <= v <= 0.34 or 0.40 <= v <= 0.44:
                return LABEL_LINE if 0.24 <= u <= 0.56 else LABEL
            return LABEL
        return shade(LEFT, 1.04 - 0.12 * v)
    return None


def arrow_sample(p, line):
    if not inside_polygon(p, ARROW_SHAPE):
        return None
    n = len(ARROW_SHAPE)
    edge = min(distance_to_segment(p, ARROW_SHAPE[i], ARROW_SHAPE[(i + 1) % n])
               for i in range(n))
    return ARROW_DARK if edge < line else shade(ARROW, 1.1 - 0.3 * p[1])


def render(size, with_arrow):
    """Rows of (r, g, b) or None for transparent, top row first. At 16 pixels
    the arrow and the label would be a few stray pixels: the parcel stands alone."""
    with_arrow = with_arrow and size > 16
    with_label = size > 16
    line = 1.0 / size
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            samples = []
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    p = ((x + (sx + 0.5) / SUPERSAMPLE) / size,
                         (y + (sy + 0.5) / SUPERSAMPLE) / size)
                    colour = arrow_sample(p, line) if with_arrow else None
                    if colour is None:
                        colour = parcel_sample(p, line, with_label)
                    samples.append(colour)
            opaque = [c for c in samples if c is not None]
            if len(opaque) * 2 < len(samples):
                row.append(None)
            else:
                row.append(tuple(round(sum(c[i] for c in opaque) / len(opaque)) for i in range(3)))
        pixels.append(row)
    return pixels


def median_cut(colours, count):
    """Reduces a list of (colour, weight) to at most count palette colours."""
    boxes = [colours]
    while len(boxes) < count:
        splittable = [b for b in boxes if len(b) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: max(max(c[0][i] for c in b) - min(c[0][i] for c in b)
                                               for i in range(3)))
        channel = max(range(3), key=lambda i: max(c[0][i] for c in box) - min(c[0][i] for c in box))
        box.sort(key=lambda c: c[0][channel])
        half = len(box) // 2
        boxes.remove(box)
        boxes += [box[:half], box[half:]]
    palette = []
    for box in boxes:
        weight = sum(w for _, w in box)
        palette.append(tuple(round(sum(c[i] * w for c, w in box) / weight) for i in range(3)))
    return sorted(set(palette))


def nearest(colour, palette):
    return min(range(len(palette)),
               key=lambda i: sum((colour[k] - palette[i][k]) ** 2 for k in range(3)))


def bitmap_entry(pixels, bits):
    """The BITMAPINFOHEADER, palette, XOR and AND bitmaps of one icon image."""
    size = len(pixels)
    count = 1 << bits
    weights = {}
    for row in pixels:
        for c in row:
            if c is not None:
                weights[c] = weights.get(c, 0) + 1
    # Entry 0 is black and used only by transparent pixels: where the mask
    # lets the background through, the colour bitmap must add nothing to it.
    palette = [(0, 0, 0)] + median_cut(sorted(weights.items()), count - 1)
    palette += [(0, 0, 0)] * (count - len(palette))
    cache = {}
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, 0, 0, 0, count, 0)
    colour_table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    xor_rows = []
    and_rows = []
    for row in reversed(pixels):
        indexes = []
        mask_bits = []
        for c in row:
            if c is None:
                indexes.append(0)
                mask_bits.append(1)
            else:
                if c not in cache:
                    cache[c] = 1 + nearest(c, palette[1:])
                indexes.append(cache[c])
                mask_bits.append(0)
        if bits == 8:
            data = bytes(indexes)
        else:
            data = bytes((indexes[i] << 4) | indexes[i + 1] for i in range(0, size, 2))
        xor_rows.append(data + b'\0' * (-len(data) % 4))
        mask = bytes(sum(mask_bits[i + k] << (7 - k) for k in range(8)) for i in range(0, size, 8))
        and_rows.append(mask + b'\0' * (-len(mask) % 4))
    return header + colour_table + b''.join(xor_rows) + b''.join(and_rows)


def icon_file(images):
    """An .ico file of (size, bits, image bytes) entries."""
    offset = 6 + 16 * len(images)
    directory = struct.pack('<HHH', 0, 1, len(images))
    body = b''
    for size, bits, data in images:
        colours = 0 if bits >= 8 else 1 << bits
        directory += struct.pack('<BBBBHHII', size, size, colours, 0, 1, bits,
                                 len(data), offset + len(body))
        body += data
    return directory + body


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), '..', 'resources', 'icons')
    os.makedirs(folder, exist_ok=True)
    outputs = {
        'Pakwerk.ico': [(48, 8, True), (32, 8, True), (16, 8, True)],
        'Entry.ico': [(32, 4, False), (16, 4, False)],
    }
    for name, sizes in outputs.items():
        images = [(size, bits, bitmap_entry(render(size, arrow), bits))
                  for size, bits, arrow in sizes]
        with open(os.path.join(folder, name), 'wb') as out:
            out.write(icon_file(images))


if __name__ == '__main__':
    main()
