// Pressure-velocity coupling (SIMPLE, or SIMPLEC with `simple` other than 'Y').
#pragma once

namespace zefra {

// Adds the pressure-gradient force of the current momentum Equation (1, 2, 3)
// to `source`; any other Equation ends the run (status 0).
void pressure_source();

// Coefficients and source (the mass defect) of the pressure-correction equation.
void pressure_correction();

// Corrects the face fluxes, the velocities and the pressure with the solved
// pressure correction (the field `f` designates).
void SimpleCorrections();

// Pressure of the porous cells from their neighbours.
void PorositySolver();

}  // namespace zefra
