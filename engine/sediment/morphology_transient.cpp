// The transient morphology driver of letter S (F 37 1): flow, suspended
// sediment, bed composition and bed level advance together, one time step
// TimeStep at a time.  Each step
//   takes the boundary values of its time from `timei`,
//   solves the flow for one step (not with F 68 2: the flow stays frozen),
//   recomputes the bed concentrations of the transport formula,
//   solves the transient equation of every size with its storage term, the
//     bed cell set between what settles and what the bed can give,
//   turns each bed cell's imbalance into the change of the bed layers and
//     moves the bed by it, and
//   keeps running volume balances of every size.
// At the end it writes the restart files, the plot files and the inactive
// layer along the middle of the channel (`bedfrac.new`).
// The depth-averaged driver (F 37 2) takes the same steps with the sediment
// of the columns (column_sediment.h) in place of the cells': its own
// coefficients, solver (sole2_gauseid) and bed exchange, the bed layers from
// the columns' balance (morphology2_fractions); the cells show the columns'
// concentrations spread over the depth.
#include "engine/sediment/morphology.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <omp.h>

#include "engine/common/arith.h"
#include "engine/common/boogie.h"
#include "engine/common/output_file.h"
#include "engine/common/run_account.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/flow2d/column_fields.h"
#include "engine/flow2d/column_kernels.h"
#include "engine/flow2d/water_solve_2d.h"
#include "engine/flow3d/boundary_values.h"
#include "engine/flow3d/face_fluxes.h"
#include "engine/flow3d/layers.h"
#include "engine/flow3d/water_solve.h"
#include "engine/grid/columns.h"
#include "engine/input/time_series.h"
#include "engine/output/report_files.h"
#include "engine/output/sprintflow.h"
#include "engine/sediment/bed_change.h"
#include "engine/sediment/bed_concentration.h"
#include "engine/sediment/column_sediment.h"
#include "engine/sediment/morphology_fractions.h"
#include "engine/sediment/sediment_fluxes.h"
#include "engine/sediment/restart_files.h"
#include "engine/sediment/sediment_coefficients.h"
#include "engine/sediment/sediment_solvers.h"
#include "engine/sediment/size_equation.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_plugins.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_tables.h"
#include "engine/turbulence/turbulence_models.h"

namespace zefra {

namespace {

constexpr double Negligible = 1e-30;      // concentrations below this are 0
constexpr double UnstableBedConc = 0.5;   // bed concentrations are held at this
constexpr double ReportedMove = 1e-5;     // m: smaller bed changes are not listed
constexpr const char* ProfileFile = "bedfrac.new";

int sizes()
{
    return std::min(lnumber, SizeCapacity - 1);
}

bool water_column(int i, int j)
{
    return OBlok[i][j][2] != 0;
}

double cell_volume(int i, int j, int k)
{
    return 2.0 * m_armap[i][j] * m_dist_z[i][j][k];
}

// The sediment a call transports: the concentrations of the cells (F 37 1)
// or of the columns (F 37 2, index 0 of conc2D), their values at the start of
// the step, and the layers they live on.
struct SedimentModel {
    Field4 now, old;
    Layers layers{2, 0};
    bool columns() const { return layers.column(); }
};
SedimentModel model;

template <class Body>
void water_columns(Body body)
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            if (water_column(i, j)) body(i, j);
}

// Grain volume of size l in the active and in the inactive layer, m3.
struct LayerVolumes {
    double active = 0.0, inactive = 0.0;
};

LayerVolumes layer_volumes(int l)
{
    LayerVolumes v;
    water_columns([&](int i, int j) {
        v.active += bedgrain[l][i][j] * bedgrain[0][i][j] * m_armap[i][j] * ConvCoef;
        v.inactive += BedGrainOriginal[l][i][j] * BedGrainOriginal[0][i][j] * m_armap[i][j] * ConvCoef;
    });
    return v;
}

// Sediment volume of size l suspended in the water (bed cells included, or
// the columns), m3.
double suspended_volume(const Field4& c, int l)
{
    double v = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = model.layers.first; k <= model.layers.last; ++k)
                if (OBlok[i][j][k] != 0) v += c[l][i][j][k] * cell_volume(i, j, k);
    return v;
}


