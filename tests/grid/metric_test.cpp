// Cell geometry checked against values computed independently: the unit
// grid, the closed-cell identity on a skewed curved grid, exact volumes of a
// parallelogram grid and the face areas of a trapezoidal channel.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "engine/common/status.h"
#include "engine/grid/metric.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

using test::make_grid;

TEST(Metric, UnitGrid)
{
    test::CaseFolder folder;
    make_grid(
        5, 4, 3, [](int i, int) { return i; }, [](int, int j) { return j; }, [](int, int, int k) { return k - 1.0; });
    metric();
    for (int i = 2; i <= 5; ++i)
        for (int j = 2; j <= 4; ++j) {
            for (int k = 2; k <= 3; ++k) {
                EXPECT_DOUBLE_EQ(m_ar_x[i][j][k], 1.0);
                EXPECT_DOUBLE_EQ(m_ar_y[i][j][k], 1.0);
                EXPECT_DOUBLE_EQ(m_dist_x[i][j][k], 0.5);
                EXPECT_DOUBLE_EQ(m_dist_y[i][j][k], 0.5);
                EXPECT_DOUBLE_EQ(m_dist_z[i][j][k], 0.5);
                EXPECT_DOUBLE_EQ(Volume[i][j][k], 1.0);
            }
            for (int k = 1; k <= 3; ++k) {
                EXPECT_DOUBLE_EQ(m_ar_z[i][j][k], 1.0);
                EXPECT_DOUBLE_EQ(m_vec_z[i][j][k][2], 1.0);
                EXPECT_DOUBLE_EQ(m_vec_z[i][j][k][0], 0.0);
            }
            EXPECT_DOUBLE_EQ(m_vec_x[i][j][0], 1.0);
            EXPECT_DOUBLE_EQ(m_vec_x[i][j][1], 0.0);
            EXPECT_DOUBLE_EQ(m_vec_y[i][j][0], 0.0);
            EXPECT_DOUBLE_EQ(m_vec_y[i][j][1], 1.0);
            EXPECT_DOUBLE_EQ(m_armap[i][j], 1.0);
            EXPECT_DOUBLE_EQ(blevel[i][j], 0.5);
            EXPECT_DOUBLE_EQ(m_dist_z[i][j][0], 1.0);
            EXPECT_DOUBLE_EQ(m_ar_x[i][j][0], 2.0);
            EXPECT_EQ(Volume[i][j][1], 0.0);
        }
    // Ghosts copy their inner neighbours.
    EXPECT_DOUBLE_EQ(m_dist_z[2][3][1], 0.5);
    EXPECT_DOUBLE_EQ(m_dist_z[2][3][4], 0.5);
    EXPECT_DOUBLE_EQ(m_dist_z[2][3][5], 0.5);
    EXPECT_DOUBLE_EQ(m_dist_x[0][3][2], 0.5);
    EXPECT_DOUBLE_EQ(m_dist_x[6][3][2], 0.5);
    EXPECT_DOUBLE_EQ(m_dist_y[3][1][2], 0.5);
    EXPECT_DOUBLE_EQ(blevel[6][3], 0.5);
    EXPECT_DOUBLE_EQ(m_vec_z[6][3][1][2], 1.0);
    EXPECT_DOUBLE_EQ(m_vec_y[1][1][1], 1.0);
    EXPECT_EQ(xval[0][2], xval[1][2]);
    EXPECT_EQ(zval[3][0][2], zval[3][1][2]);
    EXPECT_EQ(zval[6][5][3], zval[5][4][3]);
}

// A curved, skewed grid with a sloping, wavy bed and uneven vertical spacing.
void curved_grid(int x, int y, int z)
{
    make_grid(
        x, y, z,
        [](int i, int j) { return 3.0 * i + 0.4 * j + 2.0 * std::sin(0.2 * i) + 0.05 * j * j; },
        [](int i, int j) { return 1.5 * j + 0.3 * i + 0.8 * std::cos(0.15 * i) * (1 + 0.1 * j); },
        [](int i, int j, int k) {
            double bed = 10.0 - 0.02 * i + 0.3 * std::sin(0.5 * j) + 0.1 * std::cos(0.7 * i + j);
            double top = 14.0 - 0.01 * i;
            double s = (k - 1.0) / 9.0;
            return bed + (top - bed) * s * s * (3 - 2 * s + 0.3 * s);
        });
}

