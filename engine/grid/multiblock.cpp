// Block connection and cell edge vectors.  Not yet built.
#include "engine/grid/multiblock.h"

namespace zefra {

void MultiBlockInit() {}
void smetric() {}

}  // namespace zefra
