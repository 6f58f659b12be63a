// The node-coordinate file `xcyc` (letter X).
#pragma once

namespace zefra {

void ReadXCYC();

}  // namespace zefra
