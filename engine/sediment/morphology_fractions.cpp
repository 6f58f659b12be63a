// Bed grain fractions of the transient morphology.  After the sediment of a
// time step has been solved, the imbalance of each bed cell's transient
// equation is what the bed received (or gave) of each size in the step; as a
// bed thickness it changes the two bed layers of the column:
//
//     water  | bed cell c_2
//   ---------+------------------------- bed level
//    active  | thickness <= maxgrain, fractions f_l
//   inactive | fractions g_l
//   ---------+------------------------- non-erodible surface (Surfaces[3])
//
// Deposits enter the active layer, which hands its surplus over maxgrain
// down with its own composition; erosion empties the active layer, which the
// inactive one refills with its composition.  Called once per step by the
// transient morphology driver.
#include "engine/sediment/morphology_fractions.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "engine/common/boogie.h"
#include "engine/common/run_exit.h"
#include "engine/grid/columns.h"
#include "engine/sediment/size_equation.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"

namespace zefra {

namespace {

constexpr double NoChange = 1e-9;   // a column change this small leaves the bed where it is
constexpr double NoLayer = 1e-15;   // thinner layers and smaller grain amounts count as none
constexpr double Rounding = 1e-9;   // a thickness this close to zero is zero

int sizes()
{
    return std::min(lnumber, SizeCapacity - 1);
}

// Appends to the log; a log that cannot be opened ends the run (-3).
void say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void say(const char* format, ...)
{
    char text[400];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (!log_append("%s", text)) end_run(-3);
}

double clean(double amount)
{
    return std::fabs(amount) < NoLayer ? 0.0 : amount;
}

// Fractions from grain amounts; an empty layer keeps its fractions.
void set_fractions(double* fractions, const double* amounts, double thickness, int L)
{
    if (thickness <= NoLayer) return;
    for (int l = 1; l <= L; ++l) fractions[l] = amounts[l] / thickness;
}

}  // namespace

LayerStep update_layers(BedColumn& c, const double* delta, int L, double max_active)
{
    LayerStep s;
    double* m = s.amount;
    for (int l = 1; l <= L; ++l) {
        m[l] = clean(c.f[l] * c.active + delta[l]);
        s.change += delta[l];
        s.provisional += m[l];
    }
    const double M = s.provisional;

    // A change within NoChange does not count as a bed move, but its grains
    // go into the layers all the same, so that every size keeps its volume.
    s.moved = std::fabs(s.change) > NoChange;

    if (s.change > 0.0) {
        // Deposition: the active layer takes the deposit and passes what is
        // over max_active down with its own composition.
        set_fractions(c.f, m, M, L);
        if (M > max_active) {
            const double surplus = M - max_active;
            const double inactive = c.inactive + surplus;
            for (int l = 1; l <= L; ++l) c.g[l] = clean(c.g[l] * c.inactive + c.f[l] * surplus) / inactive;
            c.inactive = inactive;
            c.active = max_active;
        } else {
            c.active = M;
        }
        return s;
    }

    // Erosion: the inactive layer refills the active layer to its former
    // thickness, as far as it reaches.
    const double refill = std::clamp(c.active - M, 0.0, c.inactive);
    double v[SizeCapacity] = {};
    for (int l = 1; l <= L; ++l) v[l] = clean(m[l] + c.g[l] * refill);
    const double remaining = c.inactive - refill;
    c.inactive = remaining < NoLayer ? 0.0 : remaining;
    double active = M + refill;
    if (active < 0.0) {
        // More eroded than the column held: what is missing lies below the
        // non-erodible surface; a rounding deficit is no erosion.
        if (active < -Rounding) s.below_fixed_bed = active;
        active = 0.0;
        for (int l = 1; l <= L; ++l) v[l] = std::max(v[l], 0.0);
    }
    set_fractions(c.f, v, active, L);
    c.active = active < NoLayer ? 0.0 : active;
    return s;
}

void start_bed_layers(bool depth_averaged)
{
    const int L = sizes();
    maxgrain = 0.0;
    for (int l = 1; l <= L; ++l) maxgrain = std::max(maxgrain, gsize[l]);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            double t = corner_mean(i, j, [](int a, int b) { return zval[a][b][1] - Surfaces[3][a][b]; });
            if (std::fabs(t) < Rounding) t = 0.0;  // a column eroded to the fixed bed, up to rounding
            const double active = std::min(t, maxgrain), inactive = std::max(t - active, 0.0);
            bedgrain[0][i][j] = active;
            BedGrainOriginal[0][i][j] = inactive;
            for (int l = 0; l <= L; ++l) conc[l][i][j][2] = 0.0;
            // An inactive layer never given a composition is of the bed's.
            double given = 0.0;
            for (int l = 1; l <= L; ++l) given += BedGrainOriginal[l][i][j];
            if (given < 0.5)
                for (int l = 1; l <= L; ++l) BedGrainOriginal[l][i][j] = bedgrain[l][i][j];
            if (active < 0.0) {
                log_and_end(-44, depth_averaged ? "Error, startup, negative bed layer at i,j=%d %d\n"
                                                 : "Error, startup, negative active bed layer at i,j=%d %d\n",
                            i, j);
            }
            if (inactive < 0.0) log_and_end(-45, "Error, startup, negative inactive bed layer at i,j=%d %d\n", i, j);
        }
    for (int i = 1; i <= xnumber + 1; ++i)
        for (int j = 1; j <= ynumber + 1; ++j) {
            BedMove[i][j] = 0.0;
            for (int l = 0; l <= L; ++l) bedlevchange[l][i][j] = 0.0;
        }
}

