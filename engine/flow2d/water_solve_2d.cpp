// The depth-averaged flow solver: SIMPLE-type outer iterations on the columns.
//
// Each inner iteration:  boundary values -> momentum coefficients -> u and v
// of the columns (bed and wall friction, pressure gradient, time term,
// relaxation, solve) -> column fluxes -> pressure correction (assemble,
// solve, correct) -> k and epsilon of the columns -> residuals, convergence
// and divergence tests, results.  The course of the 3D solver, with its
// kernels on the column layer (index 0) and Gauss-Seidel as the only solver.
// Behind run letter D, letter W with F 44, and called by the transient
// morphology driver for one time step at a time.
#include "engine/flow2d/water_solve_2d.h"

#include <omp.h>

#include <algorithm>
#include <cmath>

#include "engine/common/arith.h"
#include "engine/common/boogie.h"
#include "engine/common/physics.h"
#include "engine/common/progress.h"
#include "engine/common/run_account.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/flow2d/column_fields.h"
#include "engine/flow2d/column_kernels.h"
#include "engine/flow2d/column_turbulence.h"
#include "engine/flow3d/free_surface.h"
#include "engine/flow3d/layers.h"
#include "engine/flow3d/outer_iteration.h"
#include "engine/grid/columns.h"
#include "engine/grid/metric.h"
#include "engine/grid/multiblock.h"
#include "engine/input/time_series.h"
#include "engine/output/report_files.h"
#include "engine/output/sprintflow.h"
#include "engine/startup/flow_startup.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"

namespace zefra {

namespace {

double solve_started = 0.0;  // wall-clock time at the start of WaterSolve2D

// Whether this call is a run letter of its own (the transient morphology
// calls the solver once per time step).
bool own_run()
{
    return FlagTSC == 0;
}

double elapsed()
{
    return omp_get_wtime() - solve_started;
}

// The name of the computation in the run's account: letter D, or letter W
// with F 44.
const char* letter()
{
    return Flag2Dim != 0 ? "W (depth-averaged)" : "D";
}

// What the rest of an iteration is to do after a step.
enum class Next { Go, Return };

bool transient()
{
    return TimeStep > TransientTimeStepLimit;
}

template <class Body>
void columns(Body body)
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) body(i, j);
}

// Index 0 of a field over the whole plane, ghost columns included.
void fill_columns(const Field3& a, double value)
{
    for (int i = 0; i < a.extent(0); ++i)
        for (int j = 0; j < a.extent(1); ++j) a[i][j][0] = value;
}

double column_volume(int i, int j)
{
    return 2.0 * m_armap[i][j] * m_dist_z[i][j][0];
}

double neighbour_sum(int i, int j)
{
    return ae[i][j][0] + aw[i][j][0] + an[i][j][0] + as[i][j][0];
}

// Under-relaxation: wap = (neighbours + wap) / r, source += (1 - r) wap phi.
void relax(const Field3& phi, double factor)
{
    columns([&](int i, int j) {
        wap[i][j][0] = (neighbour_sum(i, j) + wap[i][j][0]) / factor;
        source[i][j][0] += (1.0 - factor) * wap[i][j][0] * phi[i][j][0];
    });
}

// Time term, first order in time, with the volume of the whole column.
void time_term(const Field3& old)
{
    if (TFStimeterm != 1 || !transient() || !old) return;
    columns([&](int i, int j) {
        const double mass = WaterDensity * column_volume(i, j) / TimeStep;
        wap[i][j][0] += mass;
        source[i][j][0] += mass * old[i][j][0];
    });
}

// Sources of an opening on a block's joint line (its columns' values, which
// the boundary values put at index 0 of MBFlow).
void joint_sources()
{
    if (!MBFlow) return;
    for (int n = 1; n <= IONo; ++n) {
        const IORecord& r = IO[n];
        if (r.side <= 10 || r.side - 10 > MBNo) continue;
        const int b = r.side - 10, i = MBSkjot[b];
        const Layers opening = box_layers(r.b1, r.b2, ColumnLayer);
        if (opening.first > opening.last) continue;
        for (int j = r.a1; j <= r.a2; ++j) {
            source[i][j][0] += MBFlow[b][Equation][j][0];
            wap[i][j][0] += std::max(0.0, -MBFlow[b][0][j][0]);
        }
    }
}

