// The suspended-sediment solver on small grids built in memory: the
// vertical equilibrium of one column, the bed-cell variants of F 30, and a
// closed basin with an out-block that must neither gain nor lose sediment.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

#include "engine/sediment/morphology.h"
#include "engine/sediment/sediment_coefficients.h"
#include "engine/sediment/sediment_solvers.h"
#include "engine/sediment/size_equation.h"
#include "engine/sediment/suspended_sediment.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state.h"
#include "engine/state/state_sediment.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

// Still water, constant diffusivity, a bed concentration under every column.
void still_water(double diffusivity, double bed_concentration)
{
    for (Field3* f : {&flow1, &flow2, &flow3}) f->fill(0.0);
    diff.fill(diffusivity);
    OBlok.fill(1);
    for (int l = 1; l <= lnumber; ++l)
        for (int i = 0; i <= xnumber + 1; ++i)
            for (int j = 0; j <= ynumber + 1; ++j) {
                bedgrain[l][i][j] = 1.0;
                conc[l][i][j][0] = conc[l][i][j][2] = bed_concentration;
            }
}

// With constant diffusivity G and fall velocity w the exact equilibrium
// falls by exp(-w dz / G) per cell; the power-law scheme gives
// A / (A + P), P = w dz / G, A = (1 - 0.1 P)^5: close to it for small P.
TEST(SuspendedSediment, OneColumnEquilibriumFollowsTheExponential)
{
    test::CaseFolder folder;
    lnumber = 2;
    test::box_grid(2, 2, 21, 1.0, 1.0, 0.1);  // one column of 20 cells, dz = 0.1 m
    const double gamma = 0.01, fall[] = {0, 0.05, 0.2};
    fallvelo[1] = fall[1];
    fallvelo[2] = fall[2];
    still_water(gamma, 0.01);
    coeffe_setup();
    coeffe_setup2();
    FlagSedimSolver = 1;  // the verticals in one line solve
    iter_morph = 1;
    suspsed();
    for (int l = 1; l <= 2; ++l) {
        const double P = fall[l] * 0.1 / gamma, A = std::pow(1.0 - 0.1 * P, 5);
        for (int k = 2; k < znumber; ++k) {
            const double ratio = conc[l][2][2][k + 1] / conc[l][2][2][k];
            EXPECT_NEAR(ratio, A / (A + P), 1e-12) << "size " << l << " k " << k;
            // The power law's own error: 0.15 % at P = 0.5, 4 % at P = 2.
            EXPECT_NEAR(ratio / std::exp(-P), 1.0, P < 1 ? 0.002 : 0.045);
        }
        EXPECT_DOUBLE_EQ(conc[l][2][2][2], 0.01);
    }

    // The point solver reaches the same state.
    FlagSedimSolver = 0;
    iter_morph = 400;
    conv_morph = 1e-12;
    const double top = conc[1][2][2][znumber];
    for (int k = 3; k <= znumber; ++k) conc[1][2][2][k] = 0.0;
    suspsed();
    EXPECT_NEAR(conc[1][2][2][znumber] / top, 1.0, 1e-6);
}

// The bed cell of one column, with its coefficients set by hand: it gets
// 1 x 0.004 from upstream, 0.5 x 0.002 from downstream and 2 x c3 from above
// (in = 0.007 with c3 = 0.001: c_nb = in / 3.5 = 0.002); its neighbours take
// 1.5 and 1.0 from it (c_bal = in / 2.5 = 0.0028); c_bed = 0.01.
TEST(SuspendedSediment, BedCellVariants)
{
    test::CaseFolder folder;
    test::box_grid(2, 2, 5, 1.0, 1.0, 0.5);
    OBlok.fill(1);
    struct Case {
        int flag2, flag3, flag4;
        double c3, fraction, bed, new_fraction;
    } const cases[] = {
        {0, 0, 0, 0.001, 0.25, 0.0025, 0.25},                     // c_eq above c_nb
        {0, 0, 0, 0.001, 0.1, 0.002, 0.1},                        // the flow brings more: c_nb
        {1, 0, 0, 0.006, 0.25, 0.006, 0.25},                      // at least the cell above
        {2, 0, 0, 0.006, 0.25, 0.004 + 0.5 * 0.017 / 3.5, 0.25},  // (2 c3 - c4 + c_nb) / 2
        {0, 1, 0, 0.001, 0.25, 0.0025, 0.25},                     // min(c2, c_bal)
        {0, 2, 0, 0.001, 0.25, 0.0028, 0.25},                     // c_bal
        {0, 3, 0, 0.001, 0.25, 0.0028, 0.28},                     // c_bal, fraction c_bal / c_bed
        {0, 4, 0, 0.001, 0.25, 0.0028, 0.28},                     // max(c2, min(c_bed, c_bal))
        {0, 0, 1, 0.001, 1.0, 0.004, 1.0},                        // at most the largest boundary value
    };
    for (const Case& c : cases) {
        BedFlags[2] = c.flag2;
        BedFlags[3] = c.flag3;
        BedFlags[4] = c.flag4;
        ae[2][2][2] = 1.0;
        aw[2][2][2] = 0.5;
        at[1][2][2][2] = 2.0;
        ae[3][2][2] = 1.5;
        ab[1][2][2][3] = 1.0;
        conc[1][1][2][2] = 0.004;
        conc[1][3][2][2] = 0.002;
        conc[1][2][2][3] = c.c3;
        conc[1][2][2][4] = 0.004;
        conc[1][2][2][0] = 0.01;
        bedgrain[1][2][2] = c.fraction;
        bed_cell_condition(1);
        EXPECT_NEAR(conc[1][2][2][2], c.bed, 1e-15) << c.flag2 << c.flag3 << c.flag4;
        EXPECT_NEAR(bedgrain[1][2][2], c.new_fraction, 1e-12) << c.flag2 << c.flag3 << c.flag4;
    }
}

