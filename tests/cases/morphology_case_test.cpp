// The bed moves, through the program entry ("F 2 WISB" repeated by F 20): the
// Exner rate and time step of a reach whose capacity halves and the volume
// balance over several steps, a channel fed at its equilibrium load, a
// dredged trench filling and migrating above a fixed bed (with its bed
// changes read back by a new run), an over-steep bank avalanching.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "engine/grid/columns.h"
#include "engine/sediment/size_equation.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

// A straight channel 300 m long and 6 m wide (5 m by 2 m columns, no side
// walls), slope 3e-4, 13.2 m3/s at its normal depth of 2 m; `trench` digs a
// trench 1 m deep between x = 160 and 180 m with 1:10 slopes.
std::string channel(const std::string& extra, bool trench = false, int sizes = 1)
{
    test::write_trench_channel_grid(trench);
    return "G 1 61 4 8 " + std::to_string(sizes) + "\nG 3 0 5 12 22 35 50 70 100\nW 1 40 13.2 101.910236\nW 2 7 1 11 21 31 41 51 61\nK 2 1 1\n"
           "K 5 0 0 0 1 0 0\nF 4 0.5 3000 1e-9\n" + extra;
}

const std::string sand = "S 1 0.0003 0.04\nN 1 1 1.0\nB 1 1 61 1 4\n";

// Bed volume over the water columns: plan area times the mean corner bed.
double bed_volume()
{
    double v = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) v += m_armap[i][j] * corner_mean(i, j, [](int a, int b) { return zval[a][b][0]; });
    return v;
}

// Sediment volume (m3/s) through the I-faces of node line i, all sizes
// (upwind; no horizontal diffusion with F 7 A).
double section_load(int i)
{
    double q = 0.0;
    for (int l = 1; l <= lnumber; ++l)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) q += 0.001 * flow1[i][j][k] * conc[l][flow1[i][j][k] > 0 ? i : i + 1][j][k];
    return q;
}

// Imbalance of bed cell (i, j), all sizes, m3/s of sediment.
double deposition(int i, int j)
{
    double d = 0.0;
    for (int l = 1; l <= lnumber; ++l) {
        const CellExchange e = cell_exchange(l, i, j, 2);
        d += e.in - e.out_coefficients * conc[l][i][j][2];
    }
    return d;
}

struct Steps {
    double deposited = 0.0, volume_before = 0.0, moved = 0.0, exner_error = 0.0, step_error = 0.0;
    double below = 0.0, arriving = 0.0, leaving = 0.0;  // first step: deposition below node line 31, loads there and at the end
    int count = 0;
} steps;

// Before letter B: the changes S left against the Exner rate and the time
// step, and what the sediment solver deposited; before the next W (or at the
// end) what the bed took.
void follow_steps(char letter, int)
{
    if (letter == 'W' && steps.count > 0) steps.moved += bed_volume() - steps.volume_before;
    if (letter != 'B') return;
    double step = 1e300, largest = 0.0, error = 0.0;
    const bool first = ++steps.count == 1;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double rate = deposition(i, j) / (ConvCoef * m_armap[i][j]);
            step = std::min(step, std::fabs(m_dist_z[i][j][0] * MaxBedChange / rate));
            largest = std::max(largest, std::fabs(rate * stime));
            error = std::max(error, std::fabs(BedMove[i][j] - rate * stime));
            if (first && i >= 32) steps.below += deposition(i, j);
        }
    steps.exner_error = std::max(steps.exner_error, error / largest);
    steps.step_error = std::max(steps.step_error, std::fabs(stime / step - 1.0));
    steps.deposited += (section_load(1) - section_load(xnumber)) * stime;
    if (steps.arriving == 0.0) steps.arriving = section_load(31), steps.leaving = section_load(xnumber);
    steps.volume_before = bed_volume();
}