// Minimum depth of the transient morphology (FlagTSCMinDepth 1 or 2): a
// column whose original level (index 0 of zval) stands above its bed is
// braked with the fifth power of the share of its depth below that level.
void minimum_depth_damping(const Field3& phi, const Field3& old)
{
    if (FlagTSC <= 0 || (FlagTSCMinDepth != 1 && FlagTSCMinDepth != 2)) return;
    columns([&](int i, int j) {
        const double original = corner_mean(i, j, [](int a, int b) { return zval[a][b][0]; });
        const double bed = corner_mean(i, j, [](int a, int b) { return zval[a][b][1]; });
        if (original <= bed + 1e-6) return;
        const double r = std::min(1.0, (original - bed) / (2.0 * m_dist_z[i][j][0] + 1e-30));
        const double previous = old ? old[i][j][0] : phi[i][j][0];
        wap[i][j][0] += 2.0 * (std::fabs(0.5 * (previous + phi[i][j][0])) + 0.001) * 45300.0 / Xks[i][j] * m_armap[i][j] * m_dist_z[i][j][0] *
                        std::pow(r, 5.0);
    });
}

// Calls body(i, j) for every column an out-block fills.
template <class Body>
void out_block_columns(Body body)
{
    for (int n = 1; n <= OutBlockNo; ++n) {
        const OutBlockRecord& b = OutBlock[n];
        const Layers box = box_layers(b.k1, b.k2, ColumnLayer);
        if (box.first > box.last) continue;
        for (int i = b.i1; i <= b.i2; ++i)
            for (int j = b.j1; j <= b.j2; ++j) body(i, j);
    }
}

void inverse_central()
{
    columns([](int i, int j) { iAp[i][j][0] = 1.0 / wap[i][j][0]; });
}

void debug_dump()
{
    for (int n = 1; n <= DebugDumpNo; ++n) {
        const DebugDumpRecord& d = DebugDump[n];
        if (d.equation != Equation) continue;
        const int i = d.i, j = d.j;
        Boogie log;
        if (log_unavailable(log)) return;
        log.print("Debug dump for (%d,%d,%d,%d)\n", i, j, 0, Equation);
        log.print("f, ap, source = %e %e %e\n", f[i][j][0], wap[i][j][0], source[i][j][0]);
        log.print("fe, ae, flowe = %e %e %e\n", f[i - 1][j][0], ae[i][j][0], flow1[i - 1][j][0]);
        log.print("fw, aw, floww = %e %e %e\n", f[i + 1][j][0], aw[i][j][0], flow1[i][j][0]);
        log.print("fs, as, flows = %e %e %e\n", f[i][j - 1][0], as[i][j][0], flow2[i][j - 1][0]);
        log.print("fn, an, flown = %e %e %e\n", f[i][j + 1][0], an[i][j][0], flow2[i][j][0]);
    }
}

// Residual, block correction and solver sweeps of equation e on phi.
void solve(const Field3& phi, int e)
{
    f = phi;
    out_block_columns([](int i, int j) { wap[i][j][0] += 1e30; });
    inverse_central();
    Residual2D();
    if (blockcorr[e] == 1) BlockCorrection2D();
    for (int sweep = 1; sweep <= sweeps[e]; ++sweep) WaterGaussSeidel2D();
}

// One momentum equation of the columns (Equation 1 or 2).
Next momentum_equation(int e, const Field3& phi, const Field3& old)
{
    Equation = e;
    fill_columns(wap, 0.0);
    fill_columns(source, 0.0);
    wallall2D();
    pressure_source2D();
    joint_sources();
    time_term(old);
    minimum_depth_damping(phi, old);
    relax(phi, relaxVelocity);
    // A column without a central coefficient cannot be solved.
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            if (wap[i][j][0] < 1e-30) {
                log_append("Error, wap(%d,%d) = %e\n", i, j, wap[i][j][0]);
                account_step("%s stopped at iteration %ld: zero central coefficient in column (%d,%d); see boogie", letter(), Iter, i, j);
                set_statusf(mc_message, "Error, wap(%d,%d) = %e\n", i, j, wap[i][j][0]);
                FlagErrorBreak = 1;
                return Next::Return;
            }
    if (e == 1) {
        // The x momentum's central coefficients serve the fluxes and the pressure correction.
        columns([](int i, int j) { invAP[i][j][0] = 1.0 / wap[i][j][0]; });
        if (RelaxRhieChow < 0 && invFlow)
            columns([](int i, int j) {
                invFlow[i][j][0] =
                    2.0 / (std::fabs(flow2[i][j][0]) + std::fabs(flow2[i][j - 1][0]) + std::fabs(flow1[i][j][0]) + std::fabs(flow1[i - 1][j][0]) + 1e-20);
            });
        if (simple != 'Y' && invAPC) columns([](int i, int j) { invAPC[i][j][0] = 1.0 / (wap[i][j][0] - neighbour_sum(i, j)); });
    }
    solve(phi, e);
    if (OutBlockNo == 1) out_block_columns([&phi](int i, int j) { phi[i][j][0] = 0.0; });
    debug_dump();
    return Next::Go;
}

