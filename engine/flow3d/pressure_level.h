// The level of the pressure.  The pressure correction sees only differences
// of pressure (every boundary flux is given), so the level would drift from
// run to run; it is fixed at the water-surface reference point of G 6.
// Reads the geometry, OBlok, iSurf, jSurf and FlagTFS; writes Pres.
#pragma once

namespace zefra {

// Shifts Pres so that the surface pressure at the reference node (iSurf,
// jSurf of G 6; node line xnumber at the middle j when iSurf is 0) is zero.
// Nothing is done with the transient free surface (FlagTFS 1), whose top
// cells hold the level, or when no active top cell touches the node.
void fix_pressure_level();

}  // namespace zefra
