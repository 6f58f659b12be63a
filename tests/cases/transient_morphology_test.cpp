// The transient morphology (F 37 1) through the program entry: a bed of
// fine sand and gravel armours under clear water, every size keeps its
// volume over 100 steps of a moving bed, a dredged trench fills as under the
// steady driver, and the driver's messages, files and settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include "engine/grid/columns.h"
#include "engine/sediment/morphology.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

// A straight channel 150 m long and 6 m wide (5 m by 2 m columns, no side
// walls, five cells over the depth), slope 3e-4, 13.2 m3/s at 2 m depth.
std::string channel(const std::string& extra)
{
    std::string grid;
    char line[120];
    for (int i = 1; i <= 31; ++i)
        for (int j = 1; j <= 4; ++j) {
            std::snprintf(line, sizeof line, "%d %d %.1f %.1f %.6f\n", i, j, 5.0 * (i - 1), 2.0 * (j - 1), 100.0 - 3e-4 * 5.0 * (i - 1));
            grid += line;
        }
    test::write_file("koordina", grid);
    return "G 1 31 4 6 2\nG 3 0 10 25 50 75 100\nW 1 40 13.2 101.955\nW 2 4 1 11 21 31\nK 2 1 1\nK 5 0 0 0 1 0 0\n" + extra;
}

// The steady flow of the channel in `result`.
void steady_flow(const std::string& sediment)
{
    ASSERT_EQ(test::run_case(channel(sediment + "F 211 1e-6\nF 2 WM\n")), 1) << test::log_tail();
}

// Steps of the transient morphology after as many steps of the flow alone
// (letters W I S), over 0.3 m of sediment.
std::string transient(int steps, double dt, int sweeps)
{
    char text[200];
    std::snprintf(text, sizeof text, "F 37 1\nF 33 %g 1\nK 1 %d 1\nF 4 0.5 %d 1e-9\nF 41 0.3\nF 2 RWIS\n", dt, steps, sweeps);
    return text;
}

// 40 % fine sand of 0.2 mm that the flow carries and 60 % gravel of 20 mm
// that it cannot move.
const std::string sand_and_gravel = "S 1 0.0002 0.025\nS 2 0.02 0.5\nN 1 1 0.4\nN 1 2 0.6\nB 1 1 31 1 4\nI 1 0.0\nI 2 0.0\n";

// The flow of each step in 3D, or depth-averaged (F 44 1) and spread over the
// cells for the sediment.
class Armouring : public ::testing::TestWithParam<const char*> {};

TEST_P(Armouring, ClearWaterArmoursABedOfSandAndGravel)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    steady_flow(sand_and_gravel);
    ASSERT_EQ(test::run_case(channel(sand_and_gravel + GetParam() + transient(100, 60.0, 20))), 1) << test::log_tail();
    // The active layer, one gravel diameter thick, loses its sand and takes
    // sand and gravel from below until it holds gravel alone: the bed sinks by
    // t p / (1 - p) with the sand fraction p = 0.4 and t = 0.02 m.
    const double t = 0.02, p = 0.4, sunk = t * p / (1.0 - p);
    double eroded = 0.0, worst = 0.0, mean = 0.0, area = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            EXPECT_NEAR(bedgrain[0][i][j], t, 1e-12);
            EXPECT_GT(bedgrain[2][i][j], 0.999) << i << " " << j;
            const double lowering = -corner_mean(i, j, [](int a, int b) { return zval[a][b][0] - Surfaces[0][a][b]; });
            worst = std::max(worst, std::fabs(lowering / sunk - 1.0));
            eroded += lowering * m_armap[i][j] * ConvCoef;
            mean += lowering * m_armap[i][j];
            area += m_armap[i][j];
        }
    EXPECT_LT(worst, 0.02);
    // The eroded sand leaves through the outflow (with what was suspended at
    // the start); the gravel stays.
    const SizeVolumes sand = transient_volumes(1), gravel = transient_volumes(2);
    EXPECT_NEAR((sand.outflow + sand.suspended) / eroded, 1.0, 0.02);
    EXPECT_NEAR(sand.outflow + sand.suspended, -(sand.active + sand.inactive), 1e-6 * sand.outflow);
    EXPECT_EQ(gravel.outflow, 0.0);
    EXPECT_NEAR(gravel.active + gravel.inactive, 0.0, 1e-9);
    std::printf("armouring: bed sunk %.6f m (expected %.6f, worst column %.2f %%), sand out %.4f m3, eroded %.4f m3\n", mean / area, sunk,
                100.0 * worst, sand.outflow + sand.suspended, eroded);
}

INSTANTIATE_TEST_SUITE_P(TransientMorphologyCase, Armouring, ::testing::Values("", "F 44 1\n"));

// Suspended sediment volume of size l, m3.
double suspended(int l)
{
    double v = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) v += conc[l][i][j][k] * 2.0 * m_armap[i][j] * m_dist_z[i][j][k];
    return v;
}

