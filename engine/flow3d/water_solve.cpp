// The three-dimensional flow solver: SIMPLE-type outer iterations.
//
// Each inner iteration:  boundary values -> momentum coefficients ->
// u, v, w equations (sources, relaxation, solve) -> face fluxes ->
// pressure correction (assemble, solve, correct) -> k and epsilon ->
// temperature -> residuals, convergence and divergence tests, results.
// A steady run iterates to convergence; a transient run makes every outer
// iteration one time step with up to TransInnerIter inner iterations.
// Behind run letter W, and called by the transient morphology driver.
#include "engine/flow3d/water_solve.h"

#include <omp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/common/arith.h"
#include "engine/common/boogie.h"
#include "engine/common/physics.h"
#include "engine/common/progress.h"
#include "engine/common/run_account.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/flow3d/block_correction.h"
#include "engine/flow3d/boundary_values.h"
#include "engine/flow3d/coefficients.h"
#include "engine/flow3d/divergence_hints.h"
#include "engine/flow3d/face_fluxes.h"
#include "engine/flow3d/free_surface.h"
#include "engine/flow3d/higher_order.h"
#include "engine/flow3d/linear_solvers.h"
#include "engine/flow3d/momentum_sources.h"
#include "engine/flow3d/outer_iteration.h"
#include "engine/flow3d/porous_sources.h"
#include "engine/flow3d/pressure_correction.h"
#include "engine/flow3d/pressure_level.h"
#include "engine/flow3d/residuals.h"
#include "engine/flow3d/slabs.h"
#include "engine/flow3d/stencil.h"
#include "engine/flow3d/stress_terms.h"
#include "engine/grid/metric.h"
#include "engine/grid/multiblock.h"
#include "engine/input/result_file.h"
#include "engine/input/time_series.h"
#include "engine/output/report_files.h"
#include "engine/output/sprintflow.h"
#include "engine/startup/flow_startup.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_plugins.h"
#include "engine/state/state_porous.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"
#include "engine/turbulence/model_constants.h"
#include "engine/turbulence/turbulence_models.h"
#include "engine/turbulence/wall_laws.h"

namespace zefra {

namespace {

constexpr int TimeStamps = 34;

double otime[TimeStamps];
double solve_started = 0.0;  // wall-clock time at the start of WaterSolve

// Whether this call of the solver is a run letter of its own (the transient
// morphology calls it once per time step).
bool own_run()
{
    return FlagTSC == 0;
}

double elapsed()
{
    return omp_get_wtime() - solve_started;
}

// What the rest of an iteration is to do after a step.
enum class Next { Go, Return };

bool transient()
{
    return TimeStep > TransientTimeStepLimit;
}

void stamp(int n)
{
    if (FlagPrint == 0) otime[n] = omp_get_wtime();
}

// Inner cells of one field.
template <class Body>
void inner_cells(Body body)
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) body(i, j, k);
}

// The same for a loop whose cells are independent: on the worker threads in
// parallel mode, each on its own planes of i.
template <class Body>
void each_cell(Body body)
{
    split_cells([&body](int i1, int i2) {
        for (int i = i1; i <= i2; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = 2; k <= znumber; ++k) body(i, j, k);
    });
}

// The coefficient routine of a convection scheme, for `equation`.
void coefficients_for(int equation, int scheme)
{
    if (FlagCofDLL >= 1) return;
    convection_coefficients(equation, scheme, slab_step(1));
}

double neighbour_sum(int i, int j, int k, bool twelve)
{
    double s = ae[i][j][k] + aw[i][j][k] + an[i][j][k] + as[i][j][k] + wat[i][j][k] + wab[i][j][k];
    if (twelve) s += aee[i][j][k] + aww[i][j][k] + ann[i][j][k] + ass[i][j][k] + att[i][j][k] + abb[i][j][k];
    return s;
}

// Under-relaxation: wap = (neighbours + wap) / r, source += (1 - r) wap phi.
void relax(const Field3& phi, double factor, bool twelve)
{
    each_cell([&](int i, int j, int k) {
        wap[i][j][k] = (neighbour_sum(i, j, k, twelve) + wap[i][j][k]) / factor;
        source[i][j][k] += (1.0 - factor) * wap[i][j][k] * phi[i][j][k];
    });
}

