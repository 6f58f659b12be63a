// Time series of the water-quality components in `timeo`: the point values
// (letter q), cross-section means (Q) and column means (L) of the print
// requests read from `timei`.
// Reads comp, the cell geometry, TimePrint and stime; appends to `timeo`.
#pragma once

namespace zefra {

// Mean of component m over the cross-section at i, weighted with the cell
// volumes.
double section_mean(int m, int i);

// Mean of component m over the column (i, j), weighted with the cell heights.
double column_mean(int m, int i, int j);

// Appends one line to `timeo`: the time, then the value of every q, Q and L
// point of the print request active now (the last one when none is); points
// of the flow letters write nothing here.  False when the file cannot be
// opened.
bool append_component_timeo_line();

}  // namespace zefra
