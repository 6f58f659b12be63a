// Bed concentrations of the sediment sizes, column by column: van Rijn's
// reference concentration (concRijn) or a transport formula divided by the
// flux a unit bed concentration carries with a Rouse profile over a log-law
// velocity (concEngelund); and the bed-slope factor of the critical shear.
// Called by letter I and by the transient morphology after each flow update.
#include "engine/sediment/bed_concentration.h"

#include <algorithm>
#include <cmath>

#include "engine/common/boogie.h"
#include "engine/common/physics.h"
#include "engine/common/run_exit.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_turbulence.h"
#include "engine/turbulence/model_constants.h"

namespace zefra {

namespace {

constexpr double SpecificWeight = WaterDensity * Gravity;  // 9810 N/m3
constexpr double AngleOfRepose = 0.942;                   // rad, of the slope factor
constexpr double Nu = KinematicViscosity;

// Water depth of a column: twice the half heights of its cells.
double water_depth(int i, int j)
{
    double h = 0.0;
    for (int k = 2; k <= znumber; ++k) h += 2.0 * m_dist_z[i][j][k];
    return h;
}

double horizontal_speed(int i, int j, int k)
{
    return std::hypot(xvel[i][j][k], yvel[i][j][k]);
}

// Rouse profile between the reference level a and the depth h: the
// concentration at height z relative to that at a.
double rouse(double z, double h, double a, double rouse_number)
{
    return std::pow((h - z) / z * (a / (h - a)), rouse_number);
}

// ---- van Rijn -------------------------------------------------------------

// Critical Shields number from the Shields curve, by the particle Reynolds
// number of the bed-cell turbulence.
double shields_curve(double re)
{
    if (re > 500.0) return 0.0624927;
    if (re < 0.2) return 0.6;
    const double L = std::log10(re);
    return std::pow(10.0, -0.084544063 * L * L * L + 0.54283631 * L * L - 0.92539586 * L - 0.99863612);
}

// D90 of the bed surface of a column: sizes run from the coarsest (l = 1) to
// the finest; the cumulative fraction finer at the middle of each class is
// interpolated to 0.9.
double column_d90(int i, int j)
{
    const int n = std::min(lnumber, SizeCapacity - 1);
    if (n == 1) return gsize[1];
    double finer = 0.0, c = 0.0;
    int l = n;
    for (; l >= 1; --l) {
        const double f = bedgrain[l][i][j];
        c = finer + 0.5 * f;
        if (c > 0.9 || l == 1) break;
        finer += f;
    }
    if (c < 0.9) return gsize[1];
    if (l == n) return gsize[n];
    const double w = 2.0 * (c - 0.9) / (bedgrain[l + 1][i][j] + bedgrain[l][i][j]);
    return w * gsize[l + 1] + (1.0 - w) * gsize[l];
}

// Slope factor of the critical shear for the flow direction over the bed:
// larger uphill, smaller downhill, never below BedCritMinDamp.
double rijn_slope_factor(int i, int j)
{
    const double nx = m_vec_z[i][j][1][0], ny = m_vec_z[i][j][1][1];
    const double u = xvel[i][j][2], v = yvel[i][j][2];
    const double cos_a = (u * nx + v * ny) / (std::sqrt((u * u + v * v) * (nx * nx + ny * ny)) + 1e-20);
    const double t_phi = (1.0 - cos_a) / 2.0 * BedCritTanSlopeUp + (1.0 + cos_a) / 2.0 * BedCritTanSlopeDown;
    const int row = i == 1 ? 2 : (i == xnumber + 1 ? xnumber : i);
    const double beta = std::acos(m_vec_z[row][j][1][2]);
    const double A = -std::sin(beta) * cos_a * t_phi;
    const double tan_b = std::tan(beta), cos_b = std::cos(beta);
    const double Q = cos_b * cos_b * (1.0 - tan_b * tan_b * t_phi * t_phi) + A * A;
    const double K = Q >= 0.01 ? A + std::sqrt(Q) : A + 0.1;
    return std::max(K, BedCritMinDamp);
}

// Cohesion counts where the column is under water (FlagCohesive 1) or always.
bool cohesion_acts(int i, int j)
{
    if (FlagCohesive != 1) return true;
    auto corners = [i, j](auto level) { return level(i, j) + level(i - 1, j) + level(i, j - 1) + level(i - 1, j - 1); };
    return corners([](int a, int b) { return Surfaces[0][a][b]; }) > corners([](int a, int b) { return zval[a][b][1]; });
}

// Bed-form height from the mean transport stage of the column, limited by
// the sediment thickness and the depth.
double bedform_height(double stage, double mean_d, double depth, double thickness)
{
    double height = 0.0;
    if (stage <= 25.0) height = 0.11 * depth * std::pow(mean_d / depth, 0.3) * (1.0 - std::exp(-0.5 * stage)) * (25.0 - stage);
    return std::min({height, 0.5 * thickness, 3.0 * depth});
}

// ---- transport formulas ---------------------------------------------------

// The flow of one column as the formulas see it, for a size of fall velocity w.
struct ColumnFlow {
    double depth;       // h
    double mean_speed;  // U, depth-averaged horizontal speed
    double u_star;      // shear velocity from the bed shear
    double flux;        // F: sediment flux per unit width of a unit bed concentration
    double bed_flux;    // F_b: the part of F carried by the bed cell
};

ColumnFlow column_flow(int i, int j, double w, double ks)
{
    ColumnFlow c{};
    c.depth = water_depth(i, j);
    double q = 0.0;
    for (int k = 2; k <= znumber; ++k) q += horizontal_speed(i, j, k) * 2.0 * m_dist_z[i][j][k];
    c.mean_speed = q / c.depth;
    c.u_star = std::sqrt(std::max(bedshear[i][j], 0.0) / WaterDensity);
    const double Z = w / (Kappa * c.u_star + 1e-20);

    // The bed cell carries the bed concentration; above it a Rouse profile
    // over the rough-wall log law.
    c.bed_flux = horizontal_speed(i, j, 2) * 2.0 * m_dist_z[i][j][2];
    c.flux = c.bed_flux;
    const double a = blevel[i][j];
    double below = 2.0 * m_dist_z[i][j][2];  // height of the bottom of cell k
    for (int k = 3; k <= znumber; ++k) {
        const double z = below + m_dist_z[i][j][k];
        const double u_log = std::max(0.0, c.u_star / Kappa * std::log(30.0 * z / ks));
        c.flux += 2.0 * rouse(z, c.depth, a, Z) * m_dist_z[i][j][k] * u_log;
        below += 2.0 * m_dist_z[i][j][k];
    }
    return c;
}

// Total-load concentration of Shen and Hung, ppm by weight (velocities in ft/s).
double shen_hung_ppm(double U, double S, double w)
{
    if (w <= 0.0) return 0.0;
    constexpr double Feet = 3.28;
    const double Y = std::pow(Feet * U * std::pow(S, 0.57) / std::pow(Feet * w, 0.32), 0.0075);
    return std::pow(10.0, 109503.9 * Y * Y * Y - 326309.6 * Y * Y + 324214.7 * Y - 107404.5);
}

// Yang's unit stream power formula for sand, ppm by weight; 0 when the
// speed does not exceed the critical speed.  The critical-speed curve is
// used within its range 1.2 <= Re* < 70.
double yang_ppm(double U, double S, double w, double u_star, double d)
{
    if (w <= 0.0) return 0.0;
    const double re_star = std::max(u_star * d / Nu, 1.2);
    const double v_crit = re_star < 70.0 ? w * (2.5 / (std::log10(re_star) - 0.06) + 0.66) : 2.05 * w;
    if (U <= v_crit) return 0.0;
    const double L1 = std::log10(w * d / Nu), L2 = std::log10(u_star / w), L3 = std::log10((U - v_crit) * S / w);
    return std::pow(10.0, 5.435 - 0.286 * L1 - 0.457 * L2 + (1.799 - 0.409 * L1 - 0.314 * L2) * L3);
}

// Ackers and White: the sediment mass per volume of water discharge, kg/m3.
double ackers_white(Boogie& log, double U, double h, double u_star, double d, double s)
{
    const double d_gr = d * std::pow((s - 1.0) * Gravity, 0.33333) * std::pow(Nu, -0.666666);
    double A = 0.17, C = 0.025, n = 0.0, m = 1.5;
    if (d_gr <= 60.0) {
        const double L = std::log10(d_gr);
        n = 1.0 - 0.56 * L;
        A = 0.23 / std::sqrt(d_gr) + 0.14;
        m = 9.66 / d_gr + 1.34;
        C = std::pow(10.0, 2.86 * L - L * L - 3.53);
        if (d_gr < 1.0) {
            log.print("Ackers/White formula not valid for this situation\n");
            n = 1.0;
        }
    }
    const double f_gr = std::pow(u_star, n) / std::sqrt(Gravity * d * (s - 1.0)) *
                        std::pow(U / (5.656854249492381 * std::log10(10.0 * h / d)), 1.0 - n);
    const double G = f_gr / A - 1.0;
    if (G < 0.0) return 0.0;
    return C * std::pow(G, m) * WaterDensity * s * d * std::pow(U / u_star, n) / h;
}

}  // namespace

void bedslope_corr()
{
    const double tan_repose = std::tan(AngleOfRepose);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double beta = std::acos(m_vec_z[i][j][1][2]);
            const double r = std::tan(beta) / tan_repose;
            bedslope_correction[i][j] = std::cos(beta) * (r >= 0.9 ? std::sqrt(0.19) : std::sqrt(1.0 - r * r));
        }
    for (int j = 2; j <= ynumber; ++j) bedslope_correction[1][j] = bedslope_correction[xnumber + 1][j] = 1.0;
}

