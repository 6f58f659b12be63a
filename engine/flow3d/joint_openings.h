// Openings on the joint line of a block (G 7 sides 11 ... 10 + MBNo): the end
// of the block before a joint is closed by the joint itself, and such an
// opening lets water out of (or into) its last row of cells, as the
// downstream end of a main channel beyond the mouth of a side branch.
//
//   main block ... cell L | joint line L (no ghost layer: the next block's
//                           first row follows in the arrays) -> opening
//
// The opening's mass flux per cell is kept in MBFlow[b][0] (into the cell,
// kg/s) with the inflow of each transported quantity in MBFlow[b][e]; the
// outer iteration adds them as sources, and flow1 on the joint line carries
// the same flux (positive out of the block).
// Reads the IO records, the velocities, k, epsilon and the geometry; writes
// MBFlow and flow1 on the joint lines.
#pragma once

#include "engine/flow3d/layers.h"

namespace zefra {

// Sets the joint openings to their discharges: an outflow follows the
// velocity of the cells beside it (spread evenly when nothing flows yet), an
// inflow enters evenly along the face normal.  On the column layer an opening
// that covers the whole depth is one face per column.
void joint_openings(Layers layers = water_layers());

// Writes the joint-line fluxes into flow1: the opening's flux, 0 elsewhere.
void joint_opening_fluxes();

}  // namespace zefra
