// The program entry and the run-command loop, through zefra_main in a fresh
// working folder: minimal files, the first scan for G 1, the letters and their
// passes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "engine/common/status.h"
#include "engine/driver/entry.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

std::vector<std::string>& executed()
{
    static std::vector<std::string> list;
    return list;
}

void record(char letter, int pass)
{
    std::string entry(1, letter);
    entry.append(std::to_string(pass));
    executed().push_back(entry);
}

// Runs the entry with `control`; returns the status and the executed letters.
std::optional<int> run_case(const std::string& control, void (*observer)(char, int) = record)
{
    executed().clear();
    test::write_file("control", control);
    run_letter_observer = observer;
    std::optional<int> status;
    int returned = 0;
    status = test::exit_status([&] { returned = zefra_main(); });
    return status ? status : std::optional<int>(returned);
}

// A control with a flow through the default grid (a flat 10 m x 5 m rectangle, 1 m deep).
std::string flow_control(const std::string& data_sets, int x = 6, int y = 5)
{
    return test::control_with("W 1 40 1.0 1.0\n" + data_sets, x, y);
}

std::vector<std::string> letters(std::initializer_list<const char*> list)
{
    return std::vector<std::string>(list.begin(), list.end());
}

TEST(RunDriver, EmptyFolderGetsMinimalControlAndDefaultGrid)
{
    test::CaseFolder folder;
    int status = zefra_main();
    EXPECT_EQ(status, 1);
    EXPECT_EQ(test::read_file("control"),
              "T                                title field \n"
              "G 1 4 4 4 1     grid and array sizes\n"
              "G 3 0.000000 33.333333 66.666667 100.000000      vertical grid distribution\n"
              "W 1 50.000000 1.000000 1.000000\n"
              "W 2 3 1 2 4\n"
              "K 1 40000 60000\n"
              "K 2 0 1\n");
    std::istringstream grid(test::read_file("koordina"));
    int i, j, points = 0;
    double x, y, z;
    while (grid >> i >> j >> x >> y >> z) {
        ++points;
        EXPECT_NEAR(x, (i - 1) * 10.0 / 3.0, 1e-6) << i;
        EXPECT_NEAR(y, (j - 1) * 5.0 / 3.0, 1e-6) << j;
        EXPECT_EQ(z, 0.0);
    }
    EXPECT_EQ(points, 16);
    EXPECT_EQ(gFlagInit, 1);
    EXPECT_NE(test::log_text().find("Have allocated"), std::string::npos);
}

TEST(RunDriver, FirstScanTakesTheSizesOfG1AfterOtherGDataSets)
{
    test::CaseFolder folder;
    std::string control = "G 3 0 10 20 30 40 50 60 70 80 90 100\nG 13 0 2 3 2 3 2 3\nG 1 30 20 11 2\nW 1 40 1 1\n";
    EXPECT_EQ(run_case(control), 1);
    EXPECT_EQ(xnumber, 30);
    EXPECT_EQ(ynumber, 20);
    EXPECT_EQ(znumber, 11);
    EXPECT_EQ(lnumber, 2);
    std::string grid = test::read_file("koordina");
    EXPECT_EQ(std::count(grid.begin(), grid.end(), '\n'), 600);
    EXPECT_NE(grid.find("30 20 10.000000 5.000000 0.000000\n"), std::string::npos);
}

TEST(RunDriver, ExistingGridIsLeftAlone)
{
    test::CaseFolder folder;
    test::write_file("koordina", "mine\n");
    EXPECT_EQ(run_case(flow_control("")), -1);  // and it holds too few points
    EXPECT_EQ(test::read_file("koordina"), "mine\n");
}

TEST(RunDriver, DefaultGridCoversTheBoxOfGeodata)
{
    test::CaseFolder folder;
    test::write_file("geodata", "E 100.0 50.0 3.0\nE 120.5 20.0 1.0\nE 110 80\nE bad\nE 0 0\n");
    EXPECT_EQ(run_case(flow_control("", 5, 4)), 1);
    std::string grid = test::read_file("koordina");
    EXPECT_NE(grid.find("1 1 100.000000 20.000000 0.000000\n"), std::string::npos);
    EXPECT_NE(grid.find("5 4 120.500000 80.000000 0.000000\n"), std::string::npos);
    EXPECT_NE(grid.find("3 2 110.250000 40.000000 0.000000\n"), std::string::npos);
}

TEST(RunDriver, GeodataWithoutPointsFallsBackToTheDefaultRectangle)
{
    test::CaseFolder folder;
    test::write_file("geodata", "no points here\n");
    EXPECT_EQ(run_case(flow_control("", 5, 5)), 1);
    std::string grid = test::read_file("koordina");
    EXPECT_NE(grid.find("5 5 10.000000 5.000000 0.000000\n"), std::string::npos);
}

