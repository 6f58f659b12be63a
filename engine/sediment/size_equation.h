// The discretised equation of one grain size l at cell (i, j, k), in
// volume-flux units (m3/s times concentration):
//   ap c = ae c(i-1) + aw c(i+1) + as c(j-1) + an c(j+1) + ab c(k-1) + at c(k+1) + source
// ae ... an are shared by every size, ap, at, ab belong to the size; the
// second-order scheme (F 27 1) adds aee c(i-2) ... ann c(j+2), shared, and
// cabb c(k-2) + catt c(k+2) of the size.  Across a
// block joint the neighbour is the partner cell of the link tables.  The
// "outflow coefficients" of a cell are the coefficients with which its
// neighbours see it: times its concentration they give what leaves it.
// Reads the coefficient fields, the link tables, the joint-line fluxes in
// flow1 and the G 12 records; writes nothing.
#pragma once

#include <algorithm>

#include "engine/grid/multiblock.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_tables.h"

namespace zefra {

// Sum of the horizontal neighbour terms a_nb c_nb of cell (i, j, k).
inline double horizontal_terms(const Field3& c, int i, int j, int k)
{
    if (MBNo == 0)
        return ae[i][j][k] * c[i - 1][j][k] + aw[i][j][k] * c[i + 1][j][k] + as[i][j][k] * c[i][j - 1][k] + an[i][j][k] * c[i][j + 1][k];
    const JointNeighbours nb = neighbours_across_joints(c, i, j, k);
    return ae[i][j][k] * nb.low_i + aw[i][j][k] * c[i + 1][j][k] + as[i][j][k] * nb.low_j + an[i][j][k] * nb.high_j;
}

// The second-neighbour terms of size l at cell (i, j, k) under the
// second-order scheme (F 27 1): aee c(i-2) + ... + cabb c(k-2) + catt c(k+2).
// They never cross a joint, a wall or the bed face; an index beyond the
// ghost layers (whose coefficient is 0) takes the outermost value.
inline double second_neighbour_terms(int l, const Field3& c, int i, int j, int k)
{
    const int ie = c.extent(0) - 1, je = c.extent(1) - 1, ke = c.extent(2) - 1;
    return aee[i][j][k] * c[std::max(i - 2, 0)][j][k] + aww[i][j][k] * c[std::min(i + 2, ie)][j][k] + ass[i][j][k] * c[i][std::max(j - 2, 0)][k] +
           ann[i][j][k] * c[i][std::min(j + 2, je)][k] + cabb[l][i][j][k] * c[i][j][std::max(k - 2, 0)] + catt[l][i][j][k] * c[i][j][std::min(k + 2, ke)];
}

inline double horizontal_coefficients(int i, int j, int k)
{
    return ae[i][j][k] + aw[i][j][k] + as[i][j][k] + an[i][j][k];
}

// Water leaving (> 0) or entering (< 0) the last row of a block through an
// opening on the joint line behind it (G 7 sides 11 ...), m3/s; 0 elsewhere.
inline double joint_opening_flux(int i, int j, int k)
{
    return MBNo > 0 && i <= xnumber && ISkjotMB[i] == 1 ? 0.001 * flow1[i][j][k] : 0.0;
}

// Concentration of size l in water entering through the openings on joint
// line i: the G 12 record of that block, or none.
inline double joint_inflow_concentration(int l, int i)
{
    if (l > 10) return 0.0;
    for (int b = 1; b <= MBNo; ++b)
        if (MBSkjot[b] == i)
            for (int s = 1; s <= SedSourceNo; ++s)
                if (SedSource[s].code == b) return SedSource[s].conc[l];
    return 0.0;
}

// Sum of the coefficients with which the horizontal neighbours see cell
// (i, j, k); through an opening on a joint line, what leaves by it.
inline double horizontal_outflow_coefficients(int i, int j, int k)
{
    double low_i = aw[i - 1][j][k], high_i = ae[i + 1][j][k], low_j = an[i][j - 1][k], high_j = as[i][j + 1][k];
    if (MBNo > 0) {
        if (const JointCell p = joint_low_i(i, j)) low_i = p.j == 2 ? as[p.i][2][k] : an[p.i][ynumber][k];
        if (ISkjotMB[i] == 1) high_i = std::max(joint_opening_flux(i, j, k), 0.0);  // the next row belongs to another block
        if (j == 2)
            if (const JointCell p = joint_across_edge(i, 1)) low_j = ae[p.i][p.j][k];
        if (j == ynumber)
            if (const JointCell p = joint_across_edge(i, ynumber)) high_j = ae[p.i][p.j][k];
    }
    return low_i + high_i + low_j + high_j;
}

// What flows into cell (i, j, k) of size l from all its neighbours and
// joint openings, and the sum of its outflow coefficients.  The bed cell
// (k = 2) has no neighbour below: what it loses downwards is the deposition.
struct CellExchange {
    double in, out_coefficients;
};

// The horizontal part: the four neighbours and the joint openings.
inline CellExchange horizontal_exchange(const Field3& c, int l, int i, int j, int k)
{
    CellExchange e{horizontal_terms(c, i, j, k), horizontal_outflow_coefficients(i, j, k)};
    if (const double q = joint_opening_flux(i, j, k); q < 0.0) e.in -= q * joint_inflow_concentration(l, i);
    return e;
}

inline CellExchange cell_exchange(int l, int i, int j, int k)
{
    const Field3 c = conc[l];
    CellExchange e = horizontal_exchange(c, l, i, j, k);
    e.in += at[l][i][j][k] * c[i][j][k + 1];
    e.out_coefficients += ab[l][i][j][k + 1];
    if (k > 2) {
        e.in += ab[l][i][j][k] * c[i][j][k - 1];
        e.out_coefficients += at[l][i][j][k - 1];
    }
    return e;
}

// What flows into column (i, j) of the depth-averaged sediment (conc2D) of
// size l, and its outflow coefficients: a column has no neighbour above or
// below, its exchange with the bed is not counted here.
inline CellExchange column_exchange(int l, int i, int j)
{
    return horizontal_exchange(conc2D[l], l, i, j, 0);
}

}  // namespace zefra
