// The time series file `timei` of transient runs.
// Writes the time-series arrays (TimeIn*, Cinn, Winn, QDinn) and TimeInNo;
// appends to `timeo` from the flow fields.
#pragma once

namespace zefra {

// Reads `timei`; returns 0 on success, non-zero on failure.
int ReadTimes();

constexpr const char* TimeSeriesOutputFile = "timeo";

// Empties `timeo`; false when it cannot be written.
bool create_timeo();

// Appends one line of the flow solver to `timeo`: the time, then the value of
// every point of the print request active now (the last one when none is).
bool append_timeo_line();

}  // namespace zefra
