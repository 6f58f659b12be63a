// Multi-block grids: the link tables of a main block with one branch joined at
// its south edge and one at its north edge, their consistency checks, and the
// geometry of the joint cells rebuilt from the main block's edge nodes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "engine/grid/metric.h"
#include "engine/grid/multiblock.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

// Main block on node lines 1 ... 10: x = i - 1, y = j - 1 (a 9 x 5 rectangle).
// Branch 1 on node lines 11 ... 15 leaves the south edge (y = 0) towards -y over
// the main columns 3 ... 7; branch 2 on node lines 16 ... 20 leaves the north
// edge (y = 5) towards +y over the main columns 7 ... 3.  Flat bed at 0,
// water level 2, so every joint cell is a unit square 2 m deep.
void plan_of_node(int i, int j, double& x, double& y)
{
    if (i <= 10) {
        x = i - 1;
        y = j - 1;
    } else if (i <= 15) {
        x = j;
        y = -(i - 10);
    } else {
        x = 7 - j;
        y = 5 + (i - 15);
    }
}

std::string two_branch_grid(int moved_i = 0, int moved_j = 0, double moved_y = 0)
{
    std::string text;
    char line[120];
    for (int i = 1; i <= 20; ++i)
        for (int j = 1; j <= 6; ++j) {
            double x, y;
            plan_of_node(i, j, x, y);
            if (i == moved_i && j == moved_j) y = moved_y;
            std::snprintf(line, sizeof line, "%d %d %g %g 0\n", i, j, x, y);
            text += line;
        }
    return text;
}

// Reads the grid with the given W 3 joints and builds the geometry as the
// start-up does.
std::optional<int> start(const std::string& joints, const std::string& grid = two_branch_grid())
{
    test::write_file("koordina", grid);
    std::optional<int> status = test::read_control(test::control_with("W 1 50 10 2\n" + joints, 20, 6, 4));
    if (status) return status;
    return test::exit_status([] {
        metric();
        MultiBlockInit();
        smetric();
    });
}

TEST(MultiBlock, LinksOfABranchAtEachEdge)
{
    test::CaseFolder folder;
    ASSERT_FALSE(start("W 3 2 10 3 15 -3\n").has_value()) << test::log_text();
    for (int j = 2; j <= 6; ++j) {
        // South edge, columns ascending.
        EXPECT_EQ(Pi1MultiBlock[11][j][0], j + 1);
        EXPECT_EQ(Pi1MultiBlock[11][j][1], 2);
        EXPECT_EQ(Pi1MultiBlock[11][j][2], 3);
        EXPECT_EQ(Pj1MultiBlock[j + 1][0], 11);
        EXPECT_EQ(Pj1MultiBlock[j + 1][1], j);
        // North edge, columns descending.
        EXPECT_EQ(Pi1MultiBlock[16][j][0], 9 - j);
        EXPECT_EQ(Pi1MultiBlock[16][j][1], 6);
        EXPECT_EQ(Pi1MultiBlock[16][j][2], 5);
        EXPECT_EQ(Pj2MultiBlock[9 - j][0], 16);
        EXPECT_EQ(Pj2MultiBlock[9 - j][1], j);
    }
    EXPECT_EQ(Pj1MultiBlock[2][0], 0);
    EXPECT_EQ(Pj1MultiBlock[8][0], 0);
    EXPECT_EQ(Pi1MultiBlock[12][3][0], 0);
    std::string log = test::log_text();
    EXPECT_NE(log.find("Pi1MB(11,2)=3 2\n"), std::string::npos);
    EXPECT_NE(log.find("Pi1MB(16,6)=3 6\n"), std::string::npos);
    EXPECT_NE(log.find("Pj1MB(3)= 11 2\nPj2MB(3)= 16 6\n"), std::string::npos);
    EXPECT_NE(log.find("Have not found errors in Multi-block initiation\n"), std::string::npos);
    EXPECT_NE(log.find("MB setup for right side, Pj1(7)=11,6\n"), std::string::npos);
    EXPECT_NE(log.find("MB setup for left side, Pj2(7)=16,2\n"), std::string::npos);
}

TEST(MultiBlock, JointCellsAreTheSquaresBetweenTheEdgeAndTheBranch)
{
    test::CaseFolder folder;
    ASSERT_FALSE(start("W 3 2 10 3 15 -3\n").has_value()) << test::log_text();
    const double layer = 2.0 / 3.0;
    for (int b = 2; b <= 6; ++b)
        for (int a : {11, 16}) {
            SCOPED_TRACE("joint cell " + std::to_string(a) + "," + std::to_string(b));
            const double i_sign = a == 11 ? -1.0 : 1.0;  // the branch runs towards -y or +y
            EXPECT_NEAR(m_armap[a][b], 1.0, 1e-12);
            EXPECT_NEAR(dx1[a][b], 0.0, 1e-12);
            EXPECT_NEAR(dy1[a][b], i_sign, 1e-12);
            EXPECT_NEAR(dx2[a][b], -i_sign, 1e-12);
            EXPECT_NEAR(dy2[a][b], 0.0, 1e-12);
            EXPECT_NEAR(m_vec_y[a][b][0], -i_sign, 1e-12);
            for (int k = 2; k <= 4; ++k) {
                EXPECT_NEAR(m_dist_x[a][b][k], 0.5, 1e-12);
                EXPECT_NEAR(m_dist_y[a][b][k], 0.5, 1e-12);
                EXPECT_NEAR(m_dist_z[a][b][k], layer / 2, 1e-12);
                EXPECT_NEAR(dz3[a][b][k], layer, 1e-12);
                EXPECT_NEAR(dz1[a][b][k], 0.0, 1e-12);
                EXPECT_NEAR(m_ar_y[a][b][k], layer, 1e-12);
            }
            for (int k = 1; k <= 4; ++k) {
                EXPECT_NEAR(m_ar_z[a][b][k], 1.0, 1e-12);
                EXPECT_NEAR(m_vec_z[a][b][k][2], 1.0, 1e-12);
            }
        }
    EXPECT_NEAR(m_ar_y[11][1][3], layer, 1e-12);
    EXPECT_NEAR(m_vec_y[11][1][0], 1.0, 1e-12);
    EXPECT_NEAR(m_vec_y[16][1][0], -1.0, 1e-12);
}

