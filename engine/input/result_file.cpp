// The result file `result`: the whole flow field as text, one line per cell
// including the boundary layers, so that a later run can start from it
// (letter R) or compute sediment on it.  Letter M writes it through the
// output dispatcher (output/sprintflow).
#include "engine/input/result_file.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "engine/common/boogie.h"
#include "engine/common/output_file.h"
#include "engine/common/run_account.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/input/text_scanner.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_turbulence.h"
#include "engine/turbulence/model_constants.h"

namespace zefra {

namespace {

constexpr const char* ResultFileName = "result";

double written(double value)
{
    return value < 1e-30 ? 0.0 : value;
}

bool has_components()
{
    return NoComponents > 0 && comp;
}

// The water-quality components follow the flow, one line per cell in the
// same order: "Q i j k n" and the n concentrations.  Readers that do not know
// these lines pass over them (Q starts no record of the flow).
void write_component_lines(std::FILE* fp)
{
    if (!has_components()) return;
    for (int i = 1; i <= xnumber + 1; ++i)
        for (int j = 1; j <= ynumber + 1; ++j)
            for (int k = 0; k <= znumber + 1; ++k) {
                std::fprintf(fp, "Q %2d %2d %2d %d", i, j, k, NoComponents);
                for (int m = 0; m < NoComponents; ++m) std::fprintf(fp, " %14.8e", comp[m][i][j][k]);
                std::fprintf(fp, "\n");
            }
}

}  // namespace

void write_result_file()
{
    OutputFile out(ResultFileName);
    if (!out.is_open()) {
        set_status(mc_message, "cannot open file 'result' ");
        end_run(-3);
    }
    std::FILE* fp = out.get();
    std::fprintf(fp, "Results from ZEFRA - flow, iter = %ld\n", Iter);
    std::fprintf(fp, "Residuals: %lf %lf %lf %lf %lf %lf\n", MaxResidual[1], MaxResidual[2], MaxResidual[3], MaxResidual[4],
                 MaxResidual[5], MaxResidual[6]);
    std::fprintf(fp, "Roughness : %lf\n", XksWall);
    std::fprintf(fp, "C %d %d %d\n", xnumber, ynumber, znumber);
    std::fprintf(fp, " i  j  k    u    v    w    k   e   f1   f2   f3   p\n");
    for (int i = 1; i <= xnumber + 1; ++i)
        for (int j = 1; j <= ynumber + 1; ++j)
            for (int k = 0; k <= znumber + 1; ++k)
                std::fprintf(fp,
                             "G %2d %2d %2d %14.8e %14.8e %14.8e"
                             " %14.8e %14.8e %14.8e %14.8e"
                             " %14.8e %14.8e %14.8e\n",
                             i, j, k, xvel[i][j][k], yvel[i][j][k], zvel[i][j][k], written(kinen[i][j][k]), written(epsilon[i][j][k]),
                             gama[i][j][k], flow1[i][j][k], flow2[i][j][k], flow3[i][j][k], Pres[i][j][k]);
    write_component_lines(fp);
    out.commit();
    account_file(ResultFileName);
    set_status(mc_message, "have written result file  ");
}

namespace {

// One cell record of the result file.
struct CellRecord {
    int i = 0, j = 0, k = 0;
    double u = 0, v = 0, w = 0, k_turb = 0, eps = 0, gamma = 0, f1 = 0, f2 = 0, f3 = 0, p = 0;
};

// Reads the values of a record of kind `letter` after its indices; false
// when a value does not convert.
bool read_values(TextScanner& in, char letter, CellRecord& r)
{
    switch (letter) {
    case 'A': return in.scan("%lf%lf%lf%lf%lf%lf", &r.u, &r.v, &r.w, &r.p, &r.k_turb, &r.eps) == 6;
    case 'B': return in.scan("%lf%lf%lf%lf%lf%lf%lf%lf", &r.u, &r.v, &r.w, &r.k_turb, &r.eps, &r.f1, &r.f2, &r.f3) == 8;
    case 'G':
        return in.scan("%lf%lf%lf%lf%lf%lf%lf%lf%lf%lf", &r.u, &r.v, &r.w, &r.k_turb, &r.eps, &r.gamma, &r.f1, &r.f2, &r.f3, &r.p) == 10;
    default:  // D, E, F
        return in.scan("%lf%lf%lf%lf%lf%lf%lf%lf%lf", &r.u, &r.v, &r.w, &r.k_turb, &r.eps, &r.f1, &r.f2, &r.f3, &r.p) == 9;
    }
}

// A component line: its n values go to the components of this run, as far as
// both have them.  False when the line is incomplete.
bool read_component_line(TextScanner& in, long& count)
{
    int i = 0, j = 0, k = 0, n = 0;
    if (in.scan("%d%d%d%d", &i, &j, &k, &n) != 4 || n < 0) return false;
    const bool stored = has_components() && i >= 1 && i <= xnumber + 1 && j >= 1 && j <= ynumber + 1 && k >= 0 && k <= znumber + 1;
    for (int m = 0; m < n; ++m) {
        double value = 0.0;
        if (in.scan("%lf", &value) != 1) return false;
        if (stored && m < NoComponents) comp[m][i][j][k] = value;
    }
    if (stored) ++count;
    return true;
}

bool indices_in_range(char letter, const CellRecord& r)
{
    const int lowest_k = letter == 'F' || letter == 'G' ? 0 : 1;
    return r.i >= 1 && r.i <= xnumber + 1 && r.j >= 1 && r.j <= ynumber + 1 && r.k >= lowest_k && r.k <= znumber + 1;
}

void store(char letter, const CellRecord& r)
{
    const int i = r.i, j = r.j, k = r.k;
    xvel[i][j][k] = r.u;
    yvel[i][j][k] = r.v;
    zvel[i][j][k] = r.w;
    double k_turb = r.k_turb, eps = r.eps;
    if (letter == 'D') {
        // Old files held no bed-layer values: zero k and epsilon are left out.
        if (k_turb <= 1e-20) k_turb = 0.0;
        if (eps <= 1e-20) eps = 0.0;
    }
    kinen[i][j][k] = k_turb;
    epsilon[i][j][k] = eps;
    if (letter != 'A') {
        flow1[i][j][k] = r.f1;
        flow2[i][j][k] = r.f2;
        flow3[i][j][k] = r.f3;
    }
    if (letter != 'B') Pres[i][j][k] = r.p;
    if (letter == 'G') {
        gama[i][j][k] = r.gamma;
        gamaV[i][j][k] = r.gamma;
        diff[i][j][k] = 0.001 * r.gamma / Schmidt;
    } else {
        diff[i][j][k] = 0.09 * k_turb * k_turb / (eps * Schmidt + 1e-20);
    }
}

}  // namespace

void readres()
{
    Boogie log;
    log.require(-3);
    TextScanner in(ResultFileName);
    if (!in) {
        set_status(mc_message, "cannot open file 'result' ");
        log.print(" cannot open file 'result' ");
        log.close();
        end_run(-3);
    }
    set_status(mc_program, " Readres-reading results ");
    log.print(" In readres \n\n");

    const long expected = static_cast<long>(znumber + 2) * (xnumber + 1) * (ynumber + 1);
    // The reading stops after a budget of characters, in case the file never
    // ends; a cell line of the present form takes about 170 characters, a
    // component line about 20 and 16 per component.
    const long long per_cell = 256LL + (has_components() ? 32LL + 16LL * NoComponents : 0LL);
    const long long budget = per_cell * (expected + 16);
    long count = 0, component_count = 0;
    for (;;) {
        const int c = in.peek();
        if (c == EOF || in.taken() >= budget) break;
        if (count >= expected && c != '\n' && !std::isprint(c)) break;
        in.get();
        if (c < 'A' || c > 'S') continue;
        const char letter = static_cast<char>(c);
        if (letter == 'C') {
            // A C whose fields are not three numbers (a word of a heading) is
            // no size record; three numbers must be the grid's sizes.
            int x = 0, y = 0, z = 0;
            if (in.scan("%d%d%d", &x, &y, &z) != 3) continue;
            if (x != xnumber || y != ynumber || z != znumber) {
                set_status(mc_message, " Error in reading result file");
                log.print(" Error in reading result file");
                log.close();
                end_run(-7);
            }
        } else if (letter == 'S') {
            int i = 0, j = 0;
            double value = 0.0;
            if (in.scan("%d%d", &i, &j) == 2 && in.scan("%lf", &value) == 1 && i >= 2 && i <= xnumber && j >= 1 && j <= ynumber)
                bedshear[i][j] = value;
        } else if (letter == 'Q') {
            read_component_line(in, component_count);
        } else if (letter == 'A' || letter == 'B' || (letter >= 'D' && letter <= 'G')) {
            CellRecord r;
            if (in.scan("%d%d%d", &r.i, &r.j, &r.k) != 3) continue;
            if (!read_values(in, letter, r) || !indices_in_range(letter, r)) continue;
            store(letter, r);
            ++count;
        }
    }

    // A file without a single cell line (empty, or not a result file at all)
    // is no result: the run ends as for a missing file.
    if (count == 0) {
        set_status(mc_message, "cannot open file 'result' ");
        log.print("No cell line in 'result': cannot open file 'result' \n");
        log.close();
        end_run(-3);
    }
    for (int i = 1; i <= xnumber + 1; ++i)
        for (int j = 2; j <= ynumber; ++j) bedshear[i][j] = bed_shear_from_k(kinen[i][j][2]);
    FlagInitialized = 1;
    FlagDepthAveraged = 0;  // a depth-averaged run starts again from the layers read
    gFlagRead = 0;
    set_status(mc_message, " Have finished reading 'result'");
    log.print("Have read %ld cells from result file\n", count);
    if (component_count > 0) log.print("Have read water-quality components of %ld cells from result file\n", component_count);
    if (count != expected) {
        log.print("Warning: may not have read correct number of data sets from result\tfile\n");
        account_warning("'result' held %ld of the %ld cells of the grid", count, expected);
    }
}

}  // namespace zefra