TEST(Metric, FaceAreaVectorsOfEveryClosedCellSumToZero)
{
    test::CaseFolder folder;
    curved_grid(41, 21, 11);  // 40 x 20 x 10 cells
    metric();
    double worst = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) {
                double sum[3] = {0, 0, 0}, scale = 0.0;
                auto add = [&](double sign, double area, double nx, double ny, double nz) {
                    sum[0] += sign * area * nx;
                    sum[1] += sign * area * ny;
                    sum[2] += sign * area * nz;
                    scale += std::fabs(area);
                };
                add(+1, m_ar_x[i][j][k], m_vec_x[i][j][0], m_vec_x[i][j][1], 0);
                add(-1, m_ar_x[i - 1][j][k], m_vec_x[i - 1][j][0], m_vec_x[i - 1][j][1], 0);
                add(+1, m_ar_y[i][j][k], m_vec_y[i][j][0], m_vec_y[i][j][1], 0);
                add(-1, m_ar_y[i][j - 1][k], m_vec_y[i][j - 1][0], m_vec_y[i][j - 1][1], 0);
                add(+1, m_ar_z[i][j][k], m_vec_z[i][j][k][0], m_vec_z[i][j][k][1], m_vec_z[i][j][k][2]);
                add(-1, m_ar_z[i][j][k - 1], m_vec_z[i][j][k - 1][0], m_vec_z[i][j][k - 1][1], m_vec_z[i][j][k - 1][2]);
                double defect = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]) / scale;
                worst = std::max(worst, defect);
            }
    EXPECT_LT(worst, 1e-12);
}

TEST(Metric, CellVolumesOfAParallelogramGridSumToTheExactVolume)
{
    test::CaseFolder folder;
    // Parallelogram cells: i along (2, 0.5), j along (0.7, 1.2); planar bed and surface.
    auto bed = [](double x, double y) { return 3.0 + 0.01 * x - 0.04 * y; };
    auto top = [](double x, double y) { return 9.0 - 0.005 * x + 0.01 * y; };
    auto px = [](int i, int j) { return 2.0 * (i - 1) + 0.7 * (j - 1); };
    auto py = [](int i, int j) { return 0.5 * (i - 1) + 1.2 * (j - 1); };
    make_grid(31, 16, 9, px, py, [&](int i, int j, int k) {
        double x = px(i, j), y = py(i, j), s = (k - 1) / 8.0;
        return bed(x, y) + (top(x, y) - bed(x, y)) * s * std::sqrt(s);
    });
    metric();
    double total = 0.0;
    for (int i = 2; i <= xnumber; ++i)
        for (int j = 2; j <= ynumber; ++j)
            for (int k = 2; k <= znumber; ++k) total += Volume[i][j][k];
    // Plan area of the parallelogram times the depth at its centroid (depth is linear).
    double area = std::fabs(30 * 2.0 * 15 * 1.2 - 30 * 0.5 * 15 * 0.7);
    double cx = (px(1, 1) + px(31, 16)) / 2, cy = (py(1, 1) + py(31, 16)) / 2;
    double exact = area * (top(cx, cy) - bed(cx, cy));
    EXPECT_NEAR(total / exact, 1.0, 1e-12);
}

