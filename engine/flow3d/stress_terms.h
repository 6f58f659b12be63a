// Transposed stress terms of the momentum equations (F 100).
// Reads Equation, the velocities, gama and the geometry; writes source.
#pragma once

namespace zefra {

// Adds Gamma d u_j / d x_e, the part of the stress on momentum component e
// that the diffusion coefficients leave out, to the source of the current
// momentum Equation (1, 2, 3) as face fluxes; nothing for other equations.
void StressOrt();

}  // namespace zefra
