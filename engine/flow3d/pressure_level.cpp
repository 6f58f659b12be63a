// Reference level of the pressure, fixed after every pressure correction.
// The surface pressure of a column is extrapolated linearly from the centres
// of its two top cells to the surface; at the reference node it is the mean
// of the active top cells around the node, the value the surface routine
// takes as its reference pressure.
//
//      node (iSurf, jSurf)
//   cell (i, j+1) | cell (i+1, j+1)      the up to four top cells that share
//   --------------+----------------      the node; cells outside the grid or
//   cell (i, j)   | cell (i+1, j)        in an out-block are left out
#include "engine/flow3d/pressure_level.h"

#include <cstddef>

#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_surface.h"

namespace zefra {

namespace {

// Pressure at the surface above the top cell of column (i, j).
double surface_pressure(int i, int j)
{
    const int z = znumber;
    const double top = Pres[i][j][z];
    if (z < 3) return top;
    const double h = m_dist_z[i][j][z], below = m_dist_z[i][j][z - 1];
    return top + (top - Pres[i][j][z - 1]) * h / (h + below + 1e-30);
}

}  // namespace

void fix_pressure_level()
{
    if (FlagTFS == 1 || !Pres) return;
    const int node_i = iSurf > 0 ? iSurf : xnumber;
    const int node_j = iSurf > 0 ? jSurf : ynumber / 2;
    double sum = 0.0;
    int cells = 0;
    for (int i = node_i; i <= node_i + 1; ++i)
        for (int j = node_j; j <= node_j + 1; ++j) {
            if (i < 2 || i > xnumber || j < 2 || j > ynumber || OBlok[i][j][znumber] == 0) continue;
            sum += surface_pressure(i, j);
            ++cells;
        }
    if (cells == 0) return;
    const double shift = sum / cells;
    double* p = Pres.data();
    for (std::size_t n = 0; n < Pres.size(); ++n) p[n] -= shift;
}

}  // namespace zefra
