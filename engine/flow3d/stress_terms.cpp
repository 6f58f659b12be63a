// Transposed stress terms.  Not yet built.
#include "engine/flow3d/stress_terms.h"

namespace zefra {

void StressOrt() {}

}  // namespace zefra
