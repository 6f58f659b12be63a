// Bed level change.  Each water column's change is shared among its four
// grid corners by plan area, so that the volume between old and new bed is
// the column's change times its plan area; erosion stops at the
// non-erodible surface (Surfaces[3]) and what is left goes to the other
// corners.  The vertical levels of a moved corner keep their relative places
// between the new bed and the top level that moves with it.  Then slopes
// steeper than the angle of repose avalanche, the bed may be smoothed, the
// pressure follows the moved cells of a transient free surface, steady runs
// log the change to `loggfil`, and the geometry is rebuilt; the ends of the
// grid keep their discharges and the face fluxes follow the new grid.
//
// A node's level 0 is its bed, level 1 the lowest grid level: the two part
// only when the bed rises to within TSCMinDepth of the top.
#include "engine/sediment/bed_change.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/common/boogie.h"
#include "engine/common/output_file.h"
#include "engine/common/physics.h"
#include "engine/common/run_account.h"
#include "engine/common/status.h"
#include "engine/flow2d/column_kernels.h"
#include "engine/flow3d/boundary_values.h"
#include "engine/flow3d/face_fluxes.h"
#include "engine/flow3d/surface_moves.h"
#include "engine/grid/columns.h"
#include "engine/grid/metric.h"
#include "engine/grid/multiblock.h"
#include "engine/input/grid_file.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_plugins.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"

namespace zefra {

namespace {

constexpr double RestTolerance = 1e-10;  // m of column change that erosion may leave unplaced
constexpr int MaxShareIterations = 1000;
constexpr int PlaneAvalanche = 200;      // F 56: the plane method instead of corner pairs
constexpr int MaxPairPasses = 99;
constexpr double BedformLengthPerDepth = 7.3;

// Values per grid node (i = 0 ... x+1, j = 0 ... y+1).
class NodeValues {
public:
    NodeValues() : v_(static_cast<std::size_t>(xnumber + 2) * (ynumber + 2), 0.0) {}
    double& operator[](NodeIndex n) { return v_[static_cast<std::size_t>(n.i) * (ynumber + 2) + n.j]; }

private:
    std::vector<double> v_;
};

bool water_column(int i, int j)
{
    return OBlok[i][j][2] != 0;
}

// The highest level that moves with the bed: the lower fixed level of G 23,
// or the top.
int moving_top(NodeIndex n)
{
    if (NoLowFixLev > 0 && LowerFixedLevel) return std::clamp(LowerFixedLevel[n.i][n.j], 2, znumber);
    return znumber;
}

// Levels 1 ... K-1 of a node re-spaced between its bed (level 0) and level
// K, keeping their relative places; the depth never falls below TSCMinDepth.
void respace(NodeIndex n)
{
    double* z = zval[n.i][n.j].data();
    const int K = moving_top(n);
    const double top = z[K], depth = std::max(top - z[0], TSCMinDepth), span = top - z[1];
    for (int k = 1; k < K; ++k) {
        if (span > 1e-12)
            z[k] = top - (top - z[k]) * depth / span;
        else
            z[k] = top - depth * (K - k) / (K - 1.0);
    }
}

void move_node(NodeIndex n, double m)
{
    zval[n.i][n.j][0] += m;
    Surfaces[1][n.i][n.j] += m;
    respace(n);
}

// What a node may still lose before it reaches the non-erodible surface.
double erodible(NodeIndex n)
{
    return std::max(0.0, zval[n.i][n.j][0] - Surfaces[3][n.i][n.j]);
}

double distance(NodeIndex a, NodeIndex b)
{
    return std::hypot(xval[a.i][a.j] - xval[b.i][b.j], yval[a.i][a.j] - yval[b.i][b.j]);
}

struct Corner {
    NodeIndex node;
    double share;
};

// The plan area of the water columns around every node.
NodeValues water_area_at_nodes()
{
    NodeValues area;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (!water_column(i, j)) continue;
            for (int di = 0; di <= 1; ++di)
                for (int dj = 0; dj <= 1; ++dj) area[cell_corner(i, j, di, dj)] += m_armap[i][j];
        }
    return area;
}

// Moves the four corners of column (i, j) for its change `delta`.  Corner c
// takes the share w_c = A / (water area around c) of the change; a move m_c
// then changes the volume by m_c A / (4 w_c), so the column's volume is
// placed when sum m_c / (4 w_c) = delta.  Erosion caps each corner at the
// non-erodible surface and gives the rest to the others.
void place_change(Boogie& log, NodeValues& area, int i, int j, double delta)
{
    Corner c[4];
    int n = 0;
    for (int di = 0; di <= 1; ++di)
        for (int dj = 0; dj <= 1; ++dj) {
            const NodeIndex node = cell_corner(i, j, di, dj);
            c[n++] = {node, m_armap[i][j] / area[node]};
        }
    double m[4] = {0.0, 0.0, 0.0, 0.0};
    if (delta >= 0.0) {
        for (int a = 0; a < 4; ++a) m[a] = c[a].share * delta;
    } else {
        double limit[4];
        for (int a = 0; a < 4; ++a) limit[a] = erodible(c[a].node);
        double rest = delta;
        for (int it = 0; it < MaxShareIterations && std::fabs(rest) >= RestTolerance; ++it) {
            double placed = 0.0;
            for (int a = 0; a < 4; ++a) {
                m[a] = std::max(m[a] + c[a].share * rest, -limit[a]);
                placed += m[a] / (4.0 * c[a].share);
            }
            rest = delta - placed;
        }
        if (std::fabs(rest) >= RestTolerance) {
            log.print("Error in bed change, i,j,rest = %d %d %lf\n", i, j, rest);
            for (int a = 0; a < 4; ++a) log.print("move, factor, minmove = %lf %lf %lf\n", m[a], c[a].share, -limit[a]);
        }
    }
    for (int a = 0; a < 4; ++a)
        if (m[a] != 0.0) move_node(c[a].node, m[a]);
}

// Neighbouring node pairs of the water columns: first those along i, then
// those along j (across a block joint, the main block's edge nodes).
struct Pair {
    NodeIndex a, b;
    double length;
};

std::vector<Pair> node_pairs()
{
    std::vector<Pair> along_i, along_j;
    std::set<std::pair<long, long>> seen;
    auto key = [](NodeIndex n) { return static_cast<long>(n.i) * (ynumber + 2) + n.j; };
    auto add = [&](std::vector<Pair>& list, NodeIndex a, NodeIndex b) {
        const long ka = key(a), kb = key(b);
        if (seen.insert({std::min(ka, kb), std::max(ka, kb)}).second) list.push_back({a, b, distance(a, b)});
    };
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (!water_column(i, j)) continue;
            for (int d = 0; d <= 1; ++d) {
                add(along_i, cell_corner(i, j, 0, d), cell_corner(i, j, 1, d));
                add(along_j, cell_corner(i, j, d, 0), cell_corner(i, j, d, 1));
            }
        }
    along_i.insert(along_i.end(), along_j.begin(), along_j.end());
    return along_i;
}

