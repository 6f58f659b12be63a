// Turbulence closure of the flow solver.
//
// GammaCalc: diffusivity = 0.001 (water) + ArtEddyVisc + the eddy viscosity of
// the model: rho C_mu k^2 / eps for the k-epsilon family, an algebraic
// profile for model 7, rho k / omega for k-omega; the epsilon equation of the
// standard model divides by sigma_eps = 1.3, RNG multiplies by 1.39.
//
// Both work cell by cell; in parallel mode on the worker threads, each on its
// own planes of i.
//
// turbulence: production G V Gamma from the velocity gradients of the cell
// (divergence theorem), and the dissipation as the linearised sink wap, for
// the k equation (5) and the epsilon / omega equation (6) of the model.
#include "engine/turbulence/turbulence_models.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/common/boogie.h"
#include "engine/flow3d/slabs.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_turbulence.h"
#include "engine/turbulence/cell_gradients.h"
#include "engine/turbulence/model_constants.h"

namespace zefra {

namespace {

// Height of the centre of cell k above the bed, walking up the column.
struct ColumnWalk {
    double centre = 0.0;
    void next(int i, int j, int k)
    {
        centre += k == 2 ? m_dist_z[i][j][2] : m_dist_z[i][j][k - 1] + m_dist_z[i][j][k];
    }
};

// Models 8 and 9: the eddy viscosity dies out towards the bed with the local
// Reynolds number of the wall distance.
void damp_near_bed(int i1, int i2)
{
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double y1 = m_dist_z[i][j][2];
            const double ub = std::sqrt(xvel[i][j][2] * xvel[i][j][2] + yvel[i][j][2] * yvel[i][j][2]);
            const double utau = std::sqrt(0.001 * (0.001 * ub / (y1 + 1e-20)));
            ColumnWalk walk;
            for (int k = 2; k <= znumber; ++k) {
                walk.next(i, j, k);
                const double yplus = walk.centre * utau * 1e6;
                const double factor = 1.0 - std::exp(-0.0002 * yplus - 0.00065 * yplus * yplus);
                gama[i][j][k] = std::max(gama[i][j][k] * factor, MolecularViscosity);
            }
        }
}

// Model 7: eddy viscosity from depth and roughness, 0.11 u* h' with a
// Manning-type u* from the speed of the top cell.
void algebraic_viscosity(int i1, int i2)
{
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double half_depth = m_dist_z[i][j][0];
            const double u = xvel[i][j][znumber], v = yvel[i][j][znumber];
            const double speed = std::sqrt(u * u + v * v);
            const double add = 110.0 * half_depth * (std::pow(Xks[i][j], 1.0 / 6.0) * 0.03846) * speed * 3.132 *
                               std::pow(half_depth + 1e-20, -1.0 / 6.0);
            for (int k = 2; k <= znumber; ++k) gama[i][j][k] += add;
        }
}

// Model 14: kinen holds the modified eddy viscosity nu~ (m2/s).  The momentum
// equations see rho nu~ f_v1 with f_v1 = chi^3 / (chi^3 + 7.1^3), chi = nu~ / nu;
// the nu~ equation itself diffuses with (mu + rho nu~) / sigma, sigma = 2/3,
// where the coefficient routine applies the 1 / sigma.
void one_equation_viscosity(int equation, int i1, int i2)
{
    constexpr double Cv1Cubed = SaCv1 * SaCv1 * SaCv1;
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= ynumber + 1; ++j)
            for (int k = 2; k <= znumber + 1; ++k) {
                const double nu = std::max(kinen[i][j][k], 0.0);
                if (equation == 5) {
                    gama[i][j][k] += WaterDensity * nu;
                } else {
                    const double chi = nu / KinematicViscosity, chi3 = chi * chi * chi;
                    gama[i][j][k] += WaterDensity * nu * chi3 / (chi3 + Cv1Cubed);
                }
            }
}

