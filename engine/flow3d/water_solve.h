// The three-dimensional flow solver: SIMPLE-type outer iterations.
#pragma once

namespace zefra {

void WaterSolve();

}  // namespace zefra
