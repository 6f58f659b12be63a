// Sediment set-up (letter I): bed-slope correction and the first suspended
// sediment field.
#pragma once

namespace zefra {

void bedslope_corr();
void suspinit();

}  // namespace zefra
