// The result file: a field written and read back, the size check, a file cut
// in half, and the older cell-line forms.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/common/status.h"
#include "engine/input/result_file.h"
#include "engine/output/sprintflow.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_run.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

// Distinct values in every cell of every field the file holds.
void fill_fields()
{
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j)
            for (int k = 0; k <= znumber + 1; ++k) {
                const double s = 1.0 + i + 0.1 * j + 0.01 * k;
                xvel[i][j][k] = 1.234567891 * s;
                yvel[i][j][k] = -0.5 * s;
                zvel[i][j][k] = 1e-5 * s;
                kinen[i][j][k] = 0.01 * s;
                epsilon[i][j][k] = 0.002 * s;
                gama[i][j][k] = 3.0 * s;
                flow1[i][j][k] = 1000.0 * s;
                flow2[i][j][k] = -10.0 * s;
                flow3[i][j][k] = 0.1 * s;
                Pres[i][j][k] = 98765.4321 * s;
            }
}

void clear_fields()
{
    for (Field3* f : {&xvel, &yvel, &zvel, &kinen, &epsilon, &gama, &flow1, &flow2, &flow3, &Pres}) f->fill(0.0);
}

int matching_cells()
{
    int same = 0;
    for (int i = 1; i <= xnumber + 1; ++i)
        for (int j = 1; j <= ynumber + 1; ++j)
            for (int k = 0; k <= znumber + 1; ++k) same += xvel[i][j][k] != 0.0;
    return same;
}

TEST(ResultFile, WrittenFieldReadsBackToThePrintedPrecision)
{
    test::CaseFolder folder;
    test::box_grid(6, 5, 4, 1.0, 1.0, 1.0);
    fill_fields();
    Iter = 17;
    sprintflow();
    EXPECT_EQ(std::string(mc_message), "have written result file  ");
    const std::string text = test::read_file("result");
    EXPECT_EQ(text.substr(0, 36), "Results from ZEFRA - flow, iter = 17");

    clear_fields();
    EXPECT_FALSE(test::exit_status(readres).has_value());
    const Field3 fields[] = {xvel, yvel, zvel, kinen, epsilon, gama, flow1, flow2, flow3, Pres};
    const double scale[] = {1.234567891, -0.5, 1e-5, 0.01, 0.002, 3.0, 1000.0, -10.0, 0.1, 98765.4321};
    for (int f = 0; f < 10; ++f)
        for (int i = 1; i <= xnumber + 1; ++i)
            for (int j = 1; j <= ynumber + 1; ++j)
                for (int k = 0; k <= znumber + 1; ++k) {
                    const double expected = scale[f] * (1.0 + i + 0.1 * j + 0.01 * k);
                    ASSERT_NEAR(fields[f][i][j][k], expected, 5e-9 * std::fabs(expected)) << f << " " << i << " " << j << " " << k;
                }
    EXPECT_DOUBLE_EQ(gamaV[3][3][3], gama[3][3][3]);
    EXPECT_NEAR(diff[3][3][3], 0.001 * gama[3][3][3], 1e-15);
    EXPECT_DOUBLE_EQ(bedshear[3][3], 300.0 * kinen[3][3][2]);
    EXPECT_EQ(FlagInitialized, 1);
    const int n = 6 * 7 * 6;  // (znumber + 2)(xnumber + 1)(ynumber + 1)
    EXPECT_TRUE(test::log_ends_with("Have read " + std::to_string(n) + " cells from result file\n")) << test::log_text();
}

TEST(ResultFile, ComponentsFollowTheFlowAndAreSkippedWithoutComponents)
{
    std::string written;
    {
        test::CaseFolder folder;
        NoComponents = 2;
        test::box_grid(6, 5, 4, 1.0, 1.0, 1.0);
        fill_fields();
        for (int i = 1; i <= xnumber + 1; ++i)
            for (int j = 1; j <= ynumber + 1; ++j)
                for (int k = 0; k <= znumber + 1; ++k) {
                    comp[0][i][j][k] = 0.1 + i + 0.01 * k;
                    comp[1][i][j][k] = -2.5e-7 * j;
                }
        sprintflow();
        written = test::read_file("result");
        EXPECT_NE(written.find("\nQ  2  3  4 2 2.14000000e+00 -7.50000000e-07\n"), std::string::npos);
        comp[0].fill(0.0);
        comp[1].fill(0.0);
        readres();
        EXPECT_NEAR(comp[0][7][6][5], 7.15, 1e-12);
        EXPECT_EQ(comp[1][3][6][0], -1.5e-6);
        EXPECT_TRUE(test::log_ends_with("Have read 252 cells from result file\n"
                                        "Have read water-quality components of 252 cells from result file\n"));
    }
    // A run without components reads the flow of the same file as before.
    test::CaseFolder folder;
    test::box_grid(6, 5, 4, 1.0, 1.0, 1.0);
    test::write_file("result", written);
    readres();
    EXPECT_EQ(matching_cells(), 252);
    EXPECT_TRUE(test::log_ends_with("Have read 252 cells from result file\n"));
}

