// Morphology drivers of letter S.  The steady driver so far computes the
// suspended sediment of every size in the frozen flow, forms the totals
// and writes the concentration restart file; the bed-level rates, the
// morphological time step and the transient drivers are not built yet.
#include "engine/sediment/morphology.h"

#include <algorithm>

#include "engine/common/boogie.h"
#include "engine/sediment/restart_files.h"
#include "engine/sediment/suspended_sediment.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"

namespace zefra {

namespace {

void total_concentration()
{
    const int sizes = std::min(lnumber, SizeCapacity - 1);
    for (int i = 1; i <= xnumber + 1; ++i)
        for (int j = 1; j <= ynumber + 1; ++j)
            for (int k = 1; k <= znumber; ++k) {
                double sum = 0.0;
                for (int l = 1; l <= sizes; ++l) sum += conc[l][i][j][k];
                conc[0][i][j][k] = sum;
            }
}

}  // namespace

void morphology()
{
    if (!conc) return;
    // The sediment equations need the coefficients and bed concentrations
    // of the set-up; without it there is nothing to solve.
    if (FlagInitSedim == 0) {
        log_append("Error, no sediment set-up (letter I) before letter S: no sediment computed\n");
        return;
    }
    suspsed();
    total_concentration();
    log_append(writeConRes() != 0 ? "Could not write conres.t file \n" : "Have written conres.t file \n");
}

void morphology_tsc() {}
void morphology2_tsc() {}

}  // namespace zefra
