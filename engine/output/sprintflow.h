// Writing results (letter M, and the flow solver at convergence and at its
// print intervals): the result file or one plot file, as F 48 selects.
#pragma once

namespace zefra {

void sprintflow();

}  // namespace zefra
