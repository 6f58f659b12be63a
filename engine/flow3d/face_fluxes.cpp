// Mass fluxes through the cell faces (kg/s) from the cell-centred velocities.
// The face velocity is interpolated by distance and corrected with the
// Rhie-Chow term: the difference between the mean of the two cells' pressure
// gradients and the gradient across the face, weighted with the inverse
// central coefficient.  This keeps a checkerboard pressure from hiding in the
// collocated grid.
//
//   flow1[i] lies on node line i, between cell i and cell i+1:
//      cell i-1 | cell i  |flow1[i]|  cell i+1 | cell i+2
//   gradients:   g_P = (p(i+1) - p(i-1)) / 2,   g_N = (p(i+2) - p(i)) / 2
//
// Called by the outer iteration at start, after grid changes and in every
// pressure-correction step, and by the sediment and surface routines.
#include "engine/flow3d/face_fluxes.h"

#include <algorithm>
#include <cmath>

#include "engine/common/physics.h"
#include "engine/flow3d/joint_openings.h"
#include "engine/flow3d/out_blocks.h"
#include "engine/flow3d/slabs.h"
#include "engine/grid/columns.h"
#include "engine/grid/multiblock.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"

namespace zefra {

namespace {

// One-sided gradient at the low or high end of a pair of cells.
inline double low_end_gradient(double p0, double p1, double p2)
{
    return (4.0 * p1 - 3.0 * p0 - p2) / 2.0;
}
inline double high_end_gradient(double pm, double p0, double p1)
{
    return (pm - 4.0 * p0 + 3.0 * p1) / 2.0;
}

// Rhie-Chow term of a face between cells P and N (volume flux, m3/s).
inline double correction(double mean_gradient, double face_difference, double area, double weight, double dp, double dn, double factor)
{
    return (mean_gradient - face_difference) * factor * area * area * (weight * dp + (1.0 - weight) * dn);
}

// Pressure gradients (per index step) of the two cells P and N on either side
// of a face, from the pressures pm, p0 (P), p1 (N), p2 along the line: central
// where both neighbours are water; one-sided where the far face of P or of N
// is closed (the end of the domain, a wall, an out-block), so that no pressure
// from behind a wall enters; with both closed, the difference across the face.
inline void cell_gradients(double pm, double p0, double p1, double p2, bool closed_p, bool closed_n, double& gp, double& gn)
{
    gp = (p1 - pm) / 2.0;
    gn = (p2 - p0) / 2.0;
    if (closed_p && closed_n)
        gp = gn = p1 - p0;
    else if (closed_p)
        gp = low_end_gradient(p0, p1, p2);
    else if (closed_n)
        gn = high_end_gradient(pm, p0, p1);
}

inline double mean_gradient(double weight, double gp, double gn)
{
    return FlagRhieChow == 6 ? 0.5 * (gp + gn) : weight * gp + (1.0 - weight) * gn;
}

// Harmonic mean of two velocity components.
inline double harmonic(double a, double b)
{
    return 2.0 * a * b / (a + b + 1e-20);
}

// The I-faces owned by cells i1 ... i2: those on their high side, the inflow
// face with cell 2 (i1 = 2) and the outflow face with cell xnumber.
void i_faces(const Field3& d, double factor, Layers layers, int i1, int i2)
{
    const int x = xnumber, y = ynumber, k1 = layers.first, k2 = layers.last;
    for (int i = i1; i <= std::min(i2, x - 1); ++i)
        for (int j = 2; j <= y; ++j) {
            const double *pm = Pres[i - 1][j].data(), *p0 = Pres[i][j].data(), *p1 = Pres[i + 1][j].data(), *p2 = Pres[i + 2][j].data();
            const double *u0 = xvel[i][j].data(), *u1 = xvel[i + 1][j].data(), *v0 = yvel[i][j].data(), *v1 = yvel[i + 1][j].data();
            const double *dp = d[i][j].data(), *dn = d[i + 1][j].data();
            const double *h0 = m_dist_x[i][j].data(), *h1 = m_dist_x[i + 1][j].data();
            const double* area = m_ar_x[i][j].data();
            const int *wall_p = WallI[i][j].data(), *wall_n = WallI[i + 1][j].data();
            const double nx = m_vec_x[i][j][0], ny = m_vec_x[i][j][1];
            bool low_end = i == 2;
            const bool high_end = i + 1 == x || ISkjotMB[i + 1] == 1;
            // The first row of a side block: the cell before it is its partner in the main block.
            if (const JointCell c = MBNo > 0 ? joint_low_i(i, j) : JointCell{}) {
                pm = Pres[c.i][c.j].data();
                low_end = false;
            }
            double* out = flow1[i][j].data();
            for (int k = k1; k <= k2; ++k) {
                const double w = h1[k] / (h0[k] + h1[k] + 1e-30);
                const bool closed_p = low_end || wall_p[k] == 1 || out_block_cell(i - 1, j, k);
                const bool closed_n = high_end || wall_n[k] == -1 || out_block_cell(i + 2, j, k);
                double gp, gn;
                cell_gradients(pm[k], p0[k], p1[k], p2[k], closed_p, closed_n, gp, gn);
                const double uf = w * u0[k] + (1.0 - w) * u1[k], vf = w * v0[k] + (1.0 - w) * v1[k];
                const double c = correction(mean_gradient(w, gp, gn), p1[k] - p0[k], area[k], w, dp[k], dn[k], factor);
                out[k] = WaterDensity * (area[k] * (uf * nx + vf * ny) + c);
            }
        }
    for (int j = 2; j <= y; ++j)
        for (int k = k1; k <= k2; ++k) {
            if (i1 == 2) flow1[1][j][k] = WaterDensity * m_ar_x[1][j][k] * (xvel[1][j][k] * m_vec_x[1][j][0] + yvel[1][j][k] * m_vec_x[1][j][1]);
            if (i2 == x)
                flow1[x][j][k] = WaterDensity * m_ar_x[x][j][k] * (xvel[x + 1][j][k] * m_vec_x[x][j][0] + yvel[x + 1][j][k] * m_vec_x[x][j][1]);
        }
}

void j_faces(const Field3& d, double factor, Layers layers, int i1, int i2)
{
    const int y = ynumber, k1 = layers.first, k2 = layers.last;
    for (int i = i1; i <= i2; ++i) {
        for (int j = 2; j <= y - 1; ++j) {
            const double *pm = Pres[i][j - 1].data(), *p0 = Pres[i][j].data(), *p1 = Pres[i][j + 1].data(), *p2 = Pres[i][j + 2].data();
            bool low_end = j == 2, high_end = j + 1 == y;
            // Beyond an edge row joined to a side block lies the partner cell.
            if (MBNo > 0) {
                if (const JointCell c = j == 2 ? joint_across_edge(i, 1) : JointCell{}) {
                    pm = Pres[c.i][c.j].data();
                    low_end = false;
                }
                if (const JointCell c = j + 1 == y ? joint_across_edge(i, y) : JointCell{}) {
                    p2 = Pres[c.i][c.j].data();
                    high_end = false;
                }
            }
            const double *u0 = xvel[i][j].data(), *u1 = xvel[i][j + 1].data(), *v0 = yvel[i][j].data(), *v1 = yvel[i][j + 1].data();
            const double *dp = d[i][j].data(), *dn = d[i][j + 1].data();
            const double *h0 = m_dist_y[i][j].data(), *h1 = m_dist_y[i][j + 1].data();
            const double* area = m_ar_y[i][j].data();
            const int *wall_p = WallJ[i][j].data(), *wall_n = WallJ[i][j + 1].data();
            const double nx = m_vec_y[i][j][0], ny = m_vec_y[i][j][1];
            double* out = flow2[i][j].data();
            for (int k = k1; k <= k2; ++k) {
                const double w = h1[k] / (h0[k] + h1[k] + 1e-30);
                const bool closed_p = low_end || wall_p[k] == 1 || out_block_cell(i, j - 1, k);
                const bool closed_n = high_end || wall_n[k] == -1 || out_block_cell(i, j + 2, k);
                double gp, gn;
                cell_gradients(pm[k], p0[k], p1[k], p2[k], closed_p, closed_n, gp, gn);
                const double uf = w * u0[k] + (1.0 - w) * u1[k], vf = w * v0[k] + (1.0 - w) * v1[k];
                const double c = correction(mean_gradient(w, gp, gn), p1[k] - p0[k], area[k], w, dp[k], dn[k], factor);
                out[k] = WaterDensity * (area[k] * (uf * nx + vf * ny) + c);
            }
        }
        for (int k = k1; k <= k2; ++k) {
            flow2[i][1][k] = WaterDensity * m_ar_y[i][1][k] * (xvel[i][1][k] * m_vec_y[i][1][0] + yvel[i][1][k] * m_vec_y[i][1][1]);
            flow2[i][y][k] = WaterDensity * m_ar_y[i][y][k] * (xvel[i][y + 1][k] * m_vec_y[i][y][0] + yvel[i][y + 1][k] * m_vec_y[i][y][1]);
        }
    }
}

void k_faces(const Field3& d, double factor, int i1, int i2)
{
    const int y = ynumber, z = znumber;
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= y; ++j) {
            const double *p = Pres[i][j].data(), *u = xvel[i][j].data(), *v = yvel[i][j].data(), *w3 = zvel[i][j].data();
            const double *dd = d[i][j].data(), *h = m_dist_z[i][j].data(), *area = m_ar_z[i][j].data();
            const int* wall = WallK[i][j].data();
            const Field2 normal = m_vec_z[i][j];
            double* out = flow3[i][j].data();
            for (int k = 2; k <= z - 1; ++k) {
                const double w = h[k + 1] / (h[k] + h[k + 1] + 1e-30);
                const bool closed_p = k == 2 || wall[k] == 1 || out_block_cell(i, j, k - 1);
                const bool closed_n = k + 1 == z || wall[k + 1] == -1 || out_block_cell(i, j, k + 2);
                double gp, gn;
                cell_gradients(p[k - 1], p[k], p[k + 1], p[k + 2], closed_p, closed_n, gp, gn);
                const double uf = w * u[k] + (1.0 - w) * u[k + 1], vf = w * v[k] + (1.0 - w) * v[k + 1];
                const double wf = w * w3[k] + (1.0 - w) * w3[k + 1];
                const double c = correction(mean_gradient(w, gp, gn), p[k + 1] - p[k], area[k], w, dd[k], dd[k + 1], factor);
                out[k] = WaterDensity * (area[k] * (uf * normal[k][0] + vf * normal[k][1] + wf * normal[k][2]) + c);
            }
            out[1] = WaterDensity * area[1] * (u[1] * normal[1][0] + v[1] * normal[1][1] + w3[1] * normal[1][2]);
            out[z] = WaterDensity * area[z] * (u[z + 1] * normal[z][0] + v[z + 1] * normal[z][1] + w3[z + 1] * normal[z][2]);
            if (FlagTFS == 1) out[z] = 0.0;
        }
}

// The J-face between the edge row of the main block and the first row of a
// side block: the partner cell is the neighbour across the face.
void joint_faces(const Field3& d, double factor, Layers layers, int i1, int i2)
{
    const int y = ynumber;
    for (int i = i1; i <= i2; ++i)
        for (int edge : {1, y}) {
            const JointCell partner = joint_across_edge(i, edge);
            const int a = partner.i, b = partner.j;
            if (!partner) continue;
            // P is the cell below the face, N the one above (in j of the main block).
            const bool south = edge == 1;
            const int pi = south ? a : i, pj = south ? b : y;
            const int ni = south ? i : a, nj = south ? 2 : b;
            for (int k = layers.first; k <= layers.last; ++k) {
                const double hp = south ? m_dist_x[a][b][k] : m_dist_y[i][y][k];
                const double hn = south ? m_dist_y[i][2][k] : m_dist_x[a][b][k];
                const double w = hn / (hp + hn + 1e-30);
                // Neighbours beyond P and N along the line through the face.
                const double p_before = south ? Pres[a + 1][b][k] : Pres[i][y - 1][k];
                const double p_after = south ? Pres[i][3][k] : Pres[a + 1][b][k];
                const double pp = Pres[pi][pj][k], pn = Pres[ni][nj][k];
                const double gp = (pn - p_before) / 2.0, gn = (p_after - pp) / 2.0;
                const double area = m_ar_y[i][edge][k];
                const double uf = w * xvel[pi][pj][k] + (1.0 - w) * xvel[ni][nj][k];
                const double vf = w * yvel[pi][pj][k] + (1.0 - w) * yvel[ni][nj][k];
                const double c = correction(mean_gradient(w, gp, gn), pn - pp, area, w, d[pi][pj][k], d[ni][nj][k], factor);
                flow2[i][edge][k] = WaterDensity * (area * (uf * m_vec_y[i][edge][0] + vf * m_vec_y[i][edge][1]) + c);
            }
        }
}

// FlagRhieChow 1, 2 and 10: harmonic-mean face velocities, everywhere (1) or
// only where the water is shallow against the cell size (2, 10).
void harmonic_fluxes(Layers layers, int i1, int i2)
{
    const int x = xnumber, y = ynumber, k1 = layers.first, k2 = layers.last;
    auto shallow = [](double depth, double distance) {
        if (FlagRhieChow == 1) return true;
        return depth / (distance + 1e-30) <= 0.02;
    };
    auto depth_at = [](double summed) { return FlagRhieChow == 2 ? 0.5 * summed : summed; };
    for (int i = i1; i <= std::min(i2, x - 1); ++i)
        for (int j = 2; j <= y; ++j) {
            const double summed = column_depth(i, j) + column_depth(i + 1, j);
            if (!shallow(depth_at(summed), m_dist_x[i][j][0] + m_dist_x[i + 1][j][0])) continue;
            for (int k = k1; k <= k2; ++k)
                flow1[i][j][k] = WaterDensity * m_ar_x[i][j][k] *
                                 (harmonic(xvel[i][j][k], xvel[i + 1][j][k]) * m_vec_x[i][j][0] + harmonic(yvel[i][j][k], yvel[i + 1][j][k]) * m_vec_x[i][j][1]);
        }
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= y - 1; ++j) {
            const double summed = column_depth(i, j) + column_depth(i, j + 1);
            if (!shallow(depth_at(summed), m_dist_y[i][j][0] + m_dist_y[i][j + 1][0])) continue;
            for (int k = k1; k <= k2; ++k)
                flow2[i][j][k] = WaterDensity * m_ar_y[i][j][k] *
                                 (harmonic(xvel[i][j][k], xvel[i][j + 1][k]) * m_vec_y[i][j][0] + harmonic(yvel[i][j][k], yvel[i][j + 1][k]) * m_vec_y[i][j][1]);
        }
}

