// Wall laws.  Not yet built: walls only close their faces (the coefficient
// and flux routines clear them); no wall friction is added.
#include "engine/turbulence/wall_laws.h"

namespace zefra {

void wall() {}
void wallall() {}

}  // namespace zefra
