// Block correction: corrections constant over whole planes of cells that
// speed up the convergence of the linear solvers.
#pragma once

namespace zefra {

void BlockCorrection();
void BlockCorrectionOpenMP();

}  // namespace zefra
