// The grid file `koordina`: one line "i j x y zb" per bed point, with the roof
// level zt added for a closed conduit.  The reader lays the vertical grid
// lines between bed and top by the G 3 distribution (or a G 16 one), fills
// the lines left out of a thinned file (option letters D and J), and sets the
// lower bed limits.  The writer puts the grid back in the same layout.
#include "engine/input/grid_file.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/common/boogie.h"
#include "engine/common/output_file.h"
#include "engine/common/run_account.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/input/text_scanner.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"

namespace zefra {

namespace {

constexpr const char* LowerBedFileName = "koomin";
constexpr double MinimumDepthOverBed = 0.01;  // top level at least this far above a bed above the water level
constexpr double DeepestBedBelowGrid = 10000.0;

// Number of node lines a thinned file holds for `lines` grid lines.
int thinned(int lines)
{
    return (lines + 1) / 2;
}

// The largest node indices a grid file named, whether taken or not.
struct Extent {
    int i = 0, j = 0;
};

// Reads point lines of `scanner` and hands each one inside the grid to `take`;
// returns the number of distinct points (i, j) taken inside 1..x, 1..y.
template <class Take>
int read_points(TextScanner& scanner, bool with_roof, Take take, Extent* extent = nullptr)
{
    std::vector<char> seen(static_cast<std::size_t>(xnumber + 2) * (ynumber + 2), 0);
    const long line_limit = 5L * xnumber * ynumber;
    int distinct = 0;
    for (long line = 0; line < line_limit; ++line) {
        int i, j;
        double x, y, zb, zt = 0.0;
        int fields = with_roof ? scanner.scan("%d%d%lf%lf%lf%lf\n", &i, &j, &x, &y, &zb, &zt)
                               : scanner.scan("%d%d%lf%lf%lf\n", &i, &j, &x, &y, &zb);
        if (fields != (with_roof ? 6 : 5)) break;
        if (extent) {
            extent->i = std::max(extent->i, i);
            extent->j = std::max(extent->j, j);
        }
        if (i < 1 || i > xnumber + 1 || j < 1 || j > ynumber + 1) continue;
        take(i, j, x, y, zb, zt);
        char& mark = seen[static_cast<std::size_t>(i) * (ynumber + 2) + j];
        if (i <= xnumber && j <= ynumber && !mark) {
            mark = 1;
            ++distinct;
        }
    }
    return distinct;
}

// Lays the vertical grid lines of column (i, j) between zb and zt.
void lay_column(int i, int j, double zb, double zt, const double* percent)
{
    for (int k = 1; k <= znumber; ++k) zval[i][j][k] = zb + (zt - zb) * percent[k] * 0.01;
}

// Option D (i) and J (j): the file holds only every second node line.  Line m
// moves to 2m-1 and the line between gets the mean of its two neighbours, from
// the last line down so that nothing is overwritten before it has moved.
template <class Move, class Mean>
void refine(int lines, Move move, Mean mean)
{
    for (int m = thinned(lines); m >= 2; --m) {
        move(m, 2 * m - 1);
        mean(2 * m - 2, 2 * m - 1, m - 1);
    }
}

void refine_grid_in_i()
{
    refine(
        xnumber,
        [](int from, int to) {
            for (int j = 1; j <= ynumber + 1; ++j) {
                xval[to][j] = xval[from][j];
                yval[to][j] = yval[from][j];
                for (int k = 1; k <= znumber; ++k) zval[to][j][k] = zval[from][j][k];
            }
        },
        [](int mid, int a, int b) {
            for (int j = 1; j <= ynumber + 1; ++j) {
                xval[mid][j] = 0.5 * (xval[a][j] + xval[b][j]);
                yval[mid][j] = 0.5 * (yval[a][j] + yval[b][j]);
                for (int k = 1; k <= znumber; ++k) zval[mid][j][k] = 0.5 * (zval[a][j][k] + zval[b][j][k]);
            }
        });
}

void refine_grid_in_j()
{
    refine(
        ynumber,
        [](int from, int to) {
            for (int i = 1; i <= xnumber + 1; ++i) {
                xval[i][to] = xval[i][from];
                yval[i][to] = yval[i][from];
                for (int k = 1; k <= znumber; ++k) zval[i][to][k] = zval[i][from][k];
            }
        },
        [](int mid, int a, int b) {
            for (int i = 1; i <= xnumber + 1; ++i) {
                xval[i][mid] = 0.5 * (xval[i][a] + xval[i][b]);
                yval[i][mid] = 0.5 * (yval[i][a] + yval[i][b]);
                for (int k = 1; k <= znumber; ++k) zval[i][mid][k] = 0.5 * (zval[i][a][k] + zval[i][b][k]);
            }
        });
}

void refine_lower_limit(bool in_i, bool in_j)
{
    Field2 limit = Surfaces[3];
    if (in_i)
        refine(
            xnumber,
            [&](int from, int to) {
                for (int j = 1; j <= ynumber + 1; ++j) limit[to][j] = limit[from][j];
            },
            [&](int mid, int a, int b) {
                for (int j = 1; j <= ynumber + 1; ++j) limit[mid][j] = 0.5 * (limit[a][j] + limit[b][j]);
            });
    if (in_j)
        refine(
            ynumber,
            [&](int from, int to) {
                for (int i = 1; i <= xnumber + 1; ++i) limit[i][to] = limit[i][from];
            },
            [&](int mid, int a, int b) {
                for (int i = 1; i <= xnumber + 1; ++i) limit[i][mid] = 0.5 * (limit[i][a] + limit[i][b]);
            });
}

bool exists(const char* name)
{
    std::FILE* fp = std::fopen(name, "r");
    if (fp) std::fclose(fp);
    return fp != nullptr;
}

}  // namespace

void readkoor()
{
    TextScanner grid(GridFileName);
    if (!grid) {
        set_status(mc_message, "cannot open file 'koordina' ");
        log_and_end(-4, "Error, cannot open file 'koordina'\n");
    }
    const bool open_surface = FlagRoof == 1;
    const bool in_i = has_option('D'), in_j = has_option('J');
    // A thinned file holds the odd node lines 1, 3, 5 ...; the lines between
    // are filled as means of their neighbours, so the last line must be odd.
    if (in_i && xnumber % 2 == 0)
        log_and_end(-1, "Error in reading koordina file\nF 7 D: the file holds every second node line in i, so xnumber must be odd, "
                        "but G 1 gives xnumber = %d\n", xnumber);
    if (in_j && ynumber % 2 == 0)
        log_and_end(-1, "Error in reading koordina file\nF 7 J: the file holds every second node line in j, so ynumber must be odd, "
                        "but G 1 gives ynumber = %d\n", ynumber);

    // Bed points and the vertical grid lines between bed and top.
    Extent extent;
    int taken = read_points(grid, !open_surface, [&](int i, int j, double x, double y, double zb, double zt) {
        double top = zt;
        if (open_surface) top = zb > level - MinimumDepthOverBed ? zb + MinimumDepthOverBed : level;
        xval[i][j] = x;
        yval[i][j] = y;
        lay_column(i, j, zb, top, zdistrib);
    }, &extent);
    // A grid file larger than G 1 says is read only as far as G 1 reaches.
    const int grid_i = in_i ? thinned(xnumber) : xnumber, grid_j = in_j ? thinned(ynumber) : ynumber;
    if (extent.i > grid_i || extent.j > grid_j)
        log_append("The grid file holds node lines up to i = %d, j = %d; G 1 takes %d x %d: %d node lines in i and %d in j are dropped\n",
                   extent.i, extent.j, xnumber, ynumber, std::max(extent.i - grid_i, 0), std::max(extent.j - grid_j, 0));

    // Local vertical distributions.
    for (int r = 0; r < DistribNo; ++r) {
        const DistributionRecord& d = Distribution[r];
        for (int i = d.i1; i <= d.i2; ++i)
            for (int j = d.j1; j <= d.j2; ++j) lay_column(i, j, zval[i][j][1], zval[i][j][znumber], d.level);
    }

    // A thinned file must hold every point of its lines as well.
    const int needed = (in_i ? thinned(xnumber) : xnumber) * (in_j ? thinned(ynumber) : ynumber);
    if (taken < needed) {
        log_and_end(-1, "Error in reading koordina file\nHave only read %d coordinates in koordina file\nNecessary coordinates: %d\n",
                    taken, needed);
    }
    if (in_i) refine_grid_in_i();
    if (in_j) refine_grid_in_j();

    // Bed level surface, with the border ring taken from the nearest point inside.
    for (int s = 0; s <= 3; ++s)
        for (int i = 1; i <= xnumber + 1; ++i)
            for (int j = 1; j <= ynumber + 1; ++j) Surfaces[s][i][j] = 0.0;
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j) {
            zval[i][j][0] = zval[i][j][1];
            const int ii = std::clamp(i, 1, xnumber), jj = std::clamp(j, 1, ynumber);
            Surfaces[0][i][j] = zval[ii][jj][1];
        }

