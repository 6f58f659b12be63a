// The time series file `timei` of transient runs and the lines of `timeo`.
// ReadTimes writes the time-series arrays (TimeIn*, QDinn, Tempinn, Cinn, Winn,
// Irradi, AirTemp), their count TimeInNo, the print requests TimePrint /
// TimePrintNo and the switches FlagJTime, FlagDischargeTime, FlagTimeiConc.
// The timeo lines read the flow and sediment fields and stime.
#pragma once

namespace zefra {

// Reads `timei`; returns 0 when it was read (or is missing), else the error
// code of the first faulty record, which is logged.
int ReadTimes();

constexpr const char* TimeSeriesOutputFile = "timeo";

// Empties `timeo`; false when it cannot be written.
bool create_timeo();

// The first print request whose window holds stime (both ends excluded), or
// -1 when none does.
int active_print_request();

// Whose line: the flow solver's falls back on the last print request when none
// is active and writes the temperature; the transient morphology's then
// writes the time alone and never the temperature.
enum class TimeoLine { Flow, Morphology };

// Appends one line to `timeo`: the time, then the value of every point of
// the active print request whose letter writes a value in this kind of line.
bool append_timeo_line(TimeoLine kind = TimeoLine::Flow);

}  // namespace zefra
