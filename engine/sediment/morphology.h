// Morphology drivers of letter S: steady (FlagTSC 0) and transient (1, 2).
// The steady one solves the suspended sediment (suspsed), turns the
// imbalance of every bed cell into a bed change over a morphological time
// step (stime) and leaves it in BedMove and bedlevchange for letter B; it
// also writes conres.new / fracres.new.  The transient ones are not built:
// they read and write nothing.
// Reads the flow, the coefficients and bed concentrations of letter I, the
// F 8, F 23, F 26, F 28 and F 30 settings; writes conc, BedMove,
// bedlevchange, BedGrainOriginal, stime and the log.
#pragma once

namespace zefra {

void morphology();
void morphology_tsc();
void morphology2_tsc();

}  // namespace zefra
