// Initial water surface and first flow field.
//
// `initial` (open channel): a one-dimensional backwater computation with the
// Manning-Strickler law, marching upstream from the given downstream level
// through the cross-sections listed in W 2, with critical depth as the limit;
// the levels are interpolated to every node line and the vertical grid lines
// of each column are moved so that the top node lies on the surface.  The
// first velocity field is a logarithmic profile scaled to the section's mean
// velocity, the eddy viscosity grows linearly from the bed up to 0.3 of the
// depth and is constant above.
//
// `initial_tunnel` (closed conduit): uniform velocity per section, no surface.
//
// Both are called by Initial before the block connection and the start-up;
// `initial` is called again by run letter V.
#include "engine/startup/initial_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/common/boogie.h"
#include "engine/common/physics.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/grid/columns.h"
#include "engine/grid/metric.h"
#include "engine/startup/bed_logg.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"

namespace zefra {

namespace {

constexpr int MaxTrials = 99;
constexpr const char* StoredBedChanges = "loggfil.pre";

int middle_line()
{
    return ynumber / 2 + 1;
}

double plan_distance(int i1, int j1, int i2, int j2)
{
    const double dx = xval[i2][j2] - xval[i1][j1], dy = yval[i2][j2] - yval[i1][j1];
    return std::sqrt(dx * dx + dy * dy);
}

// Distance along the middle grid line from node line `from` to node line `to` (from < to).
double distance_along(int from, int to)
{
    const int jm = middle_line();
    double d = 0.0;
    for (int i = from + 1; i <= to; ++i) d += plan_distance(i - 1, jm, i, jm);
    return d;
}

bool run_string_has(char letter)
{
    return std::memchr(run, letter, RunLettersExecuted) != nullptr;
}

bool file_exists(const char* name)
{
    std::FILE* fp = std::fopen(name, "r");
    if (fp) std::fclose(fp);
    return fp != nullptr;
}

using Section = CrossSection;

Section section_at(int i, double h)
{
    if (ynumber == 1) return {0.0, 0.0, 0.0};
    long double area = 0, perimeter = 0;
    for (int j = 1; j < ynumber; ++j) {
        const double l = plan_distance(i, j, i, j + 1);
        const double zb1 = zval[i][j][1], zb2 = zval[i][j + 1][1];
        area += 0.5L * (std::max(h - zb1, 0.0) + std::max(h - zb2, 0.0)) * l;
        perimeter += std::sqrt(l * l + (zb2 - zb1) * (zb2 - zb1));
    }
    return {static_cast<double>(area), static_cast<double>(perimeter), static_cast<double>(area / (perimeter + 1e-10))};
}

// Moves the nodes of column (i, j) so that its top lies at h; the bed stays.
void relevel_column(int i, int j, double h)
{
    const double bed = zval[i][j][1], top = zval[i][j][znumber];
    if (std::fabs(top - bed) > 1e-12) {
        for (int k = 2; k <= znumber; ++k) zval[i][j][k] = bed + (zval[i][j][k] - bed) * (h - bed) / (top - bed);
    } else {
        // A column without height cannot be stretched: spread its nodes evenly.
        for (int k = 2; k <= znumber; ++k) zval[i][j][k] = bed + (h - bed) * (k - 1) / (znumber - 1);
    }
}

// Re-levels every column of section i to h.  With the minimum-depth rule a
// column whose bed reaches up to h - d_min is first laid from h - d_min to h.
void relevel_section(int i, double h, double min_depth, bool keep_min_depth)
{
    for (int j = 1; j <= ynumber; ++j) {
        if (keep_min_depth && zval[i][j][1] >= h - min_depth)
            for (int k = 1; k <= znumber; ++k) zval[i][j][k] = (k - 1.0) / (znumber - 1) * min_depth + h - min_depth;
        relevel_column(i, j, h);
    }
}

// Minimum water depth of a column: F 23, else 1.5 % of the mean cell length
// along the middle grid line.
double minimum_depth()
{
    if (FillCriteria >= 1e-5) return FillCriteria;
    return 0.015 * distance_along(1, xnumber) / xnumber;
}

std::vector<double> bed_levels()
{
    std::vector<double> beds;
    beds.reserve(static_cast<std::size_t>(xnumber) * ynumber);
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) beds.push_back(zval[i][j][1]);
    return beds;
}

// What the minimum-depth rule did to dry ground: banks and floodplains above
// the surface were dug down to a shelf of the minimum depth.  Users cannot
// see this in the grid they wrote, and it governs how the run converges.
void report_lowered_beds(Boogie& log, const std::vector<double>& before, double min_depth)
{
    int lowered = 0, at_i = 0, at_j = 0;
    double most = 0.0;
    std::size_t n = 0;
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j, ++n) {
            const double drop = before[n] - zval[i][j][1];
            if (drop <= 0.0) continue;
            ++lowered;
            if (drop > most) {
                most = drop;
                at_i = i;
                at_j = j;
            }
        }
    const char* origin = FillCriteria >= 1e-5 ? "F 23" : "1.5 % of the mean cell length; F 23 sets it";
    if (lowered == 0)
        log.print("Minimum depth %.3f m (%s): no bed node lowered\n", min_depth, origin);
    else
        log.print("Minimum depth %.3f m (%s): %d of %d bed nodes lowered to give their columns that depth, the most by %.3f m at node (%d,%d)\n",
                  min_depth, origin, lowered, xnumber * ynumber, most, at_i, at_j);
}

