// Reaction terms of the water-quality components.  A Q data set gives the
// component m that receives the term, its code, partner components a and b
// and the values r and s.  With W = rho V the water mass of the cell:
//
//   code               cells        rate added to component m
//   1, 1001, 2001      all/top/bed  r W                       zero order
//   2, 1012, 2002      all/top/bed  r W c_a                   first order
//   3, 1003, 2003      all/top/bed  r W c_a c_b               product
//   4, 1004, 2004      all/top/bed  max(r c_a c_b, c_b) W
//   1002               top          r W (s - c_m)             exchange towards s
//   5                  all          r rho A (c_m above - c_m) settling at r m/s
//
// Codes below 1000 act in every inner cell, 1000 ... 1999 only in the top
// cell of each column and 2000 ... 2999 only in the bed cell.  A code 5 data
// set names no partner: it settles the component itself.  Other codes add
// nothing.  Called by the component solver for every component in turn.
#include "engine/quality/reaction_terms.h"

#include <algorithm>

#include "engine/common/physics.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"

namespace zefra {

namespace {

enum Layer { AllCells = 0, TopCell = 1, BedCell = 2 };

// Water mass of cell (i, j, k), kg.
double cell_mass(int i, int j, int k)
{
    return 2.0 * m_armap[i][j] * m_dist_z[i][j][k] * WaterDensity;
}

// A rate proportional to the component's own concentration, rate = coefficient * c_m:
// a loss when the coefficient is negative, otherwise a gain at the present c_m.
Reaction proportional(double coefficient, double own)
{
    if (coefficient < 0.0) return {0.0, -coefficient};
    return {coefficient * own, 0.0};
}

}  // namespace

bool term_acts_in_layer(int code, int k)
{
    switch (code / 1000) {
    case AllCells: return true;
    case TopCell: return k == znumber;
    case BedCell: return k == 2;
    default: return false;
    }
}

Reaction term_in_cell(const QTerm& t, int m, int i, int j, int k)
{
    const double r = t.value1, w = cell_mass(i, j, k);
    const Field3 own = comp[m];
    auto c = [&](int n) { return comp[n][i][j][k]; };
    switch (t.code) {
    case 1: case 1001: case 2001:
        return {r * w, 0.0};
    case 2: case 1012: case 2002:
        if (t.a == m) return proportional(r * w, c(m));
        return {r * w * c(t.a), 0.0};
    case 3: case 1003: case 2003:
        // A product with the component itself is linear in it, with the
        // partner's present value (itself for a square) in the coefficient.
        if (t.a == m) return proportional(r * w * c(t.b), c(m));
        if (t.b == m) return proportional(r * w * c(t.a), c(m));
        return {r * w * c(t.a) * c(t.b), 0.0};
    case 4: case 1004: case 2004:
        return {std::max(r * c(t.a) * c(t.b), c(t.b)) * w, 0.0};
    case 1002:
        if (r > 0.0) return {r * w * t.value2, r * w};
        return {r * w * (t.value2 - c(m)), 0.0};
    case 5: {
        // Settling with the speed r: what falls in from the cell above, less
        // what falls out through the cell's own bottom.
        const double flux = r * WaterDensity * m_armap[i][j];
        if (r > 0.0) return {flux * own[i][j][k + 1], flux};
        return {flux * (own[i][j][k + 1] - own[i][j][k]), 0.0};
    }
    default:
        return {};
    }
}

void add_reaction_terms(int m)
{
    for (int n = 0; n < NoTerms; ++n) {
        const QTerm& t = QTerms[n];
        if (t.component != m) continue;
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = 2; k <= znumber; ++k) {
                    if (!term_acts_in_layer(t.code, k)) continue;
                    const Reaction r = term_in_cell(t, m, i, j, k);
                    source[i][j][k] += r.gain;
                    wap[i][j][k] += r.loss;
                }
    }
}

}  // namespace zefra
