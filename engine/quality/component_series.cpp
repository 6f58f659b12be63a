// Time series of the water-quality components, one line per output moment
// in `timeo`, in the layout of the flow solver's lines: "%10.4e " with the
// time, then "%10.6e " for each point.  Called by the component driver after
// each time step whose number is a multiple of PrintIterTime, so the values
// belong to the time written in front of them.
#include "engine/quality/component_series.h"

#include <cstdio>

#include "engine/input/time_series.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_tables.h"

namespace zefra {

namespace {

constexpr double Tiny = 1e-30;

// Value of a print point in a component line; false for the letters of the
// flow lines and for an index that names no component.
bool point_value(const TimePrintPoint& p, double& value)
{
    if (p.index < 0 || p.index >= NoComponents) return false;
    switch (p.letter) {
    case 'q': value = comp[p.index][p.i][p.j][p.k]; return true;
    case 'Q': value = section_mean(p.index, p.i); return true;
    case 'L': value = column_mean(p.index, p.i, p.j); return true;
    default: return false;
    }
}

}  // namespace

double section_mean(int m, int i)
{
    double weighted = 0.0, weights = 0.0;
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k) {
            const double w = m_armap[i][j] * m_dist_z[i][j][k];
            weighted += w * comp[m][i][j][k];
            weights += w;
        }
    return weighted / (weights + Tiny);
}

double column_mean(int m, int i, int j)
{
    double weighted = 0.0, weights = 0.0;
    for (int k = 2; k <= znumber; ++k) {
        weighted += m_dist_z[i][j][k] * comp[m][i][j][k];
        weights += m_dist_z[i][j][k];
    }
    return weighted / (weights + Tiny);
}

bool append_component_timeo_line()
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
