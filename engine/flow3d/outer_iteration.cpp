#include "engine/flow3d/outer_iteration.h"

#include "engine/common/arith.h"
#include "engine/common/boogie.h"
#include "engine/common/run_account.h"
#include "engine/output/report_files.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_output.h"
#include "engine/state/state_run.h"
#include "engine/state/state_surface.h"

namespace zefra {

void choose_logged_iteration()
{
    const bool logged = debugging == 'D' || Iter < 10 || Iter == iterGlobalMax || (Iter < 100 && is_multiple(Iter, 10)) ||
                        is_multiple(Iter, PrintIterBoogie);
    FlagPrint = logged ? 0 : 1;
}

LargestResidual largest_flow_residual()
{
    LargestResidual r{MaxResidual[1], 1};
    for (int e = 2; e <= 6; ++e)
        if (MaxResidual[e] > r.value) r = {MaxResidual[e], e};
    return r;
}

void write_results_when_due(bool last_inner, double res_max, void (*write)())
{
    if (!last_inner && !(res_max < TimeBreakLimit)) return;
    if (PrintRes == 0 && is_multiple(PrintResIter, PrintIterRes)) {
        write();
        if (FlagTFS > 0) writespider();
    } else if (PrintRes != 0 && is_multiple(Iter, PrintRes)) {
        write();
    }
}

void account_iteration_limit(const char* name, long last_iteration, double res_max, int equation, double seconds)
{
    if (TimeStep > TransientTimeStepLimit) {
        account_step("%s computed %ld time steps to %g s in %.0f s", name, last_iteration, stime, seconds);
        return;
    }
    log_append("Not converged after %ld iterations: largest residual %.2e in equation %d\n", last_iteration, res_max, equation);
    if (blockcorr[4] == 0) log_append("Long channels converge far faster with the block correction of the pressure: K 5 0 0 0 1 0 0\n");
    account_step("%s stopped at the iteration limit %ld, not converged (largest residual %.1e, equation %d); see boogie", name, last_iteration,
                 res_max, equation);
}

}  // namespace zefra
