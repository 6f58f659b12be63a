// G data sets: stored values, the exact messages and statuses of bad input,
// and the counters that must stop before their tables overflow.
#include <gtest/gtest.h>

#include <string>

#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

// Grid of the tests: x = 10, y = 6, z = 5, two sizes.
std::string with(const std::string& data_sets)
{
    return test::control_with(data_sets, 10, 6, 5, 2);
}

std::string repeated(const std::string& line, int times)
{
    std::string text;
    for (int n = 0; n < times; ++n) text += line;
    return text;
}

TEST(GDataSets, BadInputEndsTheRunWithItsMessage)
{
    const test::Rejected rejected[] = {
        {"G 1 10 6 5 11\n", 1, "Input error for G 1 in control"},
        {"G 1 3 6 5 1\n", 1, "Input error for G 1 in control"},
        {"G 2 1 4 2 3\n", 1, "Input error for G 2 in control"},
        {"G 2 2 11 2 3\n", 1, "Input error for G 2 in control"},
        {"G 2 5 4 2 3\n", 1, "Input error for G 2 in control"},
        {"G 3 0 60 50 80 100\n", 1, "Input error for G 3 in control"},
        {"G 3 0 10 50 80 100.5\n", 1, "Input error for G 3 in control"},
        {"G 3 0 10 50 80 99.9\n", 1, "Input error for G 3 in control - last number must be 100.0"},
        {"G 4 15 2 2 0.1 0.2\n", 1, "Input error for G 4 in control"},
        {"G 5 2 3 2 3 -1 3 0.1 0.1\n", 1, "Input error for G 5 in control\nWrong first indexes"},
        {"G 5 2 3 2 11 2 3 0.1 0.1\n", 1, "Input error for G 5 in control\nWrong second indexes"},
        {"G 5 4 3 2 3 2 3 0.1 0.1\n", 1, "Input error for G 5 in control\nWrong match beween indexes"},
        {"G 6 12 2 2 1 0.01\n", 1, "Input error for G 6 in control\n"},
        {"G 6 2 2 2 11 0.01\n", 1, "Input error for G 6 in control\n"},
        {"G 6 2 2 2 1 1e-11\n", 1, "Input error for G 6 in control\n"},
        {"G 6 0 2 2 1 0.01\n", 1, "Input error for G 6 in control\n"},
        {"G 6 2 8 2 1 0.01\n", 1, "Input error for G 6 in control\n"},
        {"G 6 2 2 7 1 0.01\n", 1, "Input error for G 6 in control\n"},
        {"G 6 2 2 2 1e-6 0.01\n", 1, "Input error for G 6 in control\n"},
        {"G 6 2 2 2 1 20000\n", 1, "Input error for G 6 in control\n"},
        {"G 7 0 4 2 3 2 3 0 0 10 0 0 0\n", 1, "Input error for G 7 in control"},
        {"G 7 2 1 2 3 2 3 0 0 10 0 0 0\n", 1, "Input error for G 7 in control"},
        {"G 7 0 1 2 7 2 3 0 0 10 0 0 0\n", 1, "Input error for G 7 in control"},
        {"G 7 0 -2 2 11 2 3 0 0 10 0 0 0\n", 1, "Input error for G 7 in control"},
        {"G 7 0 3 2 10 2 7 0 0 10 0 0 0\n", 1, "Input error for G 7 in control"},
        {"G 9 11\n", 1, "Error for G 9 in control"},
        {"G 10 1 3 2 3 2 3 0.5\n", 1, "Input error for G 10 in control"},
        {"G 11 2 3 2 8 2 3 0.5 0.5\n", 1, "Input error for G 11 in control"},
        {"G 12 0 0.1 0.1\n", 1, "Input error for G 12, first parameter, in control"},
        {"G 12 3 0.1 1.5\n", 1, "Input error for G 12, concentration, in control"},
        {"G 13 4 2 3 2 3 2 3\n", 1, "Input error for G 13 in control"},
        {"G 13 0 2 12 2 3 2 3\n", 1, "Input error for G 13 in control"},
        {"G 13 0 2 3 2 3 4 3\n", 1, "Input error for G 13 in control"},
        {"G 14 7 2 2 2\n", 1, "Input error for G 14 in control"},
        {"G 14 1 2 2 1\n", 1, "Input error for G 14 in control"},
        {"G 16 1 2 1 2\n 0 20 40 60 100.1\n", 1, "Input error for G 16 in control"},
        {"G 16 1 11 1 2\n 0 20 40 60 100\n", 1, "Input error for G 16 in control"},
        {"G 17 1 12 1 2 1 2 0 5.0\n", 1, "Input error for G 17 in control"},
        {"G 18 0 2 1 2 1 2 0 5.0 1 2\n", 1, "Input error for G 18 in control"},
        {"G 19 3 4 1 5 1 5 0 0\n", 1, "Input error for G 19 in control"},
        {"G 19 4 1 1 7 1 5 0 0\n", 1, "Input error for G 19 in control"},
        {"G 19 4 3 0 5 1 5 0 0\n", 1, "Input error for G 19 in control"},
        {"G 20 2 3 2 3 2 -1 1 0.5\n", 1, "Input error for G 20 in control\nWrong second indexes"},
        {"G 20 2 3 2 3 3 2 1 0.5\n", 1, "Input error for G 20 in control\nWrong match beween indexes"},
        {"G 20 2 3 2 3 2 3 3 0.5\n", 1, "Input error for G 20 in control\nError in one of two last numbers"},
        {"G 20 -2 3 2 3 2 3 1 -0.5\n", 1, "Input error for G 20 in control\nWrong first indexes"},
        {"G 21 4 2 1 5 1 5\n", 1, "Input error for G 21 in control"},
        {"G 21 -2 8 1 5 1 5\n", 1, "Input error for G 21 in control"},
        {"G 21 3 0 1 5 1 5\n", 1, "Input error for G 21 in control"},
        {"G 23 1 11 1 2 3\n", 1, "Input error for G 23 in control"},
        {"G 23 1 2 1 2 6\n", 1, "Input error for G 23 in control"},
        {"G 24 300\n", 1, "Too many points in G 24 data set\n"},
        {"G 24 2 V 3 1 C 6 0\n", 1, "Error in G 24 data set \n"},
        {"G 24 1 V 3 3\n", 1, "Error in G 24 data set \n"},
        // A box must name one of the F 50 components (a negative one disables it).
        {"F 50 2\nG 17 1 1 2 6 2 5 2 1.0\n", 1, "Input error for G 17 in control"},
        {"G 18 1 1 2 6 2 5 3 1.0 0.5\nF 50 3\n", 1, "Input error for G 18 in control"},
        {"F 50 4\nG 24 1 q 2 4\n", 1, "Error in G 24 data set \n"},
        {"G 40 0\n", 1, "Input error for G 40 in control"},
        {"G 40 50 1 2\n", 1, "Input error for G 40 in control"},
        {repeated("G 7 0 1 2 3 2 3 0 0 1 0 0 0\n", 20), 1, "Input error for G 7 in control\nData sets must not exceed 19\n"},
        {repeated("G 8 2 3 2 3 2 3 1 0 0\n", 20), -2, "Increase array for G 8 and recompile\n"},
        {repeated("G 10 2 3 2 3 2 3 0.5\n", 20), 1, "Input error for G 10 in control\nData sets must not exceed 19\n"},
        {repeated("G 11 2 3 2 3 2 3 0.5 1\n", 19) + "G 10 2 3 2 3 2 3 0.5\n", 1,
         "Input error for G 10 in control\nData sets must not exceed 19\n"},
        {repeated("G 11 2 3 2 3 2 3 0.5 1\n", 101), 1, "Input error for G 11 in control\nNumber of data sets must not exceed 100\n"},
        {repeated("G 12 1 0.1 0.1\n", 20), 1, "Input error for G 12 in control\nData sets must not exceed 19\n"},
        {repeated("G 13 0 2 3 2 3 2 3\n", 50), 1, "Input error for G 13 in control\nNumber of data sets must not exceed 49\n"},
        {repeated("G 14 1 2 2 2\n", 30), 1, "Input error for G 14 in control\nNumber of data sets must not exceed 29\n"},
        {repeated("G 16 1 2 1 2 0 20 40 60 100\n", 32), 1, "Input error for G 16 in control: too many G 16 data sets"},
        {repeated("G 17 1 2 1 2 1 2 0 5.0\n", 100), 1, "Input error for G 17 in control\nNumber of data sets must not exceed 99\n"},
        {repeated("G 19 3 1 1 5 1 5 0 0\n", 50), 1, "Input error for G 19 in control\nNumber of data sets must not exceed 49\n"},
        {repeated("G 20 2 3 2 3 2 3 1 0.5\n", 50), 1, "Input error for G 20 in control\nToo many G 20 data sets"},
        {repeated("G 21 1 2 1 5 1 5\n", 21), 1, "Input error for G 21 in control\nData sets must not exceed 19\n"},
        {repeated("G 23 1 2 1 2 3\n", 11), 1, "Input error for G 23 in control\nData sets must not exceed 9\n"},
    };
    for (const test::Rejected& r : rejected) EXPECT_TRUE(test::control_rejected(with(r.data_sets), r.status, r.log_tail));
}