void concRijn()
{
    const int x = xnumber, y = ynumber, sizes = std::min(lnumber, SizeCapacity - 1);
    const double delta = density - 1.0;
    const double d_star_factor = std::pow(delta * Gravity / (Nu * Nu), 0.3333);  // D* = factor d
    const double bed_load_scale = std::sqrt(delta * Gravity);
    const double fixed_critical = delta * shieldscoeff * SpecificWeight;  // tau_c / d

    for (int i = 1; i <= x + 1; ++i)
        for (int j = 2; j <= y; ++j) {
            const double d90 = column_d90(i, j);
            D90a[i][j] = d90;
            double mean_d = 0.0;
            for (int l = 1; l <= sizes; ++l) mean_d += gsize[l] * bedgrain[l][i][j];
            // Skin friction: the part of the shear that acts on the grains.
            double skin = 1.0;
            if (FlagRoughness == 4 || FlagRoughness == 5) skin = std::pow(std::min(3.0 * d90 / (Xks[i][j] + 1e-20), 1.0), 0.25);

            const double tau = bedshear[i][j];
            const bool water = OBlok[i][j][2] == 1;
            const double depth = water_depth(i, j);
            double stage_sum = 0.0;
            for (int l = 1; l <= sizes; ++l) {
                const double d = gsize[l];

                // Critical shear: fixed Shields number or the Shields curve.
                double critical = fixed_critical;
                if (shieldscoeff <= 0.0) {
                    const double re = std::sqrt(SqrtCMu * kinen[i][j][2]) * d / Nu;
                    critical = shields_curve(re) * delta * SpecificWeight;
                }
                const double slope = FlagBedslopeCorrection == 1 ? rijn_slope_factor(i, j) : 1.0;
                double tau_c = slope * critical * d + 1e-20;
                if (cohesive[l] > 1e-10 && cohesion_acts(i, j)) tau_c += cohesive[l];

                // Transport stage: the full shear for the bed forms, the skin
                // shear for the concentration.
                if (tau - tau_c > 1e-6 && water) stage_sum += (tau - tau_c) / tau_c;
                double c = 0.0;
                if (skin * tau - tau_c > 1e-6 && water) {
                    const double T = (skin * tau - tau_c) / tau_c;
                    const double d_star = d_star_factor * d;
                    const double a = blevel[i][j];
                    if (BedLoadFlag == 0 || BedLoadFlag == 2)
                        c += ConcFormCoeff * d * std::pow(T, ConcFormTstar) / (a * std::pow(d_star, ConcFormDstar));
                    // Bed load spread over the bed cell of height 2a.
                    if (BedLoadFlag == 1 || BedLoadFlag == 2)
                        c += bed_load_scale * ConcFormBCoeff * std::pow(d, ConcFormBD50) * std::pow(T, ConcFormBTstar) /
                             (horizontal_speed(i, j, 2) * 2.0 * a * std::pow(d_star, ConcFormBDstar));

                    // Reference level raised to the roughness: the Rouse
                    // profile carries the concentration to the bed-cell centre.
                    if (TSCbedrouse == 1) {
                        const double a_rough = std::max(Xks[i][j], 0.01 * depth);
                        const double z = m_dist_z[i][j][2] - a_rough;
                        if (z > 1e-5) {
                            const double Z = fallvelo[l] / Kappa / std::sqrt(SqrtCMu * kinen[i][j][2] + 1e-20);
                            c *= std::clamp(rouse(z, depth, a_rough, Z), 0.0001, 1.0);
                        }
                    }
                }
                conc[l][i][j][0] = std::min(c, MaxBedConc);
            }

            // Bed forms and the roughness they give.
            const double thickness = bedgrain[0][i][j] + BedGrainOriginal[0][i][j];
            const double height = bedform_height(stage_sum / lnumber, mean_d, depth, thickness);
            Bedformheight[i][j] = height;
            if (FlagRoughness >= 2 && FlagRoughness <= 5) {
                if (thickness <= d90)
                    Xks[i][j] = std::max(3.0 * thickness, XksWall);
                else if (FlagRoughness == 2)
                    Xks[i][j] = 3.0 * d90;
                else
                    Xks[i][j] = 1.1 * height * (1.0 - std::exp(-25.0 * height / (7.3 * depth))) + 3.0 * d90;
            }
        }

    for (int i = 1; i <= x + 1; ++i) {
        D90a[i][1] = D90a[i][2];
        D90a[i][y + 1] = D90a[i][y];
        Xks[i][1] = Xks[i][2];
        Xks[i][y + 1] = Xks[i][y];
    }
    if (FlagRoughSmooth == 1) {
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y; ++j)
                D50a[i][j] = 0.5 * Xks[i][j] + 0.125 * (Xks[i - 1][j] + Xks[i + 1][j] + Xks[i][j - 1] + Xks[i][j + 1]);
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y; ++j) Xks[i][j] = D50a[i][j];
    }
}

