// Rough-wall laws: wall friction of the momentum equations and the wall
// values of k and epsilon.
// Reads the velocities, k, the wall markers, the geometry and the
// roughness; writes wap and source of the equation now assembled.
#pragma once

namespace zefra {

void wall();
void wallall();

}  // namespace zefra
