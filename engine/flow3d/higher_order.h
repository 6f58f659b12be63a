// Higher-order convection schemes: second-order upwind, QUICK and central.
#pragma once

namespace zefra {

// Second-order upwind, central and QUICK coefficients, and the Gauss-Seidel
// sweeps over twelve neighbours.
void coeffe_SOU();
void coeffe_central();
void coeffe_quick();
void WaterGaussSOU();

}  // namespace zefra
