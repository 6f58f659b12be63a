// Block connection of multi-block grids and the cell edge vectors.
// MultiBlockInit reads the W 3 settings and writes the link tables
// (Pi1MultiBlock, Pj1MultiBlock, Pj2MultiBlock, ISkjotMB); smetric writes the
// edge vectors and the joint-cell geometry.  The partner lookups below are
// the one way the solvers find the cell across a joint.
#pragma once

#include "engine/state/fields.h"
#include "engine/state/state_grid.h"

namespace zefra {

void MultiBlockInit();
void smetric();

// A cell named by the link tables; i = 0 means there is none.
struct JointCell {
    int i = 0, j = 0;
    explicit operator bool() const { return i != 0; }
};

// The main-block cell before the low-i face of a side block's first row (i, j).
inline JointCell joint_low_i(int i, int j)
{
    return {Pi1MultiBlock[i][j][0], Pi1MultiBlock[i][j][1]};
}

// Area at level k of the face through which a side block's first-row cell
// is joined to its main-block partner: the partner's edge J-face.
inline double joint_face_area(JointCell main, int k)
{
    return m_ar_y[main.i][main.j == 2 ? 1 : ynumber][k];
}

// The side-block cell beyond the main block's J-face `edge` (1, the south
// edge, or ynumber, the north edge) of column i.
inline JointCell joint_across_edge(int i, int edge)
{
    const IField1 link = edge == 1 ? Pj1MultiBlock[i] : Pj2MultiBlock[i];
    return {link[0], link[1]};
}

// A node of the grid, by its indices.
struct NodeIndex {
    int i, j;
};

// The node at corner (i - 1 + di, j - 1 + dj) of cell (i, j), di and dj 0 or 1.
// The first row of a side block does not reach back to the node line before
// it in the arrays: its low-i corners are the main block's edge nodes.
inline NodeIndex cell_corner(int i, int j, int di, int dj)
{
    if (di == 0 && MBNo > 0)
        if (const JointCell c = joint_low_i(i, j)) {
            if (c.j == 2) return dj == 1 ? NodeIndex{c.i, 1} : NodeIndex{c.i - 1, 1};
            return dj == 1 ? NodeIndex{c.i - 1, ynumber} : NodeIndex{c.i, ynumber};
        }
    return {i - 1 + di, j - 1 + dj};
}

// The neighbour values of inner cell (i, j, k) that a block joint may replace
// (lower i, lower j, upper j), with whether each one lies across a joint.
struct JointNeighbours {
    double low_i, low_j, high_j;
    bool joint_i = false, joint_low_j = false, joint_high_j = false;
};

inline JointNeighbours neighbours_across_joints(const Field3& phi, int i, int j, int k)
{
    JointNeighbours n{phi[i - 1][j][k], phi[i][j - 1][k], phi[i][j + 1][k]};
    if (const JointCell c = joint_low_i(i, j)) {
        n.low_i = phi[c.i][c.j][k];
        n.joint_i = true;
    }
    if (j == 2)
        if (const JointCell c = joint_across_edge(i, 1)) {
            n.low_j = phi[c.i][c.j][k];
            n.joint_low_j = true;
        }
    if (j == ynumber)
        if (const JointCell c = joint_across_edge(i, ynumber)) {
            n.high_j = phi[c.i][c.j][k];
            n.joint_high_j = true;
        }
    return n;
}

}  // namespace zefra
