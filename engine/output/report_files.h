// Grid export for the next run: the surface file `koosurf` and the node file
// `xcyc` that letter X reads back.
// Reads the grid, the solver settings and the inflow profile; writes files only.
#pragma once

namespace zefra {

// Writes `koosurf` and `xcyc` from the grid as it now stands (a moved bed or
// surface included).  `xcyc` that cannot be opened ends the run with -3.
void writespider();

}  // namespace zefra