// Sources at a block joint fed by an opening of its own.
void joint_sources()
{
    if (!MBFlow) return;
    for (int n = 1; n <= IONo; ++n) {
        const IORecord& r = IO[n];
        if (r.side <= 3) continue;
        const int b = r.side - 10;
        if (b < 1 || b > MBNo) continue;
        const int i = MBSkjot[b];
        for (int j = r.a1; j <= r.a2; ++j)
            for (int k = r.b1; k <= r.b2; ++k) {
                source[i][j][k] += MBFlow[b][Equation][j][k];
                wap[i][j][k] += std::max(0.0, -MBFlow[b][0][j][k]);
            }
    }
}

void wall_laws()
{
    if (FlagWallDLL >= 1) return;
    if (FlagWallAll == 1)
        wall();
    else if (slab_step(2))
        wallall_on_slabs();
    else
        wallall();
}

void out_block_coefficients()
{
    for (int n = 1; n <= OutBlockNo; ++n) {
        const OutBlockRecord& b = OutBlock[n];
        for (int i = b.i1; i <= b.i2; ++i)
            for (int j = b.j1; j <= b.j2; ++j)
                for (int k = b.k1; k <= b.k2; ++k) wap[i][j][k] += 1e30;
    }
}

void inverse_central()
{
    each_cell([](int i, int j, int k) { iAp[i][j][k] = 1.0 / wap[i][j][k]; });
}

// One solver sweep of equation e on phi: the twelve-neighbour sweep of the
// higher-order schemes, point Gauss-Seidel (K 7 'Y') or the line solver.
void sweep_once(const Field3& phi, int e)
{
    if (second_neighbours_filled())
        WaterGaussSOU();
    else if (lcray == 'Y')
        gauss_seidel(phi);
    else
        line_solve(phi, e);
}

// The pressure correction's solver calls, with the block correction its
// settings ask for before every sweep (or before the first).
void solve_pressure_correction(const Field3& pcorr)
{
    const int e = 4, mode = blockcorr[e];
    for (int sweep = 1; sweep <= sweeps[e]; ++sweep) {
        if (mode == 1 || ((mode == 5 || mode == 6 || mode == 7) && sweep == 1)) block_correct(pcorr, e);
        if (mode == 4 && NoProcessesSolver > 0) block_correct_parallel(pcorr, e);
        sweep_once(pcorr, e);
    }
}

void debug_dump()
{
    for (int n = 1; n <= DebugDumpNo; ++n) {
        const DebugDumpRecord& d = DebugDump[n];
        if (d.equation != Equation) continue;
        const int i = d.i, j = d.j, k = d.k;
        Boogie log;
        if (log_unavailable(log)) return;
        log.print("Debug dump for (%d,%d,%d,%d)\n", i, j, k, Equation);
        log.print("f, ap, source = %e %e %e\n", f[i][j][k], wap[i][j][k], source[i][j][k]);
        log.print("fe, ae, flowe = %e %e %e\n", f[i - 1][j][k], ae[i][j][k], flow1[i - 1][j][k]);
        log.print("fw, aw, floww = %e %e %e\n", f[i + 1][j][k], aw[i][j][k], flow1[i][j][k]);
        log.print("fs, as, flows = %e %e %e\n", f[i][j - 1][k], as[i][j][k], flow2[i][j - 1][k]);
        log.print("fn, an, flown = %e %e %e\n", f[i][j + 1][k], an[i][j][k], flow2[i][j][k]);
        log.print("fb, ab, flowb = %e %e %e\n", f[i][j][k - 1], wab[i][j][k], flow3[i][j][k - 1]);
        log.print("ft, at, flowt = %e %e %e\n", f[i][j][k + 1], wat[i][j][k], flow3[i][j][k]);
        if (aee) {
            // Second neighbours of a cell next to the boundary layer lie beyond
            // the field: the outermost value stands in for them.
            const int ie = f.extent(0) - 1, je = f.extent(1) - 1, ke = f.extent(2) - 1;
            log.print("fee,aee = %e %e\n", f[std::max(i - 2, 0)][j][k], aee[i][j][k]);
            log.print("fww, aww = %e %e\n", f[std::min(i + 2, ie)][j][k], aww[i][j][k]);
            log.print("fss, ass = %e %e\n", f[i][std::max(j - 2, 0)][k], ass[i][j][k]);
            log.print("fnn, ann = %e %e\n", f[i][std::min(j + 2, je)][k], ann[i][j][k]);
            log.print("fbb, abb = %e %e\n", f[i][j][std::max(k - 2, 0)], abb[i][j][k]);
            log.print("ftt, att = %e %e\n", f[i][j][std::min(k + 2, ke)], att[i][j][k]);
        }
    }
}

