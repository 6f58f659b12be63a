// Serial against two threads (F 206 2) on the channels of the whole-case
// benchmark, about 100,000 and 400,000 cells: the seconds per outer
// iteration of the flow solver, the time of every parallel kernel, and a
// plain copy of ten field arrays as the reference of the memory bandwidth.
// Serial and parallel timings alternate within one run, each the best of a
// few tries, so that the ratios hold on a machine others use as well.
#include <benchmark/benchmark.h>
#include <omp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/channel_case.h"
#include "engine/driver/entry.h"
#include "engine/flow3d/block_correction.h"
#include "engine/flow3d/face_fluxes.h"
#include "engine/flow3d/higher_order.h"
#include "engine/flow3d/linear_solvers.h"
#include "engine/flow3d/pressure_correction.h"
#include "engine/flow3d/residuals.h"
#include "engine/flow3d/water_solve.h"
#include "engine/state/fields.h"
#include "engine/state/state.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/turbulence/turbulence_models.h"
#include "engine/turbulence/wall_laws.h"

namespace {

using namespace zefra;

constexpr int Tries = 3;

double seconds_of(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of a few tries serially and on two threads, alternating.
struct Pair {
    double serial = 1e300, parallel = 1e300;
    double ratio() const { return serial / parallel; }
};

Pair serial_and_parallel(const std::function<void()>& work, int repeat)
{
    Pair p;
    for (int t = 0; t < Tries; ++t)
        for (int threads : {0, 2}) {
            NoProcessesSolver = threads;
            const double s = seconds_of([&] {
                for (int n = 0; n < repeat; ++n) work();
            }) / repeat;
            (threads ? p.parallel : p.serial) = std::min(threads ? p.parallel : p.serial, s);
        }
    NoProcessesSolver = 0;
    return p;
}

// Outer iterations of the flow solver from the present state, without
// writing results.
void outer_iterations(int count)
{
    FlagTSC = 2;  // continue from Iter, write nothing at the end
    FlagPrint = 1;
    Iter = 1;
    iterGlobalMax = count;
    WaterSolve();
    FlagTSC = 0;
}

void BM_SerialAgainstTwoThreads(benchmark::State& state)
{
    const int cells_x = static_cast<int>(state.range(0)), cells_y = static_cast<int>(state.range(1)), cells_z = 10;
    const auto folder = std::filesystem::temp_directory_path() / "zefra-parallel-bench";
    std::filesystem::create_directories(folder);
    const auto home = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    omp_set_num_threads(2);
    std::vector<std::pair<std::string, Pair>> rows;
    for (auto _ : state) {
        // A few iterations to start from a developed field (k-epsilon, the
        // pressure block correction, second-order arrays allocated).
        reset_state();
        // K 6 1 ...: the second-order arrays exist, the momentum stays power law.
        write_channel_case(cells_x + 1, cells_y + 1, cells_z + 1, 0, "K 5 0 0 0 1 0 0\nK 1 3 100000\nK 6 1 0 0 0 0 0\n");
        char name[] = "zefra";
        char* argv[] = {name, nullptr};
        run_zefra(1, argv);

        rows.push_back({"outer iteration", serial_and_parallel([] { outer_iterations(2); }, 1)});
        rows.back().second.serial /= 2, rows.back().second.parallel /= 2;
        sou[5] = 1;  // momentum and k-epsilon by second-order upwind
        rows.push_back({"outer iteration, K 6 1 0 0 0 1 0", serial_and_parallel([] { outer_iterations(2); }, 1)});
        rows.back().second.serial /= 2, rows.back().second.parallel /= 2;
        sou[5] = 0;
        Equation = 1;
        eddy_diffusivity(1);
        rows.push_back({"GammaCalc", serial_and_parallel([] { eddy_diffusivity(1); }, 3)});
        rows.push_back({"coeffe_flow", serial_and_parallel([] { convection_coefficients(1, 0, NoProcessesSolver > 0); }, 3)});
        rows.push_back({"coeffe_SOU", serial_and_parallel([] { convection_coefficients(1, 1, NoProcessesSolver > 0); }, 3)});
        rows.push_back({"coeffe_quick", serial_and_parallel([] { convection_coefficients(1, 3, NoProcessesSolver > 0); }, 3)});
        // The twelve-neighbour sweeps on the second-order upwind coefficients
        // of u, relaxed as in the outer iteration, from the present u.
        convection_coefficients(1, 1, false);
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = 2; k <= znumber; ++k) {
                    wap[i][j][k] = (ae[i][j][k] + aw[i][j][k] + an[i][j][k] + as[i][j][k] + wat[i][j][k] + wab[i][j][k] + aee[i][j][k] +
                                    aww[i][j][k] + ann[i][j][k] + ass[i][j][k] + att[i][j][k] + abb[i][j][k] + 1e-30) /
                                   relaxVelocity;
                    source[i][j][k] = (1.0 - relaxVelocity) * wap[i][j][k] * xvel[i][j][k];
                }
        {
            std::vector<double> scratch(xvel.size());
            const int extent[3] = {xvel.extent(0), xvel.extent(1), xvel.extent(2)};
            const std::ptrdiff_t stride[3] = {std::ptrdiff_t(extent[1]) * extent[2], extent[2], 1};
            const Field3 u(scratch.data(), extent, stride);
            rows.push_back({"WaterGaussSOU (u)", serial_and_parallel(
                                                     [&] {
                                                         std::memcpy(scratch.data(), xvel.data(), scratch.size() * sizeof(double));
                                                         gauss_seidel_second(u);
                                                     },
                                                     1)});
        }
        rows.push_back({"coeffe_central", serial_and_parallel([] { convection_coefficients(1, 2, NoProcessesSolver > 0); }, 3)});
        convection_coefficients(1, 0, false);
        rows.push_back({"wallall (u)", serial_and_parallel([] { NoProcessesSolver > 0 ? wallall_on_slabs() : wallall(); }, 3)});
        rows.push_back({"pressure_source", serial_and_parallel([] { add_pressure_gradient(1); }, 3)});
        rows.push_back({"Residual (u)", serial_and_parallel([] { equation_residual(xvel, 1); }, 3)});
        rows.push_back({"waterflow", serial_and_parallel([] { NoProcessesSolver > 0 ? waterflow_on_slabs() : waterflow(); }, 3)});
        rows.push_back({"pressure_correction", serial_and_parallel([] { NoProcessesSolver > 0 ? pressure_correction_on_slabs() : pressure_correction(); }, 3)});
        // The pressure-correction equation solved from zero, as in the driver.
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = 2; k <= znumber; ++k) {
                    wap[i][j][k] = ae[i][j][k] + aw[i][j][k] + an[i][j][k] + as[i][j][k] + wat[i][j][k] + wab[i][j][k] + 1e-30;
                    iAp[i][j][k] = 1.0 / wap[i][j][k];
                }
        Field3 pcorr = f;
        rows.push_back({"WaterGaussSeidel (p')", serial_and_parallel([pcorr] { pcorr.fill(0.0), gauss_seidel(pcorr); }, 1)});
        // The I-plane correction alone on both sides (mode 7 serially).
        Equation = 4;
        const int mode = blockcorr[4];
        blockcorr[4] = 7;
        rows.push_back({"BlockCorrection (p', I)", serial_and_parallel([pcorr] { NoProcessesSolver > 0 ? block_correct_parallel(pcorr, 4) : block_correct(pcorr, 4); }, 1)});
        blockcorr[4] = mode;
        pcorr.fill(0.0);
        rows.push_back({"SimpleCorrections", serial_and_parallel([pcorr] { NoProcessesSolver > 0 ? correct_flow_on_slabs(pcorr) : correct_flow(pcorr); }, 3)});
        Equation = 5;
        eddy_diffusivity(5);
        rows.push_back({"turbulence (k)", serial_and_parallel([] { NoProcessesSolver > 0 ? turbulence_terms_on_slabs(5) : turbulence_terms(5); }, 3)});

        // The memory bandwidth: ten field arrays copied into ten others.
        const std::size_t count = wap.size();
        std::vector<std::vector<double>> from(10, std::vector<double>(count, 1.0)), to(10, std::vector<double>(count));
        rows.push_back({"copy of 10 arrays", serial_and_parallel(
                                                 [&] {
#pragma omp parallel num_threads(NoProcessesSolver > 0 ? 2 : 1)
                                                     {
                                                         const std::size_t t = omp_get_thread_num(), n = omp_get_num_threads();
                                                         const std::size_t a = count * t / n, b = count * (t + 1) / n;
                                                         for (int m = 0; m < 10; ++m)
                                                             std::memcpy(to[m].data() + a, from[m].data() + a, (b - a) * sizeof(double));
                                                     }
                                                 },
                                                 3)});
        const double gigabytes = 2.0 * 10.0 * count * sizeof(double) * 1e-9;
        std::printf("\n%d x %d x %d cells: %-24s %12s %12s %8s\n", cells_x, cells_y, cells_z, "step", "1 thread", "2 threads", "speed-up");
        for (const auto& [what, p] : rows)
            std::printf("%-48s %10.2f ms %9.2f ms %8.2f\n", what.c_str(), 1e3 * p.serial, 1e3 * p.parallel, p.ratio());
        std::printf("memory bandwidth: %.1f GB/s on 1 thread, %.1f GB/s on 2 threads\n", gigabytes / rows.back().second.serial,
                    gigabytes / rows.back().second.parallel);
    }
    state.counters["cells"] = double(cells_x) * cells_y * cells_z;
    for (const auto& [what, p] : rows) {
        state.counters[what + " 1t s"] = p.serial;
        state.counters[what + " speed-up"] = p.ratio();
    }
    std::filesystem::current_path(home);
}

BENCHMARK(BM_SerialAgainstTwoThreads)->ArgNames({"x", "y"})->Args({200, 50})->Args({400, 100})->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
