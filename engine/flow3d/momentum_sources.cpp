// Source terms of the momentum equations and the near-bed damping modes.
// rho = 1000 kg/m3; V = 2 m_armap m_dist_z is the cell volume; phi is the
// velocity component of the current Equation (u, v, w for 1, 2, 3).
#include "engine/flow3d/momentum_sources.h"

#include <algorithm>
#include <cmath>

#include "engine/common/arith.h"
#include "engine/common/physics.h"
#include "engine/flow3d/porous_sources.h"
#include "engine/flow3d/slabs.h"
#include "engine/flow3d/stencil.h"
#include "engine/grid/columns.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_plugins.h"
#include "engine/state/state_porous.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"
#include "engine/turbulence/model_constants.h"

namespace zefra {

namespace {

double cell_volume(int i, int j, int k)
{
    return 2.0 * m_armap[i][j] * m_dist_z[i][j][k];
}

bool transient()
{
    return TimeStep > TransientTimeStepLimit;
}

// Height of the centre of cell k above the bed, from the half heights.
double centre_height_from_bed(int i, int j, int k)
{
    double below = 0.0;
    for (int m = 2; m < k; ++m) below += 2.0 * m_dist_z[i][j][m];
    return below + m_dist_z[i][j][k];
}

// Density current: the weight of the suspended sediment in the w equation.
void density_current()
{
    const int y = ynumber;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = 2; k <= znumber; ++k) {
                double h;
                if (j == 2)
                    h = m_dist_z[i][2][k] + m_dist_z[i][3][k];
                else if (j == y)
                    h = m_dist_z[i][j][k] + m_dist_z[i][j - 1][k];
                else
                    h = (m_dist_z[i][j - 1][k] + 2.0 * m_dist_z[i][j][k] + m_dist_z[i][j + 1][k]) / 2.0;
                source[i][j][k] -= h * m_armap[i][j] * 1000.0 * Gravity * density * SourDens * conc[0][i][j][k];
            }
}

void volume_sources(const Field3& phi)
{
    for (int n = 1; n <= VolSourceNo; ++n) {
        const VolSourceRecord& r = VolSource[n];
        for (int i = r.i1; i <= r.i2; ++i)
            for (int j = r.j1; j <= r.j2; ++j)
                for (int k = r.k1; k <= r.k2; ++k) {
                    const double c = m_dist_z[i][j][k] * 1000.0 * std::fabs(phi[i][j][k]) * r.value1;
                    wap[i][j][k] += r.value2 * c;
                    source[i][j][k] += (r.value2 - 1.0) * c * phi[i][j][k];
                }
    }
}

// Weight of the water column in the w equation of the transient free surface.
void water_weight()
{
    const int z = znumber;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= z; ++k) {
                const double a = m_armap[i][j];
                const double* dz = m_dist_z[i][j].data();
                if (k == z || WallK[i][j][k] == -1)
                    source[i][j][k] += -9810.0 * a * (dz[k] + dz[k - 1]);
                else if (k == 2 || WallK[i][j][k] == 1)
                    source[i][j][k] += -9810.0 * a * (dz[k] + dz[k + 1]);
                else
                    source[i][j][k] += -4905.0 * a * (2.0 * dz[k] + dz[k + 1] + dz[k - 1]);
            }
}

// Wind stress coefficient C(W) of the wind formula chosen by WindFlag.
double wind_coefficient(double w)
{
    switch (WindFlag) {
    case 0: return w <= 5.6 ? w * w : (1.0 + 1.9 * (1.0 - 5.6 / w) * (1.0 - 5.6 / w)) * w * w;
    case 1: return 1.1 * w * w;
    case 2: return w < 1.0 ? 1.25 * std::pow(w, 1.5) : (w < 15.0 ? 0.5 * std::pow(w, 2.5) : 2.6 * w * w);
    default: return w;
    }
}

// Wind on the top cells.  Both momentum equations use the first direction
// component of the wind data set (the second is read but not used).
void wind()
{
    double speed = Wind[0], direction = Wind[1];
    if (TimeInNo > 0 && Winn) {
        int n = 1;
        while (n < TimeInNo - 1 && TimeInTime[n] < stime) ++n;
        const double t = TimeInNo > 1 ? (TimeInTime[n] - stime) / (TimeInTime[n] - TimeInTime[n - 1] + 1e-20) : 0.0;
        const int m = TimeInNo > 1 ? n : 0;
        const int before = TimeInNo > 1 ? n - 1 : 0;
        speed = t * Winn[before][0] + (1.0 - t) * Winn[m][0];
        direction = t * Winn[before][1] + (1.0 - t) * Winn[m][1];
    }
    const double force = direction * 0.0012 * wind_coefficient(speed);
    const int z = znumber;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            if (OBlok[i][j][z] != 0) source[i][j][z] += force * m_armap[i][j];
}

