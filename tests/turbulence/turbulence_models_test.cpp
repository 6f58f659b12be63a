// Turbulence closure on small box grids: the diffusivities of the models,
// production from known velocity fields, the sinks of k and epsilon, and the
// models without transport.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/flow3d/coefficients.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_turbulence.h"
#include "engine/turbulence/turbulence_models.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

// A box of 6 x 5 x 6 cells of 2 x 1 x 0.5 m with uniform k and epsilon.
void uniform_box(double k, double eps)
{
    test::box_grid(7, 6, 7, 2.0, 1.0, 0.5);
    kinen.fill(k);
    epsilon.fill(eps);
}

constexpr double CellVolume = 2.0 * 1.0 * 0.5;

// The sediment equations get the eddy viscosity of the flow in m2/s without
// a Schmidt number (they apply theirs), and the flow keeps its gama.
TEST(GammaCalc, EddyViscosityForTheSediment)
{
    test::CaseFolder folder;
    uniform_box(0.02, 0.004);
    Schmidt = 2.0;
    gama.fill(7.0);
    gamaV.fill(8.0);
    eddy_viscosity_to_diff();
    EXPECT_DOUBLE_EQ(diff[3][3][3], 1e-6 + 0.09 * 0.02 * 0.02 / 0.004);
    EXPECT_EQ(gama[3][3][3], 7.0);
    EXPECT_EQ(gamaV[3][3][3], 8.0);
}

TEST(GammaCalc, DiffusivitiesOfTheModels)
{
    test::CaseFolder folder;
    uniform_box(0.02, 0.004);
    const double eddy = 90.0 * 0.02 * 0.02 / 0.004;

    TurbulenceModel = 0;
    Equation = 1;
    GammaCalc();
    EXPECT_DOUBLE_EQ(gama[3][3][3], 0.001 + eddy);
    EXPECT_DOUBLE_EQ(gama[1][1][1], 0.001);  // the ghost corner keeps the base value
    Equation = 6;
    GammaCalc();
    EXPECT_DOUBLE_EQ(gama[3][3][3], (0.001 + eddy) * 0.7692);  // the laminar part is divided too
    EXPECT_DOUBLE_EQ(gamaV[3][3][3], gama[3][3][3]);

    TurbulenceModel = 1;
    Equation = 5;
    GammaCalc();
    EXPECT_DOUBLE_EQ(gama[3][3][3], (0.001 + 85.0 * 0.02 * 0.02 / 0.004) * 1.39);

    TurbulenceModel = 15;  // epsilon holds omega
    Equation = 1;
    GammaCalc();
    EXPECT_DOUBLE_EQ(gama[3][3][3], 0.001 + 1000.0 * 0.02 / 0.004);

    TurbulenceModel = 3;
    ArtEddyVisc = 2.5;
    GammaCalc();
    EXPECT_DOUBLE_EQ(gama[3][3][3], 2.501);
}

// The nu~ equation of the one-equation model diffuses with (mu + rho nu~) / sigma,
// sigma = 2/3: the factor 1.5 enters the face coefficient once.
TEST(GammaCalc, OneEquationModelDividesBySigmaOnce)
{
    test::CaseFolder folder;
    uniform_box(0.003, 1.0);  // nu~ = 0.003 m2/s
    TurbulenceModel = 14;
    eddy_diffusivity(5);
    EXPECT_DOUBLE_EQ(gama[3][3][3], 0.001 + 1000.0 * 0.003);
    convection_diffusion(5);  // no flux: pure diffusion, A / d = (1 x 0.5) / 2 on an I-face
    EXPECT_NEAR(aw[3][3][3], 1.5 * (0.001 + 3.0) * 0.5 / 2.0, 1e-12);
}

TEST(GammaCalc, DampedModelsKeepTheMolecularViscosityAtTheBed)
{
    test::CaseFolder folder;
    uniform_box(0.02, 0.004);
    xvel.fill(1e-4);  // a very slow flow: small wall Reynolds numbers
    TurbulenceModel = 8;
    Equation = 1;
    GammaCalc();
    const double undamped = 0.001 + 90.0 * 0.02 * 0.02 / 0.004;
    EXPECT_LT(gama[3][3][2], gama[3][3][6]);
    EXPECT_GE(gama[3][3][2], 0.001);
    EXPECT_LE(gama[3][3][6], undamped);
    // The epsilon equation of the damped models has the sigma of the standard model.
    Equation = 6;
    GammaCalc();
    EXPECT_LT(gama[3][3][6], undamped * 0.77);
}

