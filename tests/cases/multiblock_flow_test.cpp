// Flow through multi-block grids, run through the program entry: a straight
// conduit computed as one block and as two blocks joined along a line, a
// main channel with a side branch taking part of the discharge, and a
// channel whose whole discharge turns into the side block.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/driver/entry.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

struct Node {
    int i, j;
    double x, y, bed, roof;
};

void write_nodes(const std::vector<Node>& nodes, bool roof)
{
    std::string text;
    char line[160];
    for (const Node& n : nodes) {
        if (roof)
            std::snprintf(line, sizeof line, "%d %d %.4f %.4f %.6f %.6f\n", n.i, n.j, n.x, n.y, n.bed, n.roof);
        else
            std::snprintf(line, sizeof line, "%d %d %.4f %.4f %.6f\n", n.i, n.j, n.x, n.y, n.bed);
        text += line;
    }
    test::write_file("koordina", text);
}

constexpr auto run = &test::run_case;

using test::converged;

// Discharge through the I-faces of node line i, m3/s.
double section(int i)
{
    double q = 0.0;
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k) q += 0.001 * flow1[i][j][k];
    return q;
}

// A conduit 10 m wide (5 cells), 3 m high (5 levels) and 150 m long along y,
// flowing north.  As one block, i runs along it and j across (x = 2 (6 - j)).
// As two blocks, the first 50 m are a main block with i across (x = 2 (i - 1))
// and j along, and the rest is a side block joined to its north edge: its
// cell (a, b) is the cell (a, b) of the single block, and main cell (i, j)
// is single-block cell (j, 8 - i).
constexpr int Lines = 16;
double bed(double y)
{
    return 100.0 - 0.0005 * y;
}

std::vector<Node> single_conduit()
{
    std::vector<Node> nodes;
    for (int i = 1; i <= Lines; ++i)
        for (int j = 1; j <= 6; ++j) {
            const double y = 10.0 * (i - 1);
            nodes.push_back({i, j, 2.0 * (6 - j), y, bed(y), bed(y) + 3.0});
        }
    return nodes;
}

std::vector<Node> joined_conduit()
{
    std::vector<Node> nodes;
    for (int i = 1; i <= 6; ++i)
        for (int j = 1; j <= 6; ++j) {
            const double y = 10.0 * (j - 1);
            nodes.push_back({i, j, 2.0 * (i - 1), y, bed(y), bed(y) + 3.0});
        }
    for (int a = 7; a <= Lines; ++a)
        for (int b = 1; b <= 6; ++b) {
            const double y = 10.0 * (a - 1);
            nodes.push_back({a, b, 2.0 * (6 - b), y, bed(y), bed(y) + 3.0});
        }
    return nodes;
}

const std::string conduit = "G 1 16 6 6 1\nG 3 0 20 40 60 80 100\nW 1 35 10 0\nK 2 0 0\nK 5 0 0 0 1 0 0\nF 2 W\n";

TEST(MultiBlockFlow, StraightConduitAsOneBlockAndAsTwoBlocksGivesTheSameFlow)
{
    std::vector<double> u, v;
    {
        test::CaseFolder folder;
        write_nodes(single_conduit(), true);
        ASSERT_EQ(run(conduit + "G 7 0 1 2 6 2 6 0 0 10 0 0 0\nG 7 1 -1 2 6 2 6 0 1 10 0 0 0\n"), 1);
        ASSERT_TRUE(converged());
        for (int i = 2; i <= Lines; ++i)
            for (int j = 2; j <= 6; ++j)
                for (int k = 2; k <= 6; ++k) {
                    u.push_back(xvel[i][j][k]);
                    v.push_back(yvel[i][j][k]);
                }
    }
    test::CaseFolder folder;
    write_nodes(joined_conduit(), true);
    // Inflow through the main block's south edge (its bank opened by W 4 with
    // sign 0); its sides at x = 0 and 10 m are walls.
    ASSERT_EQ(run(conduit + "W 3 1 6 -2\nG 7 0 2 2 6 2 6 0 0 10 0 0 0\nG 7 1 -1 2 6 2 6 0 1 10 0 0 0\n"
                            "W 4 2 0 2 2 6 2 6\nW 4 1 1 2 2 6 2 6\nW 4 1 -1 6 2 6 2 6\n"),
              1);
    ASSERT_TRUE(converged()) << test::log_text();
    // Single-block cell (i, j, k) as stored above.
    auto at = [](int i, int j, int k) { return static_cast<std::size_t>(((i - 2) * 5 + (j - 2)) * 5 + (k - 2)); };
    double worst = 0.0, mean = 0.0;
    for (int k = 2; k <= 6; ++k) {
        for (int i = 7; i <= Lines; ++i)
            for (int j = 2; j <= 6; ++j) worst = std::max(worst, std::hypot(xvel[i][j][k] - u[at(i, j, k)], yvel[i][j][k] - v[at(i, j, k)]));
        for (int i = 2; i <= 6; ++i)
            for (int j = 2; j <= 6; ++j) worst = std::max(worst, std::hypot(xvel[i][j][k] - u[at(j, 8 - i, k)], yvel[i][j][k] - v[at(j, 8 - i, k)]));
    }
    for (double value : v) mean += value / static_cast<double>(v.size());
    // 1.1e-5 m/s at 0.4 m/s: well within the convergence criterion.
    EXPECT_LT(worst, ConvergenceCriteria * mean);
    for (int i = 7; i <= Lines; ++i) EXPECT_NEAR(section(i), 10.0, 1e-6) << "i = " << i;
}