void coriolis()
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                const double v = cell_volume(i, j, k);
                if (Equation == 1) source[i][j][k] += WaterDensity * Coriolis * yvel[i][j][k] * v;
                if (Equation == 2) source[i][j][k] -= WaterDensity * Coriolis * xvel[i][j][k] * v;
            }
}

// Transient morphology: columns whose bed lies below their original level
// are damped with the fifth power of their wet share.
void minimum_depth_damping(const Field3& phi, const Field3& old)
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double original = corner_mean(i, j, [](int a, int b) { return zval[a][b][0]; });
            const double bed = corner_mean(i, j, [](int a, int b) { return zval[a][b][1]; });
            if (bed >= original) continue;
            const double r = std::min(1.0, (original - bed) / (2.0 * m_dist_z[i][j][0] + 1e-30));
            const double r5 = r * r * r * r * r;
            for (int k = 2; k <= znumber; ++k) {
                const double previous = old ? old[i][j][k] : phi[i][j][k];
                wap[i][j][k] += 2.0 * (std::fabs((previous + phi[i][j][k]) / 2.0) + 0.001) * 45300.0 / (Xks[i][j] + 1e-20) * m_armap[i][j] *
                                m_dist_z[i][j][k] * r5;
            }
        }
}

// Transient free surface: the motion of the surface pushes the water column.
void surface_motion_force()
{
    if (!zvel_old) return;
    const int z = znumber;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (OBlok[i][j][z] == 0) continue;
            double depth = 0.0;
            for (int k = 2; k <= z; ++k) depth += m_dist_z[i][j][k];
            double height = 0.0;
            for (int k = 2; k <= z; ++k) {
                height += m_dist_z[i][j][k];
                source[i][j][k] += (height / depth) / TimeStep * (zvel_old[i][j][0] - zvel[i][j][0]) * 2.0 * m_dist_z[i][j][k] * TFSforcesource;
            }
        }
}

// Near-bed damping modes 10 to 13: extra friction in the roughness layer.
void roughness_layer_friction(const Field3& phi)
{
    const double p = ParamScotti;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (OBlok[i][j][znumber] == 0) continue;
            const double ks = Xks[i][j];
            for (int k = FlagScotti == 13 ? 2 : 3; k <= znumber; ++k) {
                const double z = centre_height_from_bed(i, j, k);
                const double speed = std::fabs(phi[i][j][k]), dz = m_dist_z[i][j][k];
                switch (FlagScotti) {
                case 10:
                    if (z < ks) wap[i][j][k] += (1.0 - p) * (1.0 - z / ks) * std::sqrt(m_armap[i][j]) * 600.0 * speed * dz;
                    break;
                case 11:
                case 13:
                    if (z < ks) wap[i][j][k] += (1.0 - p) * (1.0 - z / ks) * 1000.0 * speed * dz * m_armap[i][j] / ks;
                    break;
                case 12: {
                    const double limit = p * ks;
                    if (z < limit) wap[i][j][k] += 1000.0 * speed * dz * m_armap[i][j] / limit * (1.0 - z / limit);
                    break;
                }
                default: break;
                }
            }
        }
}