TEST(RunDriver, EntryResetsTheRunFlags)
{
    test::CaseFolder folder;
    gFlagAnim = gFlagRead = FlagGridChange = 1;
    EXPECT_EQ(run_case(flow_control("")), 1);
    EXPECT_EQ(gFlagAnim, 0);
    EXPECT_EQ(gFlagRead, 0);
    EXPECT_EQ(FlagGridChange, 0);
    EXPECT_EQ(FlagStart, 1);
}

TEST(RunDriver, LetterAEndsTheProcessWithStatus0BeforeTheNextPass)
{
    test::CaseFolder folder;
    EXPECT_EQ(run_case(flow_control("F 20 2\nF 2 QMA\n")), 0);
    EXPECT_EQ(executed(), letters({"Q1", "M1", "A1"}));
}

TEST(RunDriver, OnlyTheFirstTenCharactersAreExecuted)
{
    test::CaseFolder folder;
    // run[0] is the blank behind the number; Q at 1 ... 9, the M at 10 is never reached.
    EXPECT_EQ(run_case(flow_control("F 2 QQQQQQQQQMMM\n")), 1);
    EXPECT_EQ(executed(), std::vector<std::string>(9, "Q1"));
}

TEST(RunDriver, ResultFileIsReadOnlyInTheFirstTwoPasses)
{
    test::CaseFolder folder;
    // M writes the result file that R reads.
    EXPECT_EQ(run_case(flow_control("F 20 3\nF 2 MR\n")), 1);
    EXPECT_EQ(executed(), letters({"M1", "R1", "M2", "R2", "M3"}));
}

TEST(RunDriver, CharactersWithoutAnActionArePassedOver)
{
    test::CaseFolder folder;
    EXPECT_EQ(run_case(flow_control("F 2 wZ-E9Yx\n")), 1);
    EXPECT_TRUE(executed().empty());
}

TEST(RunDriver, SedimentLetterWithUnknownDriverStillAppliesItsStopRules)
{
    test::CaseFolder folder;
    // FlagTSC = 5 computes nothing; the conc field exists and no error is set,
    // so the letters after S follow.
    EXPECT_EQ(run_case(flow_control("F 2 SMB\n"), [](char letter, int pass) {
                  if (letter == 'S') FlagTSC = 5;
                  record(letter, pass);
              }),
              1);
    EXPECT_EQ(executed(), letters({"S1", "M1", "B1"}));
    EXPECT_EQ(gFlagSedim, 0);
    EXPECT_EQ(FlagSedimDial, 0);
}

TEST(RunDriver, SedimentLetterEndsTheLoopAfterAnError)
{
    test::CaseFolder folder;
    EXPECT_EQ(run_case(flow_control("F 20 2\nF 2 QSM\n"), [](char letter, int pass) {
                  if (letter == 'Q') FlagErrorBreak = 1;  // as a failed computation would
                  record(letter, pass);
              }),
              1);
    EXPECT_EQ(executed(), letters({"Q1", "S1"}));
    EXPECT_EQ(gFlagSedim, 0);
}

TEST(RunDriver, SedimentLetterWithoutConcentrationFieldEndsTheLoop)
{
    test::CaseFolder folder;
    EXPECT_EQ(run_case(flow_control("F 2 SM\n"), [](char letter, int pass) {
                  if (letter == 'S') conc = Field4();
                  record(letter, pass);
              }),
              1);
    EXPECT_EQ(executed(), letters({"S1"}));
    EXPECT_EQ(gFlagSedim, 1);
}

TEST(RunDriver, LetterVNeedsAnOpenWaterSurface)
{
    test::CaseFolder folder;
    EXPECT_EQ(run_case(flow_control("F 2 VM\n"), [](char letter, int pass) {
                  FlagRoof = 0;  // a closed conduit from here on
                  record(letter, pass);
              }),
              1);
    EXPECT_EQ(executed(), letters({"V1", "M1"}));
    executed().clear();
    EXPECT_EQ(run_case(flow_control("F 20 2\nF 2 MV\n"), [](char letter, int pass) {
                  FlagRoof = 0;
                  record(letter, pass);
              }),
              1);
    EXPECT_EQ(executed(), letters({"M1", "M2"}));
}

TEST(RunDriver, MinimalControlThatCannotBeWrittenEndsWithStatusMinus4)
{
    test::CaseFolder folder;
    std::filesystem::create_directory("control");
    EXPECT_EQ(test::exit_status(writeControlMin), -4);
    EXPECT_EQ(std::string(mc_message), "cannot open file 'control' ");
}

}  // namespace
}  // namespace zefra
