// Out-blocks (G 13): boxes of cells taken out of the flow, such as bridge
// piers and groynes.  A fluid cell sees the face it shares with a blocked
// cell as a wall for the pressure coupling: no flux, no pressure correction
// across it, and one-sided pressure differences in its gradients, so that the
// pressure of the blocked cells enters no equation.  The blocked cells carry
// the pressure of the water around them, for the plots only.
// Reads OBlok (set by the flow start-up) and the OutBlock table; writes Pres
// of the blocked cells.
#pragma once

#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_tables.h"

namespace zefra {

// Whether cell (i, j, k) lies inside an out-block (or a blocked column).
inline bool out_block_cell(int i, int j, int k)
{
    return OutBlockNo > 0 && OBlok[i][j][k] == 0;
}

// Gives every blocked cell the mean pressure of its fluid neighbours; cells
// deep inside a box take the mean of the water around the box.
void out_block_pressure();

}  // namespace zefra