// Exchanges sediment between two nodes: the higher loses `drop`, the lower
// gains the same volume (water areas A around each node).  The higher node
// loses no more than it holds above the non-erodible surface.
void exchange(NodeValues& area, NodeIndex high, NodeIndex low, double drop)
{
    const double a_high = area[high], a_low = area[low];
    drop = std::min(drop, erodible(high));
    if (drop <= 0.0 || a_low <= 0.0) return;
    move_node(high, -drop);
    move_node(low, drop * a_high / a_low);
}

// Corner pairs whose level difference exceeds AngleAvalanche times their
// distance are brought to that slope, the two moves in inverse proportion to
// the water areas around them, so the volume is kept.
void avalanche_pairs(NodeValues& area, const std::vector<Pair>& pairs)
{
    const int passes = std::min(IterAvalanche, MaxPairPasses);
    for (int pass = 0; pass < passes; ++pass)
        for (const Pair& p : pairs) {
            const double dz = zval[p.a.i][p.a.j][0] - zval[p.b.i][p.b.j][0];
            const double excess = std::fabs(dz) - AngleAvalanche * p.length;
            if (excess <= 0.0) continue;
            const NodeIndex high = dz > 0.0 ? p.a : p.b, low = dz > 0.0 ? p.b : p.a;
            const double a_high = area[high], a_low = area[low];
            if (a_high + a_low <= 0.0) continue;
            exchange(area, high, low, excess * a_low / (a_high + a_low));
        }
}

// Unit normal of the bed of column (i, j) as it stands (the geometry is not
// rebuilt yet), from the diagonals of its corners, pointing upwards.
struct BedNormal {
    double x, y, z;
};

