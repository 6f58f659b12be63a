// Block correction: corrections constant over whole planes of cells that
// speed up the convergence of the linear solvers (K 5).
// Reads the assembled coefficients and blockcorr; writes the field solved.
#pragma once

#include "engine/flow3d/layers.h"
#include "engine/state/field_array.h"

namespace zefra {

// Corrects phi plane by plane in the directions blockcorr[equation] selects
// (every direction with second neighbours or block joints), over the given
// layers (the I and J planes only on the column layer).
void block_correct(const Field3& phi, int equation, Layers layers = water_layers());

// The I-plane correction on NoProcessesSolver groups of rows at once.
void block_correct_parallel(const Field3& phi, int equation);

// The same for the field `f` designates and the current Equation.
void BlockCorrection();
void BlockCorrectionOpenMP();

}  // namespace zefra
