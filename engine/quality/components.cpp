// The water-quality driver behind run letter Q.
//
// Set-up: the flow start-up (and, when no flow has been computed or read,
// the boundary values and face fluxes of the initial field), the eddy
// viscosity, and the neighbour coefficients every component shares.
// Steady run: inner iterations over all components until the largest scaled
// residual falls below the convergence criterion (F 3), at least F 33's
// count and at most K 1's.  Transient run: K 1 time steps of F 33's inner
// iterations each; a step keeps the old values, imposes the fixed boxes and
// the inflow of the time series, advances the time and writes `timeo`.
// The components start from the restart file `compres` when there is one
// and are written to compres.new at the end.
#include "engine/quality/components.h"

#include <algorithm>
#include <cmath>

#include "engine/common/arith.h"
#include "engine/common/boogie.h"
#include "engine/common/progress.h"
#include "engine/common/run_account.h"
#include "engine/common/status.h"
#include "engine/flow3d/boundary_values.h"
#include "engine/flow3d/face_fluxes.h"
#include "engine/input/time_series.h"
#include "engine/quality/component_boundaries.h"
#include "engine/quality/component_equations.h"
#include "engine/quality/component_series.h"
#include "engine/sediment/restart_files.h"
#include "engine/startup/flow_startup.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_run.h"
#include "engine/turbulence/turbulence_models.h"

namespace zefra {

namespace {

bool reported(long n)
{
    return debugging != 'E' && (n < 10 || is_multiple(n, PrintIterBoogie));
}

// One inner iteration over all components: assemble, residual, solve.
// Returns the largest scaled residual (before the solves); infinite or NaN
// when a component has diverged.
double inner_iteration(long step, int inner, bool transient, int& worst)
{
    double largest = 0.0;
    worst = 0;
    for (int m = 0; m < NoComponents; ++m) {
        set_statusf(mc_message, "Loop0 %ld %d %d", step, inner, m);
        assemble_component(m, transient);
        const double r = component_residual(m);
        if (!(r <= largest)) {  // NaN included
            largest = r;
            worst = m;
        }
        solve_component(m);
    }
    return largest;
}

bool diverged(double residual, int m)
{
    if (std::isfinite(residual)) return false;
    log_append("Error: water-quality component %d diverged\n", m);
    set_status(mc_message, "Components diverged");
    account_step("Q diverged (component %d); see boogie", m);
    FlagErrorBreak = 1;
    return true;
}

void steady_solution()
{
    const long limit = std::max({iterGlobalMax, static_cast<long>(TransInnerIter), 1L});
    double largest = 0.0;
    long n = 1;
    for (;; ++n) {
        int worst = 0;
        largest = inner_iteration(0, static_cast<int>(n), false, worst);
        if (diverged(largest, worst)) return;
        if (reported(n)) log_append("Components iteration %ld: residual %e (component %d)\n", n, largest, worst);
        progress_update(n, largest, component_equation(worst));
        if ((n >= TransInnerIter && largest < convergence) || n >= limit) break;
    }
    if (largest < convergence) {
        log_append("Components converged after %ld iterations\n", n);
        account_step("Q converged after %ld iterations (largest residual %.1e)", n, largest);
    } else {
        log_append("Components not converged after %ld iterations: residual %e\n", n, largest);
        account_step("Q stopped at the iteration limit %ld, not converged (largest residual %.1e); see boogie", n, largest);
    }
}

void keep_old_values()
{
    for (int m = 0; m < NoComponents; ++m) {
        const Field3 c = comp[m], old = comp_old[m];
        for (int i = 0; i <= xnumber + 1; ++i)
            for (int j = 0; j <= ynumber + 1; ++j)
                for (int k = 0; k <= znumber + 1; ++k) old[i][j][k] = c[i][j][k];
    }
}

void time_steps()
{
    for (long step = 1; step <= iterGlobalMax; ++step) {
        keep_old_values();
        impose_fixed_boxes();
        apply_inflow_row(inflow_series_row(stime));
        stime += TimeStep;
        double largest = 0.0;
        int worst = 0;
        for (int inner = 1; inner <= TransInnerIter; ++inner) {
            largest = inner_iteration(step, inner, true, worst);
            if (diverged(largest, worst)) return;
        }
        if (reported(step) || step == iterGlobalMax)
            log_append("Components step %ld, time %e s: residual %e (component %d)\n", step, stime, largest, worst);
        progress_update(step, largest, component_equation(worst));
        if (TimePrintNo > 0 && is_multiple(step, PrintIterTime) && !append_component_timeo_line())
            log_and_end(-3, "Can not open file 'timeo'\n");
    }
    account_step("Q computed %ld time steps to %g s", iterGlobalMax, stime);
}

// Starting values from a restart file `compres` (a renamed compres.new),
// when there is one; a damaged file or one of another grid is not used.
void read_restart_values()
{
    switch (read_component_restart("compres")) {
    case RestartRead::Read: log_append("Have read the components from file 'compres'\n"); break;
    case RestartRead::Missing: break;
    case RestartRead::OutsideGrid: log_append("File 'compres' not used: it names a cell outside the grid\n"); break;
    case RestartRead::Unreadable: log_append("File 'compres' not used: it cannot be read as a whole\n"); break;
    }
}

void write_restart_values()
{
    if (writeConRes() == 0)
        log_append("Have written compres.new file \n");
    else
        log_append("Could not write compres.new file \n");
}

// The amount of each component in the water (concentration times volume)
// and its range, for the log.
void report_amounts()
{
    for (int m = 0; m < NoComponents; ++m) {
        const Field3 c = comp[m];
        double amount = 0.0, low = 1e300, high = -1e300;
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = 2; k <= znumber; ++k) {
                    amount += 2.0 * m_armap[i][j] * m_dist_z[i][j][k] * c[i][j][k];
                    low = std::min(low, c[i][j][k]);
                    high = std::max(high, c[i][j][k]);
                }
        const char* name = m < QualityNameCount ? QualityName[m] : "";
        log_append("Component %d %s: amount %e, lowest %e, highest %e\n", m, name, amount, low, high);
    }
}

}  // namespace

void Components()
{
    {
        Boogie log;
        log.require(-3);
        log.print("Started components\n");
    }
    Equation = 1;
    startup();
    if (FlagInitialized == 0) {
        boundary();
        waterflow();
    }
    FlagInitialized = 1;
    GammaCalc();
    if (NoComponents < 1 || !comp) {
        log_append("No water-quality components to compute (F 50)\n");
        account_step("Q computed nothing: no components (F 50)");
        return;
    }

    read_restart_values();
    wap.fill(0.0);
    stime = 0.0;
    build_component_coefficients();
    const bool transient = TimeStep > TransientTimeStepLimit && comp_old;
    progress_start();
    if (!transient) {
        impose_fixed_boxes();
        steady_solution();
    } else {
        if (TimePrintNo > 0 && !create_timeo()) log_and_end(-3, "Can not open file 'timeo'\n");
        if (iterGlobalMax >= 1) time_steps();
    }
    progress_end();
    fill_uncoupled_ghosts();
    report_amounts();
    write_restart_values();
}

}  // namespace zefra
