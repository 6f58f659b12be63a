// Speed of the inner kernels on a 200 x 60 x 20 grid: the power-law
// coefficients, the face fluxes and one Gauss-Seidel call, in nanoseconds per
// cell, beside a plain copy of one field array of the same size.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include "engine/flow3d/coefficients.h"
#include "engine/flow3d/face_fluxes.h"
#include "engine/flow3d/linear_solvers.h"
#include "engine/grid/metric.h"
#include "engine/state/fields.h"
#include "engine/state/state.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"

namespace {

using namespace zefra;

constexpr int CellsX = 200, CellsY = 60, CellsZ = 20;
constexpr double Cells = double(CellsX) * CellsY * CellsZ;

// A gently curved channel with a random flow field, built once.
void prepare()
{
    static bool ready = false;
    if (ready) return;
    ready = true;
    const auto folder = std::filesystem::temp_directory_path() / "zefra-bench";
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    reset_state();
    xnumber = CellsX + 1;
    ynumber = CellsY + 1;
    znumber = CellsZ + 1;
    lnumber = 1;
    sialloc();
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) {
            xval[i][j] = 2.0 * i + 0.3 * std::sin(0.05 * i) * j;
            yval[i][j] = 0.5 * j + 0.1 * i;
            for (int k = 1; k <= znumber; ++k) zval[i][j][k] = 0.001 * i + 2.0 * (k - 1) / (znumber - 1);
        }
    metric();
    std::mt19937 random(1);
    std::uniform_real_distribution<double> value(0.5, 1.5);
    for (Field3* a : {&xvel, &yvel, &zvel, &Pres}) {
        double* p = a->data();
        for (std::size_t n = 0; n < a->size(); ++n) p[n] = value(random);
    }
    gama.fill(1.0);
    gamaV.fill(1.0);
    invAP.fill(1e-3);
    twoD.fill(1);
    relaxVelocity = 0.8;
    Equation = 1;
    waterflow();
    coeffe_flow();
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j)
            for (int k = 0; k <= znumber + 1; ++k) {
                wap[i][j][k] = ae[i][j][k] + aw[i][j][k] + an[i][j][k] + as[i][j][k] + wab[i][j][k] + wat[i][j][k] + 1.0;
                iAp[i][j][k] = 1.0 / wap[i][j][k];
                source[i][j][k] = value(random);
            }
    f = kinen;
}

void per_cell(benchmark::State& state)
{
    state.counters["per_cell"] = benchmark::Counter(Cells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A plain copy of `arrays` field arrays of the grid's size into as many others:
// the memory traffic of a kernel that streams 2 x `arrays` arrays.
void BM_CopyArrays(benchmark::State& state)
{
    prepare();
    const std::size_t count = wap.size(), arrays = static_cast<std::size_t>(state.range(0));
    std::vector<std::vector<double>> from(arrays, std::vector<double>(count, 1.0)), to(arrays, std::vector<double>(count));
    for (auto _ : state) {
        for (std::size_t a = 0; a < arrays; ++a) std::memcpy(to[a].data(), from[a].data(), count * sizeof(double));
        benchmark::ClobberMemory();
    }
    per_cell(state);
}

void BM_CoefficientsPowerLaw(benchmark::State& state)
{
    prepare();
    for (auto _ : state) {
        coeffe_flow();
        benchmark::ClobberMemory();
    }
    per_cell(state);
}

void BM_FaceFluxes(benchmark::State& state)
{
    prepare();
    for (auto _ : state) {
        waterflow();
        benchmark::ClobberMemory();
    }
    per_cell(state);
}

void BM_GaussSeidelCall(benchmark::State& state)
{
    prepare();
    GaussIter = 10;
    for (auto _ : state) {
        WaterGaussSeidel();
        benchmark::ClobberMemory();
    }
    per_cell(state);
}

void BM_LineSolverCall(benchmark::State& state)
{
    prepare();
    for (auto _ : state) {
        WaterTDMA();
        benchmark::ClobberMemory();
    }
    per_cell(state);
}

BENCHMARK(BM_CopyArrays)->Arg(1)->Arg(12)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoefficientsPowerLaw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FaceFluxes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GaussSeidelCall)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineSolverCall)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
