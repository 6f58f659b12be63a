// The reading sequence of the control file: log start, defaults, the limits of
// the two passes, the checks after the first pass and the second-pass data sets.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/common/status.h"
#include "engine/input/control_reader.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_turbulence.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

TEST(ControlReader, StartsAFreshLogAndSaysWhatItDoes)
{
    test::CaseFolder folder;
    test::write_file("boogie", "log of an earlier run\n");
    EXPECT_FALSE(test::read_control(test::control_with("F 24 1\n")).has_value());
    std::string log = test::log_text();
    EXPECT_EQ(log.rfind(" Multi-block version of ZEFRA \n In kread \n\nIn kelio1: IONo = 0\nTurbulenceModel = 1\n", 0), 0u);
}

TEST(ControlReader, MissingControlFile)
{
    test::CaseFolder folder;
    EXPECT_EQ(test::exit_status(kread), -4);
    EXPECT_EQ(std::string(mc_message), "cannot open file 'control' ");
    EXPECT_EQ(test::log_text(), "Error, cannot open file 'control'\n");
}

TEST(ControlReader, LogThatCannotBeOpened)
{
    test::CaseFolder folder;
    std::filesystem::create_directory("boogie");
    EXPECT_EQ(test::read_control(test::control_with("")), -3);
    EXPECT_EQ(std::string(mc_message), "cannot open file 'boogie' ");
}

TEST(ControlReader, GridTooLargeForTheMemoryEndsWithStatusMinus3)
{
    test::CaseFolder folder;
    EXPECT_EQ(test::read_control("G 1 400000 400000 4 1\n"), -3);
    // Counted before anything is allocated.
    EXPECT_TRUE(test::log_ends_with(" Mbytes, more than the memory of this machine\nCould not allocate enough memory"));
}

TEST(ControlReader, DefaultsOfARunWithoutSettings)
{
    test::CaseFolder folder;
    xnumber = 7;  // sizes of the first scan
    ynumber = 3;
    EXPECT_FALSE(test::read_control(test::control_with("")).has_value());
    EXPECT_EQ(ADConvNo, 10 * 7 * 3);
    EXPECT_EQ(relax[1], 0.8);
    EXPECT_EQ(relax[4], 0.2);
    EXPECT_EQ(relax[6], 0.5);
    EXPECT_EQ(sweeps[4], 5);
    EXPECT_EQ(sweeps[19], 1);
    EXPECT_EQ(sou[6], 0);
    EXPECT_EQ(invSchmidt[19], 1.0);
    EXPECT_EQ(SedimentSample[0][1], 1.0);
    EXPECT_EQ(GaussIter, 10);
    EXPECT_EQ(iterGlobalMax, 40000);
    EXPECT_EQ(TimeStep, 1e-20);
    EXPECT_EQ(TSCMinDepth, -1.0);
    EXPECT_EQ(XksWall, -2.0);
    EXPECT_EQ(movey, 0.25);
    EXPECT_EQ(IterF2, 1);
    EXPECT_EQ(FlagRoof, 1);
    EXPECT_EQ(simple, 'Y');
    EXPECT_EQ(graph, 'g');
    EXPECT_EQ(SedimentFormula, 'R');
    EXPECT_EQ(Bio[14].count, 7);
    EXPECT_EQ(Bio[14].value[6], 100.0);
    EXPECT_EQ(Bio[14].first[4], 8);
    EXPECT_EQ(Bio[14].second[0], 2);
    EXPECT_EQ(Bio[13].count, 0);
    // What the reader completes after allocating the arrays.
    EXPECT_EQ(ManArray[0], 50.0);
    EXPECT_EQ(ManArray[7], 50.0);
    EXPECT_EQ(bedshear[1][1], -2.0);
    EXPECT_EQ(bedshear[7][6], -2.0);
    EXPECT_EQ(bedshear[0][0], 0.0);
    EXPECT_EQ(MutBlock[7][6], 1);
    EXPECT_EQ(ISkjotMB[3], 0);
}

TEST(ControlReader, GridSizesMustComeFromAValidG1)
{
    test::CaseFolder folder;
    EXPECT_EQ(test::read_control("F 59 3\n"), 1);
    EXPECT_TRUE(test::log_ends_with("Input error for G 1 in control"));
    EXPECT_EQ(test::read_control("G 1 10 10 10 11\n"), 1);
    EXPECT_EQ(test::read_control("G 1 10 3 10 1\n"), 1);
    EXPECT_EQ(test::read_control("G 1 10 10 10\n"), 1);
    EXPECT_FALSE(test::read_control("G 1 4 4 4 10\n").has_value());
}

TEST(ControlReader, FirstPassEndsAfter30000ScannedCharacters)
{
    test::CaseFolder folder;
    std::string control = test::control_with("");
    std::string filler(30000 - control.size() - 10, 'x');
    // The data set right before the limit is read; the one after it is not.
    control += filler + "F 59 2\n" + std::string(20, ' ') + "F 20 3\n";
    EXPECT_FALSE(test::read_control(control).has_value());
    EXPECT_EQ(GaussIter, 2);
    EXPECT_EQ(IterF2, 1);
}

TEST(ControlReader, CharactersInsideDataSetsDoNotCountToTheLimit)
{
    test::CaseFolder folder;
    // A long run-string line is taken inside its data set.
    std::string control = test::control_with("F 2 W" + std::string(40000, 'x') + "\nF 59 9\n");
    EXPECT_FALSE(test::read_control(control).has_value());
    EXPECT_EQ(GaussIter, 9);
}

