// Convection-diffusion coefficients of the suspended sediment in volume-flux
// units (m3/s), power-law or second-order upwind (F 27 1): the horizontal
// couplings shared by every size, then the vertical couplings with the
// settling velocity of each size.
// Called by letter I and by the sediment solvers.
#include "engine/sediment/sediment_coefficients.h"

#include <algorithm>
#include <cmath>

#include "engine/common/boogie.h"
#include "engine/common/status.h"
#include "engine/flow3d/coefficients.h"
#include "engine/flow3d/higher_order.h"
#include "engine/grid/columns.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_turbulence.h"

namespace zefra {

namespace {

constexpr double Tiny = 1e-30;      // keeps degenerate cells from dividing by zero
constexpr double ToVolume = 0.001;  // mass flux (kg/s) to volume flux (m3/s)

}  // namespace

void coeffe_setup()
{
    if (FlagPrint == 0) set_status(mc_program, "In coeff-generator ");
    const int x = xnumber, y = ynumber, z = znumber;
    if (FlagSentripental == 1)
        for (int i = 2; i <= x; ++i)
            for (int j = 1; j <= y + 1; ++j)
                for (int k = 2; k <= z; ++k) flow2[i][j][k] += m_ar_y[i][j][k] * SentripentalVelo * 1000.0;

    // Horizontal faces in volume-flux units; diffusion only on inner faces and
    // only when horizontal sediment diffusion is on.
    auto sediment_face = [](double flux, double conductance, bool diffusive, double& low, double& high) {
        const double weight = diffusive ? power_law(flux, conductance) : 0.0;
        low = std::max(-flux, 0.0) + weight * conductance;
        high = std::max(flux, 0.0) + weight * conductance;
    };
    for (int i = 1; i <= x; ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = 2; k <= z; ++k) {
                const double d0 = m_dist_x[i][j][k], d1 = m_dist_x[i + 1][j][k], sum = d0 + d1 + Tiny;
                const double gf = (d0 * diff[i + 1][j][k] + d1 * diff[i][j][k]) / sum;
                const bool diffusive = FlagDiffNonVert != 0 && i != 1 && i != x;
                sediment_face(ToVolume * flow1[i][j][k], gf * m_ar_x[i][j][k] * TurbMultHor / sum, diffusive, aw[i][j][k], ae[i + 1][j][k]);
            }
    for (int i = 2; i <= x; ++i)
        for (int j = 1; j <= y; ++j)
            for (int k = 2; k <= z; ++k) {
                const double d0 = m_dist_y[i][j][k], d1 = m_dist_y[i][j + 1][k], sum = d0 + d1 + Tiny;
                const double gf = (d0 * diff[i][j + 1][k] + d1 * diff[i][j][k]) / sum;
                const bool diffusive = FlagDiffNonVert != 0 && j != 1 && j != y;
                sediment_face(ToVolume * flow2[i][j][k], gf * m_ar_y[i][j][k] * TurbMultHor / sum, diffusive, an[i][j][k], as[i][j + 1][k]);
            }

    // Bed-form smoothing: extra mixing along the bed proportional to the speed.
    if (FlagRBedformsmooth == 1) {
        auto speed = [](int i1, int j1, int i2, int j2) {
            const double u = 0.5 * (xvel[i1][j1][2] + xvel[i2][j2][2]), v = 0.5 * (yvel[i1][j1][2] + yvel[i2][j2][2]);
            return std::sqrt(u * u + v * v);
        };
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y - 1; ++j) {
                const double add = speed(i, j, i, j + 1) * m_ar_y[i][j][2] * RBedformsmooth;
                an[i][j][2] += add;
                as[i][j + 1][2] += add;
            }
        for (int i = 2; i <= x - 1; ++i)
            for (int j = 2; j <= y; ++j) {
                const double add = speed(i, j, i + 1, j) * m_ar_x[i][j][2] * RBedformsmooth;
                aw[i][j][2] += add;
                ae[i + 1][j][2] += add;
            }
    }

    // Second-order upwind (with its second neighbours) or multi-block
    // coefficients replace these, in mass-flux units: converted back to volume
    // units here.  The plain coefficients couple no second neighbours.
    const bool replaced = SedimentScheme == 1 || MBNo > 0;
    if (SedimentScheme == 1)
        coeffe_SOU();
    else if (MBNo > 0)
        coeffe_flow();
    else
        coefficients_filled_by(0);
    if (replaced) {
        for (int j = 2; j <= y; ++j)
            for (int k = 2; k <= z; ++k) {
                ae[x + 1][j][k] = std::max(flow1[x][j][k], 0.0);
                aw[1][j][k] = std::max(-flow1[1][j][k], 0.0);
            }
        const bool second = SedimentScheme == 1 && aee;
        for (int i = 1; i <= x + 1; ++i)
            for (int j = 1; j <= y + 1; ++j)
                for (int k = 2; k <= z; ++k) {
                    ae[i][j][k] *= ToVolume;
                    aw[i][j][k] *= ToVolume;
                    an[i][j][k] *= ToVolume;
                    as[i][j][k] *= ToVolume;
                    if (second) {
                        aee[i][j][k] *= ToVolume;
                        aww[i][j][k] *= ToVolume;
                        ass[i][j][k] *= ToVolume;
                        ann[i][j][k] *= ToVolume;
                    }
                }
    }

