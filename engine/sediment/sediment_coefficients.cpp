// Convection-diffusion coefficients of the suspended sediment in volume-flux
// units (m3/s), power-law or second-order upwind (F 27 1): the horizontal
// couplings shared by every size, then the vertical couplings with the
// settling velocity of each size.
// Faces against walls and out-blocks couple nothing; where settling sediment
// meets a horizontal wall the central coefficient carries the settling flux
// the wall stops or lets out.  Called by letter I and by the sediment drivers.
#include "engine/sediment/sediment_coefficients.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/common/boogie.h"
#include "engine/common/status.h"
#include "engine/flow3d/coefficients.h"
#include "engine/flow3d/higher_order.h"
#include "engine/grid/columns.h"
#include "engine/sediment/size_equation.h"
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
constexpr double Blocked = 1e25;    // central coefficient that holds an out-block cell at 0

inline double horizontal_sum(int i, int j, int k)
{
    return ae[i][j][k] + aw[i][j][k] + an[i][j][k] + as[i][j][k];
}

// Index 0 is the column of the depth-averaged sediment.
inline bool blocked(int i, int j, int k)
{
    return i >= 2 && i <= xnumber && j >= 2 && j <= ynumber && (k == 0 || (k >= 2 && k <= znumber)) && OBlok[i][j][k] == 0;
}

// A face is a wall when either cell says so (W 4 walls mark one side only)
// or when the cell beyond it is blocked; it couples nothing either way, so
// that what one cell gives the other receives.
inline bool wall_low_i(int i, int j, int k)
{
    return WallI[i][j][k] == 1 || WallI[i - 1][j][k] == -1 || blocked(i - 1, j, k);
}
inline bool wall_high_i(int i, int j, int k)
{
    return WallI[i][j][k] == -1 || WallI[i + 1][j][k] == 1 || blocked(i + 1, j, k);
}
inline bool wall_low_j(int i, int j, int k)
{
    return WallJ[i][j][k] == 1 || WallJ[i][j - 1][k] == -1 || blocked(i, j - 1, k);
}
inline bool wall_high_j(int i, int j, int k)
{
    return WallJ[i][j][k] == -1 || WallJ[i][j + 1][k] == 1 || blocked(i, j + 1, k);
}
// Above the top cell only a roof (WallK -1) is a wall; the bed is no wall.
inline bool wall_above(int i, int j, int k)
{
    if (k == znumber) return WallK[i][j][k] == -1;
    return WallK[i][j][k] == -1 || WallK[i][j][k + 1] == 1 || blocked(i, j, k + 1);
}
inline bool wall_below(int i, int j, int k)
{
    return k > 2 && (WallK[i][j][k] == 1 || WallK[i][j][k - 1] == -1 || blocked(i, j, k - 1));
}

// Horizontal faces against walls and out-blocks, and every face of a
// blocked cell, couple nothing.
void clear_horizontal_walls(Layers layers)
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = layers.first; k <= layers.last; ++k) {
                const bool out = OBlok[i][j][k] == 0;
                if (out || wall_low_i(i, j, k)) ae[i][j][k] = 0.0;
                if (out || wall_high_i(i, j, k)) aw[i][j][k] = 0.0;
                if (out || wall_low_j(i, j, k)) as[i][j][k] = 0.0;
                if (out || wall_high_j(i, j, k)) an[i][j][k] = 0.0;
            }
}

}  // namespace

bool second_order_sediment()
{
    return SedimentScheme == 1 && aee && catt && cabb;
}

void coeffe_setup()
{
    if (FlagPrint == 0) set_status(mc_program, "In coeff-generator ");
    horizontal_sediment_coefficients(water_layers());
}