// The k (5) or epsilon (6) equation of the columns.
void turbulence_equation(int e)
{
    Equation = e;
    const Field3 phi = e == 5 ? kinen : epsilon;
    const Field3 old = e == 5 ? kinen_old : epsilon_old;
    GammaCalc2D();
    coeffe_flow2D();
    fill_columns(wap, 0.0);
    fill_columns(source, 0.0);
    turbulence2D();
    wallall2D();
    joint_sources();
    time_term(old);
    relax(phi, e == 5 ? relaxK : relaxEpsilon);
    solve(phi, e);
    const double floor = e == 5 ? 1e-12 : 1e-14;
    for (int i = 0; i < phi.extent(0); ++i)
        for (int j = 0; j < phi.extent(1); ++j) phi[i][j][0] = std::max(phi[i][j][0], floor);
    debug_dump();
}

// Pressure correction of the columns: assemble, solve, correct (Equation 4).
void pressure_step(const Field3& pcorr)
{
    waterflow2D();
    pressure_correction2D();
    columns([](int i, int j) {
        wap[i][j][0] = neighbour_sum(i, j);
        // A column coupled to nothing (inside an out-block) keeps a zero correction.
        if (wap[i][j][0] < 1e-30) wap[i][j][0] = 1e30;
    });
    Equation = 4;
    f = pcorr;
    Residual2D();
    fill_columns(pcorr, 0.0);
    inverse_central();
    const int mode = blockcorr[4];
    for (int sweep = 1; sweep <= sweeps[4]; ++sweep) {
        if (mode == 1 || ((mode == 5 || mode == 6 || mode == 7) && sweep == 1)) BlockCorrection2D();
        WaterGaussSeidel2D();
    }
    SimpleCorrections2D();
}

struct Defect {
    double total = 0.0, largest = -1.0;
    int i = 2, j = 2;
};

Defect continuity_defect()
{
    Defect d;
    columns([&d](int i, int j) {
        d.total += source[i][j][0];
        if (std::fabs(source[i][j][0]) > d.largest) {
            d.largest = std::fabs(source[i][j][0]);
            d.i = i, d.j = j;
        }
    });
    d.largest = std::max(d.largest, 0.0);
    return d;
}

void specific_energy()
{
    const int i = SpecEnergy;
    if (i < 1 || i > xnumber) return;
    double energy = 0.0, area = 0.0;
    for (int j = 2; j <= ynumber; ++j) {
        const double a = m_ar_x[i][j][0];
        energy += 0.5 * (Pres[i][j][0] + Pres[i + 1][j][0]) * a + flow1[i][j][0] * flow1[i][j][0] / (a + 1e-30) * 5.0969e-08;
        area += a;
    }
    log_append("Specifice energy for section %d = %e\n", i, energy / (area + 1e-30));
}

// The columns' values become the old time level.
void shift_time_levels()
{
    const Field3 now[4] = {xvel, yvel, kinen, epsilon}, old[4] = {xvel_old, yvel_old, kinen_old, epsilon_old};
    for (int n = 0; n < 4; ++n)
        if (old[n]) columns([&](int i, int j) { old[n][i][j][0] = now[n][i][j][0]; });
}

// The water cells take the columns' values before the results are written.
void write_results()
{
    spread_columns();
    sprintflow();
}

