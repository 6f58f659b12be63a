// Checker of the inflow and outflow definitions.  Not yet built.
#include "engine/input/inflow_outflow.h"

namespace zefra {

void checkIO() {}

}  // namespace zefra
