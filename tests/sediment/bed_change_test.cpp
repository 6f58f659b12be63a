// Bed change on small grids of unit cells: the corner shares, erosion capped
// at the fixed bed, the levels that follow, avalanches, the pressure of a
// transient free surface and a `loggfil` that cannot be written.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <string>

#include "engine/common/status.h"
#include "engine/sediment/bed_change.h"
#include "engine/state/fields.h"
#include "engine/state/state.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

// x by y nodes one metre apart, levels 0, 1, 2; only column (3, 3) holds
// water when `isolated`; a fixed bed 10 m down.
void unit_grid(int x, int y, bool isolated = false)
{
    test::box_grid(x, y, 3, 1.0, 1.0, 1.0);
    zdistrib[1] = 0.0, zdistrib[2] = 50.0, zdistrib[3] = 100.0;
    for (int i = 1; i <= x + 1; ++i)
        for (int j = 1; j <= y + 1; ++j) {
            zval[i][j][0] = 0.0;
            Surfaces[3][i][j] = -10.0;
            for (int k = 2; k <= 3; ++k) OBlok[i][j][k] = !isolated || (i == 3 && j == 3);
        }
}

TEST(BedChange, CornersShareTheChangeAndTheLevelsFollow)
{
    test::CaseFolder folder;
    unit_grid(5, 5);
    TSCMinDepth = 0.5;
    bedlevchange[0][3][3] = 0.4;  // each corner has four water columns around it: a quarter each
    bedchange();
    for (int i = 1; i <= 5; ++i)
        for (int j = 1; j <= 5; ++j) {
            const double rise = (i == 2 || i == 3) && (j == 2 || j == 3) ? 0.1 : 0.0;
            EXPECT_NEAR(zval[i][j][0], rise, 1e-12);
            EXPECT_NEAR(zval[i][j][1], rise, 1e-12);
            EXPECT_NEAR(zval[i][j][2], 2.0 - (2.0 - rise) / 2.0, 1e-12);  // same share of the new depth
            EXPECT_NEAR(Surfaces[1][i][j], rise, 1e-12);
        }
    EXPECT_NEAR(m_dist_z[3][3][2], 0.5 * (1.05 - 0.1), 1e-12);

    // Alone in dry land the column moves its own corners by the whole change;
    // the corner 0.1 above the fixed bed stops there, the others take the rest.
    unit_grid(5, 5, true);
    Surfaces[3][2][2] = -0.1;
    bedlevchange[0][3][3] = -0.3;
    bedchange();
    EXPECT_NEAR(zval[2][2][0], -0.1, 1e-12);
    for (auto [i, j] : {std::pair{3, 2}, {2, 3}, {3, 3}}) EXPECT_NEAR(zval[i][j][0], -1.1 / 3.0, 1e-10);
    // Deeper than the sediment: every corner on the fixed bed, and the rest reported.
    for (int i = 2; i <= 3; ++i)
        for (int j = 2; j <= 3; ++j) Surfaces[3][i][j] = -0.5;
    bedlevchange[0][3][3] = -1.0;
    bedchange();
    for (int i = 2; i <= 3; ++i)
        for (int j = 2; j <= 3; ++j) EXPECT_NEAR(zval[i][j][0], -0.5, 1e-12);
    EXPECT_NE(test::log_text().find("Error in bed change, i,j,rest = 3 3 -0.800000\n"), std::string::npos);
    // Rising to within TSCMinDepth of the top: the grid keeps that depth, level 0 the bed.
    bedlevchange[0][3][3] = 2.3;
    bedchange();
    EXPECT_NEAR(zval[3][3][0], 1.8, 1e-12);
    EXPECT_NEAR(zval[3][3][1], 1.5, 1e-12);
    EXPECT_NEAR(zval[3][3][2], 1.75, 1e-12);
}

