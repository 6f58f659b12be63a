// Porous bed and plant sources of the momentum, k and epsilon equations.
//
// extra_source: each column carries a porous layer of four levels
// L0 <= L1 <= L2 <= L3 with the porosities P0 ... P3 at them.  Walking a
// column down from the surface, the cells whose top lies below L3 are in the
// layer: the first of them under free water gets the log-law friction of its
// top face, every other one the drag 3 rho (1 - n) / n^3 u|u| / d of a bed of
// grains of size d and porosity n.  k is held at 0.02 m2/s2 in the layer (the
// first cell under free water takes the k of a wall layer instead), epsilon at
// the value of a wall layer as high as the cell.
//
// extra_sourceDLL: rigid stems, N per m2 of bed, of diameter D and drag
// coefficient C_D, drag the horizontal flow by 1/2 rho C_D N D |u_h| u per unit
// volume (the established law of emergent stems; the vertical flow runs along
// them and feels no form drag).  The work of that drag feeds the wakes behind
// the stems: k gains C_k times it, epsilon C_eps epsilon / k times it.
#include "engine/flow3d/porous_sources.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/common/boogie.h"
#include "engine/common/physics.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/grid/columns.h"
#include "engine/input/text_scanner.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_porous.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_turbulence.h"
#include "engine/turbulence/model_constants.h"

namespace zefra {

namespace {

const double LogLawFactor = std::log(30.0);  // ln(30 z / z) of the rough-wall law, E
constexpr double CMu75 = 0.1643168;          // C_mu^0.75
constexpr double LayerK = 0.02;              // k held in the porous layer, m2/s2
constexpr double Fixed = 1e30;               // central coefficient that holds a value
constexpr double SmallK = 1e-9;              // floor of k under the square roots

double cell_top(int i, int j, int k)
{
    return corner_mean(i, j, [k](int a, int b) { return zval[a][b][k]; });
}

double cell_height(int i, int j, int k)
{
    return cell_top(i, j, k) - cell_top(i, j, k - 1);
}

double cell_volume(int i, int j, int k)
{
    return 2.0 * m_armap[i][j] * m_dist_z[i][j][k];
}

const Field3& velocity_of(int equation)
{
    return equation == 1 ? xvel : equation == 2 ? yvel : zvel;
}

// Shear velocity of the wall layer from its k: sqrt(0.3 k).
double shear_velocity(double k)
{
    return std::sqrt(300.0 * std::max(k, SmallK)) / 31.62;
}

// ---------------------------------------------------------------------------
// The porous layer
// ---------------------------------------------------------------------------

void set_layer(int i, int j, const double (&level)[4], const double (&porosity)[4])
{
    for (int m = 0; m < 4; ++m) {
        LevPorosBed[i][j][m] = level[m];
        PorosityBed[i][j][m] = porosity[m];
    }
}

// Reads `porosity`: records "P i j L0 L1 L2 L3 P0 P1 P2 P3" anywhere in the
// text, to the end of the file.  Columns without a record keep no layer (all
// four levels at the bed).  False when there is no such file.
bool read_porosity_file(Boogie& log)
{
    TextScanner file("porosity");
    if (!file) return false;
    FlagInitPoros = 1;
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j) {
            const double bed = zval[i][j][1];
            set_layer(i, j, {bed, bed, bed, bed}, {1.0, 1.0, 1.0, 1.0});
        }
    int record = 0;
    for (int c = file.get(); c != EOF; c = file.get()) {
        if (c != 'P') continue;
        ++record;
        int i = 0, j = 0;
        double v[8];
        int got = file.scan("%d %d", &i, &j);
        while (got >= 2 && got < 10 && file.read(v[got - 2])) ++got;
        if (got < 10) {
            log.print("Error in porosity file: record %d has %d of its 10 numbers, skipped\n", record, got);
            continue;
        }
        if (i < 2 || i > xnumber || j < 2 || j > ynumber) {
            log.print("Error in porosity file: record %d is for column (%d,%d) outside the grid, skipped\n", record, i, j);
            continue;
        }
        for (int m = 0; m < 4; ++m) {
            const double p = v[4 + m];
            if (p < 0.0 || p > 1.0) log.print("Error, PorosityBed(%d,%d,%d)=%lf\n", i, j, m, p);
            LevPorosBed[i][j][m] = v[m];
            PorosityBed[i][j][m] = std::max(p, MinPorosity);
        }
    }
    log.print("Have read porosity file\n");
    return true;
}

// After reading: a bed roughness beyond the bed cell is cut to it, and where
// the roughness is thicker than the layer it becomes a layer of its own; the
// levels must rise, the porosities should.
void check_layers(Boogie& log)
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const Field1 L = LevPorosBed[i][j], P = PorosityBed[i][j];
            const double h = Xks[i][j];
            if (h > 2.0 * blevel[i][j]) {
                Xks[i][j] = 2.0 * blevel[i][j];
                if (h > L[3] - L[0])
                    set_layer(i, j, {L[0], L[0] + 0.33 * h, L[0] + 0.67 * h, L[0] + h}, {MinPorosity, RoughPoros1, RoughPoros2, P[3]});
            }
            for (int m = 1; m < 4; ++m)
                if (L[m - 1] > L[m]) {
                    log.print("Error in levels of porosity, i,j,k=%d %d %d\n", i, j, m);
                    log.print("Values : %e < %e\n", L[m], L[m - 1]);
                    log.close();
                    end_run(-3);
                }
            for (int m = 1; m < 4; ++m)
                if (P[m - 1] > P[m]) {
                    log.print("Warning,  in porosity values, i,j,k=%d %d %d\n", i, j, m);
                    log.print("Values : %e < %e\n", P[m], P[m - 1]);
                }
        }
}

