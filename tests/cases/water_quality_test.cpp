// Water-quality components on whole runs through the program entry: a tracer
// in a closed basin, the inflow value carried through a channel, first-order
// decay along a plug flow and in a basin, reaeration, a product reaction, and
// time-series inflow with a changing time step.  A stored result carries the
// components from one run to the next (letters M and R), as a user restarts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "engine/driver/entry.h"
#include "engine/quality/component_series.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_tables.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

// A closed conduit 2 m high: x by y node lines, dx along and 2 m across.
void write_conduit(int x, int y, double dx)
{
    std::string text;
    char line[120];
    for (int i = 1; i <= x; ++i)
        for (int j = 1; j <= y; ++j) {
            std::snprintf(line, sizeof line, "%d %d %g %g 100 102\n", i, j, dx * (i - 1), 2.0 * (j - 1));
            text += line;
        }
    test::write_file("koordina", text);
}

constexpr auto run = &test::run_case;

template <class Body>
void inner_cells(Body body)
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) body(i, j, k);
}

// Concentration times volume of component m in the inner cells.
double amount(int m)
{
    double sum = 0.0;
    inner_cells([&](int i, int j, int k) { sum += 2.0 * m_armap[i][j] * m_dist_z[i][j][k] * comp[m][i][j][k]; });
    return sum;
}

double volume()
{
    double sum = 0.0;
    inner_cells([&](int i, int j, int k) { sum += 2.0 * m_armap[i][j] * m_dist_z[i][j][k]; });
    return sum;
}

// Largest deviation of component m from `value`, relative to it.
double deviation(int m, double value)
{
    double worst = 0.0;
    inner_cells([&](int i, int j, int k) { worst = std::max(worst, std::fabs(comp[m][i][j][k] / value - 1.0)); });
    return worst;
}

// A basin of 10 x 4 x 4 cells (2 m x 2 m x 0.5 m) with the water at rest:
// walls at both ends, no default outflow (an opening without discharge), and
// an eddy viscosity of 0.01 m2/s.
const std::string basin =
    "G 1 11 5 5 1\nW 1 35 1e-6 0\nK 2 0 0\nG 7 1 -1 2 5 2 5 0 0 0 0 0 0\n"
    "W 4 1 1 2 2 5 2 5\nW 4 1 -1 11 2 5 2 5\nG 8 2 11 2 5 2 5 0 0 0\nF 24 3\nF 34 10\n";

// The amount of each component when letter Q starts.
double start_amount[2];
void note_start(char letter, int)
{
    if (letter != 'Q') return;
    for (int m = 0; m < NoComponents && m < 2; ++m) start_amount[m] = amount(m);
}

// Writes `result` with the basin's components given by fixed boxes after
// `steps` time steps (0: steady, the boxes then fill the basin).
void prepare_basin(const std::string& components_and_boxes, int steps)
{
    write_conduit(11, 5, 2.0);
    const std::string timing = steps > 0 ? "F 33 10 1\nK 1 " + std::to_string(steps) + " 1\n" : "";
    ASSERT_EQ(run(basin + components_and_boxes + timing + "F 2 QM\n"), 1) << test::log_text();
}

// Continues from `result` for `steps` time steps of `dt` with the given terms.
void continue_basin(const std::string& components_and_terms, int steps, double dt, int inner = 1)
{
    run_letter_observer = note_start;
    char timing[80];
    std::snprintf(timing, sizeof timing, "F 33 %g %d\nK 1 %d 1\n", dt, inner, steps);
    const int status = run(basin + components_and_terms + timing + "F 2 RQ\n");
    run_letter_observer = nullptr;
    ASSERT_EQ(status, 1) << test::log_text();
    EXPECT_NE(test::log_text().find("Have read water-quality components of 504 cells from result file\n"), std::string::npos);
}

