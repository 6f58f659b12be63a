// Plot files on a small box: the numbered series, the titles and names of the
// G 24 variables, the stress option, the plan file's optional columns, files
// that cannot be opened, and numbers every reader takes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string>

#include "engine/common/status.h"
#include "engine/input/result_file.h"
#include "engine/output/plot_files.h"
#include "engine/output/sprintflow.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_plugins.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_tables.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

void plot_box()
{
    test::box_grid(5, 4, 4, 2.0, 1.0, 0.5);
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j)
            for (int k = 0; k <= znumber + 1; ++k) {
                xvel[i][j][k] = 0.1 * i + 0.01 * k;
                kinen[i][j][k] = 0.01;
                epsilon[i][j][k] = 0.001;
            }
}

void add_variable(char code, int a = 1, int b = 0)
{
    TecStruc[TecStrucNo++] = {a, b, code};
}

std::string line_of(const std::string& text, int n)
{
    std::istringstream in(text);
    std::string line;
    for (int m = 0; m <= n; ++m) std::getline(in, line);
    return line;
}

TEST(PlotFiles, SeriesAddsOneFileEachCall)
{
    test::CaseFolder folder;
    plot_box();
    FlagInterpolVal = 8;
    PrintRes = 1;
    for (int n = 0; n < 3; ++n) sprintflow();
    EXPECT_TRUE(test::file_exists("tec3_00000.dat"));
    EXPECT_TRUE(test::file_exists("tec3_00001.dat"));
    EXPECT_TRUE(test::file_exists("tec3_00002.dat"));
    EXPECT_FALSE(test::file_exists("tecplot3.dat"));
    EXPECT_EQ(next_series_name("pav3_", ".vtk"), "pav3_00000.vtk");
}

TEST(PlotFiles, TecplotHeaderNamesEveryVariable)
{
    test::CaseFolder folder;
    plot_box();
    add_variable('k', 3);
    add_variable('B');
    add_variable('c', 2, 1);
    std::snprintf(Title, sizeof Title, " Pier \"A\"");
    FlagInterpolVal = 8;
    sprintflow();
    EXPECT_EQ(std::string(mc_message), "have written Tecplot 3D file  ");
    const std::string text = test::read_file("tecplot3.dat");
    // A double quote in the title would end the quoted string: it becomes a single one.
    EXPECT_EQ(line_of(text, 0), "TITLE = \"Pier 'A'\"");
    EXPECT_EQ(line_of(text, 1),
              "VARIABLES=\"X1\",\"X2\",\"X3\",\"U1\",\"U2\",\"U3\",\"Turbulent k 3 \",\"Error\",\"Sediment conc. lev 2 size 1\"");
    EXPECT_EQ(line_of(text, 2), "ZONE I=6,J=5,K=5 F=POINT");
    // Point (2, 1, 3): X of the cell centre, the velocity of cell (2, 1, 3), k.
    std::istringstream point(line_of(text, 3 + 2 * 6 * 5 + 1));
    double x, y, z, u, v, w, k, error, c;
    point >> x >> y >> z >> u >> v >> w >> k >> error >> c;
    EXPECT_DOUBLE_EQ(x, 1.0);
    EXPECT_DOUBLE_EQ(z, 0.75);
    EXPECT_NEAR(u, 0.1 * 2 + 0.03, 1e-6);
    EXPECT_DOUBLE_EQ(k, 0.01);
    EXPECT_EQ(error, 0.0);
}

TEST(PlotFiles, StressOptionWithoutStressesEqualsThePlainFile)
{
    test::CaseFolder folder;
    plot_box();
    add_variable('p', 1);
    FlagInterpolVal = 8;
    sprintflow();
    const std::string plain = test::read_file("tecplot3.dat");
    FlagInterpolVal = 12;
    sprintflow();
    EXPECT_EQ(test::read_file("tecplot3.dat"), plain);
}

