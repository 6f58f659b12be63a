// Higher-order convection schemes: second-order upwind, QUICK and central.
//
// For a face with mass flux F between the upwind cell U and the downwind cell
// Dn, with UU the cell beyond U, the face value is w_U phi_U + w_Dn phi_Dn +
// w_UU phi_UU:
//   second-order upwind  w_U = r, w_Dn = 0, w_UU = 1 - r,
//                        r = (2 d_U + d_UU) / (d_U + d_UU)   (d half extents)
//   QUICK                w_U = 6/8, w_Dn = 3/8, w_UU = -1/8
// and first-order upwind (w_U = 1) where UU is not a water cell behind an open
// face of the same block (next to the boundaries, walls, out-blocks, joints).
// The flux |F| phi_f enters Dn and leaves U:
//   Dn towards U  += D + |F| w_U     Dn towards UU (second neighbour) = |F| w_UU
//   U  towards Dn += D - |F| w_Dn    U  towards UU (first neighbour) += -|F| w_UU
// With continuity the central coefficient is then the sum of the twelve
// neighbour coefficients, as the outer iteration forms it.  Every cell gathers
// its coefficients from its own six faces, so a face that two I-slabs share is
// computed on both sides, identically, and no two threads add to the same
// coefficient.
//
// Central scheme: P (below the face) towards N gets D - F/2, N towards P
// D + F/2, the face value being the mean of the two cells.
//
// Called by the outer iteration, the sediment and the water-quality
// coefficients.
#include "engine/flow3d/higher_order.h"

#include <algorithm>
#include <array>

#include "engine/common/boogie.h"
#include "engine/flow3d/coefficients.h"
#include "engine/flow3d/linear_solvers.h"
#include "engine/flow3d/out_blocks.h"
#include "engine/flow3d/slabs.h"
#include "engine/flow3d/stencil.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_turbulence.h"

