// The point report.  `interpol` lists points as "M x y" (reported at every
// write) or "T time x y" (reported at the writes within 0.1 s of the time).
// Each point is found in the grid cell that holds it in plan, and a value at
// the point is the mean of the values at the cell's four corner node columns,
// weighted by the inverse of the horizontal distance, 1 / (d + 1e-6): at a node
// it is the node's value, elsewhere it lies between the four.  Cell quantities
// (velocities, k, epsilon, concentrations) are taken to a node column as the
// mean of the water cells that share it, level by level; a level is the middle
// of the node column's segment k-1 ... k, so profiles follow the terrain.
//
// Each write begins with "T time"; then per point, by F 48:
//   1  "M x y bed"                       the bed level (grid line 0)
//   2  "M x y", "Level  U  V  W  k  epsilon", one line per level from the top
//   3  "C x y, size = l" and one "level concentration" line per level from the
//      top, for l = 0 (all sizes) ... lnumber
//   4  "M x y level depth U V"           water level, depth and depth-averaged
//                                        velocity, as at a gauging station
#include "engine/output/point_report.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "engine/common/boogie.h"
#include "engine/common/run_account.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/input/text_scanner.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"

namespace zefra {

namespace {

constexpr long PointFileCharacters = 30000;
constexpr double DistanceGuard = 1e-6;  // keeps the weight of a point on a node finite
constexpr double TimeWindow = 0.1;      // a T point is due within this many seconds of its time

void read_points(Boogie& log)
{
    InterpolNo = 0;
    TextScanner file(PointFileName);
    if (!file) {
        log.print("No file 'interpol': the point report 'interres' has no points\n");
        return;
    }
    int c = file.get();
    for (; c != EOF && file.taken() <= PointFileCharacters && InterpolNo < InterpolCapacity; c = file.get()) {
        InterpolPoint p{-1.0, 0.0, 0.0, false};
        if ((c == 'M' && file.scan("%lf %lf", &p.x, &p.y) == 2) || (c == 'T' && file.scan("%lf %lf %lf", &p.time, &p.x, &p.y) == 3))
            Interpol[InterpolNo++] = p;
    }
    log.print("Have read %d points from 'interpol'\n", InterpolNo);
    if (c != EOF && file.peek() != EOF)
        log.print("Warning: only the first %d points and %ld characters of 'interpol' are read\n", InterpolCapacity, PointFileCharacters);
}

// The four corner node columns of the cell that holds a point, with weights.
struct Corners {
    int i[4], j[4];
    double w[4];
};

// Whether (x, y) lies in the plan of cell (ci, cj), its edges included.
bool in_cell(int ci, int cj, double x, double y)
{
    const int ni[4] = {ci - 1, ci, ci, ci - 1}, nj[4] = {cj - 1, cj - 1, cj, cj};
    bool negative = false, positive = false;
    for (int n = 0; n < 4; ++n) {
        const int m = (n + 1) % 4;
        const double ex = xval[ni[m]][nj[m]] - xval[ni[n]][nj[n]], ey = yval[ni[m]][nj[m]] - yval[ni[n]][nj[n]];
        const double cross = ex * (y - yval[ni[n]][nj[n]]) - ey * (x - xval[ni[n]][nj[n]]);
        const double tolerance = 1e-9 * (ex * ex + ey * ey);
        negative = negative || cross < -tolerance;
        positive = positive || cross > tolerance;
    }
    return !(negative && positive);
}

std::optional<Corners> locate(double x, double y)
{
    // The cells around the nearest node first, then every cell.
    int near_i = 1, near_j = 1;
    double best = std::numeric_limits<double>::max();
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) {
            const double d = std::hypot(xval[i][j] - x, yval[i][j] - y);
            if (d < best) {
                best = d;
                near_i = i;
                near_j = j;
            }
        }
    int ci = 0, cj = 0;
    for (int a = near_i; a <= near_i + 1 && !ci; ++a)
        for (int b = near_j; b <= near_j + 1 && !ci; ++b)
            if (a >= 2 && a <= xnumber && b >= 2 && b <= ynumber && in_cell(a, b, x, y)) ci = a, cj = b;
    for (int a = 2; a <= xnumber && !ci; ++a)
        for (int b = 2; b <= ynumber && !ci; ++b)
            if (in_cell(a, b, x, y)) ci = a, cj = b;
    if (!ci) return std::nullopt;

