// Higher-order convection schemes: second-order upwind, QUICK and central.
// Reads and writes what the power-law coefficients and the Gauss-Seidel
// sweeps do (the schemes fall back to them until they are built).
#pragma once

namespace zefra {

// Second-order upwind, central and QUICK coefficients, and the Gauss-Seidel
// sweeps over twelve neighbours.
void coeffe_SOU();
void coeffe_central();
void coeffe_quick();
void WaterGaussSOU();

}  // namespace zefra
