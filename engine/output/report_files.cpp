// Report files.  Not yet built.
#include "engine/output/report_files.h"

namespace zefra {

void writespider() {}

}  // namespace zefra
