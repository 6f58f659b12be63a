// Porous media and plants through the program entry: a closed conduit packed
// with gravel against the drag law of the porous layer (also turned by 45
// degrees), and a channel of emergent stems against the uniform velocity of
// stem drag.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "engine/common/physics.h"
#include "engine/grid/columns.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "tests/support/case_folder.h"
#include "tests/support/straight_channel.h"

namespace zefra {
namespace {

// koordina of a straight reach of x by y node lines, dx by dy apart, turned by
// `turn` degrees in plan; bed falling by `slope`, a roof `roof` above it (0:
// open).
void write_reach(int x, int y, double dx, double dy, double slope, double roof, double turn = 0.0)
{
    const double c = std::cos(turn * 3.141592653589793 / 180.0), s = std::sin(turn * 3.141592653589793 / 180.0);
    std::string text;
    char line[160];
    for (int i = 1; i <= x; ++i)
        for (int j = 1; j <= y; ++j) {
            const double along = dx * (i - 1), across = dy * (j - 1), bed = 100.0 - slope * along;
            const int n = std::snprintf(line, sizeof line, "%d %d %.9f %.9f %.9f", i, j, along * c - across * s, along * s + across * c, bed);
            if (roof > 0.0) std::snprintf(line + n, sizeof line - n, " %.9f", bed + roof);
            text += line;
            text += '\n';
        }
    test::write_file("koordina", text);
}

// One record for every column of an 11 x 4 grid.
std::string records(const char* kind, const char* values)
{
    std::string text;
    char line[200];
    for (int i = 2; i <= 11; ++i)
        for (int j = 2; j <= 4; ++j) {
            std::snprintf(line, sizeof line, "%s %d %d %s\n", kind, i, j, values);
            text += line;
        }
    return text;
}

// Area-weighted mean pressure over the cells of row i.
double section_pressure(int i)
{
    double p = 0.0, area = 0.0;
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k) {
            p += Pres[i][j][k] * m_ar_x[i][j][k];
            area += m_ar_x[i][j][k];
        }
    return p / area;
}

// A conduit 20 m long, 1.5 m wide and 0.5 m high, filled with gravel of
// d = 0.02 m (F 16: the roughness, the grain size of the default F 25) and
// porosity 0.4: the pressure falls by 3 rho (1 - n) / n^3 U^2 / d per metre.
// Side walls without friction; bed and roof friction are below 0.1 % of it.
TEST(PorousCase, PackedConduitFollowsTheDragLawAtThreeVelocities)
{
    const double n = 0.4, d = 0.02, area = 1.5 * 0.5;
    for (const auto& [turn, u] : {std::pair{0.0, 0.02}, {0.0, 0.05}, {0.0, 0.1}, {45.0, 0.05}}) {
        test::CaseFolder folder;
        write_reach(11, 4, 2.0, 0.5, 0.0, 0.5, turn);
        test::write_file("porosity", records("P", "99 99.5 100 101  0.4 0.4 0.4 0.4"));
        char line[200];
        std::snprintf(line, sizeof line, "G 1 11 4 6 1\nG 3 0 20 40 60 80 100\nW 1 35 %g 0\nK 2 1 0\nK 5 0 0 0 1 0 0\nF 7 P\nF 16 %g\nF 2 W\n", u * area, d);
        ASSERT_EQ(test::run_case(line), 1);
        ASSERT_TRUE(test::converged()) << test::log_text();
        const double measured = (section_pressure(4) - section_pressure(9)) / (5 * 2.0);
        const double expected = 3.0 * WaterDensity * (1.0 - n) / (n * n * n) * u * u / d;
        EXPECT_NEAR(measured / expected, 1.0, 0.02) << "U = " << u << " turned by " << turn << ": " << measured << " Pa/m, law " << expected;
    }
}

// A channel 100 m long and 3 m wide falling by S = 1 %, filled with emergent
// stems (N = 200 per m2, D = 0.01 m, C_D = 1) on a smooth bed (F 16: 2 mm):
// the flow settles at the uniform velocity of stem drag,
// sqrt(2 g S / (C_D N D)), 0.5 m deep.  It starts from the backwater curve of
// W 1's Manning M = 8, 0.38 m deep upstream, and must find that depth itself.
TEST(VegetationCase, EmergentStemsGiveTheUniformVelocityOfStemDrag)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    const double slope = 0.01, stems = 200.0, diameter = 0.01, drag = 1.0, width = 3.0, depth = 0.5;
    const double velocity = std::sqrt(2.0 * Gravity * slope / (drag * stems * diameter)), discharge = velocity * depth * width;
    write_reach(11, 4, 10.0, 1.0, slope, 0.0);
    test::write_file("vegdata", records("V", "90 95 105 110  200 0.01 1.0 1.33"));
    char line[200];
    std::snprintf(line, sizeof line, "G 1 11 4 6 1\nW 1 8 %.6f %.6f\nW 2 11 1 2 3 4 5 6 7 8 9 10 11\nF 16 0.002\nK 5 0 0 0 1 0 0\nK 1 8000 5\nK 2 1 1\nF 115 1\nF 2 W\n", discharge,
                  100.0 - slope * 100.0 + depth);
    ASSERT_EQ(test::run_case(line), 1);
    ASSERT_TRUE(test::converged()) << test::log_tail();
    // The upper half of the reach, clear of the inflow column and of the
    // drawdown to the outflow level.
    double h = 0.0;
    for (int i = 3; i <= 7; ++i)
        for (int j = 2; j <= ynumber; ++j) h += column_depth(i, j) / (5 * (ynumber - 1));
    const double surface_slope = (column_top(3, 3) - column_top(7, 3)) / 40.0;
    EXPECT_NEAR(discharge / (width * h) / velocity, 1.0, 0.05) << "depth " << h << " m";
    EXPECT_NEAR(surface_slope / slope, 1.0, 0.05);
}

}  // namespace
}  // namespace zefra
