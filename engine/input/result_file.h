// The result file `result`: written by letter M (with the plot files), read
// back by letter R.
#pragma once

namespace zefra {

void sprintflow();
void readres();

}  // namespace zefra