// The second-order upwind scheme of F 27 1 against exact solutions, with
// neither settling nor diffusion: a linear concentration is reproduced in
// every suspended cell whose upwind pairs lie inside, on a random
// divergence-free flow (the bed row and the faces next to it stay
// first-order); and a step carried at 45 degrees over the cells stays
// sharper than under the first-order scheme.
TEST(SuspendedSediment, SecondOrderUpwindIsExactForLinearFieldsAndKeepsAStepSharp)
{
    test::CaseFolder folder;
    SedimentScheme = 1;
    test::box_grid(12, 10, 11, 2.0, 1.0, 0.5);
    ASSERT_TRUE(second_order_sediment());
    still_water(0.0, 0.0);
    fallvelo[1] = 0.0;
    std::mt19937 random(11);
    std::uniform_real_distribution<double> value(-300.0, 300.0);
    Field3 psi = invAP, chi = iAp;  // two spare arrays
    for (Field3 a : {psi, chi})
        for (std::size_t m = 0; m < a.size(); ++m) a.data()[m] = value(random);
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j)
            for (int k = 1; k <= znumber; ++k) {
                flow1[i][j][k] = psi[i][j][k] - psi[i][j - 1][k];
                flow2[i][j][k] = -(psi[i][j][k] - psi[i - 1][j][k]) + chi[i][j][k] - chi[i][j][k - 1];
                flow3[i][j][k] = -(chi[i][j][k] - chi[i][j - 1][k]);
            }
    coeffe_setup();
    coeffe_setup2();
    auto linear = [](double x, double y, double z) { return 0.3 * x - 1.2 * y + 2.0 * z; };
    const Field3 c = conc[1];
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j)
            for (int k = 0; k <= znumber + 1; ++k) c[i][j][k] = linear(2.0 * (i - 1.5), j - 1.5, 0.5 * (k - 1.5));
    double worst = 0.0, scale = 0.0, second = 0.0;
    for (int i = 4; i <= xnumber - 2; ++i)
        for (int j = 4; j <= ynumber - 2; ++j)
            for (int k = 5; k <= znumber - 2; ++k) {
                const double xc = 2.0 * (i - 1.5), yc = j - 1.5, zc = 0.5 * (k - 1.5);
                const double out = 0.001 * (flow1[i][j][k] * linear(xc + 1.0, yc, zc) - flow1[i - 1][j][k] * linear(xc - 1.0, yc, zc) +
                                            flow2[i][j][k] * linear(xc, yc + 0.5, zc) - flow2[i][j - 1][k] * linear(xc, yc - 0.5, zc) +
                                            flow3[i][j][k] * linear(xc, yc, zc + 0.25) - flow3[i][j][k - 1] * linear(xc, yc, zc - 0.25));
                const double in = horizontal_terms(c, i, j, k) + ab[1][i][j][k] * c[i][j][k - 1] + at[1][i][j][k] * c[i][j][k + 1] +
                                  second_neighbour_terms(1, c, i, j, k);
                worst = std::max(worst, std::fabs(ap[1][i][j][k] * c[i][j][k] - out - in));
                scale = std::max(scale, ap[1][i][j][k] * std::fabs(c[i][j][k]));
                second = std::max({second, std::fabs(aee[i][j][k]), std::fabs(catt[1][i][j][k]), std::fabs(cabb[1][i][j][k])});
            }
    EXPECT_GT(second, 0.01);
    EXPECT_LT(worst, 1e-12 * scale);
    // Nothing second-order touches the bed row or crosses the bed face.
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            EXPECT_EQ(aee[i][j][2], 0.0);
            EXPECT_EQ(ann[i][j][2], 0.0);
            EXPECT_EQ(cabb[1][i][j][3], 0.0);
            EXPECT_EQ(cabb[1][i][j][4], 0.0);
            EXPECT_EQ(catt[1][i][j][2], 0.0);
        }

    // The step: 1 from the west boundary, 0 from the south one, carried at
    // 45 degrees over 30 x 30 cells; its width across the middle column
    // (cells between 0.1 and 0.9) in the layer above the bed row.
    int width[2] = {0, 0};
    for (int scheme : {0, 1}) {
        reset_state();
        SedimentScheme = 1;
        test::box_grid(31, 31, 4, 1.0, 1.0, 1.0);
        still_water(0.0, 0.0);
        SedimentScheme = scheme;
        flow1.fill(1000.0);
        flow2.fill(1000.0);
        flow3.fill(0.0);
        coeffe_setup();
        coeffe_setup2();
        const Field3 step = conc[1];
        for (int j = 1; j <= ynumber + 1; ++j) step[1][j][3] = 1.0;
        for (int n = 0; n < 200; ++n) gauss_seidel_size(1);
        for (int j = 2; j <= ynumber; ++j) {
            const double v = step[16][j][3];
            if (v > 0.1 && v < 0.9) ++width[scheme];
            EXPECT_GT(v, -0.05);
            EXPECT_LT(v, 1.05);
        }
    }
    std::printf("sediment step at 45 degrees: %d cells wide by the first-order scheme, %d by second-order upwind\n", width[0], width[1]);
    EXPECT_LT(width[1], width[0] / 2);
}

