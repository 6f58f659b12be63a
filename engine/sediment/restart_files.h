// Restart files of a sediment or water-quality computation, plain text:
//   conres.new   the concentration of every size (and their total) per cell
//   fracres.new  the active and inactive bed layers per column
//   compres.new  the water-quality components per cell (written instead of
//                both files above when the run has components)
// To restart, the user renames a .new file to conres, fracres or compres.
// Reading takes a file only when the whole of it is valid: a file that names
// a cell outside the grid, ends early or holds something that is not a
// number changes nothing.
// Reads and writes conc, bedgrain, BedGrainOriginal, comp and FlagReadFracres.
#pragma once

namespace zefra {

enum class RestartRead {
    Read,        // every record taken
    Missing,     // the file does not exist
    OutsideGrid, // a record names a cell outside the grid: nothing taken
    Unreadable,  // header, index or value missing or not a number: nothing taken
};

// Result codes of readConRes (the fracres file decides).
constexpr int FracresRead = 0;
constexpr int FracresMissing = 2;
constexpr int FracresOutsideGrid = 88;
constexpr int FracresUnreadable = 89;

struct RestartReport {
    RestartRead conres = RestartRead::Missing;
    RestartRead fracres = RestartRead::Missing;
};

// Writes conres.new and fracres.new, or compres.new alone when NoComponents
// >= 1.  Returns 0, or 1 when a file cannot be created or written (mc_message
// says which).
int writeConRes();

// Reads conres (when present) into conc, then fracres into bedgrain and
// BedGrainOriginal and sets FlagReadFracres.  Returns FracresRead,
// FracresMissing, FracresOutsideGrid or FracresUnreadable; `report` tells
// how each file fared.  Writes no log.
int readConRes(RestartReport& report);
int readConRes();

// The water-quality components in the compres layout: one record per cell
// i = 1 ... x+1, j = 1 ... y+1, k = 2 ... z, "%d %d %d " and NoComponents
// values "%e " of comp[m][i][j][k].  write_component_restart writes
// compres.new (0, or 1 when it cannot be written; mc_message says so);
// read_component_restart reads a file of that layout into comp.
int write_component_restart();
RestartRead read_component_restart(const char* name = "compres");

}  // namespace zefra
