// Whole-case timer: a straight river reach of about 100,000 and 400,000 cells
// run through the program entry to convergence (pressure block correction), with
// the standard k-epsilon model and with a constant eddy viscosity (model 3,
// F 34).  Reports the seconds per outer iteration, the outer iterations to
// convergence and the peak memory.  The depth-averaged solver (letter D) runs
// a reach of 1 km x 100 m on 200 x 40 and 400 x 80 columns.  The sediment
// case runs W, I and S on the 100,000-cell reach with three grain sizes and
// reports the seconds per iteration of the sediment solver, its iterations
// to convergence and its share of the run.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "bench/channel_case.h"
#include "engine/driver/entry.h"
#include "engine/state/state.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_run.h"

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

// Start time of each run letter, and the time the run ended.
std::vector<std::pair<char, std::chrono::steady_clock::time_point>> letter_starts;

void BM_SedimentCase(benchmark::State& state)
{
    const int cells_x = 200, cells_y = 50, cells_z = 10;
    const auto folder = std::filesystem::temp_directory_path() / "zefra-sediment-bench";
    std::filesystem::create_directories(folder);
    const auto home = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    std::ostringstream sand;
    sand << "S 1 0.0005 0.07\nS 2 0.0002 0.025\nS 3 0.0001 0.008\nN 1 1 0.3\nN 1 2 0.4\nN 1 3 0.3\nB 1 1 " << cells_x + 1 << " 1 "
         << cells_y + 1 << "\nI 1 1.0\nI 2 1.0\nI 3 1.0\nF 4 0.5 3000 1e-6\n";
    double seconds[3] = {}, total = 0.0;
    long flow_iterations = 0, sediment_iterations = 0;
    for (auto _ : state) {
        reset_state();
        write_channel_case(cells_x + 1, cells_y + 1, cells_z + 1, 0, "K 5 0 0 0 1 0 0\n" + sand.str(), "WIS", 3);
        letter_starts.clear();
        run_letter_observer = [](char letter, int) { letter_starts.emplace_back(letter, std::chrono::steady_clock::now()); };
        char name[] = "zefra";
        char* argv[] = {name, nullptr};
        run_zefra(1, argv);
        const auto end = std::chrono::steady_clock::now();
        run_letter_observer = nullptr;
        for (size_t n = 0; n < letter_starts.size(); ++n) {
            const auto stop = n + 1 < letter_starts.size() ? letter_starts[n + 1].second : end;
            const double s = std::chrono::duration<double>(stop - letter_starts[n].second).count();
            seconds[letter_starts[n].first == 'W' ? 0 : letter_starts[n].first == 'I' ? 1 : 2] = s;
        }
        total = seconds[0] + seconds[1] + seconds[2];
        flow_iterations = Iter;
        // The last report of the sediment solver: "Trap efficiency after n iter".
        std::ifstream log("boogie");
        std::string line;
        const std::string mark = "Trap efficiency after ";
        while (std::getline(log, line))
            if (line.rfind(mark, 0) == 0) sediment_iterations = std::stol(line.substr(mark.size())) + 1;
    }
    state.counters["cells"] = double(cells_x) * cells_y * cells_z;
    state.counters["flow_iterations"] = double(flow_iterations);
    state.counters["s_per_flow_iteration"] = seconds[0] / double(flow_iterations);
    state.counters["sediment_iterations"] = double(sediment_iterations);
    state.counters["s_per_sediment_iteration"] = seconds[2] / double(sediment_iterations);
    state.counters["sediment_share"] = seconds[2] / total;
    state.counters["setup_s"] = seconds[1];
    std::filesystem::current_path(home);
}

BENCHMARK(BM_SedimentCase)->Iterations(1)->Unit(benchmark::kSecond);

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