// Stores the section values of section i at its level h.
void store_section(int i, double h)
{
    const Section sec = section_at(i, h);
    radius[i] = sec.radius;
    avvelocity[i] = discharge / (sec.area + 1e-10);
}

[[noreturn]] void stop(Boogie& log, int status, const char* message)
{
    set_status(mc_message, message);
    log.close();
    end_run(status);
}

// One upstream section s, iterated from the computed section p downstream of it.
void iterate_section(Boogie& log, int s, int p)
{
    const int jm = middle_line();
    const double Q = discharge;
    const double distance = distance_along(s, p);
    const double bed_slope = (zval[s][jm][1] - zval[p][jm][1]) / distance;
    grade[s] = 0.0;
    double h = zval[p][jm][znumber];
    double area = 0.0, rs = 0.0, vs = 0.0;
    bool converged = false;
    int trial = 0;
    while (!converged && trial < MaxTrials) {
        ++trial;
        const Section sec = section_at(s, h);
        const double bs = plan_distance(s, 1, s, ynumber), bp = plan_distance(p, 1, p, ynumber);
        const double crit_s = std::pow(bs * Q * Q / Gravity, 0.33333), crit_p = std::pow(Q * Q * bp / Gravity, 0.33333);
        if (sec.area <= 1e-20) {
            log.print("Error in initialization of water surface, section %d.\n", s);
            log.print("Increase the downstream water surface or\n");
            log.print("increase the number of cross-sections for\n");
            log.print("calculation of water surface or decrease the\n");
            log.print("Manning's M value(s)\n");
            log.close();
            end_run(-1);
        }
        const double ms = ManArray[s], mp = ManArray[p];
        // Critical control: marching upstream, the flow cannot fall below critical
        // depth where the section downstream is subcritical.  A downstream end
        // whose given level lies below critical depth on a mild reach (bed slope
        // below the critical slope) is a free overfall: the flow reaches it at
        // critical depth.  On a steep reach the flow may stay supercritical.
        const double rc = crit_s / (sec.perimeter + 1e-10), vc = Q / (crit_s + 1e-10);
        const double critical_slope = vc * vc / (std::pow(rc, 1.333) * ms * ms + 1e-10);
        const bool overfall = p == xnumber && bed_slope < critical_slope;
        double h_new;
        if (crit_s >= sec.area && (Q / (avvelocity[p] + 1e-10) > crit_p || overfall)) {
            log.print("Critical level:area,critarea,crossnr=%e %e %d\n", sec.area, crit_s, s);
            rs = crit_s / (sec.perimeter + 1e-10);
            vs = Q / (crit_s + 1e-10);
            const double v = 0.5 * (vs + avvelocity[p]), r = 0.5 * (rs + radius[p]);
            grade[s] = v * v / (std::pow(r, 1.333) * ms * mp + 1e-10);
            const double bed = zval[s][jm][1], top = zval[s][jm][znumber];
            h_new = bed + std::sqrt(crit_s / (sec.area + 1e-10)) * (top - bed);
            area = crit_s;
        } else {
            rs = sec.area / (sec.perimeter + 1e-10);
            vs = Q / (sec.area + 1e-10);
            const double v = 0.5 * (vs + avvelocity[p]), r = 0.5 * (rs + radius[p]);
            grade[s] = 0.5 * grade[s] + 0.5 * v * v / (std::pow(r, 1.333) * ms * mp + 1e-10);
            h_new = zval[p][jm][znumber] + distance * grade[s];
            area = sec.area;
        }
        relevel_section(s, h_new, 0.0, false);
        radius[s] = rs;
        avvelocity[s] = vs;
        if (radius[s] <= 0.0 || grade[s] < 0.0) {
            log.print("Error in initiation of velocities-1\n");
            log.print("Crossnr = %d, grade = %e\n", s, grade[s]);
            log.print("area = %e, midvelo = %e\n", area, vs);
            log.print("Radius = %e, height = %e\n", rs, h_new);
            stop(log, 0, "Error for v-init     ");
        }
        converged = std::fabs(h_new - h) < convergence && trial < MaxTrials;
        h = h_new;
        log.print("Loop1,iter,area,radius,velocity,waterlevel: %ld %e %e %e %e\n", static_cast<long>(trial), area, rs, vs, h);
    }
    if (!converged) {
        log.print("Non-convergence in initiation of velocities, ");
        log.print("after %ld iterations\n", static_cast<long>(trial));
        log.print("The following values assumed for section %d:\n", s);
        log.print("Crossnr = %d, grade = %e\n", s, grade[s]);
        log.print("Radius = %e, height = %e\n", rs, h);
        log.print("distance = %e\n", distance);
        set_status(mc_message, "Warning in initating velocities");
    }
}

