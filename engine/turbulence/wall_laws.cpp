// Rough-wall laws for the cells next to walls: the bed, a roof, side walls
// and the faces of out-blocks.
//
// With y the distance of the cell centre from the wall face (square to the
// wall, so that skewed cells see the same wall layer) and ks its
// roughness, E = ln(30 y / ks) / kappa is the velocity at y in units of the
// friction velocity u* = C_mu^0.25 k^0.5.  Then
//   momentum: friction rho u* A / E on the velocity along the wall,
//   k:        production tau_w u / y and dissipation C_mu^0.75 k^1.5 E / y
//             instead of the terms of the turbulence model,
//   epsilon:  fixed at C_mu^0.75 k^1.5 / (kappa y) (omega of the k-omega
//             models and nu~ of the one-equation model: see below).
// wallall sums every wall face of a cell, wall takes only the nearest.
#include "engine/turbulence/wall_laws.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "engine/common/boogie.h"
#include "engine/common/physics.h"
#include "engine/common/run_exit.h"
#include "engine/flow3d/slabs.h"
#include "engine/grid/multiblock.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_turbulence.h"
#include "engine/turbulence/model_constants.h"

namespace zefra {

namespace {

constexpr double Fixed = 1e30;  // central coefficient that fixes a value
constexpr double MinK = 1e-9;

enum class Side { I, J, Bed, Roof };

struct WallFace {
    Side side;
    double y;       // distance of the cell centre from the face
    double area;
    double n[3];    // unit normal
    double ks;      // roughness height
    double kappa;
};

struct Constants {
    double c25, c75;  // C_mu^0.25, C_mu^0.75
};

Constants model_constants()
{
    const double cmu = rng_model() ? RngCMu : CMu;
    return {std::pow(cmu, 0.25), std::pow(cmu, 0.75)};
}

// Side walls take the roughness of their side of the channel; a roof the
// wall roughness all across.
double side_roughness(int j)
{
    return j == 2 ? XksJ1 : j == ynumber ? XksJ2 : XksWall;
}

// The von Karman constant at the bed, reduced by suspended sediment.
double bed_kappa(int i, int j, int k)
{
    if (WallChoiseSed != 0) return Xkappa;
    return Xkappa / (2.5 * conc[0][i][j][k] + 1.0);
}

// Position of corner (di, dj) of cell (i, j) at level k (the joint-aware corner).
void corner(int i, int j, int di, int dj, int k, double p[3])
{
    const NodeIndex n = cell_corner(i, j, di, dj);
    p[0] = xval[n.i][n.j];
    p[1] = yval[n.i][n.j];
    p[2] = zval[n.i][n.j][k];
}

// Mean position of the given corners (di, dj pairs) at levels k0 and k1.
void corner_centre(int i, int j, std::initializer_list<std::pair<int, int>> corners, int k0, int k1, double c[3])
{
    c[0] = c[1] = c[2] = 0.0;
    const double weight = 1.0 / (2.0 * static_cast<double>(corners.size()));
    for (const auto& [di, dj] : corners)
        for (int k : {k0, k1}) {
            double p[3];
            corner(i, j, di, dj, k, p);
            for (int m = 0; m < 3; ++m) c[m] += weight * p[m];
        }
}

// Centre of cell (i, j, k): the mean of its eight corners.
void cell_centre(int i, int j, int k, double c[3])
{
    corner_centre(i, j, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}, k - 1, k, c);
}

// Distance of the centre of cell (i, j, k) from the plane through the face
// centre f with unit normal n: the wall distance of the log law, measured
// square to the wall.  On a skewed grid it is shorter than half the cell's
// edge across the wall.
double wall_distance(int i, int j, int k, const double f[3], const double n[3])
{
    double c[3];
    cell_centre(i, j, k, c);
    return std::fabs((c[0] - f[0]) * n[0] + (c[1] - f[1]) * n[1] + (c[2] - f[2]) * n[2]);
}

WallFace i_face(int i, int j, int k, int marker)
{
    const int face = marker == 1 ? i - 1 : i;
    const int di = marker == 1 ? 0 : 1;
    const double n[3] = {m_vec_x[face][j][0], m_vec_x[face][j][1], 0.0};
    double f[3];
    corner_centre(i, j, {{di, 0}, {di, 1}}, k - 1, k, f);
    return {Side::I, wall_distance(i, j, k, f, n), m_ar_x[face][j][k], {n[0], n[1], n[2]}, side_roughness(j), Xkappa};
}

WallFace j_face(int i, int j, int k, int marker)
{
    const int face = marker == 1 ? j - 1 : j;
    const int dj = marker == 1 ? 0 : 1;
    const double n[3] = {m_vec_y[i][face][0], m_vec_y[i][face][1], 0.0};
    double f[3];
    corner_centre(i, j, {{0, dj}, {1, dj}}, k - 1, k, f);
    return {Side::J, wall_distance(i, j, k, f, n), m_ar_y[i][face][k], {n[0], n[1], n[2]}, side_roughness(j), Xkappa};
}

WallFace k_face(int i, int j, int k, int marker)
{
    const int face = marker == 1 ? k - 1 : k;
    const double* n = m_vec_z[i][j][face].data();
    double f[3];
    corner_centre(i, j, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}, face, face, f);
    const double y = wall_distance(i, j, k, f, n);
    if (marker == 1) return {Side::Bed, y, m_ar_z[i][j][face], {n[0], n[1], n[2]}, Xks[i][j], bed_kappa(i, j, k)};
    return {Side::Roof, y, m_ar_z[i][j][face], {n[0], n[1], n[2]}, XksWall, Xkappa};
}

