// Higher-order convection schemes: second-order upwind, QUICK and central,
// and the Gauss-Seidel sweeps over twelve neighbours.
// Reads the face fluxes, gama / gamaV, the geometry, the wall markers, the
// out-block and block-joint tables; writes ae ... wat and aee ... att, and
// FilledScheme.
#pragma once

namespace zefra {

// The neighbour coefficients of `equation` by the convection scheme `scheme`
// (K 6: 0 power law, 1 second-order upwind, 2 central, 3 QUICK; 1 and 3 fall
// back to the power law without the second-neighbour arrays), on the slabs of
// the worker threads when `on_slabs`, with the same result to the last bit.
void convection_coefficients(int equation, int scheme, bool on_slabs);

// Every routine that fills the neighbour coefficients says which scheme it
// used; a scheme without second neighbours clears them when they were filled.
void coefficients_filled_by(int scheme);

// The schemes for the current Equation; the second-order upwind and QUICK
// routines clear all twelve neighbour arrays first.
void coeffe_SOU();
void coeffe_central();
void coeffe_quick();

// The second-order upwind couplings of the suspended sediment in the I and J
// directions, in mass-flux units from the face fluxes and gama (the caller
// puts the sediment's diffusivity there), the diffusion times `multiplier`:
// cells with OBlok 0 are no water, the bed row k = 2 takes the first-order
// upwind form and nothing couples vertically.  Power-law couplings across
// the block joints; the caller clears the wall faces.
void sediment_coefficients_SOU(double multiplier);

// The same for the cells i1 ... i2 of one I-slab: the second-order routines
// set every coefficient of their cells (and clear the boundary planes of the
// first and last slab), the central one the faces the slab owns.
void coeffe_SOUOpenMP(int i1, int i2);
void coeffe_quickOpenMP(int i1, int i2);
void coeffe_centralOpenMP(int i1, int i2);

// GaussIter symmetric Gauss-Seidel iterations on `f` with the twelve
// neighbours.
void WaterGaussSOU();

}  // namespace zefra