    // Dry columns of the transient morphology take no horizontal sediment flux.
    if (FlagTSC == 1 && (FlagTSCMinDepth == 4 || FlagTSCMinDepth == 5))
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y; ++j) {
                const double original = corner_mean(i, j, [](int a, int b) { return zval[a][b][0]; });
                if (column_top(i, j) - TSCMinDepth >= original) continue;
                for (int k = 0; k <= z + 1; ++k) ae[i][j][k] = 0.0;
                an[i][j][z + 1] = as[i][j][z + 1] = aw[i][j][z + 1] = 0.0;
            }
}

void coeffe_setup2()
{
    Boogie log;
    if (log_unavailable(log)) return;
    const int x = xnumber, y = ynumber, z = znumber, sizes = std::min(lnumber, SizeCapacity - 1);
    for (int l = 1; l <= sizes; ++l)
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y; ++j)
                for (int k = 2; k <= z; ++k) ap[l][i][j][k] = 0.0;
    if (Flag2Dim == 1)
        for (int i = 0; i <= x + 1; ++i)
            for (int j = 0; j <= y + 1; ++j)
                for (int k = 1; k <= z; ++k) flow3[i][j][k] = 0.0;
    if (debugging == 'E') set_status(mc_message, "In coeffe_setup2");

    const bool second = SedimentScheme == 1 && aee && catt;
    if (second)
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y; ++j) {
                ae[i][j][2] += aee[i][j][2];
                aw[i][j][2] += aww[i][j][2];
                as[i][j][2] += ass[i][j][2];
                an[i][j][2] += ann[i][j][2];
                aee[i][j][2] = aww[i][j][2] = ass[i][j][2] = ann[i][j][2] = 0.0;
            }

    for (int l = 1; l <= sizes; ++l)
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y; ++j) {
                const double area = m_armap[i][j];
                const double* dz = m_dist_z[i][j].data();
                double *top = at[l][i][j].data(), *bottom = ab[l][i][j].data();
                for (int k = 1; k <= z + 1; ++k) top[k] = bottom[k] = 0.0;
                if (second)
                    for (int k = 1; k <= z + 1; ++k) catt[l][i][j][k] = cabb[l][i][j][k] = 0.0;
                for (int k = 2; k <= z - 1; ++k) {
                    // Net upward volume flux: water flux minus settling.
                    const double flux = ToVolume * flow3[i][j][k] - fallvelo[l] * area;
                    const double sum = dz[k] + dz[k + 1] + Tiny;
                    const double gf = (diff[i][j][k + 1] * dz[k] + diff[i][j][k] * dz[k + 1]) * TurbMultVert * invSchmidt[l] / sum;
                    const double conductance = gf * area / sum;
                    const double diffusion = conductance * power_law(flux, conductance);
                    if (!second) {
                        top[k] = diffusion + std::max(-flux, 0.0);
                        bottom[k + 1] = diffusion + std::max(flux, 0.0);
                    } else {
                        // Upwind-biased second order: the face value extrapolated from
                        // the two upwind cells, weights (2 d_k + d_k-1) / (d_k + d_k-1) and that minus 1.
                        top[k] = diffusion;
                        bottom[k + 1] = diffusion;
                        if (flux > 0.0) {
                            const double w = (2 * dz[k] + dz[k - 1]) / (dz[k] + dz[k - 1] + Tiny);
                            bottom[k + 1] += flux * w;
                            cabb[l][i][j][k + 1] = -flux * (w - 1.0);
                        } else if (k + 2 <= z) {
                            const double w = (2 * dz[k + 1] + dz[k + 2]) / (dz[k + 1] + dz[k + 2] + Tiny);
                            top[k] += -flux * w;
                            catt[l][i][j][k] = flux * (w - 1.0);
                        } else {
                            top[k] += -flux;
                        }
                    }
                }
                // No coupling through the bed; the surface cell loses what settles.
                if (second) {
                    top[2] += catt[l][i][j][2];
                    catt[l][i][j][2] = 0.0;
                    cabb[l][i][j][2] = 0.0;
                    catt[l][i][j][z] = 0.0;
                }
                bottom[2] = 0.0;
                top[z] = std::fabs(fallvelo[l] * area);
            }

    // Cells outside the flow and dry columns of the transient morphology do
    // not couple vertically.
    for (int l = 1; l <= sizes; ++l)
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y; ++j) {
                const bool dry = FlagTSC >= 1 && TSCMinDepth > 0 && column_depth(i, j) < TSCMinDepth;
                for (int k = 2; k <= z; ++k)
                    if (dry || OBlok[i][j][k] == 0) at[l][i][j][k] = ab[l][i][j][k] = 0.0;
            }

    for (int l = 1; l <= sizes; ++l)
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y; ++j)
                for (int k = 2; k <= z; ++k) {
                    double sum = ae[i][j][k] + aw[i][j][k] + an[i][j][k] + as[i][j][k] + at[l][i][j][k] + ab[l][i][j][k];
                    if (second)
                        sum += aee[i][j][k] + aww[i][j][k] + ann[i][j][k] + ass[i][j][k] + catt[l][i][j][k] + cabb[l][i][j][k];
                    ap[l][i][j][k] = sum;
                    if (sum >= 1e-8 || ISkjotMB[i - 1] == 1) continue;
                    log.print(second ? "In coef2, Error, ap(%d,%d,%d,%d) = %g\n" : "In cofe2: Error, ap(%d,%d,%d,%d) = %g\n", l, i, j, k, sum);
                    set_status(mc_message, "Error in coeff. gen.");
                    if (FlagTSC == 1)
                        ap[l][i][j][k] += 1e-5;
                    else
                        FlagErrorBreak = 1;
                }
}

}  // namespace zefra
