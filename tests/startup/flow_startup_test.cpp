// The flow start-up: inflow turbulence, openings of G 7 and their continuity,
// residual scales, wall markers, relaxation bounds, the optional files, and
// the split between a cold and a warm start.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "engine/grid/multiblock.h"
#include "engine/input/control_reader.h"
#include "engine/startup/flow_startup.h"
#include "engine/startup/initial_surface.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_turbulence.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

// A straight channel 100 m long and 10 m wide (x = 11, y = 6 node lines, 5
// levels), bed falling 0.1 m, water level 2 m above the downstream bed.
std::string channel_grid(double (*x_of)(int) = nullptr)
{
    std::string text;
    char line[120];
    for (int i = 1; i <= 11; ++i)
        for (int j = 1; j <= 6; ++j) {
            const double x = x_of ? x_of(i) : 10.0 * (i - 1);
            std::snprintf(line, sizeof line, "%d %d %g %g %g\n", i, j, x, 2.0 * (j - 1), 0.01 * (110 - 10 * i));
            text += line;
        }
    return text;
}

std::optional<int> start(const std::string& data_sets, double q = 20.0, const std::string& grid = channel_grid())
{
    test::write_file("koordina", grid);
    char w1[80];
    std::snprintf(w1, sizeof w1, "W 1 30 %.10g 2.0\n", q);
    test::write_file("control", std::string("G 1 11 6 5 1\nG 3 0 25 50 75 100\nW 2 3 1 6 11\n") + w1 + data_sets);
    return test::exit_status([] {
        kread();
        initial();
        MultiBlockInit();
        smetric();
        startup();
    });
}

TEST(Startup, InflowTurbulenceProfile)
{
    test::CaseFolder folder;
    ASSERT_FALSE(start("").has_value()) << test::log_text();
    const double v = avvelocity[1], r = radius[1], m = ManArray[0];
    const double tau = 1000 * 9.81 * v * v / (std::pow(r, 0.3333) * m * m);
    const double k_bed = tau / 300;
    // k falls linearly from its bed value to half of it at the surface; eps = C_mu k^2 / nu.
    EXPECT_NEAR(kinen[1][3][2], k_bed, 1e-12 * k_bed);
    EXPECT_LT(kinen[1][3][5], kinen[1][3][2]);
    EXPECT_GT(kinen[1][3][5], 0.5 * k_bed);
    const double ustar = std::sqrt(tau / 1000);
    EXPECT_NEAR(0.09 * kinen[1][3][5] * kinen[1][3][5] / epsilon[1][3][5], 0.11 * r * ustar, 1e-9);  // the plateau
    // Every cell starts from the inflow profile.
    EXPECT_EQ(kinen[7][3][4], kinen[1][3][4]);
    EXPECT_EQ(epsilon[7][3][4], epsilon[1][3][4]);
    EXPECT_EQ(Xkappa, 0.4);
}

TEST(Startup, SpecificDissipationForTheKOmegaModels)
{
    test::CaseFolder folder;
    ASSERT_FALSE(start("").has_value());
    const double k = kinen[1][3][3], eps = epsilon[1][3][3];
    test::CaseFolder again;
    ASSERT_FALSE(start("F 24 15\n").has_value());
    EXPECT_NEAR(kinen[1][3][3], k, 1e-15);
    EXPECT_NEAR(epsilon[1][3][3], eps / (0.09 * k), 1e-9 * eps / (0.09 * k));
}

TEST(Startup, ResidualScalesOfTheDefaultInflow)
{
    test::CaseFolder folder;
    ASSERT_FALSE(start("").has_value());
    EXPECT_NEAR(NormResidual[4], 1000 * 20.0, 1e-6 * 1000 * 20.0);
    double k_sum = 0, e_sum = 0;
    for (int j = 2; j <= 6; ++j)
        for (int k = 2; k <= 5; ++k) {
            k_sum += kinen[1][j][k];
            e_sum += epsilon[1][j][k];
        }
    EXPECT_NEAR(NormResidual[5], k_sum / 30 * NormResidual[4], 1e-9 * NormResidual[5]);
    EXPECT_NEAR(NormResidual[6], e_sum / 30 * NormResidual[4], 1e-9 * NormResidual[6]);
    EXPECT_NEAR(NormResidual[7], 20 * NormResidual[4], 1e-9);
    EXPECT_GT(NormResidual[1], 0.0);
    EXPECT_NE(test::log_text().find("IONo = 0\n"), std::string::npos);
}

