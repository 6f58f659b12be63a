// The free surface through the program entry, checked against open-channel
// hydraulics: uniform flow reached from a horizontal start, the
// super-elevation in a bend, the drawdown over a bump after the energy
// equation, and a closed basin filling at Q / A with the kinematic method.
// The two examples of examples/ are run as well, for the figures of their
// READMEs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/common/physics.h"
#include "engine/driver/entry.h"
#include "engine/grid/columns.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

constexpr double Strickler = 35.0, Pi = 3.14159265358979;

int run_case()
{
    char name[] = "zefra";
    char* argv[] = {name, nullptr};
    return run_zefra(1, argv);
}

// koordina from a bed function of the node (i, j) with its plan position.
struct Node {
    double x, y, z;
};
template <class Bed>
void write_koordina(int x, int y, Bed bed)
{
    std::string text;
    char line[120];
    for (int i = 1; i <= x; ++i)
        for (int j = 1; j <= y; ++j) {
            const Node n = bed(i, j);
            std::snprintf(line, sizeof line, "%d %d %.6f %.6f %.6f\n", i, j, n.x, n.y, n.z);
            text += line;
        }
    test::write_file("koordina", text);
}

std::string control(int x, int y, int z, double discharge_, double outflow_level, const std::string& extra)
{
    char line[200];
    std::snprintf(line, sizeof line, "G 1 %d %d %d 1\nW 1 %g %g %.6f\nK 5 0 0 0 1 0 0\nK 1 8000 5\n", x, y, z, Strickler, discharge_, outflow_level);
    return line + extra + "F 2 W\n";
}

const std::string BedRefined = "G 3 0 3 6 10 15 20 30 40 55 70 85 100\n";
const std::string SlipSides = "K 2 1 1\n";  // side walls without friction: a wide channel

double mean_top(int i)
{
    double s = 0.0;
    for (int j = 1; j <= ynumber; ++j) s += zval[i][j][znumber];
    return s / ynumber;
}

bool surface_settled()
{
    const std::string log = test::log_text();
    return log.find("Surface not updated") != std::string::npos && log.find("Solution converged\n") != std::string::npos;
}

// Wide channel, 1 km, 20 m, Q = 40 m3/s, bed slope of uniform flow at 2 m
// depth after Manning-Strickler with R = h.  No W 2 sections: the start-up
// lays the surface level at the outflow level.
TEST(FreeSurface, ChannelFromAHorizontalStartReachesUniformFlow)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    const double length = 1000.0, width = 20.0, depth = 2.0, discharge_ = 40.0;
    const double u = discharge_ / (width * depth), slope = std::pow(u / (Strickler * std::pow(depth, 2.0 / 3.0)), 2.0);
    write_koordina(21, 4, [&](int i, int j) {
        const double along = length * (i - 1) / 20;
        return Node{along, width * (j - 1) / 3, 100.0 - slope * along};
    });
    const double outflow_level = 100.0 - slope * length + depth;
    test::write_file("control", control(21, 4, 12, discharge_, outflow_level, BedRefined + SlipSides));
    ASSERT_EQ(run_case(), 1);
    ASSERT_TRUE(surface_settled()) << test::log_text();
    EXPECT_GT(mean_top(1) - outflow_level, 0.25);  // the upstream end rose from the outflow level

    // Middle half of the reach: depth, water-surface slope, bed shear.
    const int i1 = 6, i2 = 16;
    const double surface_slope = (mean_top(i1) - mean_top(i2)) / (xval[i2][1] - xval[i1][1]);
    double h = 0.0, shear = 0.0;
    int n = 0;
    for (int i = i1 + 1; i <= i2; ++i)
        for (int j = 2; j <= ynumber; ++j, ++n) {
            h += column_depth(i, j);
            shear += bedshear[i][j];
        }
    h /= n;
    shear /= n;
    EXPECT_NEAR(h / depth, 1.0, 0.02) << h;  // Manning-Strickler normal depth
    const double friction_slope = shear / (WaterDensity * Gravity * h);
    EXPECT_NEAR(surface_slope / friction_slope, 1.0, 0.05) << surface_slope << " " << friction_slope;

    // Every cross-section carries the inflow.
    for (int i = 1; i <= xnumber; ++i) {
        double q = 0.0;
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) q += flow1[i][j][k] / WaterDensity;
        EXPECT_NEAR(q / discharge_, 1.0, ConvergenceCriteria) << "i = " << i;
    }
}

