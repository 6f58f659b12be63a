// Residual of an assembled equation, before it is solved.
// Reads the coefficients (wap, ae … wat, source), the field and NormResidual;
// writes MaxResidual.
#pragma once

#include "engine/flow3d/layers.h"
#include "engine/state/field_array.h"

namespace zefra {

// MaxResidual[equation] = the summed absolute residual of the inner cells of
// phi divided by NormResidual[equation]; reports single large residuals.
// For the pressure correction (equation 4) the residual is the mass defect
// held in `source`.  Ends the run (status 0) when the scale was never set.
// Sums the given layers (the water cells unless told otherwise).
void equation_residual(const Field3& phi, int equation, Layers layers = water_layers());

// The same for the field `f` designates and the current Equation.
void Residual();

// The cell with the largest single residual of `equation` at its last
// assembly (the first cell that is no number, if any), unscaled.
struct ResidualPeak {
    double value = 0.0;
    int i = 0, j = 0, k = 0;
};
ResidualPeak largest_cell_residual(int equation);

}  // namespace zefra
