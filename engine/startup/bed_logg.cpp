// Stored bed changes.  `loggfil.pre` holds blocks, each starting with "T" and
// its time, then one line per cell beginning with "a": the cell indices, the
// bed level change of the cell and the bed grain fractions.  At the end of a
// block the cell changes are moved to the bed nodes and added to the bed (so
// the blocks add up), never below the lower bed limit; the nodes of each
// column then keep their relative places between the new bed and the water
// level, and a column shallower than TSCMinDepth gets its top raised to that
// depth above the bed.  The moved bed is written to `koordina.new`.
#include "engine/startup/bed_logg.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/common/boogie.h"
#include "engine/input/grid_file.h"
#include "engine/input/text_scanner.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"

namespace zefra {

namespace {

constexpr int MaxBlocks = 500;

// Mean of the cell changes around node (i, j).  Inside the grid each cell
// weighs with 1 / sqrt(plan area), so that small cells, which change more for
// the same volume, do not dominate; at the edges the cells weigh equally.
double node_change(const std::vector<double>& change, int i, int j)
{
    const bool interior = i >= 2 && i <= xnumber - 1 && j >= 2 && j <= ynumber - 1;
    double sum = 0.0, weights = 0.0;
    for (int ci = i; ci <= i + 1; ++ci)
        for (int cj = j; cj <= j + 1; ++cj) {
            if (ci < 2 || ci > xnumber || cj < 2 || cj > ynumber) continue;
            const double w = interior ? 1.0 / std::sqrt(std::max(m_armap[ci][cj], 1e-20)) : 1.0;
            sum += change[static_cast<std::size_t>(ci) * (ynumber + 2) + cj] * w;
            weights += w;
        }
    return weights > 0.0 ? sum / weights : 0.0;
}

// Adds one block's changes to the bed nodes and re-levels the columns.
void apply_block(const std::vector<double>& change)
{
    std::vector<double> node_delta(static_cast<std::size_t>(xnumber + 2) * (ynumber + 2), 0.0);
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) node_delta[static_cast<std::size_t>(i) * (ynumber + 2) + j] = node_change(change, i, j);
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) {
            const double old_bed = zval[i][j][1], old_top = zval[i][j][znumber];
            double bed = old_bed + node_delta[static_cast<std::size_t>(i) * (ynumber + 2) + j];
            if (bed < Surfaces[3][i][j]) bed = old_bed;  // never below the lower limit
            const double top = std::max(old_top, bed + TSCMinDepth);
            const double height = old_top - old_bed;
            for (int k = 2; k < znumber; ++k) {
                const double fraction = std::fabs(height) > 1e-12 ? (zval[i][j][k] - old_bed) / height : (k - 1.0) / (znumber - 1);
                zval[i][j][k] = bed + fraction * (top - bed);
            }
            zval[i][j][0] = zval[i][j][1] = bed;  // line 0 is the bed that koosurf and the bed plots carry
            zval[i][j][znumber] = top;
        }
}

}  // namespace

void bed_logg()
{
    Boogie log;
    log.require(-3);
    TextScanner file(StoredBedChangeFile);
    if (!file) {
        log.print("\nNo loggfile observed\n\n");
        return;
    }
    if (TSCMinDepth <= 0.0) {
        const int jm = ynumber / 2 + 1;
        double sum = 0.0;
        for (int i = 2; i <= xnumber; ++i) sum += m_dist_x[i][jm][znumber];
        TSCMinDepth = 0.03 * sum / std::max(xnumber - 1, 1);
    }
    const long limit = 2L * xnumber * ynumber;
    const int sizes = std::min(lnumber, SizeCapacity - 1);
    std::vector<double> change(static_cast<std::size_t>(xnumber + 2) * (ynumber + 2));
    int c = file.get();
    int block = 0;
    for (; block < MaxBlocks && c != EOF; ++block) {
        while (c != EOF && c != 'T') c = file.get();
        if (c == EOF) break;
        file.scan(" %lf\n\n", &stime);
        log.print("\nLoggfile, time = %lf \n\n", stime);
        std::fill(change.begin(), change.end(), 0.0);
        c = file.get();
        for (long taken = 0; c != EOF && c != 'T' && taken < limit; ++taken, c = file.get()) {
            if (c != 'a') continue;
            int i = 0, j = 0;
            double dz = 0.0;
            if (file.scan("%d %d", &i, &j) != 2 || file.scan("%lf", &dz) != 1) continue;
            const bool cell = i >= 2 && i <= xnumber && j >= 2 && j <= ynumber;
            for (int l = 1; l <= sizes; ++l) {
                double fraction;
                if (file.scan("%lf ", &fraction) == 1 && cell) bedgrain[l][i][j] = fraction;
            }
            if (!cell) continue;  // a cell outside the grid is passed over
            bedlevchange[0][i][j] = dz;
            change[static_cast<std::size_t>(i) * (ynumber + 2) + j] = dz;
        }
        apply_block(change);
    }
    // The moved bed, for a later run to read as its grid.
    if (block > 0) writekoor();
}

}  // namespace zefra

