// Whole runs of the three-dimensional flow through the program entry:
// straight channels with a lid and with an open surface, an obstacle, side
// openings, and the edge cases of the outer iteration.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "engine/common/status.h"
#include "engine/driver/entry.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

// A straight rectangular channel: `x` node lines 10 m apart, `y` node lines
// 2 m apart, bed falling with `slope`; a roof 6 m above the bed for a conduit.
void write_channel(int x, int y, double slope, bool roof)
{
    std::string text;
    char line[120];
    for (int i = 1; i <= x; ++i)
        for (int j = 1; j <= y; ++j) {
            const double bed = 100.0 - slope * 10.0 * (i - 1);
            if (roof)
                std::snprintf(line, sizeof line, "%d %d %g %g %.6f %.6f\n", i, j, 10.0 * (i - 1), 2.0 * (j - 1), bed, bed + 6.0);
            else
                std::snprintf(line, sizeof line, "%d %d %g %g %.6f\n", i, j, 10.0 * (i - 1), 2.0 * (j - 1), bed);
            text += line;
        }
    test::write_file("koordina", text);
}

constexpr auto run = &test::run_case;

// Discharge through the I-faces of node line i, m3/s.
double section_discharge(int i)
{
    double q = 0.0;
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k) q += 0.001 * flow1[i][j][k];
    return q;
}

// Largest mass defect of a cell after the last correction, relative to the inflow.
double largest_cell_defect()
{
    double worst = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                const double net = flow1[i][j][k] - flow1[i - 1][j][k] + flow2[i][j][k] - flow2[i][j - 1][k] + flow3[i][j][k] - flow3[i][j][k - 1];
                worst = std::max(worst, std::fabs(net));
            }
    return worst / NormResidual[4];
}

double largest_discharge_error(double q)
{
    double worst = 0.0;
    for (int i = 1; i <= xnumber; ++i) worst = std::max(worst, std::fabs(section_discharge(i) / q - 1.0));
    return worst;
}

const char* const laminar = "F 24 3\nF 34 5\nF 2 W\n";

using test::converged;

TEST(ChannelFlow, ClosedConduitConvergesSymmetricAndConservative)
{
    test::CaseFolder folder;
    write_channel(21, 7, 0.0005, true);
    // The inflow profile varies over the depth only: the flow must stay mirror-symmetric across.
    ASSERT_EQ(run(std::string("G 1 21 7 6 1\nG 3 0 20 40 60 80 100\nW 1 35 10.0 0\nK 2 0 0\n") + laminar), 1) << test::log_text();
    EXPECT_TRUE(converged()) << test::log_text();
    // The converged field is written to the result file at once.
    EXPECT_EQ(std::string(mc_message), "have written result file  ");
    EXPECT_TRUE(test::file_exists("result"));
    EXPECT_LT(largest_discharge_error(10.0), ConvergenceCriteria);
    double asymmetry = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) asymmetry = std::max(asymmetry, std::fabs(xvel[i][j][k] - xvel[i][ynumber + 2 - j][k]));
    // The sweeps of the solver run one way round: the mirror image agrees to
    // well within the convergence criterion (velocities about 1 m/s).
    EXPECT_LT(asymmetry, 1e-5);
}

const std::string open_channel = "G 1 21 7 6 1\nG 3 0 20 40 60 80 100\nW 1 35 10.0 101.0\nW 2 3 1 11 21\n";

TEST(ChannelFlow, OpenChannelConvergesWithContinuityInEveryCell)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    write_channel(21, 7, 0.0005, false);
    // Default settings: the long wave of the pressure correction dies out
    // slowly; the solution converges, every cell keeps its mass to the
    // criterion, and the discharge along the channel to the criterion too.
    ASSERT_EQ(run(open_channel + laminar), 1);
    EXPECT_TRUE(converged()) << test::log_text().substr(test::log_text().size() - 400);
    EXPECT_LT(largest_cell_defect(), ConvergenceCriteria);
    EXPECT_LT(largest_discharge_error(10.0), ConvergenceCriteria);
}

TEST(ChannelFlow, BlockCorrectionOfThePressureConvergesInFewIterations)
{
    test::CaseFolder folder;
    write_channel(21, 7, 0.0005, false);
    ASSERT_EQ(run(open_channel + laminar + "K 5 0 0 0 1 0 0\n"), 1);
    EXPECT_TRUE(converged());
    EXPECT_LT(Iter, 100);
    EXPECT_LT(largest_discharge_error(10.0), 1e-6);
    EXPECT_LT(largest_cell_defect(), ConvergenceCriteria);
}

