// The transient morphology of the depth-averaged sediment (F 37 2) through
// the program entry: a uniform channel fed with its own equilibrium load
// keeps its bed, every size keeps its volume over 100 steps of a moving bed,
// clear water entering a sand bed picks up sand with the adaptation length of
// the column equation, and the start-up stop on a bed below the fixed level.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "engine/sediment/column_sediment.h"
#include "engine/sediment/morphology.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

// A straight channel 150 m long and 6 m wide (three columns 2 m wide, cells
// `dx` long, five cells over the depth), slope 3e-4, Strickler 40: 13.2 m3/s
// flows uniformly 2 m deep at 1.1 m/s, depth-averaged unless `flow` says
// otherwise.
std::string channel(double dx, const std::string& extra, const std::string& flow = "F 44 1\n")
{
    const int x = static_cast<int>(std::lround(150.0 / dx)) + 1;
    std::string grid;
    char line[160];
    for (int i = 1; i <= x; ++i)
        for (int j = 1; j <= 4; ++j) {
            std::snprintf(line, sizeof line, "%d %d %.3f %.1f %.6f\n", i, j, dx * (i - 1), 2.0 * (j - 1), 100.0 - 3e-4 * dx * (i - 1));
            grid += line;
        }
    test::write_file("koordina", grid);
    std::snprintf(line, sizeof line, "G 1 %d 4 6 %d\nG 3 0 10 25 50 75 100\nW 1 40 13.2 101.955\nW 2 3 1 %d %d\nK 2 1 1\nK 5 0 0 0 1 0 0\nB 1 1 %d 1 4\n",
                  x, extra.find("S 2 ") != std::string::npos ? 2 : 1, (x + 1) / 2, x, x);
    return line + flow + extra;
}

// The steady depth-averaged flow of the channel in `result`, then `steps`
// time steps of dt of the depth-averaged morphology (F 4: `sweeps` passes).
std::string transient(int steps, double dt, int sweeps)
{
    char text[200];
    std::snprintf(text, sizeof text, "F 37 2\nF 33 %g 1\nK 1 %d 1\nF 4 0.5 %d 1e-9\nF 41 0.3\nF 2 RIS\n", dt, steps, sweeps);
    return text;
}

void steady_flow(double dx, const std::string& sediment, const std::string& flow = "F 44 1\n")
{
    ASSERT_EQ(test::run_case(channel(dx, sediment + "F 211 1e-6\nF 2 WM\n", flow)), 1) << test::log_tail();
}

const std::string fine_sand = "S 1 0.0002 0.025\nN 1 1 1.0\n";

// The depth mean in equilibrium with the bed of column (i, 3): f c_b / R.
double equilibrium(int i)
{
    return bedgrain[1][i][3] * conc[1][i][3][0] / near_bed_ratio(1, i, 3);
}

TEST(DepthAveragedMorphologyCase, ClearWaterPicksUpSandOverTheAdaptationLength)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    // Cells of 1 m; the bed is held (F 39 0) so that the flow stays uniform,
    // while the layers give what the water takes.
    steady_flow(1.0, fine_sand);
    ASSERT_EQ(test::run_case(channel(1.0, fine_sand + "I 1 0.0\nF 39 0\n" + transient(400, 0.5, 20))), 1) << test::log_tail();
    // h U dC/dx = w (c_e - R C): C = C_e (1 - exp(-x / L)), L = h U / (w R).
    const int x = xnumber, mid = 3;
    const double C_e = equilibrium(x), R = near_bed_ratio(1, x, mid);
    const double q = xvel[x / 2][mid][0] * 2.0 * m_dist_z[x / 2][mid][0];
    const double L = q / (fallvelo[1] * R), dx = 1.0;
    // Upwind differences on cells dx long give exp(-x / L_d), L_d = dx / ln(1 + dx / L).
    const double L_grid = dx / std::log(1.0 + dx / L);
    // Least-squares slope of ln(1 - C / C_e) over the columns within 4 L of the inflow.
    double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0, n = 0.0;
    for (int i = 2; i <= x; ++i) {
        const double centre = dx * (i - 1.5), deficit = 1.0 - conc2D[1][i][mid][0] / C_e;
        EXPECT_LT(std::fabs(equilibrium(i) / C_e - 1.0), 1e-3) << i;  // uniform flow
        if (centre > 4.0 * L) break;
        const double y = std::log(deficit);
        sx += centre, sy += y, sxx += centre * centre, sxy += centre * y, n += 1.0;
    }
    const double measured = -(n * sxx - sx * sx) / (n * sxy - sx * sy);
    EXPECT_NEAR(measured / L_grid, 1.0, 0.01);
    EXPECT_NEAR(measured / L, 1.0, 0.05);
    EXPECT_NEAR(conc2D[1][x][mid][0] / C_e, 1.0, 2e-3);
    // The bed gives most near the inflow (this step's pick-up, m of bed).
    const double first = bedlevchange[1][2][mid], last = bedlevchange[1][x][mid];
    EXPECT_LT(first, 0.0);
    EXPECT_GT(std::fabs(first), 50.0 * std::fabs(last));
    for (int i = 3; i <= x; ++i) EXPECT_GE(bedlevchange[1][i][mid], bedlevchange[1][i - 1][mid] - 1e-15) << i;
    const SizeVolumes v = transient_volumes(1);
    EXPECT_NEAR(v.outflow + v.suspended, -(v.active + v.inactive), 1e-6 * v.outflow);
    std::printf("adaptation: L measured %.2f m, h U / (w R) = %.2f m (R = %.3f), on 1 m cells %.2f m; C_e %.4e, outflow end %.4e; "
                "pick-up at the inflow %.3e m, at the end %.3e m per step\n",
                measured, L, R, L_grid, C_e, conc2D[1][x][mid][0], first, last);
}

