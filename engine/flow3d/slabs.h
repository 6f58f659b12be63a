// How the parallel variants of the flow kernels split the grid: slabs of the
// I index run on the OpenMP worker threads (F 206), each kernel writing only
// the elements its slab owns.
//
//   i =   2 ... w+1 | w+2 ... 2w+1 | ... | (n-1)w+2 ... xnumber
//         slab 0      slab 1               slab n-1 (takes the rest)
//
// with w = (xnumber - 1) / n.  A slab owns its cells and the I-faces on their
// high side; the first slab also owns the inflow face 1, the last one ends at
// the outflow face xnumber.  Reads NoProcessesSolver, FlagOpenMP, xnumber.
#pragma once

#include <omp.h>

#include <algorithm>
#include <exception>

#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"

namespace zefra {

struct Slab {
    int first, last;  // cells i = first ... last
};

// Parallel mode: F 206 asked for worker threads.
inline bool parallel_mode()
{
    return NoProcessesSolver > 0;
}

// Whether step n (G 50: 1 coefficients, 2 wall laws, 3 face fluxes,
// 4 corrections, 5 turbulence, 6 pressure-correction coefficients) runs on
// slabs.
inline bool slab_step(int n)
{
    return parallel_mode() && FlagOpenMP[n] != 1;
}

// The number of slabs of the slab routines: one per F 206 thread, at most one
// per cell plane.
inline int slab_count()
{
    return std::clamp(NoProcessesSolver, 1, std::max(1, xnumber - 1));
}

// Slab s (0 ... n-1) of n.
inline Slab slab(int s, int n)
{
    const int width = (xnumber - 1) / n;
    return {s * width + 2, s == n - 1 ? xnumber : (s + 1) * width + 1};
}

// Nothing may leave a parallel region by an exception (a run exit from a
// kernel, a failed allocation): the first one is kept and thrown again once
// every thread has finished.
class RegionError {
public:
    template <class Call>
    void run(Call&& call) noexcept
    {
        try {
            call();
        } catch (...) {
#pragma omp critical(zefra_region_error)
            if (!first_) first_ = std::current_exception();
        }
    }
    void rethrow() const
    {
        if (first_) std::rethrow_exception(first_);
    }

private:
    std::exception_ptr first_;
};

// Runs body(slab) for every slab of n, the slabs handed to the threads in
// contiguous groups of ceil(n / T).  Returns when all are done.
template <class Body>
void for_each_slab(int n, Body&& body)
{
    const int threads = std::max(1, std::min(n, omp_get_max_threads()));
    RegionError error;
#pragma omp parallel num_threads(threads)
    {
        const int t = omp_get_thread_num(), team = omp_get_num_threads();
        const int group = (n + team - 1) / team;
        error.run([&] {
            for (int s = t * group; s < std::min(n, (t + 1) * group); ++s) body(slab(s, n));
        });
    }
    error.rethrow();
}

// Runs body(first, last) over first ... last split into contiguous ranges,
// one per thread in parallel mode, or once over the whole range serially.
template <class Body>
void split_range(int first, int last, Body&& body)
{
    if (!parallel_mode() || last <= first) {
        body(first, last);
        return;
    }
    const int threads = std::max(1, std::min(last - first + 1, omp_get_max_threads()));
    RegionError error;
#pragma omp parallel num_threads(threads)
    {
        const int t = omp_get_thread_num(), team = omp_get_num_threads();
        const int width = (last - first + 1 + team - 1) / team;
        const int a = first + t * width, b = std::min(last, a + width - 1);
        if (a <= b) error.run([&] { body(a, b); });
    }
    error.rethrow();
}

// The same over the inner cells i = 2 ... xnumber.
template <class Body>
void split_cells(Body&& body)
{
    split_range(2, xnumber, body);
}

}  // namespace zefra
