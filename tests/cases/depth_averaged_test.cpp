// Whole runs of the depth-averaged solver through the program entry, checked
// against open-channel hydraulics: a straight rectangular channel 1 km long,
// 100 m wide and 2 m deep, Q = 200 m3/s, Strickler M = 35.  Under the rigid
// lid of the start-up the bed slope does not enter the momentum equations, so
// a horizontal bed under a level lid is the uniform channel: the pressure
// falls along it with the energy slope.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/driver/entry.h"
#include "engine/flow2d/water_solve_2d.h"
#include "engine/input/time_series.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

constexpr double Length = 1000.0, Width = 100.0, Depth = 2.0, Discharge = 200.0, Strickler = 35.0;
constexpr double Area = Width * Depth, Radius = Area / (Width + 2.0 * Depth);

// Manning-Strickler slope of uniform flow: Q = M A R^(2/3) S^(1/2).
double manning_slope()
{
    const double s = Discharge / (Strickler * Area * std::pow(Radius, 2.0 / 3.0));
    return s * s;
}

const double RhoGRS = 1000.0 * 9.81 * Radius * manning_slope();

// 21 x 21 node lines (50 m x 5 m columns), 12 levels refined towards the bed
// for the 3D runs of the same channel; `extra` data sets are added.
int run_channel(const std::string& extra)
{
    std::string grid;
    char line[160];
    for (int i = 1; i <= 21; ++i)
        for (int j = 1; j <= 21; ++j) {
            std::snprintf(line, sizeof line, "%d %d %.6f %.6f 100.0\n", i, j, Length * (i - 1) / 20.0, Width * (j - 1) / 20.0);
            grid += line;
        }
    test::write_file("koordina", grid);
    std::snprintf(line, sizeof line, "G 1 21 21 12 1\nG 3 0 3 6 10 15 20 30 40 55 70 85 100\nW 1 %g %g %g\nK 5 0 0 0 1 0 0\n", Strickler, Discharge,
                  100.0 + Depth);
    test::write_file("control", line + extra);
    char name[] = "zefra";
    char* argv[] = {name, nullptr};
    return run_zefra(1, argv);
}

using test::converged;

// Figures of a converged run at the cross-section 750 m from the inflow.
struct Figures {
    double bed_shear;   // mean over the section, N/m2
    double centre_speed;  // depth-mean velocity of the centre column, m/s
    double slope;       // fall of the pressure head along the middle half
};

constexpr int Section = 16, Centre = 11;

// Depth-mean velocity of column (i, j): its own value, or the discharge of
// its cells over their area in a 3D run.
double depth_mean_velocity(int i, int j, bool columns)
{
    if (columns) return xvel[i][j][0];
    double q = 0.0, a = 0.0;
    for (int k = 2; k <= znumber; ++k) {
        const double area = 0.5 * (m_ar_x[i - 1][j][k] + m_ar_x[i][j][k]);
        q += xvel[i][j][k] * area;
        a += area;
    }
    return q / a;
}

Figures figures(bool columns)
{
    Figures f{};
    for (int j = 2; j <= ynumber; ++j) f.bed_shear += bedshear[Section][j] / (ynumber - 1);
    f.centre_speed = depth_mean_velocity(Section, Centre, columns);
    const int k = columns ? 0 : znumber;  // the pressure under the lid
    const double fall = Pres[6][Centre][k] - Pres[16][Centre][k];
    f.slope = fall / (1000.0 * 9.81 * (xval[16][Centre] - xval[6][Centre]));
    return f;
}

