// Bed level change (letter B).
#pragma once

namespace zefra {

void bedchange();

}  // namespace zefra
