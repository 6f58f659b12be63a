// Pressure-velocity coupling (SIMPLE, or SIMPLEC with `simple` other than 'Y').
// Reads the pressure, the face fluxes, the geometry, the wall markers, the
// out-block and block-joint tables and invAP / invAPC; writes `source` of the
// momentum equations, the pressure-correction coefficients (ae … wat,
// source), and then the corrected face fluxes, velocities and pressure.
#pragma once

#include "engine/flow3d/layers.h"
#include "engine/state/field_array.h"

namespace zefra {

// Adds the pressure-gradient force of momentum equation 1, 2 or 3 to
// `source` on the given layers (the water cells unless told otherwise); any
// other equation ends the run (status 0).
void add_pressure_gradient(int equation, Layers layers = water_layers());

// The same for the current Equation.
void pressure_source();

// Coefficients and source (the mass defect) of the pressure-correction
// equation on the given layers.
void pressure_correction_equation(Layers layers);

// The same on the water cells.
void pressure_correction();

// Corrects the face fluxes, the velocities and the pressure of the given
// layers with the solved pressure correction p.
void correct_flow(const Field3& p, Layers layers = water_layers());

// The same with the pressure correction in the field `f` designates.
void SimpleCorrections();

// Pressure of the porous cells from their neighbours.
void PorositySolver();

}  // namespace zefra
