// Convection-diffusion coefficients of the discretised equations, power-law
// scheme.  For cell (i, j, k):
//
//   ap phi = ae phi(i-1) + aw phi(i+1) + as phi(j-1) + an phi(j+1)
//          + wab phi(k-1) + wat phi(k+1) + source
//
// `ae` couples to the lower-i neighbour and `aw` to the higher one (as/an in
// j, wab/wat in k).  Each face with mass flux F and conductance D gives the
// far neighbour D (A(P) + s) + max(-+F, 0): the upwind neighbour carries the
// flux.  coeffe_flow serves the water equations (velocities, k, epsilon,
// temperature, components); the suspended sediment has its own coefficients
// (sediment/sediment_coefficients).
#include "engine/flow3d/coefficients.h"

#include <algorithm>
#include <cmath>

#include "engine/common/boogie.h"
#include "engine/common/status.h"
#include "engine/flow3d/higher_order.h"
#include "engine/flow3d/slabs.h"
#include "engine/grid/columns.h"
#include "engine/grid/multiblock.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_plugins.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"
#include "engine/turbulence/model_constants.h"

namespace zefra {

namespace {

constexpr double Tiny = 1e-30;       // keeps degenerate cells from dividing by zero

// Both coefficients of one face: `low` gets the coupling of the cell below
// the face to the cell above it, `high` the other way round.
inline void face(double flux, double conductance, double extra, double& low, double& high)
{
    const double diffusion = conductance * (power_law(flux, conductance) + extra);
    low = diffusion + std::max(-flux, 0.0);
    high = diffusion + std::max(flux, 0.0);
}

void clear_wall_couplings(Layers layers, int i1, int i2)
{
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const int* wi = WallI[i][j].data();
            const int* wj = WallJ[i][j].data();
            const int* wk = WallK[i][j].data();
            double *e = ae[i][j].data(), *w = aw[i][j].data(), *s = as[i][j].data(), *n = an[i][j].data();
            double *b = wab[i][j].data(), *t = wat[i][j].data();
            for (int k = layers.first; k <= layers.last; ++k) {
                if (wi[k] == 1) e[k] = 0.0;
                if (wi[k] == -1) w[k] = 0.0;
                if (wj[k] == 1) s[k] = 0.0;
                if (wj[k] == -1) n[k] = 0.0;
                if (wk[k] == 1) b[k] = 0.0;
                if (wk[k] == -1) t[k] = 0.0;
            }
        }
}

// Coupling across the block joints: the first row of a side block and the
// edge row of the main block are neighbours through the main block's J-face.
void joint_couplings(double extra, double c, Layers layers)
{
    for (int i = 2; i <= xnumber; ++i)
        for (int edge : {1, ynumber}) {
            const JointCell partner = joint_across_edge(i, edge);
            const int pi = partner.i, pj = partner.j;
            if (!partner) continue;
            const int row = edge == 1 ? 2 : ynumber;
            for (int k = layers.first; k <= layers.last; ++k) {
                const double flux = flow2[i][edge][k];
                const double d0 = m_dist_x[pi][pj][k], d1 = m_dist_y[i][row][k];
                const double gf = (d0 * gama[i][row][k] + d1 * gama[pi][pj][k]) / (d0 + d1 + Tiny);
                const double conductance = gf * m_ar_y[i][edge][k] * TurbMultHor * c / (d0 + d1 + Tiny) + ArtDiff;
                const double diffusion = conductance * (power_law(flux, conductance) + extra);
                if (edge == 1) {
                    as[i][2][k] = diffusion + std::max(flux, 0.0);
                    ae[pi][pj][k] = diffusion + std::max(-flux, 0.0);
                } else {
                    an[i][ynumber][k] = diffusion + std::max(-flux, 0.0);
                    ae[pi][pj][k] = diffusion + std::max(flux, 0.0);
                }
            }
        }
    // Openings on a joint are fed through their own sources instead.
    for (int n = 1; n <= IONo; ++n) {
        const IORecord& r = IO[n];
        if (r.side <= 3) continue;
        const int line = MBSkjot[r.side - 10];
        const Layers opening = box_layers(r.b1, r.b2, layers);
        for (int j = r.a1; j <= r.a2; ++j)
            for (int k = opening.first; k <= opening.last; ++k) aw[line][j][k] = 0.0;
    }
}

double extra_diffusion(int equation)
{
    return equation <= 3 ? StressDiff : 0.0;
}

// The faces owned by cells i1 ... i2: the I-faces between i and i+1 for
// i = i1 ... min(i2, xnumber - 1), the inflow face with the first cell 2 and
// the outflow face with the last cell xnumber, and the J- and K-faces of the
// cells.  Every coefficient is set by exactly one face.
void face_coefficients(int equation, Layers layers, int i1, int i2)
{
    const int x = xnumber, y = ynumber, z = znumber, k1 = layers.first, k2 = layers.last;
    const double extra = extra_diffusion(equation);
    const double c = diffusion_multiplier(equation);
    const double horizontal = TurbMultHor * c / Schmidt;

    // Convection-diffusion through the I-faces between cells i and i+1.
    for (int i = i1; i <= std::min(i2, x - 1); ++i)
        for (int j = 2; j <= y; ++j) {
            const double *d0 = m_dist_x[i][j].data(), *d1 = m_dist_x[i + 1][j].data();
            const double *g0 = gama[i][j].data(), *g1 = gama[i + 1][j].data();
            const double *area = m_ar_x[i][j].data(), *flux = flow1[i][j].data();
            double *low = aw[i][j].data(), *high = ae[i + 1][j].data();
            for (int k = k1; k <= k2; ++k) {
                const double inverse = 1.0 / (d0[k] + d1[k] + Tiny);
                const double gf = (d1[k] * g0[k] + d0[k] * g1[k]) * inverse + ArtDiff;
                face(flux[k], area[k] * horizontal * gf * inverse, extra, low[k], high[k]);
            }
        }
    // The inflow and outflow faces carry only the inflowing flux.
    for (int j = 2; j <= y; ++j)
        for (int k = k1; k <= k2; ++k) {
            if (i1 == 2) ae[2][j][k] = std::max(flow1[1][j][k], 0.0);
            if (i2 == x) aw[x][j][k] = std::max(-flow1[x][j][k], 0.0);
        }

    // J-faces between cells j and j+1.
    for (int i = i1; i <= i2; ++i) {
        for (int j = 2; j <= y - 1; ++j) {
            const double *d0 = m_dist_y[i][j].data(), *d1 = m_dist_y[i][j + 1].data();
            const double *g0 = gama[i][j].data(), *g1 = gama[i][j + 1].data();
            const double *area = m_ar_y[i][j].data(), *flux = flow2[i][j].data();
            double *low = an[i][j].data(), *high = as[i][j + 1].data();
            for (int k = k1; k <= k2; ++k) {
                const double inverse = 1.0 / (d0[k] + d1[k] + Tiny);
                const double gf = (d1[k] * g0[k] + d0[k] * g1[k]) * inverse + ArtDiff;
                face(flux[k], area[k] * horizontal * gf * inverse, extra, low[k], high[k]);
            }
        }
        for (int k = k1; k <= k2; ++k) {
            as[i][2][k] = std::max(flow2[i][1][k], 0.0);
            an[i][y][k] = std::max(-flow2[i][y][k], 0.0);
        }
    }

    // The column layer has no K-faces.
    if (layers.column()) {
        for (int i = i1; i <= i2; ++i)
            for (int j = 2; j <= y; ++j) wat[i][j][0] = wab[i][j][0] = 0.0;
        return;
    }

    // K-faces between cells k and k+1; a column that is shallow against its
    // width (twoD 0) has its vertical diffusion scaled with sqrt(h / sqrt(area)).
    const double vertical = TurbMultVert * c / Schmidt;
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= y; ++j) {
            const double* dz = m_dist_z[i][j].data();
            const double* g = gamaV[i][j].data();
            const double *area = m_ar_z[i][j].data(), *flux = flow3[i][j].data();
            Field2 normal = m_vec_z[i][j];
            double *top = wat[i][j].data(), *bottom = wab[i][j].data();
            double column = 1.0;
            if (twoD[i][j] == 0) {
                double depth = 0.0;
                for (int k = 2; k <= z; ++k) depth += 2.0 * dz[k];
                column = std::sqrt(depth / (std::sqrt(m_armap[i][j]) + Tiny));
            }
            for (int k = 2; k <= z - 1; ++k) {
                const double inverse = 1.0 / (dz[k] + dz[k + 1] + Tiny);
                const double gf = (dz[k + 1] * g[k] + dz[k] * g[k + 1]) * column * vertical * inverse + ArtDiff;
                face(flux[k], normal[k][2] * area[k] * gf * inverse, extra, top[k], bottom[k + 1]);
            }
            bottom[2] = std::max(flux[1], 0.0);
            top[z] = std::max(-flux[z], 0.0);
        }
}

}  // namespace