TEST(GDataSets, TablesHoldTheirLastRecordBeforeTheStop)
{
    test::CaseFolder folder;
    std::string full = repeated("G 7 0 1 2 3 2 3 0 0 1 0 0 0\n", 19) + repeated("G 8 2 3 2 3 2 3 1 0 0\n", 19) +
                       repeated("G 11 2 3 2 3 2 3 0.5 1\n", 100) + repeated("G 13 0 2 3 2 3 2 3\n", 49) +
                       repeated("G 16 1 2 1 2 0 20 40 60 100\n", 31) + repeated("G 17 1 2 1 2 1 2 0 5.0\n", 99) +
                       repeated("G 19 3 1 1 5 1 5 0 0\n", 49) + repeated("G 20 2 3 2 3 2 3 1 0.5\n", 49) +
                       repeated("G 21 1 2 1 5 1 5\n", 20) + repeated("G 23 1 2 1 2 3\n", 10);
    // The first pass would stop at 30,000 characters; these data sets are read
    // inside their fields, so only the letters count.
    EXPECT_FALSE(test::read_control(with(full)).has_value()) << test::log_text();
    EXPECT_EQ(IONo, 19);
    EXPECT_EQ(MInitNo, 19);
    EXPECT_EQ(VolSourceNo, 100);
    EXPECT_EQ(OutBlockNo, 49);
    EXPECT_EQ(DistribNo, 31);
    EXPECT_EQ(BorderSourceNo, 99);
    EXPECT_EQ(sOpenGL3DNo, 49);
    EXPECT_EQ(AreaSourceNo, 49);
    EXPECT_EQ(PrintConcNo, 20);
    EXPECT_EQ(NoLowFixLev, 10);
}

