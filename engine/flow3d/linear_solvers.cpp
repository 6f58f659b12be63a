// Linear solvers.  Each call only needs to reduce the error; the outer
// iteration calls them sweeps[Equation] times.
//
// WaterGaussSeidel: symmetric point Gauss-Seidel, a forward sweep (i, j, k
// ascending, k innermost) and a backward sweep, GaussIter times; on the
// column layer of the depth-averaged solver the same sweeps over (i, j).
// WaterTDMA: the Thomas algorithm along every grid line, the other neighbours
// at their latest values, first the I lines, then the J lines, then the K lines.
//
// On multi-block grids a neighbour across a block joint is the partner cell
// of the link tables: the lower-i neighbour of a side block's first row, the
// lower-j neighbour of row 2 and the upper-j neighbour of row ynumber.
#include "engine/flow3d/linear_solvers.h"

#include <omp.h>

#include <algorithm>
#include <cmath>

#include "engine/common/boogie.h"
#include "engine/flow3d/slabs.h"
#include "engine/flow3d/stencil.h"
#include "engine/grid/multiblock.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"

namespace zefra {

namespace {

inline double flushed(double value)
{
    return std::fabs(value) <= 1e-30 ? 0.0 : value;
}

// One row of cells (i, j, first ... last), in the given direction of k.
template <bool Forward>
inline void sweep_row(const Field3& phi, int i, int j, bool underflow, Layers layers)
{
    double* p = phi[i][j].data();
    const double *west = phi[i - 1][j].data(), *east = phi[i + 1][j].data();
    const double *south = phi[i][j - 1].data(), *north = phi[i][j + 1].data();
    const double *e = ae[i][j].data(), *w = aw[i][j].data(), *s = as[i][j].data(), *n = an[i][j].data();
    const double *b = wab[i][j].data(), *t = wat[i][j].data(), *src = source[i][j].data(), *inv = iAp[i][j].data();
    const int first = layers.first, last = layers.last;
    for (int m = first; m <= last; ++m) {
        const int k = Forward ? m : first + last - m;
        const double value =
            (e[k] * west[k] + w[k] * east[k] + s[k] * south[k] + n[k] * north[k] + b[k] * p[k - 1] + t[k] * p[k + 1] + src[k]) * inv[k];
        p[k] = underflow ? flushed(value) : value;
    }
}

// The one cell of a column: four neighbours, the partner cells across block joints.
template <bool Joined>
inline void sweep_column(const Field3& phi, int i, int j, bool underflow)
{
    JointNeighbours nb{phi[i - 1][j][0], phi[i][j - 1][0], phi[i][j + 1][0]};
    if constexpr (Joined) nb = neighbours_across_joints(phi, i, j, 0);
    const double value =
        (ae[i][j][0] * nb.low_i + aw[i][j][0] * phi[i + 1][j][0] + as[i][j][0] * nb.low_j + an[i][j][0] * nb.high_j + source[i][j][0]) * iAp[i][j][0];
    phi[i][j][0] = underflow ? flushed(value) : value;
}

// The same row with the neighbours across block joints.
template <bool Forward>
inline void sweep_row_joined(const Field3& phi, int i, int j, bool underflow, Layers layers)
{
    const int first = layers.first, last = layers.last;
    for (int m = first; m <= last; ++m) {
        const int k = Forward ? m : first + last - m;
        const JointNeighbours nb = neighbours_across_joints(phi, i, j, k);
        const double value = (ae[i][j][k] * nb.low_i + aw[i][j][k] * phi[i + 1][j][k] + as[i][j][k] * nb.low_j + an[i][j][k] * nb.high_j +
                              wab[i][j][k] * phi[i][j][k - 1] + wat[i][j][k] * phi[i][j][k + 1] + source[i][j][k]) *
                             iAp[i][j][k];
        phi[i][j][k] = underflow ? flushed(value) : value;
    }
}

// The same row with the six second neighbours, divided by wap; an index
// beyond the field's ghost layers takes the outermost value.
template <bool Forward, bool Joined>
inline void sweep_row_second(const Field3& phi, int i, int j, bool underflow, Layers layers)
{
    const int ie = phi.extent(0) - 1, je = phi.extent(1) - 1, ke = phi.extent(2) - 1;
    double* p = phi[i][j].data();
    const double *west = phi[i - 1][j].data(), *east = phi[i + 1][j].data();
    const double *south = phi[i][j - 1].data(), *north = phi[i][j + 1].data();
    const double *west2 = phi[std::max(i - 2, 0)][j].data(), *east2 = phi[std::min(i + 2, ie)][j].data();
    const double *south2 = phi[i][std::max(j - 2, 0)].data(), *north2 = phi[i][std::min(j + 2, je)].data();
    const double *e = ae[i][j].data(), *w = aw[i][j].data(), *s = as[i][j].data(), *n = an[i][j].data();
    const double *b = wab[i][j].data(), *t = wat[i][j].data(), *src = source[i][j].data(), *ap = wap[i][j].data();
    const double *ee = aee[i][j].data(), *ww = aww[i][j].data(), *ss = ass[i][j].data(), *nn = ann[i][j].data();
    const double *bb = abb[i][j].data(), *tt = att[i][j].data();
    const int first = layers.first, last = layers.last;
    for (int m = first; m <= last; ++m) {
        const int k = Forward ? m : first + last - m;
        double low_i = west[k], low_j = south[k], high_j = north[k];
        if constexpr (Joined) {
            const JointNeighbours nb = neighbours_across_joints(phi, i, j, k);
            low_i = nb.low_i, low_j = nb.low_j, high_j = nb.high_j;
        }
        const double first_six = e[k] * low_i + w[k] * east[k] + s[k] * low_j + n[k] * high_j + b[k] * p[k - 1] + t[k] * p[k + 1];
        const double second_six = ee[k] * west2[k] + ww[k] * east2[k] + ss[k] * south2[k] + nn[k] * north2[k] + bb[k] * p[std::max(k - 2, 0)] +
                                  tt[k] * p[std::min(k + 2, ke)];
        const double value = (first_six + second_six + src[k]) / ap[k];
        p[k] = underflow ? flushed(value) : value;
    }
}

// One sweep over the cells i1 ... i2 (descending when backward).
template <bool Forward, bool Joined, bool Second>
void sweep(const Field3& phi, bool underflow, Layers layers, int i1, int i2)
{
    const int y = ynumber;
    for (int a = i1; a <= i2; ++a) {
        const int i = Forward ? a : i1 + i2 - a;
        for (int c = 2; c <= y; ++c) {
            const int j = Forward ? c : y + 2 - c;
            if constexpr (Second)
                sweep_row_second<Forward, Joined>(phi, i, j, underflow, layers);
            else if (layers.column())
                sweep_column<Joined>(phi, i, j, underflow);
            else if constexpr (Joined)
                sweep_row_joined<Forward>(phi, i, j, underflow, layers);
            else
                sweep_row<Forward>(phi, i, j, underflow, layers);
        }
    }
}

template <bool Joined, bool Second>
void serial_iterations(const Field3& phi, bool underflow, Layers layers)
{
    for (int n = 0; n < GaussIter; ++n) {
        sweep<true, Joined, Second>(phi, underflow, layers, 2, xnumber);
        sweep<false, Joined, Second>(phi, underflow, layers, 2, xnumber);
    }
}

// The slabs of the parallel sweeps: two per thread, each at least as wide as
// the reach of the stencil; fewer than two means no parallel sweep.
int sweep_slabs(bool second)
{
    const int reach = second ? 2 : 1;
    return std::min(2 * NoProcessesSolver, (xnumber - 1) / reach);
}

// Parallel iterations: in the forward pass first the even slabs, all at once,
// then the odd ones; the backward pass the other way round.  A slab only
// reads the planes of the slabs beside it, which have the other parity and
// stand still meanwhile, so the result does not depend on the timing of the
// threads: it is that of sweeping the slabs one after another in this order.
template <bool Second>
void parallel_iterations(const Field3& phi, bool underflow, Layers layers, int slabs)
{
    const int threads = std::max(1, std::min((slabs + 1) / 2, omp_get_max_threads()));
#pragma omp parallel num_threads(threads)
    for (int n = 0; n < GaussIter; ++n) {
        for (int parity : {0, 1}) {
#pragma omp for schedule(static)
            for (int s = parity; s < slabs; s += 2) {
                const Slab r = slab(s, slabs);
                sweep<true, false, Second>(phi, underflow, layers, r.first, r.last);
            }
        }
        for (int parity : {1, 0}) {
#pragma omp for schedule(static)
            for (int s = parity; s < slabs; s += 2) {
                const Slab r = slab(s, slabs);
                sweep<false, false, Second>(phi, underflow, layers, r.first, r.last);
            }
        }
    }
}

void iterations(const Field3& phi, Layers layers, bool second)
{
    const bool underflow = FlagUnderflow != 0;
    // Block joints link cells of any slab: those sweeps stay serial, as do
    // the columns of the depth-averaged solver.
    const int slabs = sweep_slabs(second);
    if (parallel_mode() && MBNo == 0 && !layers.column() && slabs >= 2) {
        if (second)
            parallel_iterations<true>(phi, underflow, layers, slabs);
        else
            parallel_iterations<false>(phi, underflow, layers, slabs);
    } else if (MBNo != 0) {
        if (second)
            serial_iterations<true, true>(phi, underflow, layers);
        else
            serial_iterations<true, false>(phi, underflow, layers);
    } else {
        if (second)
            serial_iterations<false, true>(phi, underflow, layers);
        else
            serial_iterations<false, false>(phi, underflow, layers);
    }
}

// In-line coefficients of one cell of a line and the rest of its equation.
struct LineCell {
    double low, up, diag, rest;
};

// Thomas algorithm along one line of inner cells m = 2 ... n, with the
// boundary values `first` (at 1) and `last` (at n + 1).
template <class Cell, class Store>
void thomas(int n, double first, double last, Cell cell, Store store)
{
    double* p = pt.data();
    double* q = qt.data();
    p[1] = 0.0;
    q[1] = first;
    for (int m = 2; m <= n; ++m) {
        const LineCell c = cell(m);
        const double d = c.diag - c.low * p[m - 1] + 1e-20;
        p[m] = c.up / d;
        q[m] = (c.low * q[m - 1] + c.rest) / d;
    }
    double next = last;
    for (int m = n; m >= 2; --m) {
        next = p[m] * next + q[m];
        store(m, next);
    }
}

}  // namespace

void gauss_seidel(const Field3& phi, Layers layers)
{
    iterations(phi, layers, false);
}

void gauss_seidel_second(const Field3& phi)
{
    iterations(phi, water_layers(), true);
}

void line_solve(const Field3& phi, int equation)
{
    Boogie log;
    if (log_unavailable(log)) return;
    const int x = xnumber, y = ynumber, z = znumber;
    const bool joined = MBNo != 0;
    const bool second = second_neighbours_filled();
    (void)equation;

    // The parts of a cell's equation off the line, with the latest values.
    auto off_line = [&](int i, int j, int k, bool with_i, bool with_j, bool with_k) {
        double b = source[i][j][k];
        JointNeighbours nb{phi[i - 1][j][k], phi[i][j - 1][k], phi[i][j + 1][k]};
        if (joined) nb = neighbours_across_joints(phi, i, j, k);
        if (with_i) b += ae[i][j][k] * nb.low_i + aw[i][j][k] * phi[i + 1][j][k];
        if (with_j) b += as[i][j][k] * nb.low_j + an[i][j][k] * nb.high_j;
        if (with_k) b += wab[i][j][k] * phi[i][j][k - 1] + wat[i][j][k] * phi[i][j][k + 1];
        if (second) b += second_neighbour_sum(phi, i, j, k);
        return b;
    };

    // I lines: the lower-i neighbour of a side block's first row is its partner.
    for (int k = 2; k <= z; ++k)
        for (int j = 2; j <= y; ++j)
            thomas(
                x, phi[1][j][k], phi[x + 1][j][k],
                [&](int i) {
                    LineCell c{ae[i][j][k], aw[i][j][k], wap[i][j][k], off_line(i, j, k, false, true, true)};
                    if (const JointCell p = joined ? joint_low_i(i, j) : JointCell{}) {
                        c.rest += c.low * phi[p.i][p.j][k];
                        c.low = 0.0;
                    }
                    return c;
                },
                [&](int i, double v) { phi[i][j][k] = v; });
    // J lines: rows 2 and ynumber may border a side block.
    for (int i = 2; i <= x; ++i)
        for (int k = 2; k <= z; ++k)
            thomas(
                y, phi[i][1][k], phi[i][y + 1][k],
                [&](int j) {
                    LineCell c{as[i][j][k], an[i][j][k], wap[i][j][k], off_line(i, j, k, true, false, true)};
                    if (const JointCell p = joined && j == 2 ? joint_across_edge(i, 1) : JointCell{}) {
                        c.rest += c.low * phi[p.i][p.j][k];
                        c.low = 0.0;
                    }
                    if (const JointCell p = joined && j == y ? joint_across_edge(i, y) : JointCell{}) {
                        c.rest += c.up * phi[p.i][p.j][k];
                        c.up = 0.0;
                    }
                    return c;
                },
                [&](int j, double v) { phi[i][j][k] = v; });
    // K lines.
    for (int i = 2; i <= x; ++i)
        for (int j = 2; j <= y; ++j)
            thomas(
                z, phi[i][j][1], phi[i][j][z + 1],
                [&](int k) { return LineCell{wab[i][j][k], wat[i][j][k], wap[i][j][k], off_line(i, j, k, true, true, false)}; },
                [&](int k, double v) { phi[i][j][k] = v; });
}

void WaterGaussSeidel()
{
    gauss_seidel(f);
}

void WaterTDMA()
{
    line_solve(f, Equation);
}

}  // namespace zefra
