// What both free-surface methods do around a move of the water surface: the
// top cells that share each surface node (block joints included), the
// stretching of the node columns under a new top level, and the discharges at
// the two ends of the grid, which the changed face areas would otherwise alter.
// Reads the grid, the wall and out-block markers, the link tables of block
// joints and the time series of the discharges; writes zval and the ghost
// velocities of the inflow (i = 1) and outflow (i = xnumber + 1) columns.
#pragma once

#include <vector>

#include "engine/common/boogie.h"
#include "engine/flow3d/layers.h"

namespace zefra {

// One value per surface node (i, j), i = 0 ... xnumber + 1, j = 0 ... ynumber + 1.
class NodeGrid {
public:
    NodeGrid();
    double& operator()(int i, int j) { return v_[static_cast<std::size_t>(i) * stride_ + j]; }
    double operator()(int i, int j) const { return v_[static_cast<std::size_t>(i) * stride_ + j]; }

private:
    std::size_t stride_;
    std::vector<double> v_;
};

// The four corner nodes of top cell (i, j): [low i, high i][low j, high j].
// A side block's first-row cell has the main block's edge nodes as its low-i
// corners.
struct CellCorners {
    int i[2][2], j[2][2];
};
CellCorners cell_corners(int i, int j);

// Whether top cell (i, j) carries a water surface (inside the grid, not
// blocked out).
bool open_top_cell(int i, int j);

// Whether top cell (i, j) lies under a roof marker (W 4): its corner nodes
// keep their level.
bool roofed_top_cell(int i, int j);

// The surface nodes that keep their level: the corners of roofed top cells
// (marked 1, all others 0).
NodeGrid roof_nodes();

// Water depth of node column (i, j), from its lowest moving node (see
// relevel_column) to the top.
double node_depth(int i, int j);

// Moves the top node of column (i, j) by `rise` and stretches the nodes
// between the column's lowest moving node and the top in proportion.  The
// lowest moving node is the bed, or the lower fixed level of G 23 when one is
// given below the top.
void relevel_column(int i, int j, double rise);

// Node lines 0 and xnumber + 1 repeat the levels of lines 1 and xnumber.
void copy_end_levels();

// Mass fluxes (kg/s) through the inflow face (node line 1) and the outflow
// face (node line xnumber) with the ghost velocities and the present areas,
// summed over the given layers (the water cells, or the columns).
struct EndFluxes {
    double in = 0.0, out = 0.0;
};
EndFluxes end_fluxes(Layers layers = water_layers());

// After the grid has moved: scales the ghost velocities of both ends so that
// each end carries the discharge of the time series (when one is stored and
// its value is positive) or else the flux it carried before the move.
struct EndScaling {
    EndFluxes after;
    double in_ratio = 1.0, out_ratio = 1.0;
};
EndScaling keep_end_discharges(const EndFluxes& before, Boogie& log, Layers layers = water_layers());

}  // namespace zefra
