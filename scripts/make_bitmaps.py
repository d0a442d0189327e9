#!/usr/bin/env python3
"""Make the installer's dialog bitmaps for "ZV-001 Strider" (standard library only).

Writes four 64x64, 8-bit (256-colour, BI_RGB, bottom-up) Windows bitmaps and the
uninstaller's icon into the directory given as the only argument:
  logo.bmp      (resource 102)  "ZV" chrome letters in a metallic frame, blue-to-black gradient
  picture1.bmp  (resource 108)  Strider portrait, red team skin
  picture2.bmp  (resource 105)  Strider portrait, blue team skin
  picture3.bmp  (resource 106)  Strider portrait, default green/grey skin
  zvuninst.ico                  the logo at 16, 32 and 48 pixels, 32-bit colour
Pictures are drawn from simple shapes with 4x4 supersampling, then reduced to a
per-image 256-colour palette by a small median-cut quantiser.  The output is
fully deterministic (no timestamps, no randomness).
"""
import math
import os
import struct
import sys

SIZE = 64          # output width and height in pixels
SS = 4             # supersampling factor per axis
N = SIZE * SS      # canvas samples per axis

LIGHT = (-0.45, -0.6, 0.66)   # light from upper left, towards the viewer


def norm(v):
    l = math.sqrt(sum(c * c for c in v)) or 1.0
    return tuple(c / l for c in v)


L_DIR = norm(LIGHT)
H_DIR = norm((L_DIR[0], L_DIR[1], L_DIR[2] + 1.0))


def clamp(v):
    return max(0, min(255, int(round(v))))


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def scale(c, k):
    return tuple(x * k for x in c)


# ---------------------------------------------------------------- canvas ---