TEST(GDataSets, StoredValues)
{
    test::CaseFolder folder;
    std::string data_sets =
        "G 2 2 4 3 5\n"
        "G 3 0 10 50 80 100\n"
        "G 4 3 4 5 0.1 0.2\n"
        "G 6 5 4 6 0.5 0.02\n"
        "G 7 1 -1 2 6 2 5 2 1 -12.5 0.6 0.8 5\n"
        "G 8 2 4 2 6 2 5 0.5 -0.1 0.01\n"
        "G 9 7\n"
        "G 10 2 11 2 7 2 6 0.3\n"
        "G 11 3 4 3 4 3 4 0.4 0.7\n"
        "G 12 4 0.001 0.002\n"
        "G 13 2 3 5 2 7 2 6\n"
        "G 14 4 11 7 6\n"
        "G 17 1 11 1 7 1 6 2 3.5\n"
        "G 19 4 1 1 6 1 5 0 0\n"
        "G 20 2 3 2 3 2 3 2 0.5\n"
        "G 21 -3 6 1 10 1 6\n"
        "G 23 2 5 1 3 2\n"
        "G 24 3\n  V 0 0\nC 5 2 K 2 1\n"
        "G 40 2 0.0 12.5 10.0 8.0\n";
    EXPECT_FALSE(test::read_control(with(data_sets)).has_value()) << test::log_text();
    EXPECT_EQ(jblok2, 5);
    EXPECT_EQ(zdistrib[3], 50.0);
    EXPECT_EQ(k_pointsource, 5);
    EXPECT_EQ(pointsource[2], 0.2);
    EXPECT_EQ(kSurf, 6);
    EXPECT_EQ(ConvSurface, 0.02);
    const IORecord& io = IO[1];
    EXPECT_EQ(io.type, 1);
    EXPECT_EQ(io.side, -1);
    EXPECT_EQ(io.b2, 5);
    EXPECT_EQ(io.paralell, 2);
    EXPECT_EQ(io.update, 1);
    EXPECT_EQ(io.Q, -12.5);
    EXPECT_EQ(io.z, 5.0);
    EXPECT_EQ(MInit[1].w, 0.01);
    EXPECT_EQ(SpecEnergy, 7);
    EXPECT_EQ(VolSource[1].value1, 0.3);
    EXPECT_EQ(VolSource[1].value2, 2.0);
    EXPECT_EQ(VolSource[2].value2, 0.7);
    EXPECT_EQ(SedSource[1].code, 4);
    EXPECT_EQ(SedSource[1].conc[2], 0.002);
    EXPECT_EQ(OutBlock[1].type, 2);
    // The box reaches the boundary layers (j = y + 1 = 7, k = z + 1 = 6): it is kept to the
    // inner cells, and the log says so.
    EXPECT_EQ(OutBlock[1].k2, 5);
    EXPECT_NE(test::log_text().find("G 13 data set no. 1 reaches the boundary layer of the grid: cells 3-5 2-6 2-5"), std::string::npos);
    EXPECT_EQ(DebugDump[1].equation, 4);
    EXPECT_EQ(BorderSource[0].component, 2);
    EXPECT_EQ(BorderSource[0].value, 3.5);
    EXPECT_EQ(BorderSource[0].lower, 0.0);
    EXPECT_EQ(sOpenGl3D[0].position, 4);
    EXPECT_EQ(AreaSource[0].size, 2);
    EXPECT_EQ(PrintConc[0].direction, -3);
    EXPECT_EQ(TecStrucNo, 3);
    EXPECT_EQ(TecStruc[0].code, 'V');
    EXPECT_EQ(TecStruc[1].code, 'C');
    EXPECT_EQ(TecStruc[1].level, 5);
    EXPECT_EQ(TecStruc[2].code, 'K');
    EXPECT_EQ(TecStruc[2].size, 1);
    EXPECT_EQ(NoVerttemp, 2);
    EXPECT_EQ(Verttemp[1][1], 8.0);
    // G 23 is applied after the allocation: the box gets its level, the rest znumber.
    EXPECT_EQ(LowerFixedLevel[2][1], 2);
    EXPECT_EQ(LowerFixedLevel[5][3], 2);
    EXPECT_EQ(LowerFixedLevel[6][3], 5);
    EXPECT_EQ(LowerFixedLevel[2][4], 5);
}

