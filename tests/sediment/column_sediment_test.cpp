// The depth-averaged sediment's link between the depth mean and the near-bed
// concentration on a box of 4 cells of 0.5 m over the depth: the limits of
// the profile, and the cells that show a column hold what it holds.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/sediment/column_sediment.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_sediment.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

TEST(ColumnSediment, NearBedRatioAndTheCellsOfAColumn)
{
    test::CaseFolder folder;
    FlagTSC = 2;
    test::box_grid(4, 4, 5, 1.0, 1.0, 0.5);
    ASSERT_TRUE(conc2D);
    OBlok.fill(1);
    bedshear.fill(4.0);  // u* = 0.063 m/s
    // Nothing settles: the sediment mixes evenly over the depth.
    fallvelo[1] = 0.0;
    EXPECT_NEAR(near_bed_ratio(1, 3, 3), 1.0, 1e-12);
    // No turbulence: all of it in the bed cell, a quarter of the depth.
    fallvelo[1] = 0.02;
    bedshear.fill(0.0);
    EXPECT_NEAR(near_bed_ratio(1, 3, 3), 4.0, 1e-12);
    // Rouse number 0.79: the cells at heights 0.75, 1.25 and 1.75 m of 2 m,
    // a = 0.25 m, hold ((2 - z) / z a / (2 - a))^Z of the bed cell's.
    bedshear.fill(4.0);
    const double Z = 0.02 / (0.4 * std::sqrt(0.004)), a = 0.25;
    double sum = 1.0;
    for (double z : {0.75, 1.25, 1.75}) sum += std::pow((2.0 - z) / z * a / (2.0 - a), Z);
    EXPECT_NEAR(near_bed_ratio(1, 3, 3), 4.0 / sum, 1e-12);

    // The cells of a column hold what it holds, with that profile.
    conc2D[1][3][3][0] = 0.001;
    spread_column_sediment();
    double held = 0.0;
    for (int k = 2; k <= znumber; ++k) held += conc[1][3][3][k] * 2.0 * m_armap[3][3] * m_dist_z[3][3][k];
    EXPECT_NEAR(held, 0.001 * 2.0 * m_armap[3][3] * m_dist_z[3][3][0], 1e-15);
    EXPECT_NEAR(conc[1][3][3][2], 0.001 * near_bed_ratio(1, 3, 3), 1e-15);
    EXPECT_EQ(conc[1][3][3][1], conc[1][3][3][2]);
    EXPECT_LT(conc[1][3][3][5], conc[1][3][3][4]);
}

}  // namespace
}  // namespace zefra