// Every step of the diffusivity for the planes i = i1 ... i2 of 1 ... x+1.
void diffusivity_planes(int equation, int i1, int i2)
{
    const int x = xnumber, y = ynumber, z = znumber;
    const int inner1 = std::max(i1, 2), inner2 = std::min(i2, x);  // planes of inner cells
    for (int i = i1; i <= i2; ++i)
        for (int j = 1; j <= y + 1; ++j)
            for (int k = 1; k <= z + 1; ++k) gama[i][j][k] = ArtEddyVisc + MolecularViscosity;

    if (k_epsilon_model()) {
        const double rho_cmu = WaterDensity * (rng_model() ? RngCMu : CMu);
        for (int i = inner1; i <= i2; ++i)
            for (int j = 2; j <= y + 1; ++j)
                for (int k = 2; k <= z + 1; ++k) gama[i][j][k] += rho_cmu * kinen[i][j][k] * kinen[i][j][k] / (epsilon[i][j][k] + 1e-20);
    }
    if (damped_model()) damp_near_bed(inner1, inner2);
    if (TurbulenceModel == 7) algebraic_viscosity(inner1, inner2);
    if (one_equation_model()) one_equation_viscosity(equation, inner1, i2);
    if (k_omega_model())
        for (int i = inner1; i <= i2; ++i)
            for (int j = 2; j <= y + 1; ++j)
                for (int k = 2; k <= z + 1; ++k) gama[i][j][k] += WaterDensity * kinen[i][j][k] / (epsilon[i][j][k] + 1e-20);

    // Prandtl-Schmidt numbers of the transported quantities.
    double factor = 1.0;
    // The near-bed damped models 8 and 9 are the standard model next to the
    // bed and share its sigma_eps, which the factor 1.3 of the epsilon
    // production undoes again.
    if ((TurbulenceModel == 0 || damped_model()) && equation == 6) factor = InvSigmaEps;
    if (rng_model() && equation >= 5) factor = RngAlpha;
    if (factor != 1.0)
        for (int i = i1; i <= i2; ++i)
            for (int j = 1; j <= y + 1; ++j)
                for (int k = 1; k <= z + 1; ++k) gama[i][j][k] *= factor;

    // gamaV takes the same values, the boundary planes included.
    const std::size_t plane = gama.size() / static_cast<std::size_t>(gama.extent(0));
    const int first = i1 == 1 ? 0 : i1;
    std::copy(gama[first].data(), gama[i2].data() + plane, gamaV[first].data());
}

}  // namespace

void eddy_diffusivity(int equation)
{
    // Every plane is independent: on threads in parallel mode.
    split_range(1, xnumber + 1, [equation](int i1, int i2) { diffusivity_planes(equation, i1, i2); });
}

void GammaCalc()
{
    eddy_diffusivity(Equation);
}

void eddy_viscosity_to_diff()
{
    // gama and gamaV belong to the flow equation assembled last.
    const std::vector<double> kept(gama.data(), gama.data() + gama.size()), kept_vertical(gamaV.data(), gamaV.data() + gamaV.size());
    eddy_diffusivity(1);
    const double* g = gama.data();
    double* d = diff.data();
    for (std::size_t n = 0, size = std::min(gama.size(), diff.size()); n < size; ++n) d[n] = g[n] / WaterDensity;
    std::copy(kept.begin(), kept.end(), gama.data());
    std::copy(kept_vertical.begin(), kept_vertical.end(), gamaV.data());
}

namespace {

// Extra production in the roughness layer (FlagScotti 7 or 9): from the
// second cell upwards while the top of the cell stays below the roughness
// height of the column.
void roughness_layer_production(int i1, int i2)
{
    const double p = ParamScotti;
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double ks = Xks[i][j];
            double top = 0.0;  // height of the cell top above the bed
            for (int k = 2; k <= znumber; ++k) {
                const double dz = 2.0 * m_dist_z[i][j][k];
                top += dz;
                if (top >= ks) break;
                if (OBlok[i][j][k] == 0) continue;
                const double z = top - 0.5 * dz, u = xvel[i][j][k], v = yvel[i][j][k];
                if (FlagScotti == 7) {
                    const double share = p + (1.0 - p) * z / ks;
                    const double shear = std::sqrt(u * u + v * v) / (2.0 * dz);
                    source[i][j][k] += (1.0 - share) * share * 2.0 * shear * shear * gama[i][j][k] * dz * m_armap[i][j];
                } else {
                    const double r = (1.0 - p) * (1.0 - z / ks);
                    source[i][j][k] += 2.0 * 430.0 * r * r * r * (std::fabs(u) + std::fabs(v)) * std::sqrt(m_armap[i][j]) * dz;
                }
            }
        }
}

