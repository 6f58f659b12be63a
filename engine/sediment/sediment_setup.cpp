// Sediment set-up of letter I: from a computed flow, the bed concentration of
// every size, the fractions of the inflow boundary, an initial concentration
// field with a Rouse profile above the bed cell, the inflow profile scaled to
// the given sediment load, the totals, point and area sources, the restart
// files, and optionally the bed composition from the local turbulence.
#include "engine/sediment/sediment_setup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/common/boogie.h"
#include "engine/common/physics.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/sediment/bed_concentration.h"
#include "engine/sediment/restart_files.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_plugins.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"

namespace zefra {

namespace {

constexpr double SpecificWeight = WaterDensity * Gravity;  // 9810 N/m3
constexpr double MinShear = 0.0001;                        // N/m2: below it the shear velocity is fixed
constexpr double MinShearVelocity = 0.00031622776601683794;  // sqrt(MinShear / 1000)
constexpr double NoSuspension = 10.0;                      // Rouse number above which nothing is suspended
constexpr double InflowRouseSmallZ0 = 0.02;                // Rouse number of the inflow row with F 7 Z

int sizes()
{
    return std::min(lnumber, SizeCapacity - 1);
}

// Bed shear of the inflow by the Manning-Strickler formula.
void report_inflow_shear(Boogie& log)
{
    const double v = avvelocity[1] / ManArray[0];
    log.print("Shear in entrance: %lg \n", SpecificWeight * v * v / std::pow(radius[1], 0.3333));
}

// The bed shear of the end rows from their inner neighbours.
void complete_bed_shear_ends()
{
    for (int j = 1; j <= ynumber; ++j) {
        bedshear[xnumber + 1][j] = bedshear[xnumber][j];
        bedshear[1][j] = bedshear[2][j];
    }
}

// Bed shear under a plant canopy of height Xks: the momentum the canopy
// takes out of the flow below its top (FlagScotti 11 to 13), plus the
// turbulent share 0.3 rho k of the bed cell for 11 and 12.
void canopy_bed_shear()
{
    const double P = ParamScotti;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double H = Xks[i][j];
            const double top = FlagScotti == 12 ? H * P : H;  // canopy part that slows the flow
            double sum = 0.0;
            if (znumber >= 3) {
                double z = 0.0;
                for (int k = 2; k <= znumber - 1; ++k) {
                    const double half = m_dist_z[i][j][k];
                    z += half;  // centre of the cell
                    if (z > top) break;
                    const double u = xvel[i][j][k];
                    const double drag = WaterDensity * std::fabs(u) * u * half;
                    const double part = FlagScotti == 12 ? drag * (1.0 - z / (H * P + 1e-30)) / (H * P + 1e-30)
                                                         : drag * (1.0 - z / (H + 1e-30)) * (1.0 - P) / (H + 1e-30);
                    if (k > 2 || FlagScotti == 13) sum += part;
                    z += half;  // top of the cell
                }
            }
            bedshear[i][j] = sum;
            if (FlagScotti != 13) bedshear[i][j] += 300.0 * kinen[i][j][2];
        }
    for (int j = 2; j <= ynumber; ++j) {
        bedshear[1][j] = bedshear[2][j];
        bedshear[xnumber + 1][j] = bedshear[xnumber][j];
    }
}

// Names the transport formula; an unknown one ends the run.
void announce_formula(Boogie& log, bool progress)
{
    const char* text = nullptr;
    switch (SedimentFormula) {
    case 'R': text = "Using van Rijn's method "; break;
    case 'E': text = "Using Engelund-Hansen's total load formula\n"; break;
    case 'I': text = "Using Einstein's beload formula\n"; break;
    case 'S': text = "Using Shen and Hung's formula\n"; break;
    case 'A': text = "Using Ackers and White's formula\n"; break;
    case 'Y': text = "Using Yang's streampower formula\n"; break;
    case 'M': text = "Using Mayer-Peter-Mueller's bedload formula\n"; break;
    default:
        log.print("Error in bed concentration calling - suspinit\n");
        log.close();
        end_run(1);
    }
    if (!progress) return;
    log.print("%s", text);
    if (SedimentFormula == 'R') log.print("with parameters: %lf %lf %lf\n", ConcFormCoeff, ConcFormTstar, ConcFormDstar);
}

// Every size needs a diameter.
bool diameters_given(Boogie& log)
{
    for (int l = 1; l <= sizes(); ++l)
        if (gsize[l] < 1e-30) {
            log.print("Error, diameter for size %d = %lf\n", l, gsize[l]);
            return false;
        }
    return true;
}

// The inflow boundary takes the bed fractions of the first row; a size that
// flows in but is missing there gets a small share.
void inflow_fractions()
{
    for (int l = 1; l <= sizes(); ++l)
        for (int j = 2; j <= ynumber; ++j)
            bedgrain[l][1][j] = bedgrain[l][2][j] < 1e-10 && inflow[l] > 1e-10 ? 0.01 : bedgrain[l][2][j];
    for (int j = 2; j <= ynumber; ++j) {
        double sum = 1e-30;
        for (int l = 1; l <= sizes(); ++l) sum += bedgrain[l][1][j];
        for (int l = 1; l <= sizes(); ++l) bedgrain[l][1][j] /= sum;
    }
}

// The first concentration field: the bed concentration times the bed
// fraction in the bed cell, and above it the Rouse profile
//   c(z) = c_b ((H - z) / z  a / (H - a))^Z,   Z = w / (kappa u*),
// with z and H measured from the centre of the bed cell and a its half height.
void rouse_profiles(Boogie& log)
{
    const int z_top = znumber;
    for (int l = 1; l <= sizes(); ++l)
        for (int i = 1; i <= xnumber + 1; ++i)
            for (int j = 2; j <= ynumber; ++j) {
                double* c = conc[l][i][j].data();
                const double* half = m_dist_z[i][j].data();
                const double c_b = c[0] * bedgrain[l][i][j] + 1e-15;
                c[1] = c[2] = c_b;
                if (debugging == 'D' && c_b > 1e-15) log.print("Init: conc(%d,%d,%d,2) = %e\n", l, i, j, c_b);

                const double u_star = bedshear[i][j] >= MinShear ? std::sqrt(bedshear[i][j] / WaterDensity) : MinShearVelocity;
                const bool small_z0_inflow = i == 1 && FlagZ0Small == 1;
                const double Z = small_z0_inflow ? InflowRouseSmallZ0 : fallvelo[l] / (Kappa * u_star);
                if (Z > NoSuspension) {
                    for (int k = 3; k <= z_top; ++k) c[k] = 0.0;
                } else {
                    double H = half[2];
                    for (int k = 3; k <= z_top; ++k) H += 2.0 * half[k];
                    const double a = blevel[i][j];
                    double z = 0.0;
                    for (int k = 3; k <= z_top; ++k) {
                        z += half[k - 1] + half[k];
                        c[k] = c_b * std::pow((H - z) / z * (a / (H - a)), Z);
                    }
                }
                c[z_top + 1] = c[z_top + 2] = 0.0;
            }
    log.print("conc(1,2,2,2)=%e\n", conc[1][2][2][2]);
}

// Scales the inflow profile of each size so that the load through the
// inflow face equals the given inflow (kg/s).
void scale_inflow(Boogie& log, bool progress)
{
    for (int l = 1; l <= sizes(); ++l) {
        double flux = 0.0;
        for (int j = 2; j <= ynumber; ++j) {
            const double nx = m_vec_x[1][j][0], ny = m_vec_x[1][j][1];
            for (int k = 2; k <= znumber; ++k)
                flux += m_ar_x[1][j][k] * (xvel[1][j][k] * nx + yvel[1][j][k] * ny) * conc[l][1][j][k];
        }
        const double load = flux * WaterDensity * density;
        const double ratio = inflow[l] / (1e-30 + load);
        if (progress) {
            log.print("Initial bed material load is %e kg/s for size %lf meters\n", load, gsize[l]);
            log.print("Corr. between calc. and given inflow of sediments\n");
            log.print("in upstream profile for l = %d is: %lg\n\n", l, ratio);
        }
        for (int i = 0; i <= 1; ++i)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = 2; k <= znumber; ++k) conc[l][i][j][k] *= ratio;
    }
}

