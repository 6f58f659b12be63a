// Bed concentration formulas on a column 2 m deep (five cells of 0.4 m, the
// reference level a = 0.2 m) with 1 m/s along x, against hand values worked
// out from the published formulas (numbers below from a few lines of
// Python; the engine takes the cube root of D* as the power 0.3333).
#include <gtest/gtest.h>

#include <cmath>

#include "engine/common/run_exit.h"
#include "engine/grid/metric.h"
#include "engine/sediment/bed_concentration.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_turbulence.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

void river_column(int sizes, double d, double w, double shear)
{
    lnumber = sizes;
    test::box_grid(4, 4, 6, 10.0, 10.0, 0.4);
    OBlok.fill(1);
    xvel.fill(1.0);
    bedshear.fill(shear);
    ManArray[0] = 40.0;
    gsize[1] = d;
    fallvelo[1] = w;
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j) bedgrain[1][i][j] = 1.0;
}

double bed(int l = 1)
{
    return conc[l][3][3][0];
}

// d = 0.2 mm, s = 2.65, tau = 1 N/m2:  tau_c = 1.65 * 0.047 * 9810 * d =
// 0.1521531, T = 5.5723275, D* = (1.65 * 9.81e12)^0.3333 d = 5.0540633.
TEST(BedConcentration, VanRijnReferenceConcentrationAndBedLoad)
{
    test::CaseFolder folder;
    river_column(1, 0.0002, 0.02, 1.0);
    concRijn();
    EXPECT_NEAR(bed() / 1.2135397428e-04, 1.0, 1e-6);  // 0.015 d T^1.5 / (a D*^0.3)
    EXPECT_EQ(conc[1][1][3][0], bed());                 // the inflow row too

    BedLoadFlag = 1;  // 0.053 sqrt(1.65 g) d^1.5 T^2.1 / (D*^0.3 |u| 2a)
    concRijn();
    EXPECT_NEAR(bed() / 3.4191808399e-05, 1.0, 1e-6);
    BedLoadFlag = 2;
    concRijn();
    EXPECT_NEAR(bed() / (1.2135397428e-04 + 3.4191808399e-05), 1.0, 1e-6);

    // Shields curve at Re = sqrt(0.3 k) d / nu = 10: theta_c = 10^-1.4657397.
    BedLoadFlag = 0;
    shieldscoeff = -0.047;
    kinen.fill(0.05 * 0.05 / 0.3);
    concRijn();
    EXPECT_NEAR(bed() / 2.0982221121e-04, 1.0, 1e-6);

    // Nothing below the critical shear, in a blocked bed cell, or above MaxBedConc.
    shieldscoeff = 0.047;
    bedshear[3][3] = 0.15;
    OBlok[3][4][2] = 0;
    MaxBedConc = 1e-4;
    concRijn();
    EXPECT_EQ(bed(), 0.0);
    EXPECT_EQ(conc[1][3][4][0], 0.0);
    EXPECT_EQ(conc[1][4][3][0], 1e-4);
}

TEST(BedConcentration, D90BedFormsAndRoughness)
{
    {
        test::CaseFolder folder;
        river_column(1, 0.0002, 0.02, 1.0);
        FlagRoughness = 3;
        XksWall = 0.01;
        for (int j = 0; j <= ynumber + 1; ++j) bedgrain[0][3][j] = 1.0;  // 1 m of sediment
        bedgrain[0][3][4] = 1e-4;                                         // thinner than D90
        concRijn();
        EXPECT_EQ(D90a[3][3], 0.0002);  // one size: its diameter
        // 0.11 h (d/h)^0.3 (1 - e^-T/2) (25 - T), and ks = 1.1 H (1 - e^(-25 H / 7.3 h)) + 3 D90.
        EXPECT_NEAR(Bedformheight[3][3] / 2.5304918181e-01, 1.0, 1e-9);
        EXPECT_NEAR(Xks[3][3] / 9.8479391167e-02, 1.0, 1e-9);
        EXPECT_EQ(Xks[3][4], 0.01);  // 3 t = 3e-4 is less than the wall roughness
    }
    // Sizes 2, 1 and 0.5 mm with fractions 0.1, 0.5, 0.4: finer than the class
    // middles 0.2 (0.5 mm), 0.65 (1 mm), 0.95 (2 mm); 0.9 lies 5/6 of the way to 2 mm.
    test::CaseFolder folder;
    river_column(3, 0.002, 0.02, 1.0);
    const double size[] = {0, 0.002, 0.001, 0.0005}, share[] = {0, 0.1, 0.5, 0.4};
    for (int l = 1; l <= 3; ++l) {
        gsize[l] = size[l];
        bedgrain[l][3][3] = share[l];
    }
    concRijn();
    EXPECT_NEAR(D90a[3][3], 0.001 + 0.001 * 0.25 / 0.30, 1e-15);
}

