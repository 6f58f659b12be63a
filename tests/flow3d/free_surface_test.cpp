// Free surface on small grids with set pressure and flux fields: the steady
// method moves each node by its relaxed level error, keeps the reference node,
// the depth floor and the end discharges, measures convergence without the
// cell height; the kinematic method conserves the volume that flows in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/common/physics.h"
#include "engine/flow3d/free_surface.h"
#include "engine/grid/columns.h"
#include "engine/grid/metric.h"
#include "engine/grid/multiblock.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

constexpr int X = 6, Y = 5;

// A 6 x 5 grid of 2 m x 1 m columns, `levels` node levels spread evenly from
// the bed at 0 to the lid top(i, j), water flowing along i at `speed`.
void lid_grid(double (*top)(int, int), int levels = 4, double speed = 0.1)
{
    test::make_grid(
        X, Y, levels, [](int i, int) { return 2.0 * (i - 1); }, [](int, int j) { return 1.0 * (j - 1); },
        [top, levels](int i, int j, int k) { return top(i, j) * (k - 1) / (levels - 1); });
    metric();
    smetric();
    FlagInitialized = 1;
    OBlok.fill(1);
    SurfaceConvergenceCrit = 1e-6;  // single nodes out of level move
    xvel.fill(speed);
    kinen.fill(1e-3);
    epsilon.fill(1e-4);
}

double flat(int, int)
{
    return 2.0;
}

// The pressure of every cell of column (i, j).
void column_pressure(int i, int j, double p)
{
    for (int k = 0; k <= znumber + 1; ++k) Pres[i][j][k] = p;
}

double top_level(int i, int j)
{
    return zval[i][j][znumber];
}

TEST(Surface, HydrostaticLidStays)
{
    const std::string settled = "Surface not updated, Convergence = 0.000000\n";
    {
        test::CaseFolder folder;
        lid_grid(flat);
        Pres.fill(500.0);
        surface();
        EXPECT_TRUE(test::log_ends_with(settled));
        EXPECT_EQ(top_level(1, 1), 2.0);
    }
    // F 36 3: the pressure holds the weight of the water, so a sloping lid
    // with hydrostatic pressure under it is a free surface already.
    test::CaseFolder folder;
    lid_grid([](int i, int j) { return 2.0 + 0.05 * i + 0.02 * j; });
    FlagTFS = 3;
    for (int i = 2; i <= X; ++i)
        for (int j = 2; j <= Y; ++j)
            for (int k = 2; k <= znumber; ++k) Pres[i][j][k] = WaterDensity * Gravity * (column_top(i, j) - centre_level(i, j, k));
    surface();
    EXPECT_TRUE(test::log_ends_with(settled));
}

TEST(Surface, ANodeMovesByItsLevelErrorTimesTheRelaxation)
{
    for (double relax : {1.0, 0.5}) {
        test::CaseFolder folder;
        lid_grid(flat);
        RelaxSurface = relax;
        // The corner node (1, 1) has only cell (2, 2) around it: 0.01 m of
        // water head too much there; (2, 1) and (1, 2) share it with one more
        // cell, (2, 2) with three.
        column_pressure(2, 2, 0.01 * WaterDensity * Gravity);
        const double below = zval[1][1][2];
        surface();
        EXPECT_NEAR(top_level(1, 1), 2.0 + 0.01 * relax, 1e-7);
        EXPECT_NEAR(zval[1][1][2], below * (1.0 + 0.01 * relax / 2.0), 1e-7);  // stretched with its column
        EXPECT_NEAR(top_level(2, 1), 2.0 + 0.005 * relax, 1e-7);
        EXPECT_NEAR(top_level(2, 2), 2.0 + 0.0025 * relax, 1e-7);
        EXPECT_EQ(top_level(X, Y / 2), 2.0);  // the reference node
        EXPECT_EQ(top_level(4, 4), 2.0);
        EXPECT_DOUBLE_EQ(Surfaces[5][1][1], 98.1);
        EXPECT_NE(test::log_text().find("Convergence = "), std::string::npos);
        EXPECT_EQ(FlagGridChange, 1);
    }
}

TEST(Surface, ReferenceNodeBeyondTheSurfaceNodesIsTheNearestOne)
{
    test::CaseFolder folder;
    lid_grid(flat);
    iSurf = X + 1;
    jSurf = Y + 1;
    column_pressure(X, Y, -0.01 * WaterDensity * Gravity);  // the only cell at node (X, Y)
    surface();
    EXPECT_NE(test::log_text().find("Reference node (7,6) of G 6 lies outside the surface nodes: (6,5) is used\n"), std::string::npos);
    EXPECT_EQ(top_level(X, Y), 2.0);
    EXPECT_NEAR(top_level(1, 1), 2.01, 1e-7);  // everything else is now 0.01 m too low
}