void copy_example(const std::string& name)
{
    for (const char* file : {"control", "koordina"})
        std::filesystem::copy_file(std::string(ZEFRA_SOURCE_DIR) + "/examples/" + name + "/" + file, file);
}

// The figures its README gives: depth along the reach, bed shear 750 m from
// the inflow against rho g R S with the bed slope.
TEST(FreeSurface, StraightChannelExampleEndsUniform)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    copy_example("straight_channel");
    ASSERT_EQ(run_case(), 1);
    ASSERT_TRUE(surface_settled());
    const int centre = 11;
    for (int i = 1; i < xnumber; ++i) EXPECT_NEAR(zval[i][centre][znumber] - zval[i][centre][1], 1.975, 0.02) << "i = " << i;
    EXPECT_NEAR(mean_top(1) - 101.58689, 0.37, 0.01);
    const int i = 16;
    double shear = 0.0, h = 0.0;
    for (int j = 2; j <= ynumber; ++j) {
        shear += bedshear[i][j] / (ynumber - 1);
        h += column_depth(i, j) / (ynumber - 1);
    }
    const double bed_slope = (zval[1][1][1] - zval[xnumber][1][1]) / 1000.0;
    EXPECT_NEAR(shear / (WaterDensity * Gravity * 20.0 * h / (20.0 + 2.0 * h) * bed_slope), 1.0, 0.02) << shear;
}

// The 90-degree bend of examples/, 60 m centreline radius, 20 m wide, 2 m
// deep, 1 m/s: the outer bank (j = 1) stands higher than the inner one by
// about U^2 B / (g R).
TEST(FreeSurface, BendExampleRaisesTheOuterBank)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    copy_example("bend90");
    ASSERT_EQ(run_case(), 1);
    ASSERT_TRUE(surface_settled()) << test::log_text();
    auto rise = [](int i) { return zval[i][1][znumber] - zval[i][ynumber][znumber]; };
    auto expected = [](int i) {
        const double h = mean_top(i) - 0.5 * (zval[i][1][1] + zval[i][ynumber][1]);
        const double u = 40.0 / (20.0 * h);
        return u * u * 20.0 / (Gravity * 60.0);
    };
    const int apex = 16;
    EXPECT_NEAR(rise(apex) / expected(apex), 1.0, 0.3) << rise(apex);
    EXPECT_NEAR(rise(apex), 0.037, 0.001);  // the README's figure
    EXPECT_LT(std::fabs(rise(5)), 0.05 * expected(5));  // none in the straight upstream
}

// Levels along the middle of a wide channel with a smooth bump of height
// `bump` on its bed at x = 80 ... 120 m; 1 m deep at 1.5 m/s (Froude 0.48).
struct Profile {
    std::vector<double> x, bed, top;
};
constexpr double BumpDepth = 1.0, BumpSpeed = 1.5;

double bump_bed(double x, double bump)
{
    return std::fabs(x - 100.0) < 20.0 ? bump * 0.5 * (1.0 + std::cos(Pi * (x - 100.0) / 20.0)) : 0.0;
}

double bump_slope()
{
    return std::pow(BumpSpeed / (Strickler * std::pow(BumpDepth, 2.0 / 3.0)), 2.0);
}