void total_concentration()
{
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                double sum = 0.0;
                for (int l = 1; l <= sizes(); ++l) sum += conc[l][i][j][k];
                conc[0][i][j][k] = sum;
            }
}

// A box of cells, bounds included.
struct Box {
    int i1, i2, j1, j2, k1, k2;
};

// Clips a box to the cells the concentration array holds (the reader lets
// indices reach the grid size + 4); true when it fitted as it was.
bool clip_to_grid(Box& b)
{
    const Box in = b;
    b.i1 = std::max(b.i1, 0);
    b.j1 = std::max(b.j1, 0);
    b.k1 = std::max(b.k1, 0);
    b.i2 = std::min(b.i2, conc.extent(1) - 1);
    b.j2 = std::min(b.j2, conc.extent(2) - 1);
    b.k2 = std::min(b.k2, conc.extent(3) - 1);
    return !(b.i1 != in.i1 || b.j1 != in.j1 || b.k1 != in.k1 || b.i2 != in.i2 || b.j2 != in.j2 || b.k2 != in.k2);
}

bool empty(const Box& b)
{
    return b.i1 > b.i2 || b.j1 > b.j2 || b.k1 > b.k2;
}

void fill_box(int l, const Box& b, double value)
{
    for (int i = b.i1; i <= b.i2; ++i)
        for (int j = b.j1; j <= b.j2; ++j)
            for (int k = b.k1; k <= b.k2; ++k) conc[l][i][j][k] = value;
}

// Clips the box of a source to the grid, with a warning naming `source` when
// it had to be clipped; false when nothing of it is left.
bool source_in_grid(Boogie& log, const char* source, Box& b)
{
    const Box given = b;
    if (clip_to_grid(b)) return true;
    if (empty(b)) {
        log.print("Warning, %s outside the grid, not used: i %d-%d, j %d-%d, k %d-%d\n", source, given.i1, given.i2, given.j1, given.j2,
                  given.k1, given.k2);
        return false;
    }
    log.print("Warning, %s clipped to the grid: i %d-%d, j %d-%d, k %d-%d\n", source, b.i1, b.i2, b.j1, b.j2, b.k1, b.k2);
    return true;
}

