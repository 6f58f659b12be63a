// Cell geometry of the structured grid.  Grid lines are vertical, so I- and
// J-faces are vertical trapezoids (mean height times horizontal length, with a
// horizontal normal) and K-faces are general quadrilaterals whose vector area
// is half the cross product of their diagonals.  Sums are formed in extended
// precision in a fixed order so that the geometry is the same on every call.
//
//   node i-1        node i
//      +---- cell i ----+      I-face i lies on node line i, between
//      |                |      cell i and cell i+1; cells 1 and x+1 are
//      +----------------+      the ghosts outside the grid.
#include "engine/grid/metric.h"

#include <cmath>

#include "engine/common/boogie.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"

namespace zefra {

namespace {

using Sum = long double;  // extended precision for the intermediate sums

constexpr double DegenerateFace = 1e-10;
constexpr double JointFaceArea = 1e-5;  // added to the K-faces of the zero-width joint cells

Sum length(Sum dx, Sum dy, Sum dz = 0)
{
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

bool is_joint_row(int i)
{
    for (int b = 1; b <= MBNo; ++b)
        if (MBSkjot[b] == i - 1) return true;
    return false;
}

void clear_results()
{
    for (Field3* a : {&m_dist_x, &m_dist_y, &m_dist_z, &m_ar_x, &m_ar_y, &m_ar_z, &m_vec_x, &m_vec_y, &Volume}) a->fill(0.0);
    m_vec_z.fill(0.0);
    m_armap.fill(0.0);
    blevel.fill(0.0);
}

// Half extents of every cell and column (the mean edge vectors of each direction).
void half_extents()
{
    const Field2 x = xval, y = yval;
    const Field3 z = zval;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            // Plan components of the mean I- and J-directed edges.
            const Sum dxi = (Sum(x[i][j]) - x[i - 1][j] + x[i][j - 1] - x[i - 1][j - 1]) / 2;
            const Sum dyi = (Sum(y[i][j]) - y[i - 1][j] + y[i][j - 1] - y[i - 1][j - 1]) / 2;
            const Sum dxj = (Sum(x[i][j]) - x[i][j - 1] + x[i - 1][j] - x[i - 1][j - 1]) / 2;
            const Sum dyj = (Sum(y[i][j]) - y[i][j - 1] + y[i - 1][j] - y[i - 1][j - 1]) / 2;
            Sum column_half_depth = 0;
            for (int k = 2; k <= znumber; ++k) {
                const Sum dzi = (Sum(z[i][j][k]) - z[i - 1][j][k] + z[i][j - 1][k] - z[i - 1][j - 1][k] + z[i][j][k - 1] -
                                 z[i - 1][j][k - 1] + z[i][j - 1][k - 1] - z[i - 1][j - 1][k - 1]) /
                                4;
                const Sum dzj = (Sum(z[i][j][k]) - z[i][j - 1][k] + z[i - 1][j][k] - z[i - 1][j - 1][k] + z[i][j][k - 1] -
                                 z[i][j - 1][k - 1] + z[i - 1][j][k - 1] - z[i - 1][j - 1][k - 1]) /
                                4;
                const Sum top = Sum(z[i][j][k]) + z[i - 1][j][k] + z[i][j - 1][k] + z[i - 1][j - 1][k];
                const Sum bottom = Sum(z[i][j][k - 1]) + z[i - 1][j][k - 1] + z[i][j - 1][k - 1] + z[i - 1][j - 1][k - 1];
                const Sum half_height = (top - bottom) / 4 / 2;
                m_dist_x[i][j][k] = static_cast<double>(length(dxi, dyi, dzi) / 2);
                m_dist_y[i][j][k] = static_cast<double>(length(dxj, dyj, dzj) / 2);
                m_dist_z[i][j][k] = static_cast<double>(half_height);
                column_half_depth += half_height;
            }
            m_dist_z[i][j][0] = static_cast<double>(column_half_depth);
            m_dist_x[i][j][0] = static_cast<double>(length(dxi, dyi) / 2);
            m_dist_y[i][j][0] = static_cast<double>(length(dxj, dyj) / 2);
            blevel[i][j] = m_dist_z[i][j][2];
        }
}

// Vertical faces: mean height of the two vertical edges times the horizontal
// length between them; the column total goes to index 0.
void vertical_face_areas()
{
    const Field2 x = xval, y = yval;
    const Field3 z = zval;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 1; j <= ynumber; ++j) {
            const Sum width = length(Sum(x[i][j]) - x[i - 1][j], Sum(y[i][j]) - y[i - 1][j]);
            Sum column = 0;
            for (int k = 2; k <= znumber; ++k) {
                const Sum area = (Sum(z[i][j][k]) + z[i - 1][j][k] - z[i][j][k - 1] - z[i - 1][j][k - 1]) / 2 * width;
                m_ar_y[i][j][k] = static_cast<double>(area);
                column += area;
            }
            m_ar_y[i][j][0] = static_cast<double>(column);
        }
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const Sum width = length(Sum(x[i][j]) - x[i][j - 1], Sum(y[i][j]) - y[i][j - 1]);
            Sum column = 0;
            for (int k = 2; k <= znumber; ++k) {
                const Sum area = (Sum(z[i][j][k]) + z[i][j - 1][k] - z[i][j][k - 1] - z[i][j - 1][k - 1]) / 2 * width;
                m_ar_x[i][j][k] = static_cast<double>(area);
                column += area;
            }
            m_ar_x[i][j][0] = static_cast<double>(column);
        }
}

