// Initial water surface and velocities: the backwater computation along the
// river (open channel) or the closed-conduit variant.
#pragma once

namespace zefra {

void initial();
void initial_tunnel();

}  // namespace zefra