TEST(MorphologyCase, ExnerRateTimeStepAndVolumeWhereTheCapacityHalves)
{
    ZEFRA_HEAVY_CASE();
    // Sand of 0.5 mm fed near its capacity; from x = 150 m the bed holds half
    // gravel, which does not move: the capacity of the sand halves there.
    test::CaseFolder folder;
    steps = {};
    run_letter_observer = follow_steps;
    const int status = test::run_case(channel("F 7 A\nS 1 0.0005 0.06\nS 2 0.05 1.0\nN 1 1 1.0\nN 2 1 0.5\nN 2 2 0.5\nB 1 1 31 1 4\nB 2 32 61 1 4\n"
                                              "I 1 3.8\nF 2 WISB\nF 20 3\n",
                                              false, 2));
    run_letter_observer = nullptr;
    steps.moved += bed_volume() - steps.volume_before;
    ASSERT_EQ(status, 1) << test::log_tail();
    ASSERT_EQ(steps.count, 3);
    EXPECT_LT(steps.exner_error, 1e-9);
    EXPECT_LT(steps.step_error, 1e-9);
    EXPECT_NEAR(steps.moved * ConvCoef / steps.deposited, 1.0, 1e-6) << steps.moved << " " << steps.deposited;
    // The known size of the divergence: downstream of the change the bed takes
    // what arrives less what leaves, and half of what arrives leaves.
    EXPECT_NEAR(steps.below / (steps.arriving - steps.leaving), 1.0, 1e-6);
    EXPECT_NEAR(steps.leaving / steps.arriving, 0.5, 0.02) << steps.leaving << " " << steps.arriving;

    // A new run with that `loggfil` as `loggfil.pre` starts on the moved bed.
    const std::string moved = test::read_file("koordina.new"), stored = test::read_file("loggfil");
    test::CaseFolder again;
    test::write_file("loggfil.pre", stored);
    ASSERT_EQ(test::run_case(channel("S 1 0.0005 0.06\nS 2 0.05 1.0\nN 1 1 1.0\nF 2 A\n", false, 2)), 0);
    std::istringstream first(moved), second(test::read_file("koordina.new"));
    double a[5], b[5];
    int lines = 0;
    while (first >> a[0] >> a[1] >> a[2] >> a[3] >> a[4] && second >> b[0] >> b[1] >> b[2] >> b[3] >> b[4]) {
        ++lines;
        EXPECT_NEAR(a[4], b[4], 5e-6) << a[0] << " " << a[1];
    }
    EXPECT_EQ(lines, 61 * 4);
}

TEST(MorphologyCase, ChannelFedAtItsEquilibriumLoadKeepsItsBed)
{
    ZEFRA_HEAVY_CASE();
    // Flow and sediment cyclic (F 174): the channel is fed with what leaves it.
    test::CaseFolder folder;
    ASSERT_EQ(test::run_case(channel(sand + "I 1 8.5\nF 174 5 1\nF 2 WISB\nF 20 10\n")), 1) << test::log_tail();
    const double load = outflow[1];
    double largest = 0.0;
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) largest = std::max(largest, std::fabs(zval[i][j][0] - Surfaces[0][i][j]));
    EXPECT_LT(largest, 0.001);
    EXPECT_NE(test::log_text().find("Warning: Maximum bedlevel change not reached\n"), std::string::npos);
    // It stays because every bed cell gives back what it receives, to far
    // within the flow's own accuracy (F 211, 0.001).
    double imbalance = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            double received = 0.0;
            for (int l = 1; l <= lnumber; ++l) received += cell_exchange(l, i, j, 2).in;
            imbalance = std::max(imbalance, std::fabs(deposition(i, j)) / received);
        }
    EXPECT_LT(imbalance, 1e-4);
    // Fed a tenth below that load, its upstream end scours.
    test::CaseFolder other;
    // F 23 stretches only a net deposit: fed a tenth below that load, the
    // channel scours at its upstream end, with the time step as it was.
    char feed[80];
    std::snprintf(feed, sizeof feed, "I 1 %.6f\nF 23 0.001 0\nF 2 WISB\n", 0.9 * load);
    ASSERT_EQ(test::run_case(channel(sand + feed)), 1);
    EXPECT_LT(zval[1][2][0] - Surfaces[0][1][2], -0.05);
    EXPECT_GT(stime, 0.0);
    EXPECT_EQ(test::log_text().find("BedMove and times have been scaled"), std::string::npos);
    // Fed half as much again, the deposit is stretched to fill 0.02 of the water.
    test::CaseFolder third;
    std::snprintf(feed, sizeof feed, "I 1 %.6f\nF 23 0.02 0\nF 2 WIS\n", 1.5 * load);
    ASSERT_EQ(test::run_case(channel(sand + feed)), 1);
    double water = 0.0, deposit = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            water += 2.0 * m_dist_z[i][j][0] * m_armap[i][j];
            deposit += BedMove[i][j] * m_armap[i][j];
        }
    EXPECT_NEAR(deposit / water, 0.02, 1e-12);
    EXPECT_NE(test::log_text().find("due to accelleration procedure on F 23 data set\n"), std::string::npos);

    // Stretched to a tenth of the water, the deposit near the inflow would
    // fill the channel (F 28 0: 2.2 m in 2 m of water); by default it is
    // passed downstream until every column keeps FillCriteria (1 m) of
    // water, with the volume kept.
    for (const bool passed_on : {false, true}) {
        test::CaseFolder fourth;
        std::snprintf(feed, sizeof feed, "I 1 %.6f\nF 23 0.1 1.0\nF 2 WIS\n%s", 1.5 * load, passed_on ? "" : "F 28 0 2 0 1.0\n");
        ASSERT_EQ(test::run_case(channel(sand + feed)), 1);
        double volume = 0.0, moved = 0.0, excess = -1.0;
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j) {
                volume += 2.0 * m_dist_z[i][j][0] * m_armap[i][j];
                moved += BedMove[i][j] * m_armap[i][j];
                excess = std::max(excess, BedMove[i][j] - (column_depth(i, j) - FillCriteria));
            }
        EXPECT_NEAR(moved / volume, 0.1, 1e-12);
        if (passed_on)
            EXPECT_LT(excess, 1e-9);
        else
            EXPECT_GT(excess, 1.0);
    }
}

