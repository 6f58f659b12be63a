// The steady morphology driver of letter S.  In the frozen flow it solves
// the suspended sediment of every size; the imbalance of each bed cell, what
// flows in minus what flows out, is the volume of sediment that settles on
// (or leaves) the bed per second, and over ConvCoef (the grain share of the
// deposited bed) and the plan area it is the rate at which the bed rises.
// The morphological time step lets the fastest column change by MaxBedChange
// times half its depth; F 23 may stretch it to fill a share of the water
// volume, and the deposit that would fill a column is smeared to its
// neighbours.  The changes are left in bedlevchange[0] for letter B.
#include "engine/sediment/morphology.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/common/boogie.h"
#include "engine/common/run_account.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/grid/columns.h"
#include "engine/sediment/restart_files.h"
#include "engine/sediment/size_equation.h"
#include "engine/sediment/suspended_sediment.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_tables.h"

namespace zefra {

namespace {

constexpr int MaxSizes = 19;            // the per-size tables hold sizes 1 ... 19
constexpr double NoTimeStep = 1e20;     // s: the step when no column changes
constexpr double ReportedMove = 1e-5;   // m: smaller moves are not listed in the log

int sizes()
{
    return std::min(lnumber, SizeCapacity - 1);
}

bool water_column(int i, int j)
{
    return OBlok[i][j][2] != 0;
}

double water_volume()
{
    double volume = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) volume += 2.0 * m_dist_z[i][j][0] * m_armap[i][j];
    return volume;
}

double moved_volume(bool water_only)
{
    double volume = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            if (!water_only || water_column(i, j)) volume += BedMove[i][j] * m_armap[i][j];
    return volume;
}

// Rate of bed rise (m/s) of every water column and size: the imbalance of the
// bed cell's equation, what its neighbours bring minus what they take, over
// ConvCoef times the plan area.  Returns for every column whether it is in
// balance: its imbalance is no larger than ConvergenceCriteria times the
// sediment its bed cell receives, the accuracy of the flow it stands on.
std::vector<char> bed_rates()
{
    std::vector<char> balanced(static_cast<std::size_t>(xnumber + 2) * (ynumber + 2), 1);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (!water_column(i, j)) continue;
            double imbalance = 0.0, received = 0.0;
            for (int l = 1; l <= sizes(); ++l) {
                const CellExchange e = cell_exchange(l, i, j, 2);
                const double d = e.in - e.out_coefficients * conc[l][i][j][2];
                imbalance += d;
                received += e.in;
                const double rate = d / (ConvCoef * m_armap[i][j]);
                BedMove[i][j] += rate;
                bedlevchange[l][i][j] += rate;
            }
            balanced[static_cast<std::size_t>(i) * (ynumber + 2) + j] = std::fabs(imbalance) <= ConvergenceCriteria * received;
        }
    return balanced;
}

// The column that sets the time step.
struct Setter {
    int i = 0, j = 0;
    explicit operator bool() const { return i != 0; }
};

// The time step that lets the fastest column change by MaxBedChange times
// half its depth.  Columns in balance have no say: the step would turn the
// uncertainty of their balance into a change of MaxBedChange.  With every
// column in balance the step stays NoTimeStep and nothing moves.
Setter morphological_time_step(const std::vector<char>& balanced)
{
    Setter setter;
    double step = NoTimeStep;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (!water_column(i, j) || balanced[static_cast<std::size_t>(i) * (ynumber + 2) + j]) continue;
            const double candidate = std::fabs(m_dist_z[i][j][0] * MaxBedChange / BedMove[i][j]);
            if (candidate < step) {
                step = candidate;
                setter = {i, j};
            }
        }
    stime = step;
    set_statusf(mc_message, "lTimeStep: %lf sec.", step);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double factor = water_column(i, j) && setter ? step : 0.0;
            BedMove[i][j] *= factor;
            for (int l = 1; l <= sizes(); ++l) bedlevchange[l][i][j] *= factor;
        }
    return setter;
}

