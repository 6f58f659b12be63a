// Source terms of the momentum equations (time term, density current, volume
// sources, weight of the water, wind, Coriolis, minimum-depth damping, porous
// drag, surface motion, roughness-layer friction, laminar bed friction,
// steep-slope resistance) and the near-bed damping modes (FlagScotti).
// Reads the flow fields, the geometry, the flow and turbulence settings and
// the source tables; writes wap and source of the momentum equations.
#pragma once

#include "engine/state/field_array.h"

namespace zefra {

// Time term rho V / dt of `phi` with its earlier levels (second order in
// time when asked and the level before exists).
void time_term(const Field3& phi, const Field3& old, const Field3& old2, bool second_order);

// Every source term of the current momentum Equation, in their fixed order.
void momentum_source_terms(const Field3& phi, const Field3& old, const Field3& old2);

// FlagScotti 6 and 7: neighbour coefficients reduced in the roughness layer.
void damp_coefficients_near_bed();

// FlagScotti 4, 5 and 8: central coefficient raised in the roughness layer.
void damp_central_coefficient(int mode);

// FlagScotti 1, 2 and 3: the solved velocity reduced in the roughness layer.
void damp_velocity_near_bed(const Field3& phi);

}  // namespace zefra
