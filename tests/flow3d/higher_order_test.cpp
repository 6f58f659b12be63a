// Higher-order convection schemes against exact solutions: the order of
// accuracy on a manufactured problem, a step carried at 45 degrees, linear
// fields reproduced on a random divergence-free flow, and the second
// neighbours cleared by every first-order fill.  The assembled equations are
// solved directly here, independently of the engine's solvers.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <vector>

#include "engine/flow3d/coefficients.h"
#include "engine/flow3d/higher_order.h"
#include "engine/flow3d/pressure_correction.h"
#include "engine/sediment/sediment_coefficients.h"
#include "engine/state/fields.h"
#include "engine/state/state.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

constexpr double Rho = 1000.0;
// Built when called: a table of the fields' addresses filled at static
// initialisation pointed several entries at one array in the sanitized build.
std::array<const Field3*, 6> first_neighbours()
{
    return {&ae, &aw, &as, &an, &wab, &wat};
}
std::array<const Field3*, 6> second_neighbours()
{
    return {&aee, &aww, &ass, &ann, &abb, &att};
}
constexpr int Offsets[6][3] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};

// Solves wap phi = the twelve neighbour terms + source on the inner cells of
// the layer k = 2 by Gaussian elimination; ghost values stay as given.
void solve_assembled(const Field3& phi)
{
    const int x = xnumber, y = ynumber, ny = y - 1, n = (x - 1) * ny;
    std::vector<std::vector<double>> a(n, std::vector<double>(n + 1, 0.0));  // last column: right-hand side
    for (int i = 2; i <= x; ++i)
        for (int j = 2; j <= y; ++j) {
            std::vector<double>& r = a[(i - 2) * ny + j - 2];
            r[(i - 2) * ny + j - 2] = wap[i][j][2];
            r[n] = source[i][j][2];
            for (int m = 0; m < 8; ++m) {  // the four first and four second neighbours in i and j
                const int reach = m < 4 ? 1 : 2, ii = i + reach * Offsets[m % 4][0], jj = j + reach * Offsets[m % 4][1];
                const double c = (*(m < 4 ? first_neighbours() : second_neighbours())[m % 4])[i][j][2];
                if (ii >= 2 && ii <= x && jj >= 2 && jj <= y)
                    r[(ii - 2) * ny + jj - 2] -= c;
                else if (c != 0.0)
                    r[n] += c * phi[ii][jj][2];
            }
        }
    for (int p = 0; p < n; ++p)  // small, diagonally weighted systems: no pivoting
        for (int q = p + 1; q < n; ++q)
            if (const double f = a[q][p] / a[p][p]; f != 0.0)
                for (int c = p; c <= n; ++c) a[q][c] -= f * a[p][c];
    for (int p = n - 1; p >= 0; --p) {
        for (int c = p + 1; c < n; ++c) a[p][n] -= a[p][c] * a[c][n];
        a[p][n] /= a[p][p];
        phi[p / ny + 2][p % ny + 2][2] = a[p][n];
    }
}

// wap = the sum of the twelve neighbour coefficients (steady, no source in wap).
void central_from_neighbours()
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                double s = 0.0;
                for (int m = 0; m < 6; ++m) s += (*first_neighbours()[m])[i][j][k] + (*second_neighbours()[m])[i][j][k];
                wap[i][j][k] = s;
            }
}

// Steady 1D convection-diffusion u phi' = nu phi'' + S on [0, 1] with the
// manufactured solution cos(pi x) (no diffusive flux through either end),
// on `cells` cells, speed 1; the cell sources are the exact integrals.
// Returns the mean absolute error of the cell values.
double manufactured_error(int scheme, double nu, int cells)
{
    const double h = 1.0 / cells, pi = std::numbers::pi;
    reset_state();
    sou[1] = 1;  // the second-neighbour arrays
    test::box_grid(cells + 1, 2, 2, h, 1.0, 1.0);
    flow1.fill(Rho * 1.0);
    flow2.fill(0.0);
    flow3.fill(0.0);
    gama.fill(Rho * nu);
    gamaV.fill(Rho * nu);
    Equation = 1;
    convection_coefficients(1, scheme, false);
    central_from_neighbours();
    auto exact = [pi](double x) { return std::cos(pi * x); };
    auto slope = [pi](double x) { return -pi * std::sin(pi * x); };
    for (int i = 2; i <= xnumber; ++i) {
        const double west = h * (i - 2), east = h * (i - 1);
        source[i][2][2] = Rho * (exact(east) - exact(west)) - Rho * nu * (slope(east) - slope(west));
    }
    xvel.fill(0.0);
    xvel[1][2][2] = exact(0.0);  // inflow value
    solve_assembled(xvel);
    double sum = 0.0;
    for (int i = 2; i <= xnumber; ++i) sum += std::fabs(xvel[i][2][2] - exact(h * (i - 1.5)));
    return sum / cells;
}

