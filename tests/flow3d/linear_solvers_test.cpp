// Linear solvers against the direct solution of the same equations, computed
// here by Gaussian elimination.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/flow3d/linear_solvers.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

// Random diagonally dominant coefficients in every inner cell; boundary
// values at the ghost cells.  With `line_only` only the vertical neighbours couple.
void random_system(unsigned seed, bool line_only = false)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> coefficient(0.1, 1.0), value(-1.0, 1.0);
    for (Field3* a : {&ae, &aw, &as, &an, &wab, &wat, &source, &wap, &iAp}) a->fill(0.0);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                double sum = 0.0;
                for (Field3* a : {&ae, &aw, &as, &an, &wab, &wat}) {
                    const bool vertical = a == &wab || a == &wat;
                    (*a)[i][j][k] = line_only && !vertical ? 0.0 : coefficient(random);
                    sum += (*a)[i][j][k];
                }
                wap[i][j][k] = sum * (1.0 + 0.2 * coefficient(random));
                iAp[i][j][k] = 1.0 / wap[i][j][k];
                source[i][j][k] = value(random);
            }
    for (int i = 0; i <= xnumber + 2; ++i)
        for (int j = 0; j <= ynumber + 2; ++j)
            for (int k = 0; k <= znumber + 2; ++k) xvel[i][j][k] = value(random);
    f = xvel;
}

// Direct solution of the inner cells, with the ghost values of f fixed.
std::vector<double> direct_solution()
{
    const int nx = xnumber - 1, ny = ynumber - 1, nz = znumber - 1, n = nx * ny * nz;
    auto index = [&](int i, int j, int k) { return ((i - 2) * ny + (j - 2)) * nz + (k - 2); };
    auto inner = [&](int i, int j, int k) { return i >= 2 && i <= xnumber && j >= 2 && j <= ynumber && k >= 2 && k <= znumber; };
    std::vector<double> a(static_cast<std::size_t>(n) * n, 0.0), b(n, 0.0);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                const int r = index(i, j, k);
                a[static_cast<std::size_t>(r) * n + r] = wap[i][j][k];
                b[r] = source[i][j][k];
                const struct {
                    double c;
                    int i, j, k;
                } terms[] = {{ae[i][j][k], i - 1, j, k}, {aw[i][j][k], i + 1, j, k}, {as[i][j][k], i, j - 1, k},
                             {an[i][j][k], i, j + 1, k}, {wab[i][j][k], i, j, k - 1}, {wat[i][j][k], i, j, k + 1}};
                for (const auto& t : terms) {
                    if (inner(t.i, t.j, t.k))
                        a[static_cast<std::size_t>(r) * n + index(t.i, t.j, t.k)] -= t.c;
                    else
                        b[r] += t.c * f[t.i][t.j][t.k];
                }
            }
    for (int col = 0; col < n; ++col)  // the matrix is diagonally dominant: no pivoting needed
        for (int row = col + 1; row < n; ++row) {
            const double m = a[static_cast<std::size_t>(row) * n + col] / a[static_cast<std::size_t>(col) * n + col];
            if (m == 0.0) continue;
            for (int c = col; c < n; ++c) a[static_cast<std::size_t>(row) * n + c] -= m * a[static_cast<std::size_t>(col) * n + c];
            b[row] -= m * b[col];
        }
    std::vector<double> x(n);
    for (int row = n - 1; row >= 0; --row) {
        double s = b[row];
        for (int c = row + 1; c < n; ++c) s -= a[static_cast<std::size_t>(row) * n + c] * x[c];
        x[row] = s / a[static_cast<std::size_t>(row) * n + row];
    }
    return x;
}

double largest_difference(const std::vector<double>& exact)
{
    const int ny = ynumber - 1, nz = znumber - 1;
    double worst = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k)
                worst = std::max(worst, std::fabs(f[i][j][k] - exact[((i - 2) * ny + (j - 2)) * nz + (k - 2)]));
    return worst;
}

TEST(LinearSolvers, GaussSeidelConvergesToTheDirectSolution)
{
    test::CaseFolder folder;
    test::box_grid(7, 6, 5, 1.0, 1.0, 1.0);
    random_system(11);
    const std::vector<double> exact = direct_solution();
    const double ghost = f[1][3][3];
    GaussIter = 10;
    double before = largest_difference(exact), after = before;
    for (int n = 0; n < 20 && after > 1e-12; ++n) {
        WaterGaussSeidel();
        after = largest_difference(exact);
    }
    EXPECT_LT(after, 1e-12) << "from " << before;
    EXPECT_EQ(f[1][3][3], ghost);  // ghost values stay
}

TEST(LinearSolvers, LineSolverConvergesToTheDirectSolution)
{
    test::CaseFolder folder;
    test::box_grid(7, 6, 5, 1.0, 1.0, 1.0);
    random_system(12);
    const std::vector<double> exact = direct_solution();
    for (int n = 0; n < 40; ++n) WaterTDMA();
    EXPECT_LT(largest_difference(exact), 1e-12);
}

TEST(LinearSolvers, TridiagonalLinesAreSolvedExactlyInOneCall)
{
    test::CaseFolder folder;
    test::box_grid(5, 5, 12, 1.0, 1.0, 1.0);
    random_system(13, true);
    const std::vector<double> exact = direct_solution();
    WaterTDMA();
    EXPECT_LT(largest_difference(exact), 1e-13);
}

TEST(LinearSolvers, NoIterationsLeaveTheFieldAndIsolatedCellsTakeTheirSource)
{
    test::CaseFolder folder;
    test::box_grid(6, 5, 5, 1.0, 1.0, 1.0);
    random_system(14);
    const double before = f[3][3][3];
    GaussIter = 0;
    WaterGaussSeidel();
    EXPECT_EQ(f[3][3][3], before);
    for (Field3* a : {&ae, &aw, &as, &an, &wab, &wat}) (*a)[3][3][3] = 0.0;
    wap[3][3][3] = 4.0;
    iAp[3][3][3] = 0.25;
    source[3][3][3] = 3.0;
    GaussIter = 1;
    WaterGaussSeidel();
    EXPECT_DOUBLE_EQ(f[3][3][3], 0.75);
}

TEST(LinearSolvers, TinyValuesAreFlushedWhenAsked)
{
    test::CaseFolder folder;
    test::box_grid(5, 5, 5, 1.0, 1.0, 1.0);
    random_system(15);
    for (Field3* a : {&ae, &aw, &as, &an, &wab, &wat}) (*a)[3][3][3] = 0.0;
    source[3][3][3] = 1e-31 * wap[3][3][3];
    GaussIter = 1;
    FlagUnderflow = 1;
    WaterGaussSeidel();
    EXPECT_EQ(f[3][3][3], 0.0);
}

}  // namespace
}  // namespace zefra
