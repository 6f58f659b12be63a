// Control-file data sets of the letters other than F and G, first pass: H
// (water-quality tables), I (inflow concentration), K (solver controls), L
// (contour levels), N (bed samples), P (plot settings), Q (water-quality terms
// and names), S (grain sizes), T (title) and W (flow, profiles, blocks, walls).
// A letter without a number behind it starts no data set.
#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>

#include "engine/common/boogie.h"
#include "engine/input/data_sets.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"

namespace zefra {

namespace {

constexpr int TitleCharacters = 28;
constexpr int BioPointLimit = 16;

using S = TextScanner;

bool is_printable(int c)
{
    return c >= 0x20 && c <= 0x7e;
}

// Reads the number behind a letter with the given format (" %d" or "%d").
bool number(S& s, const char* format, int& n)
{
    return s.scan(format, &n) == 1;
}

// Dispatch of numbered data sets (K, P, W) to the readers of their numbers.
struct NumberEntry {
    int number;
    void (*read)(S&);
};

template <std::size_t N>
void dispatch(S& s, const NumberEntry (&table)[N])
{
    int n;
    if (!read_data_set_number(s, n)) return;
    for (const NumberEntry& e : table)
        if (e.number == n) return e.read(s);
}

// ---- K: iteration limits, walls, per-equation solver settings ----

template <class T>
void read_six(S& s, T* table, double low, double high, const char* message)
{
    for (int e = 1; e <= 6; ++e) {
        s.scan(std::is_same_v<T, double> ? "%lf" : "%d", &table[e]);
        if (table[e] < low || table[e] > high) input_error(message);
    }
}

const NumberEntry k_data_sets[] = {
    {1, [](S& s) {
         if (s.scan("%ld %ld", &iterGlobalMax, &IterSurface) != 2 || iterGlobalMax < 0 || IterSurface < 0)
             input_error("Input error for K 1 in control");
     }},
    {2, [](S& s) {
         if (s.scan("%d %d", &FlagWall, &FlagRoof) != 2 || FlagWall < 0 || FlagWall > 5 || FlagRoof < 0 || FlagRoof > 1)
             input_error("Input error for K 2 in control");
     }},
    {3, [](S& s) { read_six(s, relax, 0, 5, "Input error for K 3 in control"); }},
    {4, [](S& s) { read_six(s, sweeps, -1e300, 20, "Input error for K 4 in control"); }},
    {5, [](S& s) { read_six(s, blockcorr, -1e300, 10, "Input error for K 5 in control"); }},
    {6, [](S& s) { read_six(s, sou, -1e300, 20, "Input error for K 6 in control"); }},
    {8, [](S& s) { s.read(conti); }},
    {9, [](S& s) { s.read(simple); }},
    {10, [](S& s) { s.read(lcray); }},
};

// ---- P: plot scales, nodes and kinds ----

const NumberEntry p_data_sets[] = {
    {2, [](S& s) { s.scan("%lf%lf%lf%lf%lf", &xscale, &yscale, &zscale, &movex, &movey); }},
    {3, [](S& s) {
         s.scan("%d%d%d%d", &xnode, &ynode, &znode, &lnode);
         if (xnode < 1 || xnode > xnumber + 1 || ynode < 1 || ynode > ynumber + 1 || znode < 1 || znode > znumber + 1 ||
             lnode < 0 || lnode > lnumber)
             input_error("Input error for P 3 in control");
     }},
    {4, [](S& s) { s.read(graph); }},
    {7, [](S& s) { s.read(VerHorPar); }},
    {10, [](S& s) { s.scan("%d", &PrintRes); }},
};

// ---- W: flow, initial profile, block joints, walls, fast cells, attraction ----

void read_w2(S& s)
{
    int n;
    if (s.scan(" %d", &n) != 1) return;
    if (n < 0 || n > InitArraySize - 1) input_error("Input error for W 2 in control");
    initnumber = n;
    int before = 0;
    for (int p = 1; p <= n; ++p) {
        s.scan("%d", &initarray[p]);
        if (initarray[p] < 1 || initarray[p] > xnumber || initarray[p] < before) input_error("Input error for W 2 in control");
        before = initarray[p];
    }
}

void read_w3(S& s)
{
    int n;
    if (s.scan(" %d", &n) != 1) return;
    if (n < 1 || n > MultiBlockCapacity - 1) input_error("Input error for W 3 in control");
    MBNo = n;
    for (int b = 1; b <= n; ++b) {
        s.scan("%d %d", &MBSkjot[b], &MBStart[b]);
        if (MBSkjot[b] < 1 || MBSkjot[b] > xnumber || std::abs(MBStart[b]) > xnumber) input_error("Input error for W 3 in control");
    }
}

void read_w4(S& s)
{
    if (++MWallNo > MWallCapacity - 1) log_and_end(1, "Input error for W 4 in control\nMWallNo = %d, too large\n", MWallNo);
    MWallRecord& w = MWall[MWallNo];
    s.scan("%d %d %d %d %d %d %d", &w.dir, &w.posneg, &w.node, &w.a1, &w.a2, &w.b1, &w.b2);
    const int n = MWallNo;
    if (w.dir < 1 || w.dir > 3) log_and_end(1, "Input error for W 4 in control\nMWall(%d).dir = %d\n", n, w.dir);
    if (w.posneg < -1 || w.posneg > 1) log_and_end(1, "Input error for W 4 in control\nMWall(%d).posneg = %d\n", n, w.posneg);
    if (w.a1 < 1 || w.b1 < 1 || w.a1 > w.a2 || w.b1 > w.b2) log_and_end(1, "Input error for W 4 in control\nA-MWall(%d)\n", n);
    const int size[4] = {0, xnumber, ynumber, znumber};
    if (w.node < 1 || w.node > size[w.dir])
        log_and_end(1, "Input error for W 4 in control\nA-MWall(%d).node = %d\n", n, w.node);
    // The two directions in the wall plane, in increasing order.
    const int first = w.dir == 1 ? 2 : 1, second = w.dir == 3 ? 2 : 3;
    if (w.a2 > size[first] || w.b2 > size[second]) log_and_end(1, "Input error for W 4 in control\nB-MWall(%d)\n", n);
}

void read_w6(S& s)
{
    if (++FastNo > FastCapacity - 1) log_and_end(1, "Error, too many W 6 data sets\n");
    s.scan("%d %d", &iFast[FastNo], &jFast[FastNo]);
    if (iFast[FastNo] < 0 || iFast[FastNo] > xnumber || jFast[FastNo] < 0 || jFast[FastNo] > ynumber)
        log_and_end(1, "Error, for data set W 6, %d\n", FastNo);
}

void read_w7(S& s)
{
    if (++AttractNo > AttractCapacity - 1) log_and_end(1, "Error, too many W 7 data sets\n");
    AttractRecord& r = Attract[AttractNo];
    s.scan("%d %d %d", &r.c, &r.a, &r.b);
    if (r.a < 0 || r.a > xnumber || r.b < 0 || r.b > ynumber || r.c < 0 || r.c > 3)
        log_and_end(1, "Error, for data set W 7, %d\n", AttractNo);
    s.scan("%lf %lf", &r.value1, &r.value2);
}

const NumberEntry w_data_sets[] = {
    {1, [](S& s) {
         s.scan(" %lf %lf %lf", &ManningInit, &discharge, &level);
         if (!in_range(ManningInit, 1, 180) || !in_range(discharge, 1e-10, 1e15) || level > 10000)
             input_error("Input error for W 1 in control");
     }},
    {2, read_w2},
    {3, read_w3},
    {4, read_w4},
    {6, read_w6},
    {7, read_w7},
};

// ---- Q: water-quality terms and component names ----

void read_q(S& s)
{
    int code, m;
    if (s.scan("%d %d", &code, &m) != 2) return;
    if (code < 0 || code > 10000 || m < 0 || m > 100) log_and_end(1, "Input error for Q in control\n");
    auto bad = [&] { log_and_end(1, "Input error for Q %d %d in control\n", code, m); };
    auto component = [](int c) { return c >= 0 && c <= NoComponents; };

    if (code == 0) {
        if (m > QualityNameCount - 1 || !s.read_word(QualityName[m], QualityNameSize)) bad();
        return;
    }
    QTerm t{m, code, 0, 0, 0.0, 0.0};
    switch (code) {
    case 1: case 5: case 1001: case 2001:
        if (s.scan("%lf", &t.value1) != 1) bad();
        break;
    case 2: case 1002: case 1012: case 2002:
        if (s.scan("%d %lf", &t.a, &t.value1) != 2 || !component(t.a)) bad();
        // The exchange at the surface goes towards a level (a saturation),
        // which may follow the rate; without it the level is 0.
        if (code == 1002 && s.scan("%lf", &t.value2) != 1) t.value2 = 0.0;
        break;
    case 3: case 1003: case 2003:
        if (s.scan("%d %d %lf", &t.a, &t.b, &t.value1) != 3 || !component(t.a) || !component(t.b)) bad();
        break;
    case 4: case 1004: case 2004:
        if (s.scan("%d %d %lf %lf", &t.a, &t.b, &t.value1, &t.value2) != 4 || !component(t.a) || !component(t.b)) bad();
        break;
    default: return;  // codes without a term are ignored
    }
    if (NoTerms >= QTermCapacity) bad();
    QTerms[NoTerms++] = t;
}

// Which partners a term code reads: 0 none, 1 a, 2 a and b.
int partners(int code)
{
    switch (code) {
    case 2: case 1002: case 1012: case 2002: return 1;
    case 3: case 1003: case 2003: case 4: case 1004: case 2004: return 2;
    default: return 0;
    }
}

// ---- H: water-quality table n with its points ----

void read_h(S& s)
{
    int n, count;
    if (!number(s, "%d ", n)) return;
    if (n < 0 || n > BioRecords - 1) return;  // no such table: the data set is ignored
    BioRecord& r = Bio[n];
    s.scan("%d", &r.count);
    if (r.count > BioPoints) log_and_end(1, "Input error for H %d in control\nData points must not exceed 20\n", n);
    count = r.count;
    for (int p = 0; p < count; ++p) {
        s.scan("%lf %d %d", &r.value[p], &r.first[p], &r.second[p]);
        if (r.first[p] > BioPointLimit || r.second[p] < 0 || r.second[p] > BioPointLimit)
            log_and_end(1, "Input error for H %d in control\n", n);
    }
}

}  // namespace

void check_component_indices()
{
    if (NoComponents < 1) return;  // without components the records are not used
    auto names = [](int c) { return c >= 0 && c < NoComponents; };
    for (int n = 0; n < NoTerms; ++n) {
        const QTerm& t = QTerms[n];
        const int p = partners(t.code);
        if (!names(t.component) || (p >= 1 && !names(t.a)) || (p >= 2 && !names(t.b)))
            log_and_end(1, "Input error for Q %d %d in control\n", t.code, t.component);
    }
    for (int n = 0; n < BorderSourceNo; ++n)
        if (BorderSource[n].component >= NoComponents) log_and_end(1, "Input error for G %d in control", BorderSource[n].data_set);
}

// T: the title, stored from Title[1] while the characters are printable, at
// most 28 of them; the first position not stored gets a blank.  The whole rest
// of the line belongs to the title, so what does not fit is taken and dropped
// rather than read as data sets.
void read_T(TextScanner& s)
{
    std::memset(Title + 1, 0, sizeof Title - 1);
    int n = 1;
    while (n <= TitleCharacters && is_printable(s.peek())) Title[n++] = static_cast<char>(s.get());
    Title[n] = ' ';
    s.skip_line();
}

void skip_T_second_pass(TextScanner& s)
{
    s.skip_line();
}

void read_H(TextScanner& s)
{
    read_h(s);
}

// I l value: inflow concentration of size l.
void read_I(TextScanner& s)
{
    int l;
    if (!number(s, " %d", l)) return;
    if (l < 0 || l > lnumber || l > SizeCapacity - 1) input_error("Input error for I in control");
    s.scan(" %lf ", &inflow[l]);
}

void read_K(TextScanner& s)
{
    dispatch(s, k_data_sets);
}

// L n, then n contour levels.
void read_L(TextScanner& s)
{
    int n;
    if (!number(s, "%d", n)) return;
    if (n < 0 || n > ContourCapacity) input_error("Input error for L in control");
    contourNo = n;
    for (int c = 0; c < n; ++c) s.scan("%lf", &contourLevels[c]);
}

// N s l value: fraction of size l in bed sample s.
void read_N(TextScanner& s)
{
    int sample, l;
    if (s.scan(" %d %d", &sample, &l) != 2) return;
    if (sample < 0 || sample > SampleCapacity - 1 || l < 0 || l > SizeCapacity - 1) input_error("Input error for N in control");
    double value = SedimentSample[sample][l];  // kept when no value can be read
    s.scan(" %lf", &value);
    if (value < 0 || value > 19) input_error("Input error for N in control");
    SedimentSample[sample][l] = value;
    SampleNo = std::max(SampleNo, sample);
}

void read_P(TextScanner& s)
{
    dispatch(s, p_data_sets);
}

void read_Q(TextScanner& s)
{
    read_q(s);
}

// S l size fallvelocity: grain size and fall velocity of size l.
void read_S(TextScanner& s)
{
    int l;
    if (!number(s, " %d", l)) return;
    SizeDataSetsRead = 1;
    if (l < 0 || l > lnumber + 1 || l > SizeCapacity - 1) input_error("Input error for S in control");
    s.scan(" %lf %lf", &gsize[l], &fallvelo[l]);
    if (!in_range(gsize[l], 0, 1e6) || !in_range(fallvelo[l], 0, 1e6)) input_error("Input error for S in control");
}

void read_W(TextScanner& s)
{
    dispatch(s, w_data_sets);
}

}  // namespace zefra
