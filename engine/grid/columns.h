// Levels of the vertical grid lines seen from a cell: the bed under it, the
// centre height above the bed and the depth of its column, each the mean over
// the four node columns at the cell's corners.
// Reads zval; writes nothing.
#pragma once

#include "engine/grid/multiblock.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"

namespace zefra {

// Mean over the four corner columns (i-1 .. i, j-1 .. j) of a level function
// (at the first row of a side block, the main block's edge nodes it joins).
template <class Level>
double corner_mean(int i, int j, Level level_at)
{
    if (MBNo > 0) {
        double sum = 0.0;
        for (int di = 0; di <= 1; ++di)
            for (int dj = 0; dj <= 1; ++dj) {
                const NodeIndex n = cell_corner(i, j, di, dj);
                sum += level_at(n.i, n.j);
            }
        return 0.25 * sum;
    }
    return 0.25 * (level_at(i - 1, j - 1) + level_at(i, j - 1) + level_at(i - 1, j) + level_at(i, j));
}

// Height of the centre of cell (i, j, k) above the bed.
inline double centre_height(int i, int j, int k)
{
    return corner_mean(i, j, [k](int a, int b) { return 0.5 * (zval[a][b][k] + zval[a][b][k - 1]) - zval[a][b][1]; });
}

// Level of the centre of cell (i, j, k).
inline double centre_level(int i, int j, int k)
{
    return corner_mean(i, j, [k](int a, int b) { return 0.5 * (zval[a][b][k] + zval[a][b][k - 1]); });
}

// Water depth of column (i, j): top level minus bed level.
inline double column_depth(int i, int j)
{
    return corner_mean(i, j, [](int a, int b) { return zval[a][b][znumber] - zval[a][b][1]; });
}

// Level of the top of column (i, j).
inline double column_top(int i, int j)
{
    return corner_mean(i, j, [](int a, int b) { return zval[a][b][znumber]; });
}

}  // namespace zefra