// invAP = 1 / wap of the x momentum; a cell whose wap is not positive stops
// the run (the first such cell in i, j, k order is named).
bool inverse_central_coefficient()
{
    const int threads = parallel_mode() ? std::max(1, std::min(xnumber - 1, omp_get_max_threads())) : 1;
    std::vector<long> first_bad(threads, -1);
    const long ny = ynumber + 2, nz = znumber + 2;
    split_cells([&](int i1, int i2) {
        long& bad = first_bad[parallel_mode() ? omp_get_thread_num() : 0];
        for (int i = i1; i <= i2 && bad < 0; ++i)
            for (int j = 2; j <= ynumber && bad < 0; ++j)
                for (int k = 2; k <= znumber; ++k) {
                    if (wap[i][j][k] < 1e-30) {
                        bad = (i * ny + j) * nz + k;
                        break;
                    }
                    invAP[i][j][k] = 1.0 / wap[i][j][k];
                }
    });
    for (long bad : first_bad) {
        if (bad < 0) continue;
        const int i = static_cast<int>(bad / (ny * nz)), j = static_cast<int>(bad / nz % ny), k = static_cast<int>(bad % nz);
        log_append("Error, wap(%d,%d,%d) = %e\n", i, j, k, wap[i][j][k]);
        log_append("%s", zero_central_coefficient_hint(i, j, k).c_str());
        account_step("W stopped at iteration %ld: zero central coefficient in cell (%d,%d,%d); see boogie", Iter, i, j, k);
        set_statusf(mc_message, "Error, wap(%d,%d,%d) = %e\n", i, j, k, wap[i][j][k]);
        FlagErrorBreak = 1;
        return false;
    }
    return true;
}

// One momentum equation (Equation = 1, 2, 3).
Next momentum_equation(int e, const Field3& phi, const Field3& old, const Field3& old2)
{
    Equation = e;
    stamp(3 + e);
    wap.fill(0.0);
    source.fill(0.0);
    if (StressFlag == 1) StressOrt();
    wall_laws();
    add_pressure_gradient(e);
    joint_sources();
    momentum_source_terms(phi, old, old2);
    relax(phi, relaxVelocity, second_neighbours_filled());
    if (FlagScotti == 5 || FlagScotti == 8) damp_central_coefficient(FlagScotti);

    // Central coefficients: the central coefficient at least the diffusion's.
    if (FilledScheme == 2) {
        each_cell([](int i, int j, int k) {
            const double diffusive = gama[i][j][k] * (m_armap[i][j] / m_dist_z[i][j][k] + m_ar_y[i][j][k] / m_dist_y[i][j][k] + m_ar_x[i][j][k] / m_dist_x[i][j][k]);
            wap[i][j][k] = std::max(wap[i][j][k], diffusive);
            invAP[i][j][k] = 1.0 / wap[i][j][k];
        });
    } else if (e == 1 && !inverse_central_coefficient()) {
        return Next::Return;
    }
    if (e == 1) {
        if (RelaxRhieChow < 0 && invFlow)
            each_cell([](int i, int j, int k) {
                invFlow[i][j][k] = 2.0 / (std::fabs(flow3[i][j][k]) + std::fabs(flow3[i][j][k - 1]) + std::fabs(flow2[i][j][k]) +
                                          std::fabs(flow2[i][j - 1][k]) + std::fabs(flow1[i][j][k]) + std::fabs(flow1[i - 1][j][k]) + 1e-20);
            });
        if (simple != 'Y' && invAPC) {
            const bool twelve = second_neighbours_filled();
            each_cell([twelve](int i, int j, int k) { invAPC[i][j][k] = 1.0 / (wap[i][j][k] - neighbour_sum(i, j, k, twelve)); });
        }
    }
    if (FlagScotti == 4) damp_central_coefficient(4);
    f = phi;
    out_block_coefficients();
    if (lcray == 'Y') inverse_central();
    equation_residual(phi, e);
    if (blockcorr[e] == 4 && NoProcessesSolver > 0) block_correct_parallel(phi, e);
    if (blockcorr[e] == 1) block_correct(phi, e);
    for (int sweep = 1; sweep <= sweeps[e]; ++sweep) sweep_once(phi, e);
    if (FlagScotti >= 1 && FlagScotti <= 3) damp_velocity_near_bed(phi);
    if (OutBlockNo == 1) {
        const OutBlockRecord& b = OutBlock[1];
        for (int i = b.i1; i <= b.i2; ++i)
            for (int j = b.j1; j <= b.j2; ++j)
                for (int k = b.k1; k <= b.k2; ++k) phi[i][j][k] = 0.0;
    }
    debug_dump();
    stamp(6 + e);
    return Next::Go;
}

