// Suspended sediment in a frozen flow: each grain size obeys its own
// convection-diffusion equation with settling; the water fluxes carry it,
// the eddy diffusivity spreads it, the fall velocity moves it down through
// every horizontal face.  The bed cell of a column is not solved: it holds
// the bed concentration of the formula times the size's bed fraction, or
// more when the flow brings more (variants by F 30).  One solver pass per
// size and iteration; the outer iteration converges the system, judged by
// the flux balance of every size over the boundaries and the bed.
#include "engine/sediment/suspended_sediment.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/common/arith.h"
#include "engine/common/boogie.h"
#include "engine/common/physics.h"
#include "engine/common/status.h"
#include "engine/sediment/bed_composition.h"
#include "engine/sediment/sediment_coefficients.h"
#include "engine/sediment/sediment_fluxes.h"
#include "engine/sediment/sediment_solvers.h"
#include "engine/sediment/size_equation.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_tables.h"

namespace zefra {

namespace {

constexpr double Negligible = 1e-30; // suspended concentrations below this are 0
constexpr int ReportInterval = 100;

int sizes()
{
    return std::min(lnumber, SizeCapacity - 1);
}

// Whether a conres file is there: then the first iteration keeps the bed
// cells it gave.
bool restart_file_found()
{
    std::FILE* fp = std::fopen("conres", "r");
    if (!fp) return false;
    std::fclose(fp);
    return true;
}

// Sediment entering through openings on the joint lines (G 7 sides 11 ...
// with a G 12 record for that block).
void joint_sources(int l)
{
    source.fill(0.0);
    for (int b = 1; b <= MBNo; ++b) {
        const int line = MBSkjot[b];
        const double c = joint_inflow_concentration(l, line);
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) source[line][j][k] += std::max(-joint_opening_flux(line, j, k), 0.0) * c;
    }
}

// Under the second-order scheme only values of negligible magnitude: its
// small undershoots ahead of a front belong to its conservative solution,
// and clearing them would create sediment (0.1 % of the load in a branched
// channel).
void clear_negligible(int l)
{
    const bool second = second_order_sediment();
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            double* c = conc[l][i][j].data();
            for (int k = 3; k <= znumber; ++k)
                if (second ? std::fabs(c[k]) < Negligible : c[k] < Negligible) c[k] = 0.0;
        }
}

// The suspended cells of the outflow ghost row take the values of the last
// row (zero gradient): what a backflow face would bring in, and what the
// plot files show at the outflow end.
void outflow_ghost_row(int l)
{
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 3; k <= znumber; ++k) conc[l][xnumber + 1][j][k] = conc[l][xnumber][j][k];
}

// The outflow profile becomes the inflow profile (cyclic sediment, F 174).
void copy_outflow_to_inflow(int l)
{
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k) conc[l][1][j][k] = conc[l][xnumber][j][k];
}

}  // namespace

