// Transposed stress terms on a turned, skewed grid of unequal spacings: none
// for a uniform flow, a zero sum over the grid for any flow, and for a linear
// velocity u_a = G_ab x_b with a linear Gamma the value V sum_a dGamma/dx_a G_ae
// in every cell clear of the boundary.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>

#include "engine/flow3d/stress_terms.h"
#include "engine/grid/columns.h"
#include "engine/grid/metric.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

// Velocity (a = 0, 1, 2) and Gamma (a = 3) of every cell, ghosts included,
// as functions of the cell centre; then the terms of equation e.
void terms(int e, const std::function<double(int a, const double* r)>& field)
{
    for (int i = 1; i <= xnumber + 1; ++i)
        for (int j = 1; j <= ynumber + 1; ++j)
            for (int k = 1; k <= znumber + 1; ++k) {
                const double r[3] = {corner_mean(i, j, [](int a, int b) { return xval[a][b]; }), corner_mean(i, j, [](int a, int b) { return yval[a][b]; }),
                                     0.4 * (k - 1.5)};
                xvel[i][j][k] = field(0, r), yvel[i][j][k] = field(1, r), zvel[i][j][k] = field(2, r), gama[i][j][k] = field(3, r);
            }
    Equation = e;
    source.fill(0.0);
    StressOrt();
}

TEST(StressTerms, UniformFlowZeroSumAndTheHandValueOfALinearField)
{
    test::CaseFolder folder;
    // 7 x 6 x 6 node lines 3 m, 1 m and 0.4 m apart, the j lines skewed by 20
    // degrees, the whole turned by 30 degrees in plan.
    const double c = std::cos(0.5236), s = std::sin(0.5236), skew = std::tan(0.3491);
    auto along = [skew](int i, int j) { return 3.0 * (i - 1) + skew * (j - 1); };
    test::make_grid(
        7, 6, 6, [&](int i, int j) { return along(i, j) * c - (j - 1.0) * s; }, [&](int i, int j) { return along(i, j) * s + (j - 1.0) * c; },
        [](int, int, int k) { return 0.4 * (k - 1); });
    metric();
    const double G[3][3] = {{0.3, -0.2, 0.5}, {0.1, 0.4, -0.6}, {-0.25, 0.15, 0.2}}, dgamma[3] = {2.0, -3.0, 5.0};
    std::srand(7);
    for (int e = 1; e <= 3; ++e) {
        terms(e, [](int a, const double* r) { return a == 3 ? 1.0 + r[0] * r[1] : 1.2 - 0.5 * a; });
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = 2; k <= znumber; ++k) ASSERT_NEAR(source[i][j][k], 0.0, 1e-12) << "uniform flow, equation " << e;

        terms(e, [](int a, const double*) { return (a == 3 ? 1.0 : 0.0) + std::rand() / double(RAND_MAX) - 0.5; });
        double sum = 0.0, magnitude = 0.0;
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = 2; k <= znumber; ++k) sum += source[i][j][k], magnitude += std::fabs(source[i][j][k]);
        EXPECT_GT(magnitude, 1.0);
        EXPECT_NEAR(sum / magnitude, 0.0, 1e-14) << "equation " << e;

        terms(e, [&](int a, const double* r) {
            const double* g = a == 3 ? dgamma : G[a];
            return (a == 3 ? 100.0 : 0.0) + g[0] * r[0] + g[1] * r[1] + g[2] * r[2];
        });
        const double per_volume = dgamma[0] * G[0][e - 1] + dgamma[1] * G[1][e - 1] + dgamma[2] * G[2][e - 1];
        for (int i = 3; i < xnumber; ++i)
            for (int j = 3; j < ynumber; ++j)
                for (int k = 3; k < znumber; ++k) EXPECT_NEAR(source[i][j][k], per_volume * Volume[i][j][k], 1e-10) << "equation " << e;
    }
}

}  // namespace
}  // namespace zefra
