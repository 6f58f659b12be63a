// Linear solvers of the suspended-sediment equations, one grain size at a
// time (the size `indexl`), acting on conc[indexl] in place.  The bed cell
// (k = 2) is never solved: it is the lower boundary value of each column.
// Reads ap, at, ab, ae ... an, source, OBlok, the out-block boxes and the
// link tables; writes conc[indexl] or conc2D[indexl] (and the work vectors pt, qt).
#pragma once

namespace zefra {

// One symmetric Gauss-Seidel pass over the suspended cells (k >= 3): a
// forward sweep (i, j, k ascending) and a backward one, with the second
// neighbours under F 27 1; preceded by the plane correction blockSedim
// unless the coefficients are second-order.
void sole_gauseid();

// Block correction of the planes of constant j (cells k >= 3 that are water
// and not held fixed): one correction per plane such that the summed
// equations of every plane hold, the planes coupled in a tridiagonal system.
// Not on multi-block grids, whose joints couple planes out of order.
void blockSedim();

// Tridiagonal solves along every streamwise line (each j, k >= 3), then
// along every vertical line (k = 3 ... znumber above the bed cell); the
// concentration in the out-block boxes is set to 0 first.
void sole_tdma();

// The depth-averaged twin of sole_gauseid: the plane correction and one
// symmetric Gauss-Seidel pass over the columns of conc2D[indexl] (index 0),
// with the column coefficients at index 0 of ae ... an, ap and source.
void sole2_gauseid();

// The same for size l.
void gauss_seidel_size(int l);
void block_correct_size(int l);
void line_solve_size(int l);
void column_gauss_seidel_size(int l);

}  // namespace zefra
