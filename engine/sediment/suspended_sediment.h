// The steady suspended-sediment solver: the concentration of every grain
// size in the frozen flow, with the bed cells set from the bed concentration
// of the transport formula, the flux balance and trap efficiency of each
// size, and the cell continuity check.  Called by the steady morphology
// driver (letter S).
// Reads the flow fluxes, the coefficients of letter I, conc[l][.][.][0], the
// F 4, F 30, F 174 settings, the G 12 and G 21 tables and the link tables;
// writes conc, bedgrain (F 30 flags 3 to 5 and the composition methods),
// outflow, trapped, indexl, source, PrintConc[].flux and the log.
#pragma once

namespace zefra {

// Up to iter_morph iterations of every size; stops on a reporting iteration
// whose mean flux residual is below conv_morph.  Does nothing without a
// concentration field or with iter_morph < 1.
void suspsed();

// The bed cells of size l from the bed concentration, the bed fraction and
// the neighbours, by the F 30 flags: BedFlags[2] 1 keeps at least the cell
// above, 2 extrapolates from the two cells above (relaxed by relax_morph);
// BedFlags[3] 1 to 4 use the value without net exchange c_bal (3 and 4 also
// set the bed fraction); BedFlags[4] caps it at the largest boundary value.
void bed_cell_condition(int l);

}  // namespace zefra
