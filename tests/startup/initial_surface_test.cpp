// The initial water surface against open-channel hydraulics computed by hand:
// normal depth in a prismatic channel, critical depth as the limit, the
// section properties of a trapezoid, and a first velocity field that carries
// the discharge.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "engine/common/status.h"
#include "engine/input/control_reader.h"
#include "engine/startup/initial_surface.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

// A straight rectangular channel: x node lines `spacing` m apart, y node lines
// across a width `width`, bed falling with `slope` towards the downstream end.
struct Channel {
    int x = 51, y = 6, z = 5;
    double spacing = 20.0, width = 20.0, slope = 0.001;
    std::string sections = "W 2 6 1 11 21 31 41 51\n";
    double bed(int i) const { return slope * spacing * (x - i); }
    void write_grid() const
    {
        std::string text;
        char line[120];
        for (int i = 1; i <= x; ++i)
            for (int j = 1; j <= y; ++j) {
                std::snprintf(line, sizeof line, "%d %d %.10g %.10g %.10g\n", i, j, (i - 1) * spacing, (j - 1) * width / (y - 1), bed(i));
                text += line;
            }
        test::write_file("koordina", text);
    }
};

std::optional<int> start_channel(const Channel& c, double manning, double q, double level, const std::string& more = "")
{
    c.write_grid();
    std::string control = "G 1 " + std::to_string(c.x) + " " + std::to_string(c.y) + " " + std::to_string(c.z) + " 1\n" +
                          "G 3 0 25 50 75 100\n" + c.sections + more;
    char w1[100];
    std::snprintf(w1, sizeof w1, "W 1 %.10g %.10g %.10g\n", manning, q, level);
    test::write_file("control", control + w1);
    return test::exit_status([] {
        kread();
        initial();
    });
}

// Normal depth of a wide channel (R = h): Q = M B h^(5/3) S^(1/2).
double normal_depth(double q, double manning, double width, double slope)
{
    return std::pow(q / (manning * width * std::sqrt(slope)), 0.6);
}

TEST(InitialSurface, PrismaticChannelRunsAtNormalDepth)
{
    test::CaseFolder folder;
    Channel c;
    const double hn = normal_depth(40.0, 35.0, c.width, c.slope);
    ASSERT_FALSE(start_channel(c, 35.0, 40.0, c.bed(c.x) + hn).has_value()) << test::log_text();
    const int jm = c.y / 2 + 1;
    for (int i = 1; i <= c.x; ++i) {
        EXPECT_NEAR(zval[i][jm][c.z] - c.bed(i), hn, 1e-3) << i;
        EXPECT_NEAR(zval[i][1][c.z], zval[i][c.y][c.z], 1e-12);  // a level surface across
    }
    EXPECT_EQ(test::log_text().find("Critical level"), std::string::npos);
    EXPECT_EQ(test::log_text().find("Non-convergence"), std::string::npos);
    EXPECT_EQ(std::string(mc_message), "Initiation terminated o.k");
    // Minimum depth 0.015 x 1000 m / 51 node lines; every column is deep enough.
    EXPECT_NE(test::log_text().find("Minimum depth 0.294 m (1.5 % of the mean cell length; F 23 sets it): no bed node lowered\n"),
              std::string::npos);
}

// Sections upstream of the first W 2 section continue its surface slope (a
// control with W 2 sections only downstream still starts, at normal depth).
TEST(InitialSurface, SectionsUpstreamOfTheFirstListedOneKeepItsSlope)
{
    test::CaseFolder folder;
    Channel c;
    c.sections = "W 2 3 21 31 51\n";
    const double hn = normal_depth(40.0, 35.0, c.width, c.slope);
    ASSERT_FALSE(start_channel(c, 35.0, 40.0, c.bed(c.x) + hn).has_value()) << test::log_text();
    const int jm = c.y / 2 + 1;
    for (int i = 1; i < 21; ++i) EXPECT_NEAR(zval[i][jm][c.z] - c.bed(i), hn, 1e-3) << i;
}