// Before letter S: the suspended sediment above the bed cells, which the
// driver empties to start them from the bed.
double suspended_at_start[3];
void note_suspended(char letter, int)
{
    if (letter != 'S') return;
    for (int l = 1; l <= 2; ++l) {
        suspended_at_start[l] = suspended(l);
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j) suspended_at_start[l] -= conc[l][i][j][2] * 2.0 * m_armap[i][j] * m_dist_z[i][j][2];
    }
}

TEST(TransientMorphologyCase, EverySizeKeepsItsVolumeOverAHundredStepsOfAMovingBed)
{
    ZEFRA_HEAVY_CASE();
    // Under the power law and under second-order upwind (F 27 1).
    for (const std::string scheme : {"", "F 27 1\n"}) {
        SCOPED_TRACE(scheme.empty() ? "power law" : "second-order upwind");
        test::CaseFolder folder;
        // Two sands fed far below and near their capacity: the finer one is taken
        // from the bed, the coarser one settles.
        const std::string sands = "S 1 0.0002 0.025\nS 2 0.0006 0.08\nN 1 1 0.5\nN 1 2 0.5\nB 1 1 31 1 4\nI 1 0.5\nI 2 2.0\n" + scheme;
        steady_flow(sands);
        run_letter_observer = note_suspended;
        const int status = test::run_case(channel(sands + transient(100, 30.0, 60)));
        run_letter_observer = nullptr;
        ASSERT_EQ(status, 1) << test::log_tail();
        for (int l = 1; l <= 2; ++l) {
            const SizeVolumes v = transient_volumes(l);
            ASSERT_GT(v.inflow, 0.0);
            EXPECT_LT(std::fabs(v.defect()), 1e-6 * v.inflow) << "size " << l;
            // The suspended change is what the fields show.
            EXPECT_NEAR(v.suspended, suspended(l) - suspended_at_start[l], 1e-12 * v.inflow);
            std::printf("size %d: in %.6f out %.6f suspended %.6f active %.6f inactive %.6f m3, defect %.2e of the inflow\n", l, v.inflow,
                        v.outflow, v.suspended, v.active, v.inactive, v.defect() / v.inflow);
        }
        EXPECT_LT(transient_volumes(1).active + transient_volumes(1).inactive, 0.0);  // fine sand taken from the bed
        EXPECT_GT(transient_volumes(2).active + transient_volumes(2).inactive, 0.0);  // coarse sand settled
    }
}

// A channel 300 m long: 13.2 m3/s over 0.3 mm sand, fed with the load it
// carries; `trench` digs a trench 1 m deep between x = 160 and 180 m with
// 1:10 slopes (as the steady morphology's cases).
std::string trench_channel(const std::string& extra, bool trench)
{
    test::write_trench_channel_grid(trench);
    return "G 1 61 4 8 1\nG 3 0 5 12 22 35 50 70 100\nW 1 40 13.2 101.910236\nW 2 7 1 11 21 31 41 51 61\nK 2 1 1\nK 5 0 0 0 1 0 0\n"
           "S 1 0.0003 0.04\nN 1 1 1.0\nB 1 1 61 1 4\nF 41 0.3\nF 151 1 0.2\n" +
           extra;
}

struct Deposit {
    double volume = 0.0, centre = 0.0;
};

// The deposit in the trench and on its slopes (node lines 28 ... 37, x = 135
// ... 180 m) along the middle of the channel: its volume per metre of width
// and its centroid.
Deposit trench_deposit()
{
    Deposit d;
    double moment = 0.0;
    for (int i = 28; i <= 37; ++i) {
        const double rise = std::max(zval[i][2][0] - Surfaces[0][i][2], 0.0);
        d.volume += 5.0 * rise;
        moment += xval[i][2] * rise;
    }
    d.centre = moment / (d.volume / 5.0);
    return d;
}

TEST(TransientMorphologyCase, DredgedTrenchFillsAsUnderTheSteadyDriver)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    ASSERT_EQ(test::run_case(trench_channel("F 4 0.5 3000 1e-9\nI 1 1.0\nF 2 WIS\n", false)), 1);
    char feed[80];
    std::snprintf(feed, sizeof feed, "I 1 %.6f\n", outflow[1]);
    // Steady: eight morphological steps of about 1000 s each.
    ASSERT_EQ(test::run_case(trench_channel(std::string(feed) + "F 4 0.5 3000 1e-9\nF 2 WISB\nF 20 8\n", true)), 1);
    double duration = 0.0;
    {
        std::istringstream log(test::log_text());
        std::string line;
        while (std::getline(log, line))
            if (line.rfind("Time step: ", 0) == 0) duration += std::stod(line.substr(11));
    }
    const Deposit steady = trench_deposit();
    // Transient: steps of 60 s over the same time.
    const int steps = static_cast<int>(std::lround(duration / 60.0));
    ASSERT_EQ(test::run_case(trench_channel(std::string(feed) + "F 4 0.5 60 1e-9\nF 37 1\nF 33 60 1\nK 1 " + std::to_string(steps) +
                                                " 1\nF 2 WIS\n",
                                            true)),
              1)
        << test::log_tail();
    EXPECT_NEAR(stime, 60.0 * steps, 1e-6);
    const Deposit tsc = trench_deposit();
    // The upstream slope and the upstream part of the trench take the sand
    // in both; the deposit agrees within 20 % and lies at the same place.
    EXPECT_GT(steady.volume, 2.0);
    EXPECT_NEAR(tsc.volume / steady.volume, 1.0, 0.2);
    EXPECT_NEAR(tsc.centre, steady.centre, 5.0);
    EXPECT_LT(tsc.centre, 170.0);
    std::printf("trench after %.0f s: steady deposit %.3f m3/m at x = %.1f m, transient (%d steps) %.3f m3/m at x = %.1f m\n", duration,
                steady.volume, steady.centre, steps, tsc.volume, tsc.centre);
}

