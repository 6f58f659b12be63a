// Outer iteration driver of the 3D flow.  Not yet built.
#include "engine/flow3d/water_solve.h"

namespace zefra {

void WaterSolve() {}

}  // namespace zefra