// Distance of the centre of cell (i, j, k) from the bed, or from the roof of
// a closed conduit when that is nearer.
double wall_distance(int i, int j, int k)
{
    double below = m_dist_z[i][j][k], above = m_dist_z[i][j][k];
    for (int m = 2; m < k; ++m) below += 2.0 * m_dist_z[i][j][m];
    for (int m = k + 1; m <= znumber; ++m) above += 2.0 * m_dist_z[i][j][m];
    return FlagRoof == 0 ? std::min(below, above) : below;
}

// f_w of the one-equation model: the destruction fades away from the wall
// where nu~ is small against S~ kappa^2 d^2.
double destruction_factor(double nu, double strain, double d)
{
    constexpr double Kappa2 = SaKappa * SaKappa, Cv1Cubed = SaCv1 * SaCv1 * SaCv1, Cw3Sixth = 64.0;
    const double chi = nu / KinematicViscosity, chi3 = chi * chi * chi;
    const double fv1 = chi3 / (chi3 + Cv1Cubed), fv2 = 1.0 - chi / (1.0 + chi * fv1);
    const double kd2 = Kappa2 * d * d + 1e-30;
    const double modified_strain = std::max(strain + nu / kd2 * fv2, 0.3 * strain);
    const double r = std::min(nu / (modified_strain * kd2 + 1e-30), 10.0);
    const double g = r + 0.3 * (std::pow(r, 6.0) - r), g6 = std::pow(g, 6.0);
    return g * std::pow((1.0 + Cw3Sixth) / (g6 + Cw3Sixth), 1.0 / 6.0);
}

// The k equation: dissipation rho V eps / k, or rho V omega beta* (k-omega),
// or production and cross diffusion only (one-equation model).
void k_terms(int i1, int i2)
{
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                const double volume = Volume[i][j][k], kk = kinen[i][j][k], e = epsilon[i][j][k];
                if (k_omega_model()) {
                    const Vector3 gk = cell_gradient(kinen, i, j, k), gw = cell_gradient(epsilon, i, j, k);
                    const double chi = (gk.x * gw.x + gk.y * gw.y + gk.z * gw.z) / (volume * volume + 1e-30) / (e * e * e + 1e-30);
                    const double beta = chi > 0.0 ? KOmegaBetaStar * (1.0 + 680.0 * chi * chi) / (1.0 + 400.0 * chi * chi) : KOmegaBetaStar;
                    wap[i][j][k] = WaterDensity * volume * e * beta;
                } else if (one_equation_model()) {
                    // nu~ equation: production rho c_b1 S nu~ V with S the strain
                    // rate, cross diffusion rho c_b2 / sigma |grad nu~|^2 V and the
                    // destruction rho c_w1 (nu~ / d)^2 V towards the bed.
                    const Vector3 g = cell_gradient(kinen, i, j, k);
                    const double nu = std::max(kk, 0.0), d = wall_distance(i, j, k);
                    const double strain = std::sqrt(Stress[i][j][k] / (volume + 1e-30));
                    source[i][j][k] = WaterDensity * SaCb1 * strain * nu * volume + SaCrossDiffusion * (g.x * g.x + g.y * g.y + g.z * g.z) / (volume + 1e-30);
                    wap[i][j][k] = WaterDensity * SaCw1 * destruction_factor(nu, strain, d) * nu / (d * d + 1e-30) * volume;
                } else {
                    wap[i][j][k] = WaterDensity * volume * e / (kk + 1e-20);
                    if (rng_model()) source[i][j][k] *= RngInvAlpha;
                }
            }
}

// C2* of the RNG model from eta = S k / eps.
double rng_c2(double eta)
{
    eta = std::min(eta, 1e30);
    const double eta3 = eta * eta * eta;
    return 1.68 + RngCMu * eta3 * (1.0 - eta / RngEta0) / (1.0 + RngBeta * eta3);
}

// |Omega_ij Omega_jk S_ki| of a velocity gradient given times V, divided by V^3.
double vortex_stretching(const double g[3][3], double volume)
{
    double omega[3][3], strain[3][3];
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) {
            omega[a][b] = 0.5 * (g[a][b] - g[b][a]);
            strain[a][b] = 0.5 * (g[a][b] + g[b][a]);
        }
    double sum = 0.0;
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b)
            for (int c = 0; c < 3; ++c) sum += omega[a][b] * omega[b][c] * strain[c][a];
    return std::fabs(sum) / (volume * volume * volume + 1e-300);
}

