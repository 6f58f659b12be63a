// Reader of the xcyc file.  Not yet built.
#include "engine/input/xcyc_file.h"

namespace zefra {

void ReadXCYC() {}

}  // namespace zefra
