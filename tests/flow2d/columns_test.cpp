// The columns of the depth-averaged solver on small grids: the pressure
// correction of the columns removes every column's mass defect, the depth
// averages and the spread to the cells are each other's inverse for the
// fluxes, column walls need a wall over the whole depth, and the bed and
// side-wall friction and the bed turbulence against hand values.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/flow2d/column_fields.h"
#include "engine/flow2d/column_kernels.h"
#include "engine/flow2d/column_turbulence.h"
#include "engine/grid/metric.h"
#include "engine/grid/multiblock.h"
#include "engine/startup/flow_startup.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

// 9 x 5 columns of 2 m x 1 m, 2 m deep in four layers of 0.5 m.
void columns_box()
{
    test::box_grid(10, 6, 5, 2.0, 1.0, 0.5);
    smetric();
    OBlok.fill(1);
    Xkappa = 0.4;
}

double net_outflow(int i, int j)
{
    return flow1[i][j][0] - flow1[i - 1][j][0] + flow2[i][j][0] - flow2[i][j - 1][0];
}

TEST(Columns, PressureCorrectionRemovesEveryMassDefect)
{
    test::CaseFolder folder;
    columns_box();
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            xvel[i][j][0] = 1.0 + 0.3 * std::sin(1.3 * i + 0.7 * j);
            yvel[i][j][0] = 0.2 * std::cos(0.9 * i - 1.1 * j);
        }
    for (int j = 2; j <= ynumber; ++j) xvel[1][j][0] = xvel[xnumber + 1][j][0] = 1.0;  // as much out as in
    invAP.fill(0.01);
    relaxVelocity = 0.8;
    relaxPressure = 1.0;
    flow1.fill(-7.0);  // the cells' fluxes: the columns must not touch them
    waterflow2D();
    EXPECT_NEAR(flow1[1][3][0], 1000.0 * 2.0 * 1.0, 1e-9);  // whole column face, 2 m x 1 m
    double largest = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) largest = std::max(largest, std::fabs(net_outflow(i, j)));
    ASSERT_GT(largest, 100.0);

    pressure_correction2D();
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            wap[i][j][0] = ae[i][j][0] + aw[i][j][0] + an[i][j][0] + as[i][j][0];
            iAp[i][j][0] = 1.0 / wap[i][j][0];
        }
    Field3 correction;
    long bytes = 0;
    ASSERT_TRUE(allocate_field(correction, {xnumber + 3, ynumber + 3, znumber + 3}, bytes));
    f = correction;
    Equation = 4;
    blockcorr[4] = 1;
    for (int sweep = 0; sweep < 200; ++sweep) {
        BlockCorrection2D();
        WaterGaussSeidel2D();
    }
    SimpleCorrections2D();
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) EXPECT_NEAR(net_outflow(i, j), 0.0, 1e-6) << i << " " << j;
    for (int k = 1; k <= znumber; ++k) EXPECT_EQ(flow1[4][3][k], -7.0);

    // The columns have no vertical momentum equation.
    Equation = 3;
    EXPECT_EQ(test::exit_status(pressure_source2D), -4);
    EXPECT_TRUE(test::log_ends_with("Error in pressure_source2D, Equation = 3\n"));
}

// Layers 0.2, 0.4, 0.6 and 0.8 m thick.
void uneven_layers()
{
    test::make_grid(
        6, 4, 5, [](int i, int) { return 2.0 * (i - 1); }, [](int, int j) { return 1.0 * (j - 1); },
        [](int, int, int k) { return 0.1 * (k - 1) * k; });
    metric();
}

TEST(Columns, FluxesSumOverTheDepthAndSpreadBackByArea)
{
    test::CaseFolder folder;
    uneven_layers();
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j)
            for (int k = 2; k <= znumber; ++k) {
                xvel[i][j][k] = 0.5 * k;
                flow1[i][j][k] = 100.0 * k;
            }
    depth_average_flow();
    EXPECT_DOUBLE_EQ(xvel[3][2][0], 0.5 * (2 + 3 + 4 + 5) / 4.0);
    EXPECT_DOUBLE_EQ(flow1[3][2][0], 100.0 * (2 + 3 + 4 + 5));  // kg/s through the whole column

    // The inflow column carries the discharge of its cells, not A times their mean speed.
    FlagDepthAveraged = 0;
    start_columns();
    double cells = 0.0;
    for (int k = 2; k <= znumber; ++k) cells += m_ar_x[1][2][k] * xvel[1][2][k];
    EXPECT_NEAR(m_ar_x[1][2][0] * xvel[1][2][0], cells, 1e-12);
    EXPECT_EQ(FlagDepthAveraged, 1);

    flow1[3][2][0] = 1400.0;
    spread_columns();
    double sum = 0.0;
    for (int k = 2; k <= znumber; ++k) {
        sum += flow1[3][2][k];
        EXPECT_NEAR(flow1[3][2][k] / m_ar_x[3][2][k], 1400.0 / m_ar_x[3][2][0], 1e-9);
        EXPECT_EQ(xvel[3][2][k], xvel[3][2][0]);
    }
    EXPECT_NEAR(sum, 1400.0, 1e-9);
}