TEST(Startup, ResidualScalesAreProportionalToTheDischarge)
{
    double scale[2][7];
    for (int n = 0; n < 2; ++n) {
        test::CaseFolder folder;
        ASSERT_FALSE(start("F 200 1 0.01 0.001\n", 10.0 * (n + 1)).has_value());
        for (int e = 4; e <= 7; ++e) scale[n][e - 1] = NormResidual[e];
    }
    for (int e = 4; e <= 7; ++e) EXPECT_NEAR(scale[1][e - 1] / scale[0][e - 1], 2.0, 1e-6) << e;
}

TEST(Startup, ResidualScalesWithoutTurbulenceStopTheRun)
{
    test::CaseFolder folder;
    EXPECT_EQ(start("", 1e-10), -2);
    EXPECT_NE(test::log_text().find("Error in setting of residual (sinit)\naverage k, eps = "), std::string::npos);
}

TEST(Startup, OpeningsGetTheirVelocityAndTurbulence)
{
    test::CaseFolder folder;
    // 5 m3/s enter through the left bank (j = 1) over cells i = 3 ... 4, all levels,
    // and leave through the downstream end over the whole section.
    ASSERT_FALSE(start("G 7 0 2 3 4 2 5 0 0 5.0 0 0 0\nG 7 1 -1 2 6 2 5 0 0 5.0 0 0 0\n").has_value()) << test::log_text();
    double area = 0.0;
    for (int i = 3; i <= 4; ++i)
        for (int k = 2; k <= 5; ++k) area += m_ar_y[i][1][k];
    const double speed = 5.0 / area;
    EXPECT_NEAR(yvel[3][1][2], speed, 1e-12);  // into the domain, towards +j
    EXPECT_NEAR(xvel[3][1][2], 0.0, 1e-12);
    EXPECT_NEAR(kinen[4][1][5], 0.0025 * speed * speed, 1e-15);
    EXPECT_NEAR(epsilon[4][1][5], 0.8 * kinen[4][1][5] * std::sqrt(kinen[4][1][5]) / std::sqrt(area), 1e-15);
    EXPECT_GT(xvel[12][3][3], 0.0);  // leaving downstream
    double out_area = 0.0;
    for (int j = 2; j <= 6; ++j)
        for (int k = 2; k <= 5; ++k) out_area += m_ar_x[11][j][k];
    EXPECT_NEAR(xvel[12][3][3], 5.0 / out_area, 1e-12);
    const double imp = 500 * 25 / area + 500 * 25 / out_area;
    EXPECT_NEAR(NormResidual[1], imp, 1e-9 * imp);
    EXPECT_NEAR(NormResidual[4], 5000.0, 1e-9);
    EXPECT_NE(test::log_text().find("IONo = 2\n"), std::string::npos);
    EXPECT_NE(test::log_text().find("NormResidual(4) = 5000.000000\n"), std::string::npos);
}

TEST(Startup, OpeningsMustKeepContinuity)
{
    test::CaseFolder folder;
    EXPECT_EQ(start("G 7 0 2 3 4 2 5 0 0 5.0 0 0 0\nG 7 1 -1 2 6 2 5 0 0 4.0 0 0 0\n"), 1);
    EXPECT_TRUE(test::log_ends_with("Error in continuity, IO\nFluxUt = 4000.000000, FluxTot = 5000.000000\n"));
}

