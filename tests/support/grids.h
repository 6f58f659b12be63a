// Test grids built in memory: the arrays of an x * y * z grid allocated, the
// nodes placed and (for box_grid) the geometry computed.
#pragma once

#include <functional>

namespace zefra::test {

using Plan = std::function<double(int i, int j)>;
using Level = std::function<double(int i, int j, int k)>;

// Sets the sizes (one grain size unless lnumber is set already), allocates
// the field arrays and places the nodes.
void make_grid(int x, int y, int z, const Plan& px, const Plan& py, const Level& pz);

// A rectangular grid of equal cells dx * dy * dz, with its geometry computed.
void box_grid(int x, int y, int z, double dx, double dy, double dz);

// Writes `koordina` of the morphology cases: a channel 300 m long and 6 m
// wide on 61 x 4 node lines, bed slope 3e-4 from level 100; `trench` digs a
// trench 1 m deep between x = 160 and 180 m with 1:10 slopes.
void write_trench_channel_grid(bool trench);

}  // namespace zefra::test