// Where the channel lies below its original line (100 - 3e-4 x) along the
// middle node line: the depth of that dip at node i, and its centroid (m)
// between x = 130 and 220 m.
double dip(int i)
{
    return std::max(0.0, 100.0 - 3e-4 * xval[i][2] - zval[i][2][0]);
}

double dip_centroid()
{
    double moment = 0.0, area = 0.0;
    for (int i = 27; i <= 45; ++i) {
        moment += xval[i][2] * dip(i);
        area += dip(i);
    }
    return moment / area;
}

TEST(MorphologyCase, DredgedTrenchFillsFromUpstreamAndMigrates)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    ASSERT_EQ(test::run_case(channel(sand + "I 1 1.0\nF 2 WIS\n")), 1);
    char feed[80];
    std::snprintf(feed, sizeof feed, "I 1 %.6f\n", outflow[1]);  // the load the channel carries
    // 0.3 m of sand over a fixed bed (F 41); eight steps.
    test::CaseFolder trench;
    ASSERT_EQ(test::run_case(channel(sand + feed + "F 41 0.3\nF 151 1 0.2\nF 2 WISB\nF 20 8\n", true)), 1) << test::log_tail();
    // The upstream slope (nodes 31 ... 34, x = 150 ... 165 m) takes the largest deposit.
    double fill = 0.0, elsewhere = 0.0;
    for (int i = 1; i <= xnumber; ++i) {
        const double rise = zval[i][2][0] - Surfaces[0][i][2];
        (i >= 31 && i <= 34 ? fill : elsewhere) = std::max(i >= 31 && i <= 34 ? fill : elsewhere, rise);
        for (int j = 1; j <= ynumber; ++j) EXPECT_GE(zval[i][j][0], Surfaces[3][i][j] - 1e-12) << i << " " << j;
    }
    EXPECT_GT(fill, 0.5);
    EXPECT_LT(elsewhere, 0.15 * fill);
    // The downstream slope scoured down to the fixed bed; the trench moved on.
    EXPECT_NEAR(zval[39][2][0], Surfaces[3][39][2], 1e-12);
    EXPECT_NE(test::log_text().find("Error in bed change, i,j,rest = "), std::string::npos);
    EXPECT_GT(dip_centroid(), 170.0 + 3.0);
}

TEST(MorphologyCase, OverSteepBanksAvalancheToTheAngleOfRepose)
{
    // The trench walls fall 1 m over 10 m; the angle of repose allows 0.05.
    test::CaseFolder folder;
    static double before;
    run_letter_observer = [](char, int) { before = bed_volume(); };
    const int status = test::run_case(channel("F 56 50 0.05\nF 2 B\n", true));
    run_letter_observer = nullptr;
    ASSERT_EQ(status, 1) << test::log_tail();
    double steepest = 0.0;
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) {
            if (i > 1) steepest = std::max(steepest, std::fabs(zval[i][j][0] - zval[i - 1][j][0]) / 5.0);
            if (j > 1) steepest = std::max(steepest, std::fabs(zval[i][j][0] - zval[i][j - 1][0]) / 2.0);
        }
    EXPECT_NEAR(steepest, 0.05, 1e-9);  // flattened to the angle of repose, not below it
    EXPECT_GT(dip(33), 0.5);  // the trench is flattened, not filled
    EXPECT_NEAR(bed_volume(), before, 1e-8);
}


}  // namespace
}  // namespace zefra
