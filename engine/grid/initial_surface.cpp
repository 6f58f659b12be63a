// Initial water surface and velocities.  Not yet built.
#include "engine/grid/initial_surface.h"

namespace zefra {

void initial() {}
void initial_tunnel() {}

}  // namespace zefra
