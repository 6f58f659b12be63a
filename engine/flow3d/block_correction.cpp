// Block correction.  Not yet built: the linear solvers run without it.
#include "engine/flow3d/block_correction.h"

namespace zefra {

void BlockCorrection() {}
void BlockCorrectionOpenMP() {}

}  // namespace zefra
