// Writer and reader of the result file.  Not yet built.
#include "engine/input/result_file.h"

namespace zefra {

void sprintflow() {}
void readres() {}

}  // namespace zefra