TEST(Startup, WallMarkers)
{
    test::CaseFolder folder;
    ASSERT_FALSE(start("G 13 2 5 6 3 4 2 3\nW 4 1 1 8 2 3 2 5\n").has_value()) << test::log_text();
    EXPECT_EQ(WallK[4][3][2], 1);  // the bed
    EXPECT_EQ(WallK[4][3][5], 0);  // open water surface
    EXPECT_EQ(WallJ[4][2][3], 1);  // side walls
    EXPECT_EQ(WallJ[4][6][3], -1);
    EXPECT_EQ(WallI[8][3][4], 1);  // W 4
    // The out-block of type 2: walls in i and j around it and on its top.
    EXPECT_EQ(OBlok[5][3][2], 0);
    EXPECT_EQ(OBlok[7][3][2], 1);
    EXPECT_EQ(WallI[4][3][2], -1);
    EXPECT_EQ(WallI[7][4][3], 1);
    EXPECT_EQ(WallJ[5][5][2], 1);
    EXPECT_EQ(WallJ[5][2][2], 1);  // first j is 3: no wall below, the side wall stays
    EXPECT_EQ(WallK[5][4][4], 1);
    EXPECT_EQ(Wall[5][4][4], 1);
    EXPECT_EQ(Wall[8][4][4], 0);
}

TEST(Startup, ClosedConduitAndOneSidedWalls)
{
    test::CaseFolder folder;
    std::string grid;
    for (int i = 1; i <= 11; ++i)
        for (int j = 1; j <= 6; ++j) grid += std::to_string(i) + " " + std::to_string(j) + " " + std::to_string(10.0 * i) + " " + std::to_string(2.0 * j) + " 0 2\n";
    ASSERT_FALSE(start("K 2 2 0\n", 20.0, grid).has_value()) << test::log_text();
    EXPECT_EQ(WallK[4][3][5], -1);
    EXPECT_EQ(WallJ[4][2][3], 1);
    EXPECT_EQ(WallJ[4][6][3], 0);
}

TEST(Startup, RelaxationFactorsOnlyStrictlyInsideTheirBounds)
{
    test::CaseFolder folder;
    ASSERT_FALSE(start("K 3 2 0.7 0.7 1.999 0.5 2.5\n").has_value());
    EXPECT_EQ(relaxVelocity, 0.001);
    EXPECT_EQ(relaxPressure, 1.999);
    EXPECT_EQ(relaxK, 0.5);
    EXPECT_EQ(relaxEpsilon, 0.01);
    EXPECT_NE(test::log_text().find("Relaxation: 0.001000 1.999000 0.500000 0.010000\n"), std::string::npos);
}

TEST(Startup, InflowFileCountsItsValidRecords)
{
    auto with_records = [](int j_first, int extra) {
        std::string text;
        for (int j = j_first; j <= 6; ++j)
            for (int k = 2; k <= 5; ++k) text += "E " + std::to_string(j) + " " + std::to_string(k) + " 0.5 0.1 0.0\n";
        for (int n = 0; n < extra; ++n) text += "D 3 3 0.7 0.0 0.0 0.02 0.003\n";
        return text;
    };
    {
        test::CaseFolder folder;
        test::write_file("innflow", with_records(2, 0));
        ASSERT_FALSE(start("").has_value());
        EXPECT_NE(test::log_text().find("Have read 20 velocity data sets from file 'innflow'\n"), std::string::npos);
        EXPECT_EQ(test::log_text().find("Warning:"), std::string::npos);
        EXPECT_DOUBLE_EQ(xvel[1][4][3], 0.5);
        EXPECT_DOUBLE_EQ(yvel[1][4][3], 0.1);
    }
    {
        test::CaseFolder folder;
        test::write_file("innflow", with_records(1, 0));  // j = 1 is skipped
        ASSERT_FALSE(start("").has_value());
        EXPECT_NE(test::log_text().find("Have read 20 velocity data sets from file 'innflow'\n"), std::string::npos);
    }
    {
        test::CaseFolder folder;
        test::write_file("innflow", with_records(3, 0));
        ASSERT_FALSE(start("").has_value());
        EXPECT_NE(test::log_text().find("Have read 16 velocity data sets from file 'innflow'\n"
                                        "Warning: Fewer data in 'innflow' file than cells in the cross-section\n"),
                  std::string::npos);
    }
    {
        test::CaseFolder folder;
        test::write_file("innflow", with_records(2, 1));
        ASSERT_FALSE(start("").has_value());
        EXPECT_NE(test::log_text().find("Warning: Too many data sets in 'innflow' file\n"), std::string::npos);
        EXPECT_DOUBLE_EQ(kinen[1][3][3], 0.02);
    }
    {
        test::CaseFolder folder;
        ASSERT_FALSE(start("").has_value());
        EXPECT_NE(test::log_text().find("File 'innflow' not used      \n"), std::string::npos);
    }
}

