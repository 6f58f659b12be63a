// The faces of an inflow or outflow opening (G 7 record) on the boundary of
// the grid: which ghost cell feeds each face, its area, its normal and the
// direction the opening's water takes through it.
// Reads the IO records and the geometry (xval, yval, m_ar_*, m_vec_*);
// start_opening writes the ghost velocities of an opening.
#pragma once

#include <vector>

#include "engine/state/state_tables.h"

namespace zefra {

struct OpeningFace {
    int gi, gj, gk;  // the ghost cell outside the face
    int ii, ij, ik;  // the inner cell next to it
    double area;
    double n[3];  // unit normal, pointing out of the domain
    double d[3];  // unit direction of the opening's velocity, pointing out of the domain
};

// The faces of record r on its side of the grid (none for block joints).
// The direction follows `paralell`: 0 the face normal, 1 the grid line that
// leaves the side (the i or j edge of the inner cell, the vertical at the bed
// and surface), 2 the record's own vector.
std::vector<OpeningFace> opening_faces(const IORecord& r);

// The area the discharge of an opening passes through at its speed: the face
// areas projected on the direction of the velocity.
double passage_area(const std::vector<OpeningFace>& faces);

// Whether a point (a, b) of the patch plane lies in an opening on `side`.
bool in_opening(int side, int a, int b);

// Gives the ghost cells of an opening the velocity that carries |q| through
// it along its direction, out of the domain for an outflow (type 1) and into
// it for an inflow.  Returns the speed (0 when no water can pass).
double start_opening(const IORecord& r, const std::vector<OpeningFace>& faces, double q);

}  // namespace zefra
