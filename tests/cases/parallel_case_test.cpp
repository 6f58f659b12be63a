// Whole runs on two threads (F 206 2) against the serial run: a turbulent
// channel converges to the same flow in as many iterations, with the
// power-law and with the second-order upwind scheme, and two parallel runs
// agree to the last bit; a basin filled under the transient free surface
// keeps the weight of its water on threads.  And the scheme of K 6 that fills
// the momentum coefficients alone decides the second-neighbour terms.
#include <gtest/gtest.h>
#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "tests/support/case_folder.h"
#include "tests/support/straight_channel.h"

namespace zefra {
namespace {

const std::string Channel = "G 1 21 8 6 1\nG 3 0 20 40 60 80 100\nW 1 35 10.0 101.0\nF 2 W\nK 5 0 0 0 1 0 0\n";

struct ChannelRun {
    long iterations;
    std::vector<double> fields;  // u, v, w, p of every cell
};

ChannelRun channel_run(const std::string& extra)
{
    test::CaseFolder folder;
    test::write_straight_channel(21, 8);
    EXPECT_EQ(test::run_case(Channel + extra), 1);
    EXPECT_TRUE(test::converged()) << test::log_tail();
    ChannelRun r{Iter, {}};
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k)
                for (const Field3* a : {&xvel, &yvel, &zvel, &Pres}) r.fields.push_back((*a)[i][j][k]);
    return r;
}

double largest_velocity_difference(const ChannelRun& a, const ChannelRun& b)
{
    double d = 0.0;
    for (std::size_t n = 0; n < a.fields.size(); ++n)
        if (n % 4 != 3) d = std::max(d, std::fabs(a.fields[n] - b.fields[n]));
    return d;
}

TEST(ParallelRuns, ChannelOnTwoThreadsConvergesAsSeriallyAndRepeatsItselfExactly)
{
    ZEFRA_HEAVY_CASE();
    const int threads = omp_get_max_threads();
    omp_set_num_threads(2);
    for (const std::string scheme : {"", "K 6 0 0 0 0 1 0\n"}) {
        SCOPED_TRACE(scheme.empty() ? "power law" : "second-order upwind");
        const ChannelRun serial = channel_run(scheme);
        const ChannelRun first = channel_run(scheme + "F 206 2\n"), second = channel_run(scheme + "F 206 2\n");
        const double difference = largest_velocity_difference(serial, first);
        std::printf("%s: serial %ld iterations, two threads %ld; largest velocity difference %.2e m/s\n", scheme.empty() ? "power law" : "SOU",
                    serial.iterations, first.iterations, difference);
        // Within the convergence criterion times the speed (about 1 m/s).
        EXPECT_LT(difference, ConvergenceCriteria * 1.0);
        EXPECT_LE(std::abs(first.iterations - serial.iterations), 0.05 * serial.iterations);
        EXPECT_EQ(first.iterations, second.iterations);
        EXPECT_TRUE(first.fields == second.fields) << "two parallel runs differ";
    }
    omp_set_num_threads(threads);
}

// A few iterations of a channel with an out-block on two threads, with the
// second-order upwind momentum and the parallel block correction of the
// pressure: twice the same bits, and the same again with the G 50 switches
// sending the coefficients, wall laws, fluxes, corrections, turbulence terms
// and pressure-correction coefficients back to their serial routines.  Small
// enough for the thread checker.
TEST(ParallelRuns, AFewIterationsRepeatThemselvesWithAndWithoutTheSerialSwitches)
{
    const int threads = omp_get_max_threads();
    omp_set_num_threads(2);
    auto run = [](const std::string& extra) {
        test::CaseFolder folder;
        test::write_straight_channel(21, 8);
        EXPECT_EQ(test::run_case("G 1 21 8 6 1\nG 3 0 20 40 60 80 100\nW 1 35 10.0 101.0\nF 2 W\nK 1 6 5000\nK 5 0 0 0 4 0 0\n"
                                 "K 6 0 0 0 0 1 0\nG 13 1 8 9 3 4 2 4\nF 206 2\n" +
                                 extra),
                  1);
        EXPECT_EQ(Iter, 7);
        std::vector<double> fields;
        for (const Field3* a : {&xvel, &yvel, &zvel, &Pres, &kinen, &epsilon}) fields.insert(fields.end(), a->data(), a->data() + a->size());
        return fields;
    };
    const std::vector<double> first = run(""), second = run(""), serial_steps = run("G 50 0 1 1 1 1 1 1 0 0 0\n");
    EXPECT_TRUE(first == second) << "two parallel runs differ";
    EXPECT_TRUE(first == serial_steps) << "the serial routines of G 50 change the result";
    omp_set_num_threads(threads);
}

// Momentum coefficients come from the K 6 entry of k (the fifth); the
// entries of u, v, w change nothing once the second-neighbour terms follow
// the coefficients actually filled.
TEST(ParallelRuns, TheFilledSchemeAloneDecidesTheSecondNeighbourTerms)
{
    ZEFRA_HEAVY_CASE();
    EXPECT_TRUE(channel_run("K 6 1 1 1 0 0 0\n").fields == channel_run("").fields);
    EXPECT_TRUE(channel_run("K 6 0 0 0 0 1 0\n").fields == channel_run("K 6 1 1 1 0 1 1\n").fields);
}

// A closed basin of 100 m x 40 m filled through its upstream end under the
// transient free surface: its pressure starts hydrostatic and only the
// weight of the water in the vertical momentum equation balances it.
TEST(ParallelRuns, TransientFreeSurfaceKeepsTheWeightOfTheWaterOnThreads)
{
    const int threads = omp_get_max_threads();
    omp_set_num_threads(2);
    std::vector<double> w[2];
    for (int parallel = 0; parallel <= 1; ++parallel) {
        test::CaseFolder folder;
        test::write_grid(11, 5, [](int, int) { return 100.0; }, 10.0);
        ASSERT_EQ(test::run_case(std::string("G 1 11 5 6 1\nW 1 35 2.0 102.0\nG 7 0 1 2 5 2 6 0 0 2.0 0 0 0\nF 33 1 5\nF 36 1\nK 1 20 50000\n") +
                                 (parallel ? "F 206 2\n" : "") + "F 2 W\n"),
                  1);
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = 2; k <= znumber; ++k) w[parallel].push_back(zvel[i][j][k]);
    }
    double largest = 0.0, difference = 0.0;
    for (std::size_t n = 0; n < w[0].size(); ++n) {
        largest = std::max(largest, std::fabs(w[0][n]));
        difference = std::max(difference, std::fabs(w[1][n] - w[0][n]));
    }
    std::printf("basin: largest vertical velocity %.2e m/s, difference on two threads %.2e m/s\n", largest, difference);
    EXPECT_LT(difference, 1e-3 * largest + 1e-9);
    omp_set_num_threads(threads);
}

}  // namespace
}  // namespace zefra
