// Porous layer and plant sources on a box of 4 x 4 x 5 cells, 0.2 m high:
// both files read to their end with bad records skipped, each file with a
// flag of its own, the layer under a moving bed, the epsilon walk stopping at
// the top cell, a grain size and a level interpolation that do not depend on
// the datum or on thin layers, and the plant terms against hand values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "engine/flow3d/porous_sources.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_plugins.h"
#include "engine/state/state_porous.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_turbulence.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

void porous_box()
{
    FlagBedPoros = FlagDragDLL = 1;
    test::box_grid(5, 5, 6, 1.0, 1.0, 0.2);
    Xkappa = 0.4;
    Xks.fill(0.01);
    xvel.fill(0.5);
    kinen.fill(0.01);
    epsilon.fill(0.001);
}

// Records for every column (long lines, far beyond 20 characters a column).
std::string records(char kind, const char* values)
{
    std::string text;
    char line[200];
    for (int i = 2; i <= 5; ++i)
        for (int j = 2; j <= 5; ++j) {
            std::snprintf(line, sizeof line, "%c %d %d %s\n", kind, i, j, values);
            text += line;
        }
    return text;
}

double wap_after(void (*routine)(), int equation, int i, int j, int k)
{
    Equation = equation;
    wap.fill(0.0);
    source.fill(0.0);
    routine();
    return wap[i][j][k];
}

TEST(PorousSources, BothFilesReadToTheirEndEachWithItsOwnFlag)
{
    test::CaseFolder folder;
    porous_box();
    test::write_file("porosity", "P 9 2 0 0 0 0 1 1 1 1\nP 3 3 0 0.1\n" + records('P', "-1.0 -0.5 0.0 0.3   0.40 0.40 0.50 0.60"));
    // Levels, porosities, then N, D, C_D and C_eps at each level.
    const char* plants = "-1 0 0.5 2   1 1 1 1   50 100 100 150   0.01 0.02 0.02 0.03   1 1.2 1.2 1.4   1 1.5 1.5 2";
    test::write_file("vegdata", std::string("A 1 1 ") + plants + "\n" + records('A', plants));
    wap_after(extra_source, 1, 2, 2, 2);
    wap_after(extra_sourceDLL, 1, 2, 2, 2);
    EXPECT_EQ(FlagInitPoros, 1);
    EXPECT_EQ(FlagInitVeg, 1);
    EXPECT_DOUBLE_EQ(LevPorosBed[5][5][3], 0.3);  // the last record of the file
    EXPECT_DOUBLE_EQ(PorosityBed[5][5][2], 0.5);
    EXPECT_DOUBLE_EQ(StemNumber[5][5][4], 100.0);  // centre 0.5 m: the values of L2
    for (const char* line : {"Error in porosity file: record 1 is for column (9,2) outside the grid, skipped\n",
                             "Error in porosity file: record 2 has 4 of its 10 numbers, skipped\n",
                             "Error in vegdata file: the line for i=1, j=1 lies outside the grid, skipped\n", "Have read vegdata file: plants in 16 columns\n"})
        EXPECT_NE(test::log_text().find(line), std::string::npos) << line;

    // The work of the plant drag 1/2 rho C_D N D |u|^3 V as production of k,
    // and C_eps epsilon / k times it for epsilon.
    const double factor = 0.5 * 1000.0 * 1.2 * 100.0 * 0.02 * 0.2;
    wap_after(extra_sourceDLL, 5, 3, 3, 4);
    EXPECT_NEAR(source[3][3][4], factor * 0.125, 1e-9);
    wap_after(extra_sourceDLL, 6, 3, 3, 4);
    EXPECT_NEAR(source[3][3][4], 1.5 * 0.1 * factor * 0.125, 1e-9);

    // A file of both kinds of records ends the run.
    FlagInitVeg = 0;
    test::write_file("vegdata", records('V', "0 0 1 1 1 1 1 1") + records('A', "0 0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1"));
    EXPECT_EQ(test::exit_status([] { wap_after(extra_sourceDLL, 1, 2, 2, 2); }), -1);
}

TEST(PorousSources, LayerUnderAMovingBedAndWithoutAnyFile)
{
    test::CaseFolder folder;
    porous_box();
    FlagTSC = 1;
    for (int i = 0; i <= 6; ++i)
        for (int j = 0; j <= 6; ++j) zval[i][j][0] = 0.3;
    // Every equation after the first finds the layer it built.
    for (int e : {1, 2, 3, 5, 6}) EXPECT_EQ(test::exit_status([e] { wap_after(extra_source, e, 2, 2, 2); }), std::nullopt);
    EXPECT_DOUBLE_EQ(LevPorosBed[3][4][3], 0.3);
    EXPECT_NEAR(LevPorosBed[3][4][0], 0.3 - 3 * 0.1, 1e-12);
    FlagTSC = FlagInitPoros = 0;
    EXPECT_EQ(test::exit_status([] { wap_after(extra_source, 1, 2, 2, 2); }), -7);
    EXPECT_TRUE(test::log_ends_with("Error, cannot open file 'porosity' "));
}

TEST(PorousSources, GrainSizeLevelsAndTheTopOfTheColumn)
{
    test::CaseFolder folder;
    porous_box();
    // A layer above the surface: drag in every cell, epsilon held from the
    // bed to the top cell and not beyond.
    test::write_file("porosity", records('P', "-1 -0.5 0 5  0.4 0.4 0.4 0.4"));
    EXPECT_NEAR(wap_after(extra_source, 1, 2, 2, 6), 2.0 * 0.2 * 3000.0 * 0.6 / (0.064 + 1e-7) * 0.5 / 0.01, 1e-6);
    EXPECT_EQ(wap_after(extra_source, 6, 2, 2, 6), 1e30);
    EXPECT_EQ(wap[2][2][7], 0.0);

    // F 25 grain size 1 (a third of the layer thickness) does not change
    // when the whole grid is 100 m higher; a layer of 1e-6 m takes a porosity
    // between those of its levels.
    DiamPoros = 1;
    double drag[2], thin = 0.0;
    for (int lift = 0; lift < 2; ++lift) {
        for (int n = 0; n < 7 * 7; ++n)
            for (int m = 0; m < 6; ++m) {
                zval[n / 7][n % 7][m + 1] = 0.2 * m + 100.0 * lift;
                if (m > 3) continue;
                LevPorosBed[n / 7][n % 7][m] = 100.0 * lift + (m == 0 ? 0.4 - 5e-7 : m == 1 ? 0.4 + 5e-7 : 1.5 * m - 1.5);
                PorosityBed[n / 7][n % 7][m] = m == 0 ? 0.8 : 0.9;
            }
        drag[lift] = wap_after(extra_source, 1, 2, 2, 5);  // top 0.8 m: d = 0.33 (L2 - L0)
        if (lift == 0) thin = wap[2][2][3];                 // top 0.4 m, inside the thin layer
    }
    EXPECT_NEAR(drag[1] / drag[0], 1.0, 1e-9);
    auto drag_of = [](double n) { return 2.0 * 0.2 * 3000.0 * (1.0 - n) / (n * n * n + 1e-7) * 0.5 / 0.01; };
    EXPECT_GE(thin, drag_of(0.9) * (1 - 1e-9));
    EXPECT_LE(thin, drag_of(0.8) * (1 + 1e-9));
}

}  // namespace
}  // namespace zefra
