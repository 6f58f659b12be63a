#include "engine/turbulence/cell_gradients.h"

#include "engine/grid/multiblock.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"

namespace zefra {

namespace {

// Weight of the cell's own value at a face: the neighbour's share of the
// distance between the two centres.
inline double own_weight(double own_half, double other_half)
{
    return other_half / (own_half + other_half + 1e-30);
}

// Calls face(weight, neighbour i, neighbour j, neighbour k, nx, ny, nz, area)
// for the six faces of cell (i, j, k), normals pointing out of the cell.
// Across a block joint the neighbour is the partner cell, the face is the
// main block's edge J-face, and the partner's distance to it is its own
// half extent across that face (j in the main block, i in the side block).
// On the column layer (k = 0) only the four side faces.
template <class Face>
inline void for_each_face(int i, int j, int k, Face face)
{
    const double hx = m_dist_x[i][j][k], hy = m_dist_y[i][j][k], hz = m_dist_z[i][j][k];
    const JointCell w = MBNo > 0 ? joint_low_i(i, j) : JointCell{};
    if (w) {
        const int edge = w.j == 2 ? 1 : ynumber;
        const double sign = w.j == 2 ? 1.0 : -1.0;  // the edge normal points into the main block
        face(own_weight(hx, m_dist_y[w.i][w.j][k]), w.i, w.j, k, sign * m_vec_y[w.i][edge][0], sign * m_vec_y[w.i][edge][1], 0.0,
             m_ar_y[w.i][edge][k]);
    } else {
        face(own_weight(hx, m_dist_x[i - 1][j][k]), i - 1, j, k, -m_vec_x[i - 1][j][0], -m_vec_x[i - 1][j][1], 0.0, m_ar_x[i - 1][j][k]);
    }
    face(own_weight(hx, m_dist_x[i + 1][j][k]), i + 1, j, k, m_vec_x[i][j][0], m_vec_x[i][j][1], 0.0, m_ar_x[i][j][k]);
    const JointCell s = MBNo > 0 && j == 2 ? joint_across_edge(i, 1) : JointCell{};
    const JointCell n = MBNo > 0 && j == ynumber ? joint_across_edge(i, ynumber) : JointCell{};
    if (s)
        face(own_weight(hy, m_dist_x[s.i][s.j][k]), s.i, s.j, k, -m_vec_y[i][j - 1][0], -m_vec_y[i][j - 1][1], 0.0, m_ar_y[i][j - 1][k]);
    else
        face(own_weight(hy, m_dist_y[i][j - 1][k]), i, j - 1, k, -m_vec_y[i][j - 1][0], -m_vec_y[i][j - 1][1], 0.0, m_ar_y[i][j - 1][k]);
    if (n)
        face(own_weight(hy, m_dist_x[n.i][n.j][k]), n.i, n.j, k, m_vec_y[i][j][0], m_vec_y[i][j][1], 0.0, m_ar_y[i][j][k]);
    else
        face(own_weight(hy, m_dist_y[i][j + 1][k]), i, j + 1, k, m_vec_y[i][j][0], m_vec_y[i][j][1], 0.0, m_ar_y[i][j][k]);
    if (k == 0) return;  // a column of the depth-averaged solver has no faces above and below
    const double* down = m_vec_z[i][j][k - 1].data();
    const double* up = m_vec_z[i][j][k].data();
    face(own_weight(hz, m_dist_z[i][j][k - 1]), i, j, k - 1, -down[0], -down[1], -down[2], m_ar_z[i][j][k - 1]);
    face(own_weight(hz, m_dist_z[i][j][k + 1]), i, j, k + 1, up[0], up[1], up[2], m_ar_z[i][j][k]);
}

}  // namespace

Vector3 cell_gradient(const Field3& phi, int i, int j, int k)
{
    Vector3 g;
    const double own = phi[i][j][k];
    for_each_face(i, j, k, [&](double w, int a, int b, int c, double nx, double ny, double nz, double area) {
        const double value = (w * own + (1.0 - w) * phi[a][b][c]) * area;
        g.x += value * nx;
        g.y += value * ny;
        g.z += value * nz;
    });
    return g;
}

void velocity_gradient(int i, int j, int k, double g[3][3])
{
    const Field3 u[3] = {xvel, yvel, zvel};
    double own[3];
    for (int a = 0; a < 3; ++a) {
        own[a] = u[a][i][j][k];
        g[a][0] = g[a][1] = g[a][2] = 0.0;
    }
    for_each_face(i, j, k, [&](double w, int a, int b, int c, double nx, double ny, double nz, double area) {
        for (int m = 0; m < 3; ++m) {
            const double value = (w * own[m] + (1.0 - w) * u[m][a][b][c]) * area;
            g[m][0] += value * nx;
            g[m][1] += value * ny;
            g[m][2] += value * nz;
        }
    });
}

double strain_rate_volume(const double g[3][3], double volume)
{
    const double xy = g[0][1] + g[1][0], xz = g[0][2] + g[2][0], yz = g[1][2] + g[2][1];
    const double sum = 2.0 * (g[0][0] * g[0][0] + g[1][1] * g[1][1] + g[2][2] * g[2][2]) + xy * xy + xz * xz + yz * yz;
    return sum / (volume + 1e-30);
}

}  // namespace zefra