// The k (5) or epsilon (6) equation.
void turbulence_equation(int e, int scheme)
{
    Equation = e;
    const Field3 phi = e == 5 ? kinen : epsilon;
    const Field3 old = e == 5 ? kinen_old : epsilon_old, old2 = e == 5 ? kinen_old2 : epsilon_old2;
    eddy_diffusivity(e);
    coefficients_for(e, scheme);
    wap.fill(0.0);
    source.fill(0.0);
    if (slab_step(5))
        turbulence_terms_on_slabs(e);
    else
        turbulence_terms(e);
    wall_laws();
    joint_sources();
    if (TFStimeterm == 1 && transient()) time_term(phi, old, old2, FlagTimeOrder >= 2);
    if (FlagBedPoros == 1) extra_source();
    if (FlagDragDLL > 0) extra_sourceDLL();
    relax(phi, e == 5 ? relaxK : relaxEpsilon, second_neighbours_filled());
    f = phi;
    out_block_coefficients();
    if (lcray == 'Y') inverse_central();
    equation_residual(phi, e);
    // Epsilon takes no block correction over second-order coefficients.
    if (blockcorr[e] == 1 && (e == 5 || !second_neighbours_filled())) block_correct(phi, e);
    for (int sweep = 1; sweep <= sweeps[e]; ++sweep) sweep_once(phi, e);
    double* p = phi.data();
    const double floor = e == 5 ? 1e-12 : 1e-14;
    if (e == 6 || sou[5] > 0)
        for (std::size_t n = 0; n < phi.size(); ++n) p[n] = std::max(p[n], floor);
    debug_dump();
}

void k_epsilon(int scheme_k, int scheme_eps)
{
    turbulence_equation(5, scheme_k);
    if (!one_equation_model()) turbulence_equation(6, scheme_eps);
}

// Temperature of a transient run: implicit in time, line solver.
void temperature_equation(const Field3& saved)
{
    GammaCalc();
    coeffe_flow();
    f = temp;
    Equation = 8;
    // The inflow takes the temperature of the first series entry at or after
    // the present time; without a series it keeps the start-up profile (G 40)
    // rather than the 0 degrees of an empty entry.
    int n = 0;
    if (TimeInNo >= 1) {
        while (n < TimeInNo - 1 && TimeInTime[n] < stime) ++n;
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) temp[1][j][k] = Tempinn[n];
    }
    inner_cells([](int i, int j, int k) {
        const double mass = WaterDensity * 2.0 * m_armap[i][j] * m_dist_z[i][j][k] / TimeStep;
        wap[i][j][k] = ae[i][j][k] + aw[i][j][k] + an[i][j][k] + as[i][j][k] + wat[i][j][k] + wab[i][j][k] + mass;
        source[i][j][k] = mass * temp_old[i][j][k];
    });
    line_solve(temp, 8);
    line_solve(temp, 8);
    f = saved;
}

