// Morphology drivers of letter S: steady (FlagTSC 0) and transient (1, 2).
// The steady one solves the suspended sediment (suspsed), forms the totals
// conc[0] and writes conres.new / fracres.new; it changes no bed level yet.
// The transient ones are not built: they read and write nothing.
#pragma once

namespace zefra {

void morphology();
void morphology_tsc();
void morphology2_tsc();

}  // namespace zefra
