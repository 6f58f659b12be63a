// Residual of the equation now assembled.
#pragma once

namespace zefra {

// MaxResidual[Equation] = the summed absolute residual of all inner cells
// divided by NormResidual[Equation]; reports single large residuals.
void Residual();

}  // namespace zefra
