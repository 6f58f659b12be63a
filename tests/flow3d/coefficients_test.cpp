// Power-law coefficients: the exact exponential solution of 1D convection and
// diffusion, pure diffusion and pure upwind limits, boundary faces, walls,
// and the sediment coefficients.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/flow3d/coefficients.h"
#include "engine/flow3d/linear_solvers.h"
#include "engine/sediment/sediment_coefficients.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_turbulence.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

constexpr double Rho = 1000.0;

// Steady 1D convection-diffusion along i with speed u and diffusivity nu,
// held at 0 in the first and 1 in the last inner cell; returns the largest
// deviation from the exact solution at the cell centres.
double one_dimensional_error(double u, double nu, int cells)
{
    test::box_grid(cells + 2, 2, 2, 1.0, 1.0, 1.0);  // one row of cells
    const int x = xnumber;
    flow1.fill(Rho * u);
    flow2.fill(0.0);
    flow3.fill(0.0);
    gama.fill(Rho * nu);
    gamaV.fill(0.0);
    Equation = 1;
    coeffe_flow();
    f = xvel;
    for (int i = 2; i <= x; ++i)
        for (int j = 2; j <= 2; ++j)
            for (int k = 2; k <= 2; ++k) {
                wap[i][j][k] = ae[i][j][k] + aw[i][j][k] + as[i][j][k] + an[i][j][k] + wab[i][j][k] + wat[i][j][k];
                source[i][j][k] = 0.0;
                if (i == 2 || i == x) {  // held values
                    wap[i][j][k] = 1e30;
                    source[i][j][k] = i == x ? 1e30 : 0.0;
                }
            }
    WaterTDMA();  // a tridiagonal line: solved in one call
    const double length = x - 2, pe = u * length / nu;
    double worst = 0.0;
    for (int i = 2; i <= x; ++i) {
        const double xi = (i - 2) / length;
        const double exact = std::expm1(pe * xi) / std::expm1(pe);
        worst = std::max(worst, std::fabs(xvel[i][2][2] - exact));
    }
    return worst;
}

TEST(Coefficients, OneDimensionalConvectionDiffusionFollowsTheExponentialSolution)
{
    test::CaseFolder folder;
    // Cell Peclet numbers 0.5, 2 and 5: the power-law weight stays within a few
    // per cent of the exact exponential one, and so does the solution.
    EXPECT_LT(one_dimensional_error(1.0, 2.0, 20), 2e-3);
    EXPECT_LT(one_dimensional_error(1.0, 0.5, 20), 1e-2);
    EXPECT_LT(one_dimensional_error(1.0, 0.2, 20), 1e-2);
    // Pure diffusion: a straight line.
    EXPECT_LT(one_dimensional_error(1e-12, 1.0, 20), 1e-9);
}

TEST(Coefficients, DiffusionOnlyAndUpwindOnlyLimits)
{
    test::CaseFolder folder;
    test::box_grid(6, 5, 5, 2.0, 1.0, 1.0);
    flow1.fill(0.0);
    flow2.fill(0.0);
    flow3.fill(0.0);
    gama.fill(3.0);
    gamaV.fill(3.0);
    twoD.fill(1);
    StressDiff = 0.2;
    Equation = 2;
    coeffe_flow();
    // Zero flux: D (A(0) + s) on both sides, D = area * gama / (2 half extents).
    EXPECT_DOUBLE_EQ(aw[3][3][3], 1.0 * 3.0 / 2.0 * 1.2);
    EXPECT_DOUBLE_EQ(ae[4][3][3], 1.0 * 3.0 / 2.0 * 1.2);
    EXPECT_DOUBLE_EQ(an[3][3][3], 2.0 * 3.0 / 1.0 * 1.2);
    EXPECT_DOUBLE_EQ(wat[3][3][3], 2.0 * 3.0 / 1.0 * 1.2);
    // The diffusion weight s belongs to the momentum equations only.
    Equation = 5;
    coeffe_flow();
    EXPECT_DOUBLE_EQ(aw[3][3][3], 1.5);
    // Peclet number far above 10: pure upwind.
    flow1.fill(100.0);
    coeffe_flow();
    EXPECT_DOUBLE_EQ(aw[3][3][3], 0.0);
    EXPECT_DOUBLE_EQ(ae[4][3][3], 100.0);
    // The ends carry only the inflowing flux.
    EXPECT_DOUBLE_EQ(ae[2][3][3], 100.0);
    EXPECT_DOUBLE_EQ(aw[6][3][3], 0.0);
    flow1.fill(-4.0);
    coeffe_flow();
    EXPECT_DOUBLE_EQ(ae[2][3][3], 0.0);
    EXPECT_DOUBLE_EQ(aw[6][3][3], 4.0);
}