TEST(DepthAveraged, UniformChannelKeepsItsDischargeAndFollowsManningStrickler)
{
    test::CaseFolder folder;
    ASSERT_EQ(run_channel("F 2 D\n"), 1);  // letter D without F 44
    ASSERT_TRUE(converged()) << test::log_text();
    EXPECT_LT(Iter, 200);

    // Every section carries the inflow.
    for (int i = 1; i <= xnumber; ++i) {
        double q = 0.0;
        for (int j = 2; j <= ynumber; ++j) q += 0.001 * flow1[i][j][0];
        EXPECT_NEAR(q / Discharge, 1.0, 1e-6) << "i = " << i;
    }
    const Figures f = figures(true);
    // The Strickler law of the bed takes the depth where the formula takes
    // R = A / P: tau = rho g R S (R / h)^(1/3), 1.3 % below rho g R S here.
    EXPECT_NEAR(f.bed_shear / RhoGRS, std::cbrt(Radius / Depth), 0.02);
    // The side walls' log law carries less than the formula's rho g R S.
    EXPECT_NEAR(f.slope / manning_slope(), 0.97, 0.02);
    // The middle of a 50:1 channel runs a little faster than the mean.
    EXPECT_GT(f.centre_speed, Discharge / Area);
    EXPECT_LT(f.centre_speed, 1.03 * Discharge / Area);
    // The depth-averaged k-epsilon balances at about u* h / 13 in the middle.
    const double nu = 0.09 * kinen[Section][Centre][0] * kinen[Section][Centre][0] / epsilon[Section][Centre][0];
    EXPECT_NEAR(nu / (std::sqrt(bedshear[Section][Centre] / 1000.0) * Depth / 12.96), 1.0, 0.15);
    // A symmetric channel gives a symmetric flow.
    for (int j = 2; j < Centre; ++j) EXPECT_NEAR(xvel[Section][j][0], xvel[Section][ynumber + 2 - j][0], 1e-4);

    // The cells above the columns show the depth-averaged flow in the results.
    for (int k = 2; k <= znumber; ++k) {
        EXPECT_EQ(xvel[Section][Centre][k], xvel[Section][Centre][0]);
        EXPECT_EQ(zvel[Section][Centre][k], 0.0);
    }
    double spread = 0.0;
    for (int k = 2; k <= znumber; ++k) spread += flow1[Section][Centre][k];
    EXPECT_NEAR(spread, flow1[Section][Centre][0], 1e-9 * std::fabs(flow1[Section][Centre][0]));
}

// The RNG, one-equation and k-omega models use the depth-averaged k-epsilon
// model on the columns, started in balance with the bed; the algebraic model 7
// keeps its own eddy viscosity.  The bed shear is the bed's in every case.
class DepthAveragedModel : public testing::TestWithParam<int> {};

TEST_P(DepthAveragedModel, GivesTheBedShear)
{
    test::CaseFolder folder;
    ASSERT_EQ(run_channel("F 24 " + std::to_string(GetParam()) + "\nF 2 D\n"), 1);
    ASSERT_TRUE(converged());
    EXPECT_NEAR(figures(true).bed_shear / RhoGRS, std::cbrt(Radius / Depth), 0.02);
    if (GetParam() != 7) {
        const double nu = 0.09 * kinen[Section][Centre][0] * kinen[Section][Centre][0] / epsilon[Section][Centre][0];
        EXPECT_NEAR(nu / (std::sqrt(bedshear[Section][Centre] / 1000.0) * Depth / 12.96), 1.0, 0.15);
    }
}

INSTANTIATE_TEST_SUITE_P(DepthAveraged, DepthAveragedModel, testing::Values(1, 7, 14, 15));

TEST(DepthAveraged, AgreesWithTheThreeDimensionalSolver)
{
    ZEFRA_HEAVY_CASE();
    Figures full{}, columns{};
    {
        test::CaseFolder folder;
        ASSERT_EQ(run_channel("F 2 W\n"), 1);
        ASSERT_TRUE(converged());
        full = figures(false);
    }
    {
        test::CaseFolder folder;
        ASSERT_EQ(run_channel("F 44 1\nF 2 W\n"), 1);  // W runs the columns with F 44
        ASSERT_TRUE(converged());
        columns = figures(true);
    }
    EXPECT_NEAR(columns.bed_shear / full.bed_shear, 1.0, 0.15);
    EXPECT_NEAR(columns.centre_speed / full.centre_speed, 1.0, 0.15);
    EXPECT_NEAR(columns.slope / full.slope, 1.0, 0.15);
}

TEST(DepthAveraged, ResultFileReadBackStartsAConvergedRun)
{
    test::CaseFolder folder;
    // D writes the result file at convergence; R reads it into the cells; the
    // second D starts from their depth averages.
    ASSERT_EQ(run_channel("F 48 0\nF 2 DRD\n"), 1);
    const std::string log = test::log_text();
    const std::size_t first = log.find("Solution converged\n"), second = log.find("Solution converged\n", first + 1);
    ASSERT_NE(second, std::string::npos) << log;
    EXPECT_NE(log.find("Have read"), std::string::npos);
    EXPECT_LE(Iter, 2);
}

