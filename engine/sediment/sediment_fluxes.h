// Sediment carried across the borders of the domain and through the G 21
// sections: the water mass flux of each face times the upwind concentration.
// Used by the balances of the steady and the transient sediment solvers.
// Reads conc (or conc2D), the face fluxes flow1..3, the link tables of block
// joints and the G 12 and G 21 tables; writes PrintConc[].flux and the log.
#pragma once

#include "engine/common/boogie.h"
#include "engine/flow3d/layers.h"
#include "engine/state/field_array.h"

namespace zefra {

// Volume flux (m3/s) of sediment through a face with the water mass flux
// `mass_flux` (kg/s, positive towards the higher index), taking the
// concentration upwind of the face.
inline double upwind_sediment_flux(double mass_flux, double below, double above)
{
    const double q = 0.001 * mass_flux;  // kg/s of water to m3/s
    return q * (q > 0.0 ? below : above);
}

// Sediment of size l through the borders, m3/s: in through the inflow end
// (I1) and the first side (J1), out through the outflow end (I2), the last
// side (J2) and the top (K2).  Faces on block joints lie inside the domain;
// openings on joint lines count out of the block's last row or in with the
// concentration of the block's G 12 record.
struct BorderFluxes {
    double I1 = 0, I2 = 0, J1 = 0, J2 = 0, K2 = 0;
    double in() const { return I1 + J1; }
    double out() const { return I2 + J2 + K2; }
};
BorderFluxes border_fluxes(int l);

// The same for the concentrations c of size l on `layers`: the water cells,
// or the columns of the depth-averaged sediment (index 0, no top).
BorderFluxes border_fluxes(const Field3& c, int l, Layers layers);

// Sediment through every G 21 section, all sizes summed (a negative
// direction counts the other way), into PrintConc[].flux and the log lines
// "Flux n = ..." in kg/s.
void section_fluxes(Boogie& log);

}  // namespace zefra