// Bed inclined along x: cos(beta) sqrt(1 - (tan beta / tan 0.942)^2), at least cos(beta) sqrt(0.19).
TEST(BedConcentration, SlopeFactorOfTheCriticalShear)
{
    const double angle[] = {10, 30, 45, 55}, factor[] = {0.9766766347, 0.7859825523, 0.4853216925, 0.2500161722};
    for (int n = 0; n < 4; ++n) {
        test::CaseFolder folder;
        const double slope = std::tan(angle[n] * M_PI / 180.0);
        test::make_grid(
            5, 4, 4, [](int i, int) { return 1.0 * (i - 1); }, [](int, int j) { return 1.0 * (j - 1); },
            [slope](int i, int, int k) { return slope * (i - 1) + 0.5 * (k - 1); });
        metric();
        bedslope_corr();
        EXPECT_NEAR(bedslope_correction[3][3], factor[n], 1e-9) << angle[n] << " degrees";
        EXPECT_EQ(bedslope_correction[1][3], 1.0);
    }
}

// A fall velocity of 5 m/s keeps every cell above the bed cell empty, so the
// flux of a unit bed concentration is that of the bed cell, 1 m/s * 0.4 m.
// theta = 1 / (1.65 * 9810 * 0.0002) = 0.3088994.
TEST(BedConcentration, TransportRatesOverTheBedCellFlux)
{
    test::CaseFolder folder;
    river_column(1, 0.0002, 5.0, 1.0);
    const double unit_flux = 2650.0 * 0.4;  // rho_s F
    SedimentFormula = 'E';  // 0.05 rho_s U^2 sqrt(d / (1.65 g)) theta^1.5 = 0.0799613 kg/(m s)
    concEngelund();
    EXPECT_NEAR(bed() * unit_flux / 0.07996132453, 1.0, 1e-6);
    SedimentFormula = 'M';  // 8 (theta - 0.047)^1.5 in shear terms: 0.02578 s/(s-1) (tau - tau_c)^1.5 = 0.0323237 kg/(m s)
    concEngelund();
    EXPECT_NEAR(bed() * unit_flux / 0.03232369481, 1.0, 1e-6);
    SedimentFormula = 'I';  // 40 F_R theta^3 rho_s sqrt(1.65 g d^3), Rubey's F_R
    concEngelund();
    EXPECT_NEAR(bed() / 1.4914902613e-05, 1.0, 1e-6);

    // Einstein's formula cannot spread the load over a bed cell without flow
    // when the cells above carry sediment.
    fallvelo[1] = 0.02;
    for (int j = 0; j <= ynumber + 1; ++j) xvel[3][j][2] = 0.0;
    EXPECT_EQ(test::exit_status(concEngelund), 1);
    EXPECT_TRUE(test::log_ends_with("Einsteins formula not valid for this situation"));
}

// An ordinary sand river: d = 0.3 mm, w = 0.04 m/s, h = 2 m, U = 1 m/s,
// tau = 3 N/m2 (S = 1.53e-4), Strickler 40.  The flux of a unit bed
// concentration with the Rouse profile (Z = 1.826) over the log law is
// F = 0.43289 m2/s; the total-load formulas give the concentration of the
// water discharge U h: Ackers-White 0.14823 kg/m3, Shen-Hung 59.80 ppm, Yang
// 65.61 ppm, each turned into kg/(m s) by U h and divided by rho_s F.
TEST(BedConcentration, TotalLoadFormulasOnASandRiver)
{
    test::CaseFolder folder;
    river_column(1, 0.0003, 0.04, 3.0);
    const char formula[] = {'A', 'S', 'Y'};
    const double expected[] = {2.5842822245e-04, 1.0425344943e-04, 1.1438230308e-04};
    for (int n = 0; n < 3; ++n) {
        SedimentFormula = formula[n];
        concEngelund();
        EXPECT_NEAR(bed() / expected[n], 1.0, 1e-6) << formula[n];
    }
}

}  // namespace
}  // namespace zefra