// Pressure correction: assemble, solve, correct (Equation 4).
void pressure_step(const Field3& pcorr)
{
    stamp(10);
    if (slab_step(3))
        waterflow_on_slabs();
    else
        waterflow();
    if (slab_step(6))
        pressure_correction_on_slabs();
    else
        pressure_correction();
    const int z = znumber;
    if (FlagTFS == 1)
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j) wat[i][j][z] = 0.0;
    each_cell([](int i, int j, int k) {
        wap[i][j][k] = ae[i][j][k] + aw[i][j][k] + an[i][j][k] + as[i][j][k] + wat[i][j][k] + wab[i][j][k];
        // A cell coupled to nothing (inside an out-block) keeps a zero correction.
        if (wap[i][j][k] < 1e-30) wap[i][j][k] = 1e30;
    });
    if (FlagTFS == 1)
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j) {
                wap[i][j][z] = 1e30;
                source[i][j][z] = 0.0;
            }
    Equation = 4;
    f = pcorr;
    equation_residual(pcorr, 4);
    pcorr.fill(0.0);
    if (lcray == 'Y') inverse_central();
    stamp(11);
    solve_pressure_correction(pcorr);
    stamp(12);
    if (FlagTFS == 1 && TFSpreszero == 1)
        inner_cells([&pcorr](int i, int j, int k) {
            if (relaxPressure * pcorr[i][j][k] + Pres[i][j][k] < 0.0) pcorr[i][j][k] = -Pres[i][j][k] / relaxPressure;
        });
    if (slab_step(4))
        correct_flow_on_slabs(pcorr);
    else
        correct_flow(pcorr);
    stamp(13);
}

struct Defect {
    double total = 0.0, largest = -1.0;
    int i = 2, j = 2, k = 2;
};