// The running balances of one call, m3 of sediment.
struct Balance {
    double in = 0.0, out = 0.0, susp = 0.0, bedch = 0.0, bedmove = 0.0;
    void add(const Balance& b)
    {
        in += b.in, out += b.out, susp += b.susp, bedch += b.bedch, bedmove += b.bedmove;
    }
    double continuity_defect() const { return out - in + susp + bedch; }
    double move_defect() const { return bedch - bedmove; }
};

struct SizeBalance {
    double in = 0.0, out = 0.0, susp = 0.0;
    LayerVolumes start;
};

struct Totals {
    long steps = 0;
    Balance total;
    SizeBalance size[SizeCapacity];
    // The cell volumes the concentrations belong to.
    std::vector<double> solved_volume;
};

std::size_t cell_index(int i, int j, int k)
{
    return (static_cast<std::size_t>(i) * (ynumber + 2) + j) * (znumber + 2) + k;
}

void note_cell_volumes(Totals& totals)
{
    totals.solved_volume.assign(cell_index(xnumber + 1, ynumber + 1, znumber + 1) + 1, 0.0);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = model.layers.first; k <= model.layers.last; ++k) totals.solved_volume[cell_index(i, j, k)] = cell_volume(i, j, k);
}

// The bed and a free surface move the cells (and the columns): what a cell
// held stays what it holds, so its concentrations (and those of the step's
// start, `old`) scale with the inverse of its volume change.  The volumes
// are noted afresh.
void keep_sediment_in_moved_cells(Totals& totals, bool old)
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = model.layers.first; k <= model.layers.last; ++k) {
                const double now = cell_volume(i, j, k);
                if (now <= 0.0) continue;
                const double ratio = totals.solved_volume[cell_index(i, j, k)] / now;
                for (int l = 0; l <= sizes(); ++l) {
                    model.now[l][i][j][k] *= ratio;
                    if (old) model.old[l][i][j][k] *= ratio;
                }
            }
    note_cell_volumes(totals);
}

// The volumes of every size over the present (or last) call.
SizeVolumes volumes[SizeCapacity];

void note_volumes(const Totals& totals)
{
    for (int l = 1; l <= sizes(); ++l) {
        const SizeBalance& s = totals.size[l];
        const LayerVolumes now = layer_volumes(l);
        volumes[l] = SizeVolumes{s.in, s.out, s.susp, now.active - s.start.active, now.inactive - s.start.inactive};
    }
}

// Whether the step is reported in the log.
bool printed(long step)
{
    return debugging == 'D' || step < 10 || (step < 100 && is_multiple(step, 10)) || is_multiple(step, 100);
}

// Row of the time series now: the first whose time is not before stime, the
// last when there is none; and the weight of the row before it.
struct SeriesRow {
    int n = 0;
    double earlier = 0.0;
};

SeriesRow series_row()
{
    SeriesRow r;
    while (r.n < TimeInNo - 1 && TimeInTime[r.n] < stime) ++r.n;
    if (r.n > 0) r.earlier = std::clamp((TimeInTime[r.n] - stime) / (TimeInTime[r.n] - TimeInTime[r.n - 1] + 1e-20), 0.0, 1.0);
    return r;
}

// Boundary values of the time series at stime: the time step of a J row,
// and the inflow concentration of every size (rows I and J carry one per
// size; M rows use the same columns for water-quality components).  The
// discharges follow stime in the boundary values of the flow.
void series_boundary_values()
{
    if (TimeInNo < 1 || !TimeInTime) return;
    const SeriesRow r = series_row();
    if (FlagJTime == 1) TimeStep = TimeInTimStep[r.n];
    if (FlagTimeiConc != 0 || !Cinn) return;
    for (int l = 1; l <= sizes(); ++l) {
        const double value = r.n > 0 ? r.earlier * Cinn[r.n - 1][l] + (1.0 - r.earlier) * Cinn[r.n][l] : Cinn[0][l];
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) conc[l][1][j][k] = value;
    }
}

