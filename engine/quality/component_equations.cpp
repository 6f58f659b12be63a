// The transport equation of a water-quality component, for cell (i, j, k):
//
//   (sum a_nb + rho V / dt + loss) c = sum a_nb c_nb + rho V / dt c_old + gain
//
// The neighbour coefficients a_nb are the flow solver's convection-diffusion
// coefficients of equation 8, built once on the frozen flow and shared by all
// components.  The central coefficient is rebuilt at every assembly, because
// the time step may change from one step to the next (J and M rows of the
// time series) and each component has its own reaction losses.
#include "engine/quality/component_equations.h"

#include <algorithm>
#include <cmath>

#include "engine/common/physics.h"
#include "engine/flow3d/block_correction.h"
#include "engine/flow3d/coefficients.h"
#include "engine/flow3d/higher_order.h"
#include "engine/flow3d/linear_solvers.h"
#include "engine/flow3d/residuals.h"
#include "engine/flow3d/stencil.h"
#include "engine/quality/component_boundaries.h"
#include "engine/quality/reaction_terms.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_plugins.h"
#include "engine/state/state_quality.h"

namespace zefra {

namespace {

constexpr int SolverPasses = 2;
constexpr double HeldLimit = 1e15;  // central coefficients above this belong to held cells

// Whether the coefficients couple second neighbours: decided by the routine
// that filled them, as in the residual and the solvers.
bool twelve_neighbours()
{
    return second_neighbours_filled();
}

template <class Body>
void inner_cells(Body body)
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) body(i, j, k);
}

double neighbour_sum(int i, int j, int k, bool twelve)
{
    double s = ae[i][j][k] + aw[i][j][k] + an[i][j][k] + as[i][j][k] + wat[i][j][k] + wab[i][j][k];
    if (twelve) s += aee[i][j][k] + aww[i][j][k] + ann[i][j][k] + ass[i][j][k] + att[i][j][k] + abb[i][j][k];
    return s;
}

}  // namespace

void build_component_coefficients()
{
    Equation = 8;
    if (FlagCofDLL < 1) {
        if (sou[8] == 1 && aee)
            coeffe_SOU();
        else if (sou[8] == 2)
            coeffe_central();
        else if (sou[8] == 3 && aee)
            coeffe_quick();
        else
            convection_diffusion(8);
    }
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) wat[i][j][znumber] = 0.0;
}

void assemble_component(int m, bool transient)
{
    const bool twelve = twelve_neighbours();
    const Field3 old = transient ? comp_old[m] : Field3();
    const double per_second = transient ? WaterDensity / TimeStep : 0.0;
    inner_cells([&](int i, int j, int k) {
        const double storage = per_second * 2.0 * m_armap[i][j] * m_dist_z[i][j][k];
        wap[i][j][k] = neighbour_sum(i, j, k, twelve) + storage;
        source[i][j][k] = transient ? storage * old[i][j][k] : 0.0;
    });
    add_reaction_terms(m);
    // A steady cell coupled to nothing (inside a blocked region) keeps its value.
    const Field3 c = comp[m];
    inner_cells([&](int i, int j, int k) {
        if (wap[i][j][k] >= 1e-30) return;
        wap[i][j][k] = HeldCell;
        source[i][j][k] = HeldCell * c[i][j][k];
    });
    hold_fixed_boxes(m);
}

double component_residual(int m)
{
    const int e = component_equation(m);
    const Field3 c = comp[m];
    double largest = 0.0;
    const double* p = c.data();
    for (std::size_t n = 0; n < c.size(); ++n) largest = std::max(largest, std::fabs(p[n]));
    double scale = 0.0;
    inner_cells([&](int i, int j, int k) {
        if (wap[i][j][k] < HeldLimit) scale = std::max(scale, wap[i][j][k] * largest + std::fabs(source[i][j][k]));
    });
    NormResidual[e] = scale > 1e-10 ? scale : 1.0;
    equation_residual(c, e);
    return MaxResidual[e];
}

void solve_component(int m)
{
    const int e = component_equation(m);
    const Field3 saved = f;
    const Field3 c = comp[m];
    Equation = e;
    f = c;
    if (lcray == 'Y') inner_cells([](int i, int j, int k) { iAp[i][j][k] = 1.0 / wap[i][j][k]; });
    for (int pass = 1; pass <= SolverPasses; ++pass) {
        if (blockcorr[e] == 1) block_correct(c, e);
        if (twelve_neighbours())
            WaterGaussSOU();
        else if (lcray == 'Y')
            gauss_seidel(c);
        else
            line_solve(c, e);
    }
    f = saved;
}

}  // namespace zefra
