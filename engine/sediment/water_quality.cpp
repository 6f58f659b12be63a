// Water-quality components.  Not yet built.
#include "engine/sediment/water_quality.h"

namespace zefra {

void Components() {}

}  // namespace zefra
