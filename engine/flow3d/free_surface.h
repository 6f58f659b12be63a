// The free water surface.  `surface` (steady runs, F 36 0, 2 and 3) moves
// the surface until the pressure under it is hydrostatic; `surface_tfs`
// (F 36 1) raises each top cell's surface by the water flowing into it over
// the time step.  Both re-level the grid, rebuild the geometry, keep the
// discharges at the ends of the grid and set FlagGridChange.
// Reads the pressure, the face fluxes, the velocities and the surface
// settings (G 6, F 36, F 58, F 108, F 142, F 143, F 154); writes zval, the
// geometry, the ghost velocities, the face fluxes, Surfaces[4] and
// Surfaces[5], stime, the top-cell vertical velocity (surface_tfs) and the
// file `surflog` (surface_tfs).
#pragma once

#include "engine/flow3d/layers.h"

namespace zefra {

// The steady surface move on the given layers: the pressure and the speed of
// the top cells (water layers) or of the columns of the depth-averaged solver
// (ColumnLayer), whose boundary values and fluxes are then re-imposed.
void move_surface(Layers layers);

// The same under the top cells of the 3D solver.
void surface();
void surface_tfs();

}  // namespace zefra