TEST(MultiBlock, JointCellsAreClosedThroughTheMainBlockEdgeFace)
{
    test::CaseFolder folder;
    ASSERT_FALSE(start("W 3 2 10 3 15 -3\n").has_value());
    for (int b = 2; b <= 6; ++b)
        for (int k = 2; k <= 4; ++k)
            for (int a : {11, 16}) {
                // The low-i face of the joint cell is the main block's edge face, whose
                // normal points into the main block: outward for the joint cell.
                const int column = a == 11 ? b + 1 : 9 - b, edge = a == 11 ? 1 : 6;
                const double sign = a == 11 ? 1.0 : -1.0;
                double sx = m_ar_x[a][b][k] * m_vec_x[a][b][0] + sign * m_ar_y[column][edge][k] * m_vec_y[column][edge][0] +
                            m_ar_y[a][b][k] * m_vec_y[a][b][0] - m_ar_y[a][b - 1][k] * m_vec_y[a][b - 1][0];
                double sy = m_ar_x[a][b][k] * m_vec_x[a][b][1] + sign * m_ar_y[column][edge][k] * m_vec_y[column][edge][1] +
                            m_ar_y[a][b][k] * m_vec_y[a][b][1] - m_ar_y[a][b - 1][k] * m_vec_y[a][b - 1][1];
                double sz = m_ar_z[a][b][k] * m_vec_z[a][b][k][2] - m_ar_z[a][b][k - 1] * m_vec_z[a][b][k - 1][2];
                EXPECT_NEAR(sx, 0.0, 1e-12) << a << " " << b << " " << k;
                EXPECT_NEAR(sy, 0.0, 1e-12) << a << " " << b << " " << k;
                EXPECT_NEAR(sz, 0.0, 1e-12) << a << " " << b << " " << k;
            }
}

TEST(MultiBlock, SingleBlockClearsTheLinksAndComputesEdgeVectors)
{
    test::CaseFolder folder;
    xnumber = 6;
    ynumber = 5;
    znumber = 4;
    lnumber = 1;
    ASSERT_EQ(sialloc(), 0);
    for (int i = 1; i <= 6; ++i)
        for (int j = 1; j <= 5; ++j) {
            xval[i][j] = 2.0 * i + 0.5 * j;
            yval[i][j] = 1.5 * j;
            for (int k = 1; k <= 4; ++k) zval[i][j][k] = 0.1 * i + 0.5 * k;
        }
    Pj1MultiBlock[3][0] = 7;
    Pi1MultiBlock[4][4][2] = 7;
    metric();
    MultiBlockInit();
    smetric();
    EXPECT_EQ(Pj1MultiBlock[3][0], 0);
    EXPECT_EQ(Pi1MultiBlock[4][4][2], 0);
    EXPECT_NE(test::log_text().find("Multi-block initiation of 0 blocks\n"), std::string::npos);
    for (int i = 2; i <= 6; ++i)
        for (int j = 2; j <= 5; ++j) {
            EXPECT_NEAR(dx1[i][j], 2.0, 1e-12);
            EXPECT_NEAR(dy1[i][j], 0.0, 1e-12);
            EXPECT_NEAR(dx2[i][j], 0.5, 1e-12);
            EXPECT_NEAR(dy2[i][j], 1.5, 1e-12);
            for (int k = 2; k <= 4; ++k) {
                EXPECT_NEAR(dz1[i][j][k], 0.1, 1e-12);
                EXPECT_NEAR(dz2[i][j][k], 0.0, 1e-12);
                EXPECT_NEAR(dz3[i][j][k], 0.5, 1e-12);
            }
        }
}

TEST(MultiBlock, OverlappingBranchesAreRefused)
{
    test::CaseFolder folder;
    // Both branches at the south edge, over the columns 3 ... 7 and 5 ... 9.
    EXPECT_EQ(start("W 3 2 10 3 15 5\n"), 1);
    EXPECT_TRUE(test::log_ends_with("Error, MB-6 indekser: 11 4 5 16 2"));
}

TEST(MultiBlock, BranchBeyondTheMainBlockIsRefused)
{
    test::CaseFolder folder;
    // Columns 18 ... 22 of a grid of 20 node lines.
    EXPECT_EQ(start("W 3 2 10 18 15 -3\n"), 1);
    EXPECT_TRUE(test::log_ends_with("Input error for W 3 in control"));
}

TEST(MultiBlock, JointOfZeroLengthStopsTheRun)
{
    test::CaseFolder folder;
    // Node (11, 4) moved onto the main block's edge node (5, 1).
    EXPECT_EQ(start("W 3 2 10 3 15 -3\n", two_branch_grid(11, 4, 0.0)), -1);
    EXPECT_TRUE(test::log_ends_with(" MB-met-Error for i=5 j=4 k=1\n"));
}

}  // namespace
}  // namespace zefra
