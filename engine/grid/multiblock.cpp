// Multi-block grids: side blocks (branches, intakes, tributaries) follow the
// main block in the same i-j-k arrays, after their joint node line.  The first
// row of cells of a side block is joined by its low-i face to the south edge
// (j = 1) or the north edge (j = ynumber) of the main block, one side-block
// cell per main-block column.
//
//   main block, south edge j = 1:   col i'-1   col i'   col i'+1
//                                  ----+--------+--------+----
//   side block first row a:            | (a, j) | (a,j+1)|      MBStart >= 0:
//                                      +--------+--------+      i' = MBStart + j - 2
//
// MultiBlockInit builds the link tables in both directions and checks them;
// smetric computes the edge vectors of every cell and the geometry of the
// joint cells from the main block's edge nodes.
#include "engine/grid/multiblock.h"

#include <cmath>

#include "engine/common/boogie.h"
#include "engine/common/run_exit.h"
#include "engine/common/status.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"

namespace zefra {

namespace {

constexpr double DegenerateJoint = 1e-5;

void clear_links()
{
    for (int i = 2; i <= xnumber; ++i) {
        for (int c = 0; c < 2; ++c) Pj1MultiBlock[i][c] = Pj2MultiBlock[i][c] = 0;
        for (int j = 2; j <= ynumber; ++j)
            for (int c = 0; c < 3; ++c) Pi1MultiBlock[i][j][c] = 0;
    }
}

// Links the first row of every side block to the main-block columns along its
// edge.  A block whose columns would leave the main block cannot be joined.
void build_links(Boogie& log)
{
    const int y = ynumber;
    for (int b = 1; b <= MBNo; ++b) {
        const int s = MBStart[b], a = MBSkjot[b] + 1;
        for (int j = 2; j <= y; ++j) {
            const int column = s >= 0 ? s + j - 2 : y - s - j;
            if (column < 2 || column > xnumber || a > xnumber) {
                log.print("Input error for W 3 in control");
                end_run(1);
            }
            IField1 link = Pi1MultiBlock[a][j];
            if (s >= 0) {
                link[0] = column, link[1] = 2, link[2] = 3;
                Pj1MultiBlock[column][0] = a, Pj1MultiBlock[column][1] = j;
            } else {
                link[0] = column, link[1] = y, link[2] = y - 1;
                Pj2MultiBlock[column][0] = a, Pj2MultiBlock[column][1] = j;
            }
        }
    }
}

// Both directions of every link must agree; a later block that overwrote part
// of an earlier one shows up here.  The first disagreement ends the run.
void check_links(Boogie& log)
{
    const int y = ynumber;
    for (int i = 2; i <= xnumber; ++i) {
        const int a1 = Pj1MultiBlock[i][0], b1 = Pj1MultiBlock[i][1];
        const int a2 = Pj2MultiBlock[i][0], b2 = Pj2MultiBlock[i][1];
        if (a1 != 0) {
            IField1 back = Pi1MultiBlock[a1][b1];
            if (back[0] != i) log.print("Error, MB-1 indekser: %d %d %d %d %d %d", i, a1, b1, back[0], back[1], back[2]);
            else if (back[1] != 2) log.print("Error, MB-2 indekser: %d %d %d %d %d %d", i, a1, b1, back[0], back[1], 2);
            else continue;
        } else if (a2 != 0) {
            IField1 back = Pi1MultiBlock[a2][b2];
            if (back[0] != i) log.print("Error, MB-3 indekser: %d %d %d %d %d", i, a2, b2, back[0], back[1]);
            else if (back[1] != y) log.print("Error, MB-4 indekser: %d %d %d %d %d", i, a2, b2, back[1], y);
            else continue;
        } else {
            continue;
        }
        end_run(1);
    }
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= y; ++j) {
            const int column = Pi1MultiBlock[i][j][0], edge = Pi1MultiBlock[i][j][1];
            if (column == 0) continue;
            if (edge != 2 && edge != y) {
                log.print("Error, MB-5 indekser: %d %d %d %d", i, j, column, edge);
            } else if (edge == 2 && (Pj1MultiBlock[column][0] != i || Pj1MultiBlock[column][1] != j)) {
                log.print("Error, MB-6 indekser: %d %d %d %d %d", i, j, column, Pj1MultiBlock[column][0], Pj1MultiBlock[column][1]);
            } else if (edge == y && (Pj2MultiBlock[column][0] != i || Pj2MultiBlock[column][1] != j)) {
                log.print("Error, MB-7 indekser: %d %d %d %d %d", i, j, column, Pj2MultiBlock[column][0], Pj2MultiBlock[column][1]);
            } else {
                continue;
            }
            end_run(1);
        }
}

void list_links(Boogie& log)
{
    for (int i = 2; i <= xnumber; ++i) {
        for (int j = 2; j <= ynumber; ++j) {
            IField1 link = Pi1MultiBlock[i][j];
            if (link[0] != 0 || link[1] != 0) log.print("Pi1MB(%d,%d)=%d %d\n", i, j, link[0], link[1]);
        }
        if (Pj1MultiBlock[i][0] != 0 || Pj1MultiBlock[i][1] != 0)
            log.print("Pj1MB(%d)= %d %d\n", i, Pj1MultiBlock[i][0], Pj1MultiBlock[i][1]);
        if (Pj2MultiBlock[i][0] != 0 || Pj2MultiBlock[i][1] != 0)
            log.print("Pj2MB(%d)= %d %d\n", i, Pj2MultiBlock[i][0], Pj2MultiBlock[i][1]);
    }
}

// A node of the grid: plan position and level k.
struct Node {
    int i, j;
    double x() const { return xval[i][j]; }
    double y() const { return yval[i][j]; }
    double z(int k) const { return zval[i][j][k]; }
};

// The four corners of a cell in the order (i-1, j-1), (i, j-1), (i-1, j), (i, j).
struct Corners {
    Node low_low, high_low, low_high, high_high;
};

// Edge vectors of one cell from its corners.
void edge_vectors(int i, int j, const Corners& c)
{
    dx1[i][j] = 0.5 * (c.high_high.x() + c.high_low.x() - c.low_high.x() - c.low_low.x());
    dy1[i][j] = 0.5 * (c.high_high.y() + c.high_low.y() - c.low_high.y() - c.low_low.y());
    dx2[i][j] = 0.5 * (c.high_high.x() + c.low_high.x() - c.high_low.x() - c.low_low.x());
    dy2[i][j] = 0.5 * (c.high_high.y() + c.low_high.y() - c.high_low.y() - c.low_low.y());
}

double dz_i(const Corners& c, int k)
{
    return 0.25 * (c.high_high.z(k) + c.high_low.z(k) + c.high_high.z(k - 1) + c.high_low.z(k - 1) - c.low_high.z(k) -
                   c.low_low.z(k) - c.low_high.z(k - 1) - c.low_low.z(k - 1));
}

double dz_j(const Corners& c, int k)
{
    return 0.25 * (c.high_high.z(k) + c.low_high.z(k) + c.high_high.z(k - 1) + c.low_high.z(k - 1) - c.high_low.z(k) -
                   c.low_low.z(k) - c.high_low.z(k - 1) - c.low_low.z(k - 1));
}

Corners cell_corners(int i, int j)
{
    return {{i - 1, j - 1}, {i, j - 1}, {i - 1, j}, {i, j}};
}

void all_edge_vectors()
{
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j) {
            const Corners c = cell_corners(i, j);
            edge_vectors(i, j, c);
            for (int k = 2; k <= znumber; ++k) {
                dz1[i][j][k] = dz_i(c, k);
                dz2[i][j][k] = dz_j(c, k);
                dz3[i][j][k] = 2 * m_dist_z[i][j][k];
            }
        }
}

