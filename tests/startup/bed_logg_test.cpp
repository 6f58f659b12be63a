// Stored bed changes: blocks of cell changes add up on the bed nodes, never
// below the lower bed limit, and every column keeps its minimum depth.
#include <gtest/gtest.h>

#include <string>

#include "engine/grid/metric.h"
#include "engine/input/control_reader.h"
#include "engine/startup/bed_logg.h"
#include "engine/startup/initial_surface.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

double original_bed(int i)
{
    return 0.01 * (110 - 10 * i);
}

std::optional<int> start(const std::string& data_sets)
{
    std::string grid;
    for (int i = 1; i <= 11; ++i)
        for (int j = 1; j <= 6; ++j)
            grid += std::to_string(i) + " " + std::to_string(j) + " " + std::to_string(10.0 * (i - 1)) + " " + std::to_string(2.0 * (j - 1)) +
                    " " + std::to_string(original_bed(i)) + "\n";
    test::write_file("koordina", grid);
    test::write_file("control", "G 1 11 6 5 1\nG 3 0 25 50 75 100\nW 2 3 1 6 11\nW 1 30 20 2.0\n" + data_sets);
    return test::exit_status([] {
        kread();
        initial();
    });
}

const char* const two_blocks =
    "T 0.0\n\n"
    "a 5 3 -0.2 0.7\n"
    "T 10.0\n\n"
    "a 5 3 -0.1 0.6\n"
    "a 99 3 -5.0 0.5\n";  // outside the grid: passed over

TEST(BedLogg, BlocksAddUpOnTheBedNodes)
{
    test::CaseFolder folder;
    test::write_file(StoredBedChangeFile, two_blocks);
    ASSERT_FALSE(start("").has_value()) << test::log_text();
    // Interior nodes around cell (5, 3) take a quarter of each change (equal cells).
    EXPECT_NEAR(zval[5][3][1], original_bed(5) - 0.075, 1e-12);
    EXPECT_NEAR(zval[4][2][1], original_bed(4) - 0.075, 1e-12);
    EXPECT_NEAR(zval[6][3][1], original_bed(6), 1e-12);
    EXPECT_EQ(stime, 10.0);
    EXPECT_EQ(bedlevchange[0][5][3], -0.1);
    EXPECT_EQ(bedgrain[1][5][3], 0.6);
    std::string log = test::log_text();
    EXPECT_NE(log.find("\nLoggfile, time = 0.000000 \n\n"), std::string::npos);
    EXPECT_NE(log.find("\nLoggfile, time = 10.000000 \n\n"), std::string::npos);
    // The surface was computed again over the changed bed.
    EXPECT_NEAR(zval[5][3][5], zval[5][2][5], 1e-12);
}

TEST(BedLogg, BedStaysAboveItsLowerLimit)
{
    test::CaseFolder folder;
    test::write_file(StoredBedChangeFile, two_blocks);
    ASSERT_FALSE(start("F 41 0.06\n").has_value());
    EXPECT_NEAR(zval[5][3][1], original_bed(5) - 0.05, 1e-12);  // the second block would go below
}

TEST(BedLogg, ShallowColumnsKeepTheMinimumDepth)
{
    test::CaseFolder folder;
    ASSERT_FALSE(start("F 151 1 0.3\n").has_value()) << test::log_text();
    test::write_file(StoredBedChangeFile, "T 1\n\na 5 3 8.0 0.5\n");
    bed_logg();
    // The bed rises 2 m at node (5, 3), above the water level: the column keeps 0.3 m of water.
    EXPECT_NEAR(zval[5][3][1], original_bed(5) + 2.0, 1e-12);
    EXPECT_GE(zval[5][3][5] - zval[5][3][1], 0.3 - 1e-12);
}

TEST(BedLogg, MissingFileIsReported)
{
    test::CaseFolder folder;
    ASSERT_FALSE(start("").has_value());
    bed_logg();
    EXPECT_TRUE(test::log_ends_with("\nNo loggfile observed\n\n"));
}

}  // namespace
}  // namespace zefra
