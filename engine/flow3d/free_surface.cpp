// The steady free surface: the flow is computed under the surface as under a
// lid, and the lid is then moved to where its pressure would be hydrostatic.
//
// The pressure of the solver holds no weight of water (except with F 36 3):
// it is the piezometric pressure p + rho g z plus an unknown constant.  On a
// free surface the true pressure is the same everywhere, so p / (rho g) - z
// must be the same at every surface node; the level error of a node is its
// departure from the value at the reference node of G 6:
//
//      e = (p - p_ref) / (rho g) - (z - z_ref)
//
// With F 36 3 the solver carries the weight of the water itself and p is the
// pressure, so e = (p - p_ref) / (rho g).  Each call moves every node by the
// relaxed error (the reference node therefore stays put), stretches its
// column, rebuilds the geometry and keeps the discharges at both ends.
// Called by the outer iteration every IterSurface iterations once the
// residuals are small enough (F 36 0), or after every iteration (F 36 2, 3);
// by the depth-averaged solver with the pressure and speed of its columns.
#include "engine/flow3d/free_surface.h"

#include <algorithm>
#include <cmath>

#include "engine/common/arith.h"
#include "engine/common/boogie.h"
#include "engine/common/physics.h"
#include "engine/flow3d/boundary_values.h"
#include "engine/flow3d/face_fluxes.h"
#include "engine/flow3d/surface_moves.h"
#include "engine/grid/metric.h"
#include "engine/grid/multiblock.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"

namespace zefra {

namespace {

constexpr double InverseRhoG = 0.000101937;  // 1 / (1000 * 9.81), m per Pa

// Nodes whose water moves faster than this (squared speed, m2/s2) move by at
// most a small share of their depth per call: there a level change alters the
// velocity head enough to make the next pressure overshoot.
constexpr double FastNodeSpeed2 = 0.1;
constexpr double FastNodeShare = 0.02;

// Pressure at the surface above every top cell: the straight line through
// the centres of the two top cells, carried up by the top cell's half
// height.  With pressure regression (F 143) the solver's running mean of the
// top pressure stands in for it.  A column of the depth-averaged solver has
// one pressure over its whole depth.
NodeGrid surface_pressures(Layers layers)
{
    NodeGrid p;
    const int z = znumber;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (layers.column()) {
                p(i, j) = Pres[i][j][0];
                continue;
            }
            if (PresRegres > 0) {
                p(i, j) = Pres[i][j][z + 1];
                continue;
            }
            const double top = Pres[i][j][z];
            if (z < 3) {
                p(i, j) = top;
                continue;
            }
            const double h = m_dist_z[i][j][z], below = m_dist_z[i][j][z - 1];
            p(i, j) = top + (top - Pres[i][j][z - 1]) * h / (h + below + 1e-30);
            Pres[i][j][z + 1] = p(i, j);
        }
    if (SurfSmoothFlag == 1) {
        const NodeGrid raw = p;
        for (int i = 3; i <= xnumber - 1; ++i)
            for (int j = 3; j <= ynumber - 1; ++j)
                p(i, j) = (1.0 - SurfSmoothVal) * raw(i, j) + SurfSmoothVal * 0.25 * (raw(i - 1, j) + raw(i + 1, j) + raw(i, j - 1) + raw(i, j + 1));
    }
    return p;
}

// Node values: the mean surface pressure and the squared mean horizontal
// velocity of the open top cells around each node; `cells` counts them.
struct NodeValues {
    NodeGrid pressure, speed2, cells;
};

NodeValues node_values(const NodeGrid& cell_pressure, Layers layers)
{
    NodeValues n;
    NodeGrid u, v;
    const int z = layers.column() ? 0 : znumber;  // the top cell, or the column
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (!open_top_cell(i, j)) continue;
            const CellCorners c = cell_corners(i, j);
            for (int a = 0; a < 2; ++a)
                for (int b = 0; b < 2; ++b) {
                    const int ni = c.i[a][b], nj = c.j[a][b];
                    n.pressure(ni, nj) += cell_pressure(i, j);
                    u(ni, nj) += xvel[i][j][z];
                    v(ni, nj) += yvel[i][j][z];
                    n.cells(ni, nj) += 1.0;
                }
        }
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) {
            const double count = n.cells(i, j);
            if (count < 1.0) {
                Surfaces[5][i][j] = Surfaces[4][i][j] = 0.0;
                continue;
            }
            n.pressure(i, j) /= count;
            const double mu = u(i, j) / count, mv = v(i, j) / count;
            n.speed2(i, j) = mu * mu + mv * mv;
            Surfaces[5][i][j] = n.pressure(i, j);
            Surfaces[4][i][j] = n.speed2(i, j);
        }
    return n;
}

