// Reader of the time series file.  Not yet built: nothing is read.
#include "engine/input/time_series.h"

namespace zefra {

int ReadTimes()
{
    return 0;
}

}  // namespace zefra