// A main channel 150 m long and 10 m wide, with a branch 50 m wide leaving its
// south bank between 40 and 90 m and running 60 m south.  10 m3/s enter,
// 6 leave through the main channel's end (its joint line, G 7 side 11) and 4
// through the end of the branch.
std::vector<Node> branching_channel()
{
    std::vector<Node> nodes;
    for (int i = 1; i <= 16; ++i)
        for (int j = 1; j <= 6; ++j) nodes.push_back({i, j, 10.0 * (i - 1), 2.0 * (j - 1), 100.0 - 0.005 * (i - 1), 0.0});
    for (int a = 17; a <= 22; ++a)
        for (int b = 1; b <= 6; ++b)
            nodes.push_back({a, b, 10.0 * (b + 3), -10.0 * (a - 16), 100.0 - 0.005 * (b + 3) - 0.005 * (a - 16), 0.0});
    return nodes;
}

const std::string branch_control = "G 1 22 6 6 1\nG 3 0 20 40 60 80 100\nW 1 35 10.0 101.0\nW 3 1 16 6\nK 5 0 0 0 1 0 0\nF 2 W\n";

TEST(MultiBlockFlow, SideBranchTakesItsShareAndEverySectionCarriesItsDischarge)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    write_nodes(branching_channel(), false);
    ASSERT_EQ(run(branch_control + "G 7 0 1 2 6 2 6 0 0 10.0 0 0 0\nG 7 1 11 2 6 2 6 0 1 6.0 0 0 0\nG 7 1 -1 2 6 2 6 0 1 4.0 0 0 0\n"), 1);
    ASSERT_TRUE(converged()) << test::log_text();
    const double main_out = section(16), branch_out = section(22);
    EXPECT_NEAR(main_out, 6.0, 1e-6);
    EXPECT_NEAR(branch_out, 4.0, 1e-6);
    EXPECT_NEAR(10.0, main_out + branch_out, 1e-6);
    for (int i = 1; i <= 5; ++i) EXPECT_NEAR(section(i), 10.0, 1e-6) << "i = " << i;
    for (int i = 10; i <= 16; ++i) EXPECT_NEAR(section(i), 6.0, 1e-6) << "i = " << i;
    for (int a = 17; a <= 22; ++a) EXPECT_NEAR(section(a), 4.0, 1e-6) << "a = " << a;
    // The branch takes its water through the main channel's south bank.
    double joint = 0.0;
    for (int i = 6; i <= 10; ++i)
        for (int k = 2; k <= znumber; ++k) joint -= 0.001 * flow2[i][1][k];
    EXPECT_NEAR(joint, 4.0, 1e-6);
}

TEST(MultiBlockFlow, WholeDischargeTurnsIntoTheSideBlock)
{
    test::CaseFolder folder;
    std::vector<Node> nodes;
    for (int i = 1; i <= 9; ++i)
        for (int j = 1; j <= 6; ++j) nodes.push_back({i, j, 10.0 * (i - 1), 2.0 * (j - 1), 100.0, 0.0});
    for (int a = 10; a <= 15; ++a)
        for (int b = 1; b <= 6; ++b) nodes.push_back({a, b, 10.0 * b, -10.0 * (a - 9), 100.0, 0.0});
    write_nodes(nodes, false);
    ASSERT_EQ(run("G 1 15 6 6 1\nG 3 0 20 40 60 80 100\nW 1 35 10.0 102.0\nW 3 1 9 3\nK 5 0 0 0 1 0 0\nF 2 W\n"), 1);
    ASSERT_TRUE(converged()) << test::log_text();
    for (int a = 10; a <= 15; ++a) EXPECT_NEAR(section(a) / 10.0, 1.0, 1e-6) << "a = " << a;
}

}  // namespace
}  // namespace zefra