// Level faces: n = d2 x d1 with the diagonals d1 = (i,j) - (i-1,j-1) and
// d2 = (i,j-1) - (i-1,j); the face area is |n| / 2, the unit normal points up.
void level_faces(Boogie& log)
{
    const Field2 x = xval, y = yval;
    const Field3 z = zval;
    for (int i = 2; i <= xnumber; ++i) {
        const bool joint = is_joint_row(i);
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 1; k <= znumber; ++k) {
                const Sum d1x = Sum(x[i][j]) - x[i - 1][j - 1], d1y = Sum(y[i][j]) - y[i - 1][j - 1];
                const Sum d1z = Sum(z[i][j][k]) - z[i - 1][j - 1][k];
                const Sum d2x = Sum(x[i][j - 1]) - x[i - 1][j], d2y = Sum(y[i][j - 1]) - y[i - 1][j];
                const Sum d2z = Sum(z[i][j - 1][k]) - z[i - 1][j][k];
                const Sum nx = d2y * d1z - d2z * d1y;
                const Sum ny = d2z * d1x - d2x * d1z;
                const Sum nz = d2x * d1y - d2y * d1x;
                Sum n = length(nx, ny, nz);
                if (joint) n += JointFaceArea;
                if (n < DegenerateFace) {
                    log.print(" Error in kelmetric-44 for i=%d j=%d k=%d\n", i, j, k);
                    end_run(-2);
                }
                m_ar_z[i][j][k] = static_cast<double>(n / 2);
                m_vec_z[i][j][k][0] = static_cast<double>(nx / n);
                m_vec_z[i][j][k][1] = static_cast<double>(ny / n);
                m_vec_z[i][j][k][2] = static_cast<double>(nz / n);
            }
    }
}

void plan_areas_and_volumes()
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            m_armap[i][j] = m_ar_z[i][j][2] * m_vec_z[i][j][2][2];
            for (int k = 1; k <= znumber; ++k) Volume[i][j][k] = 2 * m_armap[i][j] * m_dist_z[i][j][k];
        }
}

void report_zero_distance(Boogie& log, int i1, int j1, int i2, int j2)
{
    log.print("\n\n Error in metric: zero distance between points (%d,%d) and (%d,%d)\n\n\n", i1, j1, i2, j2);
}

