// Bed level change (letter B, and every step of the morphology drivers): the
// cell changes of bedlevchange[0] become moves of the grid corners, the
// vertical levels follow, over-steep slopes avalanche, the bed may be
// smoothed, and the geometry is rebuilt.
// Reads bedlevchange[0], OBlok, m_armap, Surfaces[3], the F 56, F 144, F 151
// settings; writes zval, Surfaces[1], the geometry arrays (metric, smetric),
// Pres (transient free surface), `loggfil` and `koordina.new` (steady runs).
#pragma once

namespace zefra {

constexpr const char* BedChangeFile = "loggfil";

// Applies bedlevchange[0] (m, positive for deposition) to the bed and
// rebuilds the geometry; bedlevchange itself is left as it was.
void bedchange();

// A TSCMinDepth that is not positive becomes 0.03 times the mean half length
// of the top cells along the middle grid line.
void default_minimum_depth();

}  // namespace zefra