// FlagRhieChow 3: faces whose original level (index 0) stands above the bed
// carry less, with the fifth power of the wet share of the column.
void reduce_by_original_level(Layers layers, int i1, int i2)
{
    const int x = xnumber, y = ynumber, k1 = layers.first, k2 = layers.last;
    for (int i = i1; i <= std::min(i2, x - 1); ++i)
        for (int j = 2; j <= y; ++j) {
            const double level0 = 0.5 * (zval[i][j - 1][0] + zval[i][j][0]), bed = 0.5 * (zval[i][j - 1][1] + zval[i][j][1]);
            if (level0 < bed) continue;
            const double r = std::min(1.0, (level0 - bed) / (2.0 * m_dist_z[i][j][0] + 1e-30));
            const double factor = std::pow(r, 5.0);
            for (int k = k1; k <= k2; ++k) flow1[i][j][k] *= factor;
        }
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= y - 1; ++j) {
            const double level0 = 0.5 * (zval[i - 1][j][0] + zval[i][j][0]), bed = 0.5 * (zval[i - 1][j][1] + zval[i][j][1]);
            if (level0 < bed) continue;
            const double r = std::min(1.0, (level0 - bed) / (2.0 * m_dist_z[i][j][0] + 1e-30));
            const double factor = std::pow(r, 5.0);
            for (int k = k1; k <= k2; ++k) flow2[i][j][k] *= factor;
        }
}