// The cyclic channel: the outflow column becomes the inflow, with the inflow discharge kept.
void recycle_outflow_profile()
{
    auto inflow = [] {
        double q = 0.0;
        for (int j = 2; j <= ynumber; ++j) q += xvel[1][j][0] * m_ar_x[1][j][0] * m_vec_x[1][j][0];
        return q;
    };
    const double before = inflow();
    for (int j = 2; j <= ynumber; ++j)
        for (Field3* field : {&xvel, &kinen, &epsilon}) (*field)[1][j][0] = (*field)[xnumber][j][0];
    const double scale = before / (inflow() + 1e-30);
    for (int j = 2; j <= ynumber; ++j) xvel[1][j][0] *= scale;
}

// Reporting, results and the tests that may end the run.
Next report_and_test(bool last_inner, const Defect& defect, double& res_max, int& equation)
{
    Boogie log;
    log.require(-3);
    const LargestResidual largest = largest_flow_residual();
    res_max = largest.value;
    equation = largest.equation;
    if (last_inner && FlagPrint == 0) {
        log.print("Iter: %ld, Resid: %8.2e %8.2e %8.2e %8.2e %8.2e %8.2e\n", Iter, MaxResidual[1], MaxResidual[2], MaxResidual[3], MaxResidual[4],
                  MaxResidual[5], MaxResidual[6]);
        log.print("Cont: %8.2e, DefMax: %8.2e, U,V(%d,%d,): %8.2e %8.2e\n", defect.total, defect.largest, defect.i, defect.j,
                  xvel[defect.i][defect.j][0], yvel[defect.i][defect.j][0]);
    }

    // The bed shear of this iteration goes into the results written below.
    column_bed_shear();
    write_results_when_due(last_inner, res_max, write_results);
    set_statusf(mc_v2, "zvel[2][2][0]: %8.2e", zvel[2][2][0]);
    set_statusf(mc_message, "%ld ResMax: %8.2e for eq: %d", Iter, res_max, equation);
    progress_update(Iter, res_max, equation);

    if (res_max < ConvergenceCriteria && TimeStep < TransientTimeStepLimit) {
        if (FlagCyclic < 0 && CyclicCount < -FlagCyclic) {
            ++CyclicCount;
            recycle_outflow_profile();
        } else {
            log.print("Solution converged\n");
            set_status(mc_message, "Solution converged  ");
            log.close();
            if (own_run()) account_step("%s converged at iteration %ld (largest residual %.1e) in %.0f s", letter(), Iter, res_max, elapsed());
            gFlagFlow = 0;
            write_results();
            return Next::Return;
        }
    }
    // A field that is no number any more has diverged as well.
    if (!(static_cast<float>(res_max) <= 1e10f)) {
        log.print("Solution diverged\n");
        set_status(mc_message, "Solution diverged  ");
        account_step("%s diverged at iteration %ld (largest residual %.1e, equation %d); see boogie", letter(), Iter, res_max, equation);
        FlagErrorBreak = 1;
        gFlagFlow = 0;
        return Next::Return;
    }
    if (std::fabs(defect.total) / NormResidual[4] > 1e-6 && FlagTFS == 0) {
        // The mass fluxes through the four sides of the domain.
        double in = 0.0, out = 0.0, south = 0.0, north = 0.0;
        for (int j = 2; j <= ynumber; ++j) {
            in += flow1[1][j][0];
            out += flow1[xnumber][j][0];
        }
        for (int i = 2; i <= xnumber; ++i) {
            south += flow2[i][1][0];
            north += flow2[i][ynumber][0];
        }
        log.print("Error in continuity: Fluxes: %lf %lf %lf %lf\n", in, out, south, north);
        account_step("%s stopped at iteration %ld: error in continuity; see boogie", letter(), Iter);
        set_status(mc_message, "Error in continuity  ");
        gFlagFlow = 0;
        FlagErrorBreak = 1;
        return Next::Return;
    }
    log.close();

    if (is_multiple(Iter, IterSurface) && res_max < ConvSurface && FlagTFS == 0 && FlagRoof == 1) move_surface(ColumnLayer);
    return Next::Go;
}

// The account of a run that reached its last iteration.
void iteration_limit(double res_max, int equation)
{
    account_iteration_limit(letter(), iterGlobalMax, res_max, equation, elapsed());
}

