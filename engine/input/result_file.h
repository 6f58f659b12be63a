// The result file `result`: the whole flow field as text, written by letter M
// (through sprintflow) and read back by letter R.
// Writes or reads the velocities, k, epsilon, gama, face fluxes, pressure,
// bed shear and the water-quality components.
#pragma once

namespace zefra {

// Writes `result` from the flow fields; status -3 when it cannot be opened.
void write_result_file();

// Reads `result` into the flow fields (letter R); status -3 when it cannot be
// opened, -7 when it holds another grid size.
void readres();

}  // namespace zefra
