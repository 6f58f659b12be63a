// The output dispatcher: F 48 (FlagInterpolVal) chooses whether a write of
// results produces the result file, the surface grid files of a transient
// run, the point report `interres`, or one of the Tecplot and VTK plot files.
#include "engine/output/sprintflow.h"

#include "engine/input/result_file.h"
#include "engine/output/plot_files.h"
#include "engine/output/point_report.h"
#include "engine/output/report_files.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_output.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"

namespace zefra {

void sprintflow()
{
    switch (FlagInterpolVal) {
    case 0:
    case 5:
        if ((FlagTFS > 0 || FlagTSC > 0) && Iter == iterGlobalMax)
            writespider();
        else
            write_result_file();
        break;
    case 1:
    case 2:
    case 3:
    case 4: write_interres(); break;
    case 7: write_cell_table(); break;
    case 8:
    case 12: write_tecplot_3d(); break;
    case 9: write_tecplot_2d(); break;
    case 10: write_vtk_3d(); break;
    case 11: write_vtk_2d(); break;
    default: break;  // report files: written elsewhere
    }
}

}  // namespace zefra
