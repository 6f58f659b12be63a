// The two bed layers of a column against hand values: deposition on a bare
// bed up to the active thickness and on, deposition over an inactive layer,
// erosion refilled from below, erosion through all sediment, an exchange of
// sizes without net change; a long random sequence keeps every grain volume.
// The start-up layers from the sediment above the fixed bed.
#include <gtest/gtest.h>

#include <random>

#include "engine/sediment/morphology_fractions.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

BedColumn column(double active, double f1, double inactive, double g1)
{
    BedColumn c;
    c.active = active;
    c.inactive = inactive;
    c.f[1] = f1, c.f[2] = 1.0 - f1;
    c.g[1] = g1, c.g[2] = 1.0 - g1;
    return c;
}

// Grain thickness of size l in both layers.
double grains(const BedColumn& c, int l)
{
    return c.f[l] * c.active + c.g[l] * c.inactive;
}

TEST(BedLayers, DepositionAndErosionAgainstHandValues)
{
    // A bare bed: 6 mm at 2:1, then 6 mm more of size 1: 12 mm, of which 2 mm
    // pass down with the mixture 5:1.
    BedColumn c = column(0.0, 0.5, 0.0, 0.0);
    const double first[] = {0.0, 0.004, 0.002}, second[] = {0.0, 0.006, 0.0};
    EXPECT_TRUE(update_layers(c, first, 2, 0.01).moved);
    EXPECT_NEAR(c.active, 0.006, 1e-15);
    EXPECT_NEAR(c.f[1], 2.0 / 3.0, 1e-14);
    EXPECT_NEAR(update_layers(c, second, 2, 0.01).provisional, 0.012, 1e-15);
    EXPECT_NEAR(c.active + 10.0 * c.inactive, 0.01 + 0.02, 1e-14);
    EXPECT_NEAR(c.f[1] + c.g[1], 10.0 / 6.0, 1e-14);
    EXPECT_NEAR(grains(c, 2), 0.002, 1e-15);

    // 5 mm of size 1 on 10 mm of 40 % over 100 mm of 20 %.
    c = column(0.01, 0.4, 0.1, 0.2);
    const double deposit[] = {0.0, 0.005, 0.0};
    update_layers(c, deposit, 2, 0.01);
    EXPECT_NEAR(c.f[1], 0.009 / 0.015, 1e-14);
    EXPECT_NEAR(c.inactive, 0.105, 1e-15);
    EXPECT_NEAR(c.g[1], (0.02 + 0.005 * 0.6) / 0.105, 1e-14);

    // 4 mm of size 1 leave 10 mm of 40 %: refilled from below at 40 %.
    c = column(0.01, 0.4, 0.1, 0.4);
    const double erode[] = {0.0, -0.004, 0.0};
    update_layers(c, erode, 2, 0.01);
    EXPECT_NEAR(c.active + c.inactive, 0.106, 1e-15);
    EXPECT_NEAR(c.f[1], 0.16, 1e-13);
    EXPECT_EQ(c.g[1], 0.4);
    // With 1 mm below, the active layer thins.
    c = column(0.01, 0.4, 0.001, 0.4);
    update_layers(c, erode, 2, 0.01);
    EXPECT_EQ(c.inactive, 0.0);
    EXPECT_NEAR(c.active, 0.007, 1e-15);
    // 14 mm from 11 mm: 3 mm below the fixed bed; a rounding deficit is none.
    c = column(0.01, 0.4, 0.001, 0.4);
    const double through[] = {0.0, -0.008, -0.006}, all[] = {0.0, -0.004 - 1e-17, -0.006};
    EXPECT_NEAR(update_layers(c, through, 2, 0.01).below_fixed_bed, -0.003, 1e-15);
    EXPECT_EQ(c.active + c.inactive, 0.0);
    c = column(0.01, 0.4, 0.0, 0.4);
    EXPECT_EQ(update_layers(c, all, 2, 0.01).below_fixed_bed, 0.0);

    // Sizes exchanged without net change: the bed stays, the mixture changes.
    c = column(0.01, 0.5, 0.05, 0.5);
    const double exchange[] = {0.0, 0.001, -0.001};
    EXPECT_FALSE(update_layers(c, exchange, 2, 0.01).moved);
    EXPECT_NEAR(c.active, 0.01, 1e-15);
    EXPECT_NEAR(c.f[1], 0.6, 1e-13);
}

TEST(BedLayers, ALongRandomSequenceKeepsEveryGrainVolume)
{
    std::mt19937 random(17);
    std::uniform_real_distribution<double> step(-0.003, 0.003);
    BedColumn c;
    c.active = 0.01, c.inactive = 0.2;
    const double f0[] = {0.0, 0.2, 0.3, 0.5};
    double expected[4];
    for (int l = 1; l <= 3; ++l) {
        c.f[l] = c.g[l] = f0[l];
        expected[l] = grains(c, l);
    }
    for (int n = 0; n < 2000; ++n) {
        double delta[4] = {};
        for (int l = 1; l <= 3; ++l) {
            // Never more of a size than the active layer holds (the bed cell
            // of the driver cannot take more within a step).
            delta[l] = std::max(step(random), -c.f[l] * c.active);
            expected[l] += delta[l];
        }
        const LayerStep s = update_layers(c, delta, 3, 0.01);
        ASSERT_EQ(s.below_fixed_bed, 0.0);
        double sum = 0.0;
        for (int l = 1; l <= 3; ++l) {
            ASSERT_NEAR(grains(c, l), expected[l], 1e-12) << n;
            ASSERT_GE(c.f[l], 0.0);
            sum += c.f[l];
        }
        ASSERT_NEAR(sum, 1.0, 1e-9);
        ASSERT_LE(c.active, 0.01 + 1e-15);
    }
}

