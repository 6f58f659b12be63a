// Drag of porous beds and vegetation in the momentum and turbulence equations.
// Reads the porous and vegetation settings; writes wap and source.  Not
// built yet.
#pragma once

namespace zefra {

void extra_source();
void extra_sourceDLL();

}  // namespace zefra
