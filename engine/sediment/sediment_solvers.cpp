// Linear solvers of the suspended-sediment equations.  The outer iteration
// of the sediment solver calls one of them once per size and iteration; each
// call only has to reduce the error.
//
// sole_gauseid: symmetric point Gauss-Seidel over the suspended cells (with
// the second neighbours of F 27 1), after the plane correction blockSedim
// (planes of constant j; first-order coefficients only).
// sole_tdma: the Thomas algorithm along the streamwise lines, then along the
// verticals, whose lower boundary value is the bed cell.
// sole2_gauseid: the depth-averaged twin of sole_gauseid, the same plane
// correction and sweeps on the column layer (index 0) of conc2D.
#include "engine/sediment/sediment_solvers.h"

#include <cmath>
#include <vector>

#include "engine/common/status.h"
#include "engine/flow3d/layers.h"
#include "engine/sediment/sediment_coefficients.h"
#include "engine/sediment/size_equation.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"

namespace zefra {

namespace {

constexpr double FixedCell = 1e15;   // a central coefficient this large holds its cell (out-blocks)
constexpr double Vanishing = 1e-100; // smaller values are set to 0

inline bool water(int i, int j, int k)
{
    return OBlok[i][j][k] != 0;
}

// One sweep of size l over the cells `layers` of c, i, j and k ascending
// (Forward) or descending.  Cells without a positive central coefficient (a
// coefficient failure, already reported) keep their value.  The columns have
// no vertical neighbours and first-order coefficients only.
template <bool Forward>
void sweep(const Field3& c, int l, Layers layers)
{
    const int x = xnumber, y = ynumber, k1 = layers.first, k2 = layers.last;
    const bool column = layers.column();
    for (int a = 2; a <= x; ++a) {
        const int i = Forward ? a : x + 2 - a;
        for (int b = 2; b <= y; ++b) {
            const int j = Forward ? b : y + 2 - b;
            double* p = c[i][j].data();
            const double *west = c[i - 1][j].data(), *east = c[i + 1][j].data(), *south = c[i][j - 1].data(), *north = c[i][j + 1].data();
            const double *e = ae[i][j].data(), *w = aw[i][j].data(), *s = as[i][j].data(), *n = an[i][j].data();
            const double *centre = ap[l][i][j].data(), *top = at[l][i][j].data(), *bottom = ab[l][i][j].data(), *src = source[i][j].data();
            const int* open = OBlok[i][j].data();
            const bool joined = MBNo > 0;
            const bool second = !column && second_order_sediment();
            for (int m = k1; m <= k2; ++m) {
                const int k = Forward ? m : k1 + k2 - m;
                if (open[k] == 0) {
                    p[k] = 0.0;
                    continue;
                }
                if (!(centre[k] > 0.0)) continue;
                const double horizontal = joined ? horizontal_terms(c, i, j, k) : e[k] * west[k] + w[k] * east[k] + s[k] * south[k] + n[k] * north[k];
                double terms = horizontal;
                if (!column) terms = terms + bottom[k] * p[k - 1] + top[k] * p[k + 1];
                terms += src[k];
                if (second) terms += second_neighbour_terms(l, c, i, j, k);
                const double value = terms / centre[k];
                p[k] = std::fabs(value) < Vanishing ? 0.0 : value;
            }
        }
    }
}

// The suspended cells above the bed cell.
inline Layers suspended_layers()
{
    return {3, znumber};
}

// Whether a cell takes part in the plane correction.
inline bool corrected(int l, int i, int j, int k)
{
    return water(i, j, k) && ap[l][i][j][k] < FixedCell;
}

// In-line coefficients of one cell of a line and the rest of its equation.
struct LineCell {
    double low, up, diag, rest;
};

// Thomas algorithm along the cells m = first ... last of one line, with the
// boundary values `before` (at first - 1) and `after` (at last + 1).
template <class Cell, class Store>
void thomas(int first, int last, double before, double after, Cell cell, Store store)
{
    double* p = pt.data();
    double* q = qt.data();
    p[first - 1] = 0.0;
    q[first - 1] = before;
    for (int m = first; m <= last; ++m) {
        const LineCell c = cell(m);
        const double d = c.diag - c.low * p[m - 1] + 1e-30;
        p[m] = c.up / d;
        q[m] = (c.low * q[m - 1] + c.rest) / d;
    }
    double next = after;
    for (int m = last; m >= first; --m) {
        next = p[m] * next + q[m];
        store(m, next);
    }
}

}  // namespace

namespace {

// Plane correction of size l on the cells `layers` of c.
void block_correct(const Field3& c, int l, Layers layers)
{
    const int x = xnumber, y = ynumber, k1 = layers.first, k2 = layers.last;
    static std::vector<double> centre, low, high, residual, p, q;
    for (std::vector<double>* v : {&centre, &low, &high, &residual, &p, &q}) v->assign(y + 2, 0.0);
    for (int i = 2; i <= x; ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = k1; k <= k2; ++k) {
                if (!corrected(l, i, j, k)) continue;
                double in_plane = (i != 2 ? ae[i][j][k] : 0.0) + (i != x ? aw[i][j][k] : 0.0);
                double neighbours = horizontal_terms(c, i, j, k);
                if (!layers.column()) {
                    in_plane = in_plane + (k != k1 ? ab[l][i][j][k] : 0.0) + (k != k2 ? at[l][i][j][k] : 0.0);
                    neighbours = neighbours + ab[l][i][j][k] * c[i][j][k - 1] + at[l][i][j][k] * c[i][j][k + 1];
                }
                centre[j] += ap[l][i][j][k] - in_plane;
                low[j] += as[i][j][k];
                high[j] += an[i][j][k];
                residual[j] += neighbours + source[i][j][k] - ap[l][i][j][k] * c[i][j][k];
            }
    for (int m = 2; m <= y; ++m) {
        double d = centre[m] - low[m] * p[m - 1];
        if (std::fabs(d) < 1e-30) d = 1e30;  // a plane without cells gets no correction
        p[m] = high[m] / d;
        q[m] = (residual[m] + low[m] * q[m - 1]) / d;
    }
    double next = 0.0;
    for (int m = y; m >= 2; --m) {
        next = p[m] * next + q[m];
        q[m] = next;
    }
    for (int i = 2; i <= x; ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = k1; k <= k2; ++k)
                if (corrected(l, i, j, k)) c[i][j][k] += q[j];
}

// The plane correction and one symmetric sweep.  The plane sums hold the
// first neighbours only: no plane correction under the second-order scheme
// (the cells'), nor on multi-block grids.
void gauss_seidel(const Field3& c, int l, Layers layers)
{
    if (MBNo == 0 && (layers.column() || !second_order_sediment())) block_correct(c, l, layers);
    sweep<true>(c, l, layers);
    sweep<false>(c, l, layers);
}

}  // namespace

void block_correct_size(int l)
{
    block_correct(conc[l], l, suspended_layers());
}

void gauss_seidel_size(int l)
{
    gauss_seidel(conc[l], l, suspended_layers());
}

void column_gauss_seidel_size(int l)
{
    gauss_seidel(conc2D[l], l, ColumnLayer);
}

void line_solve_size(int l)
{
    set_status(mc_program, " TDMA sediment solver ");
    const int x = xnumber, y = ynumber, z = znumber;
    const Field3 c = conc[l];
    for (int i = 1; i <= x + 1; ++i)
        for (int j = 1; j <= y + 1; ++j)
            for (int k = 2; k <= z; ++k)
                if (!water(i, j, k)) c[i][j][k] = 0.0;
    const bool joined = MBNo > 0;

    // A blocked cell is its own line end: it stays at 0.
    auto blocked = [](int i, int j, int k) { return !water(i, j, k); };
    // Streamwise lines; the lower-i neighbour of a side block's first row is its partner.
    for (int j = 2; j <= y; ++j)
        for (int k = 3; k <= z; ++k)
            thomas(
                2, x, c[1][j][k], c[x + 1][j][k],
                [&](int i) {
                    if (blocked(i, j, k)) return LineCell{0.0, 0.0, 1.0, 0.0};
                    JointNeighbours nb{c[i - 1][j][k], c[i][j - 1][k], c[i][j + 1][k]};
                    if (joined) nb = neighbours_across_joints(c, i, j, k);
                    LineCell cell{ae[i][j][k], aw[i][j][k], ap[l][i][j][k],
                                  as[i][j][k] * nb.low_j + an[i][j][k] * nb.high_j + ab[l][i][j][k] * c[i][j][k - 1] + at[l][i][j][k] * c[i][j][k + 1] +
                                      source[i][j][k]};
                    if (nb.joint_i) {
                        cell.rest += cell.low * nb.low_i;
                        cell.low = 0.0;
                    }
                    return cell;
                },
                [&](int i, double v) { c[i][j][k] = std::fabs(v) < Vanishing ? 0.0 : v; });
    // Verticals above the bed cell.
    for (int i = 2; i <= x; ++i)
        for (int j = 2; j <= y; ++j)
            thomas(
                3, z, c[i][j][2], c[i][j][z + 1],
                [&](int k) {
                    if (blocked(i, j, k)) return LineCell{0.0, 0.0, 1.0, 0.0};
                    return LineCell{ab[l][i][j][k], at[l][i][j][k], ap[l][i][j][k], horizontal_terms(c, i, j, k) + source[i][j][k]};
                },
                [&](int k, double v) { c[i][j][k] = std::fabs(v) < Vanishing ? 0.0 : v; });
}

void blockSedim()
{
    if (!conc) return;
    block_correct_size(indexl);
}

void sole_gauseid()
{
    if (!conc) return;
    gauss_seidel_size(indexl);
}

void sole2_gauseid()
{
    if (!conc2D) return;
    column_gauss_seidel_size(indexl);
}

void sole_tdma()
{
    if (!conc) return;
    line_solve_size(indexl);
}

}  // namespace zefra