    // Lowest level the bed may be eroded to.
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) {
            const double bed = zval[i][j][1];
            switch (FlagLowerBed) {
            case LowerBedRule::Depth: Surfaces[3][i][j] = bed - LowerBedDepth; break;
            case LowerBedRule::Level: Surfaces[3][i][j] = LowerBedLevel; break;
            case LowerBedRule::None: Surfaces[3][i][j] = bed - DeepestBedBelowGrid; break;
            }
        }
    if (exists(LowerBedFileName)) {
        TextScanner lower(LowerBedFileName);
        read_points(lower, false, [](int i, int j, double, double, double zb, double) { Surfaces[3][i][j] = zb; });
        refine_lower_limit(in_i, in_j);
    }
}

void writekoor()
{
    const bool open_surface = FlagRoof == 1;
    if (OutputFile out("koordina.new"); out.is_open()) {
        std::FILE* fp = out.get();
        for (int i = 1; i <= xnumber; ++i)
            for (int j = 1; j <= ynumber; ++j) {
                if (open_surface)
                    std::fprintf(fp, "%d %d %lf %lf %lf\n", i, j, xval[i][j], yval[i][j], zval[i][j][1]);
                else
                    std::fprintf(fp, "%d %d %lf %lf %lf %lf\n", i, j, xval[i][j], yval[i][j], zval[i][j][1], zval[i][j][znumber]);
            }
        out.commit();
        account_file("koordina.new");
    }
    if (FlagTFS != 1) return;
    if (OutputFile out("koosurf"); out.is_open()) {
        for (int i = 1; i <= xnumber; ++i)
            for (int j = 1; j <= ynumber; ++j)
                std::fprintf(out.get(), "%d %d %lf %lf %lf %lf\n", i, j, xval[i][j], yval[i][j], zval[i][j][0], zval[i][j][znumber]);
        out.commit();
        account_file("koosurf");
    }
}

}  // namespace zefra
