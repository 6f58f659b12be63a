// Initial: the start-up sequence (control file, grid, initial surface, block
// connection, flow start-up, time series) and then the run-command loop, which
// executes the letters of the F 2 string IterF2 times.
#include "engine/common/arith.h"
#include "engine/common/run_account.h"
#include "engine/common/run_exit.h"
#include "engine/driver/entry.h"
#include "engine/flow2d/water_solve_2d.h"
#include "engine/flow3d/coefficients.h"
#include "engine/flow3d/water_solve.h"
#include "engine/grid/multiblock.h"
#include "engine/input/control_reader.h"
#include "engine/input/result_file.h"
#include "engine/input/time_series.h"
#include "engine/input/xcyc_file.h"
#include "engine/output/sprintflow.h"
#include "engine/quality/components.h"
#include "engine/sediment/bed_concentration.h"
#include "engine/sediment/bed_change.h"
#include "engine/sediment/morphology.h"
#include "engine/sediment/sediment_coefficients.h"
#include "engine/sediment/sediment_setup.h"
#include "engine/startup/flow_startup.h"
#include "engine/startup/initial_surface.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/turbulence/turbulence_models.h"

namespace zefra {

namespace {

// Raises a run-state flag around one call, so a host can tell what runs.
template <class Call>
void flagged(int& flag, Call call)
{
    flag = 1;
    call();
    flag = 0;
}

enum class Next { Letter, EndLoop };

// Letter S: the morphology driver chosen by FlagTSC (any other value computes
// nothing).  The loop ends when there is no concentration field or when the
// computation reported an error.
Next sediment_letter()
{
    gFlagSedim = 1;
    FlagSedimDial = 0;
    switch (FlagTSC) {
    case 0: morphology(); break;
    case 1: morphology_tsc(); break;
    case 2: morphology2_tsc(); break;
    default: break;
    }
    if (!conc) return Next::EndLoop;  // gFlagSedim stays 1
    gFlagSedim = 0;
    return FlagErrorBreak == 1 ? Next::EndLoop : Next::Letter;
}

// Whether a character of the run string acts in this pass: R only in passes 1
// and 2, V only with an open water surface; characters without an action are
// passed over.
bool acts(char letter, int pass)
{
    switch (letter) {
    case 'A': case 'B': case 'D': case 'I': case 'M': case 'Q': case 'S': case 'W': case 'X': return true;
    case 'R': return pass <= 2;
    case 'V': return FlagRoof != 0;
    default: return false;
    }
}

Next execute(char letter)
{
    switch (letter) {
    case 'A':
        account_letter_a();
        end_run(0);
    case 'B': bedchange(); break;
    case 'D': flagged(gFlagFlow, WaterSolve2D); break;
    case 'I':
        FlagInitSedim = 1;
        flagged(gFlagSedim, [] {
            eddy_viscosity_to_diff();
            bedslope_corr();
            coeffe_setup();
            coeffe_setup2();
            suspinit();
        });
        break;
    case 'M': flagged(gFlagWriteR, sprintflow); break;
    case 'Q': flagged(gFlagComp, Components); break;
    case 'R': flagged(gFlagRead, readres); break;
    case 'S': return sediment_letter();
    case 'V': initial(); break;
    case 'W': flagged(gFlagFlow, [] { Flag2Dim != 0 ? WaterSolve2D() : WaterSolve(); }); break;
    case 'X': ReadXCYC(); break;
    default: break;
    }
    return Next::Letter;
}

void run_command_loop()
{
    for (int pass = 1; pass <= IterF2; ++pass)
        for (int n = 0; n < RunLettersExecuted; ++n) {
            const char letter = run[n];
            if (!acts(letter, pass)) continue;
            if (run_letter_observer) run_letter_observer(letter, pass);
            if (execute(letter) == Next::EndLoop) return;
        }
}

}  // namespace

void Initial()
{
    kread();
    if (FlagRoof != 0)
        initial();
    else
        initial_tunnel();
    MultiBlockInit();
    smetric();
    startup();
    gFlagInit = 1;
    if (TimeStep > TransientTimeStepLimit && ReadTimes() != 0) return;
    run_command_loop();
}

}  // namespace zefra
