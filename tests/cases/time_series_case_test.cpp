// Time series through whole runs: a discharge hydrograph of D rows followed
// step by step by a closed conduit, the timeo lines of the run, and a faulty
// `timei` that ends the start-up before any run letter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

// A closed conduit 100 m long, 15 m wide and 4 m high: 10 x 3 x 3 cells of
// 1, 1 and 2 m height, a G 7 inflow over the whole upstream end and an
// outflow over the downstream end, steps of 5 s.  `timei` raises the discharge from 40 to 80 m3/s within
// 50 s and lowers it again within the next 50 s.
void write_hydrograph_case()
{
    std::string grid;
    char line[120];
    for (int i = 1; i <= 11; ++i)
        for (int j = 1; j <= 4; ++j) {
            std::snprintf(line, sizeof line, "%d %d %g %g 100 104\n", i, j, 10.0 * (i - 1), 5.0 * (j - 1));
            grid += line;
        }
    test::write_file("koordina", grid);
    test::write_file("timei",
                     "I 0 40 40 0 0\nI 50 80 80 0 0\nI 100 40 40 0 0\n"
                     "D 0 40 40 0 0 0 0 0 0 0 0\nD 50 80 80 0 0 0 0 0 0 0 0\nD 100 40 40 0 0 0 0 0 0 0 0\n"
                     "O 0 9\nu 1 2 2 u 1 2 3 u 1 2 4\nu 1 3 2 u 1 3 3 u 1 3 4\nu 1 4 2 u 1 4 3 u 1 4 4\n");
}

std::string hydrograph_control(int steps)
{
    return "G 1 11 4 4 1\nG 3 0 25 50 100\nK 2 0 0\nW 1 35 40.0 0\nF 33 5 1\nK 1 " + std::to_string(steps) +
           " 1\nF 2 W\nG 7 0 1 2 4 2 4 0 0 40.0 0 0 0\nG 7 1 -1 2 4 2 4 0 1 40.0 0 0 0\n";
}

// The discharge of the hydrograph at time t (held at 40 after its end).
double hydrograph(double t)
{
    if (t <= 50.0) return 40.0 + 40.0 * t / 50.0;
    if (t <= 100.0) return 80.0 - 40.0 * (t - 50.0) / 50.0;
    return 40.0;
}

// Discharge through the inflow ghost faces, m3/s.
double inflow()
{
    double q = 0.0;
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k) q += xvel[1][j][k] * m_ar_x[1][j][k] * m_vec_x[1][j][0];
    return q;
}

TEST(TimeSeriesCase, DischargeHydrographIsFollowedStepByStep)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    write_hydrograph_case();
    // A run of n steps ends at n * 5 s; its last step took the discharge of
    // that time at the inflow faces, and the solver's fluxes through them carry it.
    double worst = 0.0;
    for (int steps = 1; steps <= 26; ++steps) {
        SCOPED_TRACE(steps);
        ASSERT_EQ(test::run_case(hydrograph_control(steps)), 1) << test::log_tail();
        ASSERT_NEAR(stime, 5.0 * steps, 1e-12);
        EXPECT_NEAR(inflow(), hydrograph(stime), 1e-9);
        double flux = 0.0;
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) flux += flow1[1][j][k] / 1000.0;
        EXPECT_NEAR(flux, hydrograph(stime), 1e-9);
        worst = std::max({worst, std::fabs(inflow() - hydrograph(stime)), std::fabs(flux - hydrograph(stime))});
    }
    std::printf("hydrograph: largest deviation of the inflow from the series over 26 steps %.1e m3/s\n", worst);
    EXPECT_NE(test::log_text().find("W computed 26 time steps to 130 s"), std::string::npos);
}

TEST(TimeSeriesCase, TimeoShowsTheTimeAndTheInflowOfEachStepAndAFaultyFileStopsTheRun)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    write_hydrograph_case();
    test::write_file("control", hydrograph_control(24));
    ASSERT_EQ(test::run_executable(), 1);
    // One line per step, written as the step starts: the time reached and the
    // inflow velocities of the nine faces (5, 5 and 10 m2 in each column) set for it.
    std::istringstream lines(test::read_file("timeo"));
    std::string line;
    int n = 0;
    for (; std::getline(lines, line); ++n) {
        std::istringstream fields(line);
        double t = 0.0, u = 0.0, q = 0.0;
        fields >> t;
        const double area[] = {5.0, 5.0, 10.0};
        int values = 0;
        while (fields >> u && values < 9) q += area[values++ % 3] * u;
        ASSERT_EQ(values, 9) << line;
        EXPECT_NEAR(t, 5.0 * n, 1e-9) << line;
        EXPECT_NEAR(q, hydrograph(t), 2e-6 * hydrograph(t)) << line;  // the seven digits of the file
    }
    EXPECT_EQ(n, 24);

    // A faulty file ends the start-up before any run letter.
    test::write_file("timei", "I 5 40 40 0 0\nI 3 40 40 0 0\n");
    EXPECT_EQ(test::run_executable(), 1);
    const std::string log = test::log_text();
    EXPECT_NE(log.find("Error in timei file: \nTime on I data set lower than the time on the previous data set\n"), std::string::npos);
    EXPECT_NE(log.find("zefra: error 9 in 'timei': no run letter executed; see boogie"), std::string::npos);
    EXPECT_EQ(log.find("Iter:"), std::string::npos);
}

}  // namespace
}  // namespace zefra