// Calls visit(face) for every wall face of cell (i, j, k).
template <class Visit>
void for_each_wall_face(int i, int j, int k, Visit visit)
{
    if (const int m = WallI[i][j][k]; m != 0) visit(i_face(i, j, k, m));
    if (const int m = WallJ[i][j][k]; m != 0) visit(j_face(i, j, k, m));
    if (const int m = WallK[i][j][k]; m != 0) visit(k_face(i, j, k, m));
}

// The rough-wall log law: velocity at y over u*, its logarithm floored.
double log_law(const WallFace& w, double floor)
{
    return std::max(std::log(30.0 * w.y / w.ks), floor) / w.kappa;
}

// The log law of wallall, with the bed-form laws at the bed (WallChoiseForm).
double log_law_all(const WallFace& w, int i, int j)
{
    if (w.side == Side::Bed && WallChoiseForm != 0) {
        if (w.y <= w.ks) return std::max(3.4 * w.y / (w.ks * w.kappa), 0.01);
        if (WallChoiseForm == 1 && w.y > Bedformheight[i][j]) return std::max(0.135 * (w.y / w.ks - 1.0) + 3.4 / w.kappa, 0.01);
    }
    return log_law(w, 0.01);
}

// Wall law of the k equation of the k-omega model 15: the smooth-wall law,
// but never above the rough-wall law, which governs once the roughness
// elements stick out of the viscous sublayer (river beds).
double smooth_law(const WallFace& w, double k, int i, int j)
{
    const double y_star = std::sqrt(0.3 * k) * w.y * 1e6;
    const double smooth = y_star > 11.626 ? std::log(9.0 * y_star) / w.kappa : y_star;
    return std::min(smooth, log_law_all(w, i, j));
}

// Momentum: friction on the velocity along the wall face.  The friction
// velocity comes from k; the one-equation model, whose k array holds the
// modified eddy viscosity, takes it from the log law and the velocity along
// the wall instead.
void add_friction(int i, int j, int k, const WallFace& w, double e, bool replace, const Constants& c)
{
    const double u = xvel[i][j][k], v = yvel[i][j][k], ww = zvel[i][j][k];
    const double normal = u * w.n[0] + v * w.n[1] + ww * w.n[2];
    double u_star;
    if (one_equation_model()) {
        const double tu = u - normal * w.n[0], tv = v - normal * w.n[1], tw = ww - normal * w.n[2];
        u_star = std::sqrt(tu * tu + tv * tv + tw * tw) / e;
    } else {
        u_star = c.c25 * std::sqrt(std::max(kinen[i][j][k], MinK));
    }
    const double friction = WaterDensity * u_star * w.area / e;
    if (replace)
        wap[i][j][k] = friction;
    else
        wap[i][j][k] += friction;
    source[i][j][k] += friction * normal * w.n[Equation - 1];
}