// Point source (G 4: one cell, G 5: a box) of every size, then the area
// sources of G 20, each for its own size.
void impose_sources(Boogie& log)
{
    if (i_pointsource > 0) {
        Box b{i_pointsource, i_pointsource, j_pointsource, j_pointsource, k_pointsource, k_pointsource};
        if (i2_pointsource > 0) b = {i_pointsource, i2_pointsource, j_pointsource, j2_pointsource, k_pointsource, k2_pointsource};
        if (source_in_grid(log, "point source", b))
            for (int l = 1; l <= sizes(); ++l) fill_box(l, b, pointsource[l]);
    }
    for (int n = 0; n < AreaSourceNo; ++n) {
        const AreaSourceRecord& r = AreaSource[n];
        if (r.size < 1 || r.size > sizes()) continue;
        Box b{r.i1, r.i2, r.j1, r.j2, r.k1, r.k2};
        char name[40];
        std::snprintf(name, sizeof name, "G 20 area source %d", n + 1);
        if (source_in_grid(log, name, b)) fill_box(r.size, b, r.value);
    }
}

// Why a restart file was not used, when it was not.
void report_restart_file(Boogie& log, const char* name, RestartRead result)
{
    switch (result) {
    case RestartRead::Read: break;
    case RestartRead::Missing: log.print("No %s file: the set-up values stay\n", name); break;
    case RestartRead::OutsideGrid: log.print("Error, %s names a cell outside the grid: the file is not used\n", name); break;
    case RestartRead::Unreadable: log.print("Error, %s is incomplete or holds a field that is not a number: the file is not used\n", name); break;
    }
}

void read_restart_files(Boogie& log)
{
    RestartReport report;
    const int result = readConRes(report);
    report_restart_file(log, "conres", report.conres);
    report_restart_file(log, "fracres", report.fracres);
    log.print(result == FracresRead ? "Have read conres and fracres files \n" : "Have not read both conres and fracres files \n");
}

// Bed composition from the turbulence of the bed cell: grains finer than
// the critical diameter d_c of the bed shear are taken as mobile.  F is the
// cumulative share finer than a size, 1.32878 log10(d/d_c) + 0.6 between
// d/d_c = 0.354 and 2; sizes run from the coarsest (l = 1) to the finest.
void shields_bed_composition(Boogie& log)
{
    log.print("Using Shield's initialization for bed grain size distribution\n");
    const int n = sizes();
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double critical =
                300.0 * kinen[i][j][2] / (std::fabs(shieldscoeff) * (density - 1.0) * SpecificWeight + 1e-30);
            const double d_c = std::max(critical, 2e-6);
            bedgrain[0][i][j] = 0.0;
            double F[SizeCapacity + 1] = {};
            for (int l = 1; l <= n; ++l) {
                const double r = gsize[l] / d_c;
                F[l] = r < 0.354 ? 0.0 : r >= 2.0 ? 1.0 : 1.32878 * std::log10(r) + 0.6;
            }
            F[1] = 1.0;
            double sum = 0.0;
            for (int l = 1; l <= n; ++l) {
                bedgrain[l][i][j] = l < n ? F[l] - F[l + 1] : F[n];
                sum += bedgrain[l][i][j];
            }
            if (sum < 0.99 || sum > 1.01) log.print("Error in sum fraction in BedInitDistrib, sum(%d,%d) = %lf\n", i, j, sum);
            for (int l = 1; l <= n; ++l)
                if (bedgrain[l][i][j] < 0.0 || bedgrain[l][i][j] > 1.0)
                    log.print("Error in in BedInitDistrib, bedgrain(%d,%d,%d) = %lf\n", i, j, l, bedgrain[l][i][j]);
        }
}

}  // namespace

void suspinit()
{
    // With F 1 E the progress messages are left out; errors are always logged.
    const bool progress = debugging != 'E';
    Boogie log;
    log.require(-3);
    if (progress) {
        set_status(mc_message, " Initializing sediment conc.");
        set_status(mc_program, " In suspinit                ");
        log.print(" In suspinit\n\n");
        report_inflow_shear(log);
    }

    complete_bed_shear_ends();
    if (FlagScotti >= 11 && FlagScotti <= 13) canopy_bed_shear();
    announce_formula(log, progress);
    if (!diameters_given(log)) return;

    if (FlagBedDLL < 1) {
        if (SedimentFormula == 'R')
            concRijn();
        else
            concEngelund();
        log.print("Have calculated bed sediment concentration\n");
    } else {
        log.print("Bed concentrations are left to the external module of F 111\n");
    }

    inflow_fractions();
    rouse_profiles(log);
    scale_inflow(log, progress);
    total_concentration();
    impose_sources(log);
    read_restart_files(log);
    if (BedFlags[0] == 1 && lnumber >= 2) shields_bed_composition(log);
}

}  // namespace zefra
