// The depth-averaged sediment of the transient morphology (F 37 2).  Size l
// has one concentration C per column, its mean over the depth h, and obeys
//
//   d(h C)/dt + div(q C - h D grad C) = w (c_e - R C)     per unit plan area
//
// with q the column's water flux per unit width, D the eddy diffusivity of
// the column over the Schmidt number of F 12, and on the right the exchange
// with the bed: settling velocity w times the equilibrium concentration at
// the bed, c_e = f_l times the formula's bed concentration (the same target
// as the 3D bed cell), less the near-bed concentration R C.  R relates the
// near-bed concentration to the depth mean by the profile with which the
// formulas carry their bed concentration over the depth: the bed cell at c_b
// and the Rouse profile above it.  In uniform flow, without diffusion, the
// concentration adapts to C_e = c_e / R as C_e (1 - exp(-x / L)) with the
// adaptation length L = q / (w R).
//
// It is discretised on the columns as the 3D sediment is on its cells: the
// cells' horizontal coefficients on the column layer (index 0), the storage
// h A / dt of the driver, the settling w A R in the central coefficient, the
// pick-up w A c_e in the source, the pick-up limited by the active layer's
// stock as the 3D bed cell's is.
#include "engine/sediment/column_sediment.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/common/physics.h"
#include "engine/flow2d/column_fields.h"
#include "engine/flow2d/column_turbulence.h"
#include "engine/flow3d/layers.h"
#include "engine/sediment/bed_concentration.h"
#include "engine/sediment/sediment_coefficients.h"
#include "engine/sediment/size_equation.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"

namespace zefra {

namespace {

constexpr double Negligible = 1e-30;  // concentrations below this are 0
constexpr double Blocked = 1e25;      // central coefficient that holds a blocked column at 0

int sizes()
{
    return std::min(lnumber, SizeCapacity - 1);
}

double column_volume(int i, int j)
{
    return 2.0 * m_armap[i][j] * m_dist_z[i][j][0];
}

double cell_volume(int i, int j, int k)
{
    return 2.0 * m_armap[i][j] * m_dist_z[i][j][k];
}

// A column that is water (not filled by an out-block), and one that also
// has a bed in the water to exchange sediment with.
bool water_column(int i, int j)
{
    return OBlok[i][j][0] != 0;
}
bool bed_column(int i, int j)
{
    return OBlok[i][j][0] != 0 && OBlok[i][j][2] != 0;
}

template <class Body>
void columns(Body body)
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) body(i, j);
}

// The profile shares of column (i, j) for size l and their volume sum
// (sum over the water cells of share times volume).
struct Profile {
    std::vector<double> share;
    double total = 0.0;
};

const Profile& profile(int l, int i, int j)
{
    static Profile p;
    p.share.resize(static_cast<std::size_t>(znumber) + 1);
    concentration_profile(i, j, l, p.share.data());
    p.total = 0.0;
    for (int k = 2; k <= znumber; ++k)
        if (OBlok[i][j][k] != 0) p.total += p.share[k] * cell_volume(i, j, k);
    return p;
}

// Mean of the ghost cells k of a face, weighted by the water each carries,
// or by their areas where none flows.
template <class Value, class Flux, class Area>
double face_mean(Value value, Flux flux, Area area)
{
    double carried = 0.0, load = 0.0, wetted = 0.0, sum = 0.0;
    for (int k = 2; k <= znumber; ++k) {
        carried += std::fabs(flux(k));
        load += std::fabs(flux(k)) * value(k);
        wetted += area(k);
        sum += area(k) * value(k);
    }
    if (carried > 0.0) return load / carried;
    return wetted > 0.0 ? sum / wetted : 0.0;
}

// The column eddy viscosity in diff[i][j][0] (m2/s, the molecular one
// included, as the cells' diff): that of the momentum equations of the
// columns, or the depth mean of the cells' when the columns do not hold the
// flow (a 3D flow, or a depth-averaged one read back by letter R).
void column_diffusivity(bool column_flow)
{
    const int x = xnumber, y = ynumber;
    if (column_flow) {
        const int equation = Equation;
        Equation = 1;
        GammaCalc2D();
        Equation = equation;
        for (int i = 1; i <= x + 1; ++i)
            for (int j = 1; j <= y + 1; ++j) diff[i][j][0] = gama[i][j][0] / WaterDensity;
        return;
    }
    for (int i = 1; i <= x + 1; ++i)
        for (int j = 1; j <= y + 1; ++j) {
            double weighted = 0.0, depth = 0.0, plain = 0.0;
            for (int k = 2; k <= znumber; ++k) {
                weighted += diff[i][j][k] * m_dist_z[i][j][k];
                depth += m_dist_z[i][j][k];
                plain += diff[i][j][k];
            }
            diff[i][j][0] = depth > 0.0 ? weighted / depth : plain / (znumber - 1);
        }
}

// Where the cells hold the flow a column's flux is what passes through its
// whole depth.
void column_fluxes_from_cells()
{
    const int x = xnumber, y = ynumber;
    for (int i = 1; i <= x; ++i)
        for (int j = 2; j <= y; ++j) {
            double q = 0.0;
            for (int k = 2; k <= znumber; ++k) q += flow1[i][j][k];
            flow1[i][j][0] = q;
        }
    for (int i = 2; i <= x; ++i)
        for (int j = 1; j <= y; ++j) {
            double q = 0.0;
            for (int k = 2; k <= znumber; ++k) q += flow2[i][j][k];
            flow2[i][j][0] = q;
        }
}

}  // namespace

