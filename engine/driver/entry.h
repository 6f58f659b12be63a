// Program entry: the start of a run in the working directory, and the
// command line around it.
// Reads the G 1 sizes of `control` and `geodata`; writes the grid sizes, the
// run flags and, when missing, `control` and `koordina`.
#pragma once

namespace zefra {

// The start of a run: resets the run flags and field arrays, scans `control`
// for the grid sizes, writes a minimal `control` and a default `koordina` when
// they are missing, and runs Initial.  Returns 1 after a normal run; a fatal
// error or letter A ends it through end_run.
int zefra_main();

// The executable: `--help` and `--version` print and return 0 without touching
// any file; other arguments are ignored.  Otherwise runs zefra_main and returns
// its status, or the status that ended the run.
int run_zefra(int argc, char** argv);

// Writes a minimal `control` from the current settings; status -4 when it
// cannot be written.
void writeControlMin();

// Runs the start-up sequence and the run-command loop.
void Initial();

}  // namespace zefra