TEST(ControlReader, TitleKeeps28PrintableCharacters)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(test::control_with("T Rhine at Basel, groyne field 3 (F 59 7)\nF 20 2\n")).has_value());
    EXPECT_EQ(std::string(Title + 1), " Rhine at Basel, groyne fiel ");
    EXPECT_EQ(Title[0], '\0');
    EXPECT_EQ(GaussIter, 10);  // the rest of the title line is no data set
    EXPECT_EQ(IterF2, 2);
    EXPECT_FALSE(test::read_control(test::control_with("T short\tG 1 2 2 2 2\n")).has_value());
    EXPECT_EQ(std::string(Title + 1), " short ");
}

TEST(ControlReader, DepthAveragedRunHasNoVerticalPlotNode)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(test::control_with("F 44 1\n")).has_value());
    EXPECT_EQ(znode, 0);
}

TEST(ControlReader, FractionSumsOfTheDefaultSampleHoldForSeveralSizes)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(test::control_with("", 6, 5, 4, 3)).has_value());
}

TEST(ControlReader, ManningCoefficientPerCrossSection)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(test::control_with("W 5 3 0 20.0 4 35 7 180\n")).has_value());
    EXPECT_EQ(ManArray[0], 20.0);
    EXPECT_EQ(ManArray[4], 35.0);
    EXPECT_EQ(ManArray[7], 180.0);
    EXPECT_EQ(ManArray[5], 50.0);
}

TEST(ControlReader, ManningCoefficientErrors)
{
    test::CaseFolder folder;
    EXPECT_EQ(test::read_control(test::control_with("W 5 1 8 30\n")), 1);
    EXPECT_TRUE(test::log_ends_with("Input error for W 5 in control, wrong integer index"));
    EXPECT_EQ(test::read_control(test::control_with("W 5 2 3 30 4 0.5\n")), 1);
    EXPECT_TRUE(test::log_ends_with("Input error for W 5 in control, i=4\nManning's factor outside allowable range\n"));
    // A truncated data set: the missing pair repeats the last one read.
    EXPECT_FALSE(test::read_control(test::control_with("W 5 3 2 40")).has_value());
    EXPECT_EQ(ManArray[2], 40.0);
    EXPECT_EQ(test::read_control(test::control_with("W 5 1")), 1);
}

TEST(ControlReader, BedSamples)
{
    test::CaseFolder folder;
    // Sample 0 over the whole bed whatever the indices; sample 3 (all zero) in a box.
    EXPECT_FALSE(test::read_control(test::control_with("B 0 99 -5 7 2\nB 3 2 3 2 4\n", 6, 5, 4, 2)).has_value());
    EXPECT_EQ(bedgrain[1][1][1], 1.0);
    EXPECT_EQ(bedgrain[1][7][6], 1.0);
    EXPECT_EQ(BedGrainOriginal[1][5][5], 1.0);
    EXPECT_EQ(bedgrain[1][2][3], 0.0);
    EXPECT_EQ(BedGrainOriginal[1][3][4], 0.0);
    EXPECT_EQ(intBedSediment[3][4], 3);
    EXPECT_EQ(intBedSediment[4][4], 0);
    EXPECT_EQ(bedgrain[1][0][0], 0.0);  // the ghost ring is not part of the bed
}

TEST(ControlReader, NegativeSampleChangesOnlyTheInactiveLayer)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(test::control_with("B 0 0 0 0 0\nB -2 1 7 1 6\n", 6, 5, 4, 2)).has_value());
    EXPECT_EQ(bedgrain[1][4][4], 1.0);
    EXPECT_EQ(BedGrainOriginal[1][4][4], 0.0);
    EXPECT_EQ(intBedSediment[4][4], 0);
}

TEST(ControlReader, BedSampleChecksAndClipping)
{
    test::CaseFolder folder;
    EXPECT_EQ(test::read_control(test::control_with("B 20 1 2 2 3\n")), 1);
    EXPECT_TRUE(test::log_ends_with("Input error for B in control"));
    EXPECT_EQ(test::read_control(test::control_with("B 1 3 2 2 3\n")), 1);
    EXPECT_EQ(test::read_control(test::control_with("B 1 1 2 6 7\n")), 1);  // j1 beyond ynumber
    // A box reaching beyond the bed is cut at its edges, never written outside.
    EXPECT_FALSE(test::read_control(test::control_with("B 1 -40 400 -9 900\n")).has_value());
    EXPECT_EQ(intBedSediment[1][1], 1);
    EXPECT_EQ(intBedSediment[7][6], 1);
    EXPECT_EQ(intBedSediment[0][0], 0);
    // Fewer than five integers: the data set is ignored.
    EXPECT_FALSE(test::read_control(test::control_with("B 1 2 3\n")).has_value());
    EXPECT_EQ(intBedSediment[2][2], 0);
}

TEST(ControlReader, SecondPassDoesNotTakeRunStringOptionsOrTitleForDataSets)
{
    test::CaseFolder folder;
    std::string control = test::control_with("F 2 WSBMW 5 1 2 99\nF 7 NB 1 2\nT B 0 0 0 0 0 W 5 1 3 90\n", 6, 5, 4, 2);
    EXPECT_FALSE(test::read_control(control).has_value());
    EXPECT_EQ(ManArray[2], 50.0);
    EXPECT_EQ(ManArray[3], 50.0);
    EXPECT_EQ(bedgrain[1][3][3], 0.0);
}

}  // namespace
}  // namespace zefra
