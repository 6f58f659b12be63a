// Water-quality components (letter Q).
#pragma once

namespace zefra {

void Components();

}  // namespace zefra