void clear_wall_fluxes(Layers layers)
{
    const bool vertical = !layers.column();
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const int *wi = WallI[i][j].data(), *wj = WallJ[i][j].data(), *wk = WallK[i][j].data();
            for (int k = layers.first; k <= layers.last; ++k) {
                if (wi[k] == 1) flow1[i - 1][j][k] = 0.0;
                if (wi[k] == -1) flow1[i][j][k] = 0.0;
                if (wj[k] == 1) flow2[i][j - 1][k] = 0.0;
                if (wj[k] == -1) flow2[i][j][k] = 0.0;
                if (!vertical) continue;
                if (wk[k] == 1) flow3[i][j][k - 1] = 0.0;
                if (wk[k] == -1) flow3[i][j][k] = 0.0;
            }
        }
}

// The same for the faces cells i1 ... i2 own (the I-faces on their high side
// and the inflow face with cell 2): zero where a wall marker of either cell
// beside the face points at it.
void clear_wall_faces(int i1, int i2)
{
    const int x = xnumber, y = ynumber, z = znumber;
    for (int i = (i1 == 2 ? 1 : i1); i <= i2; ++i)
        for (int j = 2; j <= y; ++j) {
            const int *low = WallI[i][j].data(), *high = WallI[std::min(i + 1, x)][j].data();
            double* out = flow1[i][j].data();
            for (int k = 2; k <= z; ++k)
                if ((i >= 2 && low[k] == -1) || (i + 1 <= x && high[k] == 1)) out[k] = 0.0;
        }
    for (int i = std::max(i1, 2); i <= i2; ++i)
        for (int j = 1; j <= y; ++j) {
            const int *low = WallJ[i][j].data(), *high = WallJ[i][std::min(j + 1, y)].data();
            double* out = flow2[i][j].data();
            for (int k = 2; k <= z; ++k)
                if ((j >= 2 && low[k] == -1) || (j + 1 <= y && high[k] == 1)) out[k] = 0.0;
        }
    for (int i = std::max(i1, 2); i <= i2; ++i)
        for (int j = 2; j <= y; ++j) {
            const int* wall = WallK[i][j].data();
            double* out = flow3[i][j].data();
            for (int k = 1; k <= z; ++k)
                if ((k >= 2 && wall[k] == -1) || (k + 1 <= z && wall[k + 1] == 1)) out[k] = 0.0;
        }
}

