// Convection-diffusion coefficients of the discretised equations (power-law
// scheme).  Convention, for cell (i, j, k):
//   wap phi = ae phi(i-1) + aw phi(i+1) + as phi(j-1) + an phi(j+1)
//           + wab phi(k-1) + wat phi(k+1) + source
// Reads the face fluxes, gama / gamaV, the geometry, the wall markers and the
// block-joint tables; writes ae … wat.
#pragma once

#include "engine/flow3d/layers.h"

namespace zefra {

// Power-law weight A(P) = (1 - 0.1 P)^5 of a face with mass flux F and
// conductance D, P = |F| / D; zero where that is not positive (P >= 10).
inline double power_law(double flux, double conductance)
{
    const double p = (flux < 0 ? -flux : flux) / (conductance + 1e-20);
    if (p >= 10.0) return 0.0;
    const double t = 1.0 - 0.1 * p, t2 = t * t;
    return t2 * t2 * t;
}

// Neighbour coefficients ae, aw, as, an, wab, wat of `equation` from the
// face fluxes and the diffusivities gama, gamaV, on the given layers (the
// water cells unless told otherwise; wab and wat are zero on the columns).
void convection_diffusion(int equation, Layers layers = water_layers());

// The same for the current Equation.
void coeffe_flow();

// The faces one I-slab of cells i1 ... i2 owns (the I-faces on the high side
// of its cells, the inflow face with cell 2, the outflow face with cell
// xnumber, the J- and K-faces of its cells), for the current Equation on the
// water cells.  Every element is written by exactly one slab.
void coeffe_flowOpenMP(int i1, int i2);

// convection_diffusion on the water cells with the faces computed on the
// slabs of the worker threads; the same coefficients to the last bit.
void convection_diffusion_on_slabs(int equation);

// Diffusion multiplier of `equation`: 0 for the momentum equations under an
// external stress model, the inverse Prandtl-Schmidt number of the k-omega
// and one-equation models, else 1.
double diffusion_multiplier(int equation);

// The couplings the face loops leave to every scheme: none along a block
// joint line, power-law couplings with the partner cells across the joints
// (multi-block grids only), and none through the wall faces of cells
// i1 ... i2.
void joint_line_couplings(int equation, Layers layers);
void wall_couplings(Layers layers, int i1, int i2);

}  // namespace zefra
