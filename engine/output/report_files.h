// Report files of the flow solver.
#pragma once

namespace zefra {

// Writes the surface profile report of the transient free surface.
void writespider();

}  // namespace zefra