// Transient morphology: the layer follows the bed, three layers of the bed
// cell's half height below it.
void layer_under_moving_bed()
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double top = corner_mean(i, j, [](int a, int b) { return zval[a][b][0]; }), h = blevel[i][j];
            set_layer(i, j, {top - 3.0 * h, top - 2.0 * h, top - h, top}, {MinPorosity, RoughPoros1, RoughPoros2, 1.0});
        }
    FlagInitPoros = 1;  // the layer exists now, file or no file
}

// Porosity at level z inside the layer of column (i, j), and the level index
// m of the layer it lies in (0 below L0).
double layer_porosity(int i, int j, double z, int& m)
{
    const Field1 L = LevPorosBed[i][j], P = PorosityBed[i][j];
    if (z < L[0]) {
        m = 0;
        return MinPorosity;
    }
    m = 3;
    for (int n = 1; n <= 3; ++n)
        if (z < L[n]) {
            m = n;
            break;
        }
    // Levels rise, so the span is negative; its guard keeps the sign.
    const double t = std::clamp((z - L[m]) / std::min(L[m - 1] - L[m], -1e-6), 0.0, 1.0);
    return std::max((1.0 - t) * P[m] + t * P[m - 1], MinPorosity);
}

// Grain size of the drag law in cell (i, j, k) of layer level m (F 25).
double grain_size(int i, int j, int k, int m)
{
    const Field1 L = LevPorosBed[i][j];
    switch (DiamPoros) {
    case 0: return std::max(L[m] - L[0], Xks[i][j]);
    case 1: return std::max(0.33 * (L[m] - L[0]), Xks[i][j]);
    case 2: return 2.0 * blevel[i][j];
    case 3: return std::max(L[m] - L[0], blevel[i][j]);
    case 4: {
        double d = m_dist_z[i][j][k];
        for (int n = 3; n < k; ++n) d += 2.0 * m_dist_z[i][j][n];
        return d;
    }
    default: return Xks[i][j];
    }
}

// Calls cell(k, first) for the cells of column (i, j) inside the layer, from
// the top down; `first` marks the first one when free water lies above it.
template <class Cell>
void layer_cells_downwards(int i, int j, Cell cell)
{
    const double top = LevPorosBed[i][j][3];
    bool reached = false;
    for (int k = znumber; k >= 2; --k) {
        if (cell_top(i, j, k) >= top) continue;
        cell(k, !reached && k < znumber);
        reached = true;
    }
}

