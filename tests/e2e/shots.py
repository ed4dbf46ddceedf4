#!/usr/bin/env python3
"""Looks at the end-to-end screenshots of the saver (standard library only;
ImageMagick's convert turns each picture into a PPM first).

  shots.py text REF.pgm CX CY XR YR FALLOFF SHOT...
      The light on a picture whose darkest colour is black, with text burnt in:
      the lit (non-black) pixels of every shot lie inside the strokes of the
      reference rendering REF.pgm (255 = stroke), within one fall-off window
      around a point of the light's ellipse (centre CX, CY in screen
      coordinates, radii XR, YR); the lit set changes from shot to shot; over
      all shots the lit pixels span the word, centred like the reference.
  shots.py relief CX CY XR YR FALLOFF SHOT...
      A picture in relief over the whole screen: in every shot the pixels that
      differ from the background (the most common colour) fill most of one
      fall-off window about the ellipse, and the window moves between shots.
  shots.py band SHOT        -> "left top right bottom" of the pure red pixels
  shots.py match SHOT REF X Y -> the number of pixels of the picture REF that
                            differ from SHOT's pixels at (X, Y) onwards
  shots.py lit SHOT [X0 Y0 X1 Y1]
                            -> the number of pixels that are not black
                               (outside that box, when one is given)
  shots.py colours SHOT     -> "distinct-colours most-common-colour count"
  shots.py differ A B       -> the number of pixels that differ
Exit status 0 when every check holds, 1 otherwise (each failure is printed).
"""
import math
import subprocess
import sys


class Picture:
    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels  # pixels: bytes, 3 per pixel

    def rgb(self, x, y):
        i = 3 * (y * self.width + x)
        return self.pixels[i:i + 3]


