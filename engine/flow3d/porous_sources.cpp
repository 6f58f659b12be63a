// Porous bed and vegetation sources.  Not yet built.
#include "engine/flow3d/porous_sources.h"

namespace zefra {

void extra_source() {}
void extra_sourceDLL() {}

}  // namespace zefra