// The listed sections from downstream to upstream, starting at the downstream end.
std::vector<int> section_chain()
{
    std::vector<int> chain{xnumber};
    for (int n = initnumber; n >= 1; --n)
        if (initarray[n] != xnumber) chain.push_back(initarray[n]);
    return chain;
}

// Levels between two computed sections p (downstream) and s (upstream): the
// surface runs straight between their levels, with the slope of s.
void interpolate(Boogie& log, int p, int s, double min_depth)
{
    const int jm = middle_line();
    const double hp = zval[p][jm][znumber], hs = zval[s][jm][znumber];
    const double total = distance_along(s, p);
    for (int i = p - 1; i >= s; --i) {
        const double along = distance_along(i, p);
        const double h = total > 0.0 ? hp + along / total * (hs - hp) : hs;
        grade[i] = grade[s];
        relevel_section(i, h, min_depth, true);
        store_section(i, h);
        const Section sec = section_at(i, h);
        log.print("Waterlevel = %lf meters for cross-section i = %d\n", h, i);
        if (debugging == 'D') log.print("i=%d radius=%e vvelocity=%e area=%e\n", i, radius[i], avvelocity[i], sec.area + 1e-10);
    }
}

// Steps 1 to 3 of the backwater computation: downstream section, the listed
// sections upstream, and the levels of every node line; then the log line on
// the bed nodes the minimum depth lowered.
void backwater(Boogie& log)
{
    const double min_depth = minimum_depth();
    const std::vector<double> beds = bed_levels();
    relevel_section(xnumber, level, min_depth, true);
    store_section(xnumber, level);

    const std::vector<int> chain = section_chain();
    for (std::size_t n = 1; n < chain.size(); ++n) {
        const int p = chain[n - 1], s = chain[n];
        if (s == p) {
            log.print("Error in initiation of water surface,  Crossnr=crossfor for i=%d\n", s);
            set_statusf(mc_message, " Crossnr=crossfor for i=%d", s);
            log.close();
            end_run(-3);
        }
        if (s >= p || distance_along(s, p) <= 1e-5) {
            const int jm = middle_line();
            log.print(" Error in initiating velocities\n");
            log.print("The points (%d,%d) and (%d,%d) are too close\n", s, jm, p, jm);
            stop(log, -3, " Errror in initating velocities");
        }
        iterate_section(log, s, p);
    }
    for (std::size_t n = 1; n < chain.size(); ++n) interpolate(log, chain[n - 1], chain[n], min_depth);

    // Upstream of the first listed section the surface keeps its slope.
    const int first = chain.back();
    if (first > 1) {
        const int jm = middle_line();
        const double h_first = zval[first][jm][znumber];
        for (int i = first - 1; i >= 1; --i) {
            const double h = h_first + distance_along(i, first) * grade[first];
            grade[i] = grade[first];
            relevel_section(i, h, min_depth, true);
            store_section(i, h);
            log.print("Waterlevel = %lf meters for cross-section i = %d\n", h, i);
        }
    }
    report_lowered_beds(log, beds, min_depth);
}