// The J-face on node line j of a joint cell, between the edge node `from` and
// the side-block node `to`: its normal and its areas.
void joint_face(Boogie& log, int a, int j, Node from, Node to, int column)
{
    const double dx = to.x() - from.x(), dy = to.y() - from.y();
    const double l = std::sqrt(dx * dx + dy * dy);
    if (l <= DegenerateJoint) {
        log.print(" MB-met-Error for i=%d j=%d k=%d\n", column, j, 1);
        end_run(-1);
    }
    m_vec_y[a][j][0] = -dy / l;
    m_vec_y[a][j][1] = dx / l;
    for (int k = 2; k <= znumber; ++k) m_ar_y[a][j][k] = 0.5 * (to.z(k) + from.z(k) - to.z(k - 1) - from.z(k - 1)) * l;
}

// What the cell geometry derives from the refreshed extents and areas of a
// joint cell: its volumes, the column values at index 0, the ghost layers
// above and below and beside it.  The first pass over the arrays formed them
// from the distorted cell that reaches back to the main block's last node
// line, and the solvers read every one of them.
void refresh_derived(int a, int b)
{
    const int z = znumber;
    double half_depth = 0.0, face_column = 0.0;
    for (int k = 2; k <= z; ++k) {
        half_depth += m_dist_z[a][b][k];
        face_column += m_ar_y[a][b][k];
    }
    m_dist_z[a][b][0] = half_depth;
    m_dist_z[a][b][1] = m_dist_z[a][b][2];
    m_dist_z[a][b][z + 1] = m_dist_z[a][b][z + 2] = m_dist_z[a][b][z];
    m_dist_x[a][b][0] = 0.5 * std::sqrt(dx1[a][b] * dx1[a][b] + dy1[a][b] * dy1[a][b]);
    m_dist_y[a][b][0] = 0.5 * std::sqrt(dx2[a][b] * dx2[a][b] + dy2[a][b] * dy2[a][b]);
    m_ar_y[a][b][0] = face_column;
    blevel[a][b] = m_dist_z[a][b][2];
    for (int k = 1; k <= z; ++k) Volume[a][b][k] = 2.0 * m_armap[a][b] * m_dist_z[a][b][k];
    for (int k = 2; k <= z; ++k) {
        if (b == 2) m_dist_y[a][1][k] = m_dist_y[a][2][k];
        if (b == ynumber) m_dist_y[a][ynumber + 1][k] = m_dist_y[a][ynumber][k];
    }
    if (b == 2) {
        double column = 0.0;
        for (int k = 2; k <= z; ++k) column += m_ar_y[a][1][k];
        m_ar_y[a][1][0] = column;
    }
}

