// The free water surface: steady update from the pressure field and the
// transient free surface.
// Reads the pressure and the surface settings; writes the grid levels
// (zval) and FlagGridChange.  Not built yet.
#pragma once

namespace zefra {

void surface();
void surface_tfs();

}  // namespace zefra
