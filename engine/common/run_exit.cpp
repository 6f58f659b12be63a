#include "engine/common/run_exit.h"

namespace zefra {

void end_run(int status)
{
    throw RunExit{status};
}

}  // namespace zefra
