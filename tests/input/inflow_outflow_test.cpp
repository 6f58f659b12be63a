// The consistency check of the inflow and outflow openings: every failure of
// every record is reported, and any failure disables the whole list.
#include <gtest/gtest.h>

#include <string>

#include "engine/input/inflow_outflow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_tables.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

class CheckIO : public ::testing::Test {
protected:
    void SetUp() override
    {
        xnumber = 10;
        ynumber = 6;
        znumber = 5;
    }
    // Adds a record that passes every check: inflow through the upstream end.
    IORecord& add()
    {
        IORecord& r = IO[++IONo];
        r = IORecord{0, 1, 2, 6, 2, 5, 0, 0, 10.0, 0.0, 0.0, 0.0};
        return r;
    }
    test::CaseFolder folder;
};

TEST_F(CheckIO, GoodRecordsPass)
{
    add();
    IORecord& r = add();
    r.type = 1;
    r.side = -3;
    r.a2 = 10;
    r.b2 = 6;
    r.paralell = 2;
    r.x = 0.6;
    r.y = 0.8;
    r.z = 5.0;  // greater than 1: not prescribed, counts as zero
    checkIO();
    EXPECT_EQ(IONo, 2);
    EXPECT_EQ(test::log_text(), "");
}

TEST_F(CheckIO, SideWithoutMultiBlockGivesTwoReportsForOneRecord)
{
    add().side = 4;
    checkIO();
    EXPECT_EQ(IONo, -10);
    EXPECT_EQ(test::log_text(),
              "Error in G 7: for wall no: 1\nside have to range from -3 to +3, when Multi-Block is not used\nside: 4\n"
              "Error in G 7: for wall no: 1\nside can never range from 4 to 10\nside: 4\n");
}

TEST_F(CheckIO, BlockJointSidesDependOnTheNumberOfBlocks)
{
    MBNo = 1;
    add().side = 12;
    checkIO();
    EXPECT_EQ(IONo, -10);
    EXPECT_EQ(test::log_text(),
              "Error in G 7: for wall no: 1\nside minus number of Multi-Blocks can not exceed 10\nside: 12 MBNo: 1\n");
    test::write_file("boogie", "");
    IONo = 0;
    MBNo = 2;
    add().side = 12;
    checkIO();
    EXPECT_EQ(IONo, 1);
    EXPECT_EQ(test::log_text(), "");
}

TEST_F(CheckIO, EveryFailureOfEveryRecordIsReported)
{
    add();
    IORecord& r = add();
    r.type = -1;
    r.side = 0;
    r.a1 = 1;
    r.a2 = 0;
    r.b1 = 4;
    r.b2 = 3;
    r.paralell = 3;
    r.update = -2;
    IORecord& s = add();
    s.side = -2;
    s.a2 = 11;
    s.b2 = 6;
    s.paralell = 2;
    s.x = 0.5;
    s.y = 0.5;
    s.z = 0.5;
    checkIO();
    EXPECT_EQ(IONo, -10);
    EXPECT_EQ(test::log_text(),
              "Error in G 7: for wall no: 2\ntype have to be 0 for inflow or 1 for outflow\n"
              "Error in G 7: for wall no: 2\nside have to range from -3 to +3, but not zero\nside: 0\n"
              "Error in G 7: for wall no: 2\na1 and b1 have to b greater than 1\na1, b1: 1, 4\n"
              "Error in G 7: for wall no: 2\na2 have to be greater than a1\n"
              "Error in G 7: for wall no: 2\nb2 have to be greater than b1\n"
              "Error in G 7: for wall no: 2\nparalell must be 0,1 or 2\nparalell: 3\n"
              "Error in G 7: for wall no: 2\nupdate must be 0, 1 or 2\nupdate: -2\n"
              "Error in G 7: for wall no: 3\na2(11) larger than xnumber(10)\na2, b2: 11, 6\n"
              "Error in G 7: for wall no: 3\nb2 (6) larger than znumber (5) \na2, b2: 11, 6\n"
              "Error in G 7: for wall no: 3\nIncorrect components for paralell equal 2\nIncorrect Unit = 7.500000e-01\n");
}

TEST_F(CheckIO, PatchLimitsOfTheEndsAndTheBed)
{
    IORecord& end = add();
    end.a2 = 7;
    end.b2 = 6;
    IORecord& bed = add();
    bed.side = 3;
    bed.a2 = 11;
    bed.b2 = 7;
    checkIO();
    EXPECT_EQ(test::log_text(),
              "Error in G 7: for wall no: 1\na2(7) larger than ynumber(6)\na2, b2: 7, 6\n"
              "Error in G 7: for wall no: 1\nb2(6) larger than znumber(5)\na2, b2: 7, 6\n"
              "Error in G 7: for wall no: 2\na2(11) larger than xnumber(10)\na2, b2: 11, 7\n"
              "Error in G 7: for wall no: 2\nb2(7) larger than ynumber(6)\na2, b2: 11, 7\n");
}

TEST(CheckIOInTheReader, FailedRecordsStopTheRunAfterTheAllocation)
{
    test::CaseFolder folder;
    std::optional<int> status = test::read_control(test::control_with("G 7 0 1 1 4 2 3 0 0 5.0 0 0 0\n", 10, 6, 5, 1));
    EXPECT_EQ(status, -1);
    std::string log = test::log_text();
    std::size_t report = log.find("Error in G 7: for wall no: 1\na1 and b1 have to b greater than 1\na1, b1: 1, 2\n");
    std::size_t allocation = log.find(" In initial - arrays \n");
    EXPECT_LT(report, allocation);
    EXPECT_TRUE(test::log_ends_with("Mbytes\n\nInput error for G 7 in control\nError = -10\n")) << log;
}

}  // namespace
}  // namespace zefra
