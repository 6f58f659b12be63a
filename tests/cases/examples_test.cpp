// The example cases run as a user runs them: the executable in a copy of the
// example folder.  Each converges and writes the VTK file its README names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/case_folder.h"

namespace zefra {
namespace {

void expect_example_converges(const std::string& name, const std::string& dimensions, const std::string& plot = "ParaView3.vtk")
{
    test::CaseFolder folder;
    for (const char* file : {"control", "koordina"})
        std::filesystem::copy_file(std::string(ZEFRA_SOURCE_DIR) + "/examples/" + name + "/" + file, file);
    EXPECT_EQ(test::run_executable("", nullptr), 1);
    EXPECT_TRUE(test::log_ends_with("Solution converged\n")) << test::log_text();
    ASSERT_TRUE(test::file_exists(plot));
    EXPECT_NE(test::read_file(plot).find(dimensions), std::string::npos);
}

TEST(Examples, StraightChannelConverges)
{
    ZEFRA_HEAVY_CASE();
    expect_example_converges("straight_channel", "DIMENSIONS 22 22 13\n");
}

TEST(Examples, BendConverges)
{
    ZEFRA_HEAVY_CASE();
    expect_example_converges("bend90", "DIMENSIONS 32 22 12\n");
}

// The second-order upwind scheme for momentum (K 6: the fifth entry chooses
// the coefficients of u, v, w and of k and epsilon).  In the bend, whose first
// iterations are violent, k and epsilon need a relaxation of 0.3: with 0.5
// the unbounded scheme drives k below zero at the surface of the outer bank.
TEST(Examples, StraightChannelAndBendConvergeWithSecondOrderUpwindMomentum)
{
    ZEFRA_HEAVY_CASE();
    for (const auto& [name, extra] : {std::pair<std::string, std::string>{"straight_channel", "K 6 0 0 0 0 1 0\n"},
                                      {"bend90", "K 6 0 0 0 0 1 0\nK 3 0.8 0.8 0.8 0.2 0.3 0.3\n"}}) {
        SCOPED_TRACE(name);
        test::CaseFolder folder;
        std::filesystem::copy_file(std::string(ZEFRA_SOURCE_DIR) + "/examples/" + name + "/koordina", "koordina");
        test::write_file("control", test::read_file(std::string(ZEFRA_SOURCE_DIR) + "/examples/" + name + "/control") + extra);
        EXPECT_EQ(test::run_executable("", nullptr), 1);
        EXPECT_TRUE(test::log_ends_with("Solution converged\n")) << test::log_text().substr(0, 2000);
    }
}

TEST(Examples, SideBranchConverges)
{
    expect_example_converges("side_branch", "DIMENSIONS 50 12 9\n");
}

TEST(Examples, TracerInTheBendConvergesAndIsPlotted)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    for (const char* file : {"control", "koordina"})
        std::filesystem::copy_file(std::string(ZEFRA_SOURCE_DIR) + "/examples/bend90_tracer/" + file, file);
    EXPECT_EQ(test::run_executable("", nullptr), 1);
    const std::string log = test::log_text();
    EXPECT_NE(log.find("Solution converged\n"), std::string::npos);
    EXPECT_NE(log.find("Components converged after"), std::string::npos) << log;
    EXPECT_NE(log.find("; Q converged after "), std::string::npos);
    const std::string vtk = test::read_file("ParaView3.vtk");
    EXPECT_NE(vtk.find("SCALARS Water_Quality_0 float\n"), std::string::npos);
    EXPECT_NE(vtk.find("SCALARS Water_Quality_1 float\n"), std::string::npos);
}

TEST(Examples, DepthAveragedMeanderConverges)
{
    ZEFRA_HEAVY_CASE();
    expect_example_converges("meander_2d", "DIMENSIONS 242 22 2\n", "ParaView2.vtk");
}

TEST(Examples, TrenchFillsAndMovesDownstream)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    for (const char* file : {"control", "koordina"})
        std::filesystem::copy_file(std::string(ZEFRA_SOURCE_DIR) + "/examples/trench/" + file, file);
    EXPECT_EQ(test::run_executable("", nullptr), 1);
    const std::string log = test::log_text();
    EXPECT_NE(log.find("Max bedlevchange = "), std::string::npos) << log;
    EXPECT_NE(log.find("Total change in bed levels: "), std::string::npos);
    // Ten flows, each written with the bed movement of the step before it.
    ASSERT_TRUE(test::file_exists("pav2_00009.vtk"));
    EXPECT_FALSE(test::file_exists("pav2_00010.vtk"));
    EXPECT_NE(test::read_file("pav2_00009.vtk").find("SCALARS Bed_movement float\n"), std::string::npos);
    // Along the middle node line: the trench (x = 150 ... 190 m) has taken
    // sand on its upstream half and lost it below, and the sand is the only
    // thing that moved: 0.3 m above the fixed bed at most.
    std::istringstream before(test::read_file("koordina")), after(test::read_file("koordina.new"));
    double a[5], b[5], upstream = 0.0, downstream = 0.0;
    while (before >> a[0] >> a[1] >> a[2] >> a[3] >> a[4] && after >> b[0] >> b[1] >> b[2] >> b[3] >> b[4]) {
        EXPECT_GT(b[4] - a[4], -0.3 - 1e-6) << a[0] << " " << a[1];
        if (a[1] != 3) continue;
        if (a[2] >= 150.0 && a[2] <= 170.0) upstream += b[4] - a[4];
        if (a[2] >= 185.0 && a[2] <= 200.0) downstream += b[4] - a[4];
    }
    EXPECT_GT(upstream, 1.0);
    EXPECT_LT(downstream, -0.5);
}

