// The grid file: both layouts read back to the same coordinates, the vertical
// grid lines, the thinned-file refinements, the count check, the bed surfaces
// and the lower bed limits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/common/status.h"
#include "engine/input/grid_file.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_surface.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

// A curved, sloping grid with coordinates that do not print exactly.
double gx(int i, int j) { return 100.0 + 3.1 * i + 0.37 * j * j; }
double gy(int i, int j) { return -20.0 + 0.9 * i * std::sin(0.3 * i) + 1.7 * j; }
double gb(int i, int j) { return 5.0 - 0.013 * i + 0.05 * std::fabs(j - 3.5); }

std::string grid_lines(int x, int y, bool roof, int i_step = 1, int j_step = 1)
{
    std::string text;
    char line[200];
    for (int i = 1; i <= x; i += i_step)
        for (int j = 1; j <= y; j += j_step) {
            int fi = (i - 1) / i_step + 1, fj = (j - 1) / j_step + 1;
            if (roof)
                std::snprintf(line, sizeof line, "%d %d %.9f %.9f %.9f %.9f\n", fi, fj, gx(i, j), gy(i, j), gb(i, j), gb(i, j) + 2.5);
            else
                std::snprintf(line, sizeof line, "%d %d %.9f %.9f %.9f\n", fi, fj, gx(i, j), gy(i, j), gb(i, j));
            text += line;
        }
    return text;
}

const char* const distribution = "G 3 0 10 30 60 100\n";

TEST(GridFile, OpenChannelLayoutIsReadToItsCoordinatesAndLevels)
{
    test::CaseFolder folder;
    test::write_file("koordina", grid_lines(7, 5, false));
    ASSERT_FALSE(test::read_control(test::control_with(std::string(distribution) + "W 1 50 10 6.0\n", 7, 5, 5)).has_value())
        << test::log_text();
    const double percent[] = {0, 0, 10, 30, 60, 100};
    for (int i = 1; i <= 7; ++i)
        for (int j = 1; j <= 5; ++j) {
            EXPECT_NEAR(xval[i][j], gx(i, j), 1e-9);
            EXPECT_NEAR(yval[i][j], gy(i, j), 1e-9);
            for (int k = 1; k <= 5; ++k) EXPECT_NEAR(zval[i][j][k], gb(i, j) + (6.0 - gb(i, j)) * percent[k] / 100, 1e-9);
            EXPECT_EQ(zval[i][j][0], zval[i][j][1]);
        }
}

TEST(GridFile, ClosedConduitLayoutCarriesTheRoof)
{
    test::CaseFolder folder;
    test::write_file("koordina", grid_lines(6, 4, true));
    ASSERT_FALSE(test::read_control(test::control_with(std::string(distribution) + "K 2 0 0\n", 6, 4, 5)).has_value())
        << test::log_text();
    EXPECT_NEAR(zval[4][3][5], gb(4, 3) + 2.5, 1e-9);
    EXPECT_NEAR(zval[4][3][3], gb(4, 3) + 0.75, 1e-9);
}

TEST(GridFile, WrittenGridIsReadBackToTheSameCoordinates)
{
    for (bool roof : {false, true}) {
        test::CaseFolder folder;
        test::write_file("koordina", grid_lines(6, 5, roof));
        std::string control = test::control_with(std::string(distribution) + "F 36 1\n" + (roof ? "K 2 0 0\n" : "W 1 50 10 7\n"), 6, 5, 5);
        ASSERT_FALSE(test::read_control(control).has_value());
        writekoor();
        EXPECT_EQ(test::file_exists("koosurf"), true);
        std::filesystem::rename("koordina.new", "koordina");
        std::vector<double> before_z;
        for (int i = 1; i <= 6; ++i)
            for (int j = 1; j <= 5; ++j)
                for (int k = 1; k <= 5; ++k) before_z.push_back(zval[i][j][k]);
        ASSERT_FALSE(test::read_control(control).has_value());
        std::size_t n = 0;
        for (int i = 1; i <= 6; ++i)
            for (int j = 1; j <= 5; ++j) {
                EXPECT_NEAR(xval[i][j], gx(i, j), 1e-6);  // the file keeps six decimals
                EXPECT_NEAR(yval[i][j], gy(i, j), 1e-6);
                for (int k = 1; k <= 5; ++k) EXPECT_NEAR(zval[i][j][k], before_z[n++], 1e-6) << roof;
            }
    }
}

