// What the flow solver adds to the log when a run stops on a diverging flow:
// where it happened, how deep the water is there and what helps.
// Reads the face fluxes, the grid levels and the residual peaks; writes nothing.
#pragma once

#include <string>

namespace zefra {

// The line after "Error, wap(i,j,k) = ...": the depth of the column, the
// flows into the cell through its six faces and the hint.
std::string zero_central_coefficient_hint(int i, int j, int k);

// The line after "Solution diverged": the equation and cell of the largest
// residual, the depth of that column and the hint.
std::string divergence_hint(int equation);

}  // namespace zefra
