// Shared steps of the steady and the transient free surface: which top cells
// meet at a surface node, how a node column follows its top node, and how the
// discharges at the ends of the grid are kept when the surface moves.
//
//   node (i-1, j)     node (i, j)
//        +-------------+          top cell (i, j) lies between node lines
//        | cell (i, j) |          i-1 ... i and j-1 ... j; its four corner
//        +-------------+          nodes are the surface nodes it moves
//   node (i-1, j-1)   node (i, j-1)
//
// A side block's first-row cell is joined to the main block's edge: its low-i
// corners are the main block's edge nodes, not the nodes of the line before it.
#include "engine/flow3d/surface_moves.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/common/arith.h"
#include "engine/common/physics.h"
#include "engine/grid/multiblock.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_tables.h"

namespace zefra {

NodeGrid::NodeGrid() : stride_(static_cast<std::size_t>(ynumber) + 2), v_((static_cast<std::size_t>(xnumber) + 2) * stride_, 0.0) {}

CellCorners cell_corners(int i, int j)
{
    CellCorners c{{{i - 1, i - 1}, {i, i}}, {{j - 1, j}, {j - 1, j}}};
    if (MBNo < 1) return c;
    const int main_i = Pi1MultiBlock[i][j][0], edge = Pi1MultiBlock[i][j][1];
    if (main_i == 0) return c;
    // South edge: (i-1, j) is main node (main_i, 1), (i-1, j-1) is (main_i - 1, 1).
    // North edge: (i-1, j) is (main_i - 1, ynumber), (i-1, j-1) is (main_i, ynumber).
    const bool south = edge == 2;
    const int row = south ? 1 : ynumber;
    c.i[0][1] = south ? main_i : main_i - 1;
    c.i[0][0] = south ? main_i - 1 : main_i;
    c.j[0][0] = c.j[0][1] = row;
    return c;
}

bool open_top_cell(int i, int j)
{
    return i >= 2 && i <= xnumber && j >= 2 && j <= ynumber && OBlok[i][j][znumber] != 0;
}

bool roofed_top_cell(int i, int j)
{
    return open_top_cell(i, j) && WallK[i][j][znumber] == -1;
}

NodeGrid roof_nodes()
{
    NodeGrid held;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (!roofed_top_cell(i, j)) continue;
            const CellCorners c = cell_corners(i, j);
            for (int a = 0; a < 2; ++a)
                for (int b = 0; b < 2; ++b) held(c.i[a][b], c.j[a][b]) = 1.0;
        }
    return held;
}

namespace {

// Lowest node of column (i, j) that moves with the surface.
int lowest_moving_node(int i, int j)
{
    if (NoLowFixLev > 0 && LowerFixedLevel) {
        const int k = LowerFixedLevel[i][j];
        if (k >= 1 && k < znumber) return k;
    }
    return 1;
}

}  // namespace

double node_depth(int i, int j)
{
    return zval[i][j][znumber] - zval[i][j][lowest_moving_node(i, j)];
}

void relevel_column(int i, int j, double rise)
{
    const int base = lowest_moving_node(i, j), z = znumber;
    const double bottom = zval[i][j][base], depth = zval[i][j][z] - bottom;
    if (depth > 1e-12) {
        for (int k = base + 1; k <= z; ++k) zval[i][j][k] += (zval[i][j][k] - bottom) * rise / depth;
    } else {
        // A column without height cannot be stretched: spread its nodes evenly.
        for (int k = base + 1; k <= z; ++k) zval[i][j][k] = bottom + (depth + rise) * (k - base) / (z - base);
    }
}

void copy_end_levels()
{
    for (int j = 0; j <= ynumber + 1; ++j)
        for (int k = 0; k <= znumber; ++k) {
            zval[0][j][k] = zval[1][j][k];
            zval[xnumber + 1][j][k] = zval[xnumber][j][k];
        }
}

EndFluxes end_fluxes(Layers layers)
{
    EndFluxes e;
    const int x = xnumber;
    for (int j = 2; j <= ynumber; ++j)
        for (int k = layers.first; k <= layers.last; ++k) {
            e.in += WaterDensity * m_ar_x[1][j][k] * (xvel[1][j][k] * m_vec_x[1][j][0] + yvel[1][j][k] * m_vec_x[1][j][1]);
            e.out += WaterDensity * m_ar_x[x][j][k] * (xvel[x + 1][j][k] * m_vec_x[x][j][0] + yvel[x + 1][j][k] * m_vec_x[x][j][1]);
        }
    return e;
}

namespace {

// Discharges (m3/s) of the inflow (column 0) and the outflow (column 1) of
// the stored time series at the present time; false when none is stored.  The
// row is held inside the table and the time weight inside [0, 1], so that
// times before the first or after the last row take that row's values.
bool series_discharges(double& inflow, double& outflow)
{
    if (TimeInNo < 1 || FlagDischargeTime != 0 || !TimeInTime || !QDinn) return false;
    const int rows = std::min(TimeInNo, QDinn.extent(0));
    if (rows == 1) {
        inflow = QDinn[0][0];
        outflow = QDinn[0][1];
        return true;
    }
    int n = 1;
    while (n < rows - 1 && TimeInTime[n] < stime) ++n;
    const double t = std::clamp((TimeInTime[n] - stime) / (TimeInTime[n] - TimeInTime[n - 1] + 1e-20), 0.0, 1.0);
    inflow = t * QDinn[n - 1][0] + (1.0 - t) * QDinn[n][0];
    outflow = t * QDinn[n - 1][1] + (1.0 - t) * QDinn[n][1];
    return true;
}

bool file_present(const char* name)
{
    std::FILE* fp = std::fopen(name, "r");
    if (fp) std::fclose(fp);
    return fp != nullptr;
}

// Ratio that brings `flux` to `target`; a face that carries nothing keeps its velocities.
double ratio(double target, double flux)
{
    return std::fabs(flux) > 1e-20 ? target / flux : 1.0;
}

}  // namespace

EndScaling keep_end_discharges(const EndFluxes& before, Boogie& log, Layers layers)
{
    EndScaling s;
    s.after = end_fluxes(layers);
    double target_in = before.in, target_out = before.out;
    double series_in = 0.0, series_out = 0.0;
    if (series_discharges(series_in, series_out)) {
        if (series_in > 0.0) target_in = series_in * WaterDensity;
        if (series_out > 0.0) target_out = series_out * WaterDensity;
    } else if (TimeStep > TransientTimeStepLimit && file_present("timei") && FlagPrint == 0) {
        log.print("No discharge series read from 'timei': the surface move keeps the discharges of before the move\n");
    }
    s.in_ratio = ratio(target_in, s.after.in);
    s.out_ratio = ratio(target_out, s.after.out);
    const int x = xnumber;
    for (int j = 2; j <= ynumber; ++j)
        for (int k = layers.first; k <= layers.last; ++k) {
            xvel[1][j][k] *= s.in_ratio;
            yvel[1][j][k] *= s.in_ratio;
            xvel[x + 1][j][k] *= s.out_ratio;
            yvel[x + 1][j][k] *= s.out_ratio;
        }
    return s;
}

}  // namespace zefra