// The six residuals of the "Iter:" line of iteration n (empty when missing).
std::vector<double> residuals(const std::string& log, int n)
{
    const std::string tag = "Iter: " + std::to_string(n) + ", Resid: ";
    const std::size_t at = log.find(tag);
    std::vector<double> r(6);
    if (at == std::string::npos ||
        std::sscanf(log.c_str() + at + tag.size(), "%lf %lf %lf %lf %lf %lf", &r[0], &r[1], &r[2], &r[3], &r[4], &r[5]) != 6)
        return {};
    return r;
}

// The river with dry banks needs a few thousand iterations: here its first
// hundred, enough for the start-up figures its README quotes and a flow whose
// residuals fall.  By hand: the minimum depth is 1.5 % of the 800 m centre
// line over 81 node lines, 0.148 m; at the outflow (water level 100.82 m)
// the floodplain, 2 m above the bottom at 99.32 m, is dug down to
// 100.672 m, by 0.648 m; in every section the three floodplain nodes and
// the highest bank node (1.6 m above the bottom, 0.12 m under the water at
// the inflow) on either side are lowered: 8 x 81 = 648 nodes.
TEST(Examples, RiverWithDryBanksStarts)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    const std::string source = std::string(ZEFRA_SOURCE_DIR) + "/examples/meander_banks/";
    std::filesystem::copy_file(source + "koordina", "koordina");
    test::write_file("control", test::read_file(source + "control") + "K 1 100 50000\n");
    EXPECT_EQ(test::run_executable("", nullptr), 1);
    const std::string log = test::log_text();
    EXPECT_NE(log.find("Minimum depth 0.148 m (1.5 % of the mean cell length; F 23 sets it): 648 of 2025 bed nodes lowered to give their "
                       "columns that depth, the most by 0.648 m at node (81,1)\n"),
              std::string::npos);
    // From iteration 10 (when the start-up field has been stirred) to 100
    // every residual at least halves, and the largest falls fivefold.
    const std::vector<double> first = residuals(log, 10), last = residuals(log, 100);
    ASSERT_EQ(first.size(), 6u) << log;
    ASSERT_EQ(last.size(), 6u) << log;
    for (int e = 0; e < 6; ++e) EXPECT_LT(last[e], 0.5 * first[e]) << "equation " << e + 1;
    EXPECT_LT(*std::max_element(last.begin(), last.end()), 0.2 * *std::max_element(first.begin(), first.end()));
    ASSERT_TRUE(test::file_exists("ParaView3.vtk"));
    EXPECT_NE(test::read_file("ParaView3.vtk").find("DIMENSIONS 82 26 10\n"), std::string::npos);
}


