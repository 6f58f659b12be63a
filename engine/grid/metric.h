// Cell geometry from the grid nodes: half cell extents, face areas and unit
// normals, plan areas, volumes and the height of the bed-cell centre.
// Reads the node coordinates (xval, yval, zval); writes the geometry arrays
// (m_ar_*, m_dist_*, m_vec_*, m_armap, Volume, dx1 … dz3).
#pragma once

namespace zefra {

// Recomputes every geometry array from xval, yval and zval (from scratch).
// Called after the initial surface, after surface and bed changes and by the
// depth-averaged solver.
void metric();

}  // namespace zefra
