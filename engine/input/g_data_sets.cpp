// G data sets of `control`: grid sizes and the geometry of the problem.  One
// table entry per data-set number; numbers above 50 and numbers not in the
// table are passed over.
#include <array>

#include "engine/driver/state_grid.h"
#include "engine/input/data_sets.h"

namespace zefra {

namespace {

constexpr int HighestG = 50;

using S = TextScanner;

struct GEntry {
    int number;
    void (*read)(S&);
};

const GEntry g_data_sets[] = {
    {1, [](S& s) {
         int count = s.scan("%d%d%d%d", &xnumber, &ynumber, &znumber, &lnumber);
         if (count != 4 || xnumber < 4 || ynumber < 4 || znumber < 4 || lnumber < 1 || lnumber > 10)
             input_error("Input error for G 1 in control");
     }},
};

using GTable = std::array<void (*)(S&), HighestG + 1>;

const GTable& g_table()
{
    static const GTable table = [] {
        GTable t{};
        for (const GEntry& e : g_data_sets) t[e.number] = e.read;
        return t;
    }();
    return table;
}

}  // namespace

void read_G(TextScanner& s)
{
    int n;
    if (!read_data_set_number(s, n)) return;
    if (n < 0 || n > HighestG) return;
    if (auto read = g_table()[n]) read(s);
}

}  // namespace zefra
