#include "engine/state/state.h"

#include "engine/common/run_account.h"
#include "engine/common/status.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_plugins.h"
#include "engine/state/state_porous.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"

namespace zefra {

void set_control_defaults()
{
    default_run_settings();
    default_grid_settings();
    default_flow_settings();
    default_turbulence_settings();
    default_surface_settings();
    default_porous_settings();
    default_plugin_settings();
    default_output_settings();
    default_sediment_settings();
    default_quality_settings();
    clear_tables();
}

void reset_state()
{
    xnumber = ynumber = znumber = lnumber = 0;
    reset_run_flags();
    FlagStart = FlagInitSedim = 0;
    set_control_defaults();
    clear_status();
    SetArraysZero();
    run_letter_observer = nullptr;
    reset_account();
}

}  // namespace zefra