// The bed cell of every water column.  The base value is the larger of the
// equilibrium c_eq (bed concentration times bed fraction) and the value the
// neighbours bring, c_nb: a flow that brings more than the bed holds keeps
// it, otherwise the bed supplies c_eq.  c_bal is the value at which the bed
// cell gives and takes nothing.
void bed_cell_condition(int l)
{
    const Field3 conc_l = conc[l];
    // Largest bed-cell value on the boundary rows (F 30, fifth value).
    double largest = 0.0;
    if (BedFlags[4] > 0) {
        for (int j = 2; j <= ynumber; ++j) largest = std::max({largest, conc_l[1][j][2], conc_l[xnumber + 1][j][2]});
        for (int i = 2; i <= xnumber; ++i) largest = std::max({largest, conc_l[i][1][2], conc_l[i][ynumber + 1][2]});
    }
    // Extrapolation from the two cells above (F 30, third value 2), with the
    // half heights of column (2, 2).
    double w3 = 1.0, w4 = 0.0;
    if (BedFlags[2] == 2 && znumber >= 4) {
        const double h2 = m_dist_z[2][2][2], h3 = m_dist_z[2][2][3], h4 = m_dist_z[2][2][4];
        w3 = (h4 + 2.0 * h3 + h2) / (h3 + h4);
        w4 = -(h3 + h2) / (h3 + h4);
    }
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (OBlok[i][j][2] == 0) continue;
            double* c = conc_l[i][j].data();
            const double c_bed = c[0], c_eq = c_bed * bedgrain[l][i][j], c3 = c[3];
            const double in = horizontal_terms(conc_l, i, j, 2) + at[l][i][j][2] * c3;
            const double own = MBNo > 0 ? ap[l][i][j][2] : horizontal_coefficients(i, j, 2) + at[l][i][j][2];
            double c2 = std::max(c_eq, in / (own + 1e-30));

            if (BedFlags[2] == 1) {
                c2 = std::max(c2, c3);
            } else if (BedFlags[2] == 2) {
                const double c4 = znumber >= 4 ? c[4] : c3;
                const double extrapolated = relax_morph * (w3 * c3 + w4 * c4) + (1.0 - relax_morph) * c2;
                c2 = extrapolated > c3 ? extrapolated : c3;
            }

            const double c_bal = in / (horizontal_outflow_coefficients(i, j, 2) + ab[l][i][j][3] + 1e-30);
            switch (BedFlags[3]) {
            case 1: c2 = std::min(c2, c_bal); break;
            case 2: c2 = c_bal; break;
            case 3:
                c2 = c_bal;
                bedgrain[l][i][j] = c_bal / (c_bed + 1e-30);
                break;
            case 4:
                c2 = std::max(c2, std::min(c_bed, c_bal));
                bedgrain[l][i][j] = std::min(c2 / (c_bed + 1e-30), 1.0);
                break;
            default: break;
            }
            if (BedFlags[4] > 0) c2 = std::min(c2, largest);
            c[2] = c2;
            c[1] = c2;  // the bed face shows the bed cell's value
        }
}

namespace {

// Sediment fluxes of one size in kg/s: through the inflow (I1) and outflow
// (I2) ends, the two sides (J1, J2) and the top (K2), each the water volume
// flux times the upwind concentration; and the net deposition T, what the
// bed cells receive minus what they give.
struct Balance {
    double I1 = 0, I2 = 0, J1 = 0, J2 = 0, K2 = 0, T = 0;
    double residual() const
    {
        const double scale = std::fabs(I1) + std::fabs(I2) + std::fabs(J1) + std::fabs(J2) + std::fabs(K2) + std::fabs(T) + 1e-20;
        return std::fabs(I1 + J1 - I2 - J2 - K2 - T) / scale;
    }
    double boundary() const { return std::fabs(I1) + std::fabs(I2) + std::fabs(J1) + std::fabs(J2) + std::fabs(K2); }
};

Balance flux_balance(int l)
{
    const int x = xnumber, y = ynumber;
    const Field3 c = conc[l];
    const BorderFluxes f = border_fluxes(l);
    Balance b;
    b.I1 = f.I1;
    b.I2 = f.I2;
    b.J1 = f.J1;
    b.J2 = f.J2;
    b.K2 = f.K2;
    for (int i = 2; i <= x; ++i)
        for (int j = 2; j <= y; ++j) {
            if (OBlok[i][j][2] == 0) continue;
            const CellExchange e = cell_exchange(l, i, j, 2);
            b.T += e.in - e.out_coefficients * c[i][j][2];
        }
    const double to_mass = WaterDensity * density;
    for (double* v : {&b.I1, &b.I2, &b.J1, &b.J2, &b.K2, &b.T}) *v *= to_mass;
    return b;
}

// The equation defect of every suspended cell: what flows in minus what its
// neighbours take from it.  Large ones are listed; the sum is compared with
// the boundary fluxes.
void continuity_check(Boogie& log, int l, const Balance& b)
{
    const bool second = second_order_sediment();
    double total = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 3; k <= znumber; ++k) {
                if (OBlok[i][j][k] == 0) continue;
                const CellExchange e = cell_exchange(l, i, j, k);
                const double value = conc[l][i][j][k];
                // Under the second-order scheme what leaves a cell depends on
                // the cells behind it as well: the defect is the residual of
                // its equation.
                const double defect = second ? e.in + second_neighbour_terms(l, conc[l], i, j, k) - ap[l][i][j][k] * value
                                             : e.in - e.out_coefficients * value;
                if (std::fabs(defect) > 0.001) log.print(" Error in continuity, i,j,k,l,conc,defect = %d %d %d %d %g %g\n", i, j, k, l, value, defect);
                total += defect;
            }
    total *= WaterDensity * density;
    if (std::fabs(total) > 0.01 * b.boundary()) log.print("Warning, global continuity defect = %g kg/s\n", total);
}

}  // namespace