// The last step's inflow and outflow of sediment in the log (m3).
void last_step_exchange(double& in, double& out)
{
    const std::string log = test::log_text();
    const std::size_t at = log.rfind("\nDt:");
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(std::sscanf(log.c_str() + at, "\nDt: %lf %lf", &in, &out), 2);
}

TEST(DepthAveragedMorphologyCase, ChannelFedWithItsEquilibriumLoadKeepsItsBed)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    steady_flow(5.0, fine_sand + "I 1 0.0\n");
    // The load of the channel's equilibrium concentration, C_e Q rho_s, from
    // one step of the flow and the bed concentrations.
    ASSERT_EQ(test::run_case(channel(5.0, fine_sand + "I 1 0.0\n" + transient(1, 10.0, 20))), 1) << test::log_tail();
    const double C_e = equilibrium(xnumber / 2), load = C_e * 13.2 * 1000.0 * density;
    // Twenty steps of 10 s after twenty steps of the flow alone (letter W).
    char feed[60];
    std::snprintf(feed, sizeof feed, "I 1 %.6f\n", load);
    std::string run = transient(20, 10.0, 20);
    run.replace(run.find("RIS"), 3, "RWIS");
    ASSERT_EQ(test::run_case(channel(5.0, fine_sand + feed + run)), 1) << test::log_tail();
    double largest = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) largest = std::max(largest, std::fabs(BedChangeTotal[i][j]));
    EXPECT_LT(largest, 1e-3);
    double in = 0.0, out = 0.0;
    last_step_exchange(in, out);
    EXPECT_NEAR(out / in, 1.0, 0.005);
    for (int i = 2; i <= xnumber; ++i) EXPECT_NEAR(conc2D[1][i][3][0] / C_e, 1.0, 0.005) << i;
    std::printf("equilibrium channel: C_e %.4e, load %.3f kg/s; after 200 s the bed moved by at most %.3f mm, last step in %.6f out %.6f m3\n", C_e,
                load, 1e3 * largest, in, out);
}

// Suspended sediment of size l in the cells and in the columns, m3.
double in_cells(int l)
{
    double v = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) v += conc[l][i][j][k] * 2.0 * m_armap[i][j] * m_dist_z[i][j][k];
    return v;
}
double in_columns(int l)
{
    double v = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) v += conc2D[l][i][j][0] * 2.0 * m_armap[i][j] * m_dist_z[i][j][0];
    return v;
}

// The flow of each step depth-averaged, or 3D with the sediment of the
// columns (their fluxes the sums over the cells).
class SizeVolumes2D : public ::testing::TestWithParam<const char*> {};

TEST_P(SizeVolumes2D, EverySizeKeepsItsVolumeOverAHundredStepsOfAMovingBed)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    // Two sands fed below their capacity: the finer one far below.
    const std::string sands = "S 1 0.0002 0.025\nS 2 0.0006 0.08\nN 1 1 0.5\nN 1 2 0.5\nI 1 0.5\nI 2 2.0\n";
    steady_flow(5.0, sands, GetParam());
    ASSERT_EQ(test::run_case(channel(5.0, sands + transient(100, 30.0, 60), GetParam())), 1) << test::log_tail();
    for (int l = 1; l <= 2; ++l) {
        const SizeVolumes v = transient_volumes(l);
        ASSERT_GT(v.inflow, 0.0);
        EXPECT_LT(std::fabs(v.defect()), 1e-6 * v.inflow) << "size " << l;
        // The cells show what the columns hold.
        EXPECT_NEAR(in_cells(l), in_columns(l), 1e-12 * v.inflow);
        std::printf("%s, size %d: in %.6f out %.6f suspended %.6f active %.6f inactive %.6f m3, defect %.2e of the inflow\n",
                    *GetParam() ? "depth-averaged flow" : "3D flow", l, v.inflow, v.outflow, v.suspended, v.active, v.inactive, v.defect() / v.inflow);
    }
    // The fine sand is taken from the bed, which sinks by centimetres.
    EXPECT_LT(transient_volumes(1).active + transient_volumes(1).inactive, -1.0);
}

INSTANTIATE_TEST_SUITE_P(DepthAveragedMorphologyCase, SizeVolumes2D, ::testing::Values("F 44 1\n", ""));

TEST(DepthAveragedMorphologyCase, BedBelowTheFixedLevelStopsTheStart)
{
    test::CaseFolder folder;
    steady_flow(5.0, fine_sand + "I 1 0.0\n");
    // The non-erodible level (F 42) half a metre above the bed.
    ASSERT_EQ(test::run_case(channel(5.0, fine_sand + "I 1 0.0\n" + transient(3, 10.0, 5) + "F 42 100.5\n")), -44);
    EXPECT_TRUE(test::log_ends_with("Error, startup, negative bed layer at i,j=2 2\n")) << test::log_tail();
    // The 3D sediment's driver names the active layer.
    std::string cells = transient(3, 10.0, 5);
    cells.replace(cells.find("F 37 2"), 6, "F 37 1");
    ASSERT_EQ(test::run_case(channel(5.0, fine_sand + "I 1 0.0\n" + cells + "F 42 100.5\n")), -44);
    EXPECT_TRUE(test::log_ends_with("Error, startup, negative active bed layer at i,j=2 2\n")) << test::log_tail();
}

}  // namespace
}  // namespace zefra
