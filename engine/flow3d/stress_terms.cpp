// Transposed stress terms.  The stress on momentum component e is
// Gamma (d u_e / d x_j + d u_j / d x_e); the diffusion coefficients carry the
// first part, StressOrt the second, explicitly.  Every interior face between
// cell P (the lower index) and cell N carries
//   F = Gamma_f A_f d(u.n) / d x_e,
// u.n the velocity across the face (its unit normal n), Gamma_f the mean of
// the two cells; F is added to source[P] and taken from source[N], so that the
// terms sum to zero over the grid.  Faces on the grid boundary carry nothing.
//
// w equation: the derivative along the vertical grid lines, on I- and J-faces
// a four-point central difference in k over the two cells divided by their
// plan-area weighted height, on K-faces the difference of the two cells over
// the sum of their half heights.
// u and v equations: the difference across the face and the four-point
// difference along it in plan, each over the plan distance between the cell
// centres it spans, solved for d/dx and d/dy, so that a turned or skewed grid
// gives the terms of an aligned one.
// Called by WaterSolve for Equation 1, 2, 3 when F 100 is 1.
#include "engine/flow3d/stress_terms.h"

#include <cmath>

#include "engine/grid/columns.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"

namespace zefra {

namespace {

struct PlanVector {
    double x, y;
};

PlanVector operator-(PlanVector a, PlanVector b)
{
    return {a.x - b.x, a.y - b.y};
}

PlanVector operator+(PlanVector a, PlanVector b)
{
    return {a.x + b.x, a.y + b.y};
}

PlanVector operator*(double s, PlanVector a)
{
    return {s * a.x, s * a.y};
}

// Plan position of the centre of column (i, j); a ghost column lies on the
// boundary line, where its values stand.
PlanVector centre(int i, int j)
{
    return {corner_mean(i, j, [](int a, int b) { return xval[a][b]; }), corner_mean(i, j, [](int a, int b) { return yval[a][b]; })};
}

double normal_velocity(int i, int j, int k, double nx, double ny, double nz = 0.0)
{
    return xvel[i][j][k] * nx + yvel[i][j][k] * ny + zvel[i][j][k] * nz;
}

double face_gamma(int i, int j, int k, int a, int b, int c)
{
    return 0.5 * (gama[i][j][k] + gama[a][b][c]);
}

void add_flux(int i, int j, int k, int a, int b, int c, double flux)
{
    source[i][j][k] += flux;
    source[a][b][c] -= flux;
}

// d/dx (e = 0) or d/dy (e = 1) of a quantity that changes by `first` over the
// plan vector r1 and by `second` over r2; 0 where the two are parallel.
double plan_derivative(int e, double first, PlanVector r1, double second, PlanVector r2)
{
    const double det = r1.x * r2.y - r1.y * r2.x;
    if (std::fabs(det) <= 1e-6 * std::hypot(r1.x, r1.y) * std::hypot(r2.x, r2.y) || det == 0.0) return 0.0;
    return e == 0 ? (first * r2.y - r1.y * second) / det : (r1.x * second - first * r2.x) / det;
}

// --- w equation ------------------------------------------------------------

void vertical_terms()
{
    const int x = xnumber, y = ynumber, z = znumber;
    for (int i = 2; i <= x; ++i)
        for (int j = 2; j <= y; ++j)
            for (int k = 2; k <= z; ++k) {
                // I-face to (i+1, j, k).
                if (i < x) {
                    const double nx = m_vec_x[i][j][0], ny = m_vec_x[i][j][1];
                    const double dun = 0.25 * (normal_velocity(i + 1, j, k + 1, nx, ny) + normal_velocity(i, j, k + 1, nx, ny) -
                                               normal_velocity(i + 1, j, k - 1, nx, ny) - normal_velocity(i, j, k - 1, nx, ny));
                    const double height = m_armap[i][j] * m_dist_z[i][j][k] + m_armap[i + 1][j] * m_dist_z[i + 1][j][k];
                    if (height > 0.0) add_flux(i, j, k, i + 1, j, k, face_gamma(i, j, k, i + 1, j, k) / height * dun * m_armap[i][j] * m_ar_x[i][j][k]);
                }
                // J-face to (i, j+1, k).
                if (j < y) {
                    const double nx = m_vec_y[i][j][0], ny = m_vec_y[i][j][1];
                    const double dun = 0.25 * (normal_velocity(i, j + 1, k + 1, nx, ny) + normal_velocity(i, j, k + 1, nx, ny) -
                                               normal_velocity(i, j + 1, k - 1, nx, ny) - normal_velocity(i, j, k - 1, nx, ny));
                    const double height = m_armap[i][j] * m_dist_z[i][j][k] + m_armap[i][j + 1] * m_dist_z[i][j + 1][k];
                    if (height > 0.0) add_flux(i, j, k, i, j + 1, k, face_gamma(i, j, k, i, j + 1, k) / height * dun * m_armap[i][j] * m_ar_y[i][j][k]);
                }
                // K-face to (i, j, k+1).
                if (k < z) {
                    const Field1 n = m_vec_z[i][j][k];
                    const double dun = normal_velocity(i, j, k + 1, n[0], n[1], n[2]) - normal_velocity(i, j, k, n[0], n[1], n[2]);
                    const double height = m_dist_z[i][j][k] + m_dist_z[i][j][k + 1];
                    if (height > 0.0) add_flux(i, j, k, i, j, k + 1, face_gamma(i, j, k, i, j, k + 1) * m_ar_z[i][j][k] * dun / height);
                }
            }
}

// --- u and v equations -----------------------------------------------------

void horizontal_terms(int e)
{
    const int x = xnumber, y = ynumber, z = znumber;
    for (int i = 2; i <= x; ++i)
        for (int j = 2; j <= y; ++j) {
            const PlanVector c = centre(i, j), east = centre(i + 1, j), west = centre(i - 1, j), north = centre(i, j + 1), south = centre(i, j - 1);
            for (int k = 2; k <= z; ++k) {
                // I-face to (i+1, j, k): across in i, along in j.
                if (i < x) {
                    const double nx = m_vec_x[i][j][0], ny = m_vec_x[i][j][1];
                    auto un = [&](int a, int b) { return normal_velocity(a, b, k, nx, ny); };
                    const double along = 0.25 * (un(i, j + 1) + un(i + 1, j + 1) - un(i, j - 1) - un(i + 1, j - 1));
                    const PlanVector r = 0.25 * (north + centre(i + 1, j + 1) - south - centre(i + 1, j - 1));
                    const double d = plan_derivative(e, un(i + 1, j) - un(i, j), east - c, along, r);
                    add_flux(i, j, k, i + 1, j, k, face_gamma(i, j, k, i + 1, j, k) * m_ar_x[i][j][k] * d);
                }
                // J-face to (i, j+1, k): across in j, along in i.
                if (j < y) {
                    const double nx = m_vec_y[i][j][0], ny = m_vec_y[i][j][1];
                    auto un = [&](int a, int b) { return normal_velocity(a, b, k, nx, ny); };
                    const double along = 0.25 * (un(i + 1, j) + un(i + 1, j + 1) - un(i - 1, j) - un(i - 1, j + 1));
                    const PlanVector r = 0.25 * (east + centre(i + 1, j + 1) - west - centre(i - 1, j + 1));
                    const double d = plan_derivative(e, un(i, j + 1) - un(i, j), north - c, along, r);
                    add_flux(i, j, k, i, j + 1, k, face_gamma(i, j, k, i, j + 1, k) * m_ar_y[i][j][k] * d);
                }
                // K-face to (i, j, k+1): along i and along j over the two cells.
                if (k < z) {
                    const Field1 n = m_vec_z[i][j][k];
                    auto un = [&](int a, int b) {
                        return normal_velocity(a, b, k, n[0], n[1], n[2]) + normal_velocity(a, b, k + 1, n[0], n[1], n[2]);
                    };
                    const double in_i = 0.25 * (un(i + 1, j) - un(i - 1, j)), in_j = 0.25 * (un(i, j + 1) - un(i, j - 1));
                    const double d = plan_derivative(e, in_i, 0.5 * (east - west), in_j, 0.5 * (north - south));
                    add_flux(i, j, k, i, j, k + 1, face_gamma(i, j, k, i, j, k + 1) * m_ar_z[i][j][k] * d);
                }
            }
        }
}

}  // namespace

void StressOrt()
{
    if (Equation == 3)
        vertical_terms();
    else if (Equation == 1 || Equation == 2)
        horizontal_terms(Equation - 1);
}

}  // namespace zefra