TEST(BedChange, AvalancheBetweenTwoCornersAndOnThePlane)
{
    // One column; its corner (2, 1) stands 1 m above the others, 1 m apart.
    test::CaseFolder folder;
    for (int method : {1, 200}) {
        unit_grid(2, 2);
        OBlok[2][2][2] = 1;
        zval[2][1][0] = zval[2][1][1] = 1.0;
        zval[2][1][2] = 1.5;
        IterAvalanche = method;
        AngleAvalanche = 0.5;
        bedchange();
        EXPECT_NEAR(0.25 * (zval[1][1][0] + zval[2][1][0] + zval[1][2][0] + zval[2][2][0]), 0.25, 1e-15);  // volume kept
        if (method == 1) {
            // Along i (1,1)-(2,1) first: 0.5 too steep, shared equally; then along j (2,1)-(2,2).
            EXPECT_NEAR(zval[1][1][0], 0.25, 1e-12);
            EXPECT_NEAR(zval[2][1][0], 0.625, 1e-12);
            EXPECT_NEAR(zval[2][2][0], 0.125, 1e-12);
            EXPECT_NEAR(zval[1][2][0], 0.0, 1e-12);
        } else {
            EXPECT_NEAR(m_vec_z[2][2][1][2], std::cos(std::atan(0.5)), 1e-12);  // the bed plane at the limiting slope
        }
    }
}

TEST(BedChange, SmoothingLowersABumpAndKeepsTheVolume)
{
    // A node 0.4 m proud of a flat bed in water flowing at 1 m/s: over a
    // step of 1000 s, far longer than the 7.3 depths a bedform needs to pass,
    // the bump gives sediment to its neighbours; the bed volume stays.
    test::CaseFolder folder;
    unit_grid(5, 5);
    for (int i = 1; i <= 6; ++i)
        for (int j = 1; j <= 6; ++j) xvel[i][j][2] = 1.0;
    zval[3][3][0] = zval[3][3][1] = 0.4;
    auto volume = [] {
        double v = 0.0;
        for (int i = 2; i <= 5; ++i)
            for (int j = 2; j <= 5; ++j) v += 0.25 * (zval[i - 1][j - 1][0] + zval[i][j - 1][0] + zval[i - 1][j][0] + zval[i][j][0]);
        return v;
    };
    const double before = volume();
    FlagBedSmooth = 1;
    ParamBedSmooth = 1.0;
    stime = 1000.0;
    bedchange();
    EXPECT_NEAR(volume(), before, 1e-12);
    EXPECT_LT(zval[3][3][0], 0.3);
    EXPECT_GT(zval[2][3][0], 0.0);
    EXPECT_GT(zval[3][4][0], 0.0);
    for (int i = 1; i <= 5; ++i)
        for (int j = 1; j <= 5; ++j) EXPECT_GE(zval[i][j][0], 0.0) << i << " " << j;  // no hole dug beside it
}

TEST(BedChange, TransientSurfacePressureAndAnUnwritableLog)
{
    // A uniform rise of 0.2 m lifts the centre of each cell by 0.2 times its
    // depth below the top over the depth (0.5 and 1.5 m of 2 m): its
    // hydrostatic pressure falls by rho g times that.
    test::CaseFolder folder;
    unit_grid(4, 4);
    for (int i = 2; i <= 4; ++i)
        for (int j = 2; j <= 4; ++j) bedlevchange[0][i][j] = 0.2;
    FlagTSC = FlagTFS = 1;
    bedchange();
    EXPECT_NEAR(Pres[3][3][3], -9810.0 * 0.2 * 0.25, 1e-9);
    EXPECT_NEAR(Pres[3][3][2], -9810.0 * 0.2 * 0.75, 1e-9);
    EXPECT_FALSE(test::file_exists("loggfil"));  // transient runs keep no loggfil

    // Steady: `loggfil` cannot be written; the grid has moved all the same.
    FlagTSC = FlagTFS = 0;
    ::mkdir("loggfil", 0755);
    bedchange();
    EXPECT_STREQ(mc_message, "cannot open file 'loggfil' ");
    EXPECT_NE(test::log_text().find("Error: cannot open file 'loggfil'"), std::string::npos);
    EXPECT_NEAR(m_dist_z[3][3][2], 0.5 * (1.0 - 0.4 / 2.0), 1e-12);
    EXPECT_NE(test::read_file("koordina.new").find("3 3 2.000000 2.000000 0.400000\n"), std::string::npos);
}

}  // namespace
}  // namespace zefra