void porous_momentum()
{
    const Field3& phi = velocity_of(Equation);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            layer_cells_downwards(i, j, [&](int k, bool first) {
                // Log-law friction on the top face of the layer.
                if (first) {
                    wap[i][j][k] += WaterDensity * shear_velocity(kinen[i][j][k]) * Xkappa * m_armap[i][j] / LogLawFactor;
                    return;
                }
                // Quadratic drag of the grains, implicit in proportion to RelaxPorosity.
                int m;
                const double n = layer_porosity(i, j, cell_top(i, j, k), m);
                const double d = std::max(grain_size(i, j, k, m), 1e-9);
                const double u = phi[i][j][k];
                const double speed = std::sqrt(xvel[i][j][k] * xvel[i][j][k] + yvel[i][j][k] * yvel[i][j][k] + zvel[i][j][k] * zvel[i][j][k]);
                const double c = cell_volume(i, j, k) * 3.0 * WaterDensity * (1.0 - n) / (n * n * n + 1e-7) * speed / d;
                wap[i][j][k] += RelaxPorosity * c;
                source[i][j][k] += (RelaxPorosity - 1.0) * c * u;
            });
}

void porous_k()
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            layer_cells_downwards(i, j, [&](int k, bool first) {
                if (first) {
                    // The k of a wall layer under the shear of the free water above.
                    const double kk = kinen[i][j][k], dz = cell_height(i, j, k), volume = cell_volume(i, j, k);
                    const double speed2 = xvel[i][j][k] * xvel[i][j][k] + yvel[i][j][k] * yvel[i][j][k] + zvel[i][j][k] * zvel[i][j][k];
                    const double wall = LogLawFactor / Xkappa;
                    wap[i][j][k] += std::sqrt(std::max(kk, SmallK)) * WaterDensity * CMu75 * wall / dz * volume;
                    source[i][j][k] += WaterDensity * shear_velocity(kk) / wall * speed2 / dz * volume;
                    return;
                }
                wap[i][j][k] += Fixed;
                source[i][j][k] += Fixed * LayerK;
            });
}

// Epsilon of a wall layer as high as the cell, C_mu^0.75 k^1.5 / (kappa dz),
// from the bed up to the top of the layer (and never past the top cell).
void porous_epsilon()
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber && cell_top(i, j, k) <= LevPorosBed[i][j][3]; ++k) {
                const double kk = std::max(kinen[i][j][k], SmallK);
                wap[i][j][k] += Fixed;
                source[i][j][k] += kk * std::sqrt(kk) * Fixed * CMu75 / (cell_height(i, j, k) * Xkappa);
            }
}

// ---------------------------------------------------------------------------
// Plants
// ---------------------------------------------------------------------------

// The plant data of one column as the file gives them: values at four levels,
// linear in between; nothing below L0 or above L3.
struct PlantColumn {
    bool given = false;
    double level[4], porosity[4], stems[4], diameter[4], drag[4], eps[4];
};

std::vector<PlantColumn> plant_columns;  // (i, j) at i * (ynumber + 2) + j

PlantColumn& plants_of(int i, int j)
{
    return plant_columns[static_cast<std::size_t>(i) * (ynumber + 2) + j];
}

// Up to `wanted` numbers on the rest of the line; the count found, and the
// line taken whole.
int numbers_on_line(TextScanner& file, double* out, int wanted)
{
    int count = 0;
    while (true) {
        while (file.peek() == ' ' || file.peek() == '\t' || file.peek() == '\r') file.get();
        double v;
        if (file.peek() == '\n' || file.peek() == EOF || !file.read(v)) break;
        if (count < wanted) out[count] = v;
        ++count;
    }
    file.skip_line();
    return count;
}

bool whole_number(double v)
{
    return std::fabs(v) < 1e9 && v == std::floor(v);
}

