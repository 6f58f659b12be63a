// Arithmetic conventions shared by every subsystem.
#pragma once

#include <cmath>

namespace zefra {

// Whether n is a multiple of m, as the engine tests it for print intervals and
// the like: |fmod(n, m)| < 0.001.
inline bool is_multiple(double n, double m)
{
    return std::fabs(std::fmod(n, m)) < 0.001;
}

// A run is transient when its time step exceeds this limit.
constexpr double TransientTimeStepLimit = 1e-8;

}  // namespace zefra