TEST(WaterQuality, TracerInAClosedBasinKeepsItsMass)
{
    test::CaseFolder folder;
    // Released for 50 s from a box of 2 x 2 x 3 cells held at 1, then left
    // alone to spread with an eddy viscosity of 0.1 m2/s.
    prepare_basin("F 50 1\nG 17 4 5 2 3 2 4 0 1.0\n", 5);
    continue_basin("F 50 1\nF 34 100\n", 100, 10.0, 3);
    EXPECT_NEAR(stime, 1000.0, 1e-9);
    EXPECT_LT(std::fabs(amount(0) / start_amount[0] - 1.0), 1e-9);
    // It has spread through the basin: the far end holds a fair share.
    EXPECT_GT(comp[0][11][5][4], 0.2 * amount(0) / volume());
    EXPECT_LT(comp[0][4][2][2], 2.0 * amount(0) / volume());
}

TEST(WaterQuality, FirstOrderDecayInABasinFollowsTheExponential)
{
    test::CaseFolder folder;
    prepare_basin("F 50 1\nG 17 2 11 2 5 2 5 0 2.0\n", 0);
    // k = 0.001 1/s for 1000 s: c = 2 exp(-1); implicit steps give 2 / 1.01^100.
    continue_basin("F 50 1\nQ 2 0 0 -0.001\n", 100, 10.0);
    const double c = amount(0) / volume();
    EXPECT_LT(std::fabs(c / (2.0 * std::exp(-1.0)) - 1.0), 0.01);
    EXPECT_LT(std::fabs(c / (2.0 * std::pow(1.01, -100)) - 1.0), 1e-9);
    EXPECT_LT(deviation(0, c), 1e-9);

    // A decay far faster than the step (k dt = 5) damps instead of flipping sign.
    continue_basin("F 50 1\nQ 2 0 0 -0.5\n", 10, 10.0);
    EXPECT_LT(std::fabs(amount(0) / volume() / (2.0 * std::pow(6.0, -10)) - 1.0), 1e-9);
    EXPECT_LT(deviation(0, 2.0 * std::pow(6.0, -10)), 1e-9);
}

TEST(WaterQuality, RestartFileCarriesTheComponentsToTheNextRun)
{
    test::CaseFolder folder;
    prepare_basin("F 50 1\nG 17 2 11 2 5 2 5 0 2.0\n", 0);
    EXPECT_NE(test::log_text().find("Have written compres.new file \n"), std::string::npos);
    std::rename("compres.new", "compres");
    ASSERT_EQ(run(basin + "F 50 1\nQ 2 0 0 -0.001\nF 33 10 1\nK 1 10 1\nF 2 Q\n"), 1);
    EXPECT_NE(test::log_text().find("Have read the components from file 'compres'\n"), std::string::npos);
    EXPECT_LT(deviation(0, 2.0 * std::pow(1.01, -10)), 1e-9);
}

TEST(WaterQuality, ReaerationRelaxesTowardsSaturationAtItsRate)
{
    test::CaseFolder folder;
    prepare_basin("F 50 1\nG 17 2 11 2 5 2 5 0 2.0\n", 0);
    // Exchange at the surface at r = 0.003 1/s towards s = 8.  The top cells
    // hold a quarter of the water and an eddy viscosity of 1 m2/s mixes the
    // 2 m depth in seconds, so the deficit falls as exp(-0.00075 t).
    continue_basin("F 50 1\nF 34 1000\nQ 1002 0 0 0.003 8.0\n", 100, 10.0, 20);
    const double deficit = 8.0 - amount(0) / volume();
    EXPECT_LT(std::fabs(std::log(6.0 / deficit) / 0.75 - 1.0), 0.01);
    EXPECT_GT(deficit, 0.0);
}

