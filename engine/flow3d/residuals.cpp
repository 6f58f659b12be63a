// Residuals: how far the assembled equation of the current Equation is from
// being satisfied by the present field, before it is solved.  The sum over
// all inner cells is normalised with the scale the start-up set from the
// inflow; a cell far above the mean level is reported in the log.  Cells held
// fixed by a huge central coefficient (out-blocks) are left out, as in the
// block correction: their value is prescribed, not solved for.  In parallel
// mode the threads sum ranges of planes, added in a fixed order.
#include "engine/flow3d/residuals.h"

#include <omp.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "engine/common/boogie.h"
#include "engine/common/run_exit.h"
#include "engine/flow3d/slabs.h"
#include "engine/flow3d/stencil.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"

namespace zefra {

namespace {

ResidualPeak peaks[EquationCapacity];

// Keeps the larger residual; a residual that is no number wins and stays.
void keep_peak(ResidualPeak& peak, double r, int i, int j, int k)
{
    if (std::isnan(peak.value) || r <= peak.value) return;
    peak = {r, i, j, k};
}

struct LargeResidual {
    int i, j, k;
    double r;
};

// What one range of planes gives: its summed absolute residual (which stops
// adding once it passes 1e15, a blown-up field), its largest cell and the
// cells above the reporting threshold.
struct PartialSum {
    double sum = 0.0;
    ResidualPeak peak;
    std::vector<LargeResidual> large;
    bool unlisted = false;  // a cell could not be listed (no memory)
};

void partial_sum(const Field3& phi, int e, Layers layers, bool second, double threshold, int i1, int i2, PartialSum& p)
{
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = layers.first; k <= layers.last; ++k) {
                // Cells held fixed by a huge central coefficient (out-blocks) solve no equation.
                if (e != 4 && wap[i][j][k] > 1e15) continue;
                const double r = e == 4 ? std::fabs(source[i][j][k]) : std::fabs(cell_residual(phi, i, j, k, second));
                keep_peak(p.peak, r, i, j, k);  // also in a blown-up field: it names where
                if (p.sum > 1e15) continue;     // a blown-up field stops adding
                p.sum += r;
                // The list grows inside a parallel region, where nothing may
                // throw: a cell that finds no memory is counted, not listed.
                if (r > threshold && !p.unlisted) try {
                        p.large.push_back({i, j, k, r});
                    } catch (const std::bad_alloc&) {
                        p.unlisted = true;
                    }
            }
}

void report(Boogie& log, const Field3& phi, int e, bool tagged, const LargeResidual& c)
{
    const int i = c.i, j = c.j, k = c.k;
    if (e == 4) {
        log.print("Large residual for f(%d,%d,%d,%d)\n", i, j, k, e);
        log.print("f = %e, source = %e, wap = %e\n", phi[i][j][k], source[i][j][k], wap[i][j][k]);
        return;
    }
    if (tagged)
        log.print("Iter: %ld, Large residual for f(%d,%d,%d,%d) : %le\n", Iter, i, j, k, e, c.r);
    else
        log.print("Large residual for f(%d,%d,%d,%d) : %le\n", i, j, k, e, c.r);
    log.print("f = %e, source = %e, wap = %e\n", phi[i][j][k], source[i][j][k], wap[i][j][k]);
    log.print("flow3 = %e, flow2 = %e, flow1 = %e\n", flow3[i][j][k], flow2[i][j][k], flow1[i][j][k]);
    log.print("xvel = %e, yvel = %e, zvel = %e\n", xvel[i][j][k], yvel[i][j][k], zvel[i][j][k]);
}

}  // namespace

ResidualPeak largest_cell_residual(int equation)
{
    return equation >= 0 && equation < EquationCapacity ? peaks[equation] : ResidualPeak{};
}

void equation_residual(const Field3& phi, int equation, Layers layers)
{
    Boogie log;
    log.require(-1);
    const int e = equation, x = xnumber, y = ynumber, z = layers.column() ? 1 : znumber;
    const double threshold = NormResidual[e] * InputErrorLimit / (static_cast<double>(x) * y * z);
    const bool second = second_neighbours_filled() && !layers.column();
    const bool tagged = MBNo > 0 || second;  // those reports carry the iteration
    double sum = 0.0;
    std::vector<PartialSum> parts(1);
    if (parallel_mode() && !layers.column()) {
        // Each thread sums its range of planes; the partial sums, peaks and
        // reports are taken in the order of the ranges, so that every run
        // gives the same bits and the same log.
        parts.resize(std::max(1, std::min(x - 1, omp_get_max_threads())));
        split_cells([&](int i1, int i2) { partial_sum(phi, e, layers, second, threshold, i1, i2, parts[omp_get_thread_num()]); });
    } else {
        partial_sum(phi, e, layers, second, threshold, 2, x, parts[0]);
    }
    ResidualPeak& peak = peaks[e];
    peak = ResidualPeak{};
    for (const PartialSum& p : parts) {
        sum += p.sum;
        keep_peak(peak, p.peak.value, p.peak.i, p.peak.j, p.peak.k);
        for (const LargeResidual& c : p.large) report(log, phi, e, tagged, c);
        if (p.unlisted) log.print("More large residuals of equation %d than memory to list them\n", e);
    }
    if (NormResidual[e] <= 1e-10) {
        log.print("Error residual not set\n");
        end_run(0);
    }
    MaxResidual[e] = sum / NormResidual[e];
}

void Residual()
{
    equation_residual(f, Equation);
}

}  // namespace zefra