// The same river with every relaxation factor raised comes apart within a few
// iterations.  The line after "Solution diverged" names the equation of the
// stop and the cell with the largest residual: the same cell as the largest
// "Large residual" report of that equation in the last iteration, its share
// of the equation's residual, and a column at least the minimum depth deep.
TEST(Examples, RiverWithDryBanksRaisedRelaxationSaysWhereItDiverges)
{
    test::CaseFolder folder;
    const std::string source = std::string(ZEFRA_SOURCE_DIR) + "/examples/meander_banks/";
    std::filesystem::copy_file(source + "koordina", "koordina");
    test::write_file("control", test::read_file(source + "control") + "K 3 0.9 0.9 0.9 0.8 0.5 0.5\nK 1 30 50000\n");
    EXPECT_EQ(test::run_executable("", nullptr), 1);
    const std::string log = test::log_text();
    const std::size_t stop = log.find("Solution diverged\nLargest residual in equation ");
    ASSERT_NE(stop, std::string::npos) << log.substr(log.size() > 2000 ? log.size() - 2000 : 0);
    int e = 0, i = 0, j = 0, k = 0, stopped_e = 0;
    long iter = 0;
    double cell = 0.0, depth = 0.0, largest = 0.0;
    ASSERT_EQ(std::sscanf(log.c_str() + stop, "Solution diverged\nLargest residual in equation %d (%*[^)]): %lf in cell (%d,%d,%d), column depth %lf m.",
                          &e, &cell, &i, &j, &k, &depth),
              6)
        << log.substr(stop, 300);
    EXPECT_NE(log.find(" m. The run is diverging; lower relaxation factors in K 3 (or a larger minimum depth in F 23) help\n", stop), std::string::npos);
    ASSERT_EQ(std::sscanf(log.c_str() + log.rfind("W diverged at iteration "), "W diverged at iteration %ld (largest residual %*g, equation %d)", &iter,
                          &stopped_e),
              2);
    EXPECT_EQ(e, stopped_e);
    EXPECT_LT(iter, 30);
    const std::vector<double> last = residuals(log, static_cast<int>(iter));
    ASSERT_EQ(last.size(), 6u);
    EXPECT_GT(cell, 0.0);
    EXPECT_LE(cell, last[e - 1] * 1.001);
    EXPECT_GE(depth, 0.148 - 5e-4);
    EXPECT_LE(depth, 1.73);
    // The largest single residual the solver reported for equation e in
    // that iteration sits in the named cell.
    int at_i = 0, at_j = 0, at_k = 0;
    for (std::size_t at = log.find("Iter: " + std::to_string(iter - 1) + ", Resid: "); (at = log.find("Large residual for f(", at + 1)) < stop;) {
        int li = 0, lj = 0, lk = 0, le = 0;
        double r = 0.0;
        if (std::sscanf(log.c_str() + at, "Large residual for f(%d,%d,%d,%d) : %lf", &li, &lj, &lk, &le, &r) != 5 || le != e || r <= largest) continue;
        largest = r;
        at_i = li;
        at_j = lj;
        at_k = lk;
    }
    EXPECT_GT(largest, 0.0);
    EXPECT_EQ(at_i, i);
    EXPECT_EQ(at_j, j);
    EXPECT_EQ(at_k, k);
}

}  // namespace
}  // namespace zefra
