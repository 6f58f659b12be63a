// The sediment set-up on a column grid 2 m deep with a uniform flow: inflow
// fractions, the Shields initialisation of the bed, sources at the edge of
// the grid, canopy shear and the reported failures.  The Rouse profiles and
// the inflow load are checked on a computed channel flow in tests/cases.
#include <gtest/gtest.h>

#include <string>

#include "engine/common/run_exit.h"
#include "engine/sediment/sediment_setup.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

// x = 6, y = 5 node lines 10 m apart, five cells of 0.4 m; 1 m/s, tau = 1 N/m2.
void uniform_flow(int sizes)
{
    lnumber = sizes;
    test::box_grid(6, 5, 6, 10.0, 10.0, 0.4);
    xvel.fill(1.0);
    bedshear.fill(1.0);
    OBlok.fill(1);
    avvelocity[1] = 1.0;
    radius[1] = 2.0;
    ManArray[0] = 40.0;
    for (int l = 1; l <= sizes; ++l) {
        gsize[l] = 0.0002;
        fallvelo[l] = 0.02;
    }
}

bool logged(const std::string& text)
{
    return test::log_text().find(text) != std::string::npos;
}

// d_c = 300 k / (0.047 * 1.65 * 9810) = 1 mm; sizes 3, 1.2 and 0.5 mm give
// F = 1 (forced), 1.32878 log10(1.2) + 0.6, 1.32878 log10(0.5) + 0.6.
TEST(SedimentSetup, InflowFractionsAndShieldsBedComposition)
{
    test::CaseFolder folder;
    uniform_flow(3);
    const double size[] = {0, 0.003, 0.0012, 0.0005};
    for (int l = 1; l <= 3; ++l) gsize[l] = size[l];
    for (int j = 0; j <= ynumber + 1; ++j) bedgrain[1][2][j] = bedgrain[2][2][j] = 0.5;
    inflow[3] = 2.0;  // flows in, but is missing from the bed
    kinen.fill(0.002535885);
    BedFlags[0] = 1;
    suspinit();

    EXPECT_NEAR(bedgrain[1][1][3], 0.5 / 1.01, 1e-12);
    EXPECT_NEAR(bedgrain[3][1][3], 0.01 / 1.01, 1e-12);
    const double fraction[] = {0, 0.294785543877, 0.505217093762, 0.199997362362};
    for (int l = 1; l <= 3; ++l) EXPECT_NEAR(bedgrain[l][4][3], fraction[l], 1e-9) << "size " << l;
    EXPECT_EQ(bedgrain[0][4][3], 0.0);
    EXPECT_TRUE(logged("Using Shield's initialization for bed grain size distribution\n"));
    EXPECT_FALSE(logged("BedInitDistrib"));
}

// G 5 and G 20 boxes reaching the grid size + 4 (as the reader allows) fill
// only what the concentration array holds; a point source outside is dropped.
TEST(SedimentSetup, SourcesAreClippedToTheGrid)
{
    test::CaseFolder folder;
    uniform_flow(2);
    const int x = xnumber, y = ynumber, z = znumber;
    i_pointsource = 3, j_pointsource = 3, k_pointsource = 3;
    i2_pointsource = x + 4, j2_pointsource = y + 4, k2_pointsource = z + 4;
    pointsource[1] = 0.25;
    pointsource[2] = 0.5;
    AreaSource[0] = {2, x + 4, 2, 2, 2, z + 4, 2, 0.125};
    AreaSourceNo = 1;
    suspinit();
    EXPECT_EQ(conc[1][3][3][3], 0.25);
    EXPECT_EQ(conc[1][x + 2][y + 2][z + 2], 0.25);
    EXPECT_EQ(conc[2][x + 2][2][z + 2], 0.125);
    EXPECT_EQ(conc[2][x + 2][3][z + 2], 0.5);
    EXPECT_TRUE(logged("Warning, point source clipped to the grid: i 3-8, j 3-7, k 3-8\n"));
    EXPECT_TRUE(logged("Warning, G 20 area source 1 clipped to the grid: i 2-8, j 2-2, k 2-8\n"));

    test::CaseFolder again;
    uniform_flow(1);
    i_pointsource = xnumber + 3, j_pointsource = 3, k_pointsource = 3;
    suspinit();
    EXPECT_TRUE(logged("Warning, point source outside the grid, not used: i 9-9, j 3-3, k 3-3\n"));
}

// Canopy of height Xks = 0.5 m, P = 0.5, 1 m/s: only the bed cell (centre
// 0.2 m) lies below the canopy top; the next centre, 0.6 m, is above it.
// Its share rho u^2 h_half (1 - z/H)(1 - P)/H = 1000 * 0.2 * 0.6 * 0.5 / 0.5 = 120.
TEST(SedimentSetup, CanopyBedShear)
{
    for (int flag : {11, 13}) {
        test::CaseFolder folder;
        uniform_flow(1);
        Xks.fill(0.5);
        kinen.fill(0.01);
        FlagScotti = flag;
        suspinit();
        // Flag 13 counts the bed cell; 11 leaves it out and adds 0.3 rho k.
        EXPECT_NEAR(bedshear[3][3], flag == 13 ? 120.0 : 3.0, 1e-9) << flag;
        EXPECT_EQ(bedshear[1][3], bedshear[2][3]);
    }
}

TEST(SedimentSetup, ReportedFailures)
{
    for (char mode : {'N', 'E'}) {  // with F 1 E the log was never opened for the progress messages
        test::CaseFolder folder;
        uniform_flow(1);
        gsize[1] = 0.0;
        debugging = mode;
        EXPECT_FALSE(test::exit_status(suspinit).has_value());
        EXPECT_TRUE(test::log_ends_with("Error, diameter for size 1 = 0.000000\n")) << mode;
        EXPECT_EQ(conc[1][3][3][2], 0.0);
        EXPECT_EQ(logged(" In suspinit\n\nShear in entrance: "), mode == 'N');
    }
    test::CaseFolder folder;
    uniform_flow(1);
    SedimentFormula = 'r';
    EXPECT_EQ(test::exit_status(suspinit), 1);
    EXPECT_TRUE(test::log_ends_with("Error in bed concentration calling - suspinit\n"));
}

}  // namespace
}  // namespace zefra
