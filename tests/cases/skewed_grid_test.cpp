// The same straight channel on an orthogonal grid, on the grid turned by 30
// degrees and on grids whose cross-sections are skewed by 45 degrees: 400 m
// long, 14 m wide, about 1.1 m deep, 10 m3/s entering along the channel axis
// through a G 7 inflow that follows the grid (paralell 1).  Also a thinned
// grid file that cannot be filled.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "tests/support/case_folder.h"
#include "tests/support/straight_channel.h"

namespace zefra {
namespace {

struct Figures {
    double inflow;              // through the upstream opening, m3/s
    std::vector<double> centre;  // speeds of the centre-line cells at i = 31, bed to surface
    double shear, corner;       // section-mean and corner-cell bed shear at i = 31, N/m2
};

Figures run_on(double rotation, double skew)
{
    test::CaseFolder folder;
    test::write_straight_channel(41, 8, rotation, skew);
    EXPECT_EQ(test::run_case("G 1 41 8 6 1\nG 3 0 20 40 60 80 100\nW 1 35 10.0 101.0\nK 5 0 0 0 1 0 0\nF 2 W\n"
                             "G 7 0 1 2 8 2 6 1 0 10.0 0 0 0\nG 7 1 -1 2 8 2 6 0 1 10.0 0 0 0\n"),
              1);
    EXPECT_TRUE(test::converged()) << test::log_tail();
    Figures f{0.0, {}, test::section_bed_shear(31), bedshear[31][2]};
    for (int j = 2; j <= ynumber; ++j)
        for (int k = 2; k <= znumber; ++k) f.inflow += 0.001 * flow1[1][j][k];
    for (int k = 2; k <= znumber; ++k) f.centre.push_back(std::hypot(xvel[31][5][k], yvel[31][5][k], zvel[31][5][k]));
    return f;
}

// The wall law sees the distance of the cell centre square to the side wall,
// so the corner cells keep their bed shear on the skewed grid; the flow
// enters along the grid lines with its whole discharge.
TEST(SkewedGrid, TurnedAndSkewedGridsGiveTheFlowOfTheOrthogonalOne)
{
    ZEFRA_HEAVY_CASE();
    const Figures straight = run_on(0.0, 0.0);
    EXPECT_NEAR(straight.inflow, 10.0, 1e-6);
    for (auto [rotation, skew, speed, shear, corner] : {std::tuple{30.0, 0.0, 1e-4, 1e-4, 1e-3}, std::tuple{0.0, 45.0, 0.01, 0.01, 0.03}}) {
        SCOPED_TRACE(testing::Message() << "rotation " << rotation << ", skew " << skew);
        const Figures f = run_on(rotation, skew);
        EXPECT_NEAR(f.inflow, 10.0, 1e-6);
        for (std::size_t k = 0; k < f.centre.size(); ++k) EXPECT_NEAR(f.centre[k] / straight.centre[k], 1.0, speed);
        EXPECT_NEAR(f.shear / straight.shear, 1.0, shear);
        EXPECT_NEAR(f.corner / straight.corner, 1.0, corner);
    }
}

// F 7 D fills the even node lines between the odd ones of the file; an even
// xnumber leaves the last line without a partner, which the reader says.
TEST(SkewedGrid, ThinnedGridNeedsAnOddNumberOfLines)
{
    test::CaseFolder folder;
    test::write_straight_channel(11, 5);
    EXPECT_EQ(test::run_case("G 1 20 5 4 1\nF 7 D\nW 1 35 10.0 101.0\nF 2 W\n"), -1);
    EXPECT_TRUE(test::log_ends_with("Error in reading koordina file\nF 7 D: the file holds every second node line in i, so xnumber must be odd, "
                                    "but G 1 gives xnumber = 20\n"))
        << test::log_tail();
}

}  // namespace
}  // namespace zefra
