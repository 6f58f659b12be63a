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

// The fluxes of the faces one I-slab of cells i1 ... i2 owns (the I-faces on
// the high side of its cells, the inflow face with cell 2, the J- and K-faces
// of its cells), closed where a wall marker points at them.
void waterflowOpenMP(int i1, int i2);

// waterflow with the faces computed on the slabs of the worker threads, then
// the out-block and joint faces closed; the same fluxes to the last bit.
void waterflow_on_slabs();

}  // namespace zefra
