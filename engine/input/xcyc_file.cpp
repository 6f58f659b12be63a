// Letter X.  `koosurf` holds lines "i j x y bed top" in any order, like
// `koordina`; `xcyc` a header (grid sizes, solver settings and the inflow
// profile, of which only the sizes are used) and then the x, the y and the z
// of every node, i outer, k fastest.  Both are read into scratch arrays first
// and taken only when complete: a cut-off file would otherwise leave a grid
// that is half old and half new.  With `koosurf` alone the grid lines are laid
// between its bed and top by the G 3 distribution.
#include "engine/input/xcyc_file.h"

#include <string>
#include <vector>

#include "engine/common/boogie.h"
#include "engine/common/run_account.h"
#include "engine/common/status.h"
#include "engine/grid/metric.h"
#include "engine/grid/multiblock.h"
#include "engine/input/text_scanner.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"

namespace zefra {

namespace {

std::size_t plan(int i, int j)
{
    return static_cast<std::size_t>(i) * (ynumber + 2) + j;
}

// The points of `koosurf`, by plan index; `given` marks the points present.
struct SurfacePoints {
    std::vector<double> x, y, bed, top;
    std::vector<char> given;
};

// Reads `koosurf` (at most 5 x y lines, up to the first that does not convert);
// false when it does not give every node of the grid.
bool read_surface(TextScanner& file, Boogie& log, SurfacePoints& s)
{
    const std::size_t n = plan(xnumber + 2, 0);
    for (auto* v : {&s.x, &s.y, &s.bed, &s.top}) v->assign(n, 0.0);
    s.given.assign(n, 0);
    int distinct = 0;
    for (long line = 0; line < 5L * xnumber * ynumber; ++line) {
        int i, j;
        double x, y, bed, top;
        if (file.scan("%d%d%lf%lf%lf%lf\n", &i, &j, &x, &y, &bed, &top) != 6) break;
        if (i < 1 || i > xnumber + 1 || j < 1 || j > ynumber + 1) continue;
        const std::size_t p = plan(i, j);
        if (i <= xnumber && j <= ynumber && !s.given[p]) ++distinct;
        s.given[p] = 1;
        s.x[p] = x;
        s.y[p] = y;
        s.bed[p] = bed;
        s.top[p] = top;
    }
    if (distinct == xnumber * ynumber) return true;
    log.print("Error in reading koosurf: have read %d of the %d points of the grid; the file is not used\n", distinct, xnumber * ynumber);
    return false;
}

// Reads `xcyc` into `node` (x block, y block, z block); false when the file is
// for another grid or ends before the last value.
bool read_nodes(TextScanner& file, Boogie& log, std::vector<double>& node)
{
    int x = 0, y = 0, z = 0;
    if (file.scan("%d %d %d", &x, &y, &z) != 3 || x != xnumber || y != ynumber || z != znumber) {
        log.print("Error in reading xcyc: the file is for a grid of %d x %d x %d nodes, this grid has %d x %d x %d; the file is not used\n",
                  x, y, z, xnumber, ynumber, znumber);
        return false;
    }
    // Iterations, wall and roof, relaxation, sweeps, block correction, schemes,
    // constants, roughness, and four values per inflow cell.
    const long header = 2 + 2 + 6 + 4 * 6 + 3 + 4 + 4L * (ynumber - 1) * (znumber - 1);
    double value;
    for (long n = 0; n < header; ++n)
        if (!file.read(value)) {
            log.print("Error in reading xcyc: the header ends early; the file is not used\n");
            return false;
        }
    log.print("Reading data from xcyc\n");
    const long count = 3L * xnumber * ynumber * znumber;
    node.assign(count, 0.0);
    long n = 0;
    while (n < count && file.read(node[n])) ++n;
    if (n == count) return true;
    log.print("Error in reading xcyc: have read %ld of the %ld node coordinates; the file is not used\n", n, count);
    return false;
}

void take_surface(const SurfacePoints& s)
{
    for (int i = 1; i <= xnumber + 1; ++i)
        for (int j = 1; j <= ynumber + 1; ++j) {
            const std::size_t p = plan(i, j);
            if (!s.given[p]) continue;
            xval[i][j] = s.x[p];
            yval[i][j] = s.y[p];
            zval[i][j][0] = s.bed[p];
            zval[i][j][znumber] = s.top[p];
        }
}

// Grid lines laid between the bed (line 0) and the top of `koosurf`.
void lay_lines_from_surface()
{
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) {
            const double bed = zval[i][j][0], top = zval[i][j][znumber];
            for (int k = 1; k <= znumber; ++k) {
                Xc[i][j][k] = xval[i][j];
                Yc[i][j][k] = yval[i][j];
                zval[i][j][k] = bed + zdistrib[k] * 0.01 * (top - bed);
            }
        }
}

void take_nodes(const std::vector<double>& node, bool bed_from_surface)
{
    const long block = static_cast<long>(xnumber) * ynumber * znumber;
    long n = 0;
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) {
            for (int k = 1; k <= znumber; ++k, ++n) {
                Xc[i][j][k] = node[n];
                Yc[i][j][k] = node[block + n];
                zval[i][j][k] = node[2 * block + n];
            }
            xval[i][j] = Xc[i][j][1];
            yval[i][j] = Yc[i][j][1];
            if (!bed_from_surface) zval[i][j][0] = zval[i][j][1];
        }
}

}  // namespace

void ReadXCYC()
{
    Boogie log;
    log.require(-3);

    SurfacePoints surface;
    bool surface_used = false;
    if (TextScanner file(SurfaceFileName); file) {
        log.print("Have used file 'koosurf'\n");
        surface_used = read_surface(file, log, surface);
    } else {
        log.print("Have not used file 'koosurf'\n");
    }

    std::vector<double> node;
    bool nodes_used = false;
    if (TextScanner file(NodeFileName); file) {
        nodes_used = read_nodes(file, log, node);
    } else {
        log.print("cannot open file 'xcyc' \n");
    }
    if (!nodes_used) set_status(mc_message, "have not used file 'xcyc' ");

    if (surface_used) take_surface(surface);
    if (nodes_used)
        take_nodes(node, surface_used);
    else if (surface_used)
        lay_lines_from_surface();

    std::string read = nodes_used && surface_used ? "xcyc/koosurf" : nodes_used ? "xcyc" : surface_used ? "koosurf" : "";
    if (read.empty()) {
        account_step("X read no grid: the grid is unchanged; see boogie");
        return;
    }
    set_statusf(mc_message, "have read %s ", read.c_str());
    account_step("X read the grid from %s", read.c_str());
    log.close();

    // The cell geometry of the new grid now, for every letter that follows;
    // the next flow computation also starts its boundary values afresh.
    metric();
    smetric();
    FlagGridChange = 1;
}

}  // namespace zefra
