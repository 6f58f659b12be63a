// Transposed stress terms of the momentum equations.
#pragma once

namespace zefra {

void StressOrt();

}  // namespace zefra