Profile bump_run(double bump)
{
    test::CaseFolder folder;
    const double length = 200.0, width = 20.0;
    write_koordina(51, 4, [&](int i, int j) {
        const double x = length * (i - 1) / 50;
        return Node{x, width * (j - 1) / 3, 100.0 - bump_slope() * x + bump_bed(x, bump)};
    });
    const double outflow_level = 100.0 - bump_slope() * length + BumpDepth;
    test::write_file("control", control(51, 4, 12, BumpSpeed * BumpDepth * width, outflow_level, BedRefined + SlipSides));
    Profile p;
    if (run_case() != 1 || !surface_settled()) return p;
    for (int i = 1; i <= xnumber; ++i) {
        p.x.push_back(xval[i][2]);
        p.bed.push_back(zval[i][2][1]);
        p.top.push_back(mean_top(i));
    }
    return p;
}

// Depth at x2 from depth h1 at x1 by the energy equation with Manning-Strickler
// friction (R = h), marching downstream in 0.1 m steps on the subcritical branch.
double energy_march(double x1, double x2, double h1, double bump)
{
    const double q = BumpSpeed * BumpDepth, s0 = bump_slope(), g = Gravity;
    auto bed = [&](double x) { return bump_bed(x, bump) - s0 * x; };
    auto head = [&](double h) { return h + q * q / (2 * g * h * h); };
    const int steps = static_cast<int>((x2 - x1) / 0.1 + 0.5);
    const double dx = (x2 - x1) / steps;
    double h = h1, x = x1;
    for (int n = 0; n < steps; ++n) {
        const double friction = std::pow(q / h / (Strickler * std::pow(h, 2.0 / 3.0)), 2.0);
        const double energy = bed(x) + head(h) - friction * dx;
        x += dx;
        for (int it = 0; it < 100; ++it) h = energy - bed(x) - q * q / (2 * g * h * h);
    }
    return h;
}

TEST(FreeSurface, BumpDrawsTheSurfaceDownAsTheEnergyEquationSays)
{
    ZEFRA_HEAVY_CASE();
    const double bump = 0.1;
    const Profile flat = bump_run(0.0), over = bump_run(bump);
    ASSERT_EQ(flat.x.size(), 51u);
    ASSERT_EQ(over.x.size(), 51u);
    const int up = 16, crest = 25;  // x = 60 m and 100 m
    ASSERT_NEAR(over.x[crest], 100.0, 1e-9);
    const double drop = (over.top[up] - over.top[crest]) - (flat.top[up] - flat.top[crest]);
    // The same march without the bump stands for the subtracted run.
    const double h_over = over.top[up] - over.bed[up], h_flat = flat.top[up] - flat.bed[up];
    const double expected = (h_over - bump - energy_march(60.0, 100.0, h_over, bump)) - (h_flat - energy_march(60.0, 100.0, h_flat, 0.0));
    EXPECT_NEAR(drop / expected, 1.0, 0.05) << drop << " m against " << expected << " m";
}

// A closed basin, 100 m x 20 m, filled with 2 m3/s through its upstream end
// for 100 s with the kinematic method: 0.1 m rise.
TEST(FreeSurface, KinematicBasinRisesAtTheInflowOverItsArea)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    write_koordina(11, 5, [](int i, int j) { return Node{10.0 * (i - 1), 5.0 * (j - 1), 100.0}; });
    test::write_file("control", "G 1 11 5 6 1\nW 1 35 2.0 102.0\nG 7 0 1 2 5 2 6 0 0 2.0 0 0 0\nF 33 1 5\nF 36 1\nK 1 100 50000\nF 2 W\n");
    ASSERT_EQ(run_case(), 1);
    double volume = 0.0, area = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            volume += m_armap[i][j] * column_depth(i, j);
            area += m_armap[i][j];
        }
    EXPECT_NEAR(stime, 100.0, 1e-9);
    EXPECT_NEAR((volume / area - 2.0) / (2.0 * 100.0 / area), 1.0, 0.001);
    EXPECT_TRUE(std::filesystem::exists("surflog"));
}

}  // namespace
}  // namespace zefra
