// Block connection of multi-block grids and the cell edge vectors.
#pragma once

namespace zefra {

void MultiBlockInit();
void smetric();

}  // namespace zefra