double near_bed_ratio(int l, int i, int j)
{
    const Profile& p = profile(l, i, j);
    return p.total > 0.0 ? column_volume(i, j) / p.total : 1.0;
}

void start_column_sediment()
{
    const int L = sizes();
    for (int l = 1; l <= L; ++l)
        columns([l](int i, int j) {
            double held = 0.0, volume = 0.0;
            for (int k = 2; k <= znumber; ++k)
                if (OBlok[i][j][k] != 0) {
                    held += conc[l][i][j][k] * cell_volume(i, j, k);
                    volume += cell_volume(i, j, k);
                }
            conc2D[l][i][j][0] = conc2D_old[l][i][j][0] = volume > 0.0 ? held / volume : 0.0;
        });
    column_boundary_values();
}

void column_boundary_values()
{
    const int x = xnumber, y = ynumber, L = sizes();
    for (int l = 1; l <= L; ++l) {
        const Field3 c = conc[l], column = conc2D[l];
        for (int j = 2; j <= y; ++j) {
            column[1][j][0] = face_mean([&](int k) { return c[1][j][k]; }, [&](int k) { return flow1[1][j][k]; }, [&](int k) { return m_ar_x[1][j][k]; });
            column[x + 1][j][0] = column[x][j][0];
        }
        for (int i = 2; i <= x; ++i) {
            column[i][1][0] = face_mean([&](int k) { return c[i][1][k]; }, [&](int k) { return flow2[i][1][k]; }, [&](int k) { return m_ar_y[i][1][k]; });
            column[i][y + 1][0] =
                face_mean([&](int k) { return c[i][y + 1][k]; }, [&](int k) { return flow2[i][y][k]; }, [&](int k) { return m_ar_y[i][y][k]; });
        }
    }
}

void column_sediment_coefficients()
{
    const bool column_flow = Flag2Dim != 0 && FlagDepthAveraged != 0;
    if (!column_flow) column_fluxes_from_cells();
    column_diffusivity(column_flow);
    column_walls();
    horizontal_sediment_coefficients(ColumnLayer);

    const int L = sizes();
    for (int l = 1; l <= L; ++l)
        columns([l](int i, int j) {
            at[l][i][j][0] = ab[l][i][j][0] = 0.0;
            if (!water_column(i, j)) {
                ap[l][i][j][0] = Blocked;
                return;
            }
            // Water entering through an opening on a joint line dilutes the column.
            const double opening = std::max(-joint_opening_flux(i, j, 0), 0.0);
            const double settling = bed_column(i, j) ? std::max(fallvelo[l], 0.0) * m_armap[i][j] * near_bed_ratio(l, i, j) : 0.0;
            ap[l][i][j][0] = ae[i][j][0] + aw[i][j][0] + an[i][j][0] + as[i][j][0] + opening + settling;
        });
}

void column_pickup(int l)
{
    columns([l](int i, int j) {
        if (bed_column(i, j)) source[i][j][0] += std::max(fallvelo[l], 0.0) * m_armap[i][j] * bedgrain[l][i][j] * conc[l][i][j][0];
    });
}

void limit_column_pickup(int l)
{
    const Field3 c = conc2D[l];
    columns([&](int i, int j) {
        if (!water_column(i, j)) return;
        double value = c[i][j][0];
        if (bed_column(i, j)) {
            const double area = m_armap[i][j], storage = column_volume(i, j) / TimeStep;
            const double pickup = std::max(fallvelo[l], 0.0) * area * bedgrain[l][i][j] * conc[l][i][j][0];
            const double B = horizontal_terms(c, i, j, 0) + source[i][j][0] - pickup;
            const double centre = ap[l][i][j][0];
            const double settled_only = B / centre, full = (B + pickup) / centre;
            const double stock = area * bedgrain[l][i][j] * bedgrain[0][i][j] * ConvCoef / TimeStep;
            const double stock_taken = (B + stock) / (horizontal_outflow_coefficients(i, j, 0) + storage);
            value = std::max(settled_only, std::min(full, stock_taken));
        }
        c[i][j][0] = value < Negligible ? 0.0 : value;
    });
    for (int j = 2; j <= ynumber; ++j) c[xnumber + 1][j][0] = c[xnumber][j][0];
}

void spread_column_sediment()
{
    const int x = xnumber, L = sizes();
    for (int l = 1; l <= L; ++l) {
        const Field3 c = conc[l];
        columns([&](int i, int j) {
            double* cells = c[i][j].data();
            if (!water_column(i, j)) {
                for (int k = 1; k <= znumber; ++k) cells[k] = 0.0;
                return;
            }
            const Profile& p = profile(l, i, j);
            const double scale = p.total > 0.0 ? conc2D[l][i][j][0] * column_volume(i, j) / p.total : 0.0;
            for (int k = 2; k <= znumber; ++k) cells[k] = OBlok[i][j][k] != 0 ? scale * p.share[k] : 0.0;
            cells[1] = cells[2];  // the bed face shows the bed cell's value
        });
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 1; k <= znumber; ++k) c[x + 1][j][k] = c[x][j][k];
    }
}

}  // namespace zefra
