// Turbulence closure and walls of the depth-averaged columns.
//
// The bed: the Strickler law gives the friction of a column of depth h and
// speed U, tau = rho c_f U^2 with c_f = g / (M^2 h^(1/3)), where
// M = 26 / ks^(1/6) comes back from the roughness Xks that the start-up
// derives from the Strickler coefficient (or that F 16 or `bedrough` give).
//
// k-epsilon of the columns: production by the horizontal shear of the depth
// averages, as in the 3D model, and the turbulence the bed friction makes
// over the depth (P_kV = c_k u*^3 / h, P_epsV = c_eps u*^4 / h^2 per unit
// volume, c_k = 1 / sqrt(c_f), c_eps = 3.6 C2 sqrt(C_mu) / c_f^(3/4)).  In
// uniform flow these balance at an eddy viscosity of about u* h / 13, the
// depth average of the parabolic profile of the log law.
//
// Side walls: the rough-wall log law of the 3D walls with the friction
// velocity from the column's speed along the wall, u* = u_t / E (k of a
// column holds the turbulence of the whole depth, not that of the wall layer).
#include "engine/flow2d/column_turbulence.h"

#include <algorithm>
#include <cmath>

#include "engine/common/boogie.h"
#include "engine/common/physics.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_turbulence.h"
#include "engine/turbulence/cell_gradients.h"
#include "engine/turbulence/model_constants.h"

namespace zefra {

namespace {

constexpr double StricklerConstant = 26.0;   // M ks^(1/6) of the Strickler law
constexpr double BedEpsilonConstant = 3.6;   // c_eps = 3.6 C2 sqrt(C_mu) / c_f^(3/4)
constexpr double Fixed = 1e30;               // central coefficient that fixes a value
constexpr double MinK = 1e-9;
constexpr double MinDepth = 1e-6;

double column_volume(int i, int j)
{
    return 2.0 * m_armap[i][j] * m_dist_z[i][j][0];
}

double column_speed(int i, int j)
{
    return std::hypot(xvel[i][j][0], yvel[i][j][0]);
}

double column_depth(int i, int j)
{
    return std::max(2.0 * m_dist_z[i][j][0], MinDepth);
}

double side_roughness(int j)
{
    return j == 2 ? XksJ1 : j == ynumber ? XksJ2 : XksWall;
}

// A side wall of a column: distance of the column centre from the wall face,
// the face's area over the whole depth and its unit normal.
struct SideWall {
    double y, area, nx, ny;
};

template <class Visit>
void for_each_side_wall(int i, int j, Visit visit)
{
    if (const int m = WallI[i][j][0]; m != 0) {
        const int face = m == 1 ? i - 1 : i;
        visit(SideWall{m_dist_x[i][j][0], m_ar_x[face][j][0], m_vec_x[face][j][0], m_vec_x[face][j][1]});
    }
    if (const int m = WallJ[i][j][0]; m != 0) {
        const int face = m == 1 ? j - 1 : j;
        visit(SideWall{m_dist_y[i][j][0], m_ar_y[i][face][0], m_vec_y[i][face][0], m_vec_y[i][face][1]});
    }
}

bool side_wall_column(int i, int j)
{
    return WallI[i][j][0] != 0 || WallJ[i][j][0] != 0;
}

// E = u / u* at the wall distance y: the rough-wall log law, floored as in wallall.
double wall_law(double y, int j)
{
    return std::max(std::log(30.0 * y / side_roughness(j)), 0.01) / Xkappa;
}

// Model 7: 0.11 u* h' with a Manning-type u* from the column's speed, h' half the depth.
void algebraic_viscosity()
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double half_depth = m_dist_z[i][j][0];
            gama[i][j][0] += 110.0 * half_depth * (std::pow(Xks[i][j], 1.0 / 6.0) * 0.03846) * column_speed(i, j) * 3.132 *
                             std::pow(half_depth + 1e-20, -1.0 / 6.0);
        }
}

}  // namespace

bool column_k_epsilon()
{
    return solves_turbulence_transport();
}

double bed_friction_coefficient(int i, int j)
{
    const double m = StricklerConstant / std::pow(std::max(Xks[i][j], 1e-10), 1.0 / 6.0);
    return Gravity / (m * m * std::cbrt(column_depth(i, j)));
}

void bed_equilibrium_turbulence(int i, int j, double& k, double& eps)
{
    const double cf = bed_friction_coefficient(i, j), u_star = std::sqrt(cf) * column_speed(i, j);
    k = std::max(u_star * u_star / (BedEpsilonConstant * SqrtCMu * std::pow(cf, 0.25)), 1e-12);
    eps = std::max(u_star * u_star * u_star / (column_depth(i, j) * std::sqrt(cf)), 1e-14);
}

