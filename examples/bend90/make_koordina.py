#!/usr/bin/env python3
"""Writes `koordina` for the 90-degree bend: 100 m straight, a left-hand
bend of 60 m centreline radius, 100 m straight; 20 m wide, the bed falling
along the centreline with the Manning-Strickler slope of 1 m/s at 2 m depth
(Strickler 35).  Node lines: i along the channel, j across from the right
bank (j = 1, outer bank of the bend) to the left bank (j = 21)."""
import math

WIDTH, RADIUS, STRAIGHT = 20.0, 60.0, 100.0
ACROSS = 21
SLOPE = (1.0 / (35.0 * (40.0 / 24.0) ** (2.0 / 3.0))) ** 2

centre = []  # (x, y, direction, distance along the centreline)
for n in range(11):
    centre.append((10.0 * n, 0.0, 0.0, 10.0 * n))
for n in range(1, 11):
    phi = math.pi / 2 * n / 10
    centre.append((STRAIGHT + RADIUS * math.sin(phi), RADIUS - RADIUS * math.cos(phi), phi, STRAIGHT + RADIUS * phi))
for n in range(1, 11):
    centre.append((STRAIGHT + RADIUS, RADIUS + 10.0 * n, math.pi / 2, STRAIGHT + RADIUS * math.pi / 2 + 10.0 * n))

with open("koordina", "w") as f:
    for i, (x, y, phi, s) in enumerate(centre, start=1):
        for j in range(1, ACROSS + 1):
            offset = -WIDTH / 2 + WIDTH * (j - 1) / (ACROSS - 1)  # positive to the left
            f.write("%d %d %.4f %.4f %.6f\n" % (i, j, x - offset * math.sin(phi), y + offset * math.cos(phi), 100.0 - SLOPE * s))
print("last bed level %.6f, outflow water level %.6f" % (100.0 - SLOPE * centre[-1][3], 102.0 - SLOPE * centre[-1][3]))
