// Rough-wall laws: wall friction of the momentum equations and the wall
// values of k and epsilon.
// Reads the velocities, k, the wall markers, the geometry and the
// roughness; writes wap and source of the equation now assembled.
#pragma once

namespace zefra {

void wall();
void wallall();

// wallall for the cells i1 ... i2 of one I-slab, and on the slabs of the
// worker threads (the same to the last bit).
void wallallOpenMP(int i1, int i2);
void wallall_on_slabs();

}  // namespace zefra