TEST(PlotFiles, PlanFileHasADiameterColumnOnlyForSeveralSizes)
{
    test::CaseFolder folder;
    plot_box();
    FlagInterpolVal = 9;
    sprintflow();
    std::string text = test::read_file("tecplot2.dat");
    EXPECT_EQ(line_of(text, 1).find("D50"), std::string::npos);
    std::istringstream row(line_of(text, 3));
    int values = 0;
    for (double v; row >> v;) ++values;
    EXPECT_EQ(values, 14);
    EXPECT_EQ(line_of(text, 2), "ZONE I=6,J=5,F=POINT");
}

TEST(PlotFiles, FixedNameThatCannotBeOpenedEndsTheRun)
{
    test::CaseFolder folder;
    plot_box();
    ::mkdir("ParaView3.vtk", 0755);
    FlagInterpolVal = 10;
    EXPECT_EQ(test::exit_status(sprintflow), -3);
    EXPECT_EQ(std::string(mc_message), "cannot open file 'ParaView3.vtk' ");
}

TEST(PlotFiles, VtkNamesAreSingleWordsAndNumbersAreFinite)
{
    test::CaseFolder folder;
    plot_box();
    for (char code : std::string("ADEFHKLPRVWabcdefhiklmpqrstuvwxyzB")) add_variable(code, 2, 1);
    xvel[3][2][3] = std::numeric_limits<double>::quiet_NaN();
    yvel[3][2][3] = std::numeric_limits<double>::infinity();
    Pres[3][2][3] = -1e300;
    FlagInterpolVal = 10;
    sprintflow();
    const std::string text = test::read_file("ParaView3.vtk");
    EXPECT_EQ(text.find("nan"), std::string::npos);
    EXPECT_EQ(text.find("inf"), std::string::npos);
    // Infinity and huge values are held at the float limit, NaN becomes 0.
    EXPECT_NE(text.find("3e+38"), std::string::npos);
    EXPECT_NE(text.find("-3e+38"), std::string::npos);
    std::istringstream in(text);
    int scalars = 0;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("SCALARS ", 0) == 0) {
            ++scalars;
            std::istringstream words(line);
            std::string keyword, name, type, extra;
            words >> keyword >> name >> type;
            EXPECT_EQ(type, "float") << line;
            EXPECT_FALSE(words >> extra) << line;
        }
    EXPECT_EQ(scalars, TecStrucNo);
    EXPECT_NE(text.find("SCALARS Pressure_2 float"), std::string::npos);
    EXPECT_NE(text.find("SCALARS Sediment_conc_lev_2_size_1 float"), std::string::npos);
    EXPECT_NE(text.find("SCALARS Residual_horizontal_velocity_2 float"), std::string::npos);
}

TEST(PlotFiles, MedianDiameterAndItsPlanColumn)
{
    test::CaseFolder folder;
    lnumber = 3;
    plot_box();
    gsize[1] = 0.001, gsize[2] = 0.01, gsize[3] = 0.1;
    for (int i = 0; i <= xnumber + 1; ++i)
        for (int j = 0; j <= ynumber + 1; ++j) bedgrain[1][i][j] = 0.3, bedgrain[2][i][j] = 0.5, bedgrain[3][i][j] = 0.2;
    // From the coarsest size down: 0.2 + 0.5 passes 0.5 within size 2, and
    // half of size 1 more interpolates between sizes 1 and 2.
    EXPECT_NEAR(d50(3, 3, false), 0.125 * 0.001 + 0.875 * 0.01, 1e-12);
    bedgrain[3][3][3] = 0.6, bedgrain[2][3][3] = 0.3, bedgrain[1][3][3] = 0.1;
    // Cumulative 0.3 at the middle of the coarsest class, 0.75 at the middle of
    // the next: 0.5 lies 0.2 / 0.45 of the way from 0.1 towards 0.01.
    const double r = 0.5 / 0.9;
    EXPECT_NEAR(d50(3, 3, false), (1.0 - r) * 0.01 + r * 0.1, 1e-12);
    FlagInterpolVal = 9;
    sprintflow();
    EXPECT_NE(test::read_file("tecplot2.dat").find(",\"D50\"\n"), std::string::npos);
}

}  // namespace
}  // namespace zefra
