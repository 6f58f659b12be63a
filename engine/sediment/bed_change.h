// Bed level change (letter B).
// Not built yet: reads and writes nothing.
#pragma once

namespace zefra {

void bedchange();

}  // namespace zefra
