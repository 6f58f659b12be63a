// The bed of the transient morphology: an active layer at the surface, whose
// composition feeds the bed concentrations, over an inactive layer that
// stores older deposits and refills the active layer when the bed erodes.
// Reads conc, conc_old, the sediment coefficients, the geometry, the link
// tables, TimeStep, ConvCoef, maxgrain, Hydrostatic; writes bedgrain,
// BedGrainOriginal, BedMove, bedlevchange and the log.
#pragma once

#include "engine/state/state_sediment.h"

namespace zefra {

// The two layers of one column: thicknesses in m of bed, fractions of the
// sizes 1 ... lnumber.
struct BedColumn {
    double active = 0.0, inactive = 0.0;
    double f[SizeCapacity] = {};  // active layer
    double g[SizeCapacity] = {};  // inactive layer
};

// What one update found, for the checks and their messages.
struct LayerStep {
    double change = 0.0;       // the column's change of the step, sum of the sizes', m
    double provisional = 0.0;  // active thickness with the step's grains, before any transfer
    double amount[SizeCapacity] = {};  // grain thickness of each size in it
    double below_fixed_bed = 0.0;      // erosion beyond all sediment of the column (negative), else 0
    bool moved = false;        // false: a change within 1e-9 m, which counts as no bed move
};

// Changes the layers of a column by the per-size bed changes delta[1 ...
// sizes] (m of bed): deposits go into the active layer, and what makes it
// thicker than `max_active` passes into the inactive layer with the active
// composition; erosion takes from the active layer, which the inactive layer
// refills with its own composition until it is used up.  Every grain volume
// is kept.
LayerStep update_layers(BedColumn& column, const double* delta, int sizes, double max_active);

// The layers of every column from the sediment above the non-erodible
// surface (Surfaces[3]): an active layer of at most maxgrain, the rest
// inactive; an inactive layer never given a composition takes the active one.
// A thickness within 1e-9 m of zero counts as zero (rounding of a bed eroded
// to the fixed level); a negative one stops the run (-44, or -45 for the
// inactive layer).  `depth_averaged` selects the single message of the
// depth-averaged driver.
void start_bed_layers(bool depth_averaged);

// One transient step: the per-size bed changes of every water column from
// the balance of its bed cell (bedlevchange[l], BedMove), and the layers.
void morphology_fractions();

}  // namespace zefra