Defect continuity_defect()
{
    Defect d;
    inner_cells([&d](int i, int j, int k) {
        d.total += source[i][j][k];
        if (std::fabs(source[i][j][k]) > d.largest) {
            d.largest = std::fabs(source[i][j][k]);
            d.i = i, d.j = j, d.k = k;
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
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k) {
            const double a = m_ar_x[i][j][k];
            energy += 0.5 * (Pres[i][j][k] + Pres[i + 1][j][k]) * a + flow1[i][j][k] * flow1[i][j][k] / (a + 1e-30) * 5.0969e-08;
            area += a;
        }
    log_append("Specifice energy for section %d = %e\n", i, energy / (area + 1e-30));
}

// Copies the cells of one field into another (time levels).
void copy_cells(const Field3& from, const Field3& to)
{
    if (!from || !to) return;
    each_cell([&](int i, int j, int k) { to[i][j][k] = from[i][j][k]; });
}

void shift_time_levels(long first)
{
    auto older = [] {
        if (FlagTimeOrder != 0) {
            copy_cells(xvel_old, xvel_old2);
            copy_cells(yvel_old, yvel_old2);
            copy_cells(zvel_old, zvel_old2);
        }
        if (FlagTimeOrder >= 2) {
            copy_cells(kinen_old, kinen_old2);
            copy_cells(epsilon_old, epsilon_old2);
        }
    };
    auto current = [] {
        copy_cells(xvel, xvel_old);
        copy_cells(yvel, yvel_old);
        copy_cells(zvel, zvel_old);
        copy_cells(kinen, kinen_old);
        copy_cells(epsilon, epsilon_old);
    };
    if (first > 1) {
        older();
        current();
    } else {
        current();
        older();
    }
}

// Bed shear stress from the bed-cell velocity (algebraic models), from k
// (the k-epsilon and k-omega families, the near-bed damped k-epsilon models
// included), or from the rough-wall law of the bed cell (the one-equation
// model, whose k array holds the modified eddy viscosity).
void bed_shear_stress()
{
    const int model = TurbulenceModel;
    const bool algebraic = algebraic_model();
    const bool k_eps = model < 2 || model > 14 || damped_model();
    const bool log_law = one_equation_model();
    if (!algebraic && !k_eps && !log_law) return;
    for (int i = 1; i <= xnumber + 1; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            if (log_law) {
                const double e = std::max(std::log(30.0 * m_dist_z[i][j][2] / (Xks[i][j] + 1e-20)), 0.01) / Xkappa;
                const double u = xvel[i][j][2], v = yvel[i][j][2];
                bedshear[i][j] = 1000.0 * (u * u + v * v) / (e * e);
            } else if (algebraic) {
                const double x = std::max(8.0 * m_dist_z[i][j][2] / (Xks[i][j] + 1e-7), 1.1);
                const double u = xvel[i][j][2], v = yvel[i][j][2];
                bedshear[i][j] = 1000.0 * 0.16 * (u * u + v * v) / (std::log(x) * std::log(x));
            } else if (FlagMaxShear == 0) {
                bedshear[i][j] = bed_shear_from_k(kinen[i][j][2]);
            } else {
                double k_max = 0.0;
                for (int k = 2; k <= std::min(znumber, FlagMaxShear + 2); ++k) k_max = std::max(k_max, kinen[i][j][k]);
                bedshear[i][j] = bed_shear_from_k(k_max);
            }
        }
}

// Forces of the pressure on the out-blocks: during a transient free-surface
// run at the F 53 interval, and once at the end of a steady run, from the
// pressure of the cells just outside each face of the box.
void write_forces()
{
    std::FILE* fp = std::fopen("forcelog", "a");
    if (!fp) {
        set_status(mc_message, "cannot open file 'forcelog' ");
        end_run(-3);
    }
    for (int n = 1; n <= OutBlockNo; ++n) {
        const OutBlockRecord& b = OutBlock[n];
        double force[2] = {0.0, 0.0};
        for (int c = 0; c < 2; ++c) {
            for (int i = b.i1; i <= b.i2; ++i)
                for (int k = b.k1; k <= b.k2; ++k)
                    force[c] += Pres[i][b.j1 - 1][k] * m_ar_y[i][b.j1 - 1][k] * m_vec_y[i][b.j1 - 1][c] -
                                Pres[i][b.j2 + 1][k] * m_ar_y[i][b.j2][k] * m_vec_y[i][b.j2][c];
            for (int j = b.j1; j <= b.j2; ++j)
                for (int k = b.k1; k <= b.k2; ++k)
                    force[c] += Pres[b.i1 - 1][j][k] * m_ar_x[b.i1 - 1][j][k] * m_vec_x[b.i1 - 1][j][c] -
                                Pres[b.i2 + 1][j][k] * m_ar_x[b.i2][j][k] * m_vec_x[b.i2][j][c];
        }
        std::fprintf(fp, "Forces on block %d : %lg, %lg N in x and y direction\n", n, force[0], force[1]);
    }
    std::fclose(fp);
}

// The cyclic channel: the outflow profile becomes the inflow, with the inflow discharge kept.
void recycle_outflow_profile()
{
    auto inflow = [] {
        double q = 0.0;
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) q += xvel[1][j][k] * m_ar_x[1][j][k] * m_vec_x[1][j][0];
        return q;
    };
    const double before = inflow();
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k)
            for (Field3* field : {&xvel, &zvel, &kinen, &epsilon}) (*field)[1][j][k] = (*field)[xnumber][j][k];
    const double scale = before / (inflow() + 1e-30);
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k) xvel[1][j][k] *= scale;
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
        log.print("Cont: %8.2e, DefMax: %8.2e, U,V,W(%d,%d,%d): %8.2e %8.2e %8.2e\n", defect.total, defect.largest, defect.i, defect.j, defect.k,
                  xvel[defect.i][defect.j][defect.k], yvel[defect.i][defect.j][defect.k], zvel[defect.i][defect.j][defect.k]);
        if (FlagTemp == 1) log.print("Temp. residual: %lf\n", MaxResidual[7]);
        if (debugging == 'D' || debugging == 'P')
            for (int n = 1; n <= 33; ++n) log.print("OpenMP %d = %.16g\n", n, otime[n] - otime[0]);
    }

    write_results_when_due(last_inner, res_max, sprintflow);
    set_statusf(mc_v2, "zvel[2][2][2]: %8.2e", zvel[2][2][2]);
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
            if (own_run()) account_step("W converged at iteration %ld (largest residual %.1e) in %.0f s", Iter, res_max, elapsed());
            gFlagFlow = 0;
            if (OutBlockNo > 0 && FlagTFS != 1) write_forces();
            sprintflow();
            if (FlagTFS > 0) writespider();  // the surface the results stand on, for letter X
            return Next::Return;
        }
    }
    // A field that is no number any more has diverged as well.
    if (!(static_cast<float>(res_max) <= 1e10f)) {
        log.print("Solution diverged\n");
        log.print("%s", divergence_hint(equation).c_str());
        set_status(mc_message, "Solution diverged  ");
        account_step("W diverged at iteration %ld (largest residual %.1e, equation %d); see boogie", Iter, res_max, equation);
        FlagErrorBreak = 1;
        gFlagFlow = 0;
        return Next::Return;
    }
    if (std::fabs(defect.total) / NormResidual[4] > 1e-6 && FlagTFS == 0) {
        double in = 0.0, out = 0.0, top = 0.0;
        for (int j = 2; j <= ynumber - 1; ++j)
            for (int k = 2; k <= znumber - 1; ++k) {
                in += flow1[1][j][k];
                out += flow1[xnumber][j][k];
            }
        for (int i = 2; i <= xnumber - 1; ++i)
            for (int j = 2; j <= ynumber - 1; ++j) top += flow3[i][j][znumber];
        log.print("Error in continuity-ssimple\n");
        log.print("Fluxes: %lf %lf %lf\n", in, out, top);
        account_step("W stopped at iteration %ld: error in continuity; see boogie", Iter);
        set_status(mc_message, "Error in continuity  ");
        gFlagFlow = 0;
        FlagErrorBreak = 1;
        return Next::Return;
    }
    log.close();

    if (PresRegres > 0) {
        ++RegIter;
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j)
                Pres[i][j][znumber + 1] = Pres[i][j][znumber + 1] * (1.0 - 1.0 / RegIter) + Pres[i][j][znumber] / RegIter;
    }
    if (is_multiple(Iter, IterSurface) && res_max < ConvSurface && FlagTFS == 0 && FlagRoof == 1) surface();
    bed_shear_stress();
    return Next::Go;
}

