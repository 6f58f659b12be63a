// Boundary values in the ghost cells around the domain.
// Reads the inflow/outflow records (IO), the flow settings, the geometry
// and the face fluxes; writes the ghost layers of the velocities, k,
// epsilon (and temperature).
#pragma once

#include "engine/flow3d/layers.h"

namespace zefra {

// Sets the ghost cells of the given layers: default outflow scaled to
// continuity (no G 7 records), cyclic inflow, free surface and roof openings
// (water cells only), G 7 openings, open sides.  Ends the run with status 1
// when nothing flows out of a default outflow.
void boundary_values(Layers layers);

// The same for the water cells.
void boundary();

}  // namespace zefra
