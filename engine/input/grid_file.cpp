// Reader of the grid file.  Not yet built: the grid is not read yet.
#include "engine/input/grid_file.h"

namespace zefra {

void readkoor() {}

}  // namespace zefra