// FlagBedshearGrad: the bed-cell k of the first and last rows no larger than
// that of the row next to them.
void limit_edge_turbulence()
{
    const int x = xnumber, y = ynumber;
    for (int i = 2; i <= x; ++i) {
        kinen[i][2][2] = std::min(kinen[i][2][2], kinen[i][3][2]);
        kinen[i][y][2] = std::min(kinen[i][y][2], kinen[i][y - 1][2]);
    }
    for (int j = 2; j <= y; ++j) {
        kinen[2][j][2] = std::min(kinen[2][j][2], kinen[3][j][2]);
        kinen[x][j][2] = std::min(kinen[x][j][2], kinen[x - 1][j][2]);
    }
}

// Bed concentrations of the transport formula, held at 0.5.
void bed_concentrations(Boogie& log)
{
    if (FlagBedDLL < 1) {
        if (SedimentFormula == 'R')
            concRijn();
        else
            concEngelund();
    }
    for (int l = 1; l <= sizes(); ++l)
        for (int i = 1; i <= xnumber + 1; ++i)
            for (int j = 2; j <= ynumber; ++j)
                if (conc[l][i][j][0] > UnstableBedConc) {
                    log.print("Warning for unstability in TSC method: conc(%d,%d,%d,2)=%e\n", l, i, j, conc[l][i][j][0]);
                    conc[l][i][j][0] = UnstableBedConc;
                }
    set_statusf(mc_message, "Time, %lf sec.", stime);
}

// Sediment entering through openings on the joint lines, and the storage
// term of the step.
void step_sources(int l)
{
    const int k1 = model.layers.first, k2 = model.layers.last;
    source.fill(0.0);
    for (int b = 1; b <= MBNo; ++b) {
        const int line = MBSkjot[b];
        const double c = joint_inflow_concentration(l, line);
        for (int j = 2; j <= ynumber; ++j)
            for (int k = k1; k <= k2; ++k) source[line][j][k] += std::max(-joint_opening_flux(line, j, k), 0.0) * c;
    }
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = k1; k <= k2; ++k) source[i][j][k] += cell_volume(i, j, k) / TimeStep * model.old[l][i][j][k];
}

// The bed cell of every water column: at least what it holds when the bed
// only takes what settles (c_nb), and up to the equilibrium of the bed
// (fraction times the formula's concentration) as far as the size's stock in
// the active layer reaches within the step (c_sup).
void bed_cells(int l)
{
    const Field3 c = conc[l];
    water_columns([&](int i, int j) {
        const double area = m_armap[i][j], storage = cell_volume(i, j, 2) / TimeStep;
        const double B = horizontal_terms(c, i, j, 2) + at[l][i][j][2] * c[i][j][3] + source[i][j][2];
        const double c_nb = B / ap[l][i][j][2];
        const double S = horizontal_outflow_coefficients(i, j, 2) + ab[l][i][j][3];
        const double stock = area * bedgrain[l][i][j] * bedgrain[0][i][j] * ConvCoef / TimeStep;
        const double c_sup = (B + stock) / (S + storage);
        const double c_eq = bedgrain[l][i][j] * c[i][j][0];
        double c2 = std::max(c_nb, std::min(c_eq, c_sup));
        if (c2 < Negligible) c2 = 0.0;
        c[i][j][2] = c2;
        c[i][j][1] = c2;  // the bed face shows the bed cell's value
    });
}

// Under the second-order scheme (F 27 1) only values of negligible size: its
// undershoots belong to its conservative solution.
void clear_negligible(int l)
{
    const bool second = second_order_sediment();
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 3; k <= znumber; ++k) {
                const double c = conc[l][i][j][k];
                if (second ? std::fabs(c) < Negligible : c < Negligible) conc[l][i][j][k] = 0.0;
            }
}

void outflow_ghost_row(int l)
{
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 3; k <= znumber; ++k) conc[l][xnumber + 1][j][k] = conc[l][xnumber][j][k];
}

