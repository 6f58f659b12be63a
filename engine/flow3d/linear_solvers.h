// Linear solvers of the discretised equations; both act in place on the
// field that `f` designates and leave its ghost layers unchanged.
#pragma once

namespace zefra {

// GaussIter pairs of forward and backward Gauss-Seidel sweeps; needs iAp = 1 / wap.
void WaterGaussSeidel();

// Line-by-line tridiagonal solves in the I, then J, then K direction.
void WaterTDMA();

}  // namespace zefra
