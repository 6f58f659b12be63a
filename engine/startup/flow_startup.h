// Flow start-up: inflow profiles, wall markers, roughness, residual scales.
// Reads the settings, the IO records and the geometry; writes the inflow
// ghost values, wall markers (WallI, WallJ, WallK, Wall), Xks, NormResidual,
// the relaxation factors and the first pressure; in depth-averaged runs the
// column level (index 0) of the flow fields.
#pragma once

namespace zefra {

void startup();

// Level 0 of the flow fields from the water cells above it: xvel, yvel, Pres,
// kinen and epsilon their mean over k = 2 ... znumber, the face fluxes
// flow1, flow2, flow3 their sum (the flux through the whole column).
void depth_average_flow();

}  // namespace zefra