// iter_morph passes over the sizes, each one solve of the transient
// equation and the bed cells.
void solve_sediment()
{
    const bool lines = !second_order_sediment() && FlagSedimSolver == 1;
    for (int n = 0; n < iter_morph; ++n)
        for (int l = 1; l <= sizes(); ++l) {
            indexl = l;
            step_sources(l);
            if (lines)
                line_solve_size(l);
            else
                gauss_seidel_size(l);
            clear_negligible(l);
            bed_cells(l);
            outflow_ghost_row(l);
        }
}

// The same for the depth-averaged sediment: one solve of every column, the
// pick-up from the bed limited by the active layer's stock.
void solve_column_sediment()
{
    column_boundary_values();
    for (int n = 0; n < iter_morph; ++n)
        for (int l = 1; l <= sizes(); ++l) {
            indexl = l;
            step_sources(l);
            column_pickup(l);
            sole2_gauseid();
            limit_column_pickup(l);
        }
}

// A cell steeper than the avalanche limit has had its corners moved: its
// layers follow the sediment now above the fixed bed, the active layer full
// first, with the fractions it had.
void layers_after_avalanche()
{
    const double limit = std::cos(std::atan(AngleAvalanche));
    water_columns([limit](int i, int j) {
        const double nx = m_vec_z[i][j][1][0], ny = m_vec_z[i][j][1][1], nz = m_vec_z[i][j][1][2];
        const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
        if (length <= 0.0 || std::fabs(nz) / length >= limit) return;
        const double t = corner_mean(i, j, [](int a, int b) { return std::max(zval[a][b][0] - Surfaces[3][a][b], 0.0); });
        bedgrain[0][i][j] = std::min(t, maxgrain);
        BedGrainOriginal[0][i][j] = t - bedgrain[0][i][j];
    });
}

void report_balances(const Totals& totals, long step, const Balance& b)
{
    Boogie log;
    log.require(-3);
    log.print("%d Sedim. continuity: In, Out, Susp, Bedch., Bedmove, ContDef., MoveDef: (qm)\n", static_cast<int>(step));
    log.print("Dt:   %lf %lf %lf %lf %lf %lf %lf\n", b.in, b.out, b.susp, b.bedch, b.bedmove, b.continuity_defect(), b.move_defect());
    const Balance& t = totals.total;
    log.print("Sum: %lf %lf %lf %lf %lf %lf %lf\n", t.in, t.out, t.susp, t.bedch, t.bedmove, t.continuity_defect(), t.move_defect());
    log.print("Grain size breakdown: \n");
    log.print("Size: Inflow  Outflow  LayerActive  LayerInac. Suspended  Defect\n");
    for (int l = 1; l <= sizes(); ++l) {
        const SizeVolumes& v = volumes[l];
        log.print("%d  %lf %lf %lf %lf %lf %lf\n", l, v.inflow, v.outflow, v.active, v.inactive, v.suspended, v.defect());
    }
    section_fluxes(log);
}

