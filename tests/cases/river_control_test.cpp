// A real-world control file of a river study, forty-odd data sets of every
// letter with remarks behind the fields, read end to end through the program
// entry in a fresh folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/driver/entry.h"
#include "engine/state/fields.h"
#include "engine/state/state_flow.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_output.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_run.h"
#include "engine/state/state_sediment.h"
#include "engine/state/state_surface.h"
#include "engine/state/state_tables.h"
#include "engine/state/state_turbulence.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

TEST(RiverControl, EveryDataSetIsReadEndToEnd)
{
    test::CaseFolder folder;
    std::filesystem::copy_file(std::string(ZEFRA_SOURCE_DIR) + "/tests/cases/river_control/control", "control");
    char name[] = "zefra";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(run_zefra(1, argv), 1) << test::log_text();

    EXPECT_STREQ(Title + 1, "  Isar at the weir, 2026 run ");
    EXPECT_EQ(std::string(run), " WM" + std::string(16, ' '));  // 19 characters fit, the remark does not
    EXPECT_EQ(relax_morph, 0.3);
    EXPECT_EQ(FlagBedGradient, 1);
    EXPECT_EQ(FlagBedslopeCorrection, 1);
    EXPECT_EQ(SedimentFormula, 'E');
    EXPECT_EQ(XksWall, 0.05);
    EXPECT_EQ(TimeStep, 30.0);
    EXPECT_EQ(TransInnerIter, 5);
    EXPECT_EQ(FlagTFS, 1);
    EXPECT_EQ(PrintIterTime, 10);
    EXPECT_EQ(TFSdiffratio, 0.02);
    EXPECT_EQ(GaussIter, 6);
    EXPECT_EQ(FlagCyclicS, 1);
    EXPECT_NEAR(invSchmidt[1], 1.25, 1e-12);
    EXPECT_NEAR(invSchmidt[0], 1.0 / 0.9, 1e-12);
    EXPECT_EQ(NoProcessesSolver, 1);

    EXPECT_EQ(xnumber, 40);
    EXPECT_EQ(znumber, 8);
    EXPECT_EQ(zdistrib[4], 22.0);
    EXPECT_EQ(iSurf, 20);
    EXPECT_EQ(IONo, 2);
    EXPECT_EQ(IO[2].Q, -3.5);
    EXPECT_EQ(MInit[1].u, 0.4);
    EXPECT_EQ(VolSourceNo, 1);
    EXPECT_EQ(SedSource[1].conc[2], 0.0005);
    EXPECT_EQ(OutBlock[1].i1, 18);
    EXPECT_EQ(Distribution[0].level[5], 45.0);
    EXPECT_EQ(BorderSource[0].upper, 302.0);
    EXPECT_EQ(sOpenGl3D[0].position, 20);
    EXPECT_EQ(PrintConc[0].position, 35);
    EXPECT_EQ(LowerFixedLevel[10][5], 2);
    EXPECT_EQ(TecStruc[1].code, 'C');
    EXPECT_EQ(Verttemp[1][0], 295.0);
    EXPECT_EQ(FlagOpenMP[1], 1);
    EXPECT_EQ(Bio[2].value[0], 0.05);
    EXPECT_EQ(inflow[2], 0.0001);
    EXPECT_EQ(iterGlobalMax, 6000);
    EXPECT_EQ(FlagWall, 1);
    EXPECT_EQ(relax[1], 0.7);
    EXPECT_EQ(contourLevels[1], 1.0);
    EXPECT_EQ(SampleNo, 1);
    EXPECT_EQ(movey, 0.25);
    EXPECT_EQ(xnode, 20);
    EXPECT_EQ(PrintRes, 1);
    EXPECT_STREQ(QualityName[1], "oxygen");
    EXPECT_EQ(gsize[2], 0.004);
    EXPECT_EQ(ManningInit, 38.0);
    EXPECT_EQ(level, 302.4);
    EXPECT_EQ(initarray[4], 40);
    EXPECT_EQ(MWall[1].node, 12);
    EXPECT_EQ(ManArray[1], 40.0);
    EXPECT_EQ(ManArray[2], 42.0);
    EXPECT_EQ(ManArray[3], 38.0);
    EXPECT_EQ(iFast[1], 3);
    EXPECT_EQ(Attract[1].value1, 0.1);
    EXPECT_EQ(bedgrain[2][20][6], 0.6);
    EXPECT_EQ(intBedSediment[41][13], 1);
    // Transient run: the earlier time levels and the time series exist.
    EXPECT_TRUE(xvel_old);
    EXPECT_EQ(TimeInTime.extent(0), 400);
    EXPECT_TRUE(conc_old);
}

}  // namespace
}  // namespace zefra
