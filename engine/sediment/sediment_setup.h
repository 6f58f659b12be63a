// Sediment set-up (letter I): bed-slope correction and the first suspended
// sediment field.
// Not built yet: reads and writes nothing.
#pragma once

namespace zefra {

void bedslope_corr();
void suspinit();

}  // namespace zefra
