#include "tests/support/straight_channel.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "engine/driver/entry.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "tests/support/case_folder.h"

namespace zefra::test {

void write_straight_channel(int x, int y, double rotation, double skew, double width)
{
    const double r = rotation * std::numbers::pi / 180.0, s = std::tan(skew * std::numbers::pi / 180.0);
    std::string text;
    char line[160];
    for (int i = 1; i <= x; ++i)
        for (int j = 1; j <= y; ++j) {
            const double across = width * (j - 1), along = 10.0 * (i - 1) + across * s;
            std::snprintf(line, sizeof line, "%d %d %.9f %.9f %.9f\n", i, j, along * std::cos(r) - across * std::sin(r),
                          along * std::sin(r) + across * std::cos(r), 100.0 - 0.005 * (i - 1));
            text += line;
        }
    write_file("koordina", text);
}

double section_discharge(int i)
{
    double q = 0.0;
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k) q += 0.001 * flow1[i][j][k];
    return q;
}

double section_speed(int i)
{
    double area = 0.0;
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k) area += m_ar_x[i][j][k];
    return section_discharge(i) / area;
}

double section_bed_shear(int i)
{
    double sum = 0.0;
    for (int j = 2; j <= ynumber; ++j) sum += bedshear[i][j];
    return sum / (ynumber - 1);
}

}  // namespace zefra::test