TEST(WaterQuality, ProductReactionConsumesBothInItsRatio)
{
    test::CaseFolder folder;
    prepare_basin("F 50 2\nG 17 2 11 2 5 2 5 0 1.0\nG 17 2 11 2 5 2 5 1 3.0\n", 0);
    // c0' = -r c0 c1 and c1' = -2 r c0 c1 with r = 0.001 l/(mg s): c1 - 2 c0 = 1
    // stays, so c0' = -r c0 (2 c0 + 1), and each implicit step solves
    // 2 r dt c0^2 + (1 + r dt) c0 = c0_old.
    const double r = 0.001, dt = 5.0;
    continue_basin("F 50 2\nQ 3 0 0 1 -0.001\nQ 3 1 0 1 -0.002\n", 200, dt, 10);
    double c0 = 1.0;
    for (int n = 0; n < 200; ++n) c0 = (-(1.0 + r * dt) + std::sqrt((1.0 + r * dt) * (1.0 + r * dt) + 8.0 * r * dt * c0)) / (4.0 * r * dt);
    const double v = volume();
    EXPECT_LT(std::fabs(amount(0) / (c0 * v) - 1.0), 1e-9);
    EXPECT_LT(std::fabs(amount(1) / ((2.0 * c0 + 1.0) * v) - 1.0), 1e-9);
    EXPECT_LT(std::fabs((start_amount[1] - amount(1)) / (start_amount[0] - amount(0)) - 2.0), 1e-9);
    // The exact c0 = 1 / (3 e^(rt) - 2) at t = 1000 s, within the 0.9 % of the time steps.
    EXPECT_LT(std::fabs(c0 * (3.0 * std::exp(1.0) - 2.0) - 1.0), 0.01);
}

// A plug flow of 1/3 m/s through a conduit 400 m long, 6 m wide and 2 m high
// (the start-up's velocity of a closed conduit is uniform).
std::string plug_flow(int x)
{
    return "G 1 " + std::to_string(x) + " 4 4 1\nW 1 35 4.0 0\nK 2 0 0\nF 24 3\nF 34 0\nF 50 1\n";
}

// Largest deviation of the steady decay from exp(-k x / U) along the conduit.
double decay_error(int x)
{
    write_conduit(x, 4, 400.0 / (x - 1));
    EXPECT_EQ(run(plug_flow(x) + "Q 2 0 0 -0.001\nG 17 1 1 2 4 2 4 0 1.0\nF 2 Q\n"), 1);
    const double u = 4.0 / 12.0, dx = 400.0 / (x - 1), step = 1.0 / (1.0 + 0.001 * dx / u);
    double worst = 0.0;
    for (int i = 2; i <= x; ++i) {
        const double c = comp[0][i][3][3];
        EXPECT_NEAR(c / std::pow(step, i - 1), 1.0, 1e-9);  // upwind: each cell the one before / (1 + k dx / U)
        worst = std::max(worst, std::fabs(c / std::exp(-0.001 * (i - 1.5) * dx / u) - 1.0));
    }
    return worst;
}

TEST(WaterQuality, SteadyDecayAlongAPlugFlowConvergesToTheExponential)
{
    test::CaseFolder folder;
    const double coarse = decay_error(41), fine = decay_error(81);
    // First order in dx: 1.45 % with 10 m cells, half that with 5 m cells.
    EXPECT_NEAR(coarse, 0.0145, 0.0005);
    EXPECT_NEAR(coarse / fine, 2.0, 0.05);
}

TEST(WaterQuality, SteadyChannelCarriesTheInflowValueAndPlotsIt)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    for (const char* file : {"control", "koordina"})
        test::write_file(file, test::read_file(std::string(ZEFRA_SOURCE_DIR) + "/examples/straight_channel/" + file));
    // The surface stays where the start-up put it (no surface moves), which keeps the case short.
    ASSERT_EQ(run(test::read_file("control") + "K 1 2000 100000\nF 50 1\nG 17 1 1 2 21 2 12 0 2.5\nG 24 1 q 0 0\nF 2 WQM\n"), 1);
    EXPECT_NE(test::log_text().find("Components converged after"), std::string::npos);
    EXPECT_LT(deviation(0, 2.5), 1e-5);
    // Every plot point, the bed, the banks and the outlet included.
    const std::string vtk = test::read_file("ParaView3.vtk");
    const std::size_t at = vtk.find("LOOKUP_TABLE default\n", vtk.find("SCALARS Water_Quality_0"));
    ASSERT_NE(at, std::string::npos);
    const char* p = vtk.c_str() + at + 21;
    for (int n = 0; n < 22 * 22 * 13; ++n) {
        char* end;
        const double value = std::strtod(p, &end);
        ASSERT_NE(end, p);
        ASSERT_NEAR(value, 2.5, 2.5e-5) << n;
        p = end;
    }
}

