// Transposed stress terms of the momentum equations.
// Reads the velocities and the geometry; writes source.  Not built yet.
#pragma once

namespace zefra {

void StressOrt();

}  // namespace zefra
