// Uniform turbulent flow in a long straight rectangular channel, run through
// the program entry and checked against open-channel hydraulics: 1 km long,
// 20 m wide, 2 m deep, Q = 40 m3/s, Strickler M = 35 (ks = (26/M)^6), bed
// slope from the Manning-Strickler formula.  The water surface stays where
// the start-up's backwater computation puts it (normal depth).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "engine/driver/entry.h"
#include "engine/grid/columns.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

constexpr double Length = 1000.0, Width = 20.0, Depth = 2.0, Discharge = 40.0, Strickler = 35.0;
constexpr double Area = Width * Depth, Radius = Area / (Width + 2.0 * Depth);

// Manning-Strickler slope of uniform flow: Q = M A R^(2/3) S^(1/2).
double manning_slope(double radius)
{
    const double s = Discharge / (Strickler * Area * std::pow(radius, 2.0 / 3.0));
    return s * s;
}

struct Channel {
    int x, y;       // node lines along and across
    double slope;
    std::string extra;  // data sets added to the control file
};

// Writes koordina and control and runs zefra; the vertical grid is refined
// towards the bed so that several cells lie in the lowest fifth of the depth.
int run_channel(const Channel& c)
{
    std::string grid;
    char line[160];
    for (int i = 1; i <= c.x; ++i)
        for (int j = 1; j <= c.y; ++j) {
            const double along = Length * (i - 1) / (c.x - 1);
            std::snprintf(line, sizeof line, "%d %d %.6f %.6f %.6f\n", i, j, along, Width * (j - 1) / (c.y - 1), 100.0 - c.slope * along);
            grid += line;
        }
    test::write_file("koordina", grid);
    std::snprintf(line, sizeof line, "G 1 %d %d 12 1\nG 3 0 3 6 10 15 20 30 40 55 70 85 100\nW 1 %g %g %.6f\nF 2 W\n", c.x, c.y, Strickler,
                  Discharge, 100.0 - c.slope * Length + Depth);
    test::write_file("control", line + c.extra);
    char name[] = "zefra";
    char* argv[] = {name, nullptr};
    return run_zefra(1, argv);
}

using test::converged;

// Mean bed shear stress over the cross-section at node line i.
double mean_bed_shear(int i)
{
    double sum = 0.0;
    for (int j = 2; j <= ynumber; ++j) sum += bedshear[i][j];
    return sum / (ynumber - 1);
}

// Block correction of the pressure keeps these runs to about a hundred
// iterations; one case below runs with the default settings.
const std::string Fast = "K 5 0 0 0 1 0 0\n";
const Channel Fine{21, 21, manning_slope(Radius), Fast};

TEST(TurbulentChannel, UniformFlowFollowsTheRoughWallLogLaw)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    ASSERT_EQ(run_channel(Fine), 1);
    ASSERT_TRUE(converged());
    const double rho_g_r_s = 1000.0 * 9.81 * Radius * manning_slope(Radius);
    const int i = 16;  // 750 m from the inflow
    const int centre = (ynumber + 2) / 2;

    // Velocity over the depth at the centre line, below a fifth of the depth.
    const double u_star = std::sqrt(bedshear[i][centre] / 1000.0);
    const double depth = column_depth(i, centre);
    int checked = 0;
    for (int k = 2; k <= znumber && centre_height(i, centre, k) < 0.2 * depth; ++k, ++checked) {
        const double z = centre_height(i, centre, k);
        const double log_law = std::log(30.0 * z / Xks[i][centre]) / 0.4;
        EXPECT_NEAR(xvel[i][centre][k] / u_star / log_law, 1.0, 0.10) << "k = " << k;
    }
    EXPECT_GE(checked, 4);

    // Bed shear stress against rho g R S, k at the bed against u*^2 / sqrt(C_mu).
    EXPECT_NEAR(mean_bed_shear(i) / rho_g_r_s, 1.0, 0.15);
    double k_bed = 0.0;
    for (int j = 2; j <= ynumber; ++j) k_bed += kinen[i][j][2] / (ynumber - 1);
    EXPECT_NEAR(k_bed / (rho_g_r_s / 1000.0 / std::sqrt(0.09)), 1.0, 0.15);

    // A symmetric channel gives a symmetric flow.
    for (int j = 2; j < centre; ++j)
        for (int k = 2; k <= znumber; ++k) EXPECT_NEAR(xvel[i][j][k], xvel[i][ynumber + 2 - j][k], 1e-3);
}

// RNG, near-bed damped k-epsilon and k-omega on the same channel.
class OtherModel : public testing::TestWithParam<int> {};

TEST_P(OtherModel, GivesTheSameBedShear)
{
    ZEFRA_HEAVY_CASE();
    const double rho_g_r_s = 1000.0 * 9.81 * Radius * manning_slope(Radius);
    test::CaseFolder folder;
    Channel c = Fine;
    c.extra += "F 24 " + std::to_string(GetParam()) + "\n";
    ASSERT_EQ(run_channel(c), 1);
    EXPECT_TRUE(converged());
    EXPECT_NEAR(mean_bed_shear(16) / rho_g_r_s, 1.0, 0.25);
}

INSTANTIATE_TEST_SUITE_P(TurbulentChannel, OtherModel, testing::Values(1, 8, 15));

TEST(TurbulentChannel, RougherSideWallSlowsItsSideOfTheSection)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    Channel c = Fine;
    c.extra += "F 195 0.5 0.005\n";  // j = 1 very rough, j = ynumber almost smooth
    ASSERT_EQ(run_channel(c), 1);
    ASSERT_TRUE(converged());
    const int i = 16;
    for (int k = 5; k <= znumber; ++k) {
        EXPECT_LT(xvel[i][2][k], 0.9 * xvel[i][ynumber][k]) << "k = " << k;
        EXPECT_LT(xvel[i][3][k], xvel[i][ynumber - 1][k]) << "k = " << k;
    }
}

TEST(TurbulentChannel, ConvergesWithTheDefaultSettings)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    // Coarser: 100 m along, 2 m across; no block correction.
    ASSERT_EQ(run_channel({11, 11, manning_slope(Radius), ""}), 1);
    EXPECT_TRUE(converged());
    // Every cross-section carries the inflow to the convergence criterion.
    for (int i = 1; i <= xnumber; ++i) {
        double q = 0.0;
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) q += flow1[i][j][k] / 1000.0;
        EXPECT_NEAR(q / Discharge, 1.0, ConvergenceCriteria) << "i = " << i;
    }
}

}  // namespace
}  // namespace zefra