// Steep-slope resistance: where the surface is steeper than a Manning-type
// friction slope, the momentum loss of the column (turbulent stress at the
// bed, change of velocity through the column and the energy-line slope) is
// applied as extra friction at the bed and the top cell.
void steep_slope_resistance()
{
    const int c = Equation - 1, z = znumber;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            double depth = 0.0, squares = 0.0;
            for (int k = 2; k <= z; ++k) {
                depth += 2.0 * m_dist_z[i][j][k];
                squares += xvel[i][j][k] * xvel[i][j][k] + yvel[i][j][k] * yvel[i][j][k];
            }
            const double speed = std::sqrt(squares / (z - 1));
            const double nz = m_vec_z[i][j][z][2];
            const double slope = std::sqrt(std::max(0.0, 1.0 - nz * nz));
            const double ne = m_vec_z[i][j][1][c];
            const double ub = xvel[i][j][2], vb = yvel[i][j][2];
            const double limit = std::pow(9.81, 1.111) / (std::pow(26.0 / std::pow(Xks[i][j] + 1e-20, 0.166666), 2.0) * std::pow(speed * depth + 1e-20, 0.222222));
            if (!(limit < slope && ne * (ub + vb) > 0.0)) continue;
            auto face_velocity = [](const Field3& flow, const Field3& area, int a, int b) {
                double q = 0.0, s = 0.0;
                for (int k = 2; k <= znumber; ++k) {
                    q += flow[a][b][k];
                    s += area[a][b][k];
                }
                return 0.001 * q / (s + 1e-20);
            };
            const double vi0 = face_velocity(flow1, m_ar_x, i - 1, j), vi1 = face_velocity(flow1, m_ar_x, i, j);
            const double vj0 = face_velocity(flow2, m_ar_y, i, j - 1), vj1 = face_velocity(flow2, m_ar_y, i, j);
            const double top_i = 0.5 * (column_top(i + 1 <= xnumber ? i + 1 : i, j) - column_top(i - 1 >= 2 ? i - 1 : i, j));
            const double top_j = 0.5 * (column_top(i, j + 1 <= ynumber ? j + 1 : j) - column_top(i, j - 1 >= 2 ? j - 1 : j));
            const double energy_i = (top_i + 0.051 * (vi1 * vi1 - vi0 * vi0)) / (2.0 * m_dist_x[i][j][0] + 1e-20);
            const double energy_j = (top_j + 0.051 * (vj1 * vj1 - vj0 * vj0)) / (2.0 * m_dist_y[i][j][0] + 1e-20);
            const double horizontal = std::sqrt(ub * ub + vb * vb) + 1e-20;
            const double e = (c == 0 ? ub : vb) / horizontal;
            const double nxi = m_vec_x[i][j][c], nyj = m_vec_y[i][j][c];
            const double r = -bed_shear_from_k(kinen[i][j][2]) * e +
                             ((vj1 - vj0) * nyj / (2.0 * m_dist_y[i][j][2] + 1e-20) + nxi * (vi1 - vi0) / (2.0 * m_dist_x[i][j][2] + 1e-20)) * speed *
                                 depth * 1000.0 +
                             depth * 9810.0 * (energy_i * nxi + energy_j * nyj);
            if (r <= 0.0) continue;
            const double add = m_armap[i][j] * 0.5 / (e * speed + 1e-20) * r;
            wap[i][j][2] += add;
            wap[i][j][z] += add;
        }
}

// Height-dependent factor of the damping modes, for cells below the roughness height.
template <class Apply>
void in_roughness_layer(Apply apply)
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (OBlok[i][j][znumber] == 0) continue;
            const double ks = Xks[i][j];
            for (int k = 2; k <= znumber; ++k) {
                const double z = centre_height_from_bed(i, j, k);
                if (z < ks) apply(i, j, k, z / ks);
            }
        }
}

}  // namespace

void time_term(const Field3& phi, const Field3& old, const Field3& old2, bool second_order)
{
    if (!old) return;
    const double dt = TimeStep;
    // Second order: the backward difference (1.5 phi - 2 phi_old + 0.5 phi_old2) / dt.
    const bool second = second_order && old2;
    split_cells([&](int i1, int i2) {
        for (int i = i1; i <= i2; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = 2; k <= znumber; ++k) {
                    const double inertia = WaterDensity * cell_volume(i, j, k) / dt;
                    if (second) {
                        wap[i][j][k] += 1.5 * inertia;
                        source[i][j][k] += inertia * (2.0 * old[i][j][k] - 0.5 * old2[i][j][k]);
                    } else {
                        wap[i][j][k] += inertia;
                        source[i][j][k] += inertia * old[i][j][k];
                    }
                }
    });
    (void)phi;
}