void GammaCalc2D()
{
    const int x = xnumber, y = ynumber;
    for (int i = 1; i <= x + 1; ++i)
        for (int j = 1; j <= y + 1; ++j) gama[i][j][0] = ArtEddyVisc + MolecularViscosity;
    if (column_k_epsilon()) {
        for (int i = 2; i <= x + 1; ++i)
            for (int j = 2; j <= y + 1; ++j) gama[i][j][0] += WaterDensity * CMu * kinen[i][j][0] * kinen[i][j][0] / (epsilon[i][j][0] + 1e-20);
        if (Equation == 6)
            for (int i = 1; i <= x + 1; ++i)
                for (int j = 1; j <= y + 1; ++j) gama[i][j][0] *= InvSigmaEps;
    } else if (TurbulenceModel == 7) {
        algebraic_viscosity();
    }
}

void turbulence2D()
{
    if (!column_k_epsilon()) return;
    const int e = Equation;
    if (e != 5 && e != 6) log_and_end(0, "Error in turbulence calc., Equation = %d\n", e);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double volume = column_volume(i, j);
            double g[3][3];
            velocity_gradient(i, j, 0, g);
            // G V of the horizontal strain of the depth averages.
            const double xy = g[0][1] + g[1][0];
            const double stress = (2.0 * (g[0][0] * g[0][0] + g[1][1] * g[1][1]) + xy * xy) / (volume + 1e-30);
            Stress[i][j][0] = stress;
            const double kk = kinen[i][j][0], eps = epsilon[i][j][0], ratio = eps / (kk + 1e-20);
            const double production = gama[i][j][0] * stress;
            if (e == 5) {
                source[i][j][0] = production;
                wap[i][j][0] = WaterDensity * volume * ratio;
            } else {
                // The production carries sigma_eps again, which the diffusivity divided out.
                source[i][j][0] = CEps1 * production * SigmaEps * ratio;
                wap[i][j][0] = WaterDensity * CEps2 * volume * ratio;
            }
        }
}

void wallall2D()
{
    const int e = Equation;
    if (e != 1 && e != 2 && e != 5 && e != 6) return;
    if (e >= 5 && !column_k_epsilon()) return;
    const double c25 = std::pow(CMu, 0.25), c75 = std::pow(CMu, 0.75);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double u = xvel[i][j][0], v = yvel[i][j][0], speed = std::hypot(u, v);
            const double volume = column_volume(i, j), plan = m_armap[i][j];
            // The wall layer replaces the column's own k and epsilon terms next to a side wall.
            if (e >= 5 && side_wall_column(i, j)) wap[i][j][0] = source[i][j][0] = 0.0;

            // Side walls.
            for_each_side_wall(i, j, [&](const SideWall& w) {
                const double law = wall_law(w.y, j);
                if (e <= 2) {
                    const double normal = u * w.nx + v * w.ny;
                    const double along = std::hypot(u - normal * w.nx, v - normal * w.ny);
                    const double friction = WaterDensity * along / law * w.area / law;
                    wap[i][j][0] += friction;
                    source[i][j][0] += friction * normal * (e == 1 ? w.nx : w.ny);
                } else if (e == 5) {
                    const double root = std::sqrt(std::max(kinen[i][j][0], MinK));
                    wap[i][j][0] += WaterDensity * c75 * root * law / w.y * volume;
                    source[i][j][0] += WaterDensity * c25 * root * speed * speed / (law * w.y) * volume;
                } else {
                    const double kk = std::max(kinen[i][j][0], MinK);
                    wap[i][j][0] += Fixed;
                    source[i][j][0] += Fixed * c75 * kk * std::sqrt(kk) / (Xkappa * w.y);
                }
            });

            // The bed under the column.
            const double cf = bed_friction_coefficient(i, j);
            if (e <= 2)
                wap[i][j][0] += WaterDensity * cf * speed * plan;
            else if (e == 5)
                source[i][j][0] += WaterDensity * cf * speed * speed * speed * plan;
            else
                source[i][j][0] += WaterDensity * BedEpsilonConstant * CEps2 * SqrtCMu * std::pow(cf, 1.25) * std::pow(speed, 4.0) * plan /
                                   column_depth(i, j);
        }
}

void column_bed_shear()
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double speed = column_speed(i, j);
            bedshear[i][j] = WaterDensity * bed_friction_coefficient(i, j) * speed * speed;
        }
    for (int j = 2; j <= ynumber; ++j) {
        bedshear[1][j] = bedshear[2][j];
        bedshear[xnumber + 1][j] = bedshear[xnumber][j];
    }
}

}  // namespace zefra
