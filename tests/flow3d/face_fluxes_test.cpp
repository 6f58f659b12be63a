// Face fluxes: mass conservation of every closed cell on a curved grid, the
// Rhie-Chow term on uniform and checkerboard pressures, walls, out-blocks
// and the free surface.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/flow3d/face_fluxes.h"
#include "engine/grid/metric.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

constexpr double Rho = 1000.0;

void curved_grid()
{
    test::make_grid(
        21, 11, 7, [](int i, int j) { return 3.0 * i + 0.4 * j + 2.0 * std::sin(0.2 * i); },
        [](int i, int j) { return 1.5 * j + 0.3 * i + 0.8 * std::cos(0.15 * i) * (1 + 0.1 * j); },
        [](int i, int j, int k) {
            double bed = 10.0 - 0.02 * i + 0.3 * std::sin(0.5 * j);
            return bed + (14.0 - bed) * (k - 1.0) / 6.0;
        });
    metric();
}

void uniform_velocity(double u, double v, double w)
{
    xvel.fill(u);
    yvel.fill(v);
    zvel.fill(w);
}

TEST(FaceFluxes, UniformFlowThroughACurvedGridConservesMassInEveryCell)
{
    test::CaseFolder folder;
    curved_grid();
    uniform_velocity(0.7, -0.3, 0.05);
    Pres.fill(1234.0);
    invAP.fill(1e-3);
    relaxVelocity = 0.8;
    waterflow();
    double worst = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                const double net = flow1[i][j][k] - flow1[i - 1][j][k] + flow2[i][j][k] - flow2[i][j - 1][k] + flow3[i][j][k] - flow3[i][j][k - 1];
                const double scale = std::fabs(flow1[i][j][k]) + std::fabs(flow2[i][j][k]) + std::fabs(flow3[i][j][k]);
                worst = std::max(worst, std::fabs(net) / scale);
            }
    EXPECT_LT(worst, 1e-12);
}

TEST(FaceFluxes, UniformPressureGivesTheInterpolatedVelocity)
{
    test::CaseFolder folder;
    curved_grid();
    for (int i = 0; i <= xnumber + 2; ++i)
        for (int j = 0; j <= ynumber + 2; ++j)
            for (int k = 0; k <= znumber + 2; ++k) xvel[i][j][k] = 0.1 * i;
    Pres.fill(50.0);
    invAP.fill(1e-3);
    relaxVelocity = 0.8;
    waterflow();
    const int i = 7, j = 5, k = 3;
    const double w = m_dist_x[i + 1][j][k] / (m_dist_x[i][j][k] + m_dist_x[i + 1][j][k]);
    const double uf = w * xvel[i][j][k] + (1 - w) * xvel[i + 1][j][k];
    EXPECT_NEAR(flow1[i][j][k], Rho * m_ar_x[i][j][k] * uf * m_vec_x[i][j][0], 1e-9);
}

TEST(FaceFluxes, CheckerboardPressureIsCorrectedOnEveryInnerFace)
{
    test::CaseFolder folder;
    test::box_grid(10, 5, 5, 1.0, 1.0, 1.0);
    uniform_velocity(1.0, 0.0, 0.0);
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j)
            for (int k = 0; k <= znumber + 1; ++k) Pres[i][j][k] = i % 2 ? 100.0 : -100.0;
    invAP.fill(1e-3);
    relaxVelocity = 1.0;
    RelaxRhieChow = 1.0;
    waterflow();
    for (int i = 3; i <= xnumber - 2; ++i) EXPECT_GT(std::fabs(flow1[i][3][3] - Rho), 1.0) << i;
    // Interior faces away from the ends: mean gradient 0, face difference 200 against the flow.
    EXPECT_NEAR(flow1[5][3][3], Rho * (1.0 + (0.0 - (Pres[6][3][3] - Pres[5][3][3])) * 1e-3), 1e-9);
    // The transverse faces see no pressure difference.
    EXPECT_NEAR(flow2[5][3][3], 0.0, 1e-12);
    // Without the correction the checkerboard is invisible.
    RelaxRhieChow = 0.0;
    waterflow();
    for (int i = 2; i <= xnumber - 1; ++i) EXPECT_NEAR(flow1[i][3][3], Rho, 1e-9);
}

TEST(FaceFluxes, WallsAndOutBlocksCarryNothing)
{
    test::CaseFolder folder;
    test::box_grid(10, 6, 5, 1.0, 1.0, 1.0);
    uniform_velocity(1.0, 0.5, 0.2);
    Pres.fill(0.0);
    WallJ[4][2][3] = 1;
    WallK[5][4][2] = 1;
    WallI[6][3][4] = -1;
    OutBlockNo = 1;
    OutBlock[1] = OutBlockRecord{1, 8, 8, 4, 4, 3, 3};
    waterflow();
    EXPECT_EQ(flow2[4][1][3], 0.0);
    EXPECT_EQ(flow3[5][4][1], 0.0);
    EXPECT_EQ(flow1[6][3][4], 0.0);
    for (double f : {flow1[7][4][3], flow1[8][4][3], flow2[8][3][3], flow2[8][4][3], flow3[8][4][2], flow3[8][4][3]}) EXPECT_EQ(f, 0.0);
    EXPECT_NE(flow1[5][4][3], 0.0);
}

TEST(FaceFluxes, SurfaceFluxFollowsTheGhostUnlessTheSurfaceMoves)
{
    test::CaseFolder folder;
    test::box_grid(6, 5, 5, 1.0, 1.0, 1.0);
    uniform_velocity(0.0, 0.0, 0.0);
    for (int i = 0; i <= xnumber + 2; ++i)
        for (int j = 0; j <= ynumber + 2; ++j) zvel[i][j][znumber + 1] = 0.25;
    waterflow();
    EXPECT_DOUBLE_EQ(flow3[3][3][znumber], Rho * 0.25);
    FlagTFS = 1;
    waterflow();
    EXPECT_EQ(flow3[3][3][znumber], 0.0);
}

}  // namespace
}  // namespace zefra