// Horizontal unit normals of the vertical face columns.  Two nodes at the same
// place leave the rest of that grid line without normals; the run goes on.
void horizontal_normals(Boogie& log)
{
    const Field2 x = xval, y = yval;
    for (int i = 1; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const Sum dx = Sum(x[i][j]) - x[i][j - 1], dy = Sum(y[i][j]) - y[i][j - 1];
            const Sum l = length(dx, dy);
            if (l < DegenerateFace) {
                report_zero_distance(log, i, j, i, j - 1);
                set_statusf(mc_v1, " Error in metric: zero distance between points (%d,%d) and (%d,%d)", i, j, i, j - 1);
                break;
            }
            m_vec_x[i][j][0] = static_cast<double>(dy / l);
            m_vec_x[i][j][1] = static_cast<double>(-dx / l);
        }
    for (int j = 1; j <= ynumber; ++j)
        for (int i = 2; i <= xnumber; ++i) {
            const Sum dx = Sum(x[i][j]) - x[i - 1][j], dy = Sum(y[i][j]) - y[i - 1][j];
            const Sum l = length(dx, dy);
            if (l < DegenerateFace) {
                report_zero_distance(log, i, j, i - 1, j);
                set_statusf(mc_v1, " Error for i=%d j=%d k=%d", i, j, znumber + 1);
                break;
            }
            m_vec_y[i][j][0] = static_cast<double>(-dy / l);
            m_vec_y[i][j][1] = static_cast<double>(dx / l);
        }
}

// Ghost cells copy the geometry of their inner neighbours.
void ghost_values()
{
    const int x = xnumber, y = ynumber, z = znumber;
    for (int j = 2; j <= y; ++j) {
        for (int k = 2; k <= z; ++k) {
            m_ar_y[1][j][k] = 0.0;
            m_dist_z[1][j][k] = m_dist_z[2][j][k];
            m_dist_z[x + 1][j][k] = m_dist_z[x][j][k];
            m_dist_x[0][j][k] = m_dist_x[1][j][k] = m_dist_x[2][j][k];
            m_dist_x[x + 1][j][k] = m_dist_x[x][j][k];
        }
        for (int c = 0; c < 2; ++c) m_vec_y[1][j][c] = m_vec_y[2][j][c];
        blevel[1][j] = blevel[2][j];
        blevel[x + 1][j] = blevel[x][j];
        for (int c = 0; c < 3; ++c) {
            m_vec_z[1][j][1][c] = m_vec_z[2][j][1][c];
            m_vec_z[x + 1][j][1][c] = m_vec_z[x][j][1][c];
        }
    }
    for (int c = 0; c < 2; ++c) m_vec_y[1][1][c] = m_vec_y[2][2][c];
    for (int i = 2; i <= x; ++i)
        for (int j = 2; j <= y; ++j) {
            m_dist_z[i][j][1] = m_dist_z[i][j][2];
            m_dist_z[i][j][z + 1] = m_dist_z[i][j][z + 2] = m_dist_z[i][j][z];
        }
    for (int i = 2; i <= x; ++i)
        for (int k = 2; k <= z; ++k) {
            m_dist_y[i][1][k] = m_dist_y[i][2][k];
            m_dist_y[i][y + 1][k] = m_dist_y[i][y][k];
        }
}

// Node coordinates of the ghost ring copy the nearest boundary node.
void ghost_nodes()
{
    const int x = xnumber, y = ynumber, z = znumber;
    auto copy_node = [z](int i, int j, int from_i, int from_j) {
        xval[i][j] = xval[from_i][from_j];
        yval[i][j] = yval[from_i][from_j];
        for (int k = 0; k <= z + 1; ++k) zval[i][j][k] = zval[from_i][from_j][k];
    };
    for (int i = 1; i <= x; ++i) {
        copy_node(i, 0, i, 1);
        copy_node(i, y + 1, i, y);
    }
    for (int j = 0; j <= y + 1; ++j) {
        copy_node(0, j, 1, j);
        copy_node(x + 1, j, x, j);
    }
}

}  // namespace

void metric()
{
    Boogie log;
    log.require(-3);
    clear_results();
    for (int j = 0; j <= ynumber + 1; ++j)
        for (int k = 0; k <= znumber + 1; ++k) {
            zval[0][j][k] = zval[1][j][k];
            zval[xnumber + 1][j][k] = zval[xnumber][j][k];
        }
    half_extents();
    vertical_face_areas();
    level_faces(log);
    plan_areas_and_volumes();
    horizontal_normals(log);
    ghost_values();
    ghost_nodes();
}

}  // namespace zefra
