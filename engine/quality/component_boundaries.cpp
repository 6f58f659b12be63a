// Given values of the water-quality components.
//
//   i = 0, 1     2   ...   xnumber   xnumber+1
//   [inflow]  | inner cells ...     | [outflow]
//   series row or G 17 box             copied from i = xnumber where nothing
//                                      flows back in
//
// A box of G 17 / G 18 on a ghost layer gives the concentration of the water
// entering there; a box over inner cells holds them at its value (a
// continuous source).  Called by the component driver.
#include "engine/quality/component_boundaries.h"

#include <algorithm>

#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_tables.h"

namespace zefra {

namespace {

constexpr int SeriesColumns = 20;  // concentrations per time-series row

}  // namespace

void impose_fixed_boxes()
{
    for (int n = 0; n < BorderSourceNo; ++n) {
        const BorderSourceRecord& b = BorderSource[n];
        if (b.component < 0 || b.component >= NoComponents) continue;
        const Field3 c = comp[b.component];
        for (int i = b.i1; i <= b.i2; ++i)
            for (int j = b.j1; j <= b.j2; ++j)
                for (int k = b.k1; k <= b.k2; ++k) c[i][j][k] = b.value;
    }
}

void hold_fixed_boxes(int m)
{
    for (int n = 0; n < BorderSourceNo; ++n) {
        const BorderSourceRecord& b = BorderSource[n];
        if (b.component != m) continue;
        for (int i = std::max(b.i1, 2); i <= std::min(b.i2, xnumber); ++i)
            for (int j = std::max(b.j1, 2); j <= std::min(b.j2, ynumber); ++j)
                for (int k = std::max(b.k1, 2); k <= std::min(b.k2, znumber); ++k) {
                    wap[i][j][k] = HeldCell;
                    source[i][j][k] = HeldCell * b.value;
                }
    }
}

int inflow_series_row(double time)
{
    if (TimeInNo <= 0 || FlagTimeiConc <= 0 || !Cinn) return -1;
    for (int n = 0; n < TimeInNo; ++n)
        if (TimeInTime[n] >= time) return n;
    return TimeInNo - 1;
}

void apply_inflow_row(int n)
{
    if (n < 0) return;
    if (FlagJTime == 1) TimeStep = TimeInTimStep[n];
    const bool second = (sou[8] == 1 || sou[8] == 3) && aee;
    for (int m = 0; m < std::min(NoComponents, SeriesColumns); ++m) {
        const Field3 c = comp[m];
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                c[1][j][k] = Cinn[n][m];
                if (second) c[0][j][k] = Cinn[n][m];
            }
    }
}

void fill_uncoupled_ghosts()
{
    const int x = xnumber, y = ynumber, z = znumber;
    auto inner = [x, y](int i, int j) { return i >= 2 && i <= x && j >= 2 && j <= y; };
    for (int m = 0; m < NoComponents; ++m) {
        const Field3 c = comp[m];
        for (int j = 2; j <= y; ++j)
            for (int k = 2; k <= z; ++k)
                if (aw[x][j][k] == 0.0) c[x + 1][j][k] = c[x][j][k];
        // The side walls, along the ghost rows of the ends too.
        for (int i = 1; i <= x + 1; ++i)
            for (int k = 2; k <= z; ++k) {
                if (!inner(i, 2) || as[i][2][k] == 0.0) c[i][1][k] = c[i][2][k];
                if (!inner(i, y) || an[i][y][k] == 0.0) c[i][y + 1][k] = c[i][y][k];
            }
        for (int i = 1; i <= x + 1; ++i)
            for (int j = 1; j <= y + 1; ++j)
                if (!inner(i, j) || wab[i][j][2] == 0.0) c[i][j][1] = c[i][j][2];
    }
}

}  // namespace zefra
