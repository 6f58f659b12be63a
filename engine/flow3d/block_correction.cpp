// Block correction: one additive correction per grid plane such that the
// summed equation of every plane is satisfied, the planes coupled in a
// one-dimensional tridiagonal system.  It removes the smooth error that the
// point and line solvers reduce only slowly (long channels).  Called by the
// outer iteration before solver sweeps, as blockcorr[Equation] asks.
#include "engine/flow3d/block_correction.h"

#include <omp.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/common/boogie.h"
#include "engine/flow3d/stencil.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"

namespace zefra {

namespace {

constexpr double FixedCell = 1e15;  // cells held by a huge central coefficient take no part

enum class Direction { I, J, K };

// The corrections of the planes of one direction over the rows j1 ... j2
// (all rows for a full correction) of the given layers, left in q[2 ... n];
// phi is only read.
void plane_corrections(const Field3& phi, int equation, Direction d, int j1, int j2, Layers layers, double* ap_sum, double* low_sum,
                       double* high_sum, double* b_sum, double* p, double* q)
{
    const int x = xnumber, z = znumber, k1 = layers.first, k2 = layers.last;
    const int n = d == Direction::I ? x : (d == Direction::J ? ynumber : z);
    const bool second = second_neighbours_filled() && !layers.column();
    for (int m = 0; m <= n + 1; ++m) ap_sum[m] = low_sum[m] = high_sum[m] = b_sum[m] = 0.0;
    if (equation != 6)
        for (int i = 2; i <= x; ++i)
            for (int j = j1; j <= j2; ++j)
                for (int k = k1; k <= k2; ++k) {
                    if (wap[i][j][k] > FixedCell) continue;
                    double in_plane = 0.0, low = 0.0, high = 0.0;
                    int m = 0;
                    switch (d) {
                    case Direction::I:
                        m = i;
                        low = ae[i][j][k];
                        high = aw[i][j][k];
                        // Rows beyond j1 ... j2 belong to another group, whose
                        // correction is not this one: their coupling stays in A_P.
                        in_plane = (j != j2 ? an[i][j][k] : 0.0) + (j != j1 ? as[i][j][k] : 0.0) + (k != k2 ? wat[i][j][k] : 0.0) + (k != k1 ? wab[i][j][k] : 0.0);
                        break;
                    case Direction::J:
                        m = j;
                        low = as[i][j][k];
                        high = an[i][j][k];
                        in_plane = (i != x ? aw[i][j][k] : 0.0) + (i != 2 ? ae[i][j][k] : 0.0) + (k != k2 ? wat[i][j][k] : 0.0) + (k != k1 ? wab[i][j][k] : 0.0);
                        break;
                    case Direction::K:
                        m = k;
                        low = wab[i][j][k];
                        high = wat[i][j][k];
                        in_plane = (i != x ? aw[i][j][k] : 0.0) + (i != 2 ? ae[i][j][k] : 0.0) + (j != ynumber ? an[i][j][k] : 0.0) + (j != 2 ? as[i][j][k] : 0.0);
                        break;
                    }
                    ap_sum[m] += wap[i][j][k] - in_plane;
                    low_sum[m] += low;
                    high_sum[m] += high;
                    b_sum[m] += cell_residual(phi, i, j, k, second);
                }
    p[1] = q[1] = 0.0;
    for (int m = 2; m <= n; ++m) {
        double dd = ap_sum[m] - low_sum[m] * p[m - 1];
        if (std::fabs(dd) < 1e-10) dd = 1e30;
        p[m] = high_sum[m] / dd;
        q[m] = (b_sum[m] + low_sum[m] * q[m - 1]) / dd;
    }
    double next = 0.0;
    for (int m = n; m >= 2; --m) {
        next = p[m] * next + q[m];
        q[m] = next;  // the correction of plane m
    }
}

// Adds the plane corrections q to the cells of rows j1 ... j2 of the given layers.
void apply_corrections(const Field3& phi, Direction d, int j1, int j2, Layers layers, const double* q)
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = j1; j <= j2; ++j)
            for (int k = layers.first; k <= layers.last; ++k) {
                const int m = d == Direction::I ? i : (d == Direction::J ? j : k);
                phi[i][j][k] += q[m];
            }
}

// Work vectors for the plane sums of a direction with up to n planes.
struct Work {
    std::vector<double> ap, low, high, b, p, q;
    void size(int n)
    {
        for (std::vector<double>* v : {&ap, &low, &high, &b, &p, &q})
            if (static_cast<int>(v->size()) < n + 2) v->assign(n + 2, 0.0);
    }
};

void compute(const Field3& phi, int equation, Direction d, Work& w, int j1, int j2, Layers layers)
{
    w.size(std::max({xnumber, ynumber, znumber}));
    plane_corrections(phi, equation, d, j1, j2, layers, w.ap.data(), w.low.data(), w.high.data(), w.b.data(), w.p.data(), w.q.data());
}

void correct(const Field3& phi, int equation, Direction d, Work& w, Layers layers)
{
    compute(phi, equation, d, w, 2, ynumber, layers);
    apply_corrections(phi, d, 2, ynumber, layers, w.q.data());
}

}  // namespace

void block_correct(const Field3& phi, int equation, Layers layers)
{
    Boogie log;
    if (log_unavailable(log)) return;
    static Work work;
    const int mode = blockcorr[equation];
    const bool vertical = !layers.column();  // the columns have no K planes
    if ((second_neighbours_filled() && vertical) || MBNo > 0) {
        correct(phi, equation, Direction::I, work, layers);
        correct(phi, equation, Direction::J, work, layers);
        if (vertical) correct(phi, equation, Direction::K, work, layers);
        return;
    }
    if (mode != 6 && mode != 7 && vertical) correct(phi, equation, Direction::K, work, layers);
    if (mode != 7) correct(phi, equation, Direction::J, work, layers);
    correct(phi, equation, Direction::I, work, layers);
}

void block_correct_parallel(const Field3& phi, int equation)
{
    Boogie log;
    if (log_unavailable(log)) return;
    const int groups = std::max(1, std::min(NoProcessesSolver, ynumber - 1));
    const int width = (ynumber - 1) / groups;
    static std::vector<Work> work;
    if (static_cast<int>(work.size()) < groups) work.resize(groups);
    // Sized here: nothing allocates (or could throw) inside the region.
    for (Work& w : work) w.size(std::max({xnumber, ynumber, znumber}));
    auto rows = [groups, width](int g, int& j1, int& j2) {
        j1 = 2 + g * width;
        j2 = g == groups - 1 ? ynumber : j1 + width - 1;
    };
    // Every group sums its residuals before any group changes phi (the sums
    // read the rows next to the group's border); adding the corrections is
    // cheap and needs no threads.
#pragma omp parallel for num_threads(groups) schedule(static, 1)
    for (int g = 0; g < groups; ++g) {
        int j1, j2;
        rows(g, j1, j2);
        compute(phi, equation, Direction::I, work[g], j1, j2, water_layers());
    }
    for (int g = 0; g < groups; ++g) {
        int j1, j2;
        rows(g, j1, j2);
        apply_corrections(phi, Direction::I, j1, j2, water_layers(), work[g].q.data());
    }
}

void BlockCorrection()
{
    block_correct(f, Equation);
}

void BlockCorrectionOpenMP()
{
    block_correct_parallel(f, Equation);
}

}  // namespace zefra
