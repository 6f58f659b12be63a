// Rough-wall laws on a box grid: the log law and its floors, friction on the
// velocity along the wall only, the k balance of the wall layer, the fixed
// epsilon, sediment-reduced kappa, all walls against the nearest one, and the
// stops of the nearest-wall variant.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_turbulence.h"
#include "engine/turbulence/wall_laws.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

// 4 x 4 x 4 cells of 2 x 1 x 0.2 m; bed cell centres 0.1 m above the bed.
void walled_box(double ks)
{
    test::box_grid(5, 5, 5, 2.0, 1.0, 0.2);
    Xkappa = 0.4;
    Xks.fill(ks);
    XksWall = XksJ1 = XksJ2 = ks;
    kinen.fill(0.01);
    epsilon.fill(0.001);
    for (int i = 2; i <= 5; ++i)
        for (int j = 2; j <= 5; ++j) {
            WallK[i][j][2] = 1;
            Wall[i][j][2] = 1;
        }
}

void with_side_wall()
{
    for (int i = 2; i <= 5; ++i)
        for (int k = 2; k <= 5; ++k) {
            WallJ[i][2][k] = 1;
            Wall[i][2][k] = 1;
        }
}

const double U_star = std::pow(0.09, 0.25) * std::sqrt(0.01);  // C_mu^0.25 k^0.5
const double BedArea = 2.0 * 1.0;

void solve_equation(void (*routine)(), int e)
{
    Equation = e;
    wap.fill(0.0);
    source.fill(0.0);
    routine();
}

TEST(WallLaws, LogLawFrictionOnTheBedCell)
{
    test::CaseFolder folder;
    walled_box(0.05);
    xvel.fill(1.0);
    solve_equation(wallall, 1);
    const double e = std::log(30.0 * 0.1 / 0.05) / 0.4;
    EXPECT_NEAR(wap[3][3][2], 1000.0 * U_star * BedArea / e, 1e-9);
    EXPECT_NEAR(source[3][3][2], 0.0, 1e-12);  // the flow runs along the bed
    EXPECT_EQ(wap[3][3][3], 0.0);              // no wall, no friction
}

TEST(WallLaws, FloorsOfTheLogLaw)
{
    test::CaseFolder folder;
    walled_box(3.0);  // y = ks / 30: ln(30 y / ks) = 0
    xvel.fill(1.0);
    solve_equation(wallall, 1);
    EXPECT_NEAR(wap[3][3][2], 1000.0 * U_star * BedArea / (0.01 / 0.4), 1e-6);
    FlagWallAll = 1;
    solve_equation(wall, 1);
    EXPECT_NEAR(wap[3][3][2], 1000.0 * U_star * BedArea / (1.0 / 0.4), 1e-9);
}

TEST(WallLaws, FrictionActsOnlyAlongTheWall)
{
    test::CaseFolder folder;
    walled_box(0.05);
    zvel.fill(0.3);  // flow straight into the bed
    solve_equation(wallall, 3);
    // Implicit wap w and explicit source cancel: no force on the normal velocity.
    EXPECT_NEAR(wap[3][3][2] * zvel[3][3][2] - source[3][3][2], 0.0, 1e-12);
    EXPECT_GT(wap[3][3][2], 0.0);
}

TEST(WallLaws, CornerCellHasTwoWallsOrTheNearestOne)
{
    test::CaseFolder folder;
    walled_box(0.05);
    with_side_wall();
    xvel.fill(1.0);
    solve_equation(wallall, 1);
    const double bed = 1000.0 * U_star * BedArea / (std::log(30.0 * 0.1 / 0.05) / 0.4);
    const double side = 1000.0 * U_star * (2.0 * 0.2) / (std::log(30.0 * 0.5 / 0.05) / 0.4);
    EXPECT_NEAR(wap[3][2][2], bed + side, 1e-9);
    solve_equation(wall, 1);
    EXPECT_NEAR(wap[3][2][2], 1000.0 * U_star * BedArea / (std::log(30.0 * 0.1 / 0.05) / 0.4), 1e-9);  // the bed is nearer
    EXPECT_NEAR(wap[3][2][4], side, 1e-9);  // above the bed cell only the side wall
}

