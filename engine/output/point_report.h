// The point report `interres` (F 48 1 ... 4): bed level, velocity and
// turbulence profiles, concentration profiles or water level at the points
// listed in `interpol`.
// Reads the grid, the flow and concentration fields and the point table;
// writes `interres` and the point table (Interpol, InterpolNo).
#pragma once

namespace zefra {

constexpr const char* PointFileName = "interpol";
constexpr const char* PointReportName = "interres";

// Appends one report of the points due now to `interres`, which the first
// report of a run starts empty; status -3 when it cannot be opened.
void write_interres();

}  // namespace zefra