BedNormal bed_normal(int i, int j)
{
    const NodeIndex sw = cell_corner(i, j, 0, 0), se = cell_corner(i, j, 1, 0), nw = cell_corner(i, j, 0, 1), ne = cell_corner(i, j, 1, 1);
    const double d1[3] = {xval[ne.i][ne.j] - xval[sw.i][sw.j], yval[ne.i][ne.j] - yval[sw.i][sw.j], zval[ne.i][ne.j][0] - zval[sw.i][sw.j][0]};
    const double d2[3] = {xval[se.i][se.j] - xval[nw.i][nw.j], yval[se.i][se.j] - yval[nw.i][nw.j], zval[se.i][se.j][0] - zval[nw.i][nw.j][0]};
    const double n[3] = {d2[1] * d1[2] - d2[2] * d1[1], d2[2] * d1[0] - d2[0] * d1[2], d2[0] * d1[1] - d2[1] * d1[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) + 1e-30;
    return {n[0] / length, n[1] / length, n[2] / length};
}

// The plane method: a column whose bed is steeper than the limit gets its
// corners on the plane through their mean level with the limiting slope, in
// the direction its bed falls; then every node's levels are laid out by the
// vertical distribution of G 3.
void avalanche_planes()
{
    const double steepest = std::cos(std::atan(AngleAvalanche));
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (!water_column(i, j)) continue;
            const BedNormal normal = bed_normal(i, j);
            if (normal.z >= steepest) continue;
            const double horizontal = std::hypot(normal.x, normal.y);
            const double dx = normal.x / horizontal, dy = normal.y / horizontal;  // the direction the bed falls
            const double xc = corner_mean(i, j, [](int a, int b) { return xval[a][b]; });
            const double yc = corner_mean(i, j, [](int a, int b) { return yval[a][b]; });
            const double zc = corner_mean(i, j, [](int a, int b) { return zval[a][b][0]; });
            for (int di = 0; di <= 1; ++di)
                for (int dj = 0; dj <= 1; ++dj) {
                    const NodeIndex n = cell_corner(i, j, di, dj);
                    const double plane = zc - AngleAvalanche * ((xval[n.i][n.j] - xc) * dx + (yval[n.i][n.j] - yc) * dy);
                    move_node(n, std::max(plane, Surfaces[3][n.i][n.j]) - zval[n.i][n.j][0]);
                }
        }
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) {
            double* z = zval[i][j].data();
            const int K = moving_top({i, j});
            const double share = zdistrib[K] > 0.0 ? 100.0 / zdistrib[K] : 1.0;
            for (int k = 2; k < K; ++k) z[k] = z[1] + 0.01 * zdistrib[k] * share * (z[K] - z[1]);
        }
}

// Bed smoothing (F 144): neighbouring nodes exchange sediment towards a
// common level.  Bed-cell water travels one bedform length (7.3 depths) in
// L / u; over the step (at least 20 time steps of a transient run for that
// travel) the nodes relax towards each other by ParamBedSmooth times that
// fraction, at most a quarter of their difference per pair; differences up
// to the bedform height are smoothed in full, larger ones only by that
// height.  Volume is kept as in the avalanche.
void smooth_bed(NodeValues& area, const std::vector<Pair>& pairs)
{
    const double step = FlagTSC == 0 ? stime : TimeStep;
    NodeValues rate, weight, height;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (!water_column(i, j)) continue;
            const double speed = std::hypot(xvel[i][j][2], yvel[i][j][2]);
            const double travel = std::max(BedformLengthPerDepth * column_depth(i, j) / (speed + 1e-20), 20.0 * TimeStep);
            const double relax = std::min(1.0, ParamBedSmooth * step / travel);
            for (int di = 0; di <= 1; ++di)
                for (int dj = 0; dj <= 1; ++dj) {
                    const NodeIndex n = cell_corner(i, j, di, dj);
                    rate[n] += relax * m_armap[i][j];
                    height[n] += Bedformheight[i][j] * m_armap[i][j];
                    weight[n] += m_armap[i][j];
                }
        }
    for (const Pair& p : pairs) {
        if (weight[p.a] <= 0.0 || weight[p.b] <= 0.0) continue;
        const double relax = std::min(rate[p.a] / weight[p.a], rate[p.b] / weight[p.b]);
        const double bedform = std::min(height[p.a] / weight[p.a], height[p.b] / weight[p.b]);
        double dz = zval[p.a.i][p.a.j][0] - zval[p.b.i][p.b.j][0];
        if (bedform > 0.0) dz = std::clamp(dz, -bedform, bedform);
        const NodeIndex high = dz > 0.0 ? p.a : p.b, low = dz > 0.0 ? p.b : p.a;
        const double a_high = area[high], a_low = area[low];
        exchange(area, high, low, 0.25 * relax * std::fabs(dz) * a_low / (a_high + a_low));
    }
}

