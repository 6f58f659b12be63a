// The discretised equation of one cell, written once for the solvers, the
// block correction and the residual (the column layer k = 0 without wab, wat):
//   wap phi = ae phi(i-1) + aw phi(i+1) + as phi(j-1) + an phi(j+1)
//           + wab phi(k-1) + wat phi(k+1) [+ second neighbours] + source
#pragma once

#include <algorithm>

#include "engine/grid/multiblock.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"

namespace zefra {

// Whether the coefficients now assembled couple second neighbours: they were
// filled by the second-order upwind (1) or QUICK (3) routine.  Decided by the
// routine that filled them, not by the K 6 entry of the equation, so that
// coefficients, relaxation, residual and solver always agree.
inline bool second_neighbours_filled()
{
    return (FilledScheme == 1 || FilledScheme == 3) && aee;
}

// The second-neighbour terms of cell (i, j, k); an index beyond the field's
// ghost layers takes the outermost value.
inline double second_neighbour_sum(const Field3& phi, int i, int j, int k)
{
    auto value = [&phi](int a, int b, int c) {
        a = std::clamp(a, 0, phi.extent(0) - 1);
        b = std::clamp(b, 0, phi.extent(1) - 1);
        c = std::clamp(c, 0, phi.extent(2) - 1);
        return phi[a][b][c];
    };
    return aee[i][j][k] * value(i - 2, j, k) + aww[i][j][k] * value(i + 2, j, k) + ass[i][j][k] * value(i, j - 2, k) + ann[i][j][k] * value(i, j + 2, k) +
           abb[i][j][k] * value(i, j, k - 2) + att[i][j][k] * value(i, j, k + 2);
}

// Residual of the equation of cell (i, j, k) with the present field:
// neighbours plus source minus the central term.  The column layer k = 0 of
// the depth-averaged solver has no neighbours above and below.
inline double cell_residual(const Field3& phi, int i, int j, int k, bool second)
{
    // Across a block joint the neighbour is the partner cell, as the solvers take it.
    JointNeighbours n{phi[i - 1][j][k], phi[i][j - 1][k], phi[i][j + 1][k]};
    if (MBNo > 0) n = neighbours_across_joints(phi, i, j, k);
    if (k == 0)
        return source[i][j][0] + ae[i][j][0] * n.low_i + aw[i][j][0] * phi[i + 1][j][0] + as[i][j][0] * n.low_j + an[i][j][0] * n.high_j -
               wap[i][j][0] * phi[i][j][0];
    double r = source[i][j][k] + ae[i][j][k] * n.low_i + aw[i][j][k] * phi[i + 1][j][k] + as[i][j][k] * n.low_j + an[i][j][k] * n.high_j +
               wab[i][j][k] * phi[i][j][k - 1] + wat[i][j][k] * phi[i][j][k + 1] - wap[i][j][k] * phi[i][j][k];
    if (second) r += second_neighbour_sum(phi, i, j, k);
    return r;
}

}  // namespace zefra
