// Start of a run: make sure `control` and `koordina` exist, then hand over to
// Initial.  Every computation is reached only through the run-command string.
#include "engine/driver/entry.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "engine/common/boogie.h"
#include "engine/common/output_file.h"
#include "engine/common/progress.h"
#include "engine/common/run_account.h"
#include "engine/common/run_exit.h"
#include "engine/input/control_reader.h"
#include "engine/input/grid_file.h"
#include "engine/input/text_scanner.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"

namespace zefra {

namespace {

constexpr long SizeScanCharacters = 59999;
constexpr long GeodataCharacters = 100000000;
constexpr const char* GeodataFileName = "geodata";

const char* const UsageText =
    "zefra - computational fluid dynamics of rivers, channels, reservoirs and intakes\n"
    "\n"
    "Usage: zefra            run the case in the current folder\n"
    "       zefra --help     show this text\n"
    "       zefra --version  show the version\n"
    "\n"
    "zefra takes no other arguments.  It reads the data sets in 'control' and the\n"
    "grid in 'koordina' from the current folder (writing minimal ones when they\n"
    "are missing), executes the run letters of the F 2 data set, and writes its\n"
    "results, plot files and the log 'boogie' to the same folder.  The exit status\n"
    "is 1 after a normal run, 0 after run letter A, and the status of the error\n"
    "otherwise (see 'boogie').  The README.md of the source tree describes the\n"
    "input files, the output files and what is built so far.\n";

bool file_exists(const char* name)
{
    std::FILE* fp = std::fopen(name, "r");
    if (!fp) return false;
    std::fclose(fp);
    return true;
}

// First scan of `control`: the grid sizes of G 1 are needed before the file is
// read in full, because the minimal files depend on them.
bool scan_grid_sizes()
{
    TextScanner control(ControlFileName);
    if (!control) return false;
    for (long taken = 0; taken < SizeScanCharacters; ++taken) {
        int c = control.get();
        if (c == EOF) break;
        int number;
        if (c == 'G' && control.read(number) && number == 1) {
            control.scan("%d %d %d %d", &xnumber, &ynumber, &znumber, &lnumber);
            break;
        }
    }
    return true;
}

// Sizes that G 1 accepts; with others the reader stops the run, and no
// default grid is written for them.
bool grid_sizes_valid()
{
    return xnumber >= 4 && ynumber >= 4 && znumber >= 4 && lnumber >= 1 && lnumber <= 10;
}

struct PlanBox {
    double xmin = 1e20, xmax = -1e20, ymin = 1e20, ymax = -1e20;
};

// Bounding box of the E records of `geodata`; false when there is no file or
// no complete record in it.
bool geodata_box(PlanBox& box)
{
    TextScanner geodata(GeodataFileName);
    if (!geodata) return false;
    bool any = false;
    for (long taken = 0; taken < GeodataCharacters; ++taken) {
        int c = geodata.get();
        if (c == EOF) break;
        if (c != 'E') continue;
        double x, y;
        if (geodata.scan("%lf %lf", &x, &y) != 2) break;
        box.xmin = std::min(box.xmin, x);
        box.xmax = std::max(box.xmax, x);
        box.ymin = std::min(box.ymin, y);
        box.ymax = std::max(box.ymax, y);
        any = true;
    }
    return any;
}

// Default grid: a plane rectangle of xnumber x ynumber bed points, covering the
// box of `geodata` when that file has points, else 10 by 5 at level 0.
void write_default_grid()
{
    OutputFile out(GridFileName);
    if (!out.is_open()) return;
    std::FILE* fp = out.get();
    PlanBox box;
    if (!geodata_box(box)) {
        const double xdial = 10.0, ydial = 5.0;
        box = PlanBox{0.0, xdial, 0.0, ydial};
    }
    const double zdial = 0.0;
    // One grid line spans the whole box on its own (no division by zero).
    const double di = xnumber > 1 ? xnumber - 1 : 1;
    const double dj = ynumber > 1 ? ynumber - 1 : 1;
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j)
            std::fprintf(fp, "%d %d %lf %lf %lf\n", i, j, (i - 1) * (box.xmax - box.xmin) / di + box.xmin,
                         (j - 1) * (box.ymax - box.ymin) / dj + box.ymin, zdial);
    out.commit();
}

}  // namespace

int zefra_main()
{
    reset_account();
    reset_run_flags();
    FlagStart = 0;
    SetArraysZero();
    FlagStart = 1;

    if (!scan_grid_sizes()) {
        discharge = 1.0;
        level = 1.0;
        xnumber = ynumber = znumber = 4;
        lnumber = 1;
        ManningInit = 50.0;
        writeControlMin();
    }
    if (!file_exists(GridFileName) && grid_sizes_valid()) {
        // The default grid has one line per bed point: sizes the machine
        // cannot hold would write gigabytes before the allocation fails.
        if (!memory_suffices()) {
            Boogie log(Boogie::Mode::Fresh);
            log.print("The field arrays need %.0f Mbytes, more than the memory of this machine\n", field_bytes_needed() * 1e-6);
            log.print("Could not allocate enough memory");
            log.close();
            end_run(-3);
        }
        write_default_grid();
    }

    Initial();
    return 1;
}

int run_zefra(int argc, char** argv)
{
    for (int a = 1; a < argc; ++a) {
        if (std::strcmp(argv[a], "--help") == 0 || std::strcmp(argv[a], "-h") == 0) {
            std::fputs(UsageText, stdout);
            return 0;
        }
        if (std::strcmp(argv[a], "--version") == 0) {
            std::printf("zefra %s\n", ZEFRA_VERSION);
            return 0;
        }
    }
    // A file that reaches the file-size limit then fails its write, which
    // ends the run with a message, instead of the signal killing it silently.
    std::signal(SIGXFSZ, SIG_IGN);
    int status = 1;
    bool error = false;
    try {
        status = zefra_main();
    } catch (const RunExit& exit) {
        status = exit.status;
        error = !ended_by_letter_a();
    }
    progress_end();
    report_end_of_run(status, error);
    return status;
}

}  // namespace zefra
