// What the 3D and the depth-averaged solvers do alike in an outer iteration:
// choose whether it is logged, find the largest residual, write results when
// they are due, and give the account of a run that reached its iteration
// limit.
// Reads MaxResidual, Iter, F 1, the P 10 / F 48 / F 53 print settings,
// FlagTFS, K 5 and the time step; writes FlagPrint, the result files (through
// the given writer), the log and the run account.
#pragma once

namespace zefra {

// Whether this outer iteration writes its lines to the log (FlagPrint 0):
// the first ten, every tenth below 100, every PrintIterBoogie-th, the last
// one, and all of them with debugging D.
void choose_logged_iteration();

// The largest normalised residual of the flow equations 1 ... 6 and its
// equation (the first one on a tie).
struct LargestResidual {
    double value = 0.0;
    int equation = 1;
};
LargestResidual largest_flow_residual();

// Writes the results through `write` when this iteration asks for them: on
// the last inner iteration or below the time-break limit, every PrintRes
// iterations (or on the result counter of F 48 with PrintRes 0, then also the
// grid of a free-surface run).
void write_results_when_due(bool last_inner, double res_max, void (*write)());

// The log lines and the run account of a run that reached its last
// iteration: the time steps of a transient run, or a steady run not
// converged with its largest residual and the block-correction hint.
// `name` names the computation ("W", "D", ...); `seconds` the time it took.
void account_iteration_limit(const char* name, long last_iteration, double res_max, int equation, double seconds);

}  // namespace zefra