TEST(Coefficients, WallsClearTheirCouplingsWhateverTheFlux)
{
    test::CaseFolder folder;
    test::box_grid(6, 5, 5, 1.0, 1.0, 1.0);
    flow1.fill(0.5);
    flow2.fill(-0.5);
    flow3.fill(0.5);
    gama.fill(1.0);
    gamaV.fill(1.0);
    twoD.fill(1);
    WallI[3][3][3] = 1;
    WallJ[3][3][3] = -1;
    WallK[3][3][2] = 1;
    Equation = 1;
    coeffe_flow();
    EXPECT_EQ(ae[3][3][3], 0.0);
    EXPECT_GT(aw[3][3][3], 0.0);
    EXPECT_EQ(an[3][3][3], 0.0);
    EXPECT_GT(as[3][3][3], 0.0);
    EXPECT_EQ(wab[3][3][2], 0.0);
    EXPECT_GT(ae[4][3][3], 0.0);
}

TEST(Coefficients, ShallowWideColumnsScaleTheVerticalDiffusion)
{
    test::CaseFolder folder;
    test::box_grid(5, 5, 5, 16.0, 16.0, 1.0);  // 4 m deep, 16 m wide
    flow1.fill(0.0);
    flow2.fill(0.0);
    flow3.fill(0.0);
    gamaV.fill(2.0);
    twoD.fill(1);
    Equation = 1;
    coeffe_flow();
    const double plain = wat[3][3][3];
    EXPECT_DOUBLE_EQ(plain, 256.0 * 2.0 / 1.0);
    twoD[3][3] = 0;
    coeffe_flow();
    EXPECT_DOUBLE_EQ(wat[3][3][3], plain * std::sqrt(4.0 / 16.0));
}

TEST(Coefficients, SedimentCoefficients)
{
    test::CaseFolder folder;
    test::box_grid(6, 5, 5, 2.0, 1.0, 1.0);
    flow1.fill(500.0);  // 0.5 m3/s through every I-face
    flow2.fill(0.0);
    flow3.fill(0.0);
    diff.fill(0.01);
    fallvelo[1] = 0.002;
    invSchmidt[1] = 1.0;
    OBlok.fill(1);
    coeffe_setup();
    // Horizontal: upwind plus power-law diffusion (volume units).
    const double d = 0.01 * 1.0 / 2.0, pe = 0.5 / d;
    const double weight = pe >= 10 ? 0.0 : std::pow(1 - 0.1 * pe, 5);
    EXPECT_DOUBLE_EQ(ae[4][3][3], 0.5 + weight * d);
    EXPECT_DOUBLE_EQ(aw[3][3][3], weight * d);
    FlagDiffNonVert = 0;
    flow1.fill(1.0);
    coeffe_setup();
    EXPECT_DOUBLE_EQ(aw[3][3][3], 0.0);  // no horizontal diffusion of sediment
    EXPECT_DOUBLE_EQ(ae[4][3][3], 0.001);
    // Vertical: settling carries sediment down, diffusion mixes it up.
    coeffe_setup2();
    const double area = 2.0, settling = 0.002 * area, dv = 0.01 * area / 1.0;
    const double wv = std::pow(1 - 0.1 * settling / dv, 5);
    EXPECT_DOUBLE_EQ(at[1][3][3][3], dv * wv + settling);
    EXPECT_DOUBLE_EQ(ab[1][3][3][4], dv * wv);
    EXPECT_DOUBLE_EQ(ab[1][3][3][2], 0.0);                 // nothing through the bed
    EXPECT_DOUBLE_EQ(at[1][3][3][znumber], settling);     // the top cell loses what settles
    EXPECT_DOUBLE_EQ(ap[1][3][3][3], ae[3][3][3] + aw[3][3][3] + an[3][3][3] + as[3][3][3] + at[1][3][3][3] + ab[1][3][3][3]);
    EXPECT_EQ(FlagErrorBreak, 0);
}

}  // namespace
}  // namespace zefra