// One inner iteration.
// `series_boundary`: time-series boundary values of a new time are set even
// in the first inner iteration of the first step.
Next inner_iteration(bool series_boundary, int inner, const Field3& pcorr, double& res_max, int& res_equation, bool last_inner)
{
    set_status(mc_program, " MB-Flow2D           ");
    if (FlagGridChange == 1) {
        FlagGridChange = 0;
        metric();
        smetric();
        startup();
        column_walls();
        boundary2D();
        waterflow2D();
        for (int i = 1; i <= xnumber; ++i)
            for (int j = 1; j <= ynumber; ++j)
                for (int k = 1; k <= znumber; ++k) {
                    Xc[i][j][k] = xval[i][j];
                    Yc[i][j][k] = yval[i][j];
                }
    }
    FlagFlowParamChange = 0;  // the columns have the power-law scheme only
    if (!(Iter == 1 && inner == 1) || series_boundary) boundary2D();

    Equation = 1;
    GammaCalc2D();
    coeffe_flow2D();
    if (momentum_equation(1, xvel, xvel_old) == Next::Return || momentum_equation(2, yvel, yvel_old) == Next::Return) {
        f = pcorr;
        gFlagFlow = 0;
        return Next::Return;
    }

    pressure_step(pcorr);
    const Defect defect = continuity_defect();
    if (SpecEnergy > 0) specific_energy();
    Equation = 4;
    debug_dump();

    if (column_k_epsilon()) {
        if (FlagFluxTurb == 1) waterflow2D();
        turbulence_equation(5);
        turbulence_equation(6);
        f = pcorr;
    }
    return report_and_test(last_inner, defect, res_max, res_equation);
}

}  // namespace

void WaterSolve2D()
{
    const Field3 pcorr = f;  // the pressure-correction array
    startup();
    start_columns();
    column_walls();
    if (FlagInitialized == 0) {
        boundary2D();
        waterflow2D();
    }
    FlagInitialized = 1;
    FlagFlowParamChange = 0;
    // Equations the columns do not solve report no residual.
    MaxResidual[3] = 0.0;
    if (!column_k_epsilon()) MaxResidual[5] = MaxResidual[6] = 0.0;

    // The time series output starts afresh only when the solver runs on its own;
    // the transient morphology calls it once per step and keeps the file.
    if (TimePrintNo > 0 && FlagTSC == 0 && !create_timeo()) {
        set_status(mc_message, "cannot open file 'timeo' ");
        end_run(-3);
    }
    const long first = FlagTSC > 0 ? Iter : 1;
    if (transient() && FlagTSC == 0) stime = 0.0;
    if (own_run()) solve_started = omp_get_wtime();
    progress_start();

    Iter = first;
    if (Iter > iterGlobalMax) {
        if (FlagTSC == 0) write_results();
        gFlagFlow = 0;
        return;
    }
    double res_max = 0.0;
    int res_equation = 1;
    while (true) {
        ++PrintResIter;
        if (FlagTSC == 0) choose_logged_iteration();
        if (transient()) shift_time_levels();
        if (TimePrintNo > 0 && FlagTSC == 0 && is_multiple(Iter, PrintIterTime) && !append_timeo_line()) {
            set_status(mc_message, "cannot open file 'timeo' ");
            end_run(-3);
        }
        // The time of a transient run moves with the surface move at the end
        // of the step (F 36 2 under a free surface); without it it moves here,
        // so that the step takes the boundary values of its end time.
        const bool time_moves_here = transient() && FlagTSC == 0 && !(FlagTFS == 2 && FlagRoof == 1);
        if (time_moves_here) stime += TimeStep;

        for (int inner = 1; inner <= TransInnerIter; ++inner) {
            const bool last_inner = inner == TransInnerIter;
            const bool series_boundary = time_moves_here && TimeInNo > 0;
            if (inner_iteration(series_boundary, inner, pcorr, res_max, res_equation, last_inner) == Next::Return) {
                f = pcorr;
                progress_end();
                return;
            }
            // A transient time step ends early once its residual is small enough.
            if (transient() && res_max < TimeBreakLimit) break;
        }

        if ((FlagTFS == 2 || FlagTFS == 3) && static_cast<float>(res_max) < 10000.0f && FlagRoof == 1) move_surface(ColumnLayer);
        ++Iter;
        if (Iter > iterGlobalMax) {
            if (own_run()) iteration_limit(res_max, res_equation);
            if (FlagTSC == 0) write_results();
            gFlagFlow = 0;
            f = pcorr;
            progress_end();
            return;
        }
    }
}

}  // namespace zefra
