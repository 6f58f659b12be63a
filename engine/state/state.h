// The whole model state at once.  A run starts from the state of a fresh
// process; reset_state() brings the process back to it (tests call it so that
// every test starts clean).
#pragma once

namespace zefra {

// Puts every setting at its control-file default, empties every table and
// status buffer, clears the run flags and grid sizes and frees every field
// array.
void reset_state();

// Sets every control-file setting to its default value (the reader's first
// step).  Grid sizes and field arrays are left alone.
void set_control_defaults();

}  // namespace zefra