TEST(InitialSurface, FirstVelocityFieldCarriesTheDischarge)
{
    test::CaseFolder folder;
    Channel c;
    const double hn = normal_depth(40.0, 35.0, c.width, c.slope);
    ASSERT_FALSE(start_channel(c, 35.0, 40.0, c.bed(c.x) + hn).has_value());
    for (int i = 2; i < c.x; ++i) {
        double flux = 0.0;
        for (int j = 2; j <= c.y; ++j)
            for (int k = 2; k <= c.z; ++k) flux += xvel[i][j][k] * m_ar_x[i][j][k];
        EXPECT_NEAR(flux / 40.0, 1.0, 1e-6) << i;
    }
    // The profile is logarithmic: faster near the surface than near the bed.
    EXPECT_GT(xvel[10][3][c.z], xvel[10][3][2]);
    EXPECT_EQ(zvel[10][3][3], 0.0);
    EXPECT_EQ(yvel[10][3][3], 0.0);
    // Bed shear stress rho g R S of uniform flow.
    EXPECT_NEAR(bedshear[10][3], 1000 * 9.81 * hn * c.slope, 0.01 * 1000 * 9.81 * hn * c.slope);
    // Eddy viscosity constant above 0.3 of the depth, smaller near the bed.
    EXPECT_LT(diff[10][3][2], diff[10][3][c.z]);
    EXPECT_DOUBLE_EQ(diff[10][3][c.z], diff[10][3][c.z - 1]);
}

Channel steep_channel()
{
    Channel c;
    c.slope = 0.02;
    c.spacing = 5.0;
    c.sections = "W 2 51";
    for (int i = 1; i <= 51; ++i) {
        c.sections.push_back(' ');
        c.sections.append(std::to_string(i));
    }
    c.sections += "\n";
    return c;
}

TEST(InitialSurface, SteepChannelBelowAPoolPassesCriticalDepth)
{
    test::CaseFolder folder;
    // A steep channel (normal depth below critical depth) ending in a pool: the
    // surface falls from the pool to critical depth, and further upstream the
    // flow runs at its (supercritical) normal depth.
    Channel c = steep_channel();
    const double q = 40.0, hc = std::pow(q * q / (9.81 * c.width * c.width), 1.0 / 3.0);
    const double hn = normal_depth(q, 35.0, c.width, c.slope);
    ASSERT_LT(hn, hc);
    ASSERT_FALSE(start_channel(c, 35.0, q, c.bed(c.x) + 2.0).has_value()) << test::log_text();
    EXPECT_NE(test::log_text().find("Critical level:area,critarea,crossnr="), std::string::npos);
    const int jm = c.y / 2 + 1;
    auto depth = [&](int i) { return zval[i][jm][c.z] - c.bed(i); };
    int control = 0;
    for (int i = c.x; i >= 1 && control == 0; --i)
        if (std::fabs(depth(i) - hc) < 0.001 * hc) control = i;
    ASSERT_GT(control, 1);
    for (int i = control + 1; i <= c.x; ++i) EXPECT_GT(depth(i), hc) << i;
    for (int i = 1; i < control - 15; ++i) EXPECT_NEAR(depth(i), hn, 0.001 * hn) << i;
}

TEST(InitialSurface, DownstreamLevelBelowCriticalDepthTakesTheCriticalBranch)
{
    test::CaseFolder folder;
    // The mild channel ending below critical depth is a free overfall: the flow
    // reaches the end through critical depth, and upstream the surface rises
    // along the drawdown curve from critical towards normal depth.
    Channel c;
    const double q = 40.0, hc = std::pow(q * q / (9.81 * c.width * c.width), 1.0 / 3.0);
    const double hn = normal_depth(q, 35.0, c.width, c.slope);
    ASSERT_FALSE(start_channel(c, 35.0, q, c.bed(c.x) + 0.5 * hc).has_value()) << test::log_text();
    EXPECT_NE(test::log_text().find("Critical level:area,critarea,crossnr="), std::string::npos);
    const int jm = c.y / 2 + 1;
    auto depth = [&](int i) { return zval[i][jm][c.z] - c.bed(i); };
    EXPECT_NEAR(depth(41), hc, 0.001 * hc);
    for (int i = 1; i < 41; ++i) {
        EXPECT_GT(depth(i), depth(i + 1)) << i;  // rising upstream
        EXPECT_LT(depth(i), hn) << i;            // but staying below normal depth
    }
    EXPECT_GT(depth(1), 0.95 * hn);
}

