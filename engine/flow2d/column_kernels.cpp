// The depth-averaged twins of the flow kernels: the same arithmetic as the 3D
// solver on the one column layer, so that a face of a column is treated as
// the 3D solver treats a face of a cell (power-law coefficients, Rhie-Chow
// fluxes, SIMPLE or SIMPLEC corrections, walls, out-blocks that fill a whole
// column, block joints).  Called by WaterSolve2D and by the free surface and
// the transient morphology in depth-averaged runs.
#include "engine/flow2d/column_kernels.h"

#include "engine/common/boogie.h"
#include "engine/common/run_exit.h"
#include "engine/flow3d/block_correction.h"
#include "engine/flow3d/boundary_values.h"
#include "engine/flow3d/coefficients.h"
#include "engine/flow3d/face_fluxes.h"
#include "engine/flow3d/layers.h"
#include "engine/flow3d/linear_solvers.h"
#include "engine/flow3d/pressure_correction.h"
#include "engine/flow3d/residuals.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"

namespace zefra {

void boundary2D()
{
    boundary_values(ColumnLayer);
}

void waterflow2D()
{
    face_fluxes(ColumnLayer);
}

void coeffe_flow2D()
{
    convection_diffusion(Equation, ColumnLayer);
}

void pressure_source2D()
{
    if (Equation != 1 && Equation != 2) log_and_end(-4, "Error in pressure_source2D, Equation = %d\n", Equation);
    add_pressure_gradient(Equation, ColumnLayer);
}

void pressure_correction2D()
{
    pressure_correction_equation(ColumnLayer);
}

void SimpleCorrections2D()
{
    correct_flow(f, ColumnLayer);
}

void Residual2D()
{
    equation_residual(f, Equation, ColumnLayer);
}

void BlockCorrection2D()
{
    block_correct(f, Equation, ColumnLayer);
}

void WaterGaussSeidel2D()
{
    gauss_seidel(f, ColumnLayer);
}

}  // namespace zefra
