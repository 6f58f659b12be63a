// Water-quality components.  Not yet built.
#include "engine/quality/components.h"

namespace zefra {

void Components() {}

}  // namespace zefra