TEST(Surface, AFallingSurfaceStopsAtTheDepthFloorAndFastWaterMovesLittle)
{
    test::CaseFolder folder;
    lid_grid(flat);
    column_pressure(2, 2, -5.0 * WaterDensity * Gravity);  // 5 m too high at node (1, 1)
    surface();
    // Least depth: 3 % of the mean half cell length (1 m).
    EXPECT_NEAR(top_level(1, 1), 0.03, 1e-12);
    EXPECT_GT(zval[1][1][2], zval[1][1][1]);
    EXPECT_NE(test::log_text().find("Surface held at the minimum depth 0.030000 m in 3 nodes, first (1,1)\n"), std::string::npos);

    test::CaseFolder fast;
    lid_grid(flat, 4, 0.5);
    column_pressure(2, 2, 0.5 * WaterDensity * Gravity);
    surface();
    EXPECT_NEAR(top_level(1, 1), 2.0 * 1.02, 1e-12);  // 2 % of the depth
}

TEST(Surface, ConvergenceIsTheMeanErrorOverTheDepthWhateverTheCellHeight)
{
    auto lid = [](int i, int) { return 2.0 + 0.01 * i; };
    double expected = 0.0;
    for (int i = 1; i <= X; ++i) expected += Y * 0.01 * (X - i) / lid(i, 0);
    expected /= X * Y;
    char line[80];
    std::snprintf(line, sizeof line, "Convergence = %lf\n", expected);
    for (int levels : {4, 8}) {
        test::CaseFolder folder;
        lid_grid(lid, levels);
        Pres.fill(0.0);
        surface();
        EXPECT_TRUE(test::log_ends_with(line)) << levels << " levels: " << test::log_text();
    }
}

TEST(Surface, LowerFixedLevelsStayWhileTheSurfaceMoves)
{
    test::CaseFolder folder;
    lid_grid(flat);
    NoLowFixLev = 1;
    LowerFixedLevel.fill(znumber);
    LowerFixedLevel[1][1] = 2;  // G 23: node level 2 of column (1, 1) is fixed
    column_pressure(2, 2, 0.03 * WaterDensity * Gravity);
    const double fixed = zval[1][1][2], above = zval[1][1][3];
    surface();
    EXPECT_NEAR(top_level(1, 1), 2.03, 1e-6);
    EXPECT_EQ(zval[1][1][2], fixed);
    EXPECT_NEAR(zval[1][1][3], fixed + (above - fixed) * (2.03 - fixed) / (2.0 - fixed), 1e-6);
}

// A main block (node lines 1 ... 10, 9 m x 5 m) with a branch (node lines
// 11 ... 15) joined to its south edge along the main columns 3 ... 7.
TEST(Surface, NodesAtABlockJointAverageTheCellsOfBothBlocks)
{
    test::CaseFolder folder;
    std::string grid;
    char line[80];
    for (int i = 1; i <= 15; ++i)
        for (int j = 1; j <= 6; ++j) {
            std::snprintf(line, sizeof line, "%d %d %d %d 0\n", i, j, i <= 10 ? i - 1 : j, i <= 10 ? j - 1 : 10 - i);
            grid += line;
        }
    test::write_file("koordina", grid);
    ASSERT_FALSE(test::read_control(test::control_with("W 1 50 10 2\nW 3 1 10 3\n", 15, 6, 4)).has_value()) << test::log_text();
    metric();
    MultiBlockInit();
    smetric();
    ASSERT_EQ(Pi1MultiBlock[11][2][0], 3);
    FlagInitialized = 1;
    OBlok.fill(1);
    SurfaceConvergenceCrit = 1e-6;
    xvel.fill(0.1);
    yvel.fill(-0.1);
    kinen.fill(1e-3);
    epsilon.fill(1e-4);
    // 0.04 m too much head in the branch's first cell at main column 3: its
    // low-i corners are the main block's edge nodes (2, 1) and (3, 1).
    column_pressure(11, 2, 0.04 * WaterDensity * Gravity);
    surface();
    EXPECT_NEAR(top_level(3, 1), 2.01, 1e-6);           // two main cells, two branch cells
    EXPECT_NEAR(top_level(2, 1), 2.0 + 0.04 / 3, 1e-6);  // two main cells, one branch cell
    EXPECT_EQ(top_level(10, 2), 2.0);                    // the main block's end: not a corner of the branch
}

// Mass flux through an end face with its ghost velocities.
double end_flux(int face, int ghost)
{
    double sum = 0.0;
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k) sum += WaterDensity * m_ar_x[face][j][k] * xvel[ghost][j][k];
    return sum;
}