TEST(GridFile, TooFewPointsEndTheRun)
{
    test::CaseFolder folder;
    std::string lines = grid_lines(4, 4, false);
    std::size_t at = lines.find("\n2 3 ") + 1;
    lines.erase(at, lines.find('\n', at) - at + 1);
    lines += "2 2 0 0 0\n";  // a repeated point does not stand in for the missing one
    test::write_file("koordina", lines);
    EXPECT_EQ(test::read_control(test::control_with("", 4, 4, 4)), -1);
    EXPECT_TRUE(test::log_ends_with("Error in reading koordina file\nHave only read 15 coordinates in koordina file\n"
                                    "Necessary coordinates: 16\n"));
}

TEST(GridFile, MissingGridFile)
{
    test::CaseFolder folder;
    test::write_file("control", test::control_with("", 4, 4, 4));
    EXPECT_EQ(test::exit_status([] {
                  xnumber = ynumber = znumber = 4;
                  lnumber = 1;
                  sialloc();
                  readkoor();
              }),
              -4);
    EXPECT_EQ(std::string(mc_message), "cannot open file 'koordina' ");
    EXPECT_TRUE(test::log_ends_with("Error, cannot open file 'koordina'\n"));
}

TEST(GridFile, BedAboveTheWaterLevelGetsOneCentimetreOfWater)
{
    test::CaseFolder folder;
    test::write_file("koordina", grid_lines(4, 4, false));
    ASSERT_FALSE(test::read_control(test::control_with("W 1 50 10 4.98\n", 4, 4, 4)).has_value());
    EXPECT_NEAR(zval[2][1][4] - zval[2][1][1], 0.01, 1e-12);  // bed 5.02 > 4.98 - 0.01
}

TEST(GridFile, RingLinesAreTakenAndOutsideLinesSkipped)
{
    test::CaseFolder folder;
    test::write_file("koordina", grid_lines(4, 4, false) + "5 2 77 88 1.5\n0 1 1 1 1\n3 -1 1 1 1\n");
    ASSERT_FALSE(test::read_control(test::control_with("W 1 50 10 6\n", 4, 4, 4)).has_value());
    EXPECT_EQ(xval[5][2], 77.0);
    EXPECT_EQ(xval[0][1], 0.0);
}

TEST(GridFile, EverySecondLineInIIsInterpolated)
{
    test::CaseFolder folder;
    // xnumber = 5: the file holds the lines 1, 3, 5 as its lines 1, 2, 3.
    test::write_file("koordina", grid_lines(5, 4, false, 2));
    ASSERT_FALSE(test::read_control(test::control_with("F 7 DP\nW 1 50 10 6\n", 5, 4, 4)).has_value()) << test::log_text();
    for (int j = 1; j <= 4; ++j) {
        for (int i : {1, 3, 5}) EXPECT_NEAR(xval[i][j], gx(i, j), 1e-9);
        for (int i : {2, 4}) {
            EXPECT_NEAR(xval[i][j], 0.5 * (gx(i - 1, j) + gx(i + 1, j)), 1e-9);
            EXPECT_NEAR(zval[i][j][1], 0.5 * (gb(i - 1, j) + gb(i + 1, j)), 1e-9);
            EXPECT_NEAR(zval[i][j][4], 6.0, 1e-9);
        }
    }
}