namespace zefra {

namespace {

constexpr double Tiny = 1e-30;
constexpr int SecondOrderUpwind = 1, Central = 2, Quick = 3;

// The tables of coefficient arrays are built when asked for: a table of the
// fields' addresses filled at static initialisation is not reliable in every
// build (the address-sanitized one pointed several entries at one array).
std::array<const Field3*, 12> twelve()
{
    return {&ae, &aw, &as, &an, &wab, &wat, &aee, &aww, &ass, &ann, &abb, &att};
}
std::array<const Field3*, 6> second_neighbours()
{
    return {&aee, &aww, &ass, &ann, &abb, &att};
}

// The weights of one face value.
struct Weights {
    double u = 1.0, dn = 0.0, uu = 0.0;
};

inline Weights face_weights(int scheme, bool with_uu, double r)
{
    if (!with_uu) return {};
    if (scheme == Quick) return {0.75, 0.375, -0.125};
    return {r, 0.0, 1.0 - r};
}

// Extrapolation ratio of the upwind cell U (half extent d_u) over UU.
inline double ratio(double d_u, double d_uu)
{
    return (2.0 * d_u + d_uu) / (d_u + d_uu + Tiny);
}

// A cell seen along one index direction: its low and high faces, whether
// they are inner faces and open water, and the faces one cell further out.
struct Line {
    double flux_low = 0.0, flux_high = 0.0;   // towards higher index
    double d_low = 0.0, d_high = 0.0;         // diffusion conductances
    bool inner_low = false, inner_high = false;  // else boundary faces: upwind flux only
    bool open_low = false, open_high = false;    // inner faces between two water cells
    bool open_low2 = false, open_high2 = false;  // the faces beyond the two neighbours
    double half_low2 = 0.0, half_low = 0.0, half = 0.0, half_high = 0.0, half_high2 = 0.0;
};

// The cell's coefficients along a line: towards the low and high neighbours
// and the second neighbours beyond them.
struct Along {
    double low = 0.0, high = 0.0, low2 = 0.0, high2 = 0.0;
};

Along gather(const Line& l, int scheme)
{
    Along a;
    // Low face: the cell is downwind of a flux towards higher index, upwind
    // of one towards lower index (then UU lies beyond the high face).
    const double fl = l.flux_low;
    if (!l.inner_low) {
        a.low = std::max(fl, 0.0);
    } else if (fl > 0.0) {
        const Weights w = face_weights(scheme, l.open_low2, ratio(l.half_low, l.half_low2));
        a.low += l.d_low + fl * w.u;
        a.low2 = fl * w.uu;
    } else if (fl < 0.0) {
        const Weights w = face_weights(scheme, l.open_high, ratio(l.half, l.half_high));
        a.low += l.d_low + fl * w.dn;
        a.high += fl * w.uu;
    } else {
        a.low += l.d_low;
    }
    // High face: upwind of a flux towards higher index (UU beyond the low face).
    const double fh = l.flux_high;
    if (!l.inner_high) {
        a.high += std::max(-fh, 0.0);
    } else if (fh > 0.0) {
        const Weights w = face_weights(scheme, l.open_low, ratio(l.half, l.half_low));
        a.high += l.d_high - fh * w.dn;
        a.low += -fh * w.uu;
    } else if (fh < 0.0) {
        const Weights w = face_weights(scheme, l.open_high2, ratio(l.half_high, l.half_high2));
        a.high += l.d_high - fh * w.u;
        a.high2 = -fh * w.uu;
    } else {
        a.high += l.d_high;
    }
    return a;
}

// Face diffusivity between cells P and N (half extents dp, dn): distance
// weighted for the second-order upwind scheme, the plain mean for QUICK.
inline double face_diffusivity(int scheme, double gp, double gn, double dp, double dn)
{
    if (scheme == Quick) return 0.5 * (gp + gn);
    return (dn * gp + dp * gn) / (dp + dn + Tiny);
}

// Fills a Line from the values at offsets -2 ... 2 along one direction.
// `inner(a)` tells whether the face between cells a and a+1 is an inner face,
// `open(a)` whether it is one between two water cells; m is the cell index.
template <class Inner, class Open, class Half, class Flux, class Conductance>
Line make_line(int m, int last, Inner inner, Open open, Half half, Flux flux, Conductance conductance)
{
    Line l;
    l.flux_low = flux(m - 1);
    l.flux_high = flux(m);
    l.inner_low = inner(m - 1);
    l.inner_high = inner(m);
    l.open_low = open(m - 1);
    l.open_high = open(m);
    l.open_low2 = open(m - 2);
    l.open_high2 = open(m + 1);
    if (l.inner_low) l.d_low = conductance(m - 1);
    if (l.inner_high) l.d_high = conductance(m);
    l.half = half(m);
    l.half_low = half(m - 1);
    l.half_high = half(m + 1);
    if (m - 2 >= 0) l.half_low2 = half(m - 2);
    if (m + 2 <= last + 1) l.half_high2 = half(m + 2);
    return l;
}

// What a gathering pass computes: the water equations (all three
// directions, out-blocks no water), or the horizontal couplings of the
// suspended sediment, for which every cell with OBlok 0 is no water and the
// bed row k = 2, whose cells are not solved, takes the first-order upwind
// form, so that its exchange with the cells above stays that of the
// first-order bed condition.
struct Gathering {
    int scheme;
    double multiplier;  // diffusion multiplier c times invSchmidt[0]
    bool sediment = false;
};

Gathering water_gathering(int scheme, int equation)
{
    return {scheme, diffusion_multiplier(equation) * invSchmidt[0]};
}

// The twelve coefficients of every cell i1 ... i2 (all j, k inner) from its
// own faces.
void gather_cells(const Gathering& g, int i1, int i2)
{
    const int x = xnumber, y = ynumber, z = znumber, scheme = g.scheme;
    const double horizontal = TurbMultHor * g.multiplier, vertical = TurbMultVert * g.multiplier;
    const bool sediment = g.sediment;
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = 2; k <= z; ++k) {
                auto water = [&](int a, int b, int cc) { return sediment ? OBlok[a][b][cc] != 0 : !out_block_cell(a, b, cc); };
                // I direction: a block joint line ends the line like a boundary.
                auto inner_i = [&](int a) { return a >= 2 && a <= x - 1 && !(MBNo > 0 && ISkjotMB[a] == 1); };
                auto open_i = [&](int a) {
                    return inner_i(a) && WallI[a][j][k] != -1 && WallI[a + 1][j][k] != 1 && water(a, j, k) && water(a + 1, j, k);
                };
                Line li = make_line(
                    i, x, inner_i, open_i, [&](int a) { return m_dist_x[a][j][k]; }, [&](int a) { return flow1[a][j][k]; },
                    [&](int a) {
                        const double dp = m_dist_x[a][j][k], dn = m_dist_x[a + 1][j][k];
                        return face_diffusivity(scheme, gama[a][j][k], gama[a + 1][j][k], dp, dn) * m_ar_x[a][j][k] * horizontal / (dp + dn + Tiny);
                    });
                auto inner_j = [&](int b) { return b >= 2 && b <= y - 1; };
                auto open_j = [&](int b) {
                    return inner_j(b) && WallJ[i][b][k] != -1 && WallJ[i][b + 1][k] != 1 && water(i, b, k) && water(i, b + 1, k);
                };
                Line lj = make_line(
                    j, y, inner_j, open_j, [&](int b) { return m_dist_y[i][b][k]; }, [&](int b) { return flow2[i][b][k]; },
                    [&](int b) {
                        const double dp = m_dist_y[i][b][k], dn = m_dist_y[i][b + 1][k];
                        return face_diffusivity(scheme, gama[i][b][k], gama[i][b + 1][k], dp, dn) * m_ar_y[i][b][k] * horizontal / (dp + dn + Tiny);
                    });
                auto inner_k = [&](int cc) { return cc >= 2 && cc <= z - 1; };
                auto open_k = [&](int cc) {
                    return inner_k(cc) && WallK[i][j][cc] != -1 && WallK[i][j][cc + 1] != 1 && water(i, j, cc) && water(i, j, cc + 1);
                };
                Line lk;
                if (!sediment)
                    lk = make_line(
                        k, z, inner_k, open_k, [&](int cc) { return m_dist_z[i][j][cc]; }, [&](int cc) { return flow3[i][j][cc]; },
                        [&](int cc) {
                            const double dp = m_dist_z[i][j][cc], dn = m_dist_z[i][j][cc + 1];
                            return face_diffusivity(scheme, gamaV[i][j][cc], gamaV[i][j][cc + 1], dp, dn) * m_vec_z[i][j][cc][2] * m_ar_z[i][j][cc] *
                                   vertical / (dp + dn + Tiny);
                        });
                if (sediment && k == 2) {
                    for (Line* l : {&li, &lj}) l->open_low = l->open_high = l->open_low2 = l->open_high2 = false;
                }
                const Along a = gather(li, scheme), b = gather(lj, scheme), v = gather(lk, scheme);
                ae[i][j][k] = a.low;
                aw[i][j][k] = a.high;
                aee[i][j][k] = a.low2;
                aww[i][j][k] = a.high2;
                as[i][j][k] = b.low;
                an[i][j][k] = b.high;
                ass[i][j][k] = b.low2;
                ann[i][j][k] = b.high2;
                wab[i][j][k] = v.low;
                wat[i][j][k] = v.high;
                abb[i][j][k] = v.low2;
                att[i][j][k] = v.high2;
            }
}

// Clears the twelve arrays of the planes i1 ... i2 outside the inner cells,
// with the boundary planes 0, 1 and xnumber+1 for the first and last slabs.
void clear_outside_cells(int i1, int i2)
{
    const int x = xnumber, y = ynumber, z = znumber;
    auto plane = [&](int i) {
        for (const Field3* a : twelve()) {
            const Field2 p = (*a)[i];
            const bool ghost = i < 2 || i > x;
            for (int j = 0; j <= y + 1; ++j) {
                double* row = p[j].data();
                if (ghost || j < 2 || j > y)
                    std::fill(row, row + z + 2, 0.0);
                else
                    row[0] = row[1] = row[z + 1] = 0.0;
            }
        }
    };
    if (i1 == 2) plane(0), plane(1);
    for (int i = i1; i <= i2; ++i) plane(i);
    if (i2 == x) plane(x + 1);
}

// The central scheme on the faces cells i1 ... i2 own (as the power law).
void central_faces(int equation, int i1, int i2)
{
    const int x = xnumber, y = ynumber, z = znumber;
    const double c = diffusion_multiplier(equation);
    const double horizontal = TurbMultHor * c / Schmidt, vertical = TurbMultVert * c / Schmidt;
    auto face = [](double flux, double conductance, double& low, double& high) {
        low = conductance - 0.5 * flux;
        high = conductance + 0.5 * flux;
    };
    for (int i = i1; i <= std::min(i2, x - 1); ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = 2; k <= z; ++k) {
                const double dp = m_dist_x[i][j][k], dn = m_dist_x[i + 1][j][k];
                const double g = 0.5 * (gama[i][j][k] + gama[i + 1][j][k]) + ArtDiff;
                face(flow1[i][j][k], g * m_ar_x[i][j][k] * horizontal / (dp + dn + Tiny), aw[i][j][k], ae[i + 1][j][k]);
            }
    for (int j = 2; j <= y; ++j)
        for (int k = 2; k <= z; ++k) {
            if (i1 == 2) ae[2][j][k] = std::max(flow1[1][j][k], 0.0);
            if (i2 == x) aw[x][j][k] = std::max(-flow1[x][j][k], 0.0);
        }
    for (int i = i1; i <= i2; ++i) {
        for (int j = 2; j <= y; ++j)
            for (int k = 2; k <= z; ++k) {
                if (j < y) {
                    const double dp = m_dist_y[i][j][k], dn = m_dist_y[i][j + 1][k];
                    const double g = 0.5 * (gama[i][j][k] + gama[i][j + 1][k]) + ArtDiff;
                    face(flow2[i][j][k], g * m_ar_y[i][j][k] * horizontal / (dp + dn + Tiny), an[i][j][k], as[i][j + 1][k]);
                }
                if (k < z) {
                    const double dp = m_dist_z[i][j][k], dn = m_dist_z[i][j][k + 1];
                    const double g = 0.5 * (gamaV[i][j][k] + gamaV[i][j][k + 1]) + ArtDiff;
                    face(flow3[i][j][k], g * m_vec_z[i][j][k][2] * m_ar_z[i][j][k] * vertical / (dp + dn + Tiny), wat[i][j][k], wab[i][j][k + 1]);
                }
            }
        // Boundary faces: the inflowing flux only.
        for (int k = 2; k <= z; ++k) {
            as[i][2][k] = std::max(flow2[i][1][k], 0.0);
            an[i][y][k] = std::max(-flow2[i][y][k], 0.0);
        }
        for (int j = 2; j <= y; ++j) {
            wab[i][j][2] = std::max(flow3[i][j][1], 0.0);
            wat[i][j][z] = std::max(-flow3[i][j][z], 0.0);
        }
    }
}

void second_order(int scheme, int equation)
{
    Boogie log;
    if (log_unavailable(log)) return;
    coefficients_filled_by(scheme);
    for (const Field3* a : twelve()) a->fill(0.0);
    gather_cells(water_gathering(scheme, equation), 2, xnumber);
    joint_line_couplings(equation, water_layers());
    wall_couplings(water_layers(), 2, xnumber);
}

void second_order_on_slabs(int scheme, int equation)
{
    coefficients_filled_by(scheme);
    const int n = slab_count();
    // Without block joints the wall faces can be cleared in the same pass:
    // every cell's coefficients are its own.
    const bool joints = MBNo > 0;
    for_each_slab(n, [=](Slab s) {
        clear_outside_cells(s.first, s.last);
        gather_cells(water_gathering(scheme, equation), s.first, s.last);
        if (!joints) wall_couplings(water_layers(), s.first, s.last);
    });
    if (!joints) return;
    joint_line_couplings(equation, water_layers());
    for_each_slab(n, [](Slab s) { wall_couplings(water_layers(), s.first, s.last); });
}

void central(int equation)
{
    coefficients_filled_by(Central);
    central_faces(equation, 2, xnumber);
    joint_line_couplings(equation, water_layers());
    wall_couplings(water_layers(), 2, xnumber);
}

void central_on_slabs(int equation)
{
    coefficients_filled_by(Central);
    const int n = slab_count();
    for_each_slab(n, [equation](Slab s) { central_faces(equation, s.first, s.last); });
    joint_line_couplings(equation, water_layers());
    for_each_slab(n, [](Slab s) { wall_couplings(water_layers(), s.first, s.last); });
}

}  // namespace

