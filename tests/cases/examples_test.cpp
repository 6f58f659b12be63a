// The example cases run as a user runs them: the executable in a copy of the
// example folder.  Each converges and writes the VTK file its README names.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

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

}  // namespace
}  // namespace zefra