// One time step (the step counter `step` from 0).  Returns false when the
// flow solver failed.
bool time_step(Totals& totals, long step, long steps)
{
    const int L = sizes();
    FlagPrint = printed(step) ? 0 : 1;
    series_boundary_values();
    if (TimePrintNo > 0 && is_multiple(static_cast<double>(step), PrintIterTime) && !append_timeo_line(TimeoLine::Morphology)) {
        log_and_end(-3, "cannot open file 'timeo' \n");
    }
    stime += TimeStep;
    const int k1 = model.layers.first, k2 = model.layers.last;
    for (int l = 0; l <= L; ++l)
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = k1; k <= k2; ++k) model.old[l][i][j][k] = model.now[l][i][j][k];

    // The flow of the step: the solver does one time step when its last
    // iteration is the present one.
    if (Hydrostatic != 2) {
        const long last = iterGlobalMax;
        iterGlobalMax = Iter;
        if (Flag2Dim != 0)
            WaterSolve2D();
        else
            WaterSolve();
        iterGlobalMax = last;
        if (FlagErrorBreak == 1) return false;
        // The sediment moves in the cells: a depth-averaged flow is spread
        // over them; it diffuses with the eddy viscosity of the new flow.
        if (Flag2Dim != 0)
            spread_columns();
        else
            eddy_viscosity_to_diff();
    }
    keep_sediment_in_moved_cells(totals, true);
    if (FlagBedshearGrad == 1) limit_edge_turbulence();

    if (FlagBedslopeCorrection == 1 && SedimentFormula != 'R') bedslope_corr();
    if (model.columns()) {
        column_sediment_coefficients();
    } else {
        coeffe_setup();
        coeffe_setup2();
    }
    if (FlagErrorBreak == 1) return false;
    for (int l = 1; l <= L; ++l)
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = k1; k <= k2; ++k) ap[l][i][j][k] += cell_volume(i, j, k) / TimeStep;

    {
        Boogie log;
        log.require(-3);
        bed_concentrations(log);
    }
    if (model.columns())
        solve_column_sediment();
    else
        solve_sediment();

    // What crossed the boundaries in the step, with the fluxes the
    // coefficients were built from (the bed change below renews them).
    Balance b;
    std::vector<BorderFluxes> exchange(static_cast<std::size_t>(L) + 1);
    for (int l = 1; l <= L; ++l) {
        exchange[l] = border_fluxes(model.now[l], l, model.layers);
        const double susp = suspended_volume(model.now, l) - suspended_volume(model.old, l);
        SizeBalance& s = totals.size[l];
        s.in += exchange[l].in() * TimeStep;
        s.out += exchange[l].out() * TimeStep;
        s.susp += susp;
        b.in += exchange[l].in() * TimeStep;
        b.out += exchange[l].out() * TimeStep;
        b.susp += susp;
    }

    if (model.columns())
        morphology2_fractions();
    else
        morphology_fractions();
    water_columns([&](int i, int j) {
        double sum = 0.0;
        for (int l = 1; l <= L; ++l) sum += bedlevchange[l][i][j];
        b.bedch += sum * m_armap[i][j] * ConvCoef;
        bedlevchange[0][i][j] = AccBedChange * sum;
        b.bedmove += bedlevchange[0][i][j] * m_armap[i][j] * ConvCoef;
        BedChangeTotal[i][j] += bedlevchange[0][i][j];
    });
    if (Hydrostatic != 2 && Hydrostatic != 5) {
        bedchange();
        keep_sediment_in_moved_cells(totals, false);
    } else {
        b.bedmove = 0.0;  // a frozen bed is not moved
    }
    if (IterAvalanche > 0 && IterAvalanche != 200) layers_after_avalanche();
    if (model.columns()) spread_column_sediment();

    if (Flag2Dim != 0) {
        boundary2D();
        waterflow2D();
    } else {
        boundary();
        waterflow();
    }
    total_concentration();

    totals.total.add(b);
    ++totals.steps;
    note_volumes(totals);
    if (FlagPrint == 0 || step == steps - 1) report_balances(totals, step, b);

    if (FlagInterpolVal == 19)
        sprintflow();
    else if (Hydrostatic == 2 && PrintRes > 0 && is_multiple(static_cast<double>(step + 1), PrintRes))
        sprintflow();
    return true;
}

// The inactive layer along the middle row of the grid.
void write_profile()
{
    OutputFile out(ProfileFile);
    if (!out.is_open()) {
        set_status(mc_message, "cannot open file 'bedfrac.new' ");
        end_run(-3);
    }
    const int j = ynumber / 2 + 1;
    for (int i = 2; i <= xnumber; ++i) {
        std::fprintf(out.get(), "%d %lf", i, xval[i][j]);
        for (int l = 0; l <= sizes(); ++l) std::fprintf(out.get(), " %lf", BedGrainOriginal[l][i][j]);
        std::fprintf(out.get(), "\n");
    }
    out.commit();
    account_file(ProfileFile);
}

