// The node-coordinate file `xcyc` (letter X).
// Writes the node coordinates.  Not built yet.
#pragma once

namespace zefra {

void ReadXCYC();

}  // namespace zefra