TEST(Startup, BedRoughness)
{
    test::CaseFolder folder;
    test::write_file("bedrough", "B 4 3 0.25\nB 1 3 0.5\nB 5 5 0.125\n");
    ASSERT_FALSE(start("").has_value());
    EXPECT_EQ(Xks[4][3], 0.25);
    EXPECT_EQ(Xks[5][5], 0.125);
    EXPECT_NEAR(Xks[6][3], std::pow(26.0 / 30.0, 6), 1e-15);  // Strickler
    EXPECT_NEAR(XksWall, std::pow(26.0 / 30.0, 6), 1e-15);
    EXPECT_EQ(XksJ1, XksWall);
    EXPECT_NE(test::log_text().find("Have read 2 roughness points from file 'bedrough'\n"), std::string::npos);
    test::CaseFolder again;
    ASSERT_FALSE(start("F 16 0.05\n").has_value());
    EXPECT_EQ(Xks[6][3], 0.05);
    EXPECT_NE(test::log_text().find("Did not use file 'bedrough'\n"), std::string::npos);
}

TEST(Startup, TemperatureFromTheVerticalProfile)
{
    test::CaseFolder folder;
    ASSERT_FALSE(start("F 49 1\nG 40 2 0.0 20.0 10.0 10.0\n").has_value());
    // Linear in the level of the cell centre, 20 degrees at level 0, 10 at level 10.
    const double centre = 0.125 * (zval[3][2][2] + zval[3][2][3] + zval[2][2][2] + zval[2][2][3] + zval[3][3][2] + zval[3][3][3] +
                                   zval[2][3][2] + zval[2][3][3]);
    EXPECT_NEAR(temp[3][3][3], 20.0 - centre, 1e-12);
    EXPECT_EQ(temp[1][3][3], temp[2][3][3]);
}

TEST(Startup, DistortedCellStopsTheRunUnlessToldOtherwise)
{
    // Node line 5 lies behind node line 4: the cells i = 5 are turned over.
    auto folded = [](int i) { return i == 5 ? 25.0 : 10.0 * (i - 1); };
    {
        test::CaseFolder folder;
        EXPECT_EQ(start("", 20.0, channel_grid(folded)), -5);
        EXPECT_NE(test::log_text().find("Error, negative areas for cell i=5, j=2\n"
                                        "The error can be suppressed by specifying a Q on the F 1 data set.\n"),
                  std::string::npos);
    }
    {
        test::CaseFolder folder;
        EXPECT_NE(start("F 1 Q\n", 20.0, channel_grid(folded)), std::optional<int>(-5));
    }
}

TEST(Startup, WarmStartKeepsTheFieldsAndRebuildsTheFlags)
{
    test::CaseFolder folder;
    ASSERT_FALSE(start("").has_value());
    xvel[5][3][3] = 7.0;
    kinen[5][3][3] = 0.3;
    WallJ[4][2][3] = 0;
    FlagInitialized = 1;
    startup();
    EXPECT_EQ(xvel[5][3][3], 7.0);
    EXPECT_EQ(kinen[5][3][3], 0.3);
    EXPECT_EQ(WallJ[4][2][3], 1);
}

}  // namespace
}  // namespace zefra
