// Rough-wall laws: wall friction of the momentum equations and the wall
// values of k and epsilon.
#pragma once

namespace zefra {

void wall();
void wallall();

}  // namespace zefra