// k: production and dissipation of the wall layer.
void add_k_terms(int i, int j, int k, const WallFace& w, double e, const Constants& c)
{
    const double kk = std::max(kinen[i][j][k], MinK), root = std::sqrt(kk);
    const double u = xvel[i][j][k], v = yvel[i][j][k], ww = zvel[i][j][k];
    const double volume = Volume[i][j][k];
    wap[i][j][k] += WaterDensity * c.c75 * root * e / w.y * volume;
    source[i][j][k] += WaterDensity * c.c25 * root * (u * u + v * v + ww * ww) / (e * w.y) * volume;
}

// The value epsilon (or omega) takes in a cell next to the wall face.  For the
// k-omega models omega = eps / (C_mu k) of the same wall layer; at the bed of
// model 15 the wall value 2500 nu / ks^2 where that is larger (a cell inside
// the viscous sublayer of a smooth bed).
double wall_dissipation(int i, int j, int k, const WallFace& w, const Constants& c)
{
    const double kk = std::max(kinen[i][j][k], MinK);
    if (k_omega_model()) {
        const double log_layer = std::sqrt(kk) / (c.c25 * w.kappa * w.y);
        if (TurbulenceModel == 15 && w.side == Side::Bed) return std::max(0.0025 / (w.ks * w.ks + 1e-20), log_layer);
        return log_layer;
    }
    return c.c75 * kk * std::sqrt(kk) / (w.kappa * w.y);
}

// The one-equation model (14): nu~ in a wall cell is the log-layer eddy
// viscosity kappa u* y, with u* from the log law and the speed of the cell.
void fix_modified_viscosity(int i, int j, int k, const WallFace& w, double e)
{
    const double u = xvel[i][j][k], v = yvel[i][j][k], ww = zvel[i][j][k];
    const double u_star = std::sqrt(u * u + v * v + ww * ww) / e;
    wap[i][j][k] += Fixed;
    source[i][j][k] += Fixed * w.kappa * u_star * w.y;
}

void fix_dissipation(int i, int j, int k, const WallFace& w, const Constants& c)
{
    wap[i][j][k] += Fixed;
    source[i][j][k] += Fixed * wall_dissipation(i, j, k, w, c);
}

// Which faces of a wall cell take part in the k and epsilon treatment.
bool treated_for_turbulence(int i, int j, int k, const WallFace& w)
{
    if (FlagWallAll == 3) return w.side == Side::Bed || w.side == Side::Roof;
    if (FlagWallAll == 4) {
        if (WallK[i][j][k] == 1) return true;
        double centre = m_dist_z[i][j][k];
        for (int m = 2; m < k; ++m) centre += 2.0 * m_dist_z[i][j][m];
        return centre < Xks[i][j];
    }
    return true;
}

// Epsilon at the free surface (FlagSurfEps 1): k^1.5 over a length
// proportional to the depth.
void surface_dissipation(const Constants& c, int i1, int i2)
{
    const int k = znumber;
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const double kk = std::max(kinen[i][j][k], MinK);
            const double depth = 2.0 * m_dist_z[i][j][0];
            double value = kk * std::sqrt(kk) / (SurfEpsCoeff * depth + 1e-20);
            if (k_omega_model()) value /= c.c25 * c.c25 * c.c25 * c.c25 * kk;
            wap[i][j][k] += Fixed;
            source[i][j][k] += Fixed * value;
        }
}

void clear_wall_cells(bool (*treated)(int, int, int), int i1, int i2)
{
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k)
                if (Wall[i][j][k] != 0 && treated(i, j, k)) {
                    wap[i][j][k] = 0.0;
                    source[i][j][k] = 0.0;
                }
}

