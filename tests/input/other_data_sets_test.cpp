// Data sets of the letters H, I, K, L, N, P, Q, S and W: stored values and the
// messages and statuses of bad input.
#include <gtest/gtest.h>

#include <string>

#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

// Grid of the tests: x = 10, y = 6, z = 5, three sizes.
std::string with(const std::string& data_sets)
{
    return test::control_with(data_sets, 10, 6, 5, 3);
}

TEST(OtherDataSets, BadInputEndsTheRunWithItsMessage)
{
    const test::Rejected rejected[] = {
        {"H 3 21\n", 1, "Input error for H 3 in control\nData points must not exceed 20\n"},
        {"H 2 2 0.5 1 2 0.7 17 2\n", 1, "Input error for H 2 in control\n"},
        {"H 2 1 0.5 1 -1\n", 1, "Input error for H 2 in control\n"},
        {"I 4 0.1\n", 1, "Input error for I in control"},
        {"I -1 0.1\n", 1, "Input error for I in control"},
        {"K 1 4000\n", 1, "Input error for K 1 in control"},
        {"K 1 4000 -1\n", 1, "Input error for K 1 in control"},
        {"K 2 6 1\n", 1, "Input error for K 2 in control"},
        {"K 2 0 2\n", 1, "Input error for K 2 in control"},
        {"K 3 0.5 0.5 5.5 0.2 0.5 0.5\n", 1, "Input error for K 3 in control"},
        {"K 4 1 1 1 21 1 1\n", 1, "Input error for K 4 in control"},
        {"K 5 0 0 0 0 0 11\n", 1, "Input error for K 5 in control"},
        {"K 6 0 21 0 0 0 0\n", 1, "Input error for K 6 in control"},
        {"L 21\n", 1, "Input error for L in control"},
        {"N 20 1 0.5\n", 1, "Input error for N in control"},
        {"N 1 20 0.5\n", 1, "Input error for N in control"},
        {"N 1 1 19.5\n", 1, "Input error for N in control"},
        {"P 3 12 2 2 1\n", 1, "Input error for P 3 in control"},
        {"P 3 2 2 2 4\n", 1, "Input error for P 3 in control"},
        {"Q 10001 1 0.5\n", 1, "Input error for Q in control\n"},
        {"Q 1 101 0.5\n", 1, "Input error for Q in control\n"},
        {"F 50 2\nQ 1002 3 3 0.5\n", 1, "Input error for Q 1002 3 in control\n"},
        {"F 50 2\nQ 3 1 1 -1 0.5\n", 1, "Input error for Q 3 1 in control\n"},
        {"F 50 2\nQ 4 1 1 2 0.5\n", 1, "Input error for Q 4 1 in control\n"},
        {"Q 0 40 name\n", 1, "Input error for Q 0 40 in control\n"},
        // A partner, or the receiving component, must be one of the F 50 components,
        // whichever data set comes first.
        {"F 50 2\nQ 2 1 2 0.5\n", 1, "Input error for Q 2 1 in control\n"},
        {"F 50 2\nQ 2004 0 1 2 0.5 1.0\n", 1, "Input error for Q 2004 0 in control\n"},
        {"Q 1012 3 0 0.5\nF 50 3\n", 1, "Input error for Q 1012 3 in control\n"},
        {"F 50 2\nQ 1 2 0.5\n", 1, "Input error for Q 1 2 in control\n"},
        {"S 5 0.001 0.1\n", 1, "Input error for S in control"},
        {"S 1 -0.001 0.1\n", 1, "Input error for S in control"},
        {"S 1 0.001 2e6\n", 1, "Input error for S in control"},
        {"S 1 0.001 0.1\nS 2 0.002 0.2\n", -5, "Error for S data set no. 3\n"},
        {"N 2 1 0.3\n", -4, "Error, N - data sets : Sum of fractions = 0.000000e+00\n"},
        {"N 1 1 0.5\nN 1 2 0.6\n", -4, "Error, N - data sets : Sum of fractions = 1.100000e+00\n"},
        {"W 1 0.5 10 100\n", 1, "Input error for W 1 in control"},
        {"W 1 30 1e-11 100\n", 1, "Input error for W 1 in control"},
        {"W 1 30 10 10001\n", 1, "Input error for W 1 in control"},
        {"W 2 3 1 5 4\n", 1, "Input error for W 2 in control"},
        {"W 2 2 0 5\n", 1, "Input error for W 2 in control"},
        {"W 2 1 11\n", 1, "Input error for W 2 in control"},
        {"W 2 3000\n", 1, "Input error for W 2 in control"},
        {"W 3 0\n", 1, "Input error for W 3 in control"},
        {"W 3 10\n", 1, "Input error for W 3 in control"},
        {"W 3 1 11 0\n", 1, "Input error for W 3 in control"},
        {"W 3 1 5 -11\n", 1, "Input error for W 3 in control"},
        {"W 4 4 1 2 2 3 2 3\n", 1, "Input error for W 4 in control\nMWall(1).dir = 4\n"},
        {"W 4 1 2 2 2 3 2 3\n", 1, "Input error for W 4 in control\nMWall(1).posneg = 2\n"},
        {"W 4 1 1 2 0 3 2 3\n", 1, "Input error for W 4 in control\nA-MWall(1)\n"},
        {"W 4 1 1 2 2 3 4 3\n", 1, "Input error for W 4 in control\nA-MWall(1)\n"},
        {"W 4 2 1 7 2 3 2 3\n", 1, "Input error for W 4 in control\nA-MWall(1).node = 7\n"},
        {"W 4 3 -1 0 2 3 2 3\n", 1, "Input error for W 4 in control\nA-MWall(1).node = 0\n"},
        {"W 4 1 0 2 2 7 2 3\n", 1, "Input error for W 4 in control\nB-MWall(1)\n"},
        {"W 4 2 0 2 2 10 2 6\n", 1, "Input error for W 4 in control\nB-MWall(1)\n"},
        {"W 4 3 0 2 2 11 2 6\n", 1, "Input error for W 4 in control\nB-MWall(1)\n"},
        {"W 6 11 2\n", 1, "Error, for data set W 6, 1\n"},
        {"W 6 1 2\nW 6 1 -1\n", 1, "Error, for data set W 6, 2\n"},
        {"W 7 4 1 1 0.5 0.5\n", 1, "Error, for data set W 7, 1\n"},
        {"W 7 1 11 1 0.5 0.5\n", 1, "Error, for data set W 7, 1\n"},
    };
    for (const test::Rejected& r : rejected) EXPECT_TRUE(test::control_rejected(with(r.data_sets), r.status, r.log_tail));
}

