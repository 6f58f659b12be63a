// Mass fluxes through the cell faces (kg/s), positive towards higher index:
// flow1 through the I-faces, flow2 through the J-faces, flow3 upwards.
// Reads the velocities, the pressure, the geometry, invAP and the
// block-joint tables; writes flow1, flow2, flow3.
#pragma once

#include "engine/flow3d/layers.h"

namespace zefra {

// Recomputes the face fluxes of the given layers from the velocities and the
// pressure, with the Rhie-Chow correction on the inner faces: flow1, flow2
// and flow3 of the water cells, or flow1 and flow2 through whole columns.
void face_fluxes(Layers layers);

// The fluxes of the water cells.
void waterflow();

}  // namespace zefra