def new_canvas(color_fn):
    """Canvas of N*N float RGB samples; color_fn(x, y) in 0..64 units."""
    return [color_fn((i % N + 0.5) / SS, (i // N + 0.5) / SS) for i in range(N * N)]


def fill(canvas, inside, color, box):
    """Paint color(x, y) wherever inside(x, y); box = (x0, y0, x1, y1) limits the scan."""
    x0, y0, x1, y1 = box
    for sy in range(max(0, int(y0 * SS)), min(N, int(math.ceil(y1 * SS)))):
        y = (sy + 0.5) / SS
        row = sy * N
        for sx in range(max(0, int(x0 * SS)), min(N, int(math.ceil(x1 * SS)))):
            x = (sx + 0.5) / SS
            if inside(x, y):
                canvas[row + sx] = color(x, y)


def ellipse(canvas, cx, cy, rx, ry, color):
    inside = lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0
    fill(canvas, inside, color, (cx - rx, cy - ry, cx + rx, cy + ry))


def polygon(canvas, pts, color, dx=0.0, dy=0.0):
    pts = [(x + dx, y + dy) for x, y in pts]
    edges = list(zip(pts, pts[1:] + pts[:1]))

    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    fill(canvas, inside, color, (min(xs), min(ys), max(xs), max(ys)))


def downsample_to(canvas, size):
    """Average the samples that fall into each of size x size pixels; rows top first."""
    acc = [[0.0, 0.0, 0.0, 0] for _ in range(size * size)]
    for sy in range(N):
        row = sy * size // N * size
        for sx in range(N):
            a, c = acc[row + sx * size // N], canvas[sy * N + sx]
            a[0] += c[0]; a[1] += c[1]; a[2] += c[2]; a[3] += 1
    return [tuple(clamp(a[i] / a[3]) for i in range(3)) for a in acc]


def write_ico(path, canvas, sizes=(16, 32, 48)):
    """An icon of one opaque 32-bit image per size, as Explorer and the list of programs pick
    them; each image is a bottom-up bitmap of twice its height (colour, then an empty mask)."""
    images = []
    for size in sizes:
        pixels = downsample_to(canvas, size)
        image = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        for row in range(size - 1, -1, -1):
            image += b''.join(bytes((b, g, r, 255)) for r, g, b in pixels[row * size:(row + 1) * size])
        image += bytes((size + 31) // 32 * 4 * size)
        images.append(image)
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        data += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, 'wb') as f:
        f.write(data + b''.join(images))


def downsample(canvas):
    """Average SS*SS samples into one 8-bit RGB pixel; returns rows top first."""
    out = []
    for py in range(SIZE):
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0]
            for sy in range(py * SS, py * SS + SS):
                for sx in range(px * SS, px * SS + SS):
                    c = canvas[sy * N + sx]
                    acc[0] += c[0]; acc[1] += c[1]; acc[2] += c[2]
            out.append(tuple(clamp(a / (SS * SS)) for a in acc))
    return out


# --------------------------------------------------------------- shading ---

def lit(base, n, amb=0.22, gloss=0.55, shin=18):
    """Simple Blinn-Phong shading of colour base with unit normal n."""
    d = max(0.0, sum(a * b for a, b in zip(n, L_DIR)))
    s = max(0.0, sum(a * b for a, b in zip(n, H_DIR))) ** shin * gloss * 255
    return tuple(c * (amb + 0.9 * d) + s for c in base)


def bulge(base, cx, cy, rx, ry, flat=1.0, **kw):
    """Colour function shading base as a (flattened) ellipsoid centred at cx, cy."""
    def color(x, y):
        nx, ny = (x - cx) / rx * flat, (y - cy) / ry * flat
        r2 = min(nx * nx + ny * ny, 0.999)
        return lit(base, (nx, ny, math.sqrt(1.0 - r2)), **kw)
    return color


def solid(c):
    return lambda x, y: c


# ------------------------------------------------------------ quantising ---

def median_cut(pixels, ncolors=256):
    """Return (palette, indices) for a list of RGB tuples."""
    counts = {}
    for p in pixels:
        counts[p] = counts.get(p, 0) + 1
    boxes = [sorted(counts)]
    while len(boxes) < ncolors:
        best, span, chan = None, 0, 0
        for i, b in enumerate(boxes):
            if len(b) < 2:
                continue
            for c in range(3):
                r = max(p[c] for p in b) - min(p[c] for p in b)
                if r > span:
                    best, span, chan = i, r, c
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda p: (p[chan], p))
        total, acc, cut = sum(counts[p] for p in box), 0, 1
        for k, p in enumerate(box[:-1]):
            acc += counts[p]
            if acc * 2 >= total:
                cut = k + 1
                break
        boxes += [box[:cut], box[cut:]]
    palette = []
    for b in boxes:
        w = sum(counts[p] for p in b)
        palette.append(tuple(clamp(sum(p[c] * counts[p] for p in b) / w) for c in range(3)))
    lookup = {}
    for p in counts:
        lookup[p] = min(range(len(palette)),
                        key=lambda i: sum((a - b) ** 2 for a, b in zip(p, palette[i])))
    return palette, [lookup[p] for p in pixels]


def write_bmp(path, pixels):
    palette, idx = median_cut(pixels)
    palette += [(0, 0, 0)] * (256 - len(palette))
    offset = 14 + 40 + 1024
    data = struct.pack('<2sIHHI', b'BM', offset + SIZE * SIZE, 0, 0, offset)
    data += struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE, 1, 8, 0, SIZE * SIZE,
                        2835, 2835, 256, 0)
    data += b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    for row in range(SIZE - 1, -1, -1):       # bottom-up rows
        data += bytes(idx[row * SIZE:(row + 1) * SIZE])
    with open(path, 'wb') as f:
        f.write(data)


# ------------------------------------------------------------------ logo ---

Z_SHAPE = [(9, 9), (31, 9), (31, 15), (17, 37), (31, 37), (31, 43), (9, 43),
           (9, 37), (23, 15), (9, 15)]
V_SHAPE = [(33, 9), (40, 9), (44.5, 32), (49, 9), (56, 9), (48, 43), (41, 43)]

# 3x5 pixel font for the strap line, rows top to bottom
FONT = {'D': ['110', '101', '101', '101', '110'], 'E': ['111', '100', '110', '100', '111'],
        'V': ['101', '101', '101', '101', '010'], 'L': ['100', '100', '100', '100', '111'],
        'O': ['111', '101', '101', '101', '111'], 'P': ['111', '101', '111', '100', '100'],
        'M': ['101', '111', '111', '101', '101'], 'N': ['111', '101', '101', '101', '101'],
        'T': ['111', '010', '010', '010', '010'], 'S': ['111', '100', '111', '001', '111']}


def chrome(x, y):
    """Vertical chrome ramp with a horizon line, tinted blue."""
    t = (y - 9) / 34.0
    if t < 0.5:
        return mix((255, 255, 255), (120, 160, 230), t / 0.5)
    return mix((20, 40, 110), (150, 200, 255), (t - 0.5) / 0.5)


def draw_logo():
    def background(x, y):
        t = min(1.0, y / 64.0)
        glow = max(0.0, 1.0 - math.hypot(x - 32, y - 26) / 34.0) * 0.35
        return tuple(c * (1.0 - t) ** 1.3 + 40 * glow for c in (30, 70, 190))
    cv = new_canvas(background)
    # metallic frame: four bevelled bars, lit from the upper left
    steel = lambda k: solid(scale((200, 205, 215), k))
    polygon(cv, [(0, 0), (64, 0), (61, 3), (3, 3)], steel(1.1))
    polygon(cv, [(0, 0), (3, 3), (3, 61), (0, 64)], steel(0.9))
    polygon(cv, [(64, 0), (64, 64), (61, 61), (61, 3)], steel(0.55))
    polygon(cv, [(0, 64), (3, 61), (61, 61), (64, 64)], steel(0.4))
    polygon(cv, [(3, 3), (61, 3), (61, 3.6), (3, 3.6)], solid((10, 10, 20)))
    # letters: drop shadow, dark outline, chrome face
    for shape in (Z_SHAPE, V_SHAPE):
        polygon(cv, shape, solid((0, 0, 8)), 1.8, 1.8)
        for dx, dy in ((-0.7, 0), (0.7, 0), (0, -0.7), (0, 0.7)):
            polygon(cv, shape, solid((5, 15, 45)), dx, dy)
    for shape in (Z_SHAPE, V_SHAPE):
        polygon(cv, shape, chrome)
    # thin highlight bar and the strap line "DEVELOPMENTS"
    polygon(cv, [(9, 46.5), (56, 46.5), (56, 47.25), (9, 47.25)],
            lambda x, y: mix((60, 110, 220), (230, 240, 255), 1 - abs(x - 32.5) / 24))
    text = 'DEVELOPMENTS'
    x0 = (SIZE - (len(text) * 4 - 1)) // 2
    for i, ch in enumerate(text):
        for r, bits in enumerate(FONT[ch]):
            for c, bit in enumerate(bits):
                if bit == '1':
                    px, py = x0 + i * 4 + c, 51 + r
                    polygon(cv, [(px, py), (px + 1, py), (px + 1, py + 1), (px, py + 1)],
                            solid((200, 215, 240)))
    return cv


# -------------------------------------------------------------- portraits ---

def make_portrait(skin, trim, visor):
    glow = scale(skin, 0.4)

    def background(x, y):
        t = max(0.0, 1.0 - math.hypot(x - 32, y - 26) / 36.0)
        return mix((0, 0, 0), mix((14, 16, 22), glow, 0.5), t ** 1.5)
    cv = new_canvas(background)
    dark = scale(trim, 0.55)
    # torso and chest plate
    polygon(cv, [(0, 64), (3, 52), (18, 44), (46, 44), (61, 52), (64, 64)],
            bulge(trim, 32, 58, 34, 16, flat=0.7))
    polygon(cv, [(18, 46), (46, 46), (42, 64), (22, 64)],
            bulge(skin, 32, 52, 16, 14, flat=0.8))
    polygon(cv, [(22, 53), (42, 53), (41, 55), (23, 55)], solid(scale(dark, 0.5)))
    polygon(cv, [(31, 46), (33, 46), (33, 64), (31, 64)], solid(scale(dark, 0.5)))

    def neck(x, y):  # ribbed cylinder
        nx = (x - 32) / 7.0
        c = lit(dark, (nx, 0.0, math.sqrt(max(0.0, 1 - nx * nx))), gloss=0.3)
        return scale(c, 0.55) if int(y) % 2 else c
    polygon(cv, [(25, 36), (39, 36), (40, 47), (24, 47)], neck)
    # angular shoulder pads: steel under-plate, coloured armour plate, trim stripe
    for sgn in (-1, 1):
        px = lambda pts: [(32 + sgn * (32 - x), y) for x, y in pts]
        cx = 32 + sgn * 20.5
        polygon(cv, px([(1, 54), (4, 46), (14, 41), (24, 43), (26, 50), (21, 58), (3, 60)]),
                bulge(trim, cx, 50, 13, 10))
        polygon(cv, px([(2, 51), (6, 44), (15, 39.5), (23, 41.5), (24, 48), (19, 54), (4, 55)]),
                bulge(skin, 32 + sgn * 19, 45, 12, 9, gloss=0.7))
        polygon(cv, px([(4, 52), (19, 51), (18, 53), (5, 54)]), solid(scale(trim, 0.4)))
    # ear pieces behind the helmet
    for cx in (17.5, 46.5):
        ellipse(cv, cx, 27, 4, 6, bulge(trim, cx, 26, 4, 6, gloss=0.8, shin=30))
    # helmet dome, crest and jaw guard
    ellipse(cv, 32, 25, 14.5, 16, bulge(skin, 32, 25, 14.5, 16, gloss=0.6, shin=24))
    polygon(cv, [(30.5, 9.2), (33.5, 9.2), (33.1, 21), (30.9, 21)],
            bulge(trim, 32, 15, 3, 9, gloss=0.8))
    polygon(cv, [(19.5, 29), (24, 33), (40, 33), (44.5, 29), (42, 37), (36, 41.5),
                 (28, 41.5), (22, 37)], bulge(trim, 32, 33, 13, 10, flat=0.8))
    for gy in (35, 37):
        polygon(cv, [(28, gy), (36, gy), (35.5, gy + 0.9), (28.5, gy + 0.9)], solid((10, 10, 12)))
    # visor: dark frame, glowing glass with a reflection streak
    polygon(cv, [(18.5, 20), (45.5, 20), (44.5, 28.5), (36.5, 32), (27.5, 32), (19.5, 28.5)],
            solid((10, 10, 12)))

    def glass(x, y):
        edge = 1.0 - min(1.0, abs(x - 32) / 14.0) ** 2
        t = (y - 21) / 10.0
        c = scale(visor, 0.3 + 0.7 * edge * (1.0 - 0.6 * t))
        d = (x - 24) + 0.9 * (y - 21)      # two diagonal glints
        if 0 < d < 2.5 or 4 < d < 5:
            c = mix(c, (255, 255, 255), 0.7 * (1.0 - 0.8 * t))
        return c
    polygon(cv, [(20, 21.2), (44, 21.2), (43.2, 27.8), (36, 30.8), (28, 30.8), (20.8, 27.8)], glass)
    return downsample(cv)


SKINS = {  # file name: (armour colour, trim colour, visor glow)
    'picture1.bmp': ((195, 38, 30), (92, 90, 98), (255, 200, 70)),     # red team
    'picture2.bmp': ((40, 85, 215), (88, 92, 108), (90, 235, 255)),    # blue team
    'picture3.bmp': ((96, 130, 72), (128, 132, 128), (255, 140, 40)),  # default
}


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_bitmaps.py OUTPUT_DIR')
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    logo = draw_logo()
    write_bmp(os.path.join(out, 'logo.bmp'), downsample(logo))
    write_ico(os.path.join(out, 'zvuninst.ico'), logo)
    for name in sorted(SKINS):
        write_bmp(os.path.join(out, name), make_portrait(*SKINS[name]))


if __name__ == '__main__':
    main()
