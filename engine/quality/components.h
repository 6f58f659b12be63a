// Water-quality components (letter Q).
// Not built yet: reads and writes nothing.
#pragma once

namespace zefra {

void Components();

}  // namespace zefra
