#!/usr/bin/env python3
"""Frames per second from two screenshots of the light on its ellipse.

  rate.py CX CY XR YR STEP T1 SHOT1 T2 SHOT2
The lit pixels' centre in each shot is the light's position on the ellipse
about (CX, CY) with radii XR, YR (screen coordinates); the angle it moved,
divided by STEP radians a frame and by the seconds between the shots, is the
frame rate printed.
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import shots  # noqa: E402


def angle(path, cx, cy, xr, yr):
    picture = shots.load(path)
    pts = shots.not_black(picture)
    if not pts:
        sys.exit("no lit pixels in " + path)
    x = sum(p[0] for p in pts) / len(pts)
    y = sum(p[1] for p in pts) / len(pts)
    # Map rows grow upwards: the screen's y is turned round.
    return math.atan2((cy - y) / yr, (x - cx) / xr)


def main(argv):
    cx, cy, xr, yr, step = (float(a) for a in argv[1:6])
    t1, shot1, t2, shot2 = float(argv[6]), argv[7], float(argv[8]), argv[9]
    moved = angle(shot1, cx, cy, xr, yr) - angle(shot2, cx, cy, xr, yr)  # the angle falls
    moved %= 2 * math.pi
    print("%.1f" % (moved / step / (t2 - t1)))


if __name__ == "__main__":
    main(sys.argv)
