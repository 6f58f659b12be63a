// Plot files for post-processing, written by the result writer as
// FlagInterpolVal selects: a cell table, Tecplot point-format zones (3D and
// plan) and legacy-VTK structured grids (3D and a bed/surface pair of
// layers).  With PrintRes other than 0 every call adds the next file of a
// numbered series instead of overwriting one file.
// Reads the grid, the flow, sediment and bed fields and the G 24 table;
// writes files only.
#pragma once

#include <string>

namespace zefra {

void write_cell_table();
void write_tecplot_3d();
void write_tecplot_2d();
void write_vtk_3d();
void write_vtk_2d();

// Name of the next file of a series: stem + n (five digits) + extension for
// the first n whose file does not exist yet.
std::string next_series_name(const char* stem, const char* extension);

// D50 of bed point (i, j) from the fractions of `fractions` ([l][i][j]) and
// the grain sizes.
double d50(int i, int j, bool original);

}  // namespace zefra
