// Higher-order convection schemes.  Not yet built: every scheme falls back to
// the power-law coefficients (first-order upwind with exponential diffusion
// weighting), which are always bounded, and the twelve-neighbour sweeps to the
// six-neighbour Gauss-Seidel (the second-neighbour coefficients stay zero).
#include "engine/flow3d/higher_order.h"

#include "engine/flow3d/coefficients.h"
#include "engine/flow3d/linear_solvers.h"

namespace zefra {

void coeffe_SOU()
{
    coeffe_flow();
}

void coeffe_central()
{
    coeffe_flow();
}

void coeffe_quick()
{
    coeffe_flow();
}

void WaterGaussSOU()
{
    WaterGaussSeidel();
}

}  // namespace zefra
