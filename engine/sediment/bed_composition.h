// Bed-surface composition from the sediment balance of the bed cells (F 30,
// second value), with two or more grain sizes.  Called by the suspended
// sediment solver once per iteration.
// Reads conc, the coefficients of the size equations, BedGrainOriginal and
// OBlok; writes bedgrain[1 ... lnumber].
#pragma once

#include "engine/common/boogie.h"

namespace zefra {

// Methods of BedFlags[1]:
//   1  each size in proportion to its equilibrium ratio c_bal / c_bed (the
//      concentration the bed cell holds without net exchange over the bed
//      concentration of the formula); sizes the flow cannot move keep theirs;
//   2  the stationary active layer: under net deposition the exchanged
//      material has the composition of the surface, under net erosion that
//      of the layer below (BedGrainOriginal, or the surface where that holds
//      nothing); the net exchange is found by an inner iteration;
//   3  the composition of the sediment arriving in the bed cell;
//   4  the composition of the net deposit, in columns that gain sediment;
//   5  method 4 in columns that gain sediment, method 1 in those that lose;
//   6  method 2, once the residual sum is below 0.2 lnumber.
// The new fractions are under-relaxed by `relax`, fractions below 1e-50 are
// set to 0 and the rest scaled to a sum of 1.  An inner iteration that does
// not settle to 1e-4 is logged as "Non-convergence for bed composition".
void update_bed_composition(Boogie& log, int method, double relax, double residual_sum);

}  // namespace zefra