TEST(InitialSurface, TrapezoidalSectionWithDryBanks)
{
    test::CaseFolder folder;
    // Section nodes at y = 0, 3, 6, 9, 12, 15 with bed levels 4, 2, 0, 0, 2, 4:
    // banks of slope 2:3, a flat bottom 3 m wide.  Water level 2: the outer
    // bank segments are dry.
    const double beds[] = {0, 4, 2, 0, 0, 2, 4};
    std::string text;
    for (int i = 1; i <= 5; ++i)
        for (int j = 1; j <= 6; ++j)
            text += std::to_string(i) + " " + std::to_string(j) + " " + std::to_string(10.0 * i) + " " + std::to_string(3.0 * (j - 1)) +
                    " " + std::to_string(beds[j]) + "\n";
    test::write_file("koordina", text);
    test::write_file("control", "G 1 5 6 4 1\nG 3 0 30 60 100\nW 1 30 5 2\n");
    ASSERT_FALSE(test::exit_status(kread).has_value());
    const CrossSection s = cross_section(3, 2.0);
    // Wet: two bank segments 3 wide with depths 0 ... 2 and the bottom 3 wide, 2 deep.
    EXPECT_NEAR(s.area, 2 * (3 * 2 / 2.0) + 3 * 2.0, 1e-12);
    // Every bed segment is wetted in the computation (dry columns keep a minimum depth).
    const double bank = std::sqrt(3.0 * 3.0 + 2.0 * 2.0);
    EXPECT_NEAR(s.perimeter, 4 * bank + 3.0, 1e-12);
    EXPECT_NEAR(s.radius, s.area / (s.perimeter + 1e-10), 1e-15);
    // Level 3: the outer bank segments are half wet (depths 1 and 0 at their ends).
    const CrossSection higher = cross_section(3, 3.0);
    EXPECT_NEAR(higher.area, 2 * (3 * (1 + 3) / 2.0) + 3 * 3.0 + 2 * (3 * 1 / 2.0), 1e-12);
}

TEST(InitialSurface, SectionAboveTheSurfaceIsLoweredToTheMinimumDepth)
{
    test::CaseFolder folder;
    // A sill 3 m high across node line 25, between the listed sections 21 and 31;
    // the later lines of node line 25 in the grid file win.
    Channel c;
    c.write_grid();
    std::string grid = test::read_file("koordina");
    for (int j = 1; j <= c.y; ++j) {
        char line[100];
        std::snprintf(line, sizeof line, "25 %d %.10g %.10g %.10g\n", j, 24 * c.spacing, (j - 1) * c.width / (c.y - 1), c.bed(25) + 3.0);
        grid += line;
    }
    const double hn = normal_depth(40.0, 35.0, c.width, c.slope);
    char w1[80];
    std::snprintf(w1, sizeof w1, "W 1 35 40 %.10g\n", c.bed(c.x) + hn);
    test::write_file("control", std::string("G 1 51 6 5 1\nG 3 0 25 50 75 100\nW 2 6 1 11 21 31 41 51\nF 23 0 0.05\n") + w1);
    test::write_file("koordina", grid);
    ASSERT_FALSE(test::exit_status([] {
                     kread();
                     initial();
                 }).has_value())
        << test::log_text();
    for (int j = 1; j <= c.y; ++j) {
        EXPECT_NEAR(zval[25][j][c.z] - zval[25][j][1], 0.05, 1e-9);
        EXPECT_LT(zval[25][j][1], c.bed(25) + 3.0);
        EXPECT_NEAR(zval[25][j][c.z], c.bed(25) + hn, 2e-3);
    }
    // The log says so: the sill top, 3 m above the bed, now lies 0.05 m under
    // the surface at about normal depth.
    const std::string log = test::log_text();
    const std::string line = "Minimum depth 0.050 m (F 23): 6 of 306 bed nodes lowered to give their columns that depth, the most by ";
    const std::size_t at = log.find(line);
    ASSERT_NE(at, std::string::npos) << log;
    double most = 0.0;
    int end = 0;
    ASSERT_EQ(std::sscanf(log.c_str() + at + line.size(), "%lf m at node (25,1)\n%n", &most, &end), 1);
    EXPECT_GT(end, 0) << log.substr(at, 200);
    EXPECT_NEAR(most, 3.0 - hn + 0.05, 3e-3);
}