TEST(HigherOrder, OrderOfAccuracyOnAManufacturedProblem)
{
    test::CaseFolder folder;
    struct Case {
        int scheme;
        double nu, lowest, highest;  // expected observed order
    };
    // Pure convection for the upwind schemes; the central scheme needs
    // diffusion (cell Peclet number 1, 0.5, 0.25 on the three grids).
    const Case cases[] = {{0, 0.0, 0.9, 1.1}, {1, 0.0, 1.9, 2.2}, {3, 0.0, 1.9, 3.1}, {2, 0.05, 1.9, 2.1}};
    for (const Case& c : cases) {
        const double e20 = manufactured_error(c.scheme, c.nu, 20), e40 = manufactured_error(c.scheme, c.nu, 40), e80 = manufactured_error(c.scheme, c.nu, 80);
        const double p1 = std::log2(e20 / e40), p2 = std::log2(e40 / e80);
        std::printf("scheme %d: errors %.3e %.3e %.3e, orders %.2f %.2f\n", c.scheme, e20, e40, e80, p1, p2);
        EXPECT_GT(p1, c.lowest) << "scheme " << c.scheme;
        EXPECT_LT(p1, c.highest) << "scheme " << c.scheme;
        EXPECT_GT(p2, c.lowest) << "scheme " << c.scheme;
        EXPECT_LT(p2, c.highest) << "scheme " << c.scheme;
    }
}

struct Step {
    int width;                  // cells between 0.1 and 0.9 across the step
    double overshoot, undershoot;
};

// A step (1 from the west boundary, 0 from the south one) carried by a
// uniform flow at 45 degrees over n x n cells; measured on the middle column.
Step step_at_45_degrees(int scheme, int n)
{
    reset_state();
    sou[1] = 1;
    test::box_grid(n + 1, n + 1, 2, 1.0, 1.0, 1.0);
    flow1.fill(Rho);
    flow2.fill(Rho);
    flow3.fill(0.0);
    gama.fill(0.0);
    gamaV.fill(0.0);
    convection_coefficients(1, scheme, false);
    central_from_neighbours();
    source.fill(0.0);
    xvel.fill(0.0);
    for (int j = 2; j <= n + 1; ++j) xvel[1][j][2] = 1.0;
    solve_assembled(xvel);
    Step s{0, 0.0, 0.0};
    for (int i = 2; i <= n + 1; ++i)
        for (int j = 2; j <= n + 1; ++j) {
            s.overshoot = std::max(s.overshoot, xvel[i][j][2] - 1.0);
            s.undershoot = std::max(s.undershoot, -xvel[i][j][2]);
        }
    const int middle = n / 2 + 1;
    for (int j = 2; j <= n + 1; ++j)
        if (xvel[middle][j][2] > 0.1 && xvel[middle][j][2] < 0.9) ++s.width;
    return s;
}

TEST(HigherOrder, StepAt45DegreesIsSmearedOverFewerCellsThanByThePowerLaw)
{
    test::CaseFolder folder;
    const Step power = step_at_45_degrees(0, 30), sou2 = step_at_45_degrees(1, 30), quick = step_at_45_degrees(3, 30);
    std::printf("step widths: power law %d, SOU %d, QUICK %d cells; overshoot SOU %.3f, QUICK %.3f; undershoot SOU %.3f, QUICK %.3f\n",
                power.width, sou2.width, quick.width, sou2.overshoot, quick.overshoot, sou2.undershoot, quick.undershoot);
    EXPECT_EQ(power.overshoot, 0.0);  // bounded
    EXPECT_LT(sou2.width, power.width);
    EXPECT_LT(quick.width, power.width);
    for (const Step& s : {sou2, quick}) {
        EXPECT_LT(s.overshoot, 0.1);
        EXPECT_LT(s.undershoot, 0.1);
    }
}