// `started`: the wall-clock time of the start, or negative when the driver
// keeps none (F 37 2).
void finish(const Totals& totals, double started)
{
    set_statusf(mc_v2, "Max time %lf sec.", stime);
    set_status(mc_message, "Sediment calculation finished");
    total_concentration();
    double moved = 0.0, largest = 0.0;
    {
        Boogie log;
        log.require(-3);
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j) {
                const double move = BedChangeTotal[i][j];
                moved += move * m_armap[i][j];
                largest = std::max(largest, std::fabs(move));
                if (std::fabs(move) > ReportedMove) log.print("BedMove(%d,%d) = %e meters\n", i, j, move);
            }
        log.print("Time: %lf seconds\n", stime);
        log.print(writeConRes() != 0 ? "Could not write conres.t file \n" : "Have written conres.t file \n");
        log.print("Total change in bed levels: %e qubic meters\n", moved);
    }
    sprintflow();
    writespider();
    if (FlagInterpolVal > 0) {
        const int kind = FlagInterpolVal;
        FlagInterpolVal = 0;
        sprintflow();
        FlagInterpolVal = kind;
    }
    write_profile();
    gFlagSedim = 0;
    if (started < 0.0)
        account_step("S computed %ld time steps of the depth-averaged sediment to %g s, the bed moved by at most %.3g m (%.3g m3 in all)", totals.steps,
                     stime, largest, moved);
    else
        account_step("S computed %ld time steps to %g s, the bed moved by at most %.3g m (%.3g m3 in all) in %.0f s", totals.steps, stime, largest,
                     moved, omp_get_wtime() - started);
}

// The transient morphology of the cells (columns false) or of the columns.
void transient_morphology(bool columns)
{
    if (!conc) return;
    if (FlagInitSedim == 0) {
        log_append("Error, no sediment set-up (letter I) before letter S: no sediment computed\n");
        account_step("S computed nothing: no sediment set-up (letter I) before it");
        return;
    }
    if (columns && !conc2D) return;  // allocated with F 37 2
    // The depth-averaged driver keeps no wall-clock time.
    const double started = columns ? -1.0 : omp_get_wtime();
    model = columns ? SedimentModel{conc2D, conc2D_old, ColumnLayer} : SedimentModel{conc, conc_old, water_layers()};
    const int L = sizes();
    stime = 0.0;
    BedRecIter = 1;
    Totals totals;
    default_minimum_depth();
    maxgrain = 0.0;
    for (int l = 1; l <= L; ++l) maxgrain = std::max(maxgrain, gsize[l]);
    {
        Boogie log;
        log.require(-3);
        if (TimePrintNo > 0 && !create_timeo()) {
            log.print("cannot open file 'timeo' \n");
            log.close();
            end_run(-3);
        }
        check_morphology_settings(log);
    }
    // The columns start from the cells' depth means, the bed cells included.
    if (columns) start_column_sediment();
    if (FlagReadFracres == 0) start_bed_layers(columns);
    if (columns) spread_column_sediment();
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j) {
            BedMove[i][j] = BedChangeTotal[i][j] = 0.0;
            for (int l = 0; l <= L; ++l) bedlevchange[l][i][j] = 0.0;
        }
    {
        Boogie log;
        log.require(-3);
        log.print("\n ***** In morphology_tsc **********\n\n");
        double volume = 0.0;
        water_columns([&](int i, int j) { volume += 2.0 * m_dist_z[i][j][0] * m_armap[i][j]; });
        log.print("Volume of geometry: %e qubic meters\n", volume);
        log.print("Bed concentration flags: %d %d %d %d %d %d\n", BedFlags[0], BedFlags[1], BedFlags[2], BedFlags[3], BedFlags[4], BedFlags[5]);
        if (BedLoadVectorFlag > 0) log.print("The bed-load direction terms of F 78 are not built: the bed load follows the suspended equations\n");
    }
    if (BedFlags[0] == 2)
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int l = 0; l <= L; ++l) bedgrain[l][i][j] = 0.0;
    for (int l = 1; l <= L; ++l) totals.size[l].start = layer_volumes(l);
    note_volumes(totals);
    note_cell_volumes(totals);

    const long steps = iterGlobalMax;
    for (long step = 0; step < steps; ++step)
        if (!time_step(totals, step, steps)) return;
    finish(totals, started);
}

}  // namespace

void morphology_tsc()
{
    transient_morphology(false);
}

void morphology2_tsc()
{
    transient_morphology(true);
}

SizeVolumes transient_volumes(int l)
{
    return l >= 1 && l < SizeCapacity ? volumes[l] : SizeVolumes{};
}

}  // namespace zefra
