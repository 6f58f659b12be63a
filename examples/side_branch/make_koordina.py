#!/usr/bin/env python3
"""Writes the grid of the side-branch example: a river 300 m long and 40 m
wide (main block) with an intake canal 20 m wide leaving its left (south)
bank between 140 and 160 m and running 100 m south (side block).

The side block's cells across (j = 2 ... 11) are joined one to one to the
main block's columns 16 ... 25, so those columns are 2 m long, as wide as
the canal's cells; the rest of the river has 10 m cells."""

xs = [10.0 * n for n in range(15)] + [140.0 + 2.0 * n for n in range(1, 11)] + [160.0 + 10.0 * n for n in range(1, 15)]
assert len(xs) == 39
ny = 11
slope = 0.0002

lines = []
for i, x in enumerate(xs, 1):
    for j in range(1, ny + 1):
        y = 4.0 * (j - 1)
        lines.append(f"{i} {j} {x:.1f} {y:.1f} {10.0 - slope * x:.4f}")
# Canal: node line a = 40 ... 49, 10 m apart southwards; node b at the
# river's node 14 + b along the bank (x = 140 ... 160).
for a in range(40, 50):
    for b in range(1, ny + 1):
        x = xs[14 + b - 1]
        y = -10.0 * (a - 39)
        lines.append(f"{a} {b} {x:.1f} {y:.1f} {10.0 - slope * 150.0 - slope * (a - 39) * 10.0 - 0.2:.4f}")
with open("koordina", "w") as f:
    f.write("\n".join(lines) + "\n")