// A closed basin of still water over an erodible bed with a blocked box in
// it: at equilibrium the bed neither gives nor takes sediment, and none of
// it enters the blocked cells.  A blocked cell that still took sediment by
// diffusion would drain the basin through the bed forever.
TEST(SuspendedSediment, ClosedBasinWithAnOutBlockExchangesNothing)
{
    test::CaseFolder folder;
    test::box_grid(5, 5, 7, 1.0, 1.0, 0.25);
    fallvelo[1] = 0.002;
    still_water(0.002, 0.01);
    for (int k = 3; k <= 4; ++k) OBlok[3][3][k] = 0;  // a box in the middle of the water
    coeffe_setup();
    coeffe_setup2();
    EXPECT_EQ(ap[1][3][3][3], 1e25);
    // The cell on the box stops what settles onto it; the one under it gets nothing from above.
    EXPECT_EQ(ab[1][3][3][5], 0.0);
    EXPECT_NEAR(ap[1][3][3][5], ae[3][3][5] + aw[3][3][5] + as[3][3][5] + an[3][3][5] + at[1][3][3][5] - 0.002, 1e-15);
    EXPECT_EQ(at[1][3][3][2], 0.0);
    EXPECT_EQ(aw[2][3][3], 0.0);
    iter_morph = 3000;
    conv_morph = 1e-13;
    suspsed();
    double exchange = 0.0, gross = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (OBlok[i][j][2] == 0) continue;
            const double settles = at[1][i][j][2] * conc[1][i][j][3], rises = ab[1][i][j][3] * conc[1][i][j][2];
            exchange += settles - rises;
            gross += settles;
        }
    EXPECT_LT(std::fabs(exchange), 1e-8 * gross);
    EXPECT_EQ(conc[1][3][3][3], 0.0);
    EXPECT_GT(conc[1][3][3][5], conc[1][2][3][5]);  // sediment gathers on the box

    // A size that neither settles nor diffuses has no equation: reported.
    fallvelo[1] = 0.0;
    diff.fill(0.0);
    coeffe_setup();
    coeffe_setup2();
    EXPECT_EQ(FlagErrorBreak, 1);
    EXPECT_NE(test::log_text().find("In cofe2: Error, ap(1,2,2,2) = 0\nCoeffs: 0 0 0 0 0 0\n"), std::string::npos);

    // Letter S without the set-up of letter I has nothing to solve.
    conc[1][2][2][5] = 0.5;
    morphology();
    EXPECT_EQ(conc[1][2][2][5], 0.5);
    EXPECT_TRUE(test::log_ends_with("Error, no sediment set-up (letter I) before letter S: no sediment computed\n"));
}

}  // namespace
}  // namespace zefra