// F 23: when the deposit fills less than FillPart of the water volume, the
// changes and the time are stretched until it does.  Only a net deposit is
// stretched: a net erosion would turn into deposition and the time negative.
void accelerate(Boogie& log, double volume)
{
    const double deposited = moved_volume(true);
    if (deposited < 1e-30 || FillPart <= deposited / volume) return;
    const double factor = FillPart * volume / deposited;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            if (water_column(i, j)) {
                BedMove[i][j] *= factor;
                for (int l = 1; l <= sizes(); ++l) bedlevchange[l][i][j] *= factor;
            }
    stime *= factor;
    log.print("BedMove and times have been scaled with factor %e,\n", factor);
    log.print("due to accelleration procedure on F 23 data set\n");
}

// What of a column's deposit would leave less than FillCriteria of water.
double excess(int i, int j)
{
    return BedMove[i][j] - (column_depth(i, j) - FillCriteria);
}

// Moves `amount` (m over column a) to column b, keeping the volume.
void transfer(int ai, int aj, int bi, int bj, double amount)
{
    BedMove[ai][aj] -= amount;
    BedMove[bi][bj] += amount * m_armap[ai][aj] / m_armap[bi][bj];
}

bool inner_water(int i, int j)
{
    return i >= 2 && i <= xnumber && j >= 2 && j <= ynumber && water_column(i, j);
}

// Water through the whole column face on node line i (or j), kg/s,
// positive towards the higher index.
double flow_out_i(int i, int j)
{
    double q = 0.0;
    for (int k = 2; k <= znumber; ++k) q += flow1[i][j][k];
    return q;
}

double flow_out_j(int i, int j)
{
    double q = 0.0;
    for (int k = 2; k <= znumber; ++k) q += flow2[i][j][k];
    return q;
}

// ADConvNo passes: the excess goes downstream, to the neighbours that the
// column's water flows to, in proportion to the discharge through each side.
void convey_downstream()
{
    for (int pass = 0; pass < ADConvNo; ++pass)
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j) {
                if (!water_column(i, j)) continue;
                const double e = excess(i, j);
                if (e <= 0.0) continue;
                struct Side {
                    int i, j;
                    double q;
                } side[4] = {{i + 1, j, std::max(flow_out_i(i, j), 0.0)},
                             {i - 1, j, std::max(-flow_out_i(i - 1, j), 0.0)},
                             {i, j + 1, std::max(flow_out_j(i, j), 0.0)},
                             {i, j - 1, std::max(-flow_out_j(i, j - 1), 0.0)}};
                double total = 0.0;
                for (Side& s : side) {
                    if (!inner_water(s.i, s.j)) s.q = 0.0;
                    total += s.q;
                }
                if (total <= 0.0) continue;
                for (const Side& s : side)
                    if (s.q > 0.0) transfer(i, j, s.i, s.j, e * s.q / total);
            }
}

// ADSmearNo passes: a column whose deposit exceeds its depth less
// FillCriteria gives 0.125 ADSmearLim of the excess to each water neighbour
// (together never more than the excess).
void smear()
{
    for (int pass = 0; pass < ADSmearNo; ++pass)
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j) {
                if (!water_column(i, j)) continue;
                const double e = excess(i, j);
                if (e <= 0.0) continue;
                const int ni[4] = {i - 1, i + 1, i, i}, nj[4] = {j, j, j - 1, j + 1};
                int count = 0;
                for (int n = 0; n < 4; ++n) count += inner_water(ni[n], nj[n]) ? 1 : 0;
                if (count == 0) continue;
                const double share = e * std::min(0.5 * ADSmearLim * 0.25, 1.0 / count);
                for (int n = 0; n < 4; ++n)
                    if (inner_water(ni[n], nj[n])) transfer(i, j, ni[n], nj[n], share);
            }
}