// The epsilon (or omega) equation.
void epsilon_terms(int i1, int i2)
{
    const int model = TurbulenceModel;
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double y1 = m_dist_z[i][j][2];
            const double ub = std::sqrt(xvel[i][j][2] * xvel[i][j][2] + yvel[i][j][2] * yvel[i][j][2] + zvel[i][j][2] * zvel[i][j][2] + 1e-8);
            ColumnWalk walk;
            for (int k = 2; k <= znumber; ++k) {
                walk.next(i, j, k);
                const double volume = Volume[i][j][k], kk = kinen[i][j][k], e = epsilon[i][j][k];
                const double ratio = e / (kk + 1e-20);
                double& src = source[i][j][k];
                double& sink = wap[i][j][k];
                if (model == 0 || damped_model()) {
                    // The production carries sigma_eps again, which the
                    // diffusivity of this equation divided out.
                    sink = WaterDensity * CEps2 * volume * ratio;
                    src = CEps1 * src * SigmaEps * ratio;
                    if (model == 9) {
                        const double re_t = kk * kk / (KinematicViscosity * e + 1e-30);
                        const double y_plus = walk.centre * (0.001 * ub / y1) * 1e6;
                        const double wall_part = 1.0 - std::exp(-y_plus / 6.0);
                        sink *= std::max(0.0, (1.0 - 0.3 * std::exp(-(re_t / 6.5) * (re_t / 6.5))) * wall_part * wall_part);
                    }
                } else if (rng_model()) {
                    const double eta = std::sqrt(Stress[i][j][k] / (volume + 1e-30)) * kk / (e + 1e-20);
                    const double c2 = rng_c2(eta);
                    src = RngCEps1 * src * RngInvAlpha * ratio;
                    // A negative C2* turns the sink into a source: kept explicit so
                    // that the central coefficient stays positive.
                    if (c2 >= 0.0)
                        sink = WaterDensity * c2 * volume * ratio;
                    else
                        src -= WaterDensity * c2 * volume * ratio * e;
                } else {  // k-omega: epsilon holds omega
                    double g[3][3];
                    velocity_gradient(i, j, k, g);
                    const double beta_omega = KOmegaBetaStar * e;
                    const double chi = vortex_stretching(g, volume) / (beta_omega * beta_omega * beta_omega + 1e-300);
                    const double f_beta = (1.0 + 70.0 * chi) / (1.0 + 80.0 * chi);
                    sink = WaterDensity * volume * KOmegaBeta * f_beta * e;
                    src = KOmegaAlpha * src * ratio;
                }
            }
        }
}

// Production and dissipation of the cells i1 ... i2.
void terms_of_cells(int equation, int i1, int i2)
{
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                double g[3][3];
                velocity_gradient(i, j, k, g);
                const double stress = strain_rate_volume(g, Volume[i][j][k]);
                Stress[i][j][k] = stress;
                source[i][j][k] = gama[i][j][k] * stress;
            }
    if (FlagScotti == 7 || FlagScotti == 9) roughness_layer_production(i1, i2);
    if (equation == 5)
        k_terms(i1, i2);
    else
        epsilon_terms(i1, i2);
}

// Whether the model has terms for `equation`; any equation but k and epsilon ends the run.
bool has_terms(int equation)
{
    if (!transports_k()) return false;
    if (equation != 5 && equation != 6) log_and_end(0, "Error in turbulence calc., Equation = %d\n", equation);
    return true;
}

}  // namespace

void turbulence_terms(int equation)
{
    if (has_terms(equation)) terms_of_cells(equation, 2, xnumber);
}

void turbulenceOpenMP(int i1, int i2)
{
    terms_of_cells(Equation, i1, i2);
}

void turbulence_terms_on_slabs(int equation)
{
    if (!has_terms(equation)) return;
    for_each_slab(slab_count(), [equation](Slab s) { terms_of_cells(equation, s.first, s.last); });
}

void turbulence()
{
    turbulence_terms(Equation);
}

}  // namespace zefra
