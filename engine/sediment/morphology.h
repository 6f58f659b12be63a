// Morphology drivers of letter S: steady (FlagTSC 0) and transient (1, 2).
// The steady one solves the suspended sediment (suspsed), turns the
// imbalance of every bed cell into a bed change over a morphological time
// step (stime) and leaves it in BedMove and bedlevchange for letter B; it
// also writes conres.new / fracres.new.  The transient one (F 37 1, in
// morphology_transient.cpp) advances flow, sediment, bed layers and bed
// together step by step, the depth-averaged one (F 37 2) likewise with one
// concentration per column of water.
// Reads the flow, the coefficients and bed concentrations of letter I, the
// F 8, F 23, F 26, F 28 and F 30 settings; writes conc, BedMove,
// bedlevchange, BedGrainOriginal, stime and the log.
#pragma once

#include "engine/common/boogie.h"

namespace zefra {

void morphology();
void morphology_tsc();
void morphology2_tsc();

// Grain volumes (m3) of one size over the steps of the last transient
// morphology call: what entered and left the domain, and the changes of the
// suspended sediment and of the active and inactive bed layers.
struct SizeVolumes {
    double inflow = 0.0, outflow = 0.0, suspended = 0.0, active = 0.0, inactive = 0.0;
    double defect() const { return inflow - outflow - suspended - active - inactive; }
};
SizeVolumes transient_volumes(int l);

// conc[0] of every cell and ghost cell above the bed becomes the sum of the
// sizes, the total the plot and result files show.
void total_concentration();

// The checks both morphology drivers make before anything is computed: the
// per-size tables, side blocks fed by G 12, out-blocks on a multi-block
// grid, a positive grain share of the bed (F 26).  Ends the run with status 1
// on an error.
void check_morphology_settings(Boogie& log);

}  // namespace zefra
