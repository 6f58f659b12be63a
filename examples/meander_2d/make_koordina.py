#!/usr/bin/env python3
"""Writes `koordina` for the meandering reach: a sine-generated centreline
(direction theta = 55 degrees x sin(2 pi s / 800 m)) of three meander
wavelengths, 2.4 km along the centreline, 60 m wide, the bed falling along
the centreline with the Manning-Strickler slope of 1 m/s at 2.5 m depth
(Strickler 32).  Node lines: i along the river (10 m on the centreline), j
across from the right bank (j = 1) to the left bank (j = 21)."""
import math

WIDTH, WAVELENGTH, AMPLITUDE, DEPTH, STRICKLER = 60.0, 800.0, math.radians(55.0), 2.5, 32.0
ALONG, ACROSS, STEP = 241, 21, 10.0
AREA = WIDTH * DEPTH
RADIUS = AREA / (WIDTH + 2 * DEPTH)
SLOPE = (1.0 / (STRICKLER * RADIUS ** (2.0 / 3.0))) ** 2

centre = []  # (x, y, direction, distance along the centreline)
x = y = 0.0
for n in range(ALONG):
    s = STEP * n
    if n > 0:
        # Midpoint rule for the direction over the step.
        mid = AMPLITUDE * math.sin(2 * math.pi * (s - STEP / 2) / WAVELENGTH)
        x += STEP * math.cos(mid)
        y += STEP * math.sin(mid)
    centre.append((x, y, AMPLITUDE * math.sin(2 * math.pi * s / WAVELENGTH), s))

with open("koordina", "w") as f:
    for i, (cx, cy, phi, s) in enumerate(centre, start=1):
        for j in range(1, ACROSS + 1):
            offset = -WIDTH / 2 + WIDTH * (j - 1) / (ACROSS - 1)  # positive to the left
            f.write("%d %d %.4f %.4f %.6f\n" % (i, j, cx - offset * math.sin(phi), cy + offset * math.cos(phi), 100.0 - SLOPE * s))
print("slope %.3e, discharge %.1f, last bed level %.6f, outflow water level %.6f" %
      (SLOPE, AREA * 1.0, 100.0 - SLOPE * centre[-1][3], 100.0 + DEPTH - SLOPE * centre[-1][3]))
