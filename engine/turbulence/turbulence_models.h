// Turbulence closure: the diffusivity of the equation now assembled, and the
// production and dissipation terms of the k and epsilon equations.
#pragma once

namespace zefra {

// Fills gama (and gamaV, the same values) for the current Equation:
// molecular plus eddy viscosity, kg/(m s).
void GammaCalc();

// Adds production and dissipation of the k (Equation 5) or epsilon (6) equation.
void turbulence();

}  // namespace zefra
