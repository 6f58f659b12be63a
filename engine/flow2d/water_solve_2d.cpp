// Depth-averaged flow solver.  Not yet built.
#include "engine/flow2d/water_solve_2d.h"

namespace zefra {

void WaterSolve2D() {}

}  // namespace zefra
