// The discretised transport equation of each water-quality component on the
// frozen flow, assembled from the flow solver's convection-diffusion
// coefficients and solved with its linear solvers.
// Reads the face fluxes, gama / gamaV, the geometry, comp, comp_old,
// TimeStep and the solver settings of equation 8 (K 6 / F 63, K 10, F 59);
// writes ae ... wat, wap, source, iAp, comp, NormResidual and MaxResidual.
#pragma once

namespace zefra {

// Equation number of component m (8 for the first).
constexpr int component_equation(int m)
{
    return 8 + m;
}

// Neighbour coefficients shared by all components, with the scheme of
// sou[8], and no exchange through the water surface.
void build_component_coefficients();

// Assembles the equation of component m: the neighbour sum, the storage
// term rho V / dt with comp_old when `transient`, the reaction terms and the
// cells held by fixed-value boxes.
void assemble_component(int m, bool transient);

// Scaled residual of the assembled equation of component m with its present
// field: the summed cell residuals divided by the terms of the largest cell
// (central coefficient times the largest concentration, plus the source), so
// that 1e-6 means all cells together miss their equations by a millionth of
// one cell's terms.
double component_residual(int m);

// Two solver passes on the assembled equation of component m.
void solve_component(int m);

}  // namespace zefra