    Corners c{{ci - 1, ci, ci, ci - 1}, {cj - 1, cj - 1, cj, cj}, {}};
    double sum = 0.0;
    for (int n = 0; n < 4; ++n) sum += c.w[n] = 1.0 / (std::hypot(xval[c.i[n]][c.j[n]] - x, yval[c.i[n]][c.j[n]] - y) + DistanceGuard);
    for (double& w : c.w) w /= sum;
    return c;
}

// Value of a cell field at node column (i, j), level k: the mean of the water
// cells that share the column.
template <class Cell>
double node_value(int i, int j, int k, Cell cell)
{
    double sum = 0.0;
    int n = 0;
    for (int a = i; a <= i + 1; ++a)
        for (int b = j; b <= j + 1; ++b)
            if (a >= 2 && a <= xnumber && b >= 2 && b <= ynumber && OBlok[a][b][k] != 0) {
                sum += cell(a, b, k);
                ++n;
            }
    return n ? sum / n : 0.0;
}

// The weighted mean over the four corners of f(i, j).
template <class Node>
double at_point(const Corners& c, Node f)
{
    double v = 0.0;
    for (int n = 0; n < 4; ++n) v += c.w[n] * f(c.i[n], c.j[n]);
    return v;
}

double segment_middle(int i, int j, int k)
{
    return 0.5 * (zval[i][j][k - 1] + zval[i][j][k]);
}

// Depth-averaged value of a cell field at node column (i, j).
template <class Cell>
double depth_mean(int i, int j, Cell cell)
{
    double sum = 0.0;
    for (int k = 2; k <= znumber; ++k) sum += node_value(i, j, k, cell) * (zval[i][j][k] - zval[i][j][k - 1]);
    const double depth = zval[i][j][znumber] - zval[i][j][1];
    return depth > 0.0 ? sum / depth : 0.0;
}

void report_point(std::FILE* fp, const InterpolPoint& p, const Corners& c, Boogie& log)
{
    auto cell = [](const Field3& field) { return [field](int a, int b, int k) { return field[a][b][k]; }; };
    switch (FlagInterpolVal) {
    case 1: std::fprintf(fp, "M %lf %lf %lf\n", p.x, p.y, at_point(c, [](int i, int j) { return zval[i][j][0]; })); break;
    case 2:
        std::fprintf(fp, "M %lf %lf\n", p.x, p.y);
        std::fprintf(fp, "Level  U  V  W  k  epsilon\n");
        for (int k = znumber; k >= 2; --k) {
            std::fprintf(fp, "%lf", at_point(c, [k](int i, int j) { return segment_middle(i, j, k); }));
            for (const Field3& field : {xvel, yvel, zvel, kinen, epsilon})
                std::fprintf(fp, " %lf", at_point(c, [&](int i, int j) { return node_value(i, j, k, cell(field)); }));
            std::fputc('\n', fp);
        }
        break;
    case 3:
        if (!conc) {
            log.print("F 48 3: there are no sediment concentrations to report at point %lf %lf\n", p.x, p.y);
            break;
        }
        for (int l = 0; l <= lnumber; ++l) {
            std::fprintf(fp, "C %lf %lf, size = %d\n", p.x, p.y, l);
            for (int k = znumber; k >= 2; --k)
                std::fprintf(fp, "%lf %e\n", at_point(c, [k](int i, int j) { return segment_middle(i, j, k); }),
                             at_point(c, [&](int i, int j) { return node_value(i, j, k, cell(conc[l])); }));
        }
        break;
    case 4:
        std::fprintf(fp, "M %lf %lf %lf %lf %lf %lf\n", p.x, p.y, at_point(c, [](int i, int j) { return zval[i][j][znumber]; }),
                     at_point(c, [](int i, int j) { return zval[i][j][znumber] - zval[i][j][1]; }),
                     at_point(c, [&](int i, int j) { return depth_mean(i, j, cell(xvel)); }),
                     at_point(c, [&](int i, int j) { return depth_mean(i, j, cell(yvel)); }));
        break;
    default: break;
    }
}

}  // namespace

void write_interres()
{
    Boogie log;
    log.require(-3);
    if (InterpolNo < 0) read_points(log);
    std::FILE* fp = std::fopen(PointReportName, InterresStarted ? "a" : "w");
    if (!fp) {
        set_status(mc_message, "cannot open file 'interres' ");
        end_run(-3);
    }
    InterresStarted = true;
    std::fprintf(fp, "T %lf\n", stime);
    for (int n = 0; n < InterpolNo; ++n) {
        InterpolPoint& p = Interpol[n];
        if (p.time > 0.001 && std::fabs(p.time - stime) > TimeWindow) continue;
        const std::optional<Corners> c = locate(p.x, p.y);
        if (!c) {
            std::fprintf(fp, "M %lf %lf not inside geometry\n", p.x, p.y);
            if (!p.outside_logged) log.print("Point report: the point %lf %lf of 'interpol' lies outside the grid\n", p.x, p.y);
            p.outside_logged = true;
            continue;
        }
        report_point(fp, p, *c, log);
    }
    const bool failed = std::ferror(fp) != 0;
    if (std::fclose(fp) != 0 || failed) {
        log.print("Error writing file 'interres'\n");
        set_status(mc_message, "cannot write file 'interres' ");
        end_run(-3);
    }
    account_file(PointReportName);
}

}  // namespace zefra
