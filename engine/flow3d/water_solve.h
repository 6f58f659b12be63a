// The three-dimensional flow solver: SIMPLE-type outer iterations.
// Reads and writes the whole flow state: velocities, pressure, k, epsilon,
// face fluxes, coefficients, residuals, the iteration counters, and the
// run flags FlagErrorBreak and gFlagFlow.
#pragma once

namespace zefra {

void WaterSolve();

}  // namespace zefra
