// The parallel variants of the flow kernels against their serial twins: on
// the state of a real channel (walls, an out-block, k-epsilon) and of a river
// with a side block, every kernel run on 1, 2, 3 and 5 I-slabs of uneven
// widths, on two threads, leaves every array it touches bit-identical.
#include <gtest/gtest.h>
#include <omp.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engine/common/run_exit.h"
#include "engine/flow3d/face_fluxes.h"
#include "engine/flow3d/higher_order.h"
#include "engine/flow3d/pressure_correction.h"
#include "engine/flow3d/slabs.h"
#include "engine/state/fields.h"
#include "engine/state/state.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/turbulence/turbulence_models.h"
#include "engine/turbulence/wall_laws.h"
#include "tests/support/case_folder.h"
#include "tests/support/straight_channel.h"

namespace zefra {
namespace {

std::vector<const Field3*> touched()
{
    return {&ae, &aw, &as, &an, &wab, &wat, &aee, &aww, &ass, &ann, &abb, &att, &wap, &source, &flow1, &flow2, &flow3,
            &xvel, &yvel, &zvel, &Pres, &Stress, &gama, &gamaV, &f};
}

using Snapshot = std::vector<std::vector<double>>;

Snapshot take()
{
    Snapshot s;
    for (const Field3* a : touched()) s.emplace_back(a->data(), a->data() + a->size());
    return s;
}

void restore(const Snapshot& s)
{
    const std::vector<const Field3*> arrays = touched();
    for (std::size_t n = 0; n < arrays.size(); ++n) std::copy(s[n].begin(), s[n].end(), arrays[n]->data());
}

struct Kernel {
    std::string name;
    std::function<void()> serial, slabs;
};

// Runs every kernel serially and on n slabs from the same state and names
// each array that differs in a single bit.
void expect_twins_agree(const std::vector<Kernel>& kernels)
{
    // Outputs start as noise, so that an element the slabs forget shows.
    std::mt19937 random(3);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    for (const Field3* a : {&ae, &aw, &as, &an, &wab, &wat, &aee, &aww, &ass, &ann, &abb, &att, &wap, &source, &Stress, &f})
        for (std::size_t m = 0; m < a->size(); ++m) a->data()[m] = (a == &f ? 1e-3 : 10.0) * noise(random);
    const Snapshot start = take();
    FilledScheme = 1;  // the noise counts as second-order coefficients, to be cleared
    const int threads = omp_get_max_threads();
    omp_set_num_threads(2);
    for (const Kernel& kernel : kernels)
        for (int slabs : {1, 2, 3, 5}) {
            restore(start);
            FilledScheme = 1;
            NoProcessesSolver = 0;
            kernel.serial();
            const Snapshot serial = take();
            const int scheme = FilledScheme;
            restore(start);
            FilledScheme = 1;
            NoProcessesSolver = slabs;
            kernel.slabs();
            const Snapshot parallel = take();
            NoProcessesSolver = 0;
            EXPECT_EQ(FilledScheme, scheme);
            for (std::size_t n = 0; n < serial.size(); ++n)
                EXPECT_EQ(std::memcmp(serial[n].data(), parallel[n].data(), serial[n].size() * sizeof(double)), 0)
                    << kernel.name << " on " << slabs << " slabs: array " << n << " differs";
        }
    omp_set_num_threads(threads);
}

std::vector<Kernel> kernels()
{
    std::vector<Kernel> k;
    for (int e : {1, 5})
        for (int scheme : {0, 1, 2, 3})
            k.push_back({"coefficients of equation " + std::to_string(e) + ", scheme " + std::to_string(scheme),
                         [=] { convection_coefficients(e, scheme, false); }, [=] { convection_coefficients(e, scheme, true); }});
    k.push_back({"face fluxes", [] { waterflow(); }, [] { waterflow_on_slabs(); }});
    k.push_back({"pressure-correction coefficients", [] { pressure_correction(); }, [] { pressure_correction_on_slabs(); }});
    k.push_back({"corrections", [] { correct_flow(f); }, [] { correct_flow_on_slabs(f); }});
    for (int e : {1, 5, 6}) {
        k.push_back({"wall laws of equation " + std::to_string(e), [=] { Equation = e, wallall(); }, [=] { Equation = e, wallall_on_slabs(); }});
        k.push_back({"diffusivity of equation " + std::to_string(e), [=] { eddy_diffusivity(e); }, [=] { eddy_diffusivity(e); }});
    }
    for (int e : {5, 6}) k.push_back({"turbulence of equation " + std::to_string(e), [=] { turbulence_terms(e); }, [=] { turbulence_terms_on_slabs(e); }});
    k.push_back({"pressure gradient", [] { add_pressure_gradient(1); }, [] { add_pressure_gradient(1); }});
    return k;
}

TEST(Slabs, EveryKernelMatchesItsSerialTwinOnAChannelWithAnOutBlock)
{
    test::CaseFolder folder;
    test::write_straight_channel(14, 8);  // 13 cells along: slabs of 6 + 7, 4 + 4 + 5, 2 + 2 + 2 + 2 + 5
    ASSERT_EQ(test::run_case("G 1 14 8 6 1\nG 3 0 20 40 60 80 100\nW 1 35 10.0 101.0\nF 2 W\nK 1 4 5000\nK 6 0 0 0 0 1 0\nG 13 1 6 7 3 4 2 4\n"), 1);
    expect_twins_agree(kernels());
}

TEST(Slabs, EveryKernelMatchesItsSerialTwinOnARiverWithASideBlock)
{
    test::CaseFolder folder;
    for (const char* file : {"control", "koordina"})
        std::filesystem::copy_file(std::string(ZEFRA_SOURCE_DIR) + "/examples/side_branch/" + file, file);
    ASSERT_EQ(test::run_case(test::read_file("control") + "K 1 4 5000\nK 6 0 0 0 0 1 0\n"), 1);
    ASSERT_GT(MBNo, 0);
    expect_twins_agree(kernels());
}

// A run exit raised by a kernel in one slab leaves the parallel region only
// after every thread has finished its own slabs.
TEST(Slabs, ARunExitInsideTheThreadsReachesTheCaller)
{
    reset_state();
    xnumber = 21;
    int done = 0;
    try {
        for_each_slab(4, [&](Slab s) {
            if (s.last == xnumber) end_run(-2);  // the last slab of the last thread
#pragma omp atomic
            ++done;
        });
        FAIL() << "the run exit was lost";
    } catch (const RunExit& e) {
        EXPECT_EQ(e.status, -2);
    }
    EXPECT_EQ(done, 3);
    reset_state();
}

}  // namespace
}  // namespace zefra
