// Cell geometry from the grid nodes: half cell extents, face areas and unit
// normals, plan areas, volumes and the height of the bed-cell centre.
#pragma once

namespace zefra {

// Recomputes every geometry array from xval, yval and zval (from scratch).
// Called after the initial surface, after surface and bed changes and by the
// depth-averaged solver.
void metric();

}  // namespace zefra