void copy_end_levels()
{
    for (int j = 0; j <= ynumber + 1; ++j)
        for (int k = 0; k <= znumber + 1; ++k) {
            zval[0][j][k] = zval[1][j][k];
            zval[xnumber + 1][j][k] = zval[xnumber][j][k];
        }
}

// Section values averaged onto the cells between node lines i-1 and i; the
// energy slope of each cell from the Manning-Strickler law.
void average_onto_cells(Boogie& log, double manning_guard, bool tunnel)
{
    avvelocity[xnumber + 1] = avvelocity[xnumber];
    radius[xnumber + 1] = radius[xnumber];
    avvelocity[0] = avvelocity[1];
    radius[0] = radius[1];
    for (int i = xnumber; i >= 1; --i) {
        avvelocity[i] = 0.5 * (avvelocity[i] + avvelocity[i - 1]);
        radius[i] = 0.5 * (radius[i] + radius[i - 1]);
        const double m = tunnel ? ManArray[0] : ManArray[i];
        const double ratio = avvelocity[i] / (std::pow(radius[i], 0.6667) * m + manning_guard);
        grade[i] = ratio * ratio;
        if (tunnel)
            log.print("i=%d V=%lf rad=%lf grad=%e\n", i, avvelocity[i], radius[i], grade[i]);
        else if (debugging == 'D')
            log.print("i=%d V=%e rad=%e grad=%e\n", i, avvelocity[i], radius[i], grade[i]);
    }
    grade[xnumber + 1] = grade[xnumber];
    grade[0] = grade[1];
}

