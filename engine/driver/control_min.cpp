// The minimal control file, written when `control` is missing: title, grid
// sizes, an even vertical distribution, discharge and level, three profile
// cross-sections, iteration limits and wall switches.
#include <algorithm>
#include <cstdio>

#include "engine/common/output_file.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/driver/entry.h"
#include "engine/input/control_reader.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"

namespace zefra {

void writeControlMin()
{
    OutputFile out(ControlFileName);
    if (!out.is_open()) {
        set_status(mc_message, "cannot open file 'control' ");
        end_run(-4);
    }
    std::FILE* fp = out.get();
    const int levels = std::min(znumber, ZDistribSize - 1);
    const double spacing = levels > 1 ? levels - 1 : 1;
    for (int k = 1; k <= levels; ++k) zdistrib[k] = (k - 1) * 100.0 / spacing;
    initnumber = 3;
    initarray[1] = 1;
    initarray[2] = xnumber / 2;
    initarray[3] = xnumber;

    std::fprintf(fp, "T   %s                             title field \n", Title);
    std::fprintf(fp, "G 1 %d %d %d %d     grid and array sizes\n", xnumber, ynumber, znumber, lnumber);
    std::fprintf(fp, "G 3");
    for (int k = 1; k <= levels; ++k) std::fprintf(fp, " %lf", zdistrib[k]);
    std::fprintf(fp, "      vertical grid distribution\n");
    std::fprintf(fp, "W 1 %lf %lf %lf\n", ManningInit, discharge, level);
    std::fprintf(fp, "W 2 %d", initnumber);
    for (int n = 1; n <= initnumber; ++n) std::fprintf(fp, " %d", initarray[n]);
    std::fprintf(fp, "\n");
    std::fprintf(fp, "K 1 %ld %ld\n", 40000L, 60000L);
    std::fprintf(fp, "K 2 0 1\n");
    out.commit();
}

}  // namespace zefra
