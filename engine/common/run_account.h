// The one-line account every run ends with, on standard error and as the
// last line of the log: what each computation did, which result files were
// written and what went wrong.  Exit statuses 1 and 0 follow normal runs and
// some errors alike, so this line is what a script should read.
#pragma once

#include <string>

namespace zefra {

// Adds what one run letter did, e.g. "W converged at iteration 412
// (largest residual 9.8e-04) in 76 s".
void account_step(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Notes a file the run wrote (each name once, in the order first written).
void account_file(const char* name);

// Notes a warning that the end-of-run line repeats.
void account_warning(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Notes that the run ends by run letter A (status 0 without an error).
void account_letter_a();

// Whether account_letter_a was called.
bool ended_by_letter_a();

// Forgets everything noted (the state reset).
void reset_account();

// The end-of-run line of a run that ended with `status`; `error` when a
// fatal error ended it (the line then quotes the last message of the log).
std::string end_of_run_line(int status, bool error);

// Writes that line to standard error and appends it to the log.
void report_end_of_run(int status, bool error);

}  // namespace zefra
