// Convection-diffusion coefficients of the discretised equations.
#pragma once

namespace zefra {

void coeffe_setup();
void coeffe_setup2();

}  // namespace zefra