TEST(GDataSets, VerticalDistributionEdgeCases)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(test::control_with("G 3 0 10 50 100\n", 6, 5, 4, 1)).has_value());
    EXPECT_EQ(zdistrib[2], 10.0);
    EXPECT_EQ(test::read_control(test::control_with("G 3 0 60 50 100\n", 6, 5, 4, 1)), 1);
    EXPECT_TRUE(test::log_ends_with("Input error for G 3 in control"));
    // More grid lines than the distribution table holds.
    EXPECT_EQ(test::read_control("G 1 5 5 1001 1\nG 3 " + repeated("100 ", 1001) + "\n"), 1);
    EXPECT_TRUE(test::log_ends_with("Input error for G 3 in control"));
    // A local distribution with more levels than its record holds is refused before it is stored.
    EXPECT_EQ(test::read_control("G 1 5 5 40 1\nG 16 1 2 1 2 " + repeated("100 ", 40) + "\n"), 1);
    EXPECT_TRUE(test::log_ends_with("Input error for G 16 in control"));
    EXPECT_FALSE(test::read_control("G 1 5 5 39 1\nG 16 1 2 1 2 " + repeated("100 ", 39) + "\n").has_value());
    EXPECT_EQ(Distribution[0].level[39], 100.0);
}

TEST(GDataSets, ComponentsOfBoxesAndPlotsBeyondTheGrainSizes)
{
    test::CaseFolder folder;
    // Component 3 of four can be plotted although the grid has two grain sizes.
    EXPECT_FALSE(test::read_control(with("F 50 4\nG 17 1 1 2 6 2 5 -1 1.0\nG 18 1 1 2 6 2 5 3 1.0\nG 24 2 q 0 3 c 0 2\n")).has_value())
        << test::log_text();
    EXPECT_EQ(BorderSource[0].component, -1);
    EXPECT_EQ(BorderSource[1].data_set, 18);
    EXPECT_EQ(TecStruc[0].size, 3);
}