// With a constant inflow, time steps end where the steady run ends: the time
// term of the columns works on their own previous values.
TEST(DepthAveraged, TransientRunSettlesAtTheSteadyFlow)
{
    ZEFRA_HEAVY_CASE();
    double steady = 0.0;
    {
        test::CaseFolder folder;
        ASSERT_EQ(run_channel("F 2 D\n"), 1);
        steady = figures(true).slope;
    }
    test::CaseFolder folder;
    ASSERT_EQ(run_channel("F 33 60 10\nK 1 60 50000\nF 2 D\n"), 1);
    EXPECT_EQ(Iter, 61);
    EXPECT_NEAR(figures(true).slope / steady, 1.0, 0.01);
    for (int i = 2; i <= xnumber; ++i) EXPECT_NEAR(xvel_old[i][Centre][0], xvel[i][Centre][0], 1e-4);
}

// The 90-degree bend of the examples (20 m wide, 60 m centreline radius)
// computed on its columns: under the lid the pressure at the outer bank
// stands above that at the inner bank by the superelevation U^2 B / (g R),
// and the fastest water runs along the inner bank.
TEST(DepthAveraged, BendRaisesItsOuterBankByTheSuperelevation)
{
    test::CaseFolder folder;
    for (const char* file : {"control", "koordina"})
        std::filesystem::copy_file(std::string(ZEFRA_SOURCE_DIR) + "/examples/bend90/" + file, file);
    test::write_file("control", test::read_file("control") + "F 44 1\n");
    char name[] = "zefra";
    char* argv[] = {name, nullptr};
    ASSERT_EQ(run_zefra(1, argv), 1);
    ASSERT_TRUE(converged());
    const int i = 16;  // the middle of the bend; j = 1 is the outer bank
    double area = 0.0;
    for (int j = 2; j <= ynumber; ++j) area += 0.5 * (m_ar_x[i - 1][j][0] + m_ar_x[i][j][0]);
    const double u = 40.0 / area;
    const double rise = (Pres[i][2][0] - Pres[i][ynumber][0]) / (1000.0 * 9.81);
    EXPECT_NEAR(rise / (u * u * 20.0 / (9.81 * 60.0)), 1.0, 0.15);
    EXPECT_GT(std::hypot(xvel[i][ynumber - 1][0], yvel[i][ynumber - 1][0]), 1.2 * std::hypot(xvel[i][3][0], yvel[i][3][0]));
}

// A backwater curve: a wide channel (side walls without friction) of 3 km
// with the bed slope of 2 m normal depth at q = 2 m2/s and Strickler 35 is
// held 3 m deep at its outflow.  From a level start the surface of the
// columns moves until it follows the standard-step solution of the same
// roughness, dh/dx = (S0 - Sf) / (1 - Fr^2) with Sf = q^2 / (M^2 h^(10/3)).
TEST(DepthAveraged, BackwaterCurveFollowsTheStandardStep)
{
    test::CaseFolder folder;
    constexpr double M = 35.0, q = 2.0, normal = 2.0, held = 3.0, length = 3000.0, width = 30.0;
    constexpr int x = 61;
    const double slope = (q / normal) * (q / normal) / (M * M * std::pow(normal, 4.0 / 3.0));
    std::string grid;
    char line[200];
    for (int i = 1; i <= x; ++i)
        for (int j = 1; j <= 4; ++j) {
            const double along = length * (i - 1) / (x - 1);
            std::snprintf(line, sizeof line, "%d %d %.4f %.4f %.6f\n", i, j, along, width * (j - 1) / 3.0, 100.0 - slope * along);
            grid += line;
        }
    test::write_file("koordina", grid);
    const double outflow_level = 100.0 - slope * length + held;
    std::snprintf(line, sizeof line, "G 1 %d 4 4 1\nW 1 %g %g %.6f\nK 5 0 0 0 1 0 0\nK 1 8000 5\nK 2 1 1\nF 142 0.00001\nF 2 D\n", x, M, q * width,
                  outflow_level);
    test::write_file("control", line);
    char name[] = "zefra";
    char* argv[] = {name, nullptr};
    ASSERT_EQ(run_zefra(1, argv), 1);
    ASSERT_TRUE(converged());
    ASSERT_NE(test::log_text().find("Surface not updated"), std::string::npos);

    // The standard step upstream from the outflow, 1 m at a time (fourth-order Runge-Kutta).
    auto rise = [&](double h) {
        const double friction = q * q / (M * M * std::pow(h, 10.0 / 3.0)), froude2 = q * q / (9.81 * h * h * h);
        return (slope - friction) / (1.0 - froude2);
    };
    std::vector<double> depth(static_cast<int>(length) + 1);
    double h = held;
    depth[static_cast<int>(length)] = h;
    for (int m = static_cast<int>(length); m > 0; --m) {
        const double k1 = rise(h), k2 = rise(h - 0.5 * k1), k3 = rise(h - 0.5 * k2), k4 = rise(h - k3);
        h -= (k1 + 2.0 * k2 + 2.0 * k3 + k4) / 6.0;
        depth[m - 1] = h;
    }
    double worst = 0.0;
    for (int i = 1; i <= x; ++i) {
        const int at = static_cast<int>(std::lround(xval[i][1]));
        double level = 0.0;
        for (int j = 1; j <= ynumber; ++j) level += zval[i][j][znumber] / ynumber;
        worst = std::max(worst, std::fabs(level - (100.0 - slope * at + depth[at])));
    }
    EXPECT_LT(worst, 0.02);
    EXPECT_GT(zval[1][1][znumber] - outflow_level, 0.35);  // the surface rose from its level start
}