void momentum_source_terms(const Field3& phi, const Field3& old, const Field3& old2)
{
    // Every term, in parallel mode too: the pressure starts hydrostatic and
    // needs the weight of the water; sources and density currents are physics.
    if (TFStimeterm == 1 && transient()) time_term(phi, old, old2, FlagTimeOrder != 0);
    if (SourDens > 0.001 && Equation == 3 && conc) density_current();
    if (VolSourceNo > 0) volume_sources(phi);
    if ((FlagTFS == 1 || FlagTFS == 3) && Equation == 3) water_weight();
    if (Wind[0] > 1e-10 && (Equation == 1 || Equation == 2)) wind();
    if (FlagCoriolis == 1) coriolis();
    if (FlagTSC > 0 && (FlagTSCMinDepth == 1 || FlagTSCMinDepth == 2)) minimum_depth_damping(phi, old);
    if (FlagBedPoros == 1) extra_source();
    if (FlagDragDLL > 0) extra_sourceDLL();
    if (FlagTFS == 1 && Equation == 3 && TFSforcesource > 1e-20 && transient()) surface_motion_force();
    if (FlagScotti >= 10 && FlagScotti <= 13) roughness_layer_friction(phi);
    if (damped_model())
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                if (OBlok[i][j][2] != 0) wap[i][j][2] += 0.001 / (m_dist_z[i][j][2] + 1e-20) * m_armap[i][j];
    if (FlagSuperCritical > 0 && Equation != 3) steep_slope_resistance();
}

void damp_coefficients_near_bed()
{
    const double p = ParamScotti;
    const bool second = second_neighbours_filled();
    in_roughness_layer([&](int i, int j, int k, double ratio) {
        const double factor = p + ratio * (1.0 - p);
        ae[i][j][k] *= factor;
        aw[i][j][k] *= factor;
        an[i][j][k] *= factor;
        as[i][j][k] *= factor;
        if (second) {
            aee[i][j][k] *= factor;
            aww[i][j][k] *= factor;
            ann[i][j][k] *= factor;
            ass[i][j][k] *= factor;
        }
    });
}

void damp_central_coefficient(int mode)
{
    const double p = ParamScotti;
    if (mode == 4)
        in_roughness_layer([&](int i, int j, int k, double ratio) { wap[i][j][k] /= p + (1.0 - p) * std::pow(ratio, 0.4); });
    if (mode == 5)
        in_roughness_layer([&](int i, int j, int k, double ratio) { wap[i][j][k] /= p + (1.0 - p) * std::pow(ratio, 0.25); });
    if (mode != 8) return;
    // Mode 8: cells of the roughness layer that run faster than the damped
    // profile below the layer get a larger central coefficient.
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (OBlok[i][j][znumber] == 0) continue;
            const double ks = Xks[i][j];
            int top = 1;
            for (int k = 2; k <= znumber; ++k)
                if (centre_height_from_bed(i, j, k) < ks) top = k;
            if (top < 2 || top + 1 > znumber) continue;
            auto speed = [&](int k) { return std::hypot(xvel[i][j][k], yvel[i][j][k]); };
            const double s0 = std::max(speed(top + 1), 0.3 * speed(znumber));
            const double dot = xvel[i][j][2] * xvel[i][j][top + 1] + yvel[i][j][2] * yvel[i][j][top + 1] + zvel[i][j][2] * zvel[i][j][top + 1];
            const double lengths = std::sqrt(xvel[i][j][2] * xvel[i][j][2] + yvel[i][j][2] * yvel[i][j][2] + zvel[i][j][2] * zvel[i][j][2]) *
                                   std::sqrt(xvel[i][j][top + 1] * xvel[i][j][top + 1] + yvel[i][j][top + 1] * yvel[i][j][top + 1] +
                                             zvel[i][j][top + 1] * zvel[i][j][top + 1]);
            const double cosine = dot / (lengths + 1e-20);
            for (int k = 2; k <= top; ++k) {
                const double z = centre_height_from_bed(i, j, k);
                const double target = (p + z / ks * (1.0 - p)) * s0;
                const double g = (speed(k) - target) / ((speed(k) + s0) / 2.0 + 1e-20) * (cosine + 2.0) * 0.3333;
                if (g > 0.0) wap[i][j][k] *= 1.0 + g;
            }
        }
}

void damp_velocity_near_bed(const Field3& phi)
{
    const double p = ParamScotti;
    in_roughness_layer([&](int i, int j, int k, double ratio) {
        switch (FlagScotti) {
        case 1: phi[i][j][k] *= p + ratio * (1.0 - p); break;
        case 2: phi[i][j][k] *= p + (1.0 - p) * std::sqrt(ratio); break;
        case 3: phi[i][j][k] *= p + (1.0 - p) * std::pow(ratio, 0.2); break;
        default: break;
        }
    });
}

}  // namespace zefra