void coefficients_filled_by(int scheme)
{
    if (second_neighbours_filled() && scheme != SecondOrderUpwind && scheme != Quick)
        for (const Field3* a : second_neighbours()) a->fill(0.0);
    FilledScheme = scheme;
}

void convection_coefficients(int equation, int scheme, bool on_slabs)
{
    const bool second = (scheme == SecondOrderUpwind || scheme == Quick) && aee;
    if (second)
        on_slabs ? second_order_on_slabs(scheme, equation) : second_order(scheme, equation);
    else if (scheme == Central)
        on_slabs ? central_on_slabs(equation) : central(equation);
    else
        on_slabs ? convection_diffusion_on_slabs(equation) : convection_diffusion(equation);
}

void sediment_coefficients_SOU(double multiplier)
{
    Boogie log;
    if (log_unavailable(log)) return;
    coefficients_filled_by(SecondOrderUpwind);
    for (const Field3* a : twelve()) a->fill(0.0);
    gather_cells({SecondOrderUpwind, multiplier, true}, 2, xnumber);
    joint_line_couplings(1, water_layers());
}

void coeffe_SOU()
{
    convection_coefficients(Equation, SecondOrderUpwind, false);
}

void coeffe_quick()
{
    convection_coefficients(Equation, Quick, false);
}

void coeffe_central()
{
    convection_coefficients(Equation, Central, false);
}

void coeffe_SOUOpenMP(int i1, int i2)
{
    clear_outside_cells(i1, i2);
    gather_cells(water_gathering(SecondOrderUpwind, Equation), i1, i2);
}

void coeffe_quickOpenMP(int i1, int i2)
{
    clear_outside_cells(i1, i2);
    gather_cells(water_gathering(Quick, Equation), i1, i2);
}

void coeffe_centralOpenMP(int i1, int i2)
{
    central_faces(Equation, i1, i2);
}

void WaterGaussSOU()
{
    gauss_seidel_second(f);
}

}  // namespace zefra