// One V record (8 values: the levels and N, D, C_D, C_eps of a stand alike
// at every level) or A/B record (24: levels, porosities, then N, D, C_D and
// C_eps at each level).  False when it is skipped.
bool take_plant_record(char kind, const double* v, int count, Boogie& log)
{
    const int i = whole_number(v[0]) ? static_cast<int>(v[0]) : -1, j = whole_number(v[1]) ? static_cast<int>(v[1]) : -1;
    const int wanted = kind == 'V' ? 8 : 24;
    if (count - 2 != wanted) {
        log.print("Error in vegdata file for line i=%d, j=%d: number of floats read is %d\n", i, j, std::max(count - 2, 0));
        log.print(kind == 'V' ? "There should be 8 floats on each V line\n" : "There should be 24 floats on each line\n");
        return false;
    }
    if (i < 2 || i > xnumber || j < 2 || j > ynumber) {
        log.print("Error in vegdata file: the line for i=%g, j=%g lies outside the grid, skipped\n", v[0], v[1]);
        return false;
    }
    const double* level = v + 2;
    if (!(level[0] <= level[1] && level[1] <= level[2] && level[2] <= level[3])) {
        log.print("Error in vegdata file for line i=%d, j=%d: the levels must rise, skipped\n", i, j);
        return false;
    }
    for (int n = 6; n < count; ++n) {
        if (kind == 'V' && (v[n] < 0.0 || v[n] > 1000.0)) {
            log.print("Error in vegdata file for line i=%d, j=%d: value %g outside 0 ... 1000\n", i, j, v[n]);
            log.close();
            end_run(-4);
        }
        if (v[n] < 0.0) {
            log.print("Error in vegdata file for line i=%d, j=%d: negative value %g, skipped\n", i, j, v[n]);
            return false;
        }
    }
    PlantColumn& c = plants_of(i, j);
    c.given = true;
    for (int m = 0; m < 4; ++m) {
        c.level[m] = level[m];
        const double* s = kind == 'V' ? v + 6 : v + 10 + m;  // N, D, C_D, C_eps, 4 apart in an A record
        const int step = kind == 'V' ? 1 : 4;
        c.stems[m] = s[0];
        c.diameter[m] = s[step];
        c.drag[m] = s[2 * step];
        c.eps[m] = s[3 * step];
        c.porosity[m] = kind == 'V' ? 1.0 - s[0] * 0.25 * 3.141592653589793 * s[1] * s[1] : v[6 + m];
    }
    return true;
}

// Reads `vegdata` to the end: lines that begin with V, A or B are records,
// other lines are not read.
void read_vegdata(Boogie& log)
{
    TextScanner file("vegdata");
    if (!file) {
        log.print("Error: vegdata file not found. This file has to exist when using the F 115 1 parameter in the control file\n");
        log.close();
        set_status(mc_message, "cannot open file 'vegdata' ");
        end_run(-3);
    }
    plant_columns.assign(static_cast<std::size_t>(xnumber + 2) * (ynumber + 2), PlantColumn{});
    bool v_records = false, a_records = false;
    int taken = 0;
    while (file.peek() != EOF) {
        file.skip_space();
        const int kind = file.get();
        if (kind != 'V' && kind != 'A' && kind != 'B') {
            if (kind != EOF) file.skip_line();
            continue;
        }
        (kind == 'V' ? v_records : a_records) = true;
        if (v_records && a_records) {
            log.print("Error in vegdata file. It is not allowed to have a mix of V and A data sets in the file\n");
            log.close();
            end_run(-1);
        }
        double v[26] = {};
        if (take_plant_record(static_cast<char>(kind == 'B' ? 'A' : kind), v, numbers_on_line(file, v, 26), log)) ++taken;
    }
    FlagInitVeg = 1;
    log.print("Have read vegdata file: plants in %d columns\n", taken);
}

// Value of a plant quantity at level z of the column (inside L0 ... L3).
double plant_value(const PlantColumn& c, const double (&value)[4], double z)
{
    int m = 1;
    while (m < 3 && z > c.level[m]) ++m;
    const double span = c.level[m] - c.level[m - 1];
    const double t = span > 1e-12 ? std::clamp((z - c.level[m - 1]) / span, 0.0, 1.0) : 1.0;
    return (1.0 - t) * value[m - 1] + t * value[m];
}

