// Gradients in a cell by the divergence theorem: the sum over the six faces
// of the face value times the outward area vector, face values interpolated
// linearly between the two cell centres with the half extents of the cells.
// Results are the gradient times the cell volume.  Across a block joint the
// neighbour is the partner cell of the link tables.  On the column layer
// (k = 0) of the depth-averaged solver the four side faces of the column give
// the horizontal gradient times the column volume.
// Reads the geometry and the field given; writes nothing.
#pragma once

#include "engine/state/field_array.h"

namespace zefra {

struct Vector3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

// Gradient of phi in cell (i, j, k), times the cell volume.
Vector3 cell_gradient(const Field3& phi, int i, int j, int k);

// Velocity gradient tensor of cell (i, j, k) times the cell volume:
// g[a][b] = d u_a / d x_b * V, with u_0 = xvel, u_1 = yvel, u_2 = zvel.
void velocity_gradient(int i, int j, int k, double g[3][3]);

// G V: twice the squared strain rate of a velocity gradient tensor given
// times V, times V.
double strain_rate_volume(const double g[3][3], double volume);

}  // namespace zefra
