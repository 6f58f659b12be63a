// Checks of the inflow and outflow definitions (G 7 records).
// Reads the G 7 records and the grid sizes; writes nothing but the log.
#pragma once

namespace zefra {

// Checks every G 7 record; sets IONo to -10 after any failure.
void checkIO();

}  // namespace zefra
