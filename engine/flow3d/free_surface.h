// The free water surface: steady update from the pressure field and the
// transient free surface.
#pragma once

namespace zefra {

void surface();
void surface_tfs();

}  // namespace zefra
