// Report files of the flow solver.
// Reads the grid and the flow fields; writes files only.
#pragma once

namespace zefra {

// Writes the surface profile report of the transient free surface.
void writespider();

}  // namespace zefra