// Logarithmic velocity profile of every section, scaled to its mean velocity.
void log_law_velocities(Boogie& log)
{
    const int jm = middle_line();
    for (int i = 1; i <= xnumber; ++i) {
        const double tau = 0.25 * (grade[i] + grade[i - 1]) * Gravity * WaterDensity * (radius[i] + radius[i - 1]);
        const double ustar = std::sqrt(std::max(tau, 0.0) / WaterDensity);
        const double ks = std::clamp(std::pow(26.0 / ManArray[i], 6.0), 1e-7, 1.0);
        double weights = 0.0, weighted = 0.0;
        for (int j = 2; j <= ynumber; ++j) {
            const double depth = column_depth(i, j);
            if (depth <= 0.0) {
                log.print(" Error in geometry, island\n");
                log.print(" i=%d, j=%d, depth=%-4.2f\n", i, j, depth);
                set_statusf(mc_v1, " i=%d, j=%d, depth=%-4.2f", i, j, depth);
                stop(log, -3, " Error in geometry, island");
            }
            for (int k = 2; k <= znumber; ++k) {
                const double y = centre_height(i, j, k);
                xvel[i][j][k] = ustar / Kappa * std::log(30.0 * y / ks);
                const double w = 0.5 * (m_ar_x[i - 1][j][k] + m_ar_x[i][j][k]);
                weights += w;
                weighted += w * xvel[i][j][k];
            }
        }
        // A profile without any velocity (no slope at all) is replaced by the mean velocity.
        const bool no_profile = std::fabs(weighted) < 1e-30;
        if (no_profile)
            for (int j = 2; j <= ynumber; ++j)
                for (int k = 2; k <= znumber; ++k) xvel[i][j][k] = avvelocity[i];
        const double korr = no_profile ? 1.0 : weights * avvelocity[i] / weighted;
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) xvel[i][j][k] *= korr;
        log.print(" i=%d, v=%e, rad=%e, korr=%e, wl. = %lf\n", i, avvelocity[i], radius[i], korr, zval[i][jm][znumber]);
        set_statusf(mc_v2, "i=%d,rad=%6.3f,v=%6.3f", i, radius[i], avvelocity[i]);
        set_statusf(mc_v1, "Korr : %e n : %d ", korr, std::fabs(korr - 1.0) > 0.001 ? 1 : 0);
    }
    radius[xnumber + 1] = radius[xnumber];
    grade[xnumber + 1] = grade[xnumber];
}

// The inflow ghost column carries its velocity along the grid line.
void turn_inflow_along_grid(Boogie& log)
{
    if (!FlagInflowDirection)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                yvel[1][j][k] = -xvel[1][j][k] * m_vec_y[2][j][0];
                xvel[1][j][k] = xvel[1][j][k] * m_vec_y[2][j][1];
            }
    log.print("After fifth loop\n");
}

// Eddy viscosity of the first guess: 0.11 h u*, reduced linearly towards the
// bed below 0.3 of the depth; bed shear stress rho g R S.
void eddy_viscosity(Boogie& log, bool uniform)
{
    for (int i = 1; i <= xnumber; ++i) {
        if (grade[i] < 0) log.print("negative grade for i=%d\n", i);
        if (radius[i] < 0) log.print("negative radius for i=%d\n", i);
        const double ustar = std::sqrt(std::max(radius[i] * grade[i] * Gravity, 0.0));
        for (int j = 2; j <= ynumber; ++j) {
            double depth = 0.0;
            for (int k = 2; k <= znumber; ++k) depth += 2 * m_dist_z[i][j][k];
            const double nu = uniform ? 0.11 * radius[i] * ustar : 0.11 * depth * ustar;
            for (int k = 2; k <= znumber; ++k) {
                const double y = centre_height(i, j, k);
                if (y <= 1e-7) {
                    log.print("error in sixth loop initial-v:\n");
                    log.print("i=%d j=%d k=%d\n", i, j, k);
                    log.close();
                    end_run(24);
                }
                diff[i][j][k] = (!uniform && y / depth <= 0.3) ? 3.333 * (y / depth) * nu : nu;
            }
            bedshear[i][j] = radius[i] * grade[i] * Gravity * WaterDensity;
        }
    }
}

// No vertical velocity, no cross-stream velocity inside, nothing in the blocked box.
void clear_secondary_velocities(Boogie& log)
{
    zvel.fill(0.0);
    for (int i = 2; i <= xnumber + 2; ++i)
        for (int j = 0; j <= ynumber + 2; ++j)
            for (int k = 0; k <= znumber + 2; ++k) yvel[i][j][k] = 0.0;
    if (iblok1 > 0)
        for (int i = iblok1; i <= iblok2; ++i)
            for (int j = jblok1; j <= jblok2; ++j)
                for (int k = 2; k <= znumber; ++k) xvel[i][j][k] = 0.0;
    log.print("End of initial\n\n");
    set_status(mc_message, "Initiation terminated o.k");
}

