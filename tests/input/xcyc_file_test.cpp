// Letter X: files that are cut off, of another grid or missing leave the grid
// as it was; either file alone is taken.  (Round trips: tests/cases.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/common/status.h"
#include "engine/input/xcyc_file.h"
#include "engine/output/report_files.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

double level(int i, int j, int k) { return 0.1 * i * j + 0.3 * (k - 1) * (k - 1); }

TEST(XcycFile, TakesOnlyWholeFilesOfTheGrid)
{
    test::CaseFolder folder;
    test::make_grid(6, 5, 10, [](int i, int) { return 2.0 * i; }, [](int, int j) { return 1.5 * j; }, level);
    for (int k = 1; k <= 10; ++k) zdistrib[k] = 100.0 * (k - 1) / 9;
    for (int i = 1; i <= 6; ++i)
        for (int j = 1; j <= 5; ++j) zval[i][j][0] = zval[i][j][1] - 0.5;
    writespider();
    const std::string nodes = test::read_file("xcyc"), surface = test::read_file("koosurf");
    zval[4][2][3] = 7.0;  // the grid now differs from both files

    std::filesystem::remove("koosurf");
    for (const std::string& broken : {nodes.substr(0, nodes.size() - 40), "   6   4" + nodes.substr(8)}) {
        test::write_file("xcyc", broken);
        ReadXCYC();
        EXPECT_EQ(zval[4][2][3], 7.0);
        EXPECT_STREQ(mc_message, "have not used file 'xcyc' ");
    }
    test::write_file("koosurf", surface.substr(0, surface.rfind('\n', surface.size() - 2)));  // the last point missing
    std::filesystem::remove("xcyc");
    ReadXCYC();
    EXPECT_EQ(zval[4][2][3], 7.0);
    const std::string log = test::log_text();
    EXPECT_NE(log.find("Error in reading xcyc: have read 896 of the 900 node coordinates; the file is not used\n"), std::string::npos);
    EXPECT_NE(log.find("Error in reading xcyc: the file is for a grid of 6 x 4 x 10 nodes, this grid has 6 x 5 x 10"), std::string::npos);
    EXPECT_TRUE(test::log_ends_with("Have used file 'koosurf'\nError in reading koosurf: have read 29 of the 30 points of the grid; "
                                    "the file is not used\ncannot open file 'xcyc' \n"));

    // koosurf alone: the levels are laid by G 3 between its bed (line 0) and top.
    test::write_file("koosurf", surface);
    ReadXCYC();
    EXPECT_STREQ(mc_message, "have read koosurf ");
    EXPECT_NEAR(zval[4][2][3], level(4, 2, 1) - 0.5 + (level(4, 2, 10) - level(4, 2, 1) + 0.5) * 2 / 9, 1e-6);
    // xcyc alone: line 0 follows line 1.
    std::filesystem::remove("koosurf");
    test::write_file("xcyc", nodes);
    ReadXCYC();
    EXPECT_STREQ(mc_message, "have read xcyc ");
    EXPECT_NEAR(zval[4][2][3], level(4, 2, 3), 5e-6);
    EXPECT_EQ(zval[4][2][0], zval[4][2][1]);
}

}  // namespace
}  // namespace zefra
