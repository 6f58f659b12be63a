// Time series: the input file `timei` (not yet built: nothing is read) and
// the lines of the output file `timeo`.
#include "engine/input/time_series.h"

#include <cstdio>

#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_tables.h"

namespace zefra {

namespace {

// Value of one print point in a flow line; false for letters that write nothing there.
bool point_value(const TimePrintPoint& p, double& value)
{
    switch (p.letter) {
    case 'u': value = xvel[p.i][p.j][p.k]; return true;
    case 'v': value = yvel[p.i][p.j][p.k]; return true;
    case 'w': value = zvel[p.i][p.j][p.k]; return true;
    case 'p': value = Pres[p.i][p.j][p.k]; return true;
    case 'k': value = kinen[p.i][p.j][p.k]; return true;
    case 'e': value = epsilon[p.i][p.j][p.k]; return true;
    case 'd': value = diff[p.i][p.j][p.k]; return true;
    case 'z': value = zval[p.i][p.j][p.k]; return true;
    case 'c': value = conc[p.index][p.i][p.j][p.k]; return true;
    case 't':
        if (!temp) return false;
        value = temp[p.i][p.j][p.k];
        return true;
    default: return false;
    }
}

}  // namespace

int ReadTimes()
{
    return 0;
}

bool create_timeo()
{
    std::FILE* fp = std::fopen(TimeSeriesOutputFile, "w");
    if (!fp) return false;
    std::fclose(fp);
    return true;
}

bool append_timeo_line()
{
    std::FILE* fp = std::fopen(TimeSeriesOutputFile, "a");
    if (!fp) return false;
    int active = TimePrintNo - 1;
    for (int n = 0; n < TimePrintNo; ++n)
        if (TimePrint[n].start < stime && TimePrint[n].end > stime) {
            active = n;
            break;
        }
    std::fprintf(fp, "%10.4e ", stime);
    if (active >= 0)
        for (int n = 0; n < TimePrint[active].count; ++n) {
            double value;
            if (point_value(TimePrint[active].points[n], value)) std::fprintf(fp, "%10.6e ", value);
        }
    std::fprintf(fp, "\n");
    std::fclose(fp);
    return true;
}

}  // namespace zefra
