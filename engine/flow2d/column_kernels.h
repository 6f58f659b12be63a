// The kernels of the depth-averaged solver: the kernels of the 3D solver run
// on the column layer (index 0), where the fields hold depth averages and the
// geometry the values of whole columns (metric's index 0).
//
// The pair other subsystems call when the grid or the bed has moved in a
// depth-averaged run (the transient morphology after a bed change; the free
// surface, move_surface on the column layer, does the same), after metric
// and smetric:
//   boundary2D();   ghost columns: outflow scaled to the inflow, G 7 openings
//                   in the sides (their whole column faces), open sides;
//   waterflow2D();  flow1[i][j][0], flow2[i][j][0]: kg/s through whole
//                   column faces, with the Rhie-Chow term of invAP[i][j][0].
// Both read and write index 0 only.  The surface pressure of column (i, j) is
// Pres[i][j][0] and its speed comes from xvel, yvel [i][j][0]; the water
// cells above (k = 2 ... znumber) receive the columns' values only when the
// solver writes results (spread_columns in column_fields.h).
// Reads and writes what the 3D kernels do, at index 0.
#pragma once

namespace zefra {

void boundary2D();
void waterflow2D();

// Neighbour coefficients of the current Equation (power-law scheme, four
// neighbours; wab and wat zero).
void coeffe_flow2D();

// Pressure-gradient force of the x (Equation 1) or y (2) momentum of the
// columns; any other Equation ends the run with status -4.
void pressure_source2D();

// Coefficients and mass defects of the pressure correction of the columns.
void pressure_correction2D();

// Corrects the column fluxes, velocities and pressure with the correction in `f`.
void SimpleCorrections2D();

// Residual, block correction and Gauss-Seidel sweeps of the current Equation
// on the field `f` designates.
void Residual2D();
void BlockCorrection2D();
void WaterGaussSeidel2D();

}  // namespace zefra
