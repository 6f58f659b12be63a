// Turbulence and walls of the depth-averaged columns: the diffusivity, the
// depth-averaged k-epsilon model with the turbulence the bed friction makes,
// the bed friction of the Strickler law and the rough side walls.
// Reads the column velocities, k and epsilon, the column geometry, Xks and the
// column wall markers; writes gama, Stress, wap and source at index 0 and
// bedshear.
#pragma once

namespace zefra {

// Whether the columns solve k and epsilon: for every model whose 3D form
// transports turbulence (k-epsilon, RNG, damped, one-equation, k-omega) the
// columns use the depth-averaged k-epsilon model.
bool column_k_epsilon();

// Bed friction coefficient c_f = tau / (rho U^2) of column (i, j) of depth h
// from the Strickler law: c_f = g / (M^2 h^(1/3)), M = 26 / ks^(1/6), ks = Xks.
double bed_friction_coefficient(int i, int j);

// k and epsilon of a column in equilibrium with the turbulence its bed
// friction makes (start values where the 3D fields hold no k and epsilon).
void bed_equilibrium_turbulence(int i, int j, double& k, double& eps);

// gama[i][j][0] of the current Equation: water, ArtEddyVisc and the eddy
// viscosity of the columns (k-epsilon, or the algebraic model 7), divided by
// sigma_eps = 1.3 for epsilon.
void GammaCalc2D();

// Production by the horizontal shear and dissipation of the k (Equation 5) or
// epsilon (6) equation of the columns; any other Equation ends the run (0).
void turbulence2D();

// The walls of a column: the bed under every water column (friction on the
// momentum, production of k and epsilon) and rough side walls (friction, the
// wall layer's k and a fixed epsilon), for Equation 1, 2, 5 and 6.
void wallall2D();

// bedshear[i][j] = rho c_f U^2 of every column (the ghost columns copy their
// neighbours).
void column_bed_shear();

}  // namespace zefra