// Spreads the columns over their cells as the cells stand now: a cell gets
// the values at the middle of its part inside L0 ... L3, its stem number and
// its solid share scaled by that part's share of its height.
void spread_plants()
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const PlantColumn& c = plants_of(i, j);
            for (int k = 2; k <= znumber; ++k) {
                const double bottom = cell_top(i, j, k - 1), top = cell_top(i, j, k);
                const double low = c.given ? std::max(bottom, c.level[0]) : 0.0, high = c.given ? std::min(top, c.level[3]) : 0.0;
                if (high <= low) {
                    Porosity[i][j][k] = 1.0;
                    StemNumber[i][j][k] = StemDiameter[i][j][k] = DragCoeff[i][j][k] = EpsilonCoeff[i][j][k] = 0.0;
                    continue;
                }
                const double share = (high - low) / std::max(top - bottom, 1e-12), z = 0.5 * (low + high);
                Porosity[i][j][k] = std::max(1.0 - share * (1.0 - plant_value(c, c.porosity, z)), MinPorosity);
                StemNumber[i][j][k] = share * plant_value(c, c.stems, z);
                StemDiameter[i][j][k] = plant_value(c, c.diameter, z);
                DragCoeff[i][j][k] = plant_value(c, c.drag, z);
                EpsilonCoeff[i][j][k] = plant_value(c, c.eps, z);
            }
        }
}

double horizontal_speed(int i, int j, int k)
{
    return std::hypot(xvel[i][j][k], yvel[i][j][k]);
}

// 1/2 rho C_D N D times the cell volume: the drag of the cell over |u_h| u.
double stem_drag_factor(int i, int j, int k)
{
    return 0.5 * WaterDensity * DragCoeff[i][j][k] * StemNumber[i][j][k] * StemDiameter[i][j][k] * cell_volume(i, j, k);
}

template <class Body>
void plant_cells(Body body)
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k)
                if (StemNumber[i][j][k] > 0.0) body(i, j, k);
}

}  // namespace

void extra_source()
{
    Boogie log;
    if (log_unavailable(log)) return;
    if (FlagBedPoros != 1) {
        log.print("Error, bed porosity attempted calcualted when\n");
        log.print("F 7 data set not marked by P\n");
        log.close();
        end_run(-6);
    }
    if (FlagInitPoros == 0 && read_porosity_file(log)) {
        check_layers(log);
    } else if (FlagTSC >= 1 && Equation == 1) {
        layer_under_moving_bed();
    } else if (FlagInitPoros == 0) {
        log.print("Error, cannot open file 'porosity' ");
        log.close();
        set_status(mc_message, "cannot open file 'porosity' ");
        end_run(-7);
    }
    if (Equation >= 1 && Equation <= 3) porous_momentum();
    if (Equation == 5) porous_k();
    if (Equation == 6) porous_epsilon();
}

void extra_sourceDLL()
{
    Boogie log;
    if (log_unavailable(log)) return;
    const bool first = FlagInitVeg == 0;
    if (first) read_vegdata(log);
    log.close();
    // The cells move with the surface and the bed: the plants are spread anew
    // once per iteration.
    if (first || Equation == 1) spread_plants();

    if (Equation == 1 || Equation == 2) {
        const Field3& phi = velocity_of(Equation);
        plant_cells([&](int i, int j, int k) {
            // Newton form of the quadratic drag: implicit 2 c, explicit c u.
            const double c = stem_drag_factor(i, j, k) * horizontal_speed(i, j, k);
            wap[i][j][k] += 2.0 * c;
            source[i][j][k] += c * phi[i][j][k];
        });
    }
    if ((Equation == 5 || Equation == 6) && k_epsilon_model()) {
        // F 194 sets the share of the drag work that becomes k; without it all does.
        const double share = TurbCoeffVeg > 0.0 ? TurbCoeffVeg : 1.0;
        plant_cells([&](int i, int j, int k) {
            const double s = horizontal_speed(i, j, k);
            const double work = share * stem_drag_factor(i, j, k) * s * s * s;
            source[i][j][k] += Equation == 5 ? work : EpsilonCoeff[i][j][k] * epsilon[i][j][k] / (kinen[i][j][k] + 1e-20) * work;
        });
    }
}

}  // namespace zefra
