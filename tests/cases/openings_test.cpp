// Whole runs of a turbulent straight channel with G 7 openings on its side
// wall, bed and surface, each started cold: 200 m long, 14 m wide, about
// 1.1 m deep, 10 m3/s through the upstream end, Strickler 35, k-epsilon.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>

#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "tests/support/straight_channel.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

using test::converged;
using test::log_tail;

// Discharge out of the domain through the faces of an opening, m3/s.
double opening_outflow(int side, int a1, int a2, int b1, int b2)
{
    double q = 0.0;
    for (int a = a1; a <= a2; ++a)
        for (int b = b1; b <= b2; ++b) switch (side) {
            case -2: q += flow2[a][ynumber][b]; break;
            case 2: q -= flow2[a][1][b]; break;
            case 3: q -= flow3[a][b][1]; break;
            case -3: q += flow3[a][b][znumber]; break;
            default: ADD_FAILURE() << "no such side in these cases"; break;
            }
    return 0.001 * q;
}

// Largest speed of the cells in i = i1 ... i2.
double fastest(int i1, int i2)
{
    double v = 0.0;
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) v = std::max(v, std::hypot(xvel[i][j][k], yvel[i][j][k], zvel[i][j][k]));
    return v;
}

const std::string Channel = "G 1 21 8 6 1\nG 3 0 20 40 60 80 100\nW 1 35 10.0 101.0\nK 5 0 0 0 1 0 0\nF 2 W\nG 7 0 1 2 8 2 6 0 0 10.0 0 0 0\n";

struct Opening {
    const char* name;
    std::string data_sets;  // the opening, the main outflow and the wall opened for it
    int side, a1, a2, b1, b2;
    double q;  // out of the domain through the opening, m3/s
};

void PrintTo(const Opening& o, std::ostream* out)
{
    *out << o.name;
}

class ColdStart : public ::testing::TestWithParam<Opening> {};

// The opening carries its discharge and the downstream end the rest, both to
// rounding; the sections upstream and downstream of it carry 10 m3/s and the
// rest to the convergence criterion; nothing near it runs at twice the speed
// of the approaching flow.
TEST_P(ColdStart, OpeningCarriesItsShare)
{
    ZEFRA_HEAVY_CASE();
    const Opening& o = GetParam();
    test::CaseFolder folder;
    test::write_straight_channel(21, 8);
    ASSERT_EQ(test::run_case(Channel + o.data_sets), 1);
    ASSERT_TRUE(converged()) << log_tail();
    const double rest = 10.0 - o.q;
    EXPECT_NEAR(opening_outflow(o.side, o.a1, o.a2, o.b1, o.b2), o.q, 1e-6);
    EXPECT_NEAR(test::section_discharge(xnumber), rest, 1e-6);
    EXPECT_NEAR(test::section_discharge(5), 10.0, 10.0 * ConvergenceCriteria);
    EXPECT_NEAR(test::section_discharge(16), rest, rest * ConvergenceCriteria);
    EXPECT_LT(fastest(o.a1 - 2, o.a2 + 2), 2.0 * test::section_speed(5));
}

INSTANTIATE_TEST_SUITE_P(
    Openings, ColdStart,
    ::testing::Values(
        Opening{"side_outlet", "G 7 1 -2 10 12 2 6 0 1 2.0 0 0 0\nG 7 1 -1 2 8 2 6 0 1 8.0 0 0 0\nW 4 2 0 8 10 12 2 6\n", -2, 10, 12, 2, 6, 2.0},
        Opening{"bed_outlet", "G 7 1 3 10 12 4 6 0 1 2.0 0 0 0\nG 7 1 -1 2 8 2 6 0 1 8.0 0 0 0\nW 4 3 0 2 10 12 4 6\n", 3, 10, 12, 4, 6, 2.0},
        Opening{"side_inlet", "G 7 0 2 10 12 2 6 0 0 2.0 0 0 0\nG 7 1 -1 2 8 2 6 0 1 12.0 0 0 0\nW 4 2 0 2 10 12 2 6\n", 2, 10, 12, 2, 6, -2.0},
        // A side inlet whose water comes in at an angle, (0.6, 0.8) in plan.
        Opening{"slanted_side_inlet", "G 7 0 2 10 12 2 6 2 0 2.0 0.6 0.8 5\nG 7 1 -1 2 8 2 6 0 1 12.0 0 0 0\nW 4 2 0 2 10 12 2 6\n", 2, 10, 12, 2, 6,
                -2.0},
        Opening{"surface_inlet", "G 7 0 -3 10 12 4 6 0 0 2.0 0 0 0\nG 7 1 -1 2 8 2 6 0 1 12.0 0 0 0\n", -3, 10, 12, 4, 6, -2.0}),
    [](const ::testing::TestParamInfo<Opening>& param) { return std::string(param.param.name); });

// An opening on a wall passes nothing: the log names the record and the data
// set that opens the wall, the one the side outlet above runs with.
TEST(Openings, OpeningOnAWallIsReported)
{
    test::CaseFolder folder;
    test::write_straight_channel(21, 8);
    ASSERT_EQ(test::run_case(Channel + "G 7 1 -2 10 12 2 6 0 1 2.0 0 0 0\nG 7 1 -1 2 8 2 6 0 1 8.0 0 0 0\n"), 1);
    const std::string log = test::log_text();
    EXPECT_NE(log.find("Warning: G 7 record 2 lies on a wall at 15 of its 15 faces, first at cell (10,8,2); no water passes a wall\n"
                       "Open the wall with the data set: W 4 2 0 8 10 12 2 6\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Error in continuity-ssimple\n"), std::string::npos);
}

}  // namespace
}  // namespace zefra