TEST(Columns, WallsAndOutBlocksMustFillTheWholeDepth)
{
    test::CaseFolder folder;
    columns_box();
    for (int k = 2; k <= znumber; ++k) WallJ[4][2][k] = 1;  // a side wall
    for (int k = 2; k <= 3; ++k) WallI[6][3][k] = -1;       // a sill: the water passes above it
    OutBlockNo = 2;
    OutBlock[1] = {1, 3, 3, 4, 4, 2, znumber};  // a pier
    OutBlock[2] = {1, 7, 7, 4, 4, 2, 3};        // a submerged block
    column_walls();
    EXPECT_EQ(WallJ[4][2][0], 1);
    EXPECT_EQ(Wall[4][2][0], 1);
    EXPECT_EQ(WallI[6][3][0], 0);
    EXPECT_EQ(Wall[6][3][0], 0);
    EXPECT_EQ(OBlok[3][4][0], 0);
    EXPECT_EQ(OBlok[7][4][0], 1);
}

TEST(Columns, FrictionAndBedTurbulenceAgainstHandValues)
{
    test::CaseFolder folder;
    columns_box();
    Xks.fill(0.05);
    XksJ1 = XksJ2 = XksWall = 0.01;
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j) xvel[i][j][0] = 1.5;
    // Strickler: M = 26 / ks^(1/6), c_f = g / (M^2 h^(1/3)) for a depth of 2 m.
    const double m = 26.0 / std::pow(0.05, 1.0 / 6.0);
    const double cf = 9.81 / (m * m * std::cbrt(2.0));
    EXPECT_NEAR(bed_friction_coefficient(4, 3), cf, 1e-12);

    // k and epsilon in balance with the bed: nu_t = u* h / 12.96.
    double k = 0.0, eps = 0.0;
    bed_equilibrium_turbulence(4, 3, k, eps);
    EXPECT_NEAR(0.09 * k * k / eps, std::sqrt(cf) * 1.5 * 2.0 / 12.96, 1e-4);

    // x momentum of a column at the side wall j = 1: bed friction on the plan
    // area of 2 m2, and the log law of the wall 0.5 m away on its 4 m2 face
    // (the whole of u runs along the wall).
    WallJ[4][2][0] = 1;
    wap.fill(0.0);
    source.fill(0.0);
    Equation = 1;
    wallall2D();
    const double wall_law = std::log(30.0 * 0.5 / 0.01) / 0.4;
    EXPECT_NEAR(wap[4][2][0], 1000.0 * cf * 1.5 * 2.0 + 1000.0 * 1.5 * 4.0 / (wall_law * wall_law), 1e-9);
    EXPECT_NEAR(wap[4][3][0], 1000.0 * cf * 1.5 * 2.0, 1e-9);
    EXPECT_EQ(source[4][3][0], 0.0);

    // Uniform flow: no shear production, dissipation rho V eps / k, and the
    // bed's work rho c_f U^3 on the plan area as the production of k.
    kinen.fill(0.01);
    epsilon.fill(0.002);
    wap.fill(0.0);
    source.fill(0.0);
    Equation = 5;
    GammaCalc2D();
    turbulence2D();
    EXPECT_NEAR(source[4][3][0], 0.0, 1e-12);
    EXPECT_NEAR(wap[4][3][0], 1000.0 * 4.0 * 0.002 / 0.01, 1e-9);
    wallall2D();
    EXPECT_NEAR(source[4][3][0], 1000.0 * cf * 1.5 * 1.5 * 1.5 * 2.0, 1e-9);
}

}  // namespace
}  // namespace zefra
