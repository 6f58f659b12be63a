#!/usr/bin/env python3
"""Every plot file kind, produced by zefra on a small channel and read back by
readers that share nothing with the writer: VTK's own legacy reader for the
.vtk files, and the plain parsers below for the Tecplot files, the cell table
and the result file.  Usage: parse_plot_files.py <path of zefra>.
Exits 77 (skipped) when the VTK Python module is not installed."""

import math
import os
import re
import subprocess
import sys
import tempfile

try:
    import vtk
except ImportError:
    print("the VTK Python module is not installed: skipped")
    sys.exit(77)

ZEFRA = os.path.abspath(sys.argv[1])
X, Y, Z = 11, 6, 6  # node lines of the channel
CODES = "kpVvyzdmFBc"  # G 24 variables, B has no quantity ("Error")
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def write_case(folder, plot_kind, letters):
    with open(os.path.join(folder, "koordina"), "w") as f:
        for i in range(1, X + 1):
            for j in range(1, Y + 1):
                f.write("%d %d %g %g %.6f\n" % (i, j, 10.0 * (i - 1), 2.0 * (j - 1), 100.0 - 0.0005 * 10.0 * (i - 1)))
    g24 = " ".join("%s 2 0" % c for c in CODES)
    with open(os.path.join(folder, "control"), "w") as f:
        f.write("G 1 %d %d %d 1\n" % (X, Y, Z))
        f.write("G 3 0 20 40 60 80 100\n")
        f.write("W 1 35 10.0 101.0\n")
        f.write("K 5 0 0 0 1 0 0\n")
        f.write("T Plot files \"check\"\n")
        f.write("G 24 %d %s\n" % (len(CODES), g24))
        f.write("F 48 %d\n" % plot_kind)
        f.write("F 2 %s\n" % letters)


