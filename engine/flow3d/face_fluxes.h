// Mass fluxes through the cell faces (kg/s), positive towards higher index:
// flow1 through the I-faces, flow2 through the J-faces, flow3 upwards.
// Reads the velocities, the pressure, the geometry, invAP and the
// block-joint tables; writes flow1, flow2, flow3.
#pragma once

namespace zefra {

// Recomputes flow1, flow2 and flow3 from the velocities and the pressure,
// with the Rhie-Chow correction on the inner faces.
void waterflow();

}  // namespace zefra
