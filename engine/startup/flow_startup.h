// Flow start-up: inflow profiles, wall markers, roughness, residual scales.
// Reads the settings, the IO records and the geometry; writes the inflow
// ghost values, wall markers (WallI, WallJ, WallK, Wall), Xks, NormResidual,
// the relaxation factors and the first pressure.
#pragma once

namespace zefra {

void startup();

}  // namespace zefra
