// The control-file reader: defaults, the first pass over `control` with every
// data set, the checks after it, the field-array allocation, the second pass
// for the data sets that need the arrays, and the grid file.
// Writes every setting and table of the state and allocates the field
// arrays; reads `control` and `koordina`.
#pragma once

namespace zefra {

constexpr const char* ControlFileName = "control";

// Reads `control` and the grid; ends the run on every fatal input error.
void kread();

}  // namespace zefra
