// The depth-averaged sediment of the transient morphology (F 37 2): one
// concentration of each size per column of water, its mean over the depth,
// in conc2D[l][i][j][0], transported by the column fluxes and exchanged with
// the bed through settling and pick-up.  The water cells above each column
// show it spread over the depth with the profile of the transport formulas.
// Reads the column flow (index 0 of the flow fields and the geometry), the
// cells' concentrations and fluxes, the bed concentrations, the bed layers,
// fallvelo, TimeStep, ConvCoef; writes conc2D, diff, ae ... an, ap, at, ab
// and source at index 0, and the cells of conc.
#pragma once

namespace zefra {

// The columns' concentrations from the cells: the volume-weighted mean over
// the depth of every water column, and the ghost columns.
void start_column_sediment();

// The ghost columns: at the inflow end and the sides the mean of the ghost
// cells weighted by the water each face carries (so a column brings in the
// load of its cells), at the outflow end the last column's value.
void column_boundary_values();

// The coefficients of every size on the columns: the horizontal ones of the
// cells on the column layer (with the column fluxes, and the column eddy
// viscosity in diff[i][j][0]), no vertical ones, and the central coefficient
// with the settling to the bed w A R (R: near-bed over depth-mean
// concentration, near_bed_ratio).  Where the cells hold the flow (a 3D flow,
// or a depth-averaged one read back by letter R) the column fluxes are the
// sums over the cells.  The column walls are renewed.  The storage term is
// the driver's.
void column_sediment_coefficients();

// Near-bed (bed-cell) concentration over the depth mean for size l in column
// (i, j), with the profile the transport formulas give the bed concentration
// (concentration_profile): the column volume over the sum of the cell volumes
// times their profile shares (1 for a column without water cells).
double near_bed_ratio(int l, int i, int j);

// Pick-up of size l from the bed into every water column: w A f_l c_b, with
// the formula's bed concentration c_b = conc[l][i][j][0] and the active
// layer's fraction f_l; added to source.
void column_pickup(int l);

// After a solve of size l: each column's pick-up is limited by what the
// active layer holds of the size (its whole stock within the step), as the
// 3D bed cell is:  C = max(C_dep, min(C_full, C_stock)), C_dep without
// pick-up, C_full with the full pick-up, C_stock with the stock taken in the
// step and no settling; values below 1e-30 become 0.  The outflow ghost
// column takes the last column's value.
void limit_column_pickup(int l);

// The cells of every water column take its concentration spread over the
// depth with the profile of the formulas (the volume it holds kept exactly),
// the bed face the bed cell's value, the outflow ghost cells the last row's.
void spread_column_sediment();

}  // namespace zefra
