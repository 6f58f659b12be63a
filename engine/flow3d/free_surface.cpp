// Free water surface.  Not yet built: the surface stays where the start-up put it.
#include "engine/flow3d/free_surface.h"

namespace zefra {

void surface() {}
void surface_tfs() {}

}  // namespace zefra