def run(folder):
    status = subprocess.run([ZEFRA], cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
    check(status == 1, "zefra ended with status %d in %s" % (status, folder))


def read_result(path):
    """The cells of the result file: {(i, j, k): [u, v, w, k, e, gamma, f1, f2, f3, p]}."""
    cells = {}
    with open(path) as f:
        for line in f:
            if line.startswith("G "):
                fields = line.split()
                cells[(int(fields[1]), int(fields[2]), int(fields[3]))] = [float(v) for v in fields[4:]]
            elif line.startswith("C "):
                sizes = [int(v) for v in line.split()[1:]]
    check(sizes == [X, Y, Z], "result file sizes %s" % sizes)
    check(len(cells) == (X + 1) * (Y + 1) * (Z + 2), "result file holds %d cells" % len(cells))
    return cells


def numbers(line):
    values = [float(v) for v in line.split()]
    check(all(math.isfinite(v) for v in values), "a number that is not finite: " + line[:80])
    return values


def read_tecplot(path):
    """Title, variable names, zone sizes and rows of a Tecplot point-format file."""
    with open(path) as f:
        lines = f.read().splitlines()
    title = re.match(r'TITLE = "([^"]*)"$', lines[0])
    check(title is not None, "Tecplot title line: " + lines[0])
    check(lines[1].startswith("VARIABLES="), "Tecplot variables line")
    names = re.findall(r'"([^"]*)"', lines[1])
    check(re.sub(r'"[^"]*"', "", lines[1][len("VARIABLES="):]).strip(",") == "", "only quoted names separated by commas")
    zone = dict(re.findall(r"([IJK])=(\d+)", lines[2]))
    check("F=POINT" in lines[2], "point format")
    rows = [numbers(line) for line in lines[3:] if line.strip()]
    size = 1
    for key in zone:
        size *= int(zone[key])
    check(len(rows) == size, "%s: %d rows for a zone of %d points" % (path, len(rows), size))
    check(all(len(r) == len(names) for r in rows), "%s: every row has one value per variable" % path)
    return title.group(1) if title else "", names, zone, rows


def read_vtk(path):
    errors = []
    reader = vtk.vtkStructuredGridReader()
    reader.SetFileName(path)
    reader.ReadAllScalarsOn()
    reader.ReadAllVectorsOn()
    reader.AddObserver("ErrorEvent", lambda obj, event: errors.append(event))
    reader.AddObserver("WarningEvent", lambda obj, event: errors.append(event))
    reader.Update()
    check(not errors, "%s: the VTK reader reported %s" % (path, errors))
    return reader.GetOutput()


with tempfile.TemporaryDirectory() as base:
    flow = os.path.join(base, "flow")
    os.mkdir(flow)
    write_case(flow, 0, "WM")
    run(flow)
    cells = read_result(os.path.join(flow, "result"))

    def plot(kind, name):
        folder = os.path.join(base, "kind%d" % kind)
        os.mkdir(folder)
        write_case(folder, kind, "RM")
        os.link(os.path.join(flow, "result"), os.path.join(folder, "result"))
        run(folder)
        path = os.path.join(folder, name)
        check(os.path.exists(path), name + " written")
        return path

    # Cell table: one row per inner cell, velocities of the result file.
    path = plot(7, "tecplot")
    with open(path) as f:
        rows = [numbers(line) for line in f if line.strip()]
    check(len(rows) == (X - 1) * (Y - 1) * (Z - 1), "cell table rows")
    check(all(len(r) == 9 for r in rows), "cell table columns")
    first = rows[0]  # cell (2, 2, 2)
    check(abs(first[3] - cells[(2, 2, 2)][0]) < 1e-6 * (1 + abs(first[3])), "cell table u of cell (2, 2, 2)")

    # Tecplot 3D zone.
    title, names, zone, rows = read_tecplot(plot(8, "tecplot3.dat"))
    check(title.strip() == "Plot files 'check'", "title with its quotes replaced: " + title)
    check(names[:6] == ["X1", "X2", "X3", "U1", "U2", "U3"] and len(names) == 6 + len(CODES), "3D variable names")
    check("Error" in names and "Pressure 2 " in names, "G 24 titles")
    check([int(zone[k]) for k in "IJK"] == [X + 1, Y + 1, Z + 1], "3D zone sizes")
    point = rows[(3 - 1) * (X + 1) * (Y + 1) + (3 - 1) * (X + 1) + (4 - 1)]  # i = 4, j = 3, k = 3
    check(abs(point[3] - cells[(4, 3, 3)][0]) < 1e-5, "3D velocity of point (4, 3, 3)")
    check(abs(point[6] - cells[(4, 3, 3)][3]) < 1e-6 * (1 + cells[(4, 3, 3)][3]), "3D turbulent k of point (4, 3, 3)")

    # Tecplot plan zone.
    title, names, zone, rows = read_tecplot(plot(9, "tecplot2.dat"))
    check(title.startswith("PLAN-3_"), "plan title")
    check(len(names) == 14 and "D50" not in names, "plan variables without D50 for one grain size")
    check([int(zone[k]) for k in "IJ"] == [X + 1, Y + 1], "plan zone sizes")
    depth = rows[(3 - 1) * (X + 1) + (5 - 1)][names.index("Depth")]
    check(0.5 < depth < 1.5, "plan depth %g" % depth)

    # VTK 3D and two-layer grids through VTK's reader.
    for kind, name, layers in ((10, "ParaView3.vtk", Z + 1), (11, "ParaView2.vtk", 2)):
        grid = read_vtk(plot(kind, name))
        check(list(grid.GetDimensions()) == [X + 1, Y + 1, layers], name + " dimensions")
        data = grid.GetPointData()
        arrays = [data.GetArrayName(n) for n in range(data.GetNumberOfArrays())]
        check(len(arrays) == len(CODES) + 1, "%s arrays: %s" % (name, arrays))
        check("Pressure_2" in arrays and "Velocities" in arrays and "Error" in arrays, name + " array names")
        velocities = data.GetArray("Velocities")
        check(velocities.GetNumberOfTuples() == (X + 1) * (Y + 1) * layers, name + " vector count")
        cell_k = 3 if layers > 2 else 2
        index = (cell_k - 1 if layers > 2 else 0) * (X + 1) * (Y + 1) + (3 - 1) * (X + 1) + (4 - 1)
        u = velocities.GetTuple3(index)[0]
        check(abs(u - cells[(4, 3, cell_k)][0]) < 1e-5, "%s velocity of point (4, 3): %g" % (name, u))
        bounds = grid.GetBounds()
        check(abs(bounds[1] - 10.0 * (X - 1)) < 1e-6 and abs(bounds[3] - 2.0 * (Y - 1)) < 1e-6, name + " plan extent")

if failures:
    print("%d checks failed" % len(failures))
    sys.exit(1)
print("all plot files parsed")
