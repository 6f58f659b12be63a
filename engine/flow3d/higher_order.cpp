// Higher-order convection schemes.  Not yet built: the second-order upwind
// scheme falls back to the power-law coefficients (first-order upwind with
// exponential diffusion weighting), which are always bounded.
#include "engine/flow3d/higher_order.h"

#include "engine/flow3d/coefficients.h"

namespace zefra {

void coeffe_SOU()
{
    coeffe_flow();
}

}  // namespace zefra