TEST(OtherDataSets, CountersStopBeforeTheirTablesOverflow)
{
    test::CaseFolder folder;
    std::string walls;
    for (int n = 0; n < 300; ++n) walls += "W 4 1 1 2 2 3 2 3\n";
    EXPECT_EQ(test::read_control(with(walls)), 1);
    EXPECT_TRUE(test::log_ends_with("Input error for W 4 in control\nMWallNo = 300, too large\n"));
    EXPECT_EQ(MWall[299].node, 2);

    std::string fast;
    for (int n = 0; n < 2000; ++n) fast += "W 6 1 1\n";
    EXPECT_EQ(test::read_control(with(fast)), 1);
    EXPECT_TRUE(test::log_ends_with("Error, too many W 6 data sets\n"));

    std::string terms;
    for (int n = 0; n < 201; ++n) terms += "Q 1 1 0.5\n";
    EXPECT_EQ(test::read_control(with(terms)), 1);
    EXPECT_TRUE(test::log_ends_with("Input error for Q 1 1 in control\n"));
    EXPECT_EQ(NoTerms, 200);
}

TEST(OtherDataSets, WaterQualityTablesTermsAndNames)
{
    test::CaseFolder folder;
    std::string data_sets =
        "F 50 4\n"
        "H 3 2 0.5 1 2 -0.25 16 0\n"
        "H 15 3 1 1 1\n"
        "H -1 3 1 1 1\n"
        "Q 0 2 oxygen_demand\n"
        "Q 1 1 0.25\n"
        "Q 1002 3 2 1.5\n"
        "Q 3 2 1 3 -0.5\n"
        "Q 2004 1 0 3 2.5 7.5\n"
        "Q 1002 1 0 0.5 9.25\n"
        "Q 77 1 9 9 9\n";
    EXPECT_FALSE(test::read_control(with(data_sets)).has_value()) << test::log_text();
    EXPECT_EQ(Bio[3].count, 2);
    EXPECT_EQ(Bio[3].value[1], -0.25);
    EXPECT_EQ(Bio[3].first[1], 16);
    EXPECT_EQ(Bio[3].second[1], 0);
    EXPECT_EQ(Bio[14].count, 7);  // H 15 and H -1 name no table
    EXPECT_STREQ(QualityName[2], "oxygen_demand");
    ASSERT_EQ(NoTerms, 5);  // code 0 names, code 77 is no term
    EXPECT_EQ(QTerms[0].component, 1);
    EXPECT_EQ(QTerms[0].code, 1);
    EXPECT_EQ(QTerms[0].value1, 0.25);
    EXPECT_EQ(QTerms[1].a, 2);
    EXPECT_EQ(QTerms[2].b, 3);
    EXPECT_EQ(QTerms[3].code, 2004);
    EXPECT_EQ(QTerms[3].value2, 7.5);
    EXPECT_EQ(QTerms[1].value2, 0.0);   // exchange without a level: towards 0
    EXPECT_EQ(QTerms[4].value2, 9.25);  // towards the level given
}

