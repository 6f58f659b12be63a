// The allocator: exactly the arrays whose conditions hold, the byte count in
// the log, nothing twice, and a clean failure.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "engine/common/status.h"
#include "engine/state/fields.h"
#include "engine/state/state.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_plugins.h"
#include "engine/state/state_porous.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_sediment.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

class Sialloc : public ::testing::Test {
protected:
    void SetUp() override
    {
        xnumber = 10;
        ynumber = 6;
        znumber = 5;
        lnumber = 2;
    }
    test::CaseFolder folder;
};

double logged_megabytes(const std::string& log, int occurrence)
{
    std::regex line("Have allocated +([0-9.]+) Mbytes\n\n");
    auto it = std::sregex_iterator(log.begin(), log.end(), line);
    for (int n = 0; n < occurrence && it != std::sregex_iterator(); ++n) ++it;
    if (it == std::sregex_iterator()) return -1.0;
    return std::stod((*it)[1]);
}

TEST_F(Sialloc, SteadyRunHasNoEarlierTimeLevelsAndNoTimeSeries)
{
    ASSERT_EQ(sialloc(), 0);
    for (Field3* a : {&xvel_old, &yvel_old, &zvel_old, &kinen_old, &epsilon_old, &xvel_old2, &kinen_old2, &temp_old})
        EXPECT_FALSE(*a);
    EXPECT_FALSE(TimeInTime);
    EXPECT_FALSE(Cinn);
    EXPECT_FALSE(conc_old);
    EXPECT_FALSE(Porosity);
    EXPECT_FALSE(temp);
    EXPECT_FALSE(comp);
    EXPECT_FALSE(invFlow);
    EXPECT_FALSE(invAPC);
    EXPECT_FALSE(aee);
    EXPECT_FALSE(aeb);
    EXPECT_FALSE(MBFlow);
    EXPECT_FALSE(Rstress);
    EXPECT_FALSE(catt);
    // The unconditional ones exist with their index ranges.
    ASSERT_TRUE(xvel);
    EXPECT_EQ(xvel.extent(0), 13);
    EXPECT_EQ(xvel.extent(2), 8);
    EXPECT_EQ(zval.extent(2), 7);
    EXPECT_EQ(m_dist_z.extent(2), 8);
    EXPECT_EQ(m_vec_z.extent(3), 3);
    EXPECT_EQ(conc.extent(0), 4);
    EXPECT_EQ(at.extent(0), 3);
    EXPECT_EQ(Surfaces.extent(0), 6);
    EXPECT_EQ(graphDum.extent(0), 8);
    EXPECT_EQ(psc.extent(0), 13);
    EXPECT_EQ(ISkjotMB.extent(0), 12);
    EXPECT_EQ(std::string(mc_message), "Initiation of arrays o.k");
    EXPECT_NE(test::log_text().find(" In initial - arrays \n\nEnd of initial - arrays\n"), std::string::npos);
}

TEST_F(Sialloc, ConditionsSelectTheirArrays)
{
    TimeStep = 1.0;
    FlagTimeOrder = 2;
    FlagTemp = 1;
    NoComponents = 3;
    FlagTSC = 1;
    FlagBedPoros = 1;
    sou[3] = 3;
    BedLoadVectorFlag = 1;
    RelaxRhieChow = -0.5;
    simple = 'C';
    MBNo = 2;
    FlagStress1DLL = 1;
    AllocStress1DLL = 4;
    SedimentScheme = 1;
    ArrayTimeSteps = 17;
    ASSERT_EQ(sialloc(), 0);
    for (Field3* a : {&xvel_old, &zvel_old2, &kinen_old2, &epsilon_old2, &temp, &temp_old, &Porosity, &aee, &abb, &aeb,
                      &invFlow, &invAPC})
        EXPECT_TRUE(*a);
    EXPECT_EQ(comp.extent(0), 3);
    EXPECT_EQ(comp_old.extent(0), 3);
    EXPECT_EQ(conc_old.extent(0), 4);
    EXPECT_EQ(MBFlow.extent(0), 3);
    EXPECT_EQ(MBFlow.extent(1), 7);
    EXPECT_EQ(Rstress.extent(0), 4);
    EXPECT_EQ(PorosityBed.extent(2), 4);
    EXPECT_EQ(TimeInTime.extent(0), 17);
    EXPECT_EQ(Cinn.extent(1), 20);
    EXPECT_EQ(QDinn.extent(1), 11);
    EXPECT_TRUE(catt);
}

TEST_F(Sialloc, FirstOrderSchemesLeaveOutTheSecondNeighbours)
{
    sou[2] = 2;  // neither 1 nor 3
    FlagDragDLL = 1;
    TimeStep = 1.0;  // transient, but first order in time
    ASSERT_EQ(sialloc(), 0);
    EXPECT_FALSE(aee);
    EXPECT_TRUE(StemNumber);
    EXPECT_TRUE(xvel_old);
    EXPECT_FALSE(xvel_old2);
}

TEST_F(Sialloc, ByteCountIsTheSumOfTheBlocksAndASecondCallAddsNothing)
{
    ASSERT_EQ(sialloc(), 0);
    const long x = xnumber, y = ynumber, z = znumber;
    long cell3 = (x + 2) * (y + 2) * (z + 2), ghost3 = (x + 3) * (y + 3) * (z + 3), plan = (x + 2) * (y + 2);
    // Sizes of a few groups counted by hand: the count must cover at least the
    // flow variables and coefficient arrays and be consistent with the log.
    long at_least = 8 * (6 * ghost3 + 8 * cell3 + 15 * plan);
    double first = logged_megabytes(test::log_text(), 0);
    EXPECT_GT(first * 1e6, at_least * 0.999);

    xvel[3][2][1] = 4.0;
    TimeStep = 5.0;  // now a transient run: only the new arrays are added
    ASSERT_EQ(sialloc(), 0);
    EXPECT_EQ(xvel[3][2][1], 4.0);
    ASSERT_TRUE(xvel_old);
    double second = logged_megabytes(test::log_text(), 1);
    long old_levels = 5 * 8 * cell3;
    long series = 200 * 8 * (7 + 20 + 3 + 11);
    EXPECT_NEAR(second * 1e6, old_levels + series, 0.005e6);

    ASSERT_EQ(sialloc(), 0);
    EXPECT_EQ(logged_megabytes(test::log_text(), 2), 0.0);
}

TEST_F(Sialloc, ImpossibleSizesLogTheBytesReachedAndFail)
{
    // The very first array would need more than a terabyte.
    xnumber = 400000;
    ynumber = 400000;
    EXPECT_EQ(sialloc(), -1);
    EXPECT_NE(test::log_text().find("Allocated 0 byte when out of memory\n"), std::string::npos);
    EXPECT_FALSE(xval);
}

TEST_F(Sialloc, ClosedLogEndsTheCallWithoutAllocating)
{
    std::filesystem::create_directory("boogie");
    EXPECT_EQ(sialloc(), -1);
    EXPECT_EQ(std::string(mc_message), "cannot open file 'boogie'");
    EXPECT_FALSE(xvel);
}

}  // namespace
}  // namespace zefra