// Geometry of the side-block cell (a, b) whose two low-i corners are the main
// block's edge nodes `low_low` (for node a-1, b-1) and `low_high` (a-1, b).
void joint_cell(Boogie& log, int column, int a, int b, Node low_low, Node low_high, const char* side)
{
    const Corners c{low_low, {a, b - 1}, low_high, {a, b}};
    edge_vectors(a, b, c);
    joint_face(log, a, b, low_high, c.high_high, column);
    if (b == 2) joint_face(log, a, 1, low_low, c.high_low, column);
    for (int k = 2; k <= znumber; ++k) {
        dz1[a][b][k] = dz_i(c, k);
        dz2[a][b][k] = dz_j(c, k);
        dz3[a][b][k] = 0.25 * (c.low_low.z(k) - c.low_low.z(k - 1) + c.high_low.z(k) - c.high_low.z(k - 1) + c.low_high.z(k) -
                               c.low_high.z(k - 1) + c.high_high.z(k) - c.high_high.z(k - 1));
        m_dist_z[a][b][k] = 0.5 * dz3[a][b][k];
        m_dist_x[a][b][k] = 0.5 * std::sqrt(dx1[a][b] * dx1[a][b] + dy1[a][b] * dy1[a][b] + dz1[a][b][k] * dz1[a][b][k]);
        m_dist_y[a][b][k] = 0.5 * std::sqrt(dx2[a][b] * dx2[a][b] + dy2[a][b] * dy2[a][b] + dz2[a][b][k] * dz2[a][b][k]);
    }
    for (int k = 1; k <= znumber; ++k) {
        // Diagonals d1 = (a, b-1) - (edge node for a-1, b), d2 = (a, b) - (edge node for a-1, b-1).
        const double d1x = c.high_low.x() - low_high.x(), d1y = c.high_low.y() - low_high.y(), d1z = c.high_low.z(k) - low_high.z(k);
        const double d2x = c.high_high.x() - low_low.x(), d2y = c.high_high.y() - low_low.y(), d2z = c.high_high.z(k) - low_low.z(k);
        const double nx = d1y * d2z - d1z * d2y, ny = d1z * d2x - d1x * d2z, nz = d1x * d2y - d1y * d2x;
        const double n = std::sqrt(nx * nx + ny * ny + nz * nz);
        if (n <= DegenerateJoint) {
            log.print("MultiBlock error for %s side\n", side);
            log.print("i=%d k=%d\n", column, k);
            log.print("ia=%d ja=%d\n", a, b);
            log.print("ib=%d jb=%d\n", a, b - 1);
            log.print("ic=%d jc=%d\n", low_high.i, low_high.j);
            log.print("id=%d jd=%d\n", low_low.i, low_low.j);
            end_run(-1);
        }
        m_ar_z[a][b][k] = 0.5 * n;
        m_vec_z[a][b][k][0] = nx / n;
        m_vec_z[a][b][k][1] = ny / n;
        m_vec_z[a][b][k][2] = nz / n;
    }
    m_armap[a][b] = m_ar_z[a][b][2] * m_vec_z[a][b][2][2];
    refresh_derived(a, b);
}

}  // namespace

void MultiBlockInit()
{
    Boogie log;
    if (log_unavailable(log)) return;
    if (MBNo < 1) log.print("Multi-block initiation of %d blocks\n", MBNo);
    clear_links();
    if (MBNo < 1) return;
    build_links(log);
    check_links(log);
    list_links(log);
    log.print("Have not found errors in Multi-block initiation\n");
}

void smetric()
{
    Boogie log;
    log.require(-3);
    all_edge_vectors();
    if (MBNo < 1) return;
    const int y = ynumber;
    for (int i = 2; i <= xnumber; ++i) {
        if (const int a = Pj1MultiBlock[i][0]; a != 0) {
            const int b = Pj1MultiBlock[i][1];
            log.print("MB setup for right side, Pj1(%d)=%d,%d\n", i, a, b);
            joint_cell(log, i, a, b, {i - 1, 1}, {i, 1}, "right");
        }
        if (const int a = Pj2MultiBlock[i][0]; a != 0) {
            const int b = Pj2MultiBlock[i][1];
            log.print("MB setup for left side, Pj2(%d)=%d,%d\n", i, a, b);
            joint_cell(log, i, a, b, {i, y}, {i - 1, y}, "left");
        }
    }
}

}  // namespace zefra
