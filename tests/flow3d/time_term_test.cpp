// The time term of the momentum equations: first order, and the second-order
// backward difference, which must see the rate of a linear change exactly.
#include <gtest/gtest.h>

#include "engine/flow3d/momentum_sources.h"
#include "engine/common/physics.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

// Rate of change the time term gives a field of value `now` in cell (3, 3, 3):
// (wap * now - source) / (rho V), V = 1 m3.
double rate(double now)
{
    return (wap[3][3][3] * now - source[3][3][3]) / WaterDensity;
}

TEST(TimeTerm, BothOrdersSeeTheRateOfALinearChange)
{
    test::CaseFolder folder;
    TimeStep = 2.0;
    FlagTimeOrder = 1;
    test::box_grid(5, 5, 5, 1.0, 1.0, 1.0);
    ASSERT_TRUE(xvel_old2);
    // u was 1 two steps ago, 4 one step ago and is 7 now: du/dt = 1.5 m/s2.
    xvel_old2.fill(1.0);
    xvel_old.fill(4.0);
    for (bool second : {false, true}) {
        wap.fill(0.0);
        source.fill(0.0);
        time_term(xvel, xvel_old, xvel_old2, second);
        EXPECT_NEAR(rate(7.0), 1.5, 1e-12) << (second ? "second order" : "first order");
    }
    // A field at rest has no time term in either order.
    xvel_old2.fill(4.0);
    wap.fill(0.0);
    source.fill(0.0);
    time_term(xvel, xvel_old, xvel_old2, true);
    EXPECT_NEAR(rate(4.0), 0.0, 1e-12);
    // Second order: the central coefficient carries 1.5 rho V / dt.
    EXPECT_NEAR(wap[3][3][3], 1.5 * WaterDensity / 2.0, 1e-9);
}

}  // namespace
}  // namespace zefra
