// Flow start-up.  Not yet built.
#include "engine/grid/startup.h"

namespace zefra {

void startup() {}

}  // namespace zefra
