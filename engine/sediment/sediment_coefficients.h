// Convection-diffusion coefficients of the suspended sediment (volume-flux
// units), built on the frozen flow.
// Reads the face fluxes, diff, the geometry, the sediment settings and
// fall velocities; writes ae … an and at, ab, ap (and catt, cabb).
#pragma once

namespace zefra {

// Horizontal coefficients ae, aw, an, as shared by every size.
void coeffe_setup();

// Vertical coefficients at, ab and the central coefficient ap of each size,
// with the settling velocity; an ap near zero is reported and sets
// FlagErrorBreak (steady runs).
void coeffe_setup2();

}  // namespace zefra
