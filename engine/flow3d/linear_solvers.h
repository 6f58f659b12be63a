// Linear solvers of the discretised equations.  Both act in place on the
// field given and leave its ghost layers unchanged.
// Reads the assembled coefficients (wap or iAp, ae … wat, source) and the
// block-joint link tables; writes the field solved.
#pragma once

#include "engine/flow3d/layers.h"
#include "engine/state/field_array.h"

namespace zefra {

// GaussIter pairs of forward and backward Gauss-Seidel sweeps over the given
// layers (the water cells unless told otherwise); needs iAp = 1 / wap.  In
// parallel mode (F 206) the water cells are swept in I-slabs, the even
// slabs at once and then the odd ones, which makes the result independent
// of the threads' timing; block joints and the columns sweep serially.
void gauss_seidel(const Field3& phi, Layers layers = water_layers());

// The same with the second-neighbour terms, dividing by wap.
void gauss_seidel_second(const Field3& phi);

// Line-by-line tridiagonal solves in the I, then J, then K direction, with
// the second neighbours when the coefficients hold them.
void line_solve(const Field3& phi, int equation);

// The same for the field `f` designates and the current Equation.
void WaterGaussSeidel();
void WaterTDMA();

}  // namespace zefra