TEST(InitialSurface, RunLetterVRenewsOnlyTheLevels)
{
    test::CaseFolder folder;
    Channel c;
    const double hn = normal_depth(40.0, 35.0, c.width, c.slope);
    ASSERT_FALSE(start_channel(c, 35.0, 40.0, c.bed(c.x) + hn, "F 2 WV\n").has_value());
    EXPECT_NEAR(zval[20][3][c.z] - c.bed(20), hn, 1e-3);
    EXPECT_EQ(xvel[20][3][3], 0.0);
    EXPECT_EQ(test::log_text().find("End of initial\n\n"), std::string::npos);
}

TEST(InitialSurface, StopsOfTheBackwaterComputation)
{
    {
        test::CaseFolder folder;
        Channel c;
        std::string control = "W 2 3 11 11 21\n";  // a section listed twice
        EXPECT_EQ(start_channel(c, 35.0, 40.0, 2.0, control), -3);
        EXPECT_TRUE(test::log_ends_with("Error in initiation of water surface,  Crossnr=crossfor for i=11\n"));
        EXPECT_EQ(std::string(mc_message), " Crossnr=crossfor for i=11");
    }
    {
        test::CaseFolder folder;
        Channel c;
        c.slope = 0.5;  // the next section up lies 10 m higher: no water reaches it
        EXPECT_EQ(start_channel(c, 35.0, 40.0, c.bed(c.x) + 1.0), -1);
        EXPECT_TRUE(test::log_ends_with("Error in initialization of water surface, section 41.\n"
                                        "Increase the downstream water surface or\nincrease the number of cross-sections for\n"
                                        "calculation of water surface or decrease the\nManning's M value(s)\n"));
    }
}

TEST(InitialSurface, ClosedConduitHasUniformVelocity)
{
    test::CaseFolder folder;
    std::string text;
    for (int i = 1; i <= 6; ++i)
        for (int j = 1; j <= 5; ++j) text += std::to_string(i) + " " + std::to_string(j) + " " + std::to_string(2.0 * i) + " " + std::to_string(j - 1.0) + " 0 2\n";
    test::write_file("koordina", text);
    test::write_file("control", "G 1 6 5 4 1\nG 3 0 30 60 100\nK 2 1 0\nW 1 60 8 0\n");
    ASSERT_FALSE(test::exit_status([] {
                     kread();
                     initial_tunnel();
                 }).has_value())
        << test::log_text();
    // Area 4 x 2 = 8, so 1 m/s everywhere; radius 8 / (4 + 4).
    EXPECT_NEAR(xvel[3][3][2], 1.0, 1e-9);
    EXPECT_NEAR(xvel[3][3][4], 1.0, 1e-9);
    EXPECT_NEAR(radius[3], 1.0, 1e-9);
    EXPECT_NEAR(diff[3][3][2], diff[3][3][4], 1e-15);
    EXPECT_NE(test::log_text().find("i=3 radius=1.000000 avvvelocity=1.000000 area=8.000000\n"), std::string::npos);
}

}  // namespace
}  // namespace zefra