TEST(BedLayers, StartUpSplitsTheSedimentAboveTheFixedBed)
{
    test::CaseFolder folder;
    lnumber = 2;
    test::box_grid(5, 5, 4, 1.0, 1.0, 1.0);
    gsize[1] = 0.0002, gsize[2] = 0.02;
    for (int i = 1; i <= 5; ++i)
        for (int j = 1; j <= 5; ++j) Surfaces[3][i][j] = zval[i][j][1] - 0.5;
    // A column eroded to the fixed bed but for a rounding error.
    for (int i = 2; i <= 3; ++i)
        for (int j = 2; j <= 3; ++j) Surfaces[3][i][j] = zval[i][j][1] + 3e-17;
    for (int i = 2; i <= 5; ++i)
        for (int j = 2; j <= 5; ++j) bedgrain[1][i][j] = 0.4, bedgrain[2][i][j] = 0.6;
    ASSERT_FALSE(test::exit_status([] { start_bed_layers(false); }).has_value()) << test::log_tail();
    EXPECT_EQ(maxgrain, 0.02);
    EXPECT_EQ(bedgrain[0][5][5], 0.02);
    EXPECT_NEAR(BedGrainOriginal[0][5][5], 0.48, 1e-12);
    EXPECT_EQ(BedGrainOriginal[2][5][5], 0.6);  // the bed's composition below
    EXPECT_NEAR(BedGrainOriginal[0][4][4], 0.375 - 0.02, 1e-12);  // one corner at the fixed bed
    // Column (3, 3) has all four corners 3e-17 m under the fixed bed: no sediment.
    EXPECT_EQ(bedgrain[0][3][3], 0.0);
    EXPECT_EQ(BedGrainOriginal[0][3][3], 0.0);
    // A bed below the fixed level stops the run.
    Surfaces[3][3][3] = zval[3][3][1] + 0.1;
    EXPECT_EQ(test::exit_status([] { start_bed_layers(false); }), -44);
    EXPECT_TRUE(test::log_ends_with("Error, startup, negative active bed layer at i,j=3 3\n"));
    EXPECT_EQ(test::exit_status([] { start_bed_layers(true); }), -44);
    EXPECT_TRUE(test::log_ends_with("Error, startup, negative bed layer at i,j=3 3\n"));
}

}  // namespace
}  // namespace zefra

namespace zefra {
namespace {

// One water column of a 3 x 3 x 3 box whose bed cell (1 m3) lost `c_old -
// c` of concentration in a step of 10 s with no neighbour exchange: that much
// sediment volume settled on its 1 m2.
void settle(double c_old, double c)
{
    for (int i = 2; i <= 3; ++i)
        for (int j = 2; j <= 3; ++j) {
            conc_old[1][i][j][2] = c_old;
            conc[1][i][j][2] = c;
        }
    morphology_fractions();
}

TEST(BedLayers, ColumnChangeFromTheBedCellBalance)
{
    test::CaseFolder folder;
    FlagTSC = 1;
    TimeStep = 10.0;
    test::box_grid(4, 4, 4, 1.0, 1.0, 1.0);
    ASSERT_TRUE(conc_old);
    OBlok.fill(1);
    ConvCoef = 0.5;
    maxgrain = 0.01;
    for (int i = 2; i <= 3; ++i)
        for (int j = 2; j <= 3; ++j) bedgrain[0][i][j] = 0.01, bedgrain[1][i][j] = 1.0;
    // 0.001 m3 of sediment on 1 m2 of a bed of half grains: 2 mm of bed.
    settle(0.002, 0.001);
    EXPECT_NEAR(bedlevchange[1][3][3], 0.002, 1e-15);
    EXPECT_NEAR(BedMove[3][3], 0.002, 1e-15);
    EXPECT_NEAR(BedGrainOriginal[0][3][3], 0.002, 1e-15);
    // Each step starts the change afresh; a step without change leaves 0.
    settle(0.001, 0.001);
    EXPECT_EQ(BedMove[3][3], 0.0);
    // With the flow frozen (F 68 2) the change adds up over the call, and a
    // step without change keeps it.
    Hydrostatic = 2;
    settle(0.002, 0.001);
    settle(0.002, 0.001);
    settle(0.001, 0.001);
    EXPECT_NEAR(BedMove[3][3], 0.004, 1e-15);
    EXPECT_NEAR(BedGrainOriginal[0][3][3], 0.006, 1e-15);
}

}  // namespace
}  // namespace zefra