void suspsed()
{
    if (!conc || iter_morph < 1) return;
    if (debugging != 'E') set_status(mc_message, "In suspended load calculation");
    const int L = sizes();
    const bool restart = restart_file_found();
    const bool solve_lines = FlagSedimSolver == 1 && !(SedimentScheme == 1 && second_order_sediment());
    double previous = 1000.0;  // mean residual of the iteration before

    for (int n = 0; n < iter_morph; ++n) {
        const bool last = n == iter_morph - 1;
        const bool reporting = (n > 0 && n % ReportInterval == 0) || last || previous / L < conv_morph;
        const bool cyclic = (FlagCyclicS > 0 && n > 0 && is_multiple(n, FlagCyclicS)) || (FlagCyclicS < 0 && last && CyclicSCopies < -FlagCyclicS);

        for (int l = 1; l <= L; ++l) {
            indexl = l;
            joint_sources(l);
            if (solve_lines)
                sole_tdma();
            else
                sole_gauseid();
            clear_negligible(l);
            if (cyclic) copy_outflow_to_inflow(l);
            if (BedFlags[5] > 0)
                for (int i = 2; i <= xnumber; ++i)
                    for (int j = 2; j <= ynumber; ++j)
                        if (OBlok[i][j][2] != 0) bedgrain[l][i][j] = conc[l][i][j][2] / (conc[l][i][j][0] + 1e-30);
            if (!(n == 0 && restart)) bed_cell_condition(l);
            clear_negligible(l);
            outflow_ghost_row(l);
        }
        if (cyclic && FlagCyclicS < 0) ++CyclicSCopies;

        Balance balance[SizeCapacity];
        double R = 0.0;
        for (int l = 1; l <= L; ++l) {
            balance[l] = flux_balance(l);
            R += balance[l].residual();
        }
        const bool converged = reporting && R / L < conv_morph;

        Boogie log;
        if (log_unavailable(log)) return;
        if (reporting) log.print("Trap efficiency after %d iter: all values in kg/s\n", n);
        for (int l = 1; l <= L; ++l) {
            const Balance& b = balance[l];
            if (reporting)
                log.print(" l=%d: Trapped: %g, Fluxes (I1,I2,J1,J2,K2): %g, %g, %g, %g, %g Resid: %lf\n", l, b.T, b.I1, b.I2, b.J1, b.J2, b.K2,
                          b.residual());
            outflow[l] = std::max(b.I2, 0.0) + std::max(-b.I1, 0.0) + std::max(b.J2, 0.0) + std::max(-b.J1, 0.0) + std::max(b.K2, 0.0);
            trapped[l] = (1.0 - outflow[l] / (inflow[l] + 1e-20)) * 100.0;
        }
        if ((last || converged) && MBNo == 0)
            for (int l = 1; l <= L; ++l) continuity_check(log, l, balance[l]);
        if (BedFlags[1] > 0) update_bed_composition(log, BedFlags[1], n == 0 && restart ? 1.0 : 0.5, R);
        if (reporting && PrintConcNo > 0) section_fluxes(log);
        log.close();
        if (converged) break;
        set_statusf(mc_message, "Iter: %d, resid.: %lf", n, R / L);
        previous = R;
    }
}

}  // namespace zefra