// The end of the outer iterations: a transient run has made its time steps;
// a steady run that gets here has not converged, and says so.
void iteration_limit(double res_max, int equation)
{
    account_iteration_limit("W", iterGlobalMax, res_max, equation, elapsed());
}

// One inner iteration.
// `series_boundary`: the step takes time-series boundary values of a new
// time, so the boundary values are set even in the first inner iteration of
// the first step (which otherwise keeps those of the start-up).
Next inner_iteration(bool series_boundary, int inner, const Field3& pcorr, bool& higher_order_at_entry, double& res_max, int& res_equation, bool last_inner)
{
    set_status(mc_program, " MB-Flow             ");
    stamp(1);
    if (FlagGridChange == 1) {
        FlagGridChange = 0;
        metric();
        smetric();
        startup();
        boundary();
        waterflow();
        for (int i = 1; i <= xnumber; ++i)
            for (int j = 1; j <= ynumber; ++j)
                for (int k = 1; k <= znumber; ++k) {
                    Xc[i][j][k] = xval[i][j];
                    Yc[i][j][k] = yval[i][j];
                }
    }
    if (FlagFlowParamChange == 1) {
        FlagFlowParamChange = 0;
        bool wanted = false;
        for (int e = 1; e <= 6; ++e) wanted = wanted || sou[e] == 1 || sou[e] == 3;
        if (!higher_order_at_entry && wanted) {
            sialloc();
            higher_order_at_entry = true;
        }
    }
    if (!(Iter == 1 && inner == 1) || series_boundary) boundary();
    stamp(2);

    Equation = 1;
    eddy_diffusivity(1);
    coefficients_for(1, sou[5]);
    if (FlagScotti == 6 || FlagScotti == 7) damp_coefficients_near_bed();
    stamp(3);

    const Field3 velocity[3] = {xvel, yvel, zvel};
    const Field3 old[3] = {xvel_old, yvel_old, zvel_old}, old2[3] = {xvel_old2, yvel_old2, zvel_old2};
    for (int e = 1; e <= 3; ++e)
        if (momentum_equation(e, velocity[e - 1], old[e - 1], old2[e - 1]) == Next::Return) {
            f = pcorr;
            gFlagFlow = 0;
            return Next::Return;
        }
    if (TurbulenceModel <= 1 && FlagFluxTurb == 2) k_epsilon(sou[5], sou[6]);

    pressure_step(pcorr);
    fix_pressure_level();
    const Defect defect = continuity_defect();
    if (SpecEnergy > 0) specific_energy();
    Equation = 4;
    debug_dump();

    if (solves_turbulence_transport() && FlagFluxTurb < 2) {
        if (FlagFluxTurb == 1) waterflow();
        k_epsilon(sou[5], sou[5]);
        f = pcorr;
    }
    stamp(14);
    if (transient() && FlagTemp == 1 && temp && temp_old) temperature_equation(pcorr);
    stamp(15);
    return report_and_test(last_inner, defect, res_max, res_equation);
}

}  // namespace

