#include "engine/sediment/sediment_fluxes.h"

#include <algorithm>
#include <cstdlib>

#include "engine/grid/multiblock.h"
#include "engine/sediment/size_equation.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_tables.h"

namespace zefra {

BorderFluxes border_fluxes(int l)
{
    return border_fluxes(conc[l], l, water_layers());
}

BorderFluxes border_fluxes(const Field3& c, int l, Layers layers)
{
    const int x = xnumber, y = ynumber, z = znumber, k1 = layers.first, k2 = layers.last;
    BorderFluxes b;
    for (int j = 2; j <= y; ++j)
        for (int k = k1; k <= k2; ++k) {
            b.I1 += upwind_sediment_flux(flow1[1][j][k], c[1][j][k], c[2][j][k]);
            b.I2 += upwind_sediment_flux(flow1[x][j][k], c[x][j][k], c[x + 1][j][k]);
        }
    for (int i = 2; i <= x; ++i) {
        const bool south = MBNo == 0 || !joint_across_edge(i, 1), north = MBNo == 0 || !joint_across_edge(i, y);
        for (int k = k1; k <= k2; ++k) {
            if (south) b.J1 += upwind_sediment_flux(flow2[i][1][k], c[i][1][k], c[i][2][k]);
            if (north) b.J2 += upwind_sediment_flux(flow2[i][y][k], c[i][y][k], c[i][y + 1][k]);
        }
        if (!layers.column())
            for (int j = 2; j <= y; ++j) b.K2 += upwind_sediment_flux(flow3[i][j][z], c[i][j][z], c[i][j][z + 1]);
    }
    for (int block = 1; block <= MBNo; ++block) {
        const int line = MBSkjot[block];
        for (int j = 2; j <= y; ++j)
            for (int k = k1; k <= k2; ++k) {
                const double q = joint_opening_flux(line, j, k);
                if (q > 0.0) b.I2 += q * c[line][j][k];
                if (q < 0.0) b.I1 -= q * joint_inflow_concentration(l, line);
            }
    }
    return b;
}

void section_fluxes(Boogie& log)
{
    const int sizes = std::min(lnumber, SizeCapacity - 1);
    for (int n = 0; n < PrintConcNo; ++n) {
        PrintConcRecord& r = PrintConc[n];
        r.flux = 0.0;
        const int p = r.position;
        for (int l = 1; l <= sizes; ++l) {
            const Field3 c = conc[l];
            for (int a = r.a1; a <= r.a2; ++a)
                for (int b = r.b1; b <= r.b2; ++b) switch (std::abs(r.direction)) {
                    case 1: r.flux += upwind_sediment_flux(flow1[p][a][b], c[p][a][b], c[p + 1][a][b]) / 0.001; break;
                    case 2: r.flux += upwind_sediment_flux(flow2[a][p][b], c[a][p][b], c[a][p + 1][b]) / 0.001; break;
                    case 3: r.flux += upwind_sediment_flux(flow3[a][b][p], c[a][b][p], c[a][b][p + 1]) / 0.001; break;
                    default: break;
                    }
        }
        if (r.direction < 0) r.flux = -r.flux;
        log.print("Flux %d = %lf\n", n + 1, r.flux * density);
    }
}

}  // namespace zefra
