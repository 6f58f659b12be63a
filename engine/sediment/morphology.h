// Morphology drivers of letter S: steady (FlagTSC 0) and transient (1, 2).
// Not built yet: reads and writes nothing.
#pragma once

namespace zefra {

void morphology();
void morphology_tsc();
void morphology2_tsc();

}  // namespace zefra
