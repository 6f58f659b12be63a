// Bed level change (letter B, and every step of the morphology drivers): the
// cell changes of bedlevchange[0] become moves of the grid corners, the
// vertical levels follow, over-steep slopes avalanche, the bed may be
// smoothed, and the geometry is rebuilt.
// Reads bedlevchange[0], OBlok, m_armap, xval, yval, Surfaces[3], stime (steady)
// or TimeStep (transient), the F 56, F 144, F 151 settings and FlagTSC,
// FlagTFS; writes zval, Surfaces[1], the geometry arrays (metric, smetric),
// the ghost velocities of both ends, the face fluxes of an existing flow,
// Pres (transient free surface), `loggfil` and `koordina.new` (steady runs).
#pragma once

namespace zefra {

constexpr const char* BedChangeFile = "loggfil";

// Applies bedlevchange[0] (m, positive for deposition, one value per water
// column i = 2 ... xnumber, j = 2 ... ynumber) to the bed and leaves the grid
// ready for the next flow step; bedlevchange itself is left as it was.
//  - Each column's volume (change times plan area) is shared among its four
//    corners by plan area; erosion stops every corner at Surfaces[3] and the
//    rest goes to the other corners ("Error in bed change, ..." in the log
//    when the sediment above the fixed bed is not enough).
//  - zval[.][.][0] is the bed, zval[.][.][1] the lowest grid level: they part
//    only when the bed rises to within TSCMinDepth of the top level that
//    moves (znumber, or the G 23 lower fixed level).
//  - Slopes steeper than AngleAvalanche avalanche with the volume kept
//    (IterAvalanche 1 ... 99 passes over corner pairs; 200 the plane method);
//    FlagBedSmooth smooths the bed over stime (steady) or TimeStep.
//  - Transient free surface (FlagTSC 1, FlagTFS 1): the pressure follows the
//    moved cells.  Steady runs (FlagTSC 0) append the change to `loggfil` and
//    write `koordina.new`; transient runs write neither.
//  - The geometry is rebuilt, the two ends keep their discharges and, when a
//    flow exists (FlagInitialized), boundary values and face fluxes are
//    recomputed on the new grid, so a caller need not repeat that.
// Ends the run with status -3 when the log cannot be opened.
void bedchange();

// A TSCMinDepth that is not positive becomes 0.03 times the mean half length
// of the top cells along the middle grid line.
void default_minimum_depth();

}  // namespace zefra
