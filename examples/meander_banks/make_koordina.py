#!/usr/bin/env python3
"""Writes `koordina` for the meandering river with dry banks: a trapezoidal
channel, 20 m wide at the bottom, whose banks rise 1:5 for 2 m onto a
floodplain 10 m wide on either side, laid along two meanders of 400 m
(sine-generated centreline, largest angle 35 degrees) on a bed falling 0.85
per mille along the centreline.

    python3 make_koordina.py          the river (the koordina of this folder)
    python3 make_koordina.py flat     the same plan grid with a flat bed across
    python3 make_koordina.py walls    a channel 35 m wide with vertical walls
                                      (the river's width at the water surface)
    python3 make_koordina.py steep    the river with a steeper bank grid line:
                                      4 bank segments up to 1.35 m (0.15 m under
                                      the water level at the outflow), then one
                                      segment rising 1:1 to the floodplain

Node lines: i along the river (81, 10 m apart on the centreline), j across
from the right bank (j = 1) to the left bank (j = 25): 2 floodplain, 5 bank,
10 bottom, 5 bank and 2 floodplain segments."""
import math
import sys

VARIANT = sys.argv[1] if len(sys.argv) > 1 else "river"
ALONG, STEP = 81, 10.0
WAVELENGTH, ANGLE = 400.0, math.radians(35.0)
SLOPE, BED = 0.00085, 100.0
BOTTOM, RISE, RUN, PLAIN = 20.0, 2.0, 10.0, 10.0
WALLS = 35.0  # the river's width at 1.5 m depth


# Offsets across the river (positive to the left) and the height of the bed
# above the channel bottom there.
def section():
    edge = BOTTOM / 2 + RUN
    points = [(-(edge + PLAIN) + PLAIN * n / 2, RISE) for n in range(2)]
    points += [(-edge + RUN * n / 5, RISE * (1 - n / 5)) for n in range(5)]
    points += [(-BOTTOM / 2 + BOTTOM * n / 10, 0.0) for n in range(10)]
    points += [(BOTTOM / 2 + RUN * n / 5, RISE * n / 5) for n in range(5)]
    points += [(edge + PLAIN * n / 2, RISE) for n in range(3)]
    if VARIANT == "steep":
        WET = 1.35  # the last bank node under the water
        wet_run = WET * RUN / RISE
        edge = BOTTOM / 2 + wet_run + (RISE - WET)
        plain = BOTTOM / 2 + RUN + PLAIN - edge
        points = [(-(edge + plain) + plain * n / 2, RISE) for n in range(2)]
        points += [(-edge, RISE)]
        points += [(-(BOTTOM / 2 + wet_run) + wet_run * n / 4, WET * (1 - n / 4)) for n in range(4)]
        points += [(-BOTTOM / 2 + BOTTOM * n / 10, 0.0) for n in range(10)]
        points += [(BOTTOM / 2 + wet_run * n / 4, WET * n / 4) for n in range(5)]
        points += [(edge + plain * n / 2, RISE) for n in range(3)]
    if VARIANT == "flat":
        points = [(y, 0.0) for y, _ in points]
    elif VARIANT == "walls":
        points = [(-WALLS / 2 + WALLS * n / 24, 0.0) for n in range(25)]
    return points


# The centreline: direction theta(s) = ANGLE sin(2 pi s / WAVELENGTH),
# integrated in small steps.
centre = []
x = y = s = 0.0
for i in range(ALONG):
    theta = ANGLE * math.sin(2 * math.pi * s / WAVELENGTH)
    centre.append((x, y, theta, s))
    for _ in range(100):
        mid = ANGLE * math.sin(2 * math.pi * (s + STEP / 200) / WAVELENGTH)
        x += STEP / 100 * math.cos(mid)
        y += STEP / 100 * math.sin(mid)
        s += STEP / 100

with open("koordina", "w") as f:
    for i, (cx, cy, theta, s) in enumerate(centre, start=1):
        for j, (offset, height) in enumerate(section(), start=1):
            f.write("%d %d %.4f %.4f %.6f\n" % (i, j, cx - offset * math.sin(theta), cy + offset * math.cos(theta), BED - SLOPE * s + height))
print("outflow: bed %.6f m, water level at 1.5 m depth %.6f m" % (BED - SLOPE * centre[-1][3], BED - SLOPE * centre[-1][3] + 1.5))