void mark_blocked_columns()
{
    kblok.fill(1);
    if (iblok1 > 0)
        for (int i = iblok1; i <= iblok2; ++i)
            for (int j = jblok1; j <= jblok2; ++j) kblok[i][j] = 0;
}

}  // namespace

// Every bed segment counts to the perimeter: in the computation every column
// carries water (at least the minimum depth), so the whole bed is wetted.
CrossSection cross_section(int i, double h)
{
    return section_at(i, h);
}

void initial()
{
    Boogie log;
    if (!log) {
        set_status(mc_message, "Error: cannot open file 'boogie'");
        end_run(-3);
    }
    set_status(mc_message, "Initializing flow parameters");
    set_status(mc_program, " Initial - velocity ");
    mark_blocked_columns();

    backwater(log);
    log.print("Before calling metric\n");
    metric();
    if (file_exists(StoredBedChanges)) {
        bed_logg();
        metric();
        backwater(log);
        log.print("Before calling metric\n");
        metric();
    }
    copy_end_levels();
    if (run_string_has('V')) return;

    log.print("After calling gridchange/metric\n");
    average_onto_cells(log, 0.0, false);
    log.print("After fourth loop\n");
    log_law_velocities(log);
    turn_inflow_along_grid(log);
    eddy_viscosity(log, false);
    clear_secondary_velocities(log);
}

void initial_tunnel()
{
    Boogie log;
    if (log_unavailable(log)) return;
    set_status(mc_message, "Initializing flow parameters");
    set_status(mc_program, " Initial - tunnel ");
    mark_blocked_columns();

    // Section values of the closed conduit: bed and roof both wetted.
    for (int i = 1; i <= xnumber; ++i) {
        long double area = 0, perimeter = 0;
        for (int j = 1; j < ynumber; ++j) {
            const double l = plan_distance(i, j, i, j + 1);
            const double d1 = zval[i][j][znumber] - zval[i][j][1], d2 = zval[i][j + 1][znumber] - zval[i][j + 1][1];
            const double dbed = zval[i][j + 1][1] - zval[i][j][1], droof = zval[i][j + 1][znumber] - zval[i][j][znumber];
            area += 0.5L * (d1 + d2) * l * kblok[i][j] * kblok[i + 1][j];
            perimeter += std::sqrt(l * l + dbed * dbed) + std::sqrt(l * l + droof * droof);
        }
        radius[i] = static_cast<double>(area / (perimeter + 1e-10));
        avvelocity[i] = static_cast<double>(discharge / (area + 1e-10));
        log.print("i=%d radius=%lf avvvelocity=%lf area=%lf\n", i, radius[i], avvelocity[i], static_cast<double>(area));
    }
    radius[0] = radius[1];
    avvelocity[0] = avvelocity[1];
    for (int i = 1; i <= xnumber; ++i) {
        const double v = 0.5 * (avvelocity[i] + avvelocity[i - 1]), r = 0.5 * (radius[i] + radius[i - 1]);
        grade[i] = v * v / (ManArray[0] * ManArray[0] * std::pow(r, 1.333) + 1e-10);
    }
    metric();
    if (file_exists(StoredBedChanges)) {
        bed_logg();
        metric();
    }
    if (run_string_has('R')) return;

    average_onto_cells(log, 1e-10, true);
    for (int i = 1; i <= xnumber; ++i) {
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) xvel[i][j][k] = avvelocity[i] * kblok[i][j] * kblok[i + 1][j];
        for (int j = 2; j <= ynumber; ++j) xvel[i][j][0] = avvelocity[i];
    }
    turn_inflow_along_grid(log);
    eddy_viscosity(log, true);
    clear_secondary_velocities(log);
}

}  // namespace zefra
