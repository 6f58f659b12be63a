// Sediment set-up (letter I): the first concentration field of every size
// from a computed flow, before the morphology drivers start.
// Reads the flow, bed shear, geometry, the sediment settings and tables, the
// point and area sources and the restart files; writes bedshear (end rows,
// canopy shear), conc, bedgrain (inflow row; Shields initialisation), and
// through the bed concentration formulas D90a, Bedformheight and Xks.
#pragma once

namespace zefra {

// Bed concentrations, inflow fractions, Rouse profiles scaled to the given
// inflow load, totals, sources and restart files.  A grain diameter of zero
// is reported and leaves the set-up unfinished; an unknown transport formula
// ends the run with status 1, a log that cannot be opened with status -3.
void suspinit();

}  // namespace zefra
