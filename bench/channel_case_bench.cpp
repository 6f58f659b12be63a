// Whole-case timer: a straight river reach of about 100,000 and 400,000 cells
// run through the program entry to convergence (pressure block correction), with
// the standard k-epsilon model and with a constant eddy viscosity (model 3,
// F 34).  Reports the seconds per outer iteration, the outer iterations to
// convergence and the peak memory.  The depth-averaged solver (letter D) runs
// a reach of 1 km x 100 m on 200 x 40 and 400 x 80 columns.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/channel_case.h"
#include "engine/driver/entry.h"
#include "engine/state/state.h"
#include "engine/state/state_flow.h"

namespace {

using namespace zefra;

void BM_ChannelCase(benchmark::State& state)
{
    const int cells_x = static_cast<int>(state.range(0)), cells_y = static_cast<int>(state.range(1)), cells_z = 10;
    const int model = static_cast<int>(state.range(2));
    const auto folder = std::filesystem::temp_directory_path() / "zefra-case-bench";
    std::filesystem::create_directories(folder);
    const auto home = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    long iterations = 0;
    double seconds = 0.0;
    for (auto _ : state) {
        reset_state();
        write_channel_case(cells_x + 1, cells_y + 1, cells_z + 1, model, "K 5 0 0 0 1 0 0\n");
        char name[] = "zefra";
        char* argv[] = {name, nullptr};
        const auto start = std::chrono::steady_clock::now();
        run_zefra(1, argv);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        iterations = Iter;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["cells"] = double(cells_x) * cells_y * cells_z;
    state.counters["outer_iterations"] = double(iterations);
    state.counters["s_per_iteration"] = seconds / double(iterations);
    state.counters["peak_MB"] = usage.ru_maxrss / 1024.0;
    std::filesystem::current_path(home);
}

// The depth-averaged reach: 5 m x 2.5 m columns, 2 m deep, 1 m/s, Strickler
// 35, on a level bed under a level lid (the uniform channel of the columns);
// four grid levels only, the solver uses none of them.
void write_reach_2d(int x, int y)
{
    const double width = 2.5 * (y - 1), depth = 2.0, discharge = 1.0 * width * depth;
    std::ofstream grid("koordina");
    grid.precision(10);
    for (int i = 1; i <= x; ++i)
        for (int j = 1; j <= y; ++j) grid << i << ' ' << j << ' ' << 5.0 * (i - 1) << ' ' << 2.5 * (j - 1) << " 100\n";
    std::ofstream control("control");
    control.precision(10);
    control << "G 1 " << x << ' ' << y << " 4 1\n";
    control << "W 1 35 " << discharge << ' ' << 100.0 + depth << "\n";
    control << "F 2 D\nK 1 20000 100000\nK 5 0 0 0 1 0 0\n";
}

void BM_ChannelCase2D(benchmark::State& state)
{
    const int columns_x = static_cast<int>(state.range(0)), columns_y = static_cast<int>(state.range(1));
    const auto folder = std::filesystem::temp_directory_path() / "zefra-case-bench-2d";
    std::filesystem::create_directories(folder);
    const auto home = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    long iterations = 0;
    double seconds = 0.0;
    for (auto _ : state) {
        reset_state();
        write_reach_2d(columns_x + 1, columns_y + 1);
        char name[] = "zefra";
        char* argv[] = {name, nullptr};
        const auto start = std::chrono::steady_clock::now();
        run_zefra(1, argv);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        iterations = Iter;
    }
    state.counters["columns"] = double(columns_x) * columns_y;
    state.counters["outer_iterations"] = double(iterations);
    state.counters["s_per_iteration"] = seconds / double(iterations);
    state.counters["seconds"] = seconds;
    std::filesystem::current_path(home);
}

BENCHMARK(BM_ChannelCase2D)->ArgNames({"x", "y"})->Args({200, 40})->Args({400, 80})->Iterations(1)->Unit(benchmark::kSecond);

BENCHMARK(BM_ChannelCase)
    ->ArgNames({"x", "y", "model"})
    ->Args({200, 50, 0})
    ->Args({200, 50, 3})
    ->Args({400, 100, 0})
    ->Args({400, 100, 3})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