bool any_treated_face(int i, int j, int k)
{
    bool any = false;
    for_each_wall_face(i, j, k, [&](const WallFace& w) { any = any || treated_for_turbulence(i, j, k, w); });
    return any;
}

bool every_wall_cell(int, int, int)
{
    return true;
}

// wallall for the cells i1 ... i2: every wall cell works on its own wap and
// source only.
void wall_cells(int e, int i1, int i2)
{
    const Constants c = model_constants();
    if (e >= 5) clear_wall_cells(any_treated_face, i1, i2);
    for (int i = i1; i <= i2; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                if (Wall[i][j][k] == 0) continue;
                for_each_wall_face(i, j, k, [&](const WallFace& w) {
                    if (e <= 3) {
                        add_friction(i, j, k, w, log_law_all(w, i, j), false, c);
                    } else if (treated_for_turbulence(i, j, k, w)) {
                        if (e == 5 && one_equation_model()) {
                            fix_modified_viscosity(i, j, k, w, log_law_all(w, i, j));
                        } else if (e == 5) {
                            const bool smooth = TurbulenceModel == 15;
                            add_k_terms(i, j, k, w, smooth ? smooth_law(w, std::max(kinen[i][j][k], MinK), i, j) : log_law_all(w, i, j), c);
                        } else {
                            fix_dissipation(i, j, k, w, c);
                        }
                    }
                });
            }
    if (e == 6 && FlagSurfEps == 1) surface_dissipation(c, i1, i2);
}

bool has_wall_terms(int e)
{
    return e == 1 || e == 2 || e == 3 || e == 5 || e == 6;
}

}  // namespace

void wallall()
{
    if (has_wall_terms(Equation)) wall_cells(Equation, 2, xnumber);
}

void wallallOpenMP(int i1, int i2)
{
    if (has_wall_terms(Equation)) wall_cells(Equation, i1, i2);
}

void wallall_on_slabs()
{
    const int e = Equation;
    if (!has_wall_terms(e)) return;
    for_each_slab(slab_count(), [e](Slab s) { wall_cells(e, s.first, s.last); });
}

void wall()
{
    const int e = Equation;
    if (e > 3 && e != 5 && e != 6) log_and_end(0, "Error in wall, Equation = %d\n", e);
    const Constants c = model_constants();
    if (e >= 5) clear_wall_cells(every_wall_cell, 2, xnumber);
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                if (Wall[i][j][k] == 0) continue;
                const double yi = WallI[i][j][k] != 0 ? i_face(i, j, k, WallI[i][j][k]).y : 1000.0;
                const double yj = WallJ[i][j][k] != 0 ? j_face(i, j, k, WallJ[i][j][k]).y : 1000.0;
                const double yk = WallK[i][j][k] != 0 ? k_face(i, j, k, WallK[i][j][k]).y : 1000.0;
                const double y = std::min({yi, yj, yk});
                if (y < 1e-10) {
                    Boogie log;
                    log.print("Error, too small Mdist in wall\n");
                    if (e == 5) log.print("Mdist(%d,%d,%d,%d) = %e\n", i, j, k, e, y);
                    log.close();
                    end_run(0);
                }
                WallFace w;
                if (WallI[i][j][k] != 0 && std::fabs(yi - y) <= 1e-4 * y)
                    w = i_face(i, j, k, WallI[i][j][k]);
                else if (WallJ[i][j][k] != 0 && std::fabs(yj - y) <= 1e-4 * y)
                    w = j_face(i, j, k, WallJ[i][j][k]);
                else
                    w = k_face(i, j, k, WallK[i][j][k]);
                if (e <= 3)
                    add_friction(i, j, k, w, log_law(w, 1.0), true, c);
                else if (e == 5 && one_equation_model())
                    fix_modified_viscosity(i, j, k, w, log_law(w, 0.01));
                else if (e == 5)
                    add_k_terms(i, j, k, w, log_law(w, 0.01), c);
                else
                    fix_dissipation(i, j, k, w, c);
            }
}

}  // namespace zefra
