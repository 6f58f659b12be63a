#include "tests/support/grids.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "engine/grid/metric.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "tests/support/case_folder.h"

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

void write_trench_channel_grid(bool trench)
{
    std::string grid;
    char line[120];
    for (int i = 1; i <= 61; ++i)
        for (int j = 1; j <= 4; ++j) {
            const double x = 5.0 * (i - 1), dig = trench ? std::clamp(std::min(x - 150.0, 190.0 - x) / 10.0, 0.0, 1.0) : 0.0;
            std::snprintf(line, sizeof line, "%d %d %.1f %.1f %.6f\n", i, j, x, 2.0 * (j - 1), 100.0 - 3e-4 * x - dig);
            grid += line;
        }
    write_file("koordina", grid);
}

}  // namespace zefra::test