double diffusion_multiplier(int equation)
{
    if (equation <= 3) return (FlagStress1DLL >= 1 && FlagStress1DLL <= 20) ? 0.0 : 1.0;
    if (k_omega_model()) return KOmegaSigma;
    if (one_equation_model() && equation == 5) return SaInvSigma;
    return 1.0;
}

void joint_line_couplings(int equation, Layers layers)
{
    if (MBNo <= 0) return;
    for (int b = 1; b <= MBNo; ++b)
        for (int j = 0; j <= ynumber + 1; ++j)
            for (int k = 0; k <= znumber + 1; ++k) aw[MBSkjot[b]][j][k] = ae[MBSkjot[b] + 1][j][k] = 0.0;
    joint_couplings(extra_diffusion(equation), diffusion_multiplier(equation), layers);
}

void wall_couplings(Layers layers, int i1, int i2)
{
    clear_wall_couplings(layers, i1, i2);
}

void convection_diffusion(int equation, Layers layers)
{
    coefficients_filled_by(0);
    face_coefficients(equation, layers, 2, xnumber);
    // The couplings the faces leave to be set: none along a joint line (its
    // two sides belong to different blocks), the partner cells across the
    // joints, none through walls.
    joint_line_couplings(equation, layers);
    clear_wall_couplings(layers, 2, xnumber);
}

void coeffe_flow()
{
    convection_diffusion(Equation);
}

void coeffe_flowOpenMP(int i1, int i2)
{
    face_coefficients(Equation, water_layers(), i1, i2);
}

void convection_diffusion_on_slabs(int equation)
{
    coefficients_filled_by(0);
    const int n = slab_count();
    for_each_slab(n, [equation](Slab s) { face_coefficients(equation, water_layers(), s.first, s.last); });
    joint_line_couplings(equation, water_layers());
    for_each_slab(n, [](Slab s) { clear_wall_couplings(water_layers(), s.first, s.last); });
}

}  // namespace zefra
