// The grid file `koordina`: bed points (and roof levels of a closed conduit),
// the vertical grid lines laid between bed and top, and the lower bed limits.
// Reads `koordina`; writes xval, yval, zval and the lower bed limits.
#pragma once

namespace zefra {

constexpr const char* GridFileName = "koordina";

// Reads `koordina` (and `koomin`) into xval, yval and zval; last step of kread.
void readkoor();

// Writes the grid to `koordina.new` (and the surface to `koosurf` with FlagTFS 1).
void writekoor();

}  // namespace zefra
