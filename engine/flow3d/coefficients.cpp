// Convection-diffusion coefficients.  Not yet built.
#include "engine/flow3d/coefficients.h"

namespace zefra {

void coeffe_setup() {}
void coeffe_setup2() {}

}  // namespace zefra
