// Sediment set-up.  Not yet built.
#include "engine/sediment/sediment_setup.h"

namespace zefra {

void bedslope_corr() {}
void suspinit() {}

}  // namespace zefra
