// What the 3D and the depth-averaged solvers do alike at the end of an outer
// iteration: find the largest residual, write results when they are due, and
// give the account of a run that reached its iteration limit.
// Reads MaxResidual, the P 10 / F 48 print settings, FlagTFS, K 5 and the
// time step; writes the result files (through the given writer), the log and
// the run account.
#pragma once

namespace zefra {

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