TEST(Surface, TheEndsKeepTheirDischargeOrTakeTheSeries)
{
    test::CaseFolder folder;
    lid_grid(flat);
    Pres.fill(0.0);
    column_pressure(2, 3, 0.2 * WaterDensity * Gravity);  // the inflow end rises
    column_pressure(X, 3, -0.2 * WaterDensity * Gravity);
    const double in = end_flux(1, 1), out = end_flux(X, X + 1);
    surface();
    EXPECT_GT(m_ar_x[1][3][3], 2.0 / 3.0 * 1.0001);
    EXPECT_NEAR(end_flux(1, 1) / in, 1.0, 1e-12);
    EXPECT_NEAR(end_flux(X, X + 1) / out, 1.0, 1e-12);
    EXPECT_NEAR(Surfaces[4][3][3], 0.01, 1e-12);

    // A transient run with a `timei` file but no series read: logged.
    TimeStep = 1.0;
    test::write_file("timei", "I 0 40 40 102 101\n");
    column_pressure(2, 3, 0.3 * WaterDensity * Gravity);
    surface();
    EXPECT_NE(test::log_text().find("No discharge series read from 'timei': the surface move keeps the discharges of before the move\n"),
              std::string::npos);

    // A stored discharge series: the time lies past its last row.
    FlagTFS = 2;
    ASSERT_EQ(sialloc(), 0);
    TimeInNo = 2;
    TimeInTime[0] = 0.0, TimeInTime[1] = 10.0;
    QDinn[0][0] = 1.0, QDinn[1][0] = 3.0, QDinn[1][1] = 2.0;
    stime = 50.0;
    column_pressure(2, 3, 0.4 * WaterDensity * Gravity);
    surface();
    EXPECT_EQ(stime, 51.0);
    EXPECT_NEAR(end_flux(1, 1), 3000.0, 1e-9);
    EXPECT_NEAR(end_flux(X, X + 1), 3000.0, 1e-9);  // the default outflow follows the inflow

    // Nothing flowing in: nothing to scale, no division by zero.
    for (int j = 0; j <= Y + 2; ++j)
        for (int k = 0; k <= znumber + 2; ++k) xvel[1][j][k] = 0.0;
    column_pressure(2, 3, 0.6 * WaterDensity * Gravity);
    surface();
    EXPECT_EQ(xvel[1][3][3], 0.0);
}

// Kinematic method: the fluxes of the solver are set by hand.
void kinematic_grid()
{
    lid_grid(flat);
    FlagTFS = 1;
    TimeStep = 2.0;
    Iter = 1;
    flow1.fill(0.0);
    flow2.fill(0.0);
    flow3.fill(0.0);
}

double volume()
{
    double v = 0.0;
    for (int i = 2; i <= X; ++i)
        for (int j = 2; j <= Y; ++j) v += 2.0 * m_armap[i][j] * m_dist_z[i][j][0];
    return v;
}

TEST(KinematicSurface, TheVolumeThatFlowsInIsKeptAtCornersAndEdges)
{
    test::CaseFolder folder;
    kinematic_grid();
    // 1 m3/s into the corner cell (2, 2) through its lower face and 0.5 m3/s
    // into the edge cell (4, 5) through the side.
    flow3[2][2][znumber - 1] = 1000.0;
    flow2[4][Y][znumber] = -500.0;
    const double before = volume();
    surface_tfs();
    EXPECT_NEAR(volume() - before, 1.5 * 2.0, 1e-9);
    EXPECT_GT(top_level(1, 1), top_level(2, 2));
    EXPECT_EQ(top_level(X, 1), 2.0);  // no inflow nearby
    EXPECT_EQ(stime, 2.0);
    const std::string log = test::read_file("surflog");
    EXPECT_EQ(log.rfind("WL(3,1) = 2.000000e+00\nWL(3,2) = ", 0), 0u);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), Y + X);
    Iter = 2;
    surface_tfs();
    EXPECT_EQ(test::read_file("surflog").size(), 2 * log.size());
}

TEST(KinematicSurface, NoNetInflowNoMoveAndABoundedTopVelocity)
{
    test::CaseFolder folder;
    kinematic_grid();
    TFStopvelocity = 1.0;
    // Water passes straight through every column,
    for (int i = 1; i <= X; ++i)
        for (int j = 2; j <= Y; ++j)
            for (int k = 2; k <= znumber; ++k) flow1[i][j][k] = 300.0;
    // and as much enters each top cell from below as leaves it upwards.
    for (int i = 2; i <= X; ++i)
        for (int j = 2; j <= Y; ++j) flow3[i][j][znumber - 1] = flow3[i][j][znumber] = 50.0;
    zvel.fill(0.3);
    surface_tfs();
    for (int i = 1; i <= X; ++i)
        for (int j = 1; j <= Y; ++j) EXPECT_EQ(top_level(i, j), 2.0);
    EXPECT_EQ(zvel[3][3][znumber], 0.0);  // relaxed fully to the surface velocity, not beyond
}

}  // namespace
}  // namespace zefra
