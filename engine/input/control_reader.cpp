// The control-file reader `kread`: called once by Initial.  It starts the log,
// sets every default, reads `control` in a first pass, checks what it read,
// allocates the field arrays, reads `control` again for the data sets that
// need them, and reads the grid file.
#include "engine/input/control_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/common/boogie.h"
#include "engine/common/run_account.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/input/data_sets.h"
#include "engine/input/grid_file.h"
#include "engine/input/inflow_outflow.h"
#include "engine/state/fields.h"
#include "engine/state/state.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"

namespace zefra {

namespace {

constexpr long FirstPassCharacters = 30000;
constexpr long SecondPassCharacters = 10000;

// Takes characters one by one and hands every letter that starts a data set to
// its reader.  Characters taken inside data sets do not count to the limit.
// Returns the number of characters of the file taken when the limit stopped
// the reading before the end of the file, or -1.
long long scan_control(TextScanner& control, long limit, DataSetReader (*reader_of)(int))
{
    for (long taken = 0; taken < limit; ++taken) {
        int c = control.get();
        if (c == EOF) return -1;
        if (DataSetReader read = reader_of(c)) read(control);
    }
    return control.peek() == EOF ? -1 : control.taken();
}

// The line of `control` that holds character number `offset` (from 0).
long line_at(long long offset)
{
    TextScanner control(ControlFileName);
    long line = 1;
    for (long long n = 0; n < offset; ++n) {
        const int c = control.get();
        if (c == EOF) break;
        if (c == '\n') ++line;
    }
    return line;
}

// Whether the rest of `control` holds a letter B or a W 5, the data sets of
// the second pass.
bool later_array_data_set(TextScanner& control)
{
    for (int c = control.get(); c != EOF; c = control.get()) {
        if (c == 'B') return true;
        if (c != 'W') continue;
        control.skip_space();
        if (control.peek() == '5' && !is_digit(control.peek(1))) return true;
    }
    return false;
}

// Everything after the character limit of a pass is ignored: the log and the
// end-of-run line say where the reading stopped.
void report_stop(long long stopped, long limit, const char* what)
{
    if (stopped < 0) return;
    const long line = line_at(stopped);
    log_append("Reading of 'control' stopped at line %ld after %ld characters outside data sets: %s after it are not read\n", line, limit,
               what);
    account_warning("'control' read only to line %ld (%ld characters outside data sets); %s after it were not read", line, limit, what);
}

// The grid sizes come from G 1; without a valid G 1 in the part of the file
// that is read nothing else can be set up.
void check_grid_sizes()
{
    if (xnumber < 4 || ynumber < 4 || znumber < 4 || lnumber < 1 || lnumber > 10)
        input_error("Input error for G 1 in control");
}

// Without a G 3 data set every grid line would lie on the bed; the grid lines
// are then spread evenly over the depth, as in the minimal control file.
void even_distribution_unless_given()
{
    if (ZDistribRead || znumber >= ZDistribSize) return;
    for (int k = 1; k <= znumber; ++k) zdistrib[k] = (k - 1) * 100.0 / (znumber - 1);
    log_append("No G 3 data set: the grid lines are spread evenly over the depth\n");
}

// A G 13 box may reach the ghost layer (index x+1, y+1 or z+1): no cell
// there is computed, so the box is cut back to the inner cells, where every
// routine that walks a box and its neighbours stays inside the arrays.
void clip_out_blocks(Boogie& log)
{
    for (int n = 1; n <= OutBlockNo; ++n) {
        OutBlockRecord& b = OutBlock[n];
        const OutBlockRecord given = b;
        b.i2 = std::min(b.i2, xnumber);
        b.j2 = std::min(b.j2, ynumber);
        b.k2 = std::min(b.k2, znumber);
        if (b.i2 == given.i2 && b.j2 == given.j2 && b.k2 == given.k2) continue;
        if (b.i1 > b.i2 || b.j1 > b.j2 || b.k1 > b.k2) {
            log.print("G 13 data set no. %d lies in the boundary layer of the grid: no cell is taken out of the flow\n", n);
            continue;
        }
        log.print("G 13 data set no. %d reaches the boundary layer of the grid: cells %d-%d %d-%d %d-%d taken out of the flow\n", n, b.i1, b.i2,
                  b.j1, b.j2, b.k1, b.k2);
    }
}

// Counts that would make a run take hours are allowed, but said: a cell
// update of the point solver costs some 5 ns, an outer iteration of the flow
// some 2 microseconds per cell, and a pass over the run letters with a flow
// computation a hundred iterations at the least.
void warn_of_long_runs(Boogie& log)
{
    const double cells = static_cast<double>(xnumber - 1) * (ynumber - 1) * (znumber - 1);
    const double limit = static_cast<double>(std::min(iterGlobalMax, 1000L));
    const double sweep_seconds = 6.0 * 2.0 * GaussIter * cells * 5e-9;
    if (lcray == 'Y' && GaussIter > 100 && sweep_seconds * limit > 3600.0) {
        log.print("Warning: F 59 asks for %d Gauss-Seidel sweeps per solver call: some %.1f s for each outer iteration on this grid; "
                  "the run may take hours\n",
                  GaussIter, sweep_seconds);
        account_warning("F 59 %d sweeps per solver call may make the run take hours", GaussIter);
    }
    bool computes = false;
    for (int n = 0; n < RunLettersExecuted; ++n) computes = computes || (run[n] != 0 && std::strchr("WDSQ", run[n]) != nullptr);
    const double pass_seconds = 100.0 * cells * 2e-6;
    if (computes && IterF2 > 1 && IterF2 * pass_seconds > 4.0 * 3600.0) {
        log.print("Warning: F 20 asks for %d passes over the run letters: at least %.0f hours on this grid\n", IterF2, IterF2 * pass_seconds / 3600.0);
        account_warning("F 20 %d passes may make the run take hours", IterF2);
    }
}

// Checks and completions after the arrays exist.
void complete_settings()
{
    Boogie log;
    log.require(-3);

    if (NoLowFixLev > 0) {
        for (int i = 1; i <= xnumber; ++i)
            for (int j = 1; j <= ynumber; ++j) LowerFixedLevel[i][j] = znumber;
        for (int r = 0; r < NoLowFixLev; ++r) {
            const LowFixLevRecord& b = LowFixLev[r];
            for (int i = b.i1; i <= b.i2; ++i)
                for (int j = b.j1; j <= b.j2; ++j) LowerFixedLevel[i][j] = b.k;
        }
    }

    for (int i = 0; i <= xnumber + 1; ++i) ManArray[i] = ManningInit;
    clip_out_blocks(log);
    warn_of_long_runs(log);

    if (IONo < 0) {
        log.print("Input error for G 7 in control\n");
        log.print("Error = %d\n", IONo);
        end_run(-1);
    }
    if (std::fabs(ArtDiff) > 1e-20) log.print("Warning: using artificial viscosity of %e\n", ArtDiff);
    if (FillPart > 1e-10) log.print("Using accellertated deposition routine\n");

    const int sizes = std::min(lnumber, SizeCapacity - 1);
    for (int s = 0; s <= SampleNo; ++s) {
        double sum = 0.0;
        for (int l = 1; l <= sizes; ++l) sum += SedimentSample[s][l];
        if (std::fabs(sum - 1.0) > 1e-4) {
            log.print("Error, N - data sets : Sum of fractions = %e\n", sum);
            end_run(-4);
        }
    }
    if (SizeDataSetsRead) {
        for (int l = 1; l <= sizes; ++l)
            if (gsize[l] <= 1e-20) {
                log.print("Error for S data set no. %d\n", l);
                end_run(-5);
            }
    }

    for (int i = 0; i <= xnumber; ++i) ISkjotMB[i] = 0;
    for (int b = 1; b <= MBNo; ++b) ISkjotMB[MBSkjot[b]] = 1;
}

}  // namespace

void kread()
{
    long long first_stop = -1;
    Boogie log(Boogie::Mode::Fresh);
    log.require(-3);
    {
        TextScanner control(ControlFileName);
        if (!control) {
            set_status(mc_message, "cannot open file 'control' ");
            log.print("Error, cannot open file 'control'\n");
            end_run(-4);
        }
        set_status(mc_message, " Reading data file    ");
        set_status(mc_program, " In kread         ");
        log.print(" Multi-block version of ZEFRA \n");
        log.print(" In kread \n\n");
        log.close();  // data-set readers append their own messages

        set_control_defaults();
        first_stop = scan_control(control, FirstPassCharacters, first_pass_reader);
    }
    report_stop(first_stop, FirstPassCharacters, "the data sets");

    check_component_indices();
    log_append("In kelio1: IONo = %d\n", IONo);
    log_append("TurbulenceModel = %d\n", TurbulenceModel);
    if (Flag2Dim == 1) znode = 0;
    check_grid_sizes();
    even_distribution_unless_given();

    if (IONo > 0) checkIO();

    if (!memory_suffices())
        log_and_end(-3, "The field arrays need %.0f Mbytes, more than the memory of this machine\nCould not allocate enough memory",
                    field_bytes_needed() * 1e-6);
    if (sialloc() != 0) log_and_end(-3, "Could not allocate enough memory");

    complete_settings();

    {
        TextScanner control(ControlFileName);
        if (!control) {
            set_status(mc_message, "cannot open file 'control' ");
            end_run(-3);
        }
        const long long second_stop = scan_control(control, SecondPassCharacters, second_pass_reader);
        // The second pass takes only the B and W 5 data sets: its stop matters
        // when one of them stands after it (within what the first pass read).
        if (second_stop >= 0 && (first_stop < 0 || second_stop < first_stop) && later_array_data_set(control))
            report_stop(second_stop, SecondPassCharacters, "B and W 5 data sets");
    }

    for (int i = 1; i <= xnumber + 1; ++i)
        for (int j = 1; j <= ynumber + 1; ++j) {
            bedshear[i][j] = -2.0;
            MutBlock[i][j] = 1;
        }

    readkoor();
}

}  // namespace zefra