// The river with an intake canal of the examples (two blocks joined at the
// river's south bank) on its columns: 100 m3/s enter, 80 leave through the
// river's end on its joint line and 20 through the canal.
TEST(DepthAveraged, SideBranchTakesItsShareAcrossTheJoint)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    for (const char* file : {"control", "koordina"})
        std::filesystem::copy_file(std::string(ZEFRA_SOURCE_DIR) + "/examples/side_branch/" + file, file);
    test::write_file("control", test::read_file("control") + "F 44 1\n");
    char name[] = "zefra";
    char* argv[] = {name, nullptr};
    ASSERT_EQ(run_zefra(1, argv), 1);
    ASSERT_TRUE(converged());
    auto discharge = [](int i) {
        double q = 0.0;
        for (int j = 2; j <= ynumber; ++j) q += 0.001 * flow1[i][j][0];
        return q;
    };
    const int joint = MBSkjot[1];
    for (int i = 1; i <= 10; ++i) EXPECT_NEAR(discharge(i), 100.0, 1e-6) << "i = " << i;
    for (int i = 30; i <= joint; ++i) EXPECT_NEAR(discharge(i), 80.0, 1e-6) << "i = " << i;
    for (int i = joint + 2; i <= xnumber; ++i) EXPECT_NEAR(discharge(i), 20.0, 1e-6) << "i = " << i;
}

// Called by the transient morphology for one step, the solver reads and
// writes the columns only and leaves the time series output as it is.
TEST(DepthAveraged, OneMorphologyStepTouchesOnlyTheColumns)
{
    test::CaseFolder folder;
    ASSERT_EQ(run_channel("F 2 D\n"), 1);
    constexpr double Mark = 1234.5;
    for (Field3* a : {&xvel, &yvel, &Pres, &kinen, &epsilon, &flow1, &flow2})
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = 2; k <= znumber; ++k) (*a)[i][j][k] = Mark;
    test::write_file(TimeSeriesOutputFile, "kept\n");
    TimePrintNo = 1;
    FlagTSC = 1;
    TimeStep = 10.0;          // the morphology's steps are time steps
    PrintIterRes = 1000000;   // no periodic result file within this step
    const double u = xvel[Section][Centre][0];
    xvel[Section][Centre][0] = 0.5 * u;  // a disturbance the step must work on
    iterGlobalMax = Iter;
    WaterSolve2D();
    EXPECT_EQ(test::read_file(TimeSeriesOutputFile), "kept\n");
    EXPECT_GT(xvel[Section][Centre][0], 0.6 * u);
    for (Field3* a : {&xvel, &yvel, &Pres, &kinen, &epsilon, &flow1, &flow2})
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = 2; k <= znumber; ++k) ASSERT_EQ((*a)[i][j][k], Mark);

    // On its own the solver starts the file afresh.
    FlagTSC = 0;
    iterGlobalMax = 1;
    WaterSolve2D();
    EXPECT_EQ(test::read_file(TimeSeriesOutputFile).find("kept"), std::string::npos);
}

}  // namespace
}  // namespace zefra
