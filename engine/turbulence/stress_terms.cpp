// Transposed stress terms.  Not yet built.
#include "engine/turbulence/stress_terms.h"

namespace zefra {

void StressOrt() {}

}  // namespace zefra