void clear_out_block_fluxes(Layers layers)
{
    for (int n = 1; n <= OutBlockNo; ++n) {
        const OutBlockRecord& b = OutBlock[n];
        const Layers box = box_layers(b.k1, b.k2, layers);
        for (int i = b.i1; i <= b.i2; ++i)
            for (int j = b.j1; j <= b.j2; ++j)
                for (int k = box.first; k <= box.last; ++k) {
                    flow1[i - 1][j][k] = flow1[i][j][k] = 0.0;
                    flow2[i][j - 1][k] = flow2[i][j][k] = 0.0;
                    if (!layers.column()) flow3[i][j][k - 1] = flow3[i][j][k] = 0.0;
                }
    }
}

// The fluxes of the faces cells i1 ... i2 own, before the walls close them.
void open_faces(Layers layers, int i1, int i2)
{
    const Field3& d = RelaxRhieChow < 0 ? invFlow : invAP;
    // Before the start-up there is no relaxation factor and no correction.
    const double factor = relaxVelocity > 0.0 ? std::fabs(RelaxRhieChow) / relaxVelocity : 0.0;
    i_faces(d, factor, layers, i1, i2);
    j_faces(d, factor, layers, i1, i2);
    if (!layers.column()) k_faces(d, factor, i1, i2);
    if (MBNo > 0) joint_faces(d, factor, layers, i1, i2);
    if (FlagRhieChow == 1 || FlagRhieChow == 2 || FlagRhieChow == 10) harmonic_fluxes(layers, i1, i2);
    if (FlagRhieChow == 3) reduce_by_original_level(layers, i1, i2);
}

// What follows the faces: out-blocks pass no water, and a joint line passes
// water only through an opening of its own.
void closed_faces(Layers layers)
{
    clear_out_block_fluxes(layers);
    if (MBNo > 0) joint_opening_fluxes();
}

}  // namespace

void face_fluxes(Layers layers)
{
    open_faces(layers, 2, xnumber);
    clear_wall_fluxes(layers);
    closed_faces(layers);
}

void waterflow()
{
    face_fluxes(water_layers());
}

void waterflowOpenMP(int i1, int i2)
{
    open_faces(water_layers(), i1, i2);
    clear_wall_faces(i1, i2);
}

void waterflow_on_slabs()
{
    for_each_slab(slab_count(), [](Slab s) { waterflowOpenMP(s.first, s.last); });
    closed_faces(water_layers());
}

}  // namespace zefra