TEST(GDataSets, BorderSourceLevels)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(with("G 18 1 2 1 2 1 2 0 5.0\nG 18 1 2 1 2 1 2 0 5.0 2.0 1.0\nG 18 1 2 1 2 1 2 0 5.0 1.0 3.0\n"))
                     .has_value());
    EXPECT_EQ(BorderSource[0].lower, 0.0);
    EXPECT_EQ(BorderSource[0].upper, 1e20);
    EXPECT_EQ(BorderSource[1].lower, 2.0);
    EXPECT_EQ(BorderSource[1].upper, 1e20);  // not above the lower level
    EXPECT_EQ(BorderSource[2].lower, 1.0);
    EXPECT_EQ(BorderSource[2].upper, 3.0);
}

TEST(GDataSets, DisplayScaleIsHeldWithinItsRange)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(with("G 15 0.1\n")).has_value());
    EXPECT_EQ(MouseScale, 0.5);
    EXPECT_FALSE(test::read_control(with("G 15 12\n")).has_value());
    EXPECT_EQ(MouseScale, 5.0);
    EXPECT_FALSE(test::read_control(with("G 15 2.5\n")).has_value());
    EXPECT_EQ(MouseScale, 2.5);
}

TEST(GDataSets, ParallelSwitchesAreLoggedWhenBadAndReadingGoesOn)
{
    test::CaseFolder folder;
    EXPECT_FALSE(test::read_control(with("G 50 1 0 2 1 1 0 0 0 0 1\nF 59 4\n")).has_value());
    EXPECT_NE(test::log_text().find("Error for G 50 data set in control file\nInteger no. 2 = 2\n"), std::string::npos);
    EXPECT_EQ(FlagOpenMP[0], 1);
    EXPECT_EQ(FlagOpenMP[2], 2);
    EXPECT_EQ(FlagOpenMP[9], 1);
    EXPECT_EQ(GaussIter, 4);
}

TEST(GDataSets, SedimentSourceOfMoreThanTenSizesWarns)
{
    test::CaseFolder folder;
    // Sizes of the first scan; the G 1 that follows is then refused for its eleven sizes.
    lnumber = 11;
    EXPECT_EQ(test::read_control("G 12 1 " + repeated("0.1 ", 10) + "\nG 1 10 6 5 11\n"), 1);
    EXPECT_NE(test::log_text().find("Warning, only the first 10 sediment sizes\nare read on G 12 data sets\n"
                                    "To avvoid this, recompiliation is necessary\n\n"),
              std::string::npos);
    EXPECT_EQ(SedSource[1].conc[10], 0.1);
}

}  // namespace
}  // namespace zefra
