// The depth-averaged flow solver.
// Not built yet: reads and writes nothing.
#pragma once

namespace zefra {

void WaterSolve2D();

}  // namespace zefra