void concEngelund()
{
    Boogie log;
    if (log_unavailable(log)) return;
    const int x = xnumber, y = ynumber, sizes = std::min(lnumber, SizeCapacity - 1);
    const double s = density, rho_s = WaterDensity * s;
    const double theta_c = std::fabs(shieldscoeff);
    const double ks = std::pow(26.0 / ManArray[0], 6.0);  // roughness of the Strickler coefficient

    for (int l = 1; l <= sizes; ++l)
        for (int i = 1; i <= x + 1; ++i)
            for (int j = 2; j <= y; ++j) {
                const double d = gsize[l], w = fallvelo[l];
                const ColumnFlow c = column_flow(i, j, w, ks);
                const double h = c.depth, U = c.mean_speed, F = c.flux;
                const double tau = bedshear[i][j];
                const double S = tau / (SpecificWeight * h);
                const double theta = std::fabs(tau) / ((s - 1.0) * SpecificWeight * d);
                double tau_c = (s - 1.0) * theta_c * SpecificWeight * d;
                if (FlagBedslopeCorrection == 1) tau_c *= bedslope_correction[i][j];
                double& bed = conc[l][i][j][0];

                if (SedimentFormula == 'E') {
                    // Engelund-Hansen total load, kg/(m s).
                    const double q = 0.05 * s * WaterDensity * U * U * std::sqrt(d / ((s - 1.0) * Gravity)) * std::pow(theta, 1.5);
                    bed = std::fabs(F) > 1e-10 ? q / (rho_s * F) : 0.0;
                    if (bed > 2.65) {
                        log.print("Error Engelund conc(%d,%d,0,%d) = %e\n", i, j, l, bed);
                        log.print("  engelund,konc,eqshear = %e %e %e\n", q, F, tau_c);
                        log.print("  velocity,slope,partfroude = %e %e %e\n", U, S, theta);
                    }
                    continue;
                }
                if (std::fabs(F) <= 1e-10 || tau <= tau_c) {
                    bed = 0.0;
                    continue;
                }
                // The concentrations of Ackers-White (kg/m3 of water), Shen-Hung
                // and Yang (ppm by weight) are those of the water discharge U h:
                // their sediment rate per unit width, kg/(m s), is that times U h.
                const double water_discharge = U * h;
                switch (SedimentFormula) {
                case 'M': {
                    const double q = 0.02578 * (s / (s - 1.0)) * std::pow(tau - tau_c, 1.5);
                    bed = q / (rho_s * F);
                    break;
                }
                case 'I': {
                    // Einstein-Brown bed load with Rubey's fall-velocity factor.
                    const double X = 36.0 * Nu * Nu / (Gravity * d * d * d * (s - 1.0));
                    const double f_r = std::sqrt(0.66667 + X) - std::sqrt(X);
                    const double q = 40.0 * f_r * std::pow(theta, 3.0) * rho_s * std::sqrt((s - 1.0) * Gravity * d * d * d);
                    if (c.bed_flux <= 1e-20) {
                        log.print("Einsteins formula not valid for this situation");
                        log.close();
                        end_run(1);
                    }
                    bed = q / (rho_s * c.bed_flux);
                    break;
                }
                case 'A': bed = ackers_white(log, U, h, c.u_star, d, s) * water_discharge / (rho_s * F); break;
                case 'S': bed = shen_hung_ppm(U, S, w) * 1e-6 * WaterDensity * water_discharge / (rho_s * F); break;
                case 'Y': bed = yang_ppm(U, S, w, c.u_star, d) * 1e-6 * WaterDensity * water_discharge / (rho_s * F); break;
                default: bed = 0.0; break;
                }
            }
}

void concentration_profile(int i, int j, int l, double* share)
{
    const double depth = water_depth(i, j), a = blevel[i][j];
    const double u_star = std::sqrt(std::max(bedshear[i][j], 0.0) / WaterDensity);
    const double Z = fallvelo[l] / (Kappa * u_star + 1e-20);
    share[2] = 1.0;
    double below = 2.0 * m_dist_z[i][j][2];  // height of the bottom of cell k
    for (int k = 3; k <= znumber; ++k) {
        const double z = below + m_dist_z[i][j][k];
        share[k] = z < depth && a < depth ? std::min(rouse(z, depth, a, Z), 1.0) : 1.0;
        below += 2.0 * m_dist_z[i][j][k];
    }
}

}  // namespace zefra
