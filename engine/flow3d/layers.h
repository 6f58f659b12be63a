// The layers of cells a flow kernel works on.  The 3D solver works on the
// water cells k = 2 ... znumber.  The depth-averaged solver works on the one
// column layer k = 0: there the fields hold depth averages, the geometry the
// values of whole columns (face areas over the whole depth, m_dist_z half the
// depth), and a cell has no neighbours above or below it.
// Reads znumber; writes nothing.
#pragma once

#include "engine/state/state_grid.h"

namespace zefra {

struct Layers {
    int first, last;
    bool column() const { return first == 0; }
};

// The water cells of the 3D solver.
inline Layers water_layers()
{
    return {2, znumber};
}

// The depth-averaged columns.
inline constexpr Layers ColumnLayer{0, 0};

// The layers of a box of cells k1 ... k2 (an out-block) within `layers`: the
// box itself among the water cells; among the columns the column when the box
// fills its whole depth, else none.
inline Layers box_layers(int k1, int k2, Layers layers)
{
    if (!layers.column()) return {k1, k2};
    return k1 <= 2 && k2 >= znumber ? layers : Layers{1, 0};
}

}  // namespace zefra