void report(Boogie& log, Setter setter)
{
    if (debugging == 'E') return;
    set_status(mc_message, "Sediment calculation finished");
    set_statusf(mc_v2, "Max timestep %lf sec.", stime);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double move = BedMove[i][j];
            if (std::fabs(move) <= ReportedMove) continue;
            if (debugging == 'D')
                log.print("BedMove(%d,%d) = %e, depth = %e\n", i, j, move, column_depth(i, j) - move);
            else
                log.print("BedMove(%d,%d) = %e meters\n", i, j, move);
        }
    if (!setter) {
        log.print("Warning: Maximum bedlevel change not reached\n");
    } else {
        log.print("Max bedlevchange = %lf meter\n", BedMove[setter.i][setter.j]);
        log.print("for i= %d j=%d \n", setter.i, setter.j);
    }
    log.print("Time step: %lf seconds\n", stime);
}

}  // namespace

void total_concentration()
{
    for (int i = 1; i <= xnumber + 1; ++i)
        for (int j = 1; j <= ynumber + 1; ++j)
            for (int k = 1; k <= znumber; ++k) {
                double sum = 0.0;
                for (int l = 1; l <= sizes(); ++l) sum += conc[l][i][j][k];
                conc[0][i][j][k] = sum;
            }
}

void check_morphology_settings(Boogie& log)
{
    if (lnumber > MaxSizes) {
        log.print("Error- Increase nsm in kelmorp and recompile\n");
        log.close();
        end_run(1);
    }
    if (SedSourceNo > 0 && lnumber > 1)
        log.print("Warning, bed grain size distribution can not be \nrecalculated for sediments flowing into the side block\n\n");
    if (MBNo > 0 && OutBlockNo > 0) {
        log.print("Error, Outblocking of elements can not be done for Multi-Block domain\n");
        log.close();
        end_run(1);
    }
    // The bed change divides by the grain share of the bed.
    if (ConvCoef <= 0.0) {
        log.print("Error, F 26: the grain share of the bed must be positive for the bed to move, not %g\n", ConvCoef);
        log.close();
        end_run(1);
    }
}

void morphology()
{
    if (!conc) return;
    // The sediment equations need the coefficients and bed concentrations
    // of the set-up; without it there is nothing to solve.
    if (FlagInitSedim == 0) {
        log_append("Error, no sediment set-up (letter I) before letter S: no sediment computed\n");
        account_step("S computed nothing: no sediment set-up (letter I) before it");
        return;
    }
    BedRecIter = 1;
    stime = 0.0;
    Boogie log;
    log.require(-3);
    check_morphology_settings(log);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            BedMove[i][j] = 0.0;
            for (int l = 0; l <= sizes(); ++l) {
                bedlevchange[l][i][j] = 0.0;
                BedGrainOriginal[l][i][j] = bedgrain[l][i][j];
            }
        }
    log.print("\n ***** In morphology **********\n\n");
    const double volume = FillPart >= 1e-10 ? water_volume() : 0.0;
    if (FillPart >= 1e-10) log.print("Volume of geometry: %e qubic meters\n", volume);
    log.print("Bed concentration flags: %d %d %d %d %d %d\n", BedFlags[0], BedFlags[1], BedFlags[2], BedFlags[3], BedFlags[4], BedFlags[5]);
    log.close();
    if (BedFlags[0] == 2)
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int l = 0; l <= sizes(); ++l) bedgrain[l][i][j] = 0.0;

    suspsed();
    if (!conc) return;
    Boogie after;
    if (log_unavailable(after)) return;
    const Setter setter = morphological_time_step(bed_rates());
    total_concentration();
    if (FillPart >= 1e-10) accelerate(after, volume);
    if (ADFlag == 1) {
        convey_downstream();
        smear();
    }
    double largest = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            bedlevchange[0][i][j] = BedMove[i][j];
            largest = std::max(largest, std::fabs(BedMove[i][j]));
        }
    total_concentration();
    report(after, setter);
    after.print(writeConRes() != 0 ? "Could not write conres.t file \n" : "Have written conres.t file \n");
    after.print("Total change in bed levels: %e qubic meters\n", moved_volume(false));
    after.close();
    if (setter)
        account_step("S moved the bed by at most %.3g m in %.4g s", largest, stime);
    else
        account_step("S found no bed change: every bed cell is in balance");
}

}  // namespace zefra
