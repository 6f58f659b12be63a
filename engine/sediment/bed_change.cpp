// Bed level change.  Not yet built.
#include "engine/sediment/bed_change.h"

namespace zefra {

void bedchange() {}

}  // namespace zefra