TEST(OtherDataSets, LongComponentNameIsCutToItsBuffer)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(with("Q 0 39 " + std::string(60, 'n') + " F 59 3\n")).has_value());
    EXPECT_EQ(std::string(QualityName[39]), std::string(39, 'n'));
    EXPECT_EQ(GaussIter, 3);
}

TEST(OtherDataSets, SolverAndPlotSettings)
{
    test::CaseFolder folder;
    std::string data_sets =
        "K 1 5000 700\nK 2 5 0\nK 3 0.5 0.6 0.7 0.1 0.4 5\nK 4 2 2 2 20 1 1\nK 5 1 0 0 10 0 0\nK 6 1 1 3 0 0 0\n"
        "K 8 Y\nK 9 C\nK 10 N\nK 7 4\n"
        "P 2 2 3 4 5 6\nP 3 11 7 6 3\nP 4 x\nP 7 V\nP 10 1\nL 3 1.5 2.5 3.5\n"
        "I 2 0.003\nI 0 0.5\n";
    // K 2 makes it a closed conduit: the grid file carries a roof level.
    std::string grid;
    for (int i = 1; i <= 10; ++i)
        for (int j = 1; j <= 6; ++j) grid += std::to_string(i) + " " + std::to_string(j) + " 0 0 0 2\n";
    test::write_file("koordina", grid);
    EXPECT_FALSE(test::read_control(with(data_sets)).has_value()) << test::log_text();
    EXPECT_EQ(iterGlobalMax, 5000);
    EXPECT_EQ(IterSurface, 700);
    EXPECT_EQ(FlagWall, 5);
    EXPECT_EQ(FlagRoof, 0);
    EXPECT_EQ(relax[6], 5.0);
    EXPECT_EQ(sweeps[4], 20);
    EXPECT_EQ(blockcorr[4], 10);
    EXPECT_EQ(sou[3], 3);
    EXPECT_TRUE(aee);     // a second-order scheme asks for the second neighbours
    EXPECT_EQ(conti, 'Y');
    EXPECT_EQ(simple, 'C');
    EXPECT_TRUE(invAPC);  // SIMPLEC
    EXPECT_EQ(lcray, 'N');
    EXPECT_EQ(movey, 6.0);
    EXPECT_EQ(xnode, 11);
    EXPECT_EQ(lnode, 3);
    EXPECT_EQ(graph, 'x');
    EXPECT_EQ(VerHorPar, 'V');
    EXPECT_EQ(PrintRes, 1);
    EXPECT_EQ(contourNo, 3);
    EXPECT_EQ(contourLevels[2], 3.5);
    EXPECT_EQ(inflow[2], 0.003);
    EXPECT_EQ(inflow[0], 0.5);
}