TEST(Metric, TrapezoidalChannelSection)
{
    test::CaseFolder folder;
    // Cross-section nodes j = 1 ... 7 at y = 0, 2, 4, 6, 8, 10, 12; banks of slope 1:2
    // from y = 0 to 4 and from 8 to 12, flat bed at level 0 between; water level 3.
    auto bed = [](int j) {
        double y = 2.0 * (j - 1);
        return y < 4 ? (4 - y) / 2 : (y > 8 ? (y - 8) / 2 : 0.0);
    };
    make_grid(
        6, 7, 4, [](int i, int) { return 5.0 * (i - 1); }, [](int, int j) { return 2.0 * (j - 1); },
        [&](int, int j, int k) { return bed(j) + (3.0 - bed(j)) * (k - 1) / 3.0; });
    metric();
    // Wetted area by hand: the flat middle, 4 wide and 3 deep, and two banks, 4 wide
    // with depths from 1 at the edge to 3 at the toe.
    double by_hand = 4 * 3.0 + 2 * (4 * (3.0 + 1.0) / 2);
    for (int i = 1; i <= 6; ++i) {
        double section = 0.0;
        for (int j = 2; j <= 7; ++j) section += m_ar_x[i][j][0];
        EXPECT_NEAR(section, by_hand, 1e-12) << i;
        EXPECT_NEAR(m_ar_x[i][2][0], 2.0 * (1.0 + 2.0) / 2, 1e-12);  // bank panel: depths 1 and 2
        EXPECT_NEAR(m_ar_x[i][4][0], 2.0 * 3.0, 1e-12);
        EXPECT_NEAR(m_ar_x[i][2][2], 2.0 * (1.0 + 2.0) / 2 / 3, 1e-12);
    }
    // Plan areas and volumes: each column is 5 x 2, its volume is the plan area times the mean depth.
    EXPECT_NEAR(m_armap[3][2], 10.0, 1e-12);
    double column = 0.0;
    for (int k = 2; k <= 4; ++k) column += Volume[3][2][k];
    EXPECT_NEAR(column, 10.0 * 1.5, 1e-12);
}

TEST(Metric, SecondCallGivesIdenticalResults)
{
    test::CaseFolder folder;
    curved_grid(9, 7, 5);
    metric();
    std::vector<double> first(Volume.data(), Volume.data() + Volume.size());
    std::vector<double> first_sum(m_ar_x.data(), m_ar_x.data() + m_ar_x.size());
    metric();
    EXPECT_EQ(std::vector<double>(Volume.data(), Volume.data() + Volume.size()), first);
    EXPECT_EQ(std::vector<double>(m_ar_x.data(), m_ar_x.data() + m_ar_x.size()), first_sum);
}

TEST(Metric, DegenerateLevelFaceStopsTheRun)
{
    test::CaseFolder folder;
    // Node line 3 sits on node line 2.
    make_grid(
        5, 4, 3, [](int i, int) { return i == 3 ? 2.0 : i; }, [](int, int j) { return j; }, [](int, int, int k) { return k; });
    EXPECT_EQ(test::exit_status(metric), -2);
    EXPECT_TRUE(test::log_ends_with(" Error in kelmetric-44 for i=3 j=2 k=1\n"));
}

TEST(Metric, JointRowGetsASmallLevelFaceInsteadOfAStop)
{
    test::CaseFolder folder;
    // Node line 3 sits on node line 2: the cells i = 3 have no plan extent.
    make_grid(
        5, 4, 3, [](int i, int) { return i == 3 ? 2.0 : i; }, [](int, int j) { return j; }, [](int, int, int k) { return k; });
    MBNo = 1;
    MBSkjot[1] = 2;
    EXPECT_FALSE(test::exit_status(metric).has_value());
    EXPECT_DOUBLE_EQ(m_ar_z[3][2][1], 0.5e-5);
    EXPECT_DOUBLE_EQ(m_ar_z[4][2][1], 2.0);  // node lines 3 and 4 are 2 apart
}

TEST(Metric, CoincidentNodesAreReportedAndTheRunGoesOn)
{
    test::CaseFolder folder;
    // Nodes (4, 2) and (4, 3) at the same place.
    make_grid(
        5, 5, 3, [](int i, int) { return i; }, [](int i, int j) { return i == 4 && j == 3 ? 2.0 : j; },
        [](int, int, int k) { return k; });
    EXPECT_FALSE(test::exit_status(metric).has_value());
    EXPECT_NE(test::log_text().find("\n\n Error in metric: zero distance between points (4,3) and (4,2)\n\n\n"), std::string::npos);
    EXPECT_EQ(std::string(mc_v1), " Error in metric: zero distance between points (4,3) and (4,2)");
    // The rest of that grid line has no normals; the other lines have theirs.
    EXPECT_EQ(m_vec_x[4][3][0], 0.0);
    EXPECT_EQ(m_vec_x[4][4][0], 0.0);
    EXPECT_EQ(m_vec_x[4][2][0], 1.0);
    EXPECT_EQ(m_vec_x[3][4][0], 1.0);
}

}  // namespace
}  // namespace zefra
