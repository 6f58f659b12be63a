// Higher-order convection schemes: second-order upwind, QUICK and central.
#pragma once

namespace zefra {

// Second-order upwind coefficients, including the second neighbours.
void coeffe_SOU();

}  // namespace zefra
