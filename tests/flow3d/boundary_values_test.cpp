// Boundary values: the default outflow keeps continuity, backflow turns into
// a small outflow, openings are scaled to their discharge, the free surface
// takes no flow, and open sides let the flow slide along them.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/flow3d/boundary_values.h"
#include "engine/grid/metric.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

double end_flux(int face, int cell)
{
    double sum = 0.0;
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k)
            sum += m_ar_x[face][j][k] * (xvel[cell][j][k] * m_vec_x[face][j][0] + yvel[cell][j][k] * m_vec_x[face][j][1]);
    return sum;
}

TEST(Boundary, DefaultOutflowCarriesTheInflow)
{
    test::CaseFolder folder;
    // A channel widening downstream, so that the last cells alone would carry less.
    test::make_grid(
        8, 6, 5, [](int i, int) { return 2.0 * i; }, [](int i, int j) { return (1.0 + 0.1 * i) * j; },
        [](int, int, int k) { return 0.5 * k; });
    metric();
    for (int j = 2; j <= 6; ++j)
        for (int k = 2; k <= 5; ++k) {
            xvel[1][j][k] = 1.0;
            xvel[8][j][k] = 0.6 + 0.01 * j;
        }
    boundary();
    EXPECT_NEAR(end_flux(8, 9) / end_flux(1, 1), 1.0, 1e-12);
    EXPECT_EQ(kinen[9][3][3], kinen[8][3][3]);
}

TEST(Boundary, BackflowAtTheOutflowBecomesASmallOutflow)
{
    test::CaseFolder folder;
    test::box_grid(8, 6, 5, 1.0, 1.0, 1.0);
    for (int j = 2; j <= 6; ++j)
        for (int k = 2; k <= 5; ++k) {
            xvel[1][j][k] = 1.0;
            xvel[8][j][k] = 1.0;
        }
    xvel[8][4][3] = -0.5;
    yvel[8][4][3] = 0.0;
    FlagTFS = 1;  // no rescaling, to see the face itself
    boundary();
    EXPECT_DOUBLE_EQ(xvel[9][4][3], 0.05);
    EXPECT_DOUBLE_EQ(xvel[9][3][3], 1.0);
}

TEST(Boundary, NothingFlowingOutStopsTheRun)
{
    test::CaseFolder folder;
    test::box_grid(8, 6, 5, 1.0, 1.0, 1.0);
    xvel.fill(0.0);
    EXPECT_EQ(test::exit_status(boundary), 1);
    EXPECT_NE(test::log_text().find("sbound: Error, zero flux out !\nThis error may be corrected with the use of G 7 data sets\n"),
              std::string::npos);
}

TEST(Boundary, CyclicInflowRecyclesTheLastColumnWithTheSameDischarge)
{
    test::CaseFolder folder;
    test::box_grid(8, 6, 5, 1.0, 1.0, 1.0);
    for (int j = 2; j <= 6; ++j)
        for (int k = 2; k <= 5; ++k) {
            xvel[1][j][k] = 1.0;
            xvel[8][j][k] = 0.5 * k;
            kinen[8][j][k] = 0.01 * k;
        }
    FlagCyclic = 5;
    Iter = 10;
    const double inflow = end_flux(1, 1);
    boundary();
    EXPECT_NEAR(end_flux(1, 1), inflow, 1e-12);
    EXPECT_NEAR(xvel[1][3][4] / xvel[1][3][2], 2.0, 1e-12);  // the shape of the last column
    EXPECT_EQ(kinen[1][3][4], 0.04);
}

TEST(Boundary, FreeSurfaceTakesNoFlow)
{
    test::CaseFolder folder;
    // A sloping surface: the top nodes rise with i.
    test::make_grid(
        6, 5, 4, [](int i, int) { return i; }, [](int, int j) { return j; }, [](int i, int, int k) { return (k - 1) * (1.0 + 0.1 * i) / 3.0; });
    metric();
    xvel.fill(1.0);
    yvel.fill(0.2);
    epsilon.fill(0.003);
    kinen.fill(0.01);
    IONo = 1;  // no default outflow in this test
    boundary();
    const int i = 3, j = 3, z = znumber;
    const double n[3] = {m_vec_z[i][j][z][0], m_vec_z[i][j][z][1], m_vec_z[i][j][z][2]};
    EXPECT_NEAR(xvel[i][j][z + 1] * n[0] + yvel[i][j][z + 1] * n[1] + zvel[i][j][z + 1] * n[2], 0.0, 1e-15);
    EXPECT_GT(zvel[i][j][z + 1], 0.0);
    EXPECT_EQ(kinen[i][j][z + 1], 0.0);
    EXPECT_EQ(epsilon[i][j][z + 1], 0.003);
}

