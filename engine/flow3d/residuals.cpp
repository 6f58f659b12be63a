// Residuals: how far the assembled equation of the current Equation is from
// being satisfied by the present field, before it is solved.  The sum over
// all inner cells is normalised with the scale the start-up set from the
// inflow; a cell far above the mean level is reported in the log.  Cells held
// fixed by a huge central coefficient (out-blocks) are left out, as in the
// block correction: their value is prescribed, not solved for.
#include "engine/flow3d/residuals.h"

#include <cmath>

#include "engine/common/boogie.h"
#include "engine/common/run_exit.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"

namespace zefra {

void Residual()
{
    Boogie log;
    log.require(-1);
    const int e = Equation, x = xnumber, y = ynumber, z = znumber;
    const Field3 phi = f;
    const double threshold = NormResidual[e] * InputErrorLimit / (static_cast<double>(x) * y * z);
    const bool second = (sou[e] == 1 || sou[e] == 3) && aee;
    const bool tagged = MBNo > 0 || second;  // those reports carry the iteration
    double sum = 0.0;
    for (int i = 2; i <= x; ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = 2; k <= z; ++k) {
                if (sum > 1e15) continue;  // a blown-up field stops adding
                // Cells held fixed by a huge central coefficient (out-blocks) solve no equation.
                if (e != 4 && wap[i][j][k] > 1e15) continue;
                double r;
                if (e == 4) {
                    r = std::fabs(source[i][j][k]);
                } else {
                    double balance = ae[i][j][k] * phi[i - 1][j][k] + aw[i][j][k] * phi[i + 1][j][k] + as[i][j][k] * phi[i][j - 1][k] +
                                     an[i][j][k] * phi[i][j + 1][k] + wab[i][j][k] * phi[i][j][k - 1] + wat[i][j][k] * phi[i][j][k + 1] +
                                     source[i][j][k] - wap[i][j][k] * phi[i][j][k];
                    if (second) {
                        auto at = [&phi](int a, int b, int c) {
                            a = a < 0 ? 0 : (a >= phi.extent(0) ? phi.extent(0) - 1 : a);
                            b = b < 0 ? 0 : (b >= phi.extent(1) ? phi.extent(1) - 1 : b);
                            c = c < 0 ? 0 : (c >= phi.extent(2) ? phi.extent(2) - 1 : c);
                            return phi[a][b][c];
                        };
                        balance += aee[i][j][k] * at(i - 2, j, k) + aww[i][j][k] * at(i + 2, j, k) + ass[i][j][k] * at(i, j - 2, k) +
                                   ann[i][j][k] * at(i, j + 2, k) + abb[i][j][k] * at(i, j, k - 2) + att[i][j][k] * at(i, j, k + 2);
                    }
                    r = std::fabs(balance);
                }
                sum += r;
                if (r <= threshold) continue;
                if (e == 4) {
                    log.print("Large residual for f(%d,%d,%d,%d)\n", i, j, k, e);
                    log.print("f = %e, source = %e, wap = %e\n", phi[i][j][k], source[i][j][k], wap[i][j][k]);
                    continue;
                }
                if (tagged)
                    log.print("Iter: %ld, Large residual for f(%d,%d,%d,%d) : %le\n", Iter, i, j, k, e, r);
                else
                    log.print("Large residual for f(%d,%d,%d,%d) : %le\n", i, j, k, e, r);
                log.print("f = %e, source = %e, wap = %e\n", phi[i][j][k], source[i][j][k], wap[i][j][k]);
                log.print("flow3 = %e, flow2 = %e, flow1 = %e\n", flow3[i][j][k], flow2[i][j][k], flow1[i][j][k]);
                log.print("xvel = %e, yvel = %e, zvel = %e\n", xvel[i][j][k], yvel[i][j][k], zvel[i][j][k]);
            }
    if (NormResidual[e] <= 1e-10) {
        log.print("Error residual not set\n");
        end_run(0);
    }
    MaxResidual[e] = sum / NormResidual[e];
}

}  // namespace zefra