TEST(ChannelFlow, ObstacleHoldsNoFlowAndTheChannelKeepsItsDischarge)
{
    test::CaseFolder folder;
    write_channel(21, 7, 0.0005, false);
    // Flow round an obstacle needs the mixing of an eddy viscosity (0.01 m2/s).
    ASSERT_EQ(run(open_channel + "F 24 3\nF 34 10\nF 2 W\nK 5 0 0 0 1 0 0\nG 13 1 9 11 3 4 2 6\n"), 1);
    EXPECT_TRUE(converged()) << test::log_text().substr(test::log_text().size() - 400);
    for (int i = 9; i <= 11; ++i)
        for (int j = 3; j <= 4; ++j)
            for (int k = 2; k <= 6; ++k) {
                EXPECT_EQ(xvel[i][j][k], 0.0);
                EXPECT_EQ(yvel[i][j][k], 0.0);
                EXPECT_EQ(zvel[i][j][k], 0.0);
            }
    EXPECT_LT(largest_discharge_error(10.0), 1e-5);
    EXPECT_GT(xvel[10][6][4], xvel[4][6][4]);  // the flow speeds up beside the obstacle
}

TEST(ChannelFlow, SideInflowAndOutflowPatches)
{
    test::CaseFolder folder;
    write_channel(21, 7, 0.0005, false);
    // 10 m3/s through the upstream end, 3 m3/s more through the left bank at
    // cells 5 ... 7 (a W 4 with sign 0 opens the side wall there), all 13 m3/s
    // out through the downstream end.
    const std::string patches =
        "F 7 C\nG 7 0 1 2 7 2 6 0 0 10.0 0 0 0\nG 7 0 2 5 7 2 6 0 0 3.0 0 0 0\nG 7 1 -1 2 7 2 6 0 1 13.0 0 0 0\n"
        "W 4 2 0 2 5 7 2 6\nK 5 0 0 0 1 0 0\n";
    ASSERT_EQ(run(open_channel + laminar + patches), 1);
    EXPECT_TRUE(converged()) << test::log_text().substr(test::log_text().size() - 400);
    EXPECT_NEAR(section_discharge(3), 10.0, 1e-4);
    EXPECT_NEAR(section_discharge(12), 13.0, 1e-4);
    EXPECT_NEAR(section_discharge(xnumber), 13.0, 1e-9);
    EXPECT_GT(yvel[6][2][4], 0.0);  // water enters from the bank
}

TEST(ChannelFlow, FirstIterationBeyondTheLimitReturnsAtOnce)
{
    test::CaseFolder folder;
    write_channel(11, 5, 0.0005, false);
    ASSERT_EQ(run("G 1 11 5 5 1\nW 1 35 5.0 101.0\nK 1 0 1000\n" + std::string(laminar)), 1);
    EXPECT_EQ(test::log_text().find("Iter: "), std::string::npos);
    EXPECT_EQ(Iter, 1);
}

TEST(ChannelFlow, CyclicChannelPassesTheConvergenceTestAsOftenAsAsked)
{
    test::CaseFolder folder;
    write_channel(21, 7, 0.0005, false);
    ASSERT_EQ(run(open_channel + laminar + "K 5 0 0 0 1 0 0\nF 174 -2\n"), 1);
    EXPECT_TRUE(converged());
    EXPECT_EQ(CyclicCount, 2);
    EXPECT_NEAR(section_discharge(1), 10.0, 1e-9);  // the recycled inflow keeps its discharge
}

TEST(ChannelFlow, TransientStepEndsOnceItsResidualIsSmall)
{
    auto iteration_lines = [] {
        const std::string log = test::log_text();
        int n = 0;
        for (std::size_t at = log.find("Iter: "); at != std::string::npos; at = log.find("Iter: ", at + 1)) ++n;
        return n;
    };
    const std::string transient = "G 1 11 5 5 1\nW 1 35 5.0 101.0\nK 1 4 1000\nF 33 10.0 5\n" + std::string(laminar);
    {
        test::CaseFolder folder;
        write_channel(11, 5, 0.0005, false);
        ASSERT_EQ(run(transient + "F 54 0\n"), 1);
        EXPECT_EQ(iteration_lines(), 4);  // every step runs its five inner iterations and reports
        EXPECT_EQ(Iter, 5);
    }
    {
        test::CaseFolder folder;
        write_channel(11, 5, 0.0005, false);
        ASSERT_EQ(run(transient + "F 54 1e9\n"), 1);
        EXPECT_EQ(iteration_lines(), 0);  // every step stops after its first inner iteration
        EXPECT_EQ(Iter, 5);
    }
}

// A transient run with temperature but no temperature series keeps the
// inflow at the start-up profile of G 40 (there is no first series entry).
TEST(ChannelFlow, TransientTemperatureInflowKeepsTheStartUpProfile)
{
    test::CaseFolder folder;
    write_channel(11, 5, 0.0005, false);
    ASSERT_EQ(run("G 1 11 5 5 1\nW 1 35 5.0 101.0\nK 1 4 1000\nF 33 10.0 2\nF 49 1\nG 40 2 99.0 12.0 102.0 18.0\n" + std::string(laminar)), 1);
    ASSERT_TRUE(temp);
    for (int k = 2; k <= znumber; ++k) {
        const double centre = 0.25 * (zval[1][2][k] + zval[1][2][k - 1] + zval[2][2][k] + zval[2][2][k - 1]);
        EXPECT_NEAR(temp[1][3][k], 12.0 + 2.0 * (centre - 99.0), 0.05) << "k = " << k;
        EXPECT_GT(temp[1][3][k], 12.0);
    }
}

}  // namespace
}  // namespace zefra