def _header(data):
    """Parses a binary PNM header; returns (magic, width, height, offset of the pixels)."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    return fields[0], int(fields[1]), int(fields[2]), pos + 1


def load(path):
    data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    magic, width, height, offset = _header(data)
    assert magic == b"P6", path
    return Picture(width, height, data[offset:offset + 3 * width * height])


def load_mask(path):
    with open(path, "rb") as f:
        data = f.read()
    magic, width, height, offset = _header(data)
    assert magic == b"P5", path
    return width, height, data[offset:offset + width * height]


def points(picture, keep):
    """Screen points (x, y) whose colour satisfies keep(r, g, b)."""
    px, w, out = picture.pixels, picture.width, []
    for i in range(0, len(px), 3):
        if keep(px[i], px[i + 1], px[i + 2]):
            n = i // 3
            out.append((n % w, n // w))
    return out


def not_black(picture):
    return points(picture, lambda r, g, b: r or g or b)


def box(pts):
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return min(xs), min(ys), max(xs), max(ys)


def light_point(pts, cx, cy, xr, yr, falloff):
    """A point of the ellipse whose open fall-off window holds every point, or None.

    The window is |dx| < falloff and |dy| < falloff around the light; the light
    sits on the ellipse up to the truncation of its coordinates (1 pixel)."""
    x0, y0, x1, y1 = box(pts)
    for step in range(720):
        a = step * math.pi / 360
        lx, ly = cx + xr * math.cos(a), cy - yr * math.sin(a)  # map rows grow upwards
        if x1 - lx < falloff + 1 and lx - x0 < falloff + 1 and y1 - ly < falloff + 1 and ly - y0 < falloff + 1:
            return round(lx), round(ly)
    return None


class Checks:
    def __init__(self):
        self.failed = 0

    def check(self, ok, text):
        print(("ok: " if ok else "FAIL: ") + text)
        if not ok:
            self.failed += 1


def check_moves(checks, sets, windows):
    changed = sum(1 for a, b in zip(sets, sets[1:]) if a != b)
    checks.check(changed == len(sets) - 1, f"the lit pixels change between all {len(sets)} shots ({changed} changes)")
    lights = {w for w in windows if w is not None}
    checks.check(len(lights) >= 3, f"the light is seen at {len(lights)} different places on its ellipse")


def text_command(args):
    ref_path, cx, cy, xr, yr, falloff, shots = args[0], *map(int, args[1:6]), args[6:]
    width, height, mask = load_mask(ref_path)
    checks = Checks()
    # A stroke pixel may come out one pixel off where Wine's rasteriser smooths edges.
    near = bytearray(mask)
    for y in range(1, height - 1):
        row = y * width
        for x in range(1, width - 1):
            if not mask[row + x] and (mask[row + x - 1] or mask[row + x + 1] or mask[row - width + x]
                                      or mask[row + width + x]):
                near[row + x] = 255
    ref = [(i % width, i // width) for i, v in enumerate(mask) if v]
    rx0, ry0, rx1, ry1 = box(ref)
    print(f"reference strokes: {len(ref)} pixels in x {rx0}..{rx1}, y {ry0}..{ry1}")
    union, sets, windows = set(), [], []
    for shot in shots:
        picture = load(shot)
        if (picture.width, picture.height) != (width, height):
            checks.check(False, f"{shot}: {picture.width}x{picture.height}, reference {width}x{height}")
            continue
        lit = not_black(picture)
        outside = [p for p in lit if not near[p[1] * width + p[0]]]
        checks.check(len(lit) >= 200, f"{shot}: {len(lit)} lit pixels")
        checks.check(not outside, f"{shot}: no lit pixel outside the strokes"
                     + (f" ({len(outside)} are, e.g. {outside[:3]})" if outside else ""))
        window = light_point(lit, cx, cy, xr, yr, falloff) if lit else None
        checks.check(window is not None, f"{shot}: the lit pixels fit one light window on the ellipse"
                     + (f" (light near {window})" if window else f" (lit box {box(lit) if lit else None})"))
        sets.append(frozenset(lit))
        windows.append(window)
        union.update(lit)
    check_moves(checks, sets, windows)
    if union:
        ux0, uy0, ux1, uy1 = box(union)
        print(f"lit over all shots: x {ux0}..{ux1}, y {uy0}..{uy1}; reference x {rx0}..{rx1}, y {ry0}..{ry1}")
        checks.check(ux0 >= rx0 - 1 and uy0 >= ry0 - 1 and ux1 <= rx1 + 1 and uy1 <= ry1 + 1,
                     "the lit pixels stay inside the word's box")
        checks.check(abs(ux0 - rx0) <= 8 and abs(ux1 - rx1) <= 8 and abs(uy0 - ry0) <= 8 and abs(uy1 - ry1) <= 8,
                     "the light reaches every side of the word")
        checks.check(abs((ux0 + ux1) - width) <= 16, f"the word is centred across the {width}-pixel screen")
        checks.check(abs((uy0 + uy1) - height) <= 48, f"the word is centred down the {height}-pixel screen")
        checks.check(len(union) >= len(ref) // 2, f"the lit pixels cover {len(union)} of the {len(ref)} stroke pixels")
    return checks.failed


def relief_command(args):
    cx, cy, xr, yr, falloff, shots = *map(int, args[:5]), args[5:]
    checks = Checks()
    sets, windows, union = [], [], set()
    for shot in shots:
        picture = load(shot)
        counts = {}
        px = picture.pixels
        for i in range(0, len(px), 3):
            key = px[i:i + 3]
            counts[key] = counts.get(key, 0) + 1
        background = max(counts, key=counts.get)
        lit = points(picture, lambda r, g, b: bytes((r, g, b)) != background)
        window = light_point(lit, cx, cy, xr, yr, falloff) if lit else None
        checks.check(window is not None, f"{shot}: {len(lit)} pixels differ from the background {tuple(background)}"
                     f" and fit one light window on the ellipse (light near {window})")
        if window:
            x0, y0 = max(1, window[0] - falloff + 1), max(1, window[1] - falloff + 1)
            x1, y1 = min(picture.width - 2, window[0] + falloff - 1), min(picture.height - 2, window[1] + falloff - 1)
            area = max(1, (x1 - x0 + 1) * (y1 - y0 + 1))
            checks.check(len(lit) >= area // 4, f"{shot}: the relief fills {100 * len(lit) // area}% of the light's window")
        sets.append(frozenset(lit))
        windows.append(window)
        union.update(lit)
    check_moves(checks, sets, windows)
    # Lit pixels appear all around the ellipse, not in one word.
    sectors = {int((math.atan2(cy - y, x - cx) + math.pi) / (2 * math.pi) * 8) % 8 for x, y in union}
    checks.check(len(sectors) >= 4, f"lit pixels in {len(sectors)} of 8 directions around the centre")
    return checks.failed


def main(argv):
    command, args = argv[1], argv[2:]
    if command == "text":
        return 1 if text_command(args) else 0
    if command == "relief":
        return 1 if relief_command(args) else 0
    if command == "band":
        red = points(load(args[0]), lambda r, g, b: r == 255 and g == 0 and b == 0)
        print(*(box(red) if red else ("none",)))
        return 0
    if command == "match":
        shot, ref, x, y = load(args[0]), load(args[1]), int(args[2]), int(args[3])
        differ = 0
        for j in range(ref.height):
            for i in range(ref.width):
                inside = 0 <= x + i < shot.width and 0 <= y + j < shot.height
                differ += not inside or shot.rgb(x + i, y + j) != ref.rgb(i, j)
        print(differ)
        return 0
    if command == "lit":
        x0, y0, x1, y1 = map(int, args[1:5]) if len(args) == 5 else (0, 0, -1, -1)
        print(sum(1 for x, y in not_black(load(args[0])) if not (x0 <= x <= x1 and y0 <= y <= y1)))
        return 0
    if command == "colours":
        px = load(args[0]).pixels
        counts = {}
        for i in range(0, len(px), 3):
            counts[px[i:i + 3]] = counts.get(px[i:i + 3], 0) + 1
        common = max(counts, key=counts.get)
        print(len(counts), "#%02x%02x%02x" % tuple(common), counts[common])
        return 0
    if command == "differ":
        a, b = load(args[0]), load(args[1])
        if (a.width, a.height) != (b.width, b.height):
            print(a.width * a.height)
            return 0
        print(sum(1 for i in range(0, len(a.pixels), 3) if a.pixels[i:i + 3] != b.pixels[i:i + 3]))
        return 0
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
