// Time series: the input file `timei` of transient runs and the lines of the
// output file `timeo`.
//
// `timei` is read like the control file, character by character: the capital
// letters I, J, M (time entries), D (discharges of the G 7 openings at the
// times of the entries), O and P (print requests) start a record, every other
// character is passed over.  The first faulty record ends the reading with its
// error code; the run then executes no run letter.
#include "engine/input/time_series.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/common/arith.h"
#include "engine/common/boogie.h"
#include "engine/common/run_account.h"
#include "engine/common/status.h"
#include "engine/input/text_scanner.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_tables.h"

namespace zefra {

namespace {

constexpr const char* TimeSeriesInputFile = "timei";

// Error codes of `timei`.
enum TimeiError {
    PrintFields = 1,          // too few numbers on a print request, or too many points
    PrintNegativeTime = 2,
    PrintTimeOrder = 3,
    PrintCell = 4,
    PrintLetter = 5,
    PrintSize = 6,
    PrintTooMany = 7,
    EntryFields = 8,          // too few numbers, a negative time, a D time off its entry
    EntryTimeOrder = 9,
    EntryValues = 10,         // concentrations or discharges missing
    EntryTooMany = 11,
    EntryWindOrStep = 12,     // wind values missing, a time step of 1e-8 s or less
    EntryIrradiation = 13,
    EntryTemperature = 14,    // water temperature outside -1 ... 90, air temperature missing
    PrintComponent = 17,
};

const char* error_line(int code)
{
    switch (code) {
    case PrintFields: return "Too few numbers on O data set, or over 25 variables\n";
    case PrintNegativeTime: return "Negative time on O data set\n";
    case PrintTimeOrder: return "Time on O data set lower than the time on the previous data set\n";
    case PrintCell: return "Invalid cell index\n";
    case PrintLetter: return "Invalid index letter\n";
    case PrintSize: return "Invalid sediment size index\n";
    case PrintTooMany: return "Number of O data sets exceeds 20\n";
    case EntryFields: return "Too few numbers on I data set, negative time\n";
    case EntryTimeOrder: return "Time on I data set lower than the time on the previous data set\n";
    case EntryValues: return "Could not read sufficient inflow concentrations on I data set\n";
    case EntryTooMany: return "More than 200 I data sets\n";
    case PrintComponent: return "Error in reading water quality data O/q data set\n";
    default: return nullptr;
    }
}

// Water-quality terms that need the irradiation, or the air temperature, of
// every time entry.
bool any_term_with(std::initializer_list<int> codes)
{
    for (int n = 0; n < NoTerms && n < QTermCapacity; ++n)
        if (std::find(codes.begin(), codes.end(), QTerms[n].code) != codes.end()) return true;
    return false;
}

struct Expected {
    bool irradiation;
    bool air_temperature;
};

// Reads `count` numbers into row[first ...]; false when one is missing.
bool read_row(TextScanner& in, const Field2& table, int n, int first, int count)
{
    for (int m = first; m < first + count; ++m)
        if (!in.read(table[n][m])) return false;
    return true;
}

// An I, J or M record: one time entry.  I gives the discharges and levels of
// both ends; J also the time step from this entry on; M the time step and the
// values of the water-quality components.
int read_entry(TextScanner& in, char kind, const Expected& expected)
{
    const int n = TimeInNo;
    double time = 0.0, q_in = 0.0, q_out = 0.0, h_in = 0.0, h_out = 0.0, step = 0.0;
    bool complete = false;
    switch (kind) {
    case 'I': complete = in.scan("%lf %lf %lf %lf %lf", &time, &q_in, &q_out, &h_in, &h_out) == 5; break;
    case 'J': complete = in.scan("%lf %lf %lf %lf %lf %lf", &time, &q_in, &q_out, &h_in, &h_out, &step) == 6; break;
    default: complete = in.scan("%lf %lf", &time, &step) == 2; break;
    }
    if (!complete || time < 0.0) return EntryFields;
    if (n > 0 && time < TimeInTime[n - 1]) return EntryTimeOrder;
    // A time step of 1e-8 s or less would turn the run steady from this entry on.
    if (kind != 'I' && step <= TransientTimeStepLimit) return EntryWindOrStep;
    TimeInTime[n] = time;
    TimeInTimStep[n] = step;
    if (kind != 'M') {
        QDinn[n][0] = q_in;
        QDinn[n][1] = q_out;
        TimeInHinn[n] = h_in;
        TimeInHout[n] = h_out;
    }

    const bool wind = Wind[0] > 1e-10;
    if (kind == 'M') {
        if (wind && !read_row(in, Winn, n, 0, 3)) return EntryWindOrStep;
        const int components = std::min(NoComponents, static_cast<int>(Cinn.extent(1)));
        for (int m = 0; m < components; ++m) {
            if (!in.read(Cinn[n][m])) return EntryValues;
            FlagTimeiConc = 1;
        }
        if (expected.irradiation && !in.read(Irradi[n])) return EntryIrradiation;
        if (expected.air_temperature && !in.read(AirTemp[n])) return EntryTemperature;
    } else {
        if (FlagTemp == 1 && (!in.read(Tempinn[n]) || Tempinn[n] < -1.0 || Tempinn[n] > 90.0)) return EntryTemperature;
        // Inflow concentrations of the sizes 1 ... lnumber.
        if (FlagTSC > 0 && !read_row(in, Cinn, n, 1, std::min(lnumber, static_cast<int>(Cinn.extent(1)) - 1))) return EntryValues;
        if (kind == 'I') {
            if (wind && !read_row(in, Winn, n, 0, 3)) return EntryWindOrStep;
            if (expected.irradiation && !in.read(Irradi[n])) return EntryIrradiation;
        }
    }
    ++TimeInNo;
    if (TimeInNo >= ArrayTimeSteps) return EntryTooMany;
    FlagJTime = kind == 'I' ? 0 : 1;
    return 0;
}

// A D record: the discharges of the G 7 records 1 ... 10 at the time of the
// entry of the same position (the m-th D record belongs to the m-th entry).
int read_discharges(TextScanner& in, int& d_records)
{
    const int m = d_records;
    double time = 0.0;
    if (!in.read(time)) return EntryFields;
    if (m >= ArrayTimeSteps) return EntryTooMany;
    if (m >= TimeInNo || std::fabs(time - TimeInTime[m]) > 1e-4) return EntryFields;
    if (!read_row(in, QDinn, m, 1, 10)) return EntryValues;
    ++d_records;
    if (TimeStep > TransientTimeStepLimit) FlagDischargeTime = 1;
    return 0;
}

bool letter_allowed(char c)
{
    switch (c) {
    case 'p': case 'v': case 'u': case 'w': case 'f': case 'k': case 'e': case 'd': case 'z': case 'c': case 'q': case 'Q': case 'L':
        return true;
    case 't': return FlagTemp == 1;  // no temperature field without F 49
    default: return false;
    }
}

// An O record (from a time on) or a P record (within a time window): the
// points whose values go into `timeo`.
int read_print_request(TextScanner& in, char kind)
{
    if (TimePrintNo >= TimePrintCapacity - 1) return PrintTooMany;
    TimePrintRecord& r = TimePrint[TimePrintNo];
    double start = 0.0, end = 1e20;
    int count = 0;
    const bool complete = kind == 'O' ? in.scan("%lf %d", &start, &count) == 2 : in.scan("%lf %lf %d", &start, &end, &count) == 3;
    if (!complete || count < 0 || count > TimePrintPoints) return PrintFields;
    if (start < 0.0) return PrintNegativeTime;
    if (TimePrintNo > 0 && start < TimePrint[TimePrintNo - 1].start) return PrintTimeOrder;
    for (int n = 0; n < count; ++n) {
        TimePrintPoint& p = r.points[n];
        p.index = 0;
        if (in.scan(" %c %d %d %d", &p.letter, &p.i, &p.j, &p.k) != 4) return PrintFields;
        if (p.i < 0 || p.i > xnumber || p.j < 0 || p.j > ynumber || p.k < 0 || p.k > znumber) return PrintCell;
        if (!letter_allowed(p.letter)) return PrintLetter;
        if (p.letter == 'c') {
            if (!in.read(p.index)) return PrintFields;
            if (p.index < 0 || p.index > lnumber) return PrintSize;
        } else if (p.letter == 'q' || p.letter == 'Q' || p.letter == 'L') {
            if (!in.read(p.index)) return PrintFields;
            if (p.index < 0 || p.index >= NoComponents) return PrintComponent;
        }
    }
    r.start = start;
    r.end = end;
    r.count = count;
    ++TimePrintNo;
    return 0;
}

// Logs the error of `timei` and returns its code.
int report_error(int code)
{
    Boogie log;
    log.require(-3);
    set_statusf(mc_message, "Error in 'timei' file %d", code);
    log.print("Error in timei file: \n");
    if (const char* line = error_line(code)) log.print("%s", line);
    log.close();
    account_step("error %d in 'timei': no run letter executed; see boogie", code);
    return code;
}

// Value of one print point in a flow line; false for letters that write nothing there.
bool point_value(const TimePrintPoint& p, TimeoLine kind, double& value)
{
    switch (p.letter) {
    case 'u': value = xvel[p.i][p.j][p.k]; return true;
    case 'v': value = yvel[p.i][p.j][p.k]; return true;
    case 'w': value = zvel[p.i][p.j][p.k]; return true;
    case 'p': value = Pres[p.i][p.j][p.k]; return true;
    case 'k': value = kinen[p.i][p.j][p.k]; return true;
    case 'e': value = epsilon[p.i][p.j][p.k]; return true;
    case 'd': value = diff[p.i][p.j][p.k]; return true;
    case 'z': value = zval[p.i][p.j][p.k]; return true;
    case 'c':
        if (!conc) return false;
        value = conc[p.index][p.i][p.j][p.k];
        return true;
    case 't':
        if (kind != TimeoLine::Flow || !temp) return false;
        value = temp[p.i][p.j][p.k];
        return true;
    default: return false;
    }
}

}  // namespace

int ReadTimes()
{
    TimeInNo = TimePrintNo = 0;
    const Expected expected{any_term_with({42, 132, 151, 152, 161, 162, 272, 281, 282, 6100}), any_term_with({1060})};
    TextScanner in(TimeSeriesInputFile);
    if (!in) {
        set_status(mc_message, "have not used 'timei' file ");
        return 0;
    }
    // The time-series arrays exist in transient runs only.
    if (!TimeInTime || !QDinn || !Cinn || !Winn) return 0;
    int d_records = 0;
    for (int c = in.get(); c != EOF; c = in.get()) {
        int code = 0;
        switch (c) {
        case 'I': case 'J': case 'M': code = read_entry(in, static_cast<char>(c), expected); break;
        case 'D': code = read_discharges(in, d_records); break;
        case 'O': case 'P': code = read_print_request(in, static_cast<char>(c)); break;
        default: break;
        }
        if (code != 0) return report_error(code);
    }
    return 0;
}

bool create_timeo()
{
    std::FILE* fp = std::fopen(TimeSeriesOutputFile, "w");
    if (!fp) return false;
    std::fclose(fp);
    return true;
}

int active_print_request()
{
    for (int n = 0; n < TimePrintNo; ++n)
        if (TimePrint[n].start < stime && TimePrint[n].end > stime) return n;
    return -1;
}

bool append_timeo_line(TimeoLine kind)
{
    std::FILE* fp = std::fopen(TimeSeriesOutputFile, "a");
    if (!fp) return false;
    int active = active_print_request();
    if (active < 0 && kind == TimeoLine::Flow) active = TimePrintNo - 1;
    std::fprintf(fp, "%10.4e ", stime);
    if (active >= 0)
        for (int n = 0; n < TimePrint[active].count; ++n) {
            double value;
            if (point_value(TimePrint[active].points[n], kind, value)) std::fprintf(fp, "%10.6e ", value);
        }
    std::fprintf(fp, "\n");
    std::fclose(fp);
    return true;
}

}  // namespace zefra
