// The transient free surface (F 36 1): the surface of each top cell rises by
// the net volume that flows into the cell over the time step, divided by its
// plan area.  The solver holds the pressure correction of the top cells at
// zero and lets no water through the surface, so the mass defect of a top
// cell is exactly its net inflow.
//
// The rise of a cell is shared out to its four corner nodes, a node taking
// the plan-area weighted mean of the shares of the open cells around it.
// Since a cell's volume is its plan area times the mean height of its
// corners, the volume the grid gains equals the volume that flowed in, at
// walls and edges as well.  With F 58 (Froude-forward weights, the default)
// the downstream corners of a cell take the larger shares, in proportion to
// the cell's Froude number along each grid direction; the share F 58 calls
// the diffusion ratio is always spread evenly.
// Called by the outer iteration at the end of every time step.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/common/boogie.h"
#include "engine/common/physics.h"
#include "engine/common/run_exit.h"
#include "engine/flow3d/boundary_values.h"
#include "engine/flow3d/face_fluxes.h"
#include "engine/flow3d/free_surface.h"
#include "engine/flow3d/surface_moves.h"
#include "engine/grid/metric.h"
#include "engine/grid/multiblock.h"
#include "engine/startup/flow_startup.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"

namespace zefra {

namespace {

constexpr const char* SurfaceLogFile = "surflog";

// Net mass flux (kg/s) into top cell (i, j): through its four sides and its
// bottom face.  A side block's first-row cell takes its low-i inflow from the
// main block's J-face it is joined to; a block ends at its joint line.
double net_inflow(int i, int j)
{
    const int z = znumber;
    double low_i = flow1[i - 1][j][z], high_i = flow1[i][j][z];
    if (MBNo > 0) {
        if (const JointCell main = joint_low_i(i, j)) low_i = main.j == 2 ? -flow2[main.i][1][z] : flow2[main.i][ynumber][z];
        if (ISkjotMB[i] == 1) high_i = 0.0;
    }
    return low_i - high_i + flow2[i][j - 1][z] - flow2[i][j][z] + flow3[i][j][z - 1] - flow3[i][j][z];
}

// Shares of a cell's rise for its corners [low i, high i][low j, high j].
struct Shares {
    double w[2][2];
};

Shares corner_shares(int i, int j)
{
    Shares s{{{0.25, 0.25}, {0.25, 0.25}}};
    if (TFSfroudeforward != 1) return s;
    const int z = znumber;
    const double celerity = std::sqrt(Gravity * std::max(2.0 * m_dist_z[i][j][0], 1e-10));
    const double spread = std::clamp(TFSdiffratio, 0.0, 1.0);
    // Froude number along a grid direction (dx, dy), held to [-1, 1].
    auto froude = [&](double dx, double dy) {
        const double l = std::hypot(dx, dy);
        if (l < 1e-20) return 0.0;
        const double u = (xvel[i][j][z] * dx + yvel[i][j][z] * dy) / l;
        return std::clamp(u / celerity, -1.0, 1.0) * (1.0 - spread);
    };
    const double along_i = froude(dx1[i][j], dy1[i][j]), along_j = froude(dx2[i][j], dy2[i][j]);
    const double wi[2] = {0.5 * (1.0 - along_i), 0.5 * (1.0 + along_i)};
    const double wj[2] = {0.5 * (1.0 - along_j), 0.5 * (1.0 + along_j)};
    for (int a = 0; a < 2; ++a)
        for (int b = 0; b < 2; ++b) s.w[a][b] = wi[a] * wj[b];
    return s;
}

// Nodes the surface may not move: the corners of roofed top cells, unless
// F 58 lets walls move.
NodeGrid held_nodes()
{
    if (TFSmovewall == 1) return NodeGrid();
    return roof_nodes();
}

// Rise of every surface node over this time step; the top-cell vertical
// velocity is relaxed towards the surface velocity on the way.
NodeGrid node_rises()
{
    const int z = znumber;
    const NodeGrid held = held_nodes();
    NodeGrid weighted, area;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (!open_top_cell(i, j)) continue;
            const double plan = m_armap[i][j];
            const double inflow = net_inflow(i, j);
            const double w_surface = inflow / (WaterDensity * plan);
            // Share of the surface velocity in the new top-cell velocity; it is
            // held to [0, 1], as the ratio grows without bound when the net
            // inflow vanishes.
            const double weight = std::clamp(TFStopvelocity * std::fabs(flow3[i][j][z - 1]) / (inflow + 1e-10), 0.0, 1.0);
            zvel[i][j][z] = weight * w_surface + (1.0 - weight) * zvel[i][j][z];

            const CellCorners c = cell_corners(i, j);
            Shares s = corner_shares(i, j);
            double free_share = 0.0;
            for (int a = 0; a < 2; ++a)
                for (int b = 0; b < 2; ++b) {
                    area(c.i[a][b], c.j[a][b]) += plan;
                    if (held(c.i[a][b], c.j[a][b]) > 0.0) s.w[a][b] = 0.0;
                    free_share += s.w[a][b];
                }
            if (free_share <= 0.0) continue;
            const double rise = w_surface * TimeStep;
            for (int a = 0; a < 2; ++a)
                for (int b = 0; b < 2; ++b) weighted(c.i[a][b], c.j[a][b]) += 4.0 * s.w[a][b] / free_share * plan * rise;
        }
    NodeGrid rise;
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j)
            if (area(i, j) > 0.0) rise(i, j) = weighted(i, j) / area(i, j);
    return rise;
}

void write_surface_log(Boogie& log)
{
    std::FILE* fp = std::fopen(SurfaceLogFile, Iter == 1 ? "w" : "a");
    if (!fp) {
        log.print("Cannot open file 'surflog'\n");
        log.close();
        end_run(-3);
    }
    const int z = znumber, line = std::max(xnumber / 2, 1), middle = std::max(ynumber / 2, 1);
    for (int j = 1; j <= ynumber; ++j) std::fprintf(fp, "WL(%d,%d) = %e\n", line, j, zval[line][j][z]);
    for (int i = 1; i <= xnumber; ++i) std::fprintf(fp, "WL(%d,%d) = %e\n", i, middle, zval[i][middle][z]);
    std::fclose(fp);
}

}  // namespace

void surface_tfs()
{
    Boogie log;
    log.require(-3);
    if (FlagTSC == 0) stime += TimeStep;

    const NodeGrid rise = node_rises();
    const EndFluxes before = end_fluxes();
    const double least = std::max(TFSminDepth, 1e-6);
    int floored = 0, floor_i = 0, floor_j = 0;
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) {
            const double depth = node_depth(i, j);
            double r = rise(i, j);
            if (depth + r < least && r < 0.0) {
                r = std::min(least - depth, 0.0);
                if (floored++ == 0) floor_i = i, floor_j = j;
            }
            if (r != 0.0) relevel_column(i, j, r);
        }
    if (floored > 0) log.print("Surface held at the minimum depth %lf m in %d nodes, first (%d,%d)\n", least, floored, floor_i, floor_j);
    copy_end_levels();
    metric();
    smetric();
    startup();
    keep_end_discharges(before, log);
    boundary();
    waterflow();
    FlagGridChange = 1;
    write_surface_log(log);
}

}  // namespace zefra
