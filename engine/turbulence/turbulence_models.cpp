// Turbulence closure of the flow solver.
//
// GammaCalc: diffusivity = 0.001 (water) + ArtEddyVisc + the eddy viscosity of
// the model: rho C_mu k^2 / eps for the k-epsilon family, an algebraic
// profile for model 7, rho k / omega for k-omega; the epsilon equation of the
// standard model divides by sigma_eps = 1.3, RNG multiplies by 1.39.
//
// turbulence: not yet built (production and dissipation of k and epsilon).
#include "engine/turbulence/turbulence_models.h"

#include <algorithm>
#include <cmath>

#include "engine/driver/fields.h"
#include "engine/driver/state_flow.h"
#include "engine/driver/state_grid.h"
#include "engine/driver/state_turbulence.h"

namespace zefra {

namespace {

constexpr double Viscosity = 0.001;  // dynamic viscosity of water, kg/(m s)

bool k_epsilon_family()
{
    return TurbulenceModel == 0 || TurbulenceModel == 1 || TurbulenceModel == 8 || TurbulenceModel == 9;
}

// Models 8 and 9: the eddy viscosity dies out towards the bed with the local
// Reynolds number of the wall distance.
void damp_near_bed()
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double y1 = m_dist_z[i][j][2];
            const double ub = std::sqrt(xvel[i][j][2] * xvel[i][j][2] + yvel[i][j][2] * yvel[i][j][2]);
            const double utau = std::sqrt(0.001 * (0.001 * ub / (y1 + 1e-20)));
            double height = 0.0;  // of the cell centre above the bed
            for (int k = 2; k <= znumber; ++k) {
                height += k == 2 ? m_dist_z[i][j][2] : m_dist_z[i][j][k - 1] + m_dist_z[i][j][k];
                const double yplus = height * utau * 1e6;
                const double factor = 1.0 - std::exp(-0.0002 * yplus - 0.00065 * yplus * yplus);
                gama[i][j][k] = std::max(gama[i][j][k] * factor, Viscosity);
            }
        }
}

// Model 7: eddy viscosity from depth and roughness, 0.11 u* h' with a
// Manning-type u* from the speed of the top cell.
void algebraic_viscosity()
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double half_depth = m_dist_z[i][j][0];
            const double u = xvel[i][j][znumber], v = yvel[i][j][znumber];
            const double speed = std::sqrt(u * u + v * v);
            const double add = 110.0 * half_depth * (std::pow(Xks[i][j], 1.0 / 6.0) * 0.03846) * speed * 3.132 *
                               std::pow(half_depth + 1e-20, -1.0 / 6.0);
            for (int k = 2; k <= znumber; ++k) gama[i][j][k] += add;
        }
}

}  // namespace

void GammaCalc()
{
    const int x = xnumber, y = ynumber, z = znumber;
    for (int i = 1; i <= x + 1; ++i)
        for (int j = 1; j <= y + 1; ++j)
            for (int k = 1; k <= z + 1; ++k) gama[i][j][k] = ArtEddyVisc + Viscosity;

    if (k_epsilon_family()) {
        const double rho_cmu = TurbulenceModel == 1 ? 85.0 : 90.0;
        for (int i = 2; i <= x + 1; ++i)
            for (int j = 2; j <= y + 1; ++j)
                for (int k = 2; k <= z + 1; ++k) gama[i][j][k] += rho_cmu * kinen[i][j][k] * kinen[i][j][k] / (epsilon[i][j][k] + 1e-20);
    }
    if (TurbulenceModel == 8 || TurbulenceModel == 9) damp_near_bed();
    if (TurbulenceModel == 7) algebraic_viscosity();
    if (TurbulenceModel == 14)
        for (int i = 2; i <= x + 1; ++i)
            for (int j = 2; j <= y + 1; ++j)
                for (int k = 2; k <= z + 1; ++k) gama[i][j][k] += 1000.0 * kinen[i][j][k];
    if (TurbulenceModel == 15 || TurbulenceModel == 16)
        for (int i = 2; i <= x + 1; ++i)
            for (int j = 2; j <= y + 1; ++j)
                for (int k = 2; k <= z + 1; ++k) gama[i][j][k] += 1000.0 * kinen[i][j][k] / (epsilon[i][j][k] + 1e-20);

    // Prandtl-Schmidt numbers of the transported quantities.
    double factor = 1.0;
    if (TurbulenceModel == 0 && Equation == 6) factor = 0.7692;
    if (TurbulenceModel == 1 && Equation >= 5) factor = 1.39;
    if (factor != 1.0)
        for (int i = 1; i <= x + 1; ++i)
            for (int j = 1; j <= y + 1; ++j)
                for (int k = 1; k <= z + 1; ++k) gama[i][j][k] *= factor;

    std::copy(gama.data(), gama.data() + gama.size(), gamaV.data());
}

void turbulence() {}

}  // namespace zefra