// Transient free surface: the re-spacing raised the centre of each cell by
// the change times its depth below the top over the column depth; its
// hydrostatic pressure drops by rho g times that rise.
void adjust_pressure()
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double delta = bedlevchange[0][i][j], depth = 2.0 * m_dist_z[i][j][0];
            if (delta == 0.0 || depth <= 0.0) continue;
            double below_top = m_dist_z[i][j][znumber];
            for (int k = znumber; k >= 2; --k) {
                Pres[i][j][k] -= WaterDensity * Gravity * delta * below_top / depth;
                below_top += m_dist_z[i][j][k] + m_dist_z[i][j][k - 1];
            }
        }
}

// Appends this step's changes to `loggfil` as a block that the start-up of a
// later run reads back from `loggfil.pre`.  The blocks written before are
// copied, so the file is never left half written.
bool log_bed_change()
{
    std::string earlier;
    if (std::FILE* in = std::fopen(BedChangeFile, "rb")) {
        char buffer[65536];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, in)) > 0;) earlier.append(buffer, got);
        std::fclose(in);
    }
    OutputFile out(BedChangeFile);
    if (!out.is_open()) return false;
    std::FILE* fp = out.get();
    std::fwrite(earlier.data(), 1, earlier.size(), fp);
    std::fprintf(fp, "T  %lf seconds\n\n", stime);
    const int sizes = std::min(lnumber, SizeCapacity - 1);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            std::fprintf(fp, "a %4d %4d %9.6lf ", i, j, bedlevchange[0][i][j]);
            for (int l = 1; l <= sizes; ++l) std::fprintf(fp, "%5.3lf ", bedgrain[l][i][j]);
            std::fputc('\n', fp);
        }
    std::fputs("\n\n", fp);
    out.commit();
    account_file(BedChangeFile);
    return true;
}

// The largest bed move of any node since `before`.
double largest_move(const std::vector<double>& before)
{
    double largest = 0.0;
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j)
            largest = std::max(largest, std::fabs(zval[i][j][0] - before[static_cast<std::size_t>(i) * (ynumber + 2) + j]));
    return largest;
}

}  // namespace

void default_minimum_depth()
{
    if (TSCMinDepth > 0.0) return;
    const int jm = ynumber / 2 + 1;
    double sum = 0.0;
    for (int i = 2; i <= xnumber; ++i) sum += m_dist_x[i][jm][znumber];
    TSCMinDepth = 0.03 * sum / xnumber;
}

void bedchange()
{
    Boogie log;
    log.require(-3);
    default_minimum_depth();
    std::vector<double> before(static_cast<std::size_t>(xnumber + 2) * (ynumber + 2));
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) before[static_cast<std::size_t>(i) * (ynumber + 2) + j] = zval[i][j][0];

    NodeValues area = water_area_at_nodes();
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            if (water_column(i, j) && bedlevchange[0][i][j] != 0.0) place_change(log, area, i, j, bedlevchange[0][i][j]);

    const std::vector<Pair> pairs = node_pairs();
    if (FlagSlideDLL == 0) {
        if (IterAvalanche == PlaneAvalanche)
            avalanche_planes();
        else if (IterAvalanche >= 1 && IterAvalanche <= MaxPairPasses)
            avalanche_pairs(area, pairs);
    }
    if (FlagBedSmooth >= 1 && xnumber > 2) smooth_bed(area, pairs);
    if (FlagTSC == 1 && FlagTFS == 1) adjust_pressure();

    // The grid has moved: its geometry is rebuilt whatever happens to the log file.
    const bool logged = FlagTSC != 0 || log_bed_change();
    if (!logged) {
        set_status(mc_message, "cannot open file 'loggfil' ");
        log.print("Error: cannot open file 'loggfil': the bed change of this step is not stored there\n");
        account_warning("the bed change could not be written to loggfil");
    }
    // The ends keep their discharges on the changed face areas, and a flow
    // that exists gets the boundary values and face fluxes of the new grid.
    const Layers layers = Flag2Dim != 0 ? ColumnLayer : water_layers();
    const EndFluxes ends = end_fluxes(layers);
    metric();
    smetric();
    keep_end_discharges(ends, log, layers);
    log.close();
    if (FlagInitialized == 1) {
        if (Flag2Dim != 0) {
            boundary2D();
            waterflow2D();
        } else {
            boundary();
            waterflow();
        }
    }
    if (FlagTSC == 0) {
        writekoor();
        account_step("B moved the bed by at most %.3g m", largest_move(before));
    }
}

}  // namespace zefra
