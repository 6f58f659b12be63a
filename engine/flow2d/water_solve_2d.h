// The depth-averaged flow solver: SIMPLE-type outer iterations on the
// columns of the grid (index 0 of the field arrays).
// Reads and writes the column level of the flow state (velocities, pressure,
// k, epsilon, face fluxes, coefficients), the residuals, the iteration
// counters, bedshear and the run flags FlagErrorBreak and gFlagFlow; the
// water cells above the columns when it writes results.
#pragma once

namespace zefra {

void WaterSolve2D();

}  // namespace zefra
