// Convection-diffusion coefficients of the suspended sediment (volume-flux
// units), built on the frozen flow.
// Reads the face fluxes, diff, the geometry, the sediment settings and
// fall velocities, the wall markers and OBlok; writes ae … an, aee … ann and
// at, ab, ap, catt, cabb.
#pragma once

#include "engine/flow3d/layers.h"

namespace zefra {

// Horizontal coefficients ae, aw, an, as (and aee ... ann) shared by every
// size.  diff holds the eddy viscosity; F 12's Schmidt number makes it the
// diffusivity.
void coeffe_setup();

// The same on the given layers: the water cells, or the columns of the
// depth-averaged sediment (index 0: column fluxes, face areas over the whole
// depth, the column diffusivity; first-order coefficients only).
void horizontal_sediment_coefficients(Layers layers);

// Vertical coefficients at, ab (and catt, cabb) and the central coefficient
// ap of each size, with the settling velocity and the size's own Schmidt
// number; blocked cells get ap = 1e25.  An ap near zero in a water cell is
// reported and sets FlagErrorBreak (steady runs).
void coeffe_setup2();

// Whether the coefficients are second-order upwind (F 27 1, with its
// second-neighbour arrays allocated): aee ... ann horizontally, catt and cabb
// per size vertically, between the suspended cells only.
bool second_order_sediment();

}  // namespace zefra
