// Grid files carry a moved bed and surface from one run to the next, through
// the program entry.  The straight channel of tests/support (200 m x 8 m,
// q = 1 m2/s) has its bed raised by 0.15 m over x = 80 ... 120 m by a stored
// bed change (`loggfil.pre`), and its steady free surface (F 36 2) settles
// over it; the run writes `koosurf`, `xcyc` and `koordina.new`.  A run that
// reads the first two with letter X, and one that takes `koordina.new` as its
// grid, both start on that grid and end with the same flow.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "tests/support/case_folder.h"
#include "tests/support/straight_channel.h"

namespace zefra {
namespace {

const std::string Channel = "G 1 21 5 8 1\nW 1 35 8.0 100.9\nK 5 0 0 0 1 0 0\nK 1 8000 5\nG 3 0 5 12 22 35 50 70 100\nK 2 1 1\nF 36 2\n";

// Plan coordinates, levels (lines 0 ... znumber), inner-cell volumes and velocities.
struct Grid {
    std::vector<double> xy, z, volume, u;
};

Grid grid_now()
{
    Grid g;
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) {
            g.xy.insert(g.xy.end(), {xval[i][j], yval[i][j]});
            for (int k = 0; k <= znumber; ++k) g.z.push_back(zval[i][j][k]);
            for (int k = 2; k <= znumber && i > 1 && j > 1; ++k) {
                g.volume.push_back(Volume[i][j][k]);
                g.u.push_back(xvel[i][j][k]);
            }
        }
    return g;
}

double largest_difference(const std::vector<double>& a, const std::vector<double>& b)
{
    double d = a.size() == b.size() ? 0.0 : 1e30;
    for (std::size_t n = 0; n < a.size() && n < b.size(); ++n) d = std::max(d, std::fabs(a[n] - b[n]));
    return d;
}

Grid at_w;  // the grid as letter W begins
void take_grid(char letter, int)
{
    if (letter == 'W') at_w = grid_now();
}

// Runs the channel with `files` and the extra data sets in a fresh folder;
// returns the files named in `keep` as they are afterwards (empty if missing).
std::map<std::string, std::string> run(const std::map<std::string, std::string>& files, const std::string& data_sets,
                                       std::initializer_list<const char*> keep, Grid& end)
{
    test::CaseFolder folder;
    test::write_straight_channel(21, 5);
    for (const auto& [name, text] : files) test::write_file(name, text);
    run_letter_observer = take_grid;
    EXPECT_EQ(test::run_case(Channel + data_sets), 1);
    EXPECT_TRUE(test::converged()) << test::log_tail();
    end = grid_now();
    std::map<std::string, std::string> kept;
    for (const char* name : keep) kept[name] = test::file_exists(name) ? test::read_file(name) : "";
    return kept;
}

TEST(GridFiles, MovedGridComesBackThroughLetterXAndAsKoordina)
{
    ZEFRA_HEAVY_CASE();
    std::string stored = "T 0.0\n\n";
    for (int i = 9; i <= 13; ++i)
        for (int j = 2; j <= 5; ++j) stored += "a " + std::to_string(i) + " " + std::to_string(j) + " 0.15 1.0\n";
    Grid first, again, from_new;
    const auto files = run({{"loggfil.pre", stored}}, "F 2 W\n", {"koosurf", "xcyc", "koordina.new"}, first);
    const Grid first_start = at_w;
    ASSERT_NEAR(first.z[(10 * 5 + 2) * 9 + 1] - first.z[(10 * 5 + 2) * 9 + 0], 0.0, 1e-12);  // line 0 follows the moved bed
    ASSERT_NEAR(first.z[(10 * 5 + 2) * 9 + 1], 100.0 - 0.005 * 10 + 0.15, 1e-9);            // node i = 11 at x = 100 m

    // Letter X: the grid to the precision of the formats, then the same flow
    // (speeds near 1 m/s agree to the 1e-3 of the convergence criterion).
    // Its point report (F 48 1), appended at every write of results: the bed
    // at node (11, 3), between the beds of nodes 13 and 14 at x = 125 m; a
    // point outside the grid is said to be so and the next is reported.
    const auto after_x = run({{"koosurf", files.at("koosurf")}, {"xcyc", files.at("xcyc")}, {"interpol", "M 100 4\nM 500 4\nM 125 4\n"}},
                             "F 48 1\nF 2 XW\n", {"koordina.new", "interres", "boogie"}, again);
    EXPECT_EQ(after_x.at("koordina.new"), "");  // the bed has not moved in this run
    const std::string& points = after_x.at("interres");
    double bed_at_node, bed_between;
    ASSERT_EQ(std::sscanf(points.c_str(), "T %*f M %*f %*f %lf M 500.000000 4.000000 not inside geometry M %*f %*f %lf", &bed_at_node,
                          &bed_between), 2) << points;
    EXPECT_NEAR(bed_at_node, 100.10, 1e-6);
    EXPECT_LT(bed_between, again.z[(12 * 5 + 2) * 9 + 1]);
    EXPECT_GT(bed_between, again.z[(13 * 5 + 2) * 9 + 1]);
    EXPECT_GT(points.rfind("T "), 0u);  // more than one write
    const std::string& log = after_x.at("boogie");
    EXPECT_EQ(log.find("lies outside"), log.rfind("lies outside"));
    EXPECT_NE(log.find("lies outside"), std::string::npos);
    EXPECT_LT(largest_difference(at_w.xy, first.xy), 5e-5 + 1e-12);
    EXPECT_LT(largest_difference(at_w.z, first.z), 5e-6 + 1e-12);
    EXPECT_LT(largest_difference(at_w.volume, first.volume), 1e-3);  // cells of about 2 m3, rebuilt by X
    EXPECT_LT(largest_difference(again.u, first.u), 1e-3) << largest_difference(again.u, first.u);
    EXPECT_LT(largest_difference(again.z, first.z), 1e-4);

    // koordina.new as the grid of a new run: the same start and the same flow.
    // Its point report (F 48 4) at node (16, 3): that node's water level, and
    // depth times depth-averaged speed gives the discharge per width, 1 m2/s.
    const auto report = run({{"koordina", files.at("koordina.new")}, {"interpol", "M 150 4\n"}}, "F 48 4\nF 2 W\n", {"interres"}, from_new);
    EXPECT_LT(largest_difference(at_w.z, first_start.z), 1e-6);
    EXPECT_LT(largest_difference(from_new.u, first.u), 1e-4);
    const std::string& interres = report.at("interres");  // a report at iteration 100, then the converged one
    double x, y, level, depth, u, v;
    ASSERT_EQ(std::sscanf(interres.c_str() + interres.rfind("T "), "T %*f M %lf %lf %lf %lf %lf %lf", &x, &y, &level, &depth, &u, &v), 6);
    EXPECT_NEAR(level, from_new.z[(15 * 5 + 2) * 9 + 8], 1e-6);
    EXPECT_NEAR(depth * u, 1.0, 0.005) << depth << " m at " << u << " m/s";
}

}  // namespace
}  // namespace zefra