TEST(Turbulence, UniformFlowOnlyDissipates)
{
    test::CaseFolder folder;
    uniform_box(0.02, 0.004);
    xvel.fill(1.0);
    TurbulenceModel = 0;
    Equation = 5;
    GammaCalc();
    turbulence();
    EXPECT_NEAR(source[4][3][4], 0.0, 1e-9);
    EXPECT_DOUBLE_EQ(wap[4][3][4], 1000.0 * CellVolume * 0.004 / (0.02 + 1e-20));
}

TEST(Turbulence, ShearFlowProducesGammaTimesTheSquaredShear)
{
    test::CaseFolder folder;
    uniform_box(0.02, 0.004);
    // u = 0.3 z in every cell and ghost: du/dz = 0.3.
    for (int i = 0; i <= xnumber + 2; ++i)
        for (int j = 0; j <= ynumber + 2; ++j)
            for (int k = 0; k <= znumber + 2; ++k) xvel[i][j][k] = 0.3 * 0.5 * (k - 1.5);
    TurbulenceModel = 0;
    Equation = 5;
    GammaCalc();
    turbulence();
    const double g = 0.3 * 0.3;
    EXPECT_NEAR(Stress[4][3][4], g * CellVolume, 1e-12);
    EXPECT_NEAR(source[4][3][4], gama[4][3][4] * g * CellVolume, 1e-10);

    // Epsilon equation: C1 P eps / k with the sigma undone, C2 rho V eps / k.
    Equation = 6;
    GammaCalc();
    turbulence();
    const double ratio = 0.004 / 0.02;
    EXPECT_NEAR(source[4][3][4], 1.44 * gama[4][3][4] * g * CellVolume * 1.3 * ratio, 1e-10);
    EXPECT_NEAR(wap[4][3][4], 1920.0 * CellVolume * ratio, 1e-9);
}

TEST(Turbulence, RngAndKOmegaSinks)
{
    test::CaseFolder folder;
    uniform_box(0.02, 0.004);
    xvel.fill(0.5);  // no strain: eta = 0, C2* = 1.68
    TurbulenceModel = 1;
    Equation = 6;
    GammaCalc();
    turbulence();
    EXPECT_NEAR(wap[4][3][4], 1000.0 * 1.68 * CellVolume * 0.004 / 0.02, 1e-9);

    TurbulenceModel = 15;  // omega = 0.004, no gradients: beta* = 0.09, f_beta = 1
    Equation = 5;
    GammaCalc();
    turbulence();
    EXPECT_NEAR(wap[4][3][4], 1000.0 * CellVolume * 0.004 * 0.09, 1e-12);
    Equation = 6;
    GammaCalc();
    turbulence();
    EXPECT_NEAR(wap[4][3][4], 1000.0 * CellVolume * 0.072 * 0.004, 1e-12);
}

TEST(Turbulence, ModelsWithoutTransportAndWrongEquations)
{
    test::CaseFolder folder;
    uniform_box(0.02, 0.004);
    TurbulenceModel = 3;
    Equation = 5;
    source.fill(7.0);
    turbulence();
    EXPECT_EQ(source[4][3][4], 7.0);  // nothing touched

    TurbulenceModel = 0;
    Equation = 4;
    EXPECT_EQ(test::exit_status(turbulence), 0);
    EXPECT_TRUE(test::log_ends_with("Error in turbulence calc., Equation = 4\n"));
}

TEST(Turbulence, RoughnessLayerAddsProductionBelowTheRoughnessHeight)
{
    test::CaseFolder folder;
    uniform_box(0.02, 0.004);
    xvel.fill(1.0);
    Xks.fill(1.2);  // the two lowest cells (tops at 0.5 and 1.0 m) lie inside
    OBlok.fill(1);
    TurbulenceModel = 0;
    FlagScotti = 9;
    ParamScotti = 0.5;
    Equation = 5;
    GammaCalc();
    turbulence();
    const double r = 0.5 * (1.0 - 0.25 / 1.2);
    EXPECT_NEAR(source[4][3][2], 2.0 * 430.0 * r * r * r * 1.0 * std::sqrt(2.0) * 0.5, 1e-9);
    EXPECT_GT(source[4][3][3], 0.0);
    EXPECT_NEAR(source[4][3][4], 0.0, 1e-9);
}

}  // namespace
}  // namespace zefra