struct Reference {
    int i, j;
};

// The G 6 node (the middle of the outflow line when none is given), held to
// the nodes that get a surface pressure.
Reference reference_node(Boogie& log)
{
    if (iSurf == 0) return {xnumber, std::max(ynumber / 2, 1)};
    const Reference r{std::clamp(iSurf, 1, xnumber), std::clamp(jSurf, 1, ynumber)};
    if (r.i != iSurf || r.j != jSurf)
        log.print("Reference node (%d,%d) of G 6 lies outside the surface nodes: (%d,%d) is used\n", iSurf, jSurf, r.i, r.j);
    return r;
}

// Least depth a node keeps: F 23, else 3 % of the mean half cell length along
// the middle grid line.
double minimum_depth()
{
    if (FillCriteria >= 1e-5) return FillCriteria;
    const int jm = std::max(ynumber / 2, 2);
    double sum = 0.0;
    for (int i = 2; i <= xnumber; ++i) sum += m_dist_x[i][jm][0];
    return 0.03 * sum / std::max(xnumber - 1, 1);
}

}  // namespace

void move_surface(Layers layers)
{
    Boogie log;
    log.require(-3);
    if (FlagTFS == 2 && TimeStep > TransientTimeStepLimit && FlagTSC == 0) stime += TimeStep;
    const int z = znumber;

    const NodeValues nodes = node_values(surface_pressures(layers), layers);
    const Reference ref = reference_node(log);
    const double z_ref = zval[ref.i][ref.j][z], p_ref = nodes.pressure(ref.i, ref.j);
    const bool weight_in_pressure = FlagTFS == 3 && !layers.column();  // the columns carry no weight of water

    // Level errors, and their mean share of the depth as the measure of convergence.
    NodeGrid error;
    double measure = 0.0;
    int counted = 0;
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) {
            if (nodes.cells(i, j) < 1.0) continue;
            double e = (nodes.pressure(i, j) - p_ref) * InverseRhoG;
            if (!weight_in_pressure) e -= zval[i][j][z] - z_ref;
            error(i, j) = e;
            measure += std::fabs(e) / std::max(node_depth(i, j), 1e-10);
            ++counted;
        }
    measure /= std::max(counted, 1);
    if (measure < SurfaceConvergenceCrit) {
        log.print("Surface not updated, Convergence = %lf\n", measure);
        return;
    }

    // The move: relaxed, limited where the water is fast, never below the least depth.
    const EndFluxes before = end_fluxes(layers);
    const NodeGrid held = roof_nodes();
    const double least = minimum_depth();
    int floored = 0, floor_i = 0, floor_j = 0;
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) {
            if (nodes.cells(i, j) < 1.0 || held(i, j) > 0.0) continue;
            const double depth = node_depth(i, j);
            double rise = RelaxSurface * error(i, j);
            if (nodes.speed2(i, j) > FastNodeSpeed2) rise = std::clamp(rise, -FastNodeShare * depth, FastNodeShare * depth);
            if (depth + rise < least) {
                rise = least - depth;
                if (floored++ == 0) floor_i = i, floor_j = j;
            }
            relevel_column(i, j, rise);
        }
    if (floored > 0) log.print("Surface held at the minimum depth %lf m in %d nodes, first (%d,%d)\n", least, floored, floor_i, floor_j);
    copy_end_levels();
    metric();
    smetric();

    const EndScaling ends = keep_end_discharges(before, log, layers);
    boundary_values(layers);
    face_fluxes(layers);
    FlagGridChange = 1;
    if (FlagPrint == 0) {
        log.print("Inflow ratio change for outflow = %lf\n", ends.out_ratio);
        log.print("Flux1o = %e, Flux1 = %e, Flux2 = %e\n", before.in, ends.after.in, ends.after.out);
        log.print("Convergence = %lf\n", measure);
    }
}

void surface()
{
    move_surface(water_layers());
}

}  // namespace zefra