void morphology_fractions()
{
    const int L = sizes();
    const double dt = TimeStep;
    if (Hydrostatic != 2)
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j) BedMove[i][j] = 0.0;

    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            for (int l = 0; l <= L; ++l) bedlevchange[l][i][j] = 0.0;
            if (OBlok[i][j][2] == 0) continue;
            // What each size left in the bed over the step: the imbalance of
            // the bed cell's equation with its storage term.
            const double area = m_armap[i][j], storage = 2.0 * area * m_dist_z[i][j][2] / dt;
            const double before = BedMove[i][j];
            double delta[SizeCapacity] = {};
            for (int l = 1; l <= L; ++l) {
                const CellExchange e = cell_exchange(l, i, j, 2);
                const double settled = e.in + storage * conc_old[l][i][j][2] - (e.out_coefficients + storage) * conc[l][i][j][2];
                delta[l] = dt * settled / (ConvCoef * area);
                BedMove[i][j] += delta[l];
                bedlevchange[l][i][j] = delta[l];
            }

            BedColumn column;
            column.active = bedgrain[0][i][j];
            column.inactive = BedGrainOriginal[0][i][j];
            for (int l = 1; l <= L; ++l) {
                column.f[l] = bedgrain[l][i][j];
                column.g[l] = BedGrainOriginal[l][i][j];
            }
            const LayerStep s = update_layers(column, delta, L, maxgrain);
            // A column that does not move keeps the bed change it had (with
            // Hydrostatic 2 the change summed over the call).
            if (!s.moved) BedMove[i][j] = before;
            bedgrain[0][i][j] = column.active;
            BedGrainOriginal[0][i][j] = column.inactive;
            for (int l = 1; l <= L; ++l) {
                bedgrain[l][i][j] = column.f[l];
                BedGrainOriginal[l][i][j] = column.g[l];
            }

            if (s.below_fixed_bed < 0.0) {
                say("Warning, erosion %lf below fixed bed at i,j=%d %d\n", s.below_fixed_bed, i, j);
                say("Bedmove = %lf, bedmove = %lf, InactiveThickness = %lf\n", BedMove[i][j], s.change, column.inactive);
            }
            double sum = 0.0;
            for (int l = 1; l <= L; ++l) sum += column.f[l];
            if ((sum < 0.99 || sum > 1.01) && std::fabs(BedMove[i][j]) > 1e-8) {
                say("Warning, SumG = %lf at i,j=%d %d\n", sum, i, j);
                say("Bedmove = %lf, bedmove = %lf, InactiveThickness = %lf\n", BedMove[i][j], s.change, column.inactive);
            }
            if (column.active < 0.0) log_and_end(-44, "Error, negative bed layer at i,j=%d %d\n", i, j);
            for (int l = 1; l <= L; ++l) {
                if (column.f[l] >= 0.0 && column.f[l] <= 1.0) continue;
                say("TSC error, fractions: Iter=%d, l=%d, i=%d, j=%d\n", static_cast<int>(Iter), l, i, j);
                say("BSedDistrib[%d,%d,%d] = %lf %lf %lf %lf\n", l, i, j, column.f[l], column.g[l], column.active, column.inactive);
                say("bedmove = %lg, thick2=%lg, SumG=%lg, midA[%d]=%lg\n", s.change, s.provisional, sum, l, s.amount[l]);
            }
        }
}

}  // namespace zefra