void horizontal_sediment_coefficients(Layers layers)
{
    const int x = xnumber, y = ynumber, z = znumber, k1 = layers.first, k2 = layers.last;
    if (FlagSentripental == 1)
        for (int i = 2; i <= x; ++i)
            for (int j = 1; j <= y + 1; ++j)
                for (int k = k1; k <= k2; ++k) flow2[i][j][k] += m_ar_y[i][j][k] * SentripentalVelo * 1000.0;

    // Horizontal faces in volume-flux units; diffusion only on inner faces and
    // only when horizontal sediment diffusion is on.  diff is the eddy
    // viscosity: the Schmidt number of F 12 turns it into the diffusivity.
    auto sediment_face = [](double flux, double conductance, bool diffusive, double& low, double& high) {
        const double weight = diffusive ? power_law(flux, conductance) : 0.0;
        low = std::max(-flux, 0.0) + weight * conductance;
        high = std::max(flux, 0.0) + weight * conductance;
    };
    for (int i = 1; i <= x; ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = k1; k <= k2; ++k) {
                const double d0 = m_dist_x[i][j][k], d1 = m_dist_x[i + 1][j][k], sum = d0 + d1 + Tiny;
                const double gf = (d0 * diff[i + 1][j][k] + d1 * diff[i][j][k]) / sum;
                const bool diffusive = FlagDiffNonVert != 0 && i != 1 && i != x;
                sediment_face(ToVolume * flow1[i][j][k], gf * m_ar_x[i][j][k] * TurbMultHor * invSchmidt[0] / sum, diffusive, aw[i][j][k], ae[i + 1][j][k]);
            }
    for (int i = 2; i <= x; ++i)
        for (int j = 1; j <= y; ++j)
            for (int k = k1; k <= k2; ++k) {
                const double d0 = m_dist_y[i][j][k], d1 = m_dist_y[i][j + 1][k], sum = d0 + d1 + Tiny;
                const double gf = (d0 * diff[i][j + 1][k] + d1 * diff[i][j][k]) / sum;
                const bool diffusive = FlagDiffNonVert != 0 && j != 1 && j != y;
                sediment_face(ToVolume * flow2[i][j][k], gf * m_ar_y[i][j][k] * TurbMultHor * invSchmidt[0] / sum, diffusive, an[i][j][k], as[i][j + 1][k]);
            }

    // Second-order upwind (F 27 1, the cells only) or, on multi-block grids,
    // the flow's coefficients with the joint couplings replace these, in
    // mass-flux units: converted here.  The second-order scheme diffuses with
    // the sediment's own diffusivity, put into gama meanwhile.
    const bool second = !layers.column() && second_order_sediment();
    if (SedimentScheme == 1 && !second)
        log_append("Second-order scheme of F 27 not available: first-order sediment coefficients used\n");
    if (second) {
        const std::vector<double> kept(gama.data(), gama.data() + gama.size());
        const double* d = diff.data();
        double* g = gama.data();
        const double diffusive = FlagDiffNonVert != 0 ? 1.0 / ToVolume : 0.0;
        for (std::size_t n = 0, size = std::min(gama.size(), diff.size()); n < size; ++n) g[n] = diffusive * d[n];
        sediment_coefficients_SOU(invSchmidt[0]);
        std::copy(kept.begin(), kept.end(), gama.data());
    } else if (MBNo > 0) {
        convection_diffusion(Equation, layers);
    } else {
        coefficients_filled_by(0);  // no second neighbours
    }
    if (second || MBNo > 0) {
        // The boundary rows see the cells next to them with the inflowing flux.
        for (int j = 2; j <= y; ++j)
            for (int k = k1; k <= k2; ++k) {
                ae[x + 1][j][k] = std::max(flow1[x][j][k], 0.0);
                aw[1][j][k] = std::max(-flow1[1][j][k], 0.0);
            }
        for (int i = 2; i <= x; ++i)
            for (int k = k1; k <= k2; ++k) {
                an[i][1][k] = std::max(-flow2[i][1][k], 0.0);
                as[i][y + 1][k] = std::max(flow2[i][y][k], 0.0);
            }
        for (int i = 1; i <= x + 1; ++i)
            for (int j = 1; j <= y + 1; ++j)
                for (int k = k1; k <= k2; ++k) {
                    for (const Field3* a : {&ae, &aw, &an, &as}) (*a)[i][j][k] *= ToVolume;
                    if (second)
                        for (const Field3* a : {&aee, &aww, &ann, &ass}) (*a)[i][j][k] *= ToVolume;
                }
    }

    // Bed-form smoothing: extra mixing along the bed proportional to the
    // speed, whichever scheme gave the coefficients (not on the columns).
    if (FlagRBedformsmooth == 1 && !layers.column()) {
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

    clear_horizontal_walls(layers);

    // Dry columns of the transient morphology take no horizontal sediment flux.
    if (FlagTSC >= 1 && (FlagTSCMinDepth == 4 || FlagTSCMinDepth == 5))
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
    if (Flag2Dim == 1)
        for (int i = 0; i <= x + 1; ++i)
            for (int j = 0; j <= y + 1; ++j)
                for (int k = 1; k <= z; ++k) flow3[i][j][k] = 0.0;
    if (debugging == 'E') set_status(mc_message, "In coeffe_setup2");

    const bool second = second_order_sediment();
    for (int l = 1; l <= sizes; ++l)
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y; ++j) {
                const double area = m_armap[i][j], settling = fallvelo[l] * area;
                const double* dz = m_dist_z[i][j].data();
                double *top = at[l][i][j].data(), *bottom = ab[l][i][j].data(), *centre = ap[l][i][j].data();
                for (int k = 1; k <= z + 1; ++k) top[k] = bottom[k] = centre[k] = 0.0;
                // Faces between k and k+1: the net upward volume flux is the
                // water flux minus settling.
                for (int k = 2; k <= z - 1; ++k) {
                    const double flux = ToVolume * flow3[i][j][k] - settling;
                    const double sum = dz[k] + dz[k + 1] + Tiny;
                    const double gf = (diff[i][j][k + 1] * dz[k] + diff[i][j][k] * dz[k + 1]) * TurbMultVert * invSchmidt[l] / sum;
                    const double conductance = gf * area / sum;
                    if (!second) {
                        const double diffusion = conductance * power_law(flux, conductance);
                        top[k] = diffusion + std::max(-flux, 0.0);
                        bottom[k + 1] = diffusion + std::max(flux, 0.0);
                        continue;
                    }
                    // F 27 1: settling against diffusion keeps the exponential
                    // weighting of the power law, nearly exact for that balance
                    // (a second-order upwind settling flux would misplace the
                    // Rouse profile by several per cent on usual grids); the
                    // water's own vertical flux is carried by second-order
                    // upwind below.
                    const double diffusion = conductance * power_law(settling, conductance);
                    const double water = ToVolume * flow3[i][j][k];
                    top[k] = diffusion + std::max(settling, 0.0) + std::max(-water, 0.0);
                    bottom[k + 1] = diffusion + std::max(-settling, 0.0) + std::max(water, 0.0);
                }
                if (second) {
                    // The water's flux |F| through the faces between suspended
                    // cells whose cell beyond the upwind one is suspended too,
                    // behind an open face, takes the face value
                    // r c_U - (r - 1) c_UU, r = (2 d_U + d_UU) / (d_U + d_UU) with
                    // the half heights d: the downwind cell takes r |F| from U and
                    // -(r - 1) |F| from UU (catt / cabb), U gives (r - 1) |F| more
                    // towards UU.  Every other face stays first-order, the bed
                    // face above all, so that the bed cell exchanges with the
                    // water above as under the power law.
                    auto open = [&](int k) { return k >= 3 && k <= z - 1 && OBlok[i][j][k] != 0 && !wall_above(i, j, k); };
                    double *top2 = catt[l][i][j].data(), *bottom2 = cabb[l][i][j].data();
                    for (int k = 1; k <= z + 1; ++k) top2[k] = bottom2[k] = 0.0;
                    for (int k = 3; k <= z - 1; ++k) {
                        const double water = ToVolume * flow3[i][j][k];
                        if (water > 0.0 && open(k) && open(k - 1)) {
                            const double extra = water * (dz[k] / (dz[k] + dz[k - 1] + Tiny));  // (r - 1) |F|
                            bottom[k + 1] += extra;
                            bottom2[k + 1] = -extra;
                            bottom[k] += extra;
                        } else if (water < 0.0 && open(k) && open(k + 1)) {
                            const double extra = -water * (dz[k + 1] / (dz[k + 1] + dz[k + 2] + Tiny));
                            top[k] += extra;
                            top2[k] = -extra;
                            top[k + 1] += extra;
                        }
                    }
                }
                // Nothing through the bed; the surface cell keeps what would
                // settle into it from above, so its central coefficient holds
                // what settles out of it.
                bottom[2] = 0.0;
                top[z] = std::fabs(settling);

                // Horizontal walls and out-blocks: a wall above stops the
                // inflow from above, so what settles out must come from the
                // central coefficient (+w A); a wall below (not the bed) stops
                // the settling out (-w A).
                for (int k = 2; k <= z; ++k) {
                    if (OBlok[i][j][k] == 0) continue;
                    if (wall_above(i, j, k)) {
                        top[k] = 0.0;
                        centre[k] += settling;
                    }
                    if (wall_below(i, j, k)) {
                        bottom[k] = 0.0;
                        centre[k] -= settling;
                    }
                }
            }

    // Cells outside the flow and dry columns of the transient morphology do
    // not couple vertically.
    for (int l = 1; l <= sizes; ++l)
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y; ++j) {
                const bool dry = FlagTSC >= 1 && TSCMinDepth > 0 && column_depth(i, j) < TSCMinDepth;
                for (int k = 2; k <= z; ++k)
                    if (dry || OBlok[i][j][k] == 0) {
                        at[l][i][j][k] = ab[l][i][j][k] = 0.0;
                        if (second) catt[l][i][j][k] = cabb[l][i][j][k] = 0.0;
                    }
            }

    for (int l = 1; l <= sizes; ++l)
        for (int i = 2; i <= x; ++i)
            for (int j = 2; j <= y; ++j)
                for (int k = 2; k <= z; ++k) {
                    if (OBlok[i][j][k] == 0) {
                        ap[l][i][j][k] = Blocked;
                        continue;
                    }
                    // Water entering through an opening on a joint line dilutes the cell.
                    const double opening = std::max(-joint_opening_flux(i, j, k), 0.0);
                    double sum = ap[l][i][j][k] + horizontal_sum(i, j, k) + at[l][i][j][k] + ab[l][i][j][k] + opening;
                    if (second)
                        sum += aee[i][j][k] + aww[i][j][k] + ass[i][j][k] + ann[i][j][k] + catt[l][i][j][k] + cabb[l][i][j][k];
                    ap[l][i][j][k] = sum;
                    if (sum >= 1e-8 || ISkjotMB[i - 1] == 1) continue;
                    log.print(second ? "In coef2, Error, ap(%d,%d,%d,%d) = %g\n" : "In cofe2: Error, ap(%d,%d,%d,%d) = %g\n", l, i, j, k, sum);
                    log.print("Coeffs: %g %g %g %g %g %g\n", ae[i][j][k], aw[i][j][k], an[i][j][k], as[i][j][k], at[l][i][j][k], ab[l][i][j][k]);
                    set_status(mc_message, "Error in coeff. gen.");
                    if (FlagTSC >= 1)
                        ap[l][i][j][k] += 1e-5;
                    else
                        FlagErrorBreak = 1;
                }
}

}  // namespace zefra
