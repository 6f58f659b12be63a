// The turbulent straight channel (200 m long, 14 m wide, about 1.1 m deep,
// 10 m3/s) with every block-correction mode, serially and on two threads:
// the converged flow is the same, only the number of iterations changes.
// And the pressure keeps its level from run to run.
#include <gtest/gtest.h>
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "tests/support/case_folder.h"
#include "tests/support/straight_channel.h"

namespace zefra {
namespace {

const std::string Channel = "G 1 21 8 6 1\nG 3 0 20 40 60 80 100\nW 1 35 10.0 101.0\nF 2 W\n";

std::vector<double> velocities()
{
    std::vector<double> u;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k)
                for (const Field3* f : {&xvel, &yvel, &zvel}) u.push_back((*f)[i][j][k]);
    return u;
}

double largest_difference(const std::vector<double>& a, const std::vector<double>& b)
{
    double d = 0.0;
    for (std::size_t n = 0; n < a.size(); ++n) d = std::max(d, std::fabs(a[n] - b[n]));
    return d;
}

TEST(BlockCorrectionModes, EveryModeSerialAndOnTwoThreadsGivesTheSameFlow)
{
    ZEFRA_HEAVY_CASE();
    const int threads = omp_get_max_threads();
    std::vector<double> reference;
    double tolerance = 0.0;
    // Mode 4 works only on threads (serially it corrects nothing).
    const std::vector<std::pair<std::string, bool>> runs = {{"0 0 0 1 0 0", false}, {"0 0 0 1 0 0", true},  {"0 0 0 4 0 0", true},
                                                            {"0 0 0 5 0 0", false}, {"0 0 0 5 0 0", true},  {"0 0 0 6 0 0", false},
                                                            {"0 0 0 6 0 0", true},  {"0 0 0 7 0 0", false}, {"0 0 0 7 0 0", true},
                                                            {"1 1 1 1 1 1", false}, {"1 1 1 1 1 1", true}};
    for (const auto& [modes, parallel] : runs) {
        SCOPED_TRACE(testing::Message() << "K 5 " << modes << (parallel ? ", two threads" : ", serial"));
        test::CaseFolder folder;
        omp_set_num_threads(2);  // two groups of rows even on a machine with one core
        test::write_straight_channel(21, 8);
        ASSERT_EQ(test::run_case(Channel + "K 5 " + modes + "\n" + (parallel ? "F 206 2\n" : "")), 1);
        ASSERT_TRUE(test::converged()) << test::log_tail();
        if (reference.empty()) {
            reference = velocities();
            tolerance = ConvergenceCriteria * test::section_speed(5);
        }
        EXPECT_LT(largest_difference(velocities(), reference), tolerance);
    }
    omp_set_num_threads(threads);
}

struct Pressures {
    double reference;  // surface pressure at the reference node
    double middle;     // pressure of a cell half way down the channel
    double drop;       // pressure difference between two cells 100 m apart
};

// Runs the channel and reads the pressures; the surface pressure of a column
// is extrapolated from the centres of its two top cells.
Pressures channel_pressures(const std::string& data_sets, int node_i, int node_j)
{
    test::CaseFolder folder;
    test::write_straight_channel(21, 8);
    EXPECT_EQ(test::run_case(Channel + "K 5 0 0 0 1 0 0\n" + data_sets), 1);
    EXPECT_TRUE(test::converged());
    double sum = 0.0;
    int cells = 0;
    for (int i = std::max(node_i, 2); i <= std::min(node_i + 1, xnumber); ++i)
        for (int j = std::max(node_j, 2); j <= std::min(node_j + 1, ynumber); ++j, ++cells) {
            const int z = znumber;
            const double h = m_dist_z[i][j][z], below = m_dist_z[i][j][z - 1];
            sum += Pres[i][j][z] + (Pres[i][j][z] - Pres[i][j][z - 1]) * h / (h + below);
        }
    return {sum / cells, Pres[11][5][4], Pres[6][5][4] - Pres[16][5][4]};
}

// The correction fixes only pressure differences; the level is held at the
// water-surface reference node of G 6 (by default the middle of the outflow
// section), so that runs differing in the last bit of their discharge give
// the same pressures.
TEST(PressureLevel, HeldAtTheSurfaceReferenceNode)
{
    ZEFRA_HEAVY_CASE();
    const Pressures outflow = channel_pressures("", 21, 4);
    EXPECT_NEAR(outflow.reference, 0.0, 1e-9);
    EXPECT_GT(outflow.drop, 1.0);  // the pressure falls along the flow
    const Pressures again = channel_pressures("W 1 35 10.000000000000002 101.0\n", 21, 4);
    EXPECT_NEAR(again.middle, outflow.middle, 1e-6);
    const Pressures upstream = channel_pressures("G 6 5 4 6 0.5 0.01\n", 5, 4);
    EXPECT_NEAR(upstream.reference, 0.0, 1e-9);
    EXPECT_NEAR(upstream.drop, outflow.drop, 1e-6 * outflow.drop);
}

}  // namespace
}  // namespace zefra
