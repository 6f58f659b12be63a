// Consistency check of the inflow and outflow openings (G 7 records), called
// by the control-file reader before the arrays are allocated.  Every check of
// every record is made and reported; after any failure the whole list is
// disabled (IONo = -10) and the reader then stops the run.
#include "engine/input/inflow_outflow.h"

#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "engine/common/boogie.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_tables.h"

namespace zefra {

namespace {

// Values that must be 0 ... limit, tested unsigned so that a negative value fails too.
bool unsigned_at_most(int value, unsigned limit)
{
    return static_cast<unsigned>(value) <= limit;
}

// Checks one record; returns whether all checks passed.  Each failure is
// reported with the record number followed by its own lines.
bool check_record(Boogie& log, int n, const IORecord& r)
{
    bool ok = true;
    auto failed = [&] {
        log.print("Error in G 7: for wall no: %d\n", n);
        ok = false;
        return true;
    };
    const int side = std::abs(r.side);

    if (!unsigned_at_most(r.type, 1) && failed()) log.print("type have to be 0 for inflow or 1 for outflow\n");
    if ((r.side == 0 || r.side < -3) && failed()) log.print("side have to range from -3 to +3, but not zero\nside: %d\n", r.side);
    if (r.side > 3 && MBNo <= 0 && failed())
        log.print("side have to range from -3 to +3, when Multi-Block is not used\nside: %d\n", r.side);
    if (r.side >= 4 && r.side <= 10 && failed()) log.print("side can never range from 4 to 10\nside: %d\n", r.side);
    if (r.side - MBNo > 10 && failed())
        log.print("side minus number of Multi-Blocks can not exceed 10\nside: %d MBNo: %d\n", r.side, MBNo);
    if ((r.a1 <= 1 || r.b1 <= 1) && failed()) log.print("a1 and b1 have to b greater than 1\na1, b1: %d, %d\n", r.a1, r.b1);
    if (r.a2 < r.a1 && failed()) log.print("a2 have to be greater than a1\n");
    if (r.b2 < r.b1 && failed()) log.print("b2 have to be greater than b1\n");
    if (side == 3) {
        if (r.a2 > xnumber && failed()) log.print("a2(%d) larger than xnumber(%d)\na2, b2: %d, %d\n", r.a2, xnumber, r.a2, r.b2);
        if (r.b2 > ynumber && failed()) log.print("b2(%d) larger than ynumber(%d)\na2, b2: %d, %d\n", r.b2, ynumber, r.a2, r.b2);
    } else if (side == 2) {
        if (r.a2 > xnumber && failed()) log.print("a2(%d) larger than xnumber(%d)\na2, b2: %d, %d\n", r.a2, xnumber, r.a2, r.b2);
        if (r.b2 > znumber && failed())
            log.print("b2 (%d) larger than znumber (%d) \na2, b2: %d, %d\n", r.b2, znumber, r.a2, r.b2);
    } else if (side == 1 || r.side > 10) {
        if (r.a2 > ynumber && failed()) log.print("a2(%d) larger than ynumber(%d)\na2, b2: %d, %d\n", r.a2, ynumber, r.a2, r.b2);
        if (r.b2 > znumber && failed()) log.print("b2(%d) larger than znumber(%d)\na2, b2: %d, %d\n", r.b2, znumber, r.a2, r.b2);
    }
    if (!unsigned_at_most(r.paralell, 2) && failed()) log.print("paralell must be 0,1 or 2\nparalell: %d\n", r.paralell);
    if (!unsigned_at_most(r.update, 2) && failed()) log.print("update must be 0, 1 or 2\nupdate: %d\n", r.update);
    if (r.paralell == 2) {
        // A component greater than 1 is not prescribed and counts as zero.
        double unit = 0.0;
        for (double c : {r.x, r.y, r.z})
            if (c <= 1.0) unit += c * c;
        if (std::fabs(unit - 1.0) > 0.01 && failed())
            log.print("Incorrect components for paralell equal 2\nIncorrect Unit = %e\n", unit);
    }
    return ok;
}

}  // namespace

void checkIO()
{
    Boogie log;
    log.require(-3);
    bool ok = true;
    for (int n = 1; n <= IONo && n < IOCapacity; ++n) ok = check_record(log, n, IO[n]) && ok;
    if (!ok) IONo = -10;
}

}  // namespace zefra
