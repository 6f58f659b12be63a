// Reaction terms of the water-quality components (Q data sets): zero-order
// sources, first-order and product reactions, the surface and bed forms,
// exchange towards a saturation level and settling.
// Reads QTerms, comp and the cell geometry; writes wap and source.
#pragma once

#include "engine/state/state_quality.h"

namespace zefra {

// What a term gives the equation of one cell: `gain` goes into the source,
// `loss` (never negative) into the central coefficient, so that the term adds
// gain - loss * c, c the component's own concentration.  Terms that consume
// the component in proportion to itself are written as a loss: a fast decay
// then damps instead of flipping the sign, and the steady solution is the
// same as with the whole term in the source.
struct Reaction {
    double gain = 0.0;
    double loss = 0.0;
};

// Whether a term of this code acts in the cells of layer k (every inner cell,
// only the top cell k = znumber, or only the bed cell k = 2).
bool term_acts_in_layer(int code, int k);

// The contribution of term t to the equation of component m in cell (i, j, k),
// from the concentrations the cell has now.
Reaction term_in_cell(const QTerm& t, int m, int i, int j, int k);

// Adds every term of component m to wap and source of the inner cells.
void add_reaction_terms(int m);

}  // namespace zefra
