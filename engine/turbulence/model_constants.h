// The turbulence models by family, and the constants of each model, named
// once so that the arithmetic of the models, the wall laws and the writers
// reads like the textbook formulas.  TurbulenceModel (F 24) chooses:
//   0 standard k-epsilon, 1 RNG k-epsilon, 7 algebraic eddy viscosity,
//   8 and 9 k-epsilon with near-bed damping, 14 one-equation model for the
//   eddy viscosity (the k array holds nu~), 15 and 16 k-omega (the epsilon
//   array holds omega).
// Reads TurbulenceModel; writes nothing.
#pragma once

#include "engine/common/physics.h"
#include "engine/state/state_turbulence.h"

namespace zefra {

// --- Families ---------------------------------------------------------------

// Models that transport k and epsilon: the standard, RNG and damped models.
inline bool k_epsilon_model()
{
    return TurbulenceModel == 0 || TurbulenceModel == 1 || TurbulenceModel == 8 || TurbulenceModel == 9;
}

// k-epsilon with the eddy viscosity damped near the bed.
inline bool damped_model()
{
    return TurbulenceModel == 8 || TurbulenceModel == 9;
}

inline bool rng_model()
{
    return TurbulenceModel == 1;
}

// The one-equation model: k holds the modified eddy viscosity nu~ (m2/s).
inline bool one_equation_model()
{
    return TurbulenceModel == 14;
}

// k-omega: epsilon holds the specific dissipation omega (1/s).
inline bool k_omega_model()
{
    return TurbulenceModel == 15 || TurbulenceModel == 16;
}

// Models whose turbulence routine builds production and dissipation terms.
inline bool transports_k()
{
    return k_epsilon_model() || one_equation_model() || k_omega_model();
}

// Models for which the outer iteration solves the k (and epsilon) equations:
// every number below 2 or above 13, and the damped models.
inline bool solves_turbulence_transport()
{
    return TurbulenceModel < 2 || TurbulenceModel > 13 || damped_model();
}

// Models with the eddy viscosity algebraic in the velocity (3 and 7).
inline bool algebraic_model()
{
    return TurbulenceModel == 3 || TurbulenceModel == 7;
}

// --- Constants --------------------------------------------------------------

constexpr double MolecularViscosity = 0.001;  // dynamic viscosity of water, kg/(m s)
constexpr double KinematicViscosity = 1e-6;   // m2/s
constexpr double SqrtCMu = 0.3;               // C_mu^0.5, C_mu = 0.09

// Standard k-epsilon (and the damped models next to the bed).
constexpr double CEps1 = 1.44;
constexpr double CEps2 = 1.92;
constexpr double SigmaEps = 1.3;
constexpr double InvSigmaEps = 0.7692;  // 1 / sigma_eps, as the diffusivity applies it

// RNG k-epsilon.
constexpr double RngCMu = 0.085;
constexpr double RngCEps1 = 1.42;
constexpr double RngAlpha = 1.39;      // inverse Prandtl number of k and epsilon
constexpr double RngInvAlpha = 0.719;  // 1 / alpha
constexpr double RngEta0 = 4.38;
constexpr double RngBeta = 0.012;

// k-omega.
constexpr double KOmegaSigma = 0.5;       // sigma = sigma* of k and omega
constexpr double KOmegaBetaStar = 0.09;
constexpr double KOmegaBeta = 0.072;
constexpr double KOmegaAlpha = 0.52;

// One-equation model (nu~ transport).
constexpr double SaCb1 = 0.1355;
constexpr double SaInvSigma = 1.5;  // sigma = 2/3
constexpr double SaCv1 = 7.1;
constexpr double SaKappa = 0.41;
constexpr double SaCw1 = 3.239;              // c_b1 / kappa^2 + (1 + c_b2) / sigma
constexpr double SaCrossDiffusion = 933.0;   // rho c_b2 / sigma, c_b2 = 0.622

// Bed shear stress from the turbulent kinetic energy of the bed cell,
// tau = rho C_mu^0.5 k, in the local-equilibrium wall layer.
inline double bed_shear_from_k(double k)
{
    return WaterDensity * SqrtCMu * k;
}

}  // namespace zefra