TEST(ResultFile, AnotherGridSizeEndsTheRun)
{
    std::string written;
    {
        test::CaseFolder folder;
        test::box_grid(6, 5, 4, 1.0, 1.0, 1.0);
        sprintflow();
        written = test::read_file("result");
    }
    test::CaseFolder folder;
    test::box_grid(6, 6, 4, 1.0, 1.0, 1.0);
    test::write_file("result", written);
    EXPECT_EQ(test::exit_status(readres), -7);
    EXPECT_EQ(std::string(mc_message), " Error in reading result file");
    EXPECT_TRUE(test::log_ends_with(" Error in reading result file"));
}

TEST(ResultFile, FileCutInHalfUpdatesHalfTheCellsAndWarns)
{
    test::CaseFolder folder;
    test::box_grid(6, 5, 4, 1.0, 1.0, 1.0);
    fill_fields();
    sprintflow();
    const std::string text = test::read_file("result");
    std::size_t cut = 0;
    for (int line = 0; line < 5 + 126; ++line) cut = text.find('\n', cut) + 1;  // header and half of the 252 cells
    test::write_file("result", text.substr(0, cut));
    clear_fields();
    readres();
    EXPECT_EQ(matching_cells(), 126);
    EXPECT_TRUE(test::log_ends_with("Have read 126 cells from result file\n"
                                    "Warning: may not have read correct number of data sets from result\tfile\n"));
}

TEST(ResultFile, MissingFileEndsTheRun)
{
    test::CaseFolder folder;
    test::box_grid(6, 5, 4, 1.0, 1.0, 1.0);
    EXPECT_EQ(test::exit_status(readres), -3);
    EXPECT_EQ(std::string(mc_message), "cannot open file 'result' ");
}

TEST(ResultFile, OlderCellLinesAndTheirIndexRules)
{
    test::CaseFolder folder;
    test::box_grid(6, 5, 4, 1.0, 1.0, 1.0);
    clear_fields();
    test::write_file("result",
                     "Results from an older version, ABCDEFG in the heading\n"
                     "C 6 5 4\n"
                     "A 2 2 2 1.0 2.0 3.0 4.0 5.0 6.0\n"
                     "B 3 2 2 1.5 0 0 0.25 0.5 7 8 9\n"
                     "D 4 2 2 2.5 0 0 0 0 1 2 3 44\n"
                     "D 4 2 0 9.5 0 0 1 1 1 2 3 44\n"  // k = 0 is not taken in a D record
                     "E 5 2 2 3.5e0 0 0 1e-30 1e-30 1 2 3 55\n"
                     "G 6 2 0 4.5 0 0 0 0 0.001 1 2 3 66\n"  // k = 0 is taken in a G record
                     "G 9 2 2 9.9 0 0 0 0 0.001 1 2 3 66\n"  // i beyond xnumber + 1
                     "S 3 4 12.5\n");
    readres();
    EXPECT_EQ(xvel[2][2][2], 1.0);
    EXPECT_EQ(Pres[2][2][2], 4.0);
    EXPECT_EQ(epsilon[2][2][2], 6.0);
    EXPECT_EQ(flow3[3][2][2], 9.0);
    EXPECT_NEAR(diff[3][2][2], 0.09 * 0.25 * 0.25 / 0.5, 1e-12);
    EXPECT_EQ(Pres[4][2][2], 44.0);
    EXPECT_EQ(xvel[4][2][0], 0.0);
    EXPECT_EQ(kinen[5][2][2], 1e-30);  // E keeps what it reads
    EXPECT_EQ(xvel[6][2][0], 4.5);
    EXPECT_TRUE(test::log_ends_with("Have read 5 cells from result file\n"
                                    "Warning: may not have read correct number of data sets from result\tfile\n"));
}

}  // namespace
}  // namespace zefra
