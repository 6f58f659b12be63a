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

// The face coefficients of the pressure-correction equation that one I-slab
// of cells i1 ... i2 owns (the arrays cleared before).
void pressure_correctionOpenMP(int i1, int i2);

// pressure_correction with the faces, walls and sources computed on the slabs
// of the worker threads; the same coefficients to the last bit.
void pressure_correction_on_slabs();

// Corrects the face fluxes, the velocities and the pressure of the given
// layers with the solved pressure correction p.
void correct_flow(const Field3& p, Layers layers = water_layers());

// The same with the pressure correction in the field `f` designates.
void SimpleCorrections();

// The corrections that work cell by cell, for the cells i1 ... i2 of one
// I-slab and the faces it owns, with the correction in `f`.
void SimpleCorrectionsOpenMP(int i1, int i2);

// correct_flow on the water cells with the cell-by-cell part on the slabs of
// the worker threads; the same result to the last bit.
void correct_flow_on_slabs(const Field3& p);

// Pressure of the porous cells from their neighbours.
void PorositySolver();

}  // namespace zefra
