// A run that comes apart says where and what helps: a cell that loses water
// through every open face stops it on a zero central coefficient, a blown-up
// velocity stops it as diverged; each stop line is followed by the cell's
// column depth and the hint on relaxation and minimum depth.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/flow3d/water_solve.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_run.h"
#include "tests/support/case_folder.h"
#include "tests/support/straight_channel.h"

namespace zefra {
namespace {

const std::string Hint = "The run is diverging; lower relaxation factors in K 3 (or a larger minimum depth in F 23) help\n";

// A straight channel of 6 x 6 x 6 cells started but not run; the water is
// 0.513 m deep over the nodes around column (4,4).
void started_channel()
{
    test::write_straight_channel(7, 7);
    ASSERT_EQ(test::run_case(test::control_with("W 1 35 1.0 100.5005\nF 2 N\n", 7, 7, 7)), 1) << test::log_tail();
}

TEST(WaterSolveStops, CellLosingWaterThroughEveryFace)
{
    test::CaseFolder folder;
    started_channel();
    // No turbulence past the inflow, and 10 kg/s leaving the surface cell
    // (4,4,7) through each of its five open faces: all its neighbour
    // coefficients are upwind zeros.
    FlagInitialized = 1;
    for (int i = 2; i <= 8; ++i)
        for (int j = 0; j <= 8; ++j)
            for (int k = 0; k <= 8; ++k) kinen[i][j][k] = 0.0;
    flow1[3][4][7] = flow2[4][3][7] = flow3[4][4][6] = -10.0;
    flow1[4][4][7] = flow2[4][4][7] = 10.0;
    ASSERT_FALSE(test::exit_status(WaterSolve).has_value()) << test::log_tail();
    EXPECT_EQ(FlagErrorBreak, 1);
    EXPECT_TRUE(test::log_ends_with("Error, wap(4,4,7) = 0.000000e+00\n"
                                    "Column depth 0.513 m; flows into the cell (kg/s) through its faces at lower i -1.000e+01, higher i "
                                    "-1.000e+01, lower j -1.000e+01, higher j -1.000e+01, below -1.000e+01, above 0.000e+00: water leaves "
                                    "it through 5 faces and enters through 0. A cell that loses water through every open face means the "
                                    "run is diverging; lower relaxation factors in K 3 (or a larger minimum depth in F 23) help\n"))
        << test::log_tail();
}

TEST(WaterSolveStops, DivergedRunNamesTheCellOfTheLargestResidual)
{
    test::CaseFolder folder;
    started_channel();
    xvel[4][4][4] = 1e12;  // the whole x-momentum residual sits in this cell
    WaterSolve();
    EXPECT_EQ(FlagErrorBreak, 1);
    const std::string log = test::log_text();
    const std::size_t stop = log.rfind("Solution diverged\nLargest residual in equation 1 (x velocity): ");
    ASSERT_NE(stop, std::string::npos) << test::log_tail();
    double total = 0.0, cell = 0.0;
    ASSERT_EQ(std::sscanf(log.c_str() + log.rfind("Iter: 1, Resid: "), "Iter: 1, Resid: %lf", &total), 1);
    ASSERT_EQ(std::sscanf(log.c_str() + stop, "Solution diverged\nLargest residual in equation 1 (x velocity): %lf", &cell), 1);
    EXPECT_NEAR(cell / total, 1.0, 0.01);
    EXPECT_NE(log.find(" in cell (4,4,4), column depth 0.513 m. " + Hint, stop), std::string::npos) << log.substr(stop);
}

}  // namespace
}  // namespace zefra
