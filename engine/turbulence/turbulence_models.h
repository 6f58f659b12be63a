// Turbulence closure: the diffusivity of the equation now assembled, and the
// production and dissipation terms of the k and epsilon equations.
// Reads the velocities, k, epsilon (omega, nu~), the geometry and Xks;
// writes gama and gamaV, Stress, and wap / source of the k and epsilon
// equations.
#pragma once

namespace zefra {

// Fills gama (and gamaV, the same values) for `equation`: molecular plus
// eddy viscosity in kg/(m s), divided by the Prandtl-Schmidt number of k and
// epsilon for equations 5 and 6.  On the worker threads in parallel mode.
void eddy_diffusivity(int equation);

// The same for the current Equation.
void GammaCalc();

// The eddy viscosity of the computed turbulence (the model's own, molecular
// viscosity included) into `diff`, in m2/s, for the sediment and component
// equations, which apply their Schmidt numbers themselves.  gama and gamaV
// are left as they were.
void eddy_viscosity_to_diff();

// Adds production and dissipation of the k (equation 5) or epsilon (6)
// equation; any other equation ends the run (status 0).
void turbulence_terms(int equation);

// The same for the current Equation.
void turbulence();

// The terms of the current Equation for the cells i1 ... i2 of one I-slab.
void turbulenceOpenMP(int i1, int i2);

// turbulence_terms on the slabs of the worker threads; the same to the last bit.
void turbulence_terms_on_slabs(int equation);

}  // namespace zefra
