// Pressure correction and residuals on small grids: the gradient force of a
// linear pressure, a zero correction changing nothing, fixed boundary fluxes,
// SIMPLE against SIMPLEC, and the normalised residuals.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/flow3d/pressure_correction.h"
#include "engine/flow3d/residuals.h"
#include "engine/grid/multiblock.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_surface.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

void channel_box()
{
    test::box_grid(8, 6, 5, 2.0, 1.0, 0.5);
    smetric();
}

TEST(PressureCorrection, LinearPressureGivesTheForceOfItsGradient)
{
    test::CaseFolder folder;
    channel_box();
    // p = 30 x - 20 y + 100 z at the cell centres.
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j)
            for (int k = 0; k <= znumber + 1; ++k) Pres[i][j][k] = 30.0 * 2.0 * i - 20.0 * j + 100.0 * 0.5 * k;
    const double volume = 2.0 * 1.0 * 0.5;
    for (int e = 1; e <= 3; ++e) {
        source.fill(0.0);
        Equation = e;
        pressure_source();
        const double expected[] = {-30.0 * volume, 20.0 * volume, -100.0 * volume};
        for (int i : {2, 4, 8})
            for (int k : {2, 3, 5}) EXPECT_NEAR(source[i][3][k], expected[e - 1], 1e-9) << e << " " << i << " " << k;
    }
    Equation = 4;
    EXPECT_EQ(test::exit_status(pressure_source), 0);
}

TEST(PressureCorrection, ZeroCorrectionChangesNothingAndBoundaryFluxesStay)
{
    test::CaseFolder folder;
    channel_box();
    xvel.fill(0.7);
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j)
            for (int k = 0; k <= znumber + 1; ++k) flow1[i][j][k] = 100.0 + i;
    invAP.fill(0.01);
    relaxPressure = 0.2;
    Pres.fill(5.0);
    Field3 correction;
    long bytes = 0;
    ASSERT_TRUE(allocate_field(correction, {xnumber + 3, ynumber + 3, znumber + 3}, bytes));
    f = correction;
    SimpleCorrections();
    EXPECT_EQ(flow1[4][3][3], 104.0);
    EXPECT_EQ(xvel[4][3][3], 0.7);
    EXPECT_EQ(Pres[4][3][3], 5.0);
    // A correction field: the inner faces change, the boundary faces do not.
    for (int i = 0; i <= xnumber + 2; ++i)
        for (int j = 0; j <= ynumber + 2; ++j)
            for (int k = 0; k <= znumber + 2; ++k) correction[i][j][k] = 10.0 * i;
    SimpleCorrections();
    EXPECT_EQ(flow1[1][3][3], 101.0);
    EXPECT_EQ(flow1[xnumber][3][3], 100.0 + xnumber);
    const double area = 1.0 * 0.5;
    EXPECT_NEAR(flow1[4][3][3], 104.0 + 1000.0 * area * area * 0.01 * (40.0 - 50.0), 1e-9);
    EXPECT_NEAR(Pres[4][3][3], 5.0 + 0.2 * 40.0, 1e-12);
    EXPECT_LT(xvel[4][3][3], 0.7);  // the correction pushes towards lower p'
}

TEST(PressureCorrection, SimplecUsesItsOwnCoefficientInBothSteps)
{
    test::CaseFolder folder;
    simple = 'C';
    channel_box();
    ASSERT_TRUE(invAPC);
    invAP.fill(0.01);
    invAPC.fill(0.05);
    flow1.fill(0.0);
    flow1[3][3][3] = 50.0;  // a defect in cells 3 and 4
    pressure_correction();
    const double area = 1.0 * 0.5;
    EXPECT_NEAR(aw[3][3][3], 1000.0 * area * area * 0.05, 1e-12);
    EXPECT_EQ(ae[2][3][3], 0.0);  // the inflow face is fixed
    EXPECT_EQ(aw[xnumber][3][3], 0.0);
    EXPECT_DOUBLE_EQ(source[3][3][3], -50.0);
    EXPECT_DOUBLE_EQ(source[4][3][3], 50.0);
}

TEST(PressureCorrection, TransientSurfaceKeepsTheTopDefect)
{
    test::CaseFolder folder;
    FlagTFS = 1;
    channel_box();
    invAP.fill(0.01);
    flow3.fill(0.0);
    flow3[3][3][znumber - 1] = 7.0;
    pressure_correction();
    EXPECT_DOUBLE_EQ(zvel[3][3][0], 7.0);
}

TEST(Residuals, ExactFieldHasNoResidualAndUnsetScalesStopTheRun)
{
    test::CaseFolder folder;
    channel_box();
    for (Field3* a : {&ae, &aw, &as, &an, &wab, &wat}) a->fill(1.0);
    wap.fill(6.0);
    source.fill(0.0);
    xvel.fill(2.5);  // satisfies 6 phi = sum of the six neighbours
    f = xvel;
    Equation = 1;
    NormResidual[1] = 10.0;
    Residual();
    EXPECT_EQ(MaxResidual[1], 0.0);
    source[3][3][3] = 4.0;
    Residual();
    EXPECT_DOUBLE_EQ(MaxResidual[1], 0.4);
    // A cell held by a huge central coefficient (an out-block, a wall epsilon
    // cell) solves no equation: its defect is left out.
    wap[3][3][3] = 1e30;
    Residual();
    EXPECT_EQ(MaxResidual[1], 0.0);
    wap[3][3][3] = 6.0;
    NormResidual[2] = 0.0;
    Equation = 2;
    EXPECT_EQ(test::exit_status(Residual), 0);
    EXPECT_TRUE(test::log_ends_with("Error residual not set\n"));
}

TEST(Residuals, LargeResidualsAreReportedBelowTheInputErrorLimit)
{
    test::CaseFolder folder;
    channel_box();
    source.fill(0.0);
    wap.fill(1.0);
    f = xvel;
    source[4][3][3] = 1.0;
    Equation = 4;
    NormResidual[4] = 1.0;
    InputErrorLimit = 1.0;
    Residual();
    EXPECT_NE(test::log_text().find("Large residual for f(4,3,3,4)\nf = 0.000000e+00, source = 1.000000e+00, wap = 1.000000e+00\n"), std::string::npos);
    EXPECT_DOUBLE_EQ(MaxResidual[4], 1.0);
}

}  // namespace
}  // namespace zefra
