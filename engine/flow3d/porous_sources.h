// Drag of porous beds and vegetation in the momentum and turbulence equations.
#pragma once

namespace zefra {

void extra_source();
void extra_sourceDLL();

}  // namespace zefra