TEST(OtherDataSets, GrainSizesAndSamples)
{
    test::CaseFolder folder;
    std::string data_sets =
        "S 1 0.0002 0.02\nS 2 0.002 0.2\nS 3 0.02 0.9\nS 4 0.05 1.2\n"
        "N 1 1 0.2\nN 1 2 0.3\nN 1 3 0.5\nN 2 3 1.0\n"
        "B 1 2 4 2 3\nB -2 5 6 2 3\n";
    EXPECT_FALSE(test::read_control(with(data_sets)).has_value()) << test::log_text();
    EXPECT_EQ(gsize[4], 0.05);
    EXPECT_EQ(fallvelo[3], 0.9);
    EXPECT_EQ(SampleNo, 2);
    EXPECT_EQ(SedimentSample[1][2], 0.3);
    EXPECT_EQ(bedgrain[2][3][3], 0.3);
    EXPECT_EQ(BedGrainOriginal[3][4][2], 0.5);
    EXPECT_EQ(intBedSediment[4][3], 1);
    EXPECT_EQ(BedGrainOriginal[3][6][3], 1.0);
    EXPECT_EQ(bedgrain[3][6][3], 0.0);
    EXPECT_EQ(intBedSediment[6][3], 0);
}

TEST(OtherDataSets, FlowProfileBlocksWallsAndAttraction)
{
    test::CaseFolder folder;
    std::string data_sets =
        "W 1 35.5 120.0 301.25\nW 2 4 1 3 3 10\nW 3 2 4 -3 8 6\n"
        "W 4 1 -1 4 2 6 2 5\nW 4 3 1 5 1 10 1 6\n"
        "W 6 3 4\nW 6 0 6\nW 7 2 10 6 0.5 1.5\n";
    EXPECT_FALSE(test::read_control(with(data_sets)).has_value()) << test::log_text();
    EXPECT_EQ(ManningInit, 35.5);
    EXPECT_EQ(discharge, 120.0);
    EXPECT_EQ(level, 301.25);
    EXPECT_EQ(initnumber, 4);
    EXPECT_EQ(initarray[3], 3);
    EXPECT_EQ(initarray[4], 10);
    EXPECT_EQ(ManArray[5], 35.5);
    EXPECT_EQ(MBNo, 2);
    EXPECT_EQ(MBStart[1], -3);
    EXPECT_EQ(ISkjotMB[4], 1);
    EXPECT_EQ(ISkjotMB[8], 1);
    EXPECT_EQ(ISkjotMB[5], 0);
    EXPECT_EQ(MBFlow.extent(0), 3);
    EXPECT_EQ(MWallNo, 2);
    EXPECT_EQ(MWall[1].posneg, -1);
    EXPECT_EQ(MWall[2].b2, 6);
    EXPECT_EQ(FastNo, 2);
    EXPECT_EQ(jFast[2], 6);
    ASSERT_EQ(AttractNo, 1);
    EXPECT_EQ(Attract[1].c, 2);  // the first integer is the third field
    EXPECT_EQ(Attract[1].a, 10);
    EXPECT_EQ(Attract[1].b, 6);
    EXPECT_EQ(Attract[1].value2, 1.5);
}

TEST(OtherDataSets, LettersWithoutANumberStartNoDataSet)
{
    test::CaseFolder folder;
    std::string remarks = "F 37 1  Sediment driver, Quality off, Wall law, Inflow, Kappa, Level, Nodes, Plot, High\n";
    EXPECT_FALSE(test::read_control(with(remarks)).has_value()) << test::log_text();
    EXPECT_EQ(FlagTSC, 1);
}

}  // namespace
}  // namespace zefra