void WaterSolve()
{
    const Field3 pcorr = f;  // the pressure-correction array
    startup();
    if (FlagInitialized == 0) {
        boundary();
        waterflow();
    }
    FlagInitialized = 1;
    bool higher_order_at_entry = false;
    for (int e = 1; e <= 6; ++e) higher_order_at_entry = higher_order_at_entry || ((sou[e] == 1 || sou[e] == 3) && aee);
    FlagFlowParamChange = 0;

    if (FlagTFS == 1 && TFSuslope > 0) {
        for (int i = 2; i <= xnumber; ++i)
            for (int j = 1; j <= ynumber; ++j) LineI[i][j] = std::hypot(xval[i][j] - xval[i - 1][j], yval[i][j] - yval[i - 1][j]);
        for (int i = 1; i <= xnumber; ++i)
            for (int j = 2; j <= ynumber; ++j) LineJ[i][j] = std::hypot(xval[i][j] - xval[i][j - 1], yval[i][j] - yval[i][j - 1]);
    }
    if (TimePrintNo > 0 && FlagTSC == 0 && !create_timeo()) {
        set_status(mc_message, "cannot open file 'timeo' ");
        end_run(-3);
    }
    const long first = FlagTSC > 0 ? Iter : 1;
    if (transient() && FlagTSC == 0) stime = 0.0;
    if (FlagTSC == 0) otime[0] = omp_get_wtime();
    solve_started = omp_get_wtime();
    progress_start();

    Iter = first;
    if (Iter > iterGlobalMax) {
        if (FlagTSC == 0) sprintflow();
        gFlagFlow = 0;
        return;
    }
    double res_max = 0.0;
    int res_equation = 1;
    while (true) {
        ++PrintResIter;
        if (FlagTSC == 0) choose_logged_iteration();
        if (FlagPrint == 0)
            for (double& t : otime) t = otime[0];
        if (FlagTFS == 1) inner_cells([](int i, int j, int k) {
                if (std::fabs(Pres[i][j][k]) < 1e-20) Pres[i][j][k] = 0.0;
            });
        if (transient()) shift_time_levels(first);
        if (transient() && FlagTemp == 1) copy_cells(temp, temp_old);
        if (TimePrintNo > 0 && FlagTSC == 0 && is_multiple(Iter, PrintIterTime) && !append_timeo_line()) {
            set_status(mc_message, "cannot open file 'timeo' ");
            end_run(-3);
        }
        // The time of a transient run moves with the surface routine at the
        // end of the step (surface_tfs, or surface under a free surface);
        // without one it moves here, so that the step takes the boundary
        // values of its end time, as the transient morphology's steps do.
        const bool time_moves_here = transient() && FlagTSC == 0 && FlagTFS != 1 && !(FlagTFS == 2 && FlagRoof == 1);
        if (time_moves_here) stime += TimeStep;

        for (int inner = 1; inner <= TransInnerIter; ++inner) {
            const bool last_inner = inner == TransInnerIter;
            const bool series_boundary = time_moves_here && TimeInNo > 0;
            if (inner_iteration(series_boundary, inner, pcorr, higher_order_at_entry, res_max, res_equation, last_inner) == Next::Return) {
                f = pcorr;
                progress_end();
                return;
            }
            // A transient step ends early once its residual is small enough.
            if (transient() && res_max < TimeBreakLimit) break;
        }

        if (FlagTFS == 1) {
            if (OutBlockNo > 0 && is_multiple(Iter, PrintIterForce)) write_forces();
            surface_tfs();
        }
        if ((FlagTFS == 2 || FlagTFS == 3) && static_cast<float>(res_max) < 10000.0f && FlagRoof == 1) surface();
        ++Iter;
        if (Iter > iterGlobalMax) {
            if (own_run()) iteration_limit(res_max, res_equation);
            if (OutBlockNo > 0 && FlagTFS != 1 && !transient()) write_forces();
            if (FlagTSC == 0) sprintflow();
            if (FlagTSC == 0 && FlagTFS > 0) writespider();
            gFlagFlow = 0;
            f = pcorr;
            progress_end();
            return;
        }
    }
}

}  // namespace zefra
