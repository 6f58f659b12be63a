// The depth-averaged flow solver.
#pragma once

namespace zefra {

void WaterSolve2D();

}  // namespace zefra
