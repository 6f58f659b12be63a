// Grid export: `koosurf` (one line "i j x y bed top" per node column, the bed
// being grid line 0) and `xcyc` (a header of grid sizes, solver settings and
// the inflow profile, then the x, y and z of every node with k fastest).  The
// formats keep x and y to 1e-4 and z to 1e-5, which is what letter X gets back.
#include "engine/output/report_files.h"

#include <algorithm>
#include <cstdio>

#include "engine/common/output_file.h"
#include "engine/common/run_account.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/input/xcyc_file.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_turbulence.h"

namespace zefra {

namespace {

// The largest total concentration of the inner cells (0 without sediment).
double largest_concentration()
{
    double largest = 0.0;
    if (!conc) return largest;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) largest = std::max(largest, conc[0][i][j][k]);
    return largest;
}

// One block of node values: znumber values per node column, eight to a line
// for the first 24 and the rest on one line.
template <class Value>
void node_block(std::FILE* fp, const char* format, Value value)
{
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j)
            for (int k = 1; k <= znumber; ++k) {
                std::fprintf(fp, format, value(i, j, k));
                if ((k % 8 == 0 && k <= 24) || k == znumber) std::fputc('\n', fp);
            }
}

void write_header(std::FILE* fp)
{
    std::fprintf(fp, " %3d %3d %3d\n", xnumber, ynumber, znumber);
    std::fprintf(fp, " %6ld %6ld\n", iterGlobalMax, IterSurface);
    std::fprintf(fp, " %2d %2d\n", FlagWall, FlagRoof);
    for (int e = 1; e <= 6; ++e) std::fprintf(fp, " %4.2lf ", relax[e]);
    std::fputc('\n', fp);
    for (const int* setting : {sweeps, blockcorr, sou}) {
        for (int e = 1; e <= 6; ++e) std::fprintf(fp, " %2d", setting[e]);
        std::fputc('\n', fp);
    }
    std::fprintf(fp, " 0 0 0 0 0 0\n   0\n   2\n   0\n");
    std::fprintf(fp, " %7.4lf %8.6lf %8.6lf %8.6lf\n", largest_concentration(), XksWall, XksWall, XksWall);
    // The inflow profile: velocities, k and epsilon of the inflow ghost cells.
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k)
            std::fprintf(fp, " %6.4lf   %6.4lf   %lf   %10.8lf\n", xvel[1][j][k], yvel[1][j][k], kinen[1][j][k], epsilon[1][j][k]);
}

}  // namespace

void writespider()
{
    OutputFile surface(SurfaceFileName);
    if (!surface.is_open()) {
        set_status(mc_message, " cannot open file koosurf");
        return;
    }
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j)
            std::fprintf(surface.get(), "%d %d %lf %lf %lf %lf\n", i, j, xval[i][j], yval[i][j], zval[i][j][0], zval[i][j][znumber]);
    surface.commit();
    account_file(SurfaceFileName);

    OutputFile nodes(NodeFileName);
    if (!nodes.is_open()) {
        set_status(mc_message, " cannot open file xcyc");
        end_run(-3);
    }
    set_status(mc_program, " In writexcyc             ");
    std::FILE* fp = nodes.get();
    write_header(fp);
    node_block(fp, " %8.4lf", [](int i, int j, int) { return xval[i][j]; });
    node_block(fp, " %8.4lf", [](int i, int j, int) { return yval[i][j]; });
    node_block(fp, " %8.5lf", [](int i, int j, int k) { return zval[i][j][k]; });
    nodes.commit();
    account_file(NodeFileName);
    set_status(mc_message, " Have written griddata ");
}

}  // namespace zefra