TEST(GridFile, EverySecondLineInBothDirections)
{
    test::CaseFolder folder;
    test::write_file("koordina", grid_lines(5, 7, false, 2, 2));
    ASSERT_FALSE(test::read_control(test::control_with("F 7 JD\nW 1 50 10 6\n", 5, 7, 4)).has_value()) << test::log_text();
    EXPECT_NEAR(yval[3][7], gy(3, 7), 1e-9);
    EXPECT_NEAR(yval[3][4], 0.5 * (gy(3, 3) + gy(3, 5)), 1e-9);
    EXPECT_NEAR(yval[2][4], 0.25 * (gy(1, 3) + gy(1, 5) + gy(3, 3) + gy(3, 5)), 1e-9);
    // A thinned file must still hold every point of its lines.
    std::string lines = grid_lines(5, 7, false, 2, 2);
    test::write_file("koordina", lines.substr(lines.find('\n') + 1));
    EXPECT_EQ(test::read_control(test::control_with("F 7 JD\nW 1 50 10 6\n", 5, 7, 4)), -1);
    EXPECT_TRUE(test::log_ends_with("Have only read 11 coordinates in koordina file\nNecessary coordinates: 12\n"));
}

TEST(GridFile, LocalVerticalDistribution)
{
    test::CaseFolder folder;
    test::write_file("koordina", grid_lines(6, 5, false));
    ASSERT_FALSE(test::read_control(test::control_with("W 1 50 10 7\nG 16 2 3 1 2 0 50 80 90 100\n", 6, 5, 5)).has_value());
    double depth = 7.0 - gb(3, 2);
    EXPECT_NEAR(zval[3][2][2], gb(3, 2) + 0.5 * depth, 1e-9);
    EXPECT_NEAR(zval[3][3][2], gb(3, 3) + 0.25 * (7.0 - gb(3, 3)), 1e-9);  // outside the box: even
}

TEST(GridFile, BedSurfacesAndLowerLimits)
{
    test::CaseFolder folder;
    test::write_file("koordina", grid_lines(5, 4, false));
    ASSERT_FALSE(test::read_control(test::control_with("W 1 50 10 7\n", 5, 4, 4)).has_value());
    EXPECT_EQ(Surfaces[0][0][0], zval[1][1][1]);
    EXPECT_EQ(Surfaces[0][6][5], zval[5][4][1]);
    EXPECT_EQ(Surfaces[0][3][0], zval[3][1][1]);
    EXPECT_EQ(Surfaces[3][2][2], zval[2][2][1] - 10000.0);
    ASSERT_FALSE(test::read_control(test::control_with("W 1 50 10 7\nF 42 -3\nF 41 1.5\n", 5, 4, 4)).has_value());
    EXPECT_NEAR(Surfaces[3][2][2], zval[2][2][1] - 1.5, 1e-12);
    ASSERT_FALSE(test::read_control(test::control_with("W 1 50 10 7\nF 41 1.5\nF 42 -3\n", 5, 4, 4)).has_value());
    EXPECT_EQ(Surfaces[3][5][4], -3.0);
}

TEST(GridFile, LowerLimitFileIsRefinedLikeTheGrid)
{
    test::CaseFolder folder;
    test::write_file("koordina", grid_lines(5, 4, false, 2));
    std::string limits;
    for (int m = 1; m <= 3; ++m)
        for (int j = 1; j <= 4; ++j) limits += std::to_string(m) + " " + std::to_string(j) + " 0 0 " + std::to_string(-m * 2.0) + "\n";
    test::write_file("koomin", limits);
    ASSERT_FALSE(test::read_control(test::control_with("F 7 D\nW 1 50 10 7\n", 5, 4, 4)).has_value());
    EXPECT_EQ(Surfaces[3][1][2], -2.0);
    EXPECT_EQ(Surfaces[3][3][2], -4.0);
    EXPECT_EQ(Surfaces[3][5][2], -6.0);
    EXPECT_EQ(Surfaces[3][4][2], -5.0);
}

}  // namespace
}  // namespace zefra
