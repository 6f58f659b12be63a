// G data sets of `control`: grid sizes, vertical distribution, blocked-out
// regions, sources, inflow and outflow openings, output points and planes.
// One table entry per data-set number; numbers above 50 and numbers not in the
// table are passed over.  Repeatable data sets append a record to their table
// after checking that it has room.
#include <algorithm>
#include <array>
#include <cmath>

#include "engine/common/boogie.h"
#include "engine/input/data_sets.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"

namespace zefra {

namespace {

constexpr int HighestG = 50;
constexpr int SedSourceSizes = 10;   // concentrations kept per G 12 record
constexpr int G16Levels = 39;        // levels a G 16 record holds (entries 1 ... 39)
constexpr int G24Blanks = 10;        // blanks (or line ends) skipped before a G 24 character

using S = TextScanner;

// A patch of cells (i1..i2, j1..j2) inside the grid lines 1..x, 1..y.
bool ordered_box(int i1, int i2, int j1, int j2)
{
    return i1 >= 1 && i1 <= i2 && i2 <= xnumber && j1 >= 1 && j1 <= j2 && j2 <= ynumber;
}

// Per-cent levels k = 1 ... count: each 0 ... 100, none below the one before,
// the last within 1e-5 of 100.  Returns 0 when fine, 1 for a bad level, 2 for
// a bad last level.
int check_levels(const double* level, int count)
{
    double before = 0.0;
    for (int k = 1; k <= count; ++k) {
        if (level[k] < 0.0 || level[k] > 100.0 || level[k] < before) return 1;
        before = level[k];
    }
    return std::fabs(level[count] - 100.0) > 1e-5 ? 2 : 0;
}

// G 1: grid sizes.
void read_g1(S& s)
{
    int count = s.scan("%d%d%d%d", &xnumber, &ynumber, &znumber, &lnumber);
    if (count != 4 || xnumber < 4 || ynumber < 4 || znumber < 4 || lnumber < 1 || lnumber > 10)
        input_error("Input error for G 1 in control");
}

// G 2: the blocked box.
void read_g2(S& s)
{
    s.scan("%d%d%d%d", &iblok1, &iblok2, &jblok1, &jblok2);
    if (iblok1 < 2 || iblok1 > iblok2 || iblok2 > xnumber || jblok1 < 2 || jblok1 > jblok2 || jblok2 > ynumber)
        input_error("Input error for G 2 in control");
}

// G 3: vertical distribution, one per-cent level per grid line k = 1 ... z.
void read_g3(S& s)
{
    ZDistribRead = 1;
    for (int k = 1; k <= znumber; ++k) {
        if (k >= ZDistribSize) input_error("Input error for G 3 in control");
        s.scan("%lf", &zdistrib[k]);
    }
    int bad = znumber >= 1 ? check_levels(zdistrib, znumber) : 1;
    if (bad == 1) input_error("Input error for G 3 in control");
    if (bad == 2) input_error("Input error for G 3 in control - last number must be 100.0");
}

void read_point_source_values(S& s)
{
    for (int l = 1; l <= std::min(lnumber, SizeCapacity - 1); ++l) s.scan("%lf", &pointsource[l]);
}

bool index_in_grid(int i, int j, int k)
{
    return i >= 0 && i <= xnumber + 4 && j >= 0 && j <= ynumber + 4 && k >= 0 && k <= znumber + 4;
}

// G 4: point source cell and its concentration per size.
void read_g4(S& s)
{
    s.scan("%d%d%d", &i_pointsource, &j_pointsource, &k_pointsource);
    if (!index_in_grid(i_pointsource, j_pointsource, k_pointsource)) input_error("Input error for G 4 in control");
    read_point_source_values(s);
}

// G 5: point source box and its concentration per size.
void read_g5(S& s)
{
    s.scan("%d%d%d%d%d%d", &i_pointsource, &i2_pointsource, &j_pointsource, &j2_pointsource, &k_pointsource, &k2_pointsource);
    if (!index_in_grid(i_pointsource, j_pointsource, k_pointsource))
        log_and_end(1, "Input error for G 5 in control\nWrong first indexes");
    if (!index_in_grid(i2_pointsource, j2_pointsource, k2_pointsource))
        log_and_end(1, "Input error for G 5 in control\nWrong second indexes");
    if (i_pointsource > i2_pointsource || j_pointsource > j2_pointsource || k_pointsource > k2_pointsource)
        log_and_end(1, "Input error for G 5 in control\nWrong match beween indexes");
    read_point_source_values(s);
}

// G 6: the cell whose level is held fixed, relaxation and convergence of the surface.
void read_g6(S& s)
{
    s.scan("%d %d %d %lf %lf\n", &iSurf, &jSurf, &kSurf, &RelaxSurface, &ConvSurface);
    if (iSurf < 1 || iSurf > xnumber + 1 || jSurf < 1 || jSurf > ynumber + 1 || kSurf < 1 || kSurf > znumber + 1 ||
        !in_range(RelaxSurface, 1e-5, 10) || !in_range(ConvSurface, 1e-10, 10000))
        input_error("Input error for G 6 in control\n");
}

// G 7: an inflow or outflow opening.  Multi-block side codes are not taken here.
void read_g7(S& s)
{
    if (++IONo > 19) log_and_end(1, "Input error for G 7 in control\nData sets must not exceed 19\n");
    IORecord& r = IO[IONo];
    s.scan("%d %d %d %d %d %d %d %d ", &r.type, &r.side, &r.a1, &r.a2, &r.b1, &r.b2, &r.paralell, &r.update);
    s.scan(" %lf %lf %lf %lf", &r.Q, &r.x, &r.y, &r.z);
    // Sides 11 ... 19 name the joint line of a block of a multi-block grid,
    // whose patch is (j, k) like the ends; the inflow/outflow check holds
    // them against the W 3 blocks.
    const bool joint = r.side >= 11 && r.side <= 19;
    const int side = joint ? 1 : std::abs(r.side);
    bool patch_fits = (side == 1 && r.a2 <= ynumber && r.b2 <= znumber) || (side == 2 && r.a2 <= xnumber && r.b2 <= znumber) ||
                      (side == 3 && r.a2 <= xnumber && r.b2 <= ynumber) || side == 0;
    if ((!joint && (r.side < -3 || r.side > 3)) || r.type < 0 || r.type > 1 || !patch_fits) input_error("Input error for G 7 in control");
}

// G 8: a region with given initial velocities.
void read_g8(S& s)
{
    if (++MInitNo > 19) log_and_end(-2, "Increase array for G 8 and recompile\n");
    MInitRecord& r = MInit[MInitNo];
    s.scan("%d%d%d%d%d%d", &r.i1, &r.i2, &r.j1, &r.j2, &r.k1, &r.k2);
    s.scan("%lf%lf%lf\n", &r.u, &r.v, &r.w);
}

// G 9: cross-section of the specific-energy report.
void read_g9(S& s)
{
    s.scan("%d", &SpecEnergy);
    if (SpecEnergy < 1 || SpecEnergy > xnumber) input_error("Error for G 9 in control");
}

bool source_box_fits(const VolSourceRecord& r)
{
    return r.i1 >= 2 && r.j1 >= 2 && r.k1 >= 2 && r.i2 <= xnumber + 1 && r.j2 <= ynumber + 1 && r.k2 <= znumber + 1;
}

VolSourceRecord& read_source_box(S& s)
{
    VolSourceRecord& r = VolSource[VolSourceNo];
    s.scan("%d%d%d%d%d%d", &r.i1, &r.i2, &r.j1, &r.j2, &r.k1, &r.k2);
    return r;
}

// G 10: volume source with one value (the second is fixed at 2.0).
void read_g10(S& s)
{
    if (++VolSourceNo > 19) log_and_end(1, "Input error for G 10 in control\nData sets must not exceed 19\n");
    VolSourceRecord& r = read_source_box(s);
    s.scan("%lf", &r.value1);
    r.value2 = 2.0;
    if (!source_box_fits(r)) input_error("Input error for G 10 in control");
}

// G 11: volume source with two values (same table as G 10).
void read_g11(S& s)
{
    if (++VolSourceNo > 100) log_and_end(1, "Input error for G 11 in control\nNumber of data sets must not exceed 100\n");
    VolSourceRecord& r = read_source_box(s);
    s.scan("%lf", &r.value1);
    s.scan("%lf", &r.value2);
    if (!source_box_fits(r)) input_error("Input error for G 11 in control");
}

// G 12: sediment source, one concentration per size (at most ten sizes).
void read_g12(S& s)
{
    if (++SedSourceNo > 19) log_and_end(1, "Input error for G 12 in control\nData sets must not exceed 19\n");
    SedSourceRecord& r = SedSource[SedSourceNo];
    s.scan("%d", &r.code);
    if (lnumber > SedSourceSizes)
        log_append("Warning, only the first 10 sediment sizes\nare read on G 12 data sets\nTo avvoid this, recompiliation is necessary\n\n");
    int sizes = std::min(lnumber, SedSourceSizes);
    for (int l = 1; l <= sizes; ++l) s.scan("%lf", &r.conc[l]);
    if (r.code < 1 || r.code > 9) input_error("Input error for G 12, first parameter, in control");
    for (int l = 1; l <= sizes; ++l)
        if (!in_range(r.conc[l], 0, 1)) input_error("Input error for G 12, concentration, in control");
}

// G 13: a blocked-out region of cells.
void read_g13(S& s)
{
    if (++OutBlockNo > 49) log_and_end(1, "Input error for G 13 in control\nNumber of data sets must not exceed 49\n");
    OutBlockRecord& r = OutBlock[OutBlockNo];
    s.scan("%d%d%d%d%d%d%d", &r.type, &r.i1, &r.i2, &r.j1, &r.j2, &r.k1, &r.k2);
    if (r.type < 0 || r.type > 3 || r.i1 < 2 || r.i1 > r.i2 || r.i2 > xnumber + 1 || r.j1 < 2 || r.j1 > r.j2 ||
        r.j2 > ynumber + 1 || r.k1 < 2 || r.k1 > r.k2 || r.k2 > znumber + 1)
        input_error("Input error for G 13 in control");
}

// G 14: a cell whose coefficients are dumped to the log for one equation.
void read_g14(S& s)
{
    if (++DebugDumpNo > 29) log_and_end(1, "Input error for G 14 in control\nNumber of data sets must not exceed 29\n");
    DebugDumpRecord& r = DebugDump[DebugDumpNo];
    s.scan("%d%d%d%d", &r.equation, &r.i, &r.j, &r.k);
    if (r.equation < 1 || r.equation > 6 || r.i < 2 || r.i > xnumber + 1 || r.j < 2 || r.j > ynumber + 1 || r.k < 2 ||
        r.k > znumber + 1)
        input_error("Input error for G 14 in control");
}

// G 15: display scale, held within 0.5 ... 5.
void read_g15(S& s)
{
    s.scan("%lf", &MouseScale);
    MouseScale = std::clamp(MouseScale, 0.5, 5.0);
}

// G 16: a local vertical distribution for a box of grid lines.  A record holds
// levels for at most 39 grid lines; more would not fit.
void read_g16(S& s)
{
    DistributionRecord& r = Distribution[DistribNo];
    s.scan("%d %d %d %d\n", &r.i1, &r.i2, &r.j1, &r.j2);
    if (znumber > G16Levels) input_error("Input error for G 16 in control");
    for (int k = 1; k <= znumber; ++k) s.scan("%lf", &r.level[k]);
    if (!ordered_box(r.i1, r.i2, r.j1, r.j2) || check_levels(r.level, znumber) != 0) input_error("Input error for G 16 in control");
    if (++DistribNo > 31) input_error("Input error for G 16 in control: too many G 16 data sets");
}

// G 17, G 18: a fixed-value box at the border; G 18 adds the level band.
void read_border_source(S& s, int number)
{
    if (BorderSourceNo > 98)
        log_and_end(1, "Input error for G %d in control\nNumber of data sets must not exceed 99\n", number);
    BorderSourceRecord& r = BorderSource[BorderSourceNo];
    s.scan("%d%d%d%d%d%d%d", &r.i1, &r.i2, &r.j1, &r.j2, &r.k1, &r.k2, &r.component);
    s.scan("%lf", &r.value);
    r.lower = 0.0;
    r.upper = 1e20;
    r.data_set = number;
    if (number == 18) {
        if (s.scan("%lf", &r.lower) != 1) {
            r.lower = 0.0;
        } else if (s.scan("%lf", &r.upper) != 1 || r.upper <= r.lower) {
            r.upper = 1e20;
        }
    }
    if (r.i2 > xnumber + 1 || r.j2 > ynumber + 1 || r.k2 > znumber + 1 || r.i1 < 1 || r.j1 < 1 || r.k1 < 1)
        log_and_end(1, "Input error for G %d in control", number);
    ++BorderSourceNo;
}

// Upper in-plane indices of a plane normal to `direction` (1 i, 2 j, 3 k).
bool plane_fits(int direction, int position, int upper1, int upper2)
{
    switch (direction) {
    case 1: return position <= xnumber + 1 && upper1 <= ynumber && upper2 <= znumber;
    case 2: return position <= ynumber + 1 && upper1 <= xnumber && upper2 <= znumber;
    case 3: return position <= znumber + 1 && upper1 <= xnumber && upper2 <= ynumber;
    default: return false;
    }
}

// G 19: a plot plane.
void read_g19(S& s)
{
    if (sOpenGL3DNo > 48) log_and_end(1, "Input error for G 19 in control\nNumber of data sets must not exceed 49\n");
    PlaneRecord& r = sOpenGl3D[sOpenGL3DNo];
    s.scan("%d%d%d%d%d%d%d%d", &r.position, &r.direction, &r.a1, &r.a2, &r.b1, &r.b2, &r.c1, &r.c2);
    if (r.a1 < 1 || r.b1 < 1 || !plane_fits(r.direction, r.position, r.a2, r.b2)) input_error("Input error for G 19 in control");
    ++sOpenGL3DNo;
}

// G 20: an area source of one sediment size.
void read_g20(S& s)
{
    AreaSourceRecord r{};
    s.scan("%d%d%d%d%d%d%d%lf", &r.i1, &r.i2, &r.j1, &r.j2, &r.k1, &r.k2, &r.size, &r.value);
    const char* problem = nullptr;
    if (!index_in_grid(r.i1, r.j1, r.k1))
        problem = "Wrong first indexes";
    else if (!index_in_grid(r.i2, r.j2, r.k2))
        problem = "Wrong second indexes";
    else if (r.i1 > r.i2 || r.j1 > r.j2 || r.k1 > r.k2)
        problem = "Wrong match beween indexes";
    else if (r.size < 1 || r.size > lnumber || r.value < 0)
        problem = "Error in one of two last numbers";
    else if (AreaSourceNo >= 49)
        problem = "Too many G 20 data sets";
    if (problem) log_and_end(1, "Input error for G 20 in control\n%s", problem);
    AreaSource[AreaSourceNo++] = r;
}

// G 21: a concentration print plane.
void read_g21(S& s)
{
    if (PrintConcNo > 19) log_and_end(1, "Input error for G 21 in control\nData sets must not exceed 19\n");
    PrintConcRecord& r = PrintConc[PrintConcNo];
    s.scan("%d%d%d%d%d%d", &r.direction, &r.position, &r.a1, &r.a2, &r.b1, &r.b2);
    if (r.position < 1 || r.a1 < 1 || r.b1 < 1 || !plane_fits(std::abs(r.direction), r.position, r.a2, r.b2))
        input_error("Input error for G 21 in control");
    ++PrintConcNo;
}

// G 23: a lower fixed bed level for a box of bed points.
void read_g23(S& s)
{
    if (NoLowFixLev > 9) log_and_end(1, "Input error for G 23 in control\nData sets must not exceed 9\n");
    LowFixLevRecord& r = LowFixLev[NoLowFixLev];
    s.scan("%d%d%d%d%d", &r.i1, &r.i2, &r.j1, &r.j2, &r.k);
    if (!ordered_box(r.i1, r.i2, r.j1, r.j2) || r.k < 1 || r.k > znumber) input_error("Input error for G 23 in control");
    ++NoLowFixLev;
}

// G 24: extra plot variables, each a code letter, a level and a size.
void read_g24(S& s)
{
    int n = 0;
    s.scan("%d", &n);
    if (n > TecStrucCapacity - 1) log_and_end(1, "Too many points in G 24 data set\n");
    TecStrucNo = n;
    for (int p = 0; p < n; ++p) {
        TecStrucRecord& r = TecStruc[p];
        for (int blanks = 0; blanks < G24Blanks && is_space(s.peek()); ++blanks) s.get();
        bool complete = s.read_raw(r.code);
        complete = s.scan("%d %d", &r.level, &r.size) == 2 && complete;
        // The second integer is a grain size, or for code q a component.
        const int largest = r.code == 'q' ? std::max(lnumber, NoComponents - 1) : lnumber;
        if (r.level < 0 || r.level > znumber || r.size < 0 || r.size > largest) log_and_end(1, "Error in G 24 data set \n");
        if (!complete) return;  // nothing more can be read from this data set
    }
}

// G 40: vertical temperature profile, pairs of level and temperature.
void read_g40(S& s)
{
    s.scan("%d", &NoVerttemp);
    if (NoVerttemp < 1 || NoVerttemp > 49) input_error("Input error for G 40 in control");
    for (int p = 0; p < NoVerttemp; ++p) s.scan(" %lf %lf", &Verttemp[p][0], &Verttemp[p][1]);
}

// G 50: switches of the parallel variants; bad entries are logged and reading goes on.
void read_g50(S& s)
{
    for (int n = 0; n < 10; ++n) {
        bool read = s.scan("%d", &FlagOpenMP[n]) == 1;
        if (!read || (FlagOpenMP[n] != 0 && FlagOpenMP[n] != 1))
            log_append("Error for G 50 data set in control file\nInteger no. %d = %d\n", n, FlagOpenMP[n]);
    }
}

struct GEntry {
    int number;
    void (*read)(S&);
};

const GEntry g_data_sets[] = {
    {1, read_g1},   {2, read_g2},   {3, read_g3},   {4, read_g4},   {5, read_g5},
    {6, read_g6},   {7, read_g7},   {8, read_g8},   {9, read_g9},   {10, read_g10},
    {11, read_g11}, {12, read_g12}, {13, read_g13}, {14, read_g14}, {15, read_g15},
    {16, read_g16}, {17, [](S& s) { read_border_source(s, 17); }},  {18, [](S& s) { read_border_source(s, 18); }},
    {19, read_g19}, {20, read_g20}, {21, read_g21}, {23, read_g23}, {24, read_g24},
    {40, read_g40}, {50, read_g50},
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