// The time series as its reader leaves it: M rows with their own steps and
// the inflow values; one print request with a point, a section and a column.
void series(char letter, int)
{
    if (letter != 'Q') return;
    const double time[3] = {0.0, 20.0, 1e9}, step[3] = {5.0, 20.0, 1.0}, value[3] = {1.0, 1.0, 1.0};
    for (int n = 0; n < 3; ++n) {
        TimeInTime[n] = time[n];
        TimeInTimStep[n] = step[n];
        Cinn[n][0] = value[n];
    }
    TimeInNo = 3;
    FlagTimeiConc = FlagJTime = 1;
    TimePrintNo = 1;
    TimePrint[0] = {0.0, 1e20, 3, {{'q', 5, 2, 2, 0}, {'Q', 5, 0, 0, 0}, {'L', 5, 3, 0, 0}}};
}

TEST(WaterQuality, SeriesInflowWithChangingStepsKeepsAUniformField)
{
    test::CaseFolder folder;
    write_conduit(21, 4, 10.0);
    // A steady field of 1 everywhere, then ten steps of 5, 20, 1, 1, ... s.
    ASSERT_EQ(run(plug_flow(21) + "G 17 1 1 2 4 2 4 0 1.0\nF 2 QM\n"), 1);
    run_letter_observer = series;
    const int status = run(plug_flow(21) + "F 33 5 1\nK 1 10 1\nF 2 RQ\n");
    run_letter_observer = nullptr;
    ASSERT_EQ(status, 1) << test::log_text();
    EXPECT_NEAR(stime, 33.0, 1e-9);
    EXPECT_EQ(TimeStep, 1.0);
    EXPECT_LT(deviation(0, 1.0), 1e-12);
    EXPECT_EQ(comp[0][1][3][3], 1.0);
    // timeo: one line per step, the time and three values of 1.
    const std::string timeo = test::read_file("timeo");
    int lines = 0;
    for (std::size_t at = 0; (at = timeo.find('\n', at)) != std::string::npos; ++at) ++lines;
    EXPECT_EQ(lines, 10);
    EXPECT_NE(timeo.find("3.3000e+01 1.000000e+00 1.000000e+00 1.000000e+00 \n"), std::string::npos) << timeo;
    EXPECT_NEAR(section_mean(0, 7), 1.0, 1e-12);
}

// The same series from a `timei` file as a user writes it: the M rows give
// the steps and the inflow value, which rises from 1 to 3 after 20 s.
TEST(WaterQuality, SeriesInflowFromTheTimeiFile)
{
    test::CaseFolder folder;
    write_conduit(21, 4, 10.0);
    ASSERT_EQ(run(plug_flow(21) + "G 17 1 1 2 4 2 4 0 1.0\nF 2 QM\n"), 1);
    test::write_file("timei", "M 0 5 1.0\nM 20 20 3.0\nM 1e9 1 3.0\n");
    ASSERT_EQ(run(plug_flow(21) + "F 33 5 1\nK 1 10 1\nF 2 RQ\n"), 1) << test::log_text();
    EXPECT_EQ(TimeInNo, 3);
    EXPECT_NEAR(stime, 33.0, 1e-9);
    EXPECT_EQ(TimeStep, 1.0);
    EXPECT_EQ(comp[0][1][3][3], 3.0);
    // The front of the new value has entered the conduit and not yet left it.
    EXPECT_GT(comp[0][2][3][3], 1.5);
    EXPECT_NEAR(comp[0][20][3][3], 1.0, 1e-6);
}

}  // namespace
}  // namespace zefra