// And the suspended sediment takes the same coefficients in volume units;
// every first-order fill clears the second neighbours.
TEST(HigherOrder, LinearFieldsAreExactOnARandomDivergenceFreeFlow)
{
    test::CaseFolder folder;
    sou[1] = 1;
    SedimentScheme = 1;
    test::box_grid(12, 10, 9, 2.0, 1.0, 0.5);
    // Fluxes from two random stream functions: every cell keeps its mass.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-300.0, 300.0);
    Field3 psi = invAP, chi = iAp;  // two spare arrays
    for (Field3 a : {psi, chi})
        for (std::size_t m = 0; m < a.size(); ++m) a.data()[m] = value(random);
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j)
            for (int k = 1; k <= znumber; ++k) {
                flow1[i][j][k] = psi[i][j][k] - psi[i][j - 1][k];
                flow2[i][j][k] = -(psi[i][j][k] - psi[i - 1][j][k]) + chi[i][j][k] - chi[i][j][k - 1];
                flow3[i][j][k] = -(chi[i][j][k] - chi[i][j - 1][k]);
            }
    gama.fill(0.0);
    gamaV.fill(0.0);
    auto linear = [](double x, double y, double z) { return 0.3 * x - 1.2 * y + 2.0 * z; };
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j)
            for (int k = 0; k <= znumber + 1; ++k) xvel[i][j][k] = linear(2.0 * (i - 1.5), j - 1.5, 0.5 * (k - 1.5));
    for (int scheme : {1, 3}) {
        convection_coefficients(1, scheme, false);
        central_from_neighbours();
        double worst = 0.0;
        // Cells whose every upwind pair lies inside: the face values are exact.
        for (int i = 4; i <= xnumber - 2; ++i)
            for (int j = 4; j <= ynumber - 2; ++j)
                for (int k = 4; k <= znumber - 2; ++k) {
                    const double xc = 2.0 * (i - 1.5), yc = j - 1.5, zc = 0.5 * (k - 1.5);
                    const double out = flow1[i][j][k] * linear(xc + 1.0, yc, zc) - flow1[i - 1][j][k] * linear(xc - 1.0, yc, zc) +
                                       flow2[i][j][k] * linear(xc, yc + 0.5, zc) - flow2[i][j - 1][k] * linear(xc, yc - 0.5, zc) +
                                       flow3[i][j][k] * linear(xc, yc, zc + 0.25) - flow3[i][j][k - 1] * linear(xc, yc, zc - 0.25);
                    double r = wap[i][j][k] * xvel[i][j][k] - out;
                    for (int m = 0; m < 6; ++m) {
                        const int* o = Offsets[m];
                        r -= (*first_neighbours()[m])[i][j][k] * xvel[i + o[0]][j + o[1]][k + o[2]] + (*second_neighbours()[m])[i][j][k] * xvel[i + 2 * o[0]][j + 2 * o[1]][k + 2 * o[2]];
                    }
                    worst = std::max(worst, std::fabs(r));
                }
        EXPECT_LT(worst, 1e-8) << "scheme " << scheme;
        EXPECT_EQ(FilledScheme, scheme);
    }
    coeffe_SOU();
    const double water = aee[6][5][5];
    ASSERT_NE(water, 0.0);
    OBlok.fill(1);  // every cell water, as the flow start-up leaves them
    coeffe_setup();
    EXPECT_DOUBLE_EQ(aee[6][5][5], 0.001 * water);
    auto second_sum = [] {
        double sum = 0.0;
        for (const Field3* a : second_neighbours())
            for (std::size_t m = 0; m < a->size(); ++m) sum += std::fabs(a->data()[m]);
        return sum;
    };
    for (auto fill : {+[] { coeffe_flow(); }, +[] { coeffe_central(); }, +[] { pressure_correction(); }}) {
        coeffe_SOU();
        EXPECT_GT(second_sum(), 0.0);
        fill();
        EXPECT_EQ(second_sum(), 0.0);
    }
}

}  // namespace
}  // namespace zefra
