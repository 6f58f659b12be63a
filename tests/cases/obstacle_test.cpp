// Flow round out-blocks (G 13) through the program entry: a square bridge
// pier in the middle of a straight channel, checked against the symmetry of
// the case, the stagnation pressure rho U^2 / 2 and the drag coefficient of
// a square pier, and every out-block type on the channel of the flow tests.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/driver/entry.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

constexpr auto run = &test::run_case;

using test::converged;

std::vector<double> spaced(double from, double to, double step)
{
    std::vector<double> v;
    for (double s = from; s < to - 1e-9; s += step) v.push_back(s);
    return v;
}

// A channel 50 m long and 20 m wide on a flat bed, the grid refined to
// 0.5 m round a 2 m x 2 m pier at x = 20 ... 22 m, y = 9 ... 11 m: pier cells
// i = 18 ... 21, j = 13 ... 16 (the grid is symmetric: cell j mirrors 29 - j).
constexpr double PierWidth = 2.0, Discharge = 20.0;
const char* const PierBox = "G 13 1 18 21 13 16 2 7\n";

void write_pier_channel()
{
    std::vector<double> xs = spaced(0, 16, 2), ys = spaced(0, 7, 1);
    for (double s : spaced(16, 26, 0.5)) xs.push_back(s);
    for (double s : spaced(26, 50.01, 2)) xs.push_back(s);
    for (double s : spaced(7, 13, 0.5)) ys.push_back(s);
    for (double s : spaced(13, 20.01, 1)) ys.push_back(s);
    ASSERT_EQ(xs.size(), 41u);
    ASSERT_EQ(ys.size(), 27u);
    std::string text;
    char line[120];
    for (std::size_t i = 0; i < xs.size(); ++i)
        for (std::size_t j = 0; j < ys.size(); ++j) {
            std::snprintf(line, sizeof line, "%zu %zu %.2f %.2f %.5f\n", i + 1, j + 1, xs[i], ys[j], 0.0001 * (50.0 - xs[i]));
            text += line;
        }
    test::write_file("koordina", text);
}

const std::string pier_channel = "G 1 41 27 7 1\nG 3 0 10 25 45 65 85 100\nW 1 40 20.0 2.0\nK 5 0 0 0 1 0 0\nF 2 W\n";

TEST(Obstacle, SquarePierGivesSymmetricFlowStagnationPressureAndDrag)
{
    ZEFRA_HEAVY_CASE();
    // The undisturbed channel first: its pressure in front of the pier is the
    // reference of the stagnation pressure.
    std::vector<double> undisturbed;
    {
        test::CaseFolder folder;
        write_pier_channel();
        ASSERT_EQ(run(pier_channel), 1);
        ASSERT_TRUE(converged());
        for (int j = 14; j <= 15; ++j)
            for (int k = 2; k <= znumber; ++k) undisturbed.push_back(Pres[17][j][k]);
    }
    test::CaseFolder folder;
    write_pier_channel();
    ASSERT_EQ(run(pier_channel + PierBox), 1);
    ASSERT_TRUE(converged()) << test::log_text();

    // Approach velocity: the section mean 34 m upstream.
    double approach = 0.0;
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k) approach += xvel[5][j][k] / ((ynumber - 1) * (znumber - 1));
    const double dynamic = 0.5 * 1000.0 * approach * approach;

    double asymmetry = 0.0, sideways = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) asymmetry = std::max(asymmetry, std::fabs(xvel[i][j][k] - xvel[i][29 - j][k]));
    for (int i = 18; i <= 21; ++i)
        for (int j : {12, 17})
            for (int k = 2; k <= znumber; ++k) sideways = std::max(sideways, std::fabs(yvel[i][j][k]));
    EXPECT_LT(asymmetry, 1e-5);
    // Beside the pier the water passes along it (0.44 U here); before the
    // blocked cells were walls to the pressure it was several times U.
    EXPECT_LT(sideways, 0.5 * approach);
    for (int i = 18; i <= 21; ++i) EXPECT_EQ(xvel[i][14][4], 0.0);

    // Stagnation: the depth-mean pressure rise in the cells against the
    // upstream face, against rho U^2 / 2 (+20 % here; the cell centres lie a
    // quarter metre upstream of the face, where the velocity is not yet zero).
    double rise = 0.0;
    std::size_t n = 0;
    for (int j = 14; j <= 15; ++j)
        for (int k = 2; k <= znumber; ++k) rise += Pres[17][j][k] - undisturbed[n++];
    rise /= static_cast<double>(n);
    EXPECT_NEAR(rise / dynamic, 1.0, 0.3) << rise << " Pa against " << dynamic;

    // Drag of the pressure on the pier, written to forcelog at convergence.
    double fx = 0.0, fy = 0.0;
    ASSERT_EQ(std::sscanf(test::read_file("forcelog").c_str(), "Forces on block 1 : %lg, %lg N", &fx, &fy), 2);
    const double depth = zval[19][14][znumber] - zval[19][14][1];
    const double drag = fx / (dynamic * PierWidth * depth);
    EXPECT_GE(drag, 1.5);
    EXPECT_LE(drag, 2.5);
    EXPECT_LT(std::fabs(fy), 1e-4 * fx);
}

// The 200 m channel of the flow tests with a block of 3 x 2 cells beside the
// bank row, with the k-epsilon model: every type converges, and the bank row
// beside the block carries no sideways jet.
TEST(Obstacle, EveryOutBlockTypeConverges)
{
    ZEFRA_HEAVY_CASE();
    for (int type = 0; type <= 3; ++type) {
        test::CaseFolder folder;
        std::string grid;
        char line[120];
        for (int i = 1; i <= 21; ++i)
            for (int j = 1; j <= 7; ++j) {
                std::snprintf(line, sizeof line, "%d %d %g %g %.6f\n", i, j, 10.0 * (i - 1), 2.0 * (j - 1), 100.0 - 0.005 * (i - 1));
                grid += line;
            }
        test::write_file("koordina", grid);
        std::snprintf(line, sizeof line, "G 13 %d 9 11 3 4 2 6\n", type);
        ASSERT_EQ(run(std::string("G 1 21 7 6 1\nG 3 0 20 40 60 80 100\nW 1 35 10.0 101.0\nW 2 3 1 11 21\nF 2 W\nK 5 0 0 0 1 0 0\n") + line), 1);
        EXPECT_TRUE(converged()) << "type " << type;
        double approach = 0.0, sideways = 0.0;
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) approach += xvel[5][j][k] / ((ynumber - 1) * (znumber - 1));
        for (int i = 8; i <= 12; ++i)
            for (int k = 2; k <= znumber; ++k) sideways = std::max(sideways, std::fabs(yvel[i][2][k]));
        EXPECT_LT(sideways, 0.3 * approach) << "type " << type;
    }
}

}  // namespace
}  // namespace zefra
