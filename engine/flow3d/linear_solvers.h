// Linear solvers of the discretised equations.  Both act in place on the
// field given and leave its ghost layers unchanged.
// Reads the assembled coefficients (wap or iAp, ae … wat, source) and the
// block-joint link tables; writes the field solved.
#pragma once

#include "engine/flow3d/layers.h"
#include "engine/state/field_array.h"

namespace zefra {

// GaussIter pairs of forward and backward Gauss-Seidel sweeps over the given
// layers (the water cells unless told otherwise); needs iAp = 1 / wap.
void gauss_seidel(const Field3& phi, Layers layers = water_layers());

// Line-by-line tridiagonal solves in the I, then J, then K direction; the
// scheme of `equation` (K 6) says whether second neighbours take part.
void line_solve(const Field3& phi, int equation);

// The same for the field `f` designates and the current Equation.
void WaterGaussSeidel();
void WaterTDMA();

}  // namespace zefra
