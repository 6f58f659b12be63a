// Morphology drivers.  Not yet built.
#include "engine/sediment/morphology.h"

namespace zefra {

void morphology() {}
void morphology_tsc() {}
void morphology2_tsc() {}

}  // namespace zefra