TEST(Boundary, OpeningsAreScaledToTheirDischarge)
{
    test::CaseFolder folder;
    test::box_grid(8, 6, 5, 1.0, 1.0, 1.0);
    xvel.fill(0.8);
    yvel.fill(0.0);
    IONo = 2;
    IO[1] = IORecord{1, -1, 2, 6, 2, 5, 0, 1, 4.0, 0, 0, 0};   // outflow through the end, updated
    IO[2] = IORecord{1, -2, 3, 4, 2, 5, 0, 1, 2.0, 0, 0, 0};   // outflow through the north side: nothing leaves there
    boundary();
    EXPECT_NEAR(end_flux(8, 9), 4.0, 1e-12);
    // The north opening carries nothing yet: it starts from its discharge
    // spread over its eight faces of 1 m2, straight out.
    for (int i = 3; i <= 4; ++i)
        for (int k = 2; k <= 5; ++k) {
            EXPECT_NEAR(xvel[i][7][k], 0.0, 1e-15);
            EXPECT_NEAR(yvel[i][7][k], 0.25, 1e-15);
        }
    // Once running, the opening follows the cells inside, scaled to its
    // discharge; when they all flow inwards it starts afresh.
    FlagInitialized = 1;
    for (int i = 3; i <= 4; ++i)
        for (int k = 2; k <= 5; ++k) yvel[i][6][k] = 0.1 * k;
    boundary();
    EXPECT_NEAR(yvel[4][7][5] / yvel[4][7][2], 2.5, 1e-12);
    double north = 0.0;
    for (int i = 3; i <= 4; ++i)
        for (int k = 2; k <= 5; ++k) north += yvel[i][7][k];
    EXPECT_NEAR(north, 2.0, 1e-12);
    for (int i = 3; i <= 4; ++i)
        for (int k = 2; k <= 5; ++k) yvel[i][6][k] = -0.3;
    boundary();
    EXPECT_NEAR(yvel[3][7][3], 0.25, 1e-15);
}

TEST(Boundary, DischargeOfAnOpeningFromTheTimeSeries)
{
    test::CaseFolder folder;
    TimeStep = 1.0;  // a transient run: the time series arrays exist
    test::box_grid(8, 6, 5, 1.0, 1.0, 1.0);
    xvel.fill(0.8);
    IONo = 1;
    IO[1] = IORecord{1, -1, 2, 6, 2, 5, 0, 0, 4.0, 0, 0, 0};
    FlagDischargeTime = 1;
    TimeInNo = 3;
    const double times[] = {0.0, 100.0, 200.0}, q[] = {2.0, 6.0, 3.0};
    for (int n = 0; n < 3; ++n) {
        TimeInTime[n] = times[n];
        QDinn[n][1] = q[n];
    }
    stime = 100.0;
    boundary();
    EXPECT_NEAR(end_flux(8, 9), 6.0, 1e-12);
    stime = 150.0;
    boundary();
    EXPECT_NEAR(end_flux(8, 9), 4.5, 1e-12);
    // Past the last row the series holds its value: no falling line beyond it.
    stime = 400.0;
    boundary();
    EXPECT_NEAR(end_flux(8, 9), 3.0, 1e-12);
}

TEST(Boundary, OpenSidesLetTheFlowSlideAlong)
{
    test::CaseFolder folder;
    test::box_grid(8, 6, 5, 1.0, 1.0, 1.0);
    xvel.fill(-0.6);
    yvel.fill(0.8);
    zvel.fill(0.01);
    IONo = 1;
    FlagWall = 1;
    boundary();
    EXPECT_NEAR(xvel[4][1][3], -1.0, 1e-12);  // same speed, along the side line, same sense as the flow
    EXPECT_NEAR(yvel[4][1][3], 0.0, 1e-12);
    EXPECT_NEAR(xvel[4][7][3], -1.0, 1e-12);
    EXPECT_EQ(zvel[4][7][3], 0.01);
}

}  // namespace
}  // namespace zefra