TEST(TransientMorphologyCase, MessagesFilesAndSettingsOfTheDriver)
{
    test::CaseFolder folder;
    steady_flow(sand_and_gravel);
    test::write_file("timei", "O 0 2\nz 10 2 0 c 10 3 2 1\n");
    ASSERT_EQ(test::run_case(channel(sand_and_gravel + transient(3, 60.0, 5))), 1) << test::log_tail();
    EXPECT_EQ(iterGlobalMax, 3);  // the flow solver's step count is given back
    EXPECT_NEAR(stime, 180.0, 1e-12);
    const std::string log = test::log_text();
    for (const char* text : {"\n ***** In morphology_tsc **********\n\n", "Volume of geometry: ", "Bed concentration flags: 0 0 0 0 0 0\n",
                             "2 Sedim. continuity: In, Out, Susp, Bedch., Bedmove, ContDef., MoveDef: (qm)\n",
                             "Size: Inflow  Outflow  LayerActive  LayerInac. Suspended  Defect\n", "Time: 180.000000 seconds\n",
                             "Have written conres.t file \n", "Total change in bed levels: "})
        EXPECT_NE(log.find(text), std::string::npos) << text;
    // timeo: the time each step starts at, then, once the print request has
    // begun (after t = 0), the bed level and the sand of a bed cell.
    std::istringstream timeo(test::read_file("timeo"));
    std::string line;
    for (int n = 0; std::getline(timeo, line); ++n) {
        double t = -1.0, z = 0.0, c = -1.0;
        const int values = std::sscanf(line.c_str(), "%lf %lf %lf", &t, &z, &c);
        EXPECT_EQ(values, n == 0 ? 1 : 3) << line;
        EXPECT_NEAR(t, 60.0 * n, 1e-9) << line;
        if (n > 0) {
            EXPECT_NEAR(z, 100.0 - 3e-4 * 45.0, 0.015) << line;  // less what the armouring took
        }
        EXPECT_LT(n, 3);
    }
    // bedfrac.new: i, x, the inactive layer's thickness (0.3 m less the
    // active layer and the sand taken) and fractions along the middle row.
    int i = 0;
    double x = 0.0, thickness = 0.0, f1 = 0.0, f2 = 0.0;
    ASSERT_EQ(std::sscanf(test::read_file("bedfrac.new").c_str(), "%d %lf %lf %lf %lf", &i, &x, &thickness, &f1, &f2), 5);
    EXPECT_EQ(i + x, 2 + 5.0);
    EXPECT_GT(thickness, 0.26);
    EXPECT_LT(thickness, 0.28);
    EXPECT_NEAR(f1 + f2, 1.0, 1e-6);

    // J rows: the time step and the inflow concentration of every size from
    // the series (interpolated in time), here 30 s and a sand inflow rising
    // from 0.0001 to 0.0003 within 100 s.
    test::write_file("timei", "J 0 13.2 13.2 0 0 30 0.0001 0\nJ 100 13.2 13.2 0 0 30 0.0003 0\n");
    ASSERT_EQ(test::run_case(channel(sand_and_gravel + transient(3, 60.0, 5))), 1) << test::log_tail();
    EXPECT_NEAR(stime, 90.0, 1e-12);
    EXPECT_NEAR(conc[1][1][3][3], 0.0001 + 0.0002 * 60.0 / 100.0, 1e-15);  // the last step starts at 60 s
    EXPECT_EQ(conc[2][1][3][3], 0.0);
    std::remove("timei");

    // No time steps: only the end (messages and files).
    std::remove("bedfrac.new");
    ASSERT_EQ(test::run_case(channel(sand_and_gravel + transient(0, 60.0, 5))), 1);
    EXPECT_TRUE(test::file_exists("bedfrac.new"));
    EXPECT_NE(test::log_text().find("Time: 0.000000 seconds\n"), std::string::npos);

    // A bed without grains cannot move, under either driver.
    for (const std::string& run : {transient(3, 60.0, 5), std::string("F 2 RIS\n")}) {
        ASSERT_EQ(test::run_case(channel(sand_and_gravel + "F 26 0\n" + run)), 1);
        EXPECT_TRUE(test::log_ends_with("Error, F 26: the grain share of the bed must be positive for the bed to move, not 0\n")) << test::log_tail();
    }
}

}  // namespace
}  // namespace zefra
