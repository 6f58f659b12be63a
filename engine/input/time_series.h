// The time series file `timei` of transient runs.
#pragma once

namespace zefra {

// Reads `timei`; returns 0 on success, non-zero on failure.
int ReadTimes();

}  // namespace zefra
