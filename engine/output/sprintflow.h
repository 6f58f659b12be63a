// Writing results (letter M, and the flow solver at convergence and at its
// print intervals): the result file or one plot file, as F 48 selects.
// Reads F 48 and the run state; writes files only.
#pragma once

namespace zefra {

void sprintflow();

}  // namespace zefra
