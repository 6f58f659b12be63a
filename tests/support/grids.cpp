#include "tests/support/grids.h"

#include <stdexcept>

#include "engine/grid/metric.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"

namespace zefra::test {

void make_grid(int x, int y, int z, const Plan& px, const Plan& py, const Level& pz)
{
    xnumber = x;
    ynumber = y;
    znumber = z;
    if (lnumber < 1) lnumber = 1;  // a test may ask for more grain sizes first
    if (sialloc() != 0) throw std::runtime_error("cannot allocate the test grid");
    for (int i = 1; i <= x; ++i)
        for (int j = 1; j <= y; ++j) {
            xval[i][j] = px(i, j);
            yval[i][j] = py(i, j);
            for (int k = 1; k <= z; ++k) zval[i][j][k] = pz(i, j, k);
        }
}

void box_grid(int x, int y, int z, double dx, double dy, double dz)
{
    make_grid(
        x, y, z, [dx](int i, int) { return dx * (i - 1); }, [dy](int, int j) { return dy * (j - 1); },
        [dz](int, int, int k) { return dz * (k - 1); });
    metric();
}

}  // namespace zefra::test