TEST(WallLaws, KOfTheWallLayerIsInBalanceOnTheLogLaw)
{
    test::CaseFolder folder;
    walled_box(0.05);
    // The speed of the log law at y for the friction velocity of k.
    const double e = std::log(30.0 * 0.1 / 0.05) / 0.4;
    xvel.fill(U_star * e);
    solve_equation(wallall, 5);
    EXPECT_NEAR(source[3][3][2], wap[3][3][2] * 0.01, 1e-9);  // production = dissipation
    EXPECT_NEAR(wap[3][3][2], 1000.0 * std::pow(0.09, 0.75) * 0.1 * e / 0.1 * 0.4, 1e-9);
}

TEST(WallLaws, EpsilonIsFixedByTheWallDistance)
{
    test::CaseFolder folder;
    walled_box(0.05);
    with_side_wall();
    solve_equation(wallall, 6);
    const double bed = std::pow(0.09, 0.75) * std::pow(0.01, 1.5) / (0.4 * 0.1);
    const double side = std::pow(0.09, 0.75) * std::pow(0.01, 1.5) / (0.4 * 0.5);
    EXPECT_NEAR(source[3][3][2] / wap[3][3][2], bed, 1e-15);
    EXPECT_NEAR(source[3][2][2] / wap[3][2][2], 0.5 * (bed + side), 1e-15);  // two walls: their mean
}

TEST(WallLaws, SuspendedSedimentReducesKappaAtTheBed)
{
    test::CaseFolder folder;
    walled_box(0.05);
    xvel.fill(1.0);
    solve_equation(wallall, 1);
    const double clear = wap[3][3][2];
    conc.fill(0.4);
    solve_equation(wallall, 1);
    // kappa / 2 halves the friction through E = ln(30 y / ks) / kappa.
    EXPECT_NEAR(wap[3][3][2], 0.5 * clear, 1e-9);
    WallChoiseSed = 1;
    solve_equation(wallall, 1);
    EXPECT_NEAR(wap[3][3][2], clear, 1e-9);
}

TEST(WallLaws, SideWallsTakeTheirOwnRoughness)
{
    test::CaseFolder folder;
    walled_box(0.05);
    for (int i = 2; i <= 5; ++i)
        for (int k = 2; k <= 5; ++k) {
            WallJ[i][2][k] = 1;
            WallJ[i][5][k] = -1;
            Wall[i][2][k] = Wall[i][5][k] = 1;
        }
    XksJ1 = 0.2;
    XksJ2 = 0.01;
    xvel.fill(1.0);
    solve_equation(wallall, 1);
    EXPECT_NEAR(wap[3][2][4], 1000.0 * U_star * 0.4 / (std::log(30.0 * 0.5 / 0.2) / 0.4), 1e-9);
    EXPECT_NEAR(wap[3][5][4], 1000.0 * U_star * 0.4 / (std::log(30.0 * 0.5 / 0.01) / 0.4), 1e-9);
}

TEST(WallLaws, NearestWallStopsOnBadInput)
{
    test::CaseFolder folder;
    walled_box(0.05);
    FlagWallAll = 1;
    Equation = 4;
    EXPECT_EQ(test::exit_status(wall), 0);
    EXPECT_TRUE(test::log_ends_with("Error in wall, Equation = 4\n"));

    // A bed cell squeezed flat: its centre 1e-12 m above the bed.
    for (int a = 2; a <= 3; ++a)
        for (int b = 2; b <= 3; ++b) zval[a][b][2] = zval[a][b][1] + 2e-12;
    Equation = 5;
    EXPECT_EQ(test::exit_status(wall), 0);
    EXPECT_TRUE(test::log_ends_with("Error, too small Mdist in wall\nMdist(3,3,2,5) = 1.000000e-12\n"));
}

TEST(WallLaws, FreeSurfaceEpsilon)
{
    test::CaseFolder folder;
    walled_box(0.05);
    FlagSurfEps = 1;
    SurfEpsCoeff = 0.43;
    solve_equation(wallall, 6);
    const double depth = 4 * 0.2;
    EXPECT_NEAR(source[3][3][5] / wap[3][3][5], std::pow(0.01, 1.5) / (0.43 * depth), 1e-15);
}

}  // namespace
}  // namespace zefra
