// Drag of porous beds and of plants in the momentum equations, and their k
// and epsilon terms.  Called by the flow solver after the other sources, for
// Equation 1, 2, 3 (momentum), 5 (k) and 6 (epsilon).
// Reads the porous and plant settings, the files `porosity` and `vegdata`, the
// velocities, k, epsilon and the geometry; writes wap and source, the porous
// layer of each column (LevPorosBed, PorosityBed, Xks where the roughness
// exceeds the bed cell) and the plant arrays (Porosity, StemNumber,
// StemDiameter, DragCoeff, EpsilonCoeff).
#pragma once

namespace zefra {

// Porous bed of F 7 option P: the layer of each column from the file
// `porosity` (or, in a transient morphology run without it, three layers of
// the bed cell's half height under the moving bed).
void extra_source();

// Plant drag of F 115 from the file `vegdata`: rigid stems, drag
// 1/2 rho C_D N D |u_h| u per unit volume, with its work as production of k.
void extra_sourceDLL();

}  // namespace zefra
