#!/usr/bin/env python3
"""Writes the grid of the trench example: a straight sand-bed channel 300 m
long and 10 m wide (5 m by 2 m columns), bed slope 0.3 per mille, with a
trench dredged across it: 1 m deep, flat between x = 160 and 180 m, with
side slopes of 1:10 down from x = 150 m and up to x = 190 m."""

lines = []
for i in range(1, 62):
    x = 5.0 * (i - 1)
    dig = min(max(min(x - 150.0, 190.0 - x) / 10.0, 0.0), 1.0)
    for j in range(1, 7):
        y = 2.0 * (j - 1)
        lines.append(f"{i} {j} {x:.1f} {y:.1f} {100.0 - 3e-4 * x - dig:.6f}")
with open("koordina", "w") as f:
    f.write("\n".join(lines) + "\n")
