// Restart files: what is written is read back to the precision of "%e", and
// a damaged file changes nothing, is closed and says why.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/common/status.h"
#include "engine/sediment/restart_files.h"
#include "engine/state/fields.h"
#include "engine/state/state_grid.h"
#include "engine/state/state_quality.h"
#include "engine/state/state_sediment.h"
#include "tests/support/case_folder.h"
#include "tests/support/grids.h"

namespace zefra {
namespace {

// Distinct values in every cell and column of a 5 x 4 x 4 grid with two sizes.
double pattern(int l, int i, int j, int k)
{
    return (1.0 + l + 3.7 * i + 11.3 * j + 29.9 * k) * 1.234567891e-5;
}

// Fills every field with the pattern, writes the restart files, renames them
// for reading and clears the fields to -1.
void written_and_cleared()
{
    lnumber = 2;
    test::box_grid(5, 4, 4, 1.0, 1.0, 1.0);
    for (int l = 0; l <= 2; ++l)
        for (int i = 0; i <= xnumber + 1; ++i)
            for (int j = 0; j <= ynumber + 1; ++j) {
                bedgrain[l][i][j] = pattern(l, i, j, 0);
                BedGrainOriginal[l][i][j] = pattern(l, i, j, 1);
                for (int k = 0; k <= znumber + 2; ++k) conc[l][i][j][k] = pattern(l, i, j, k);
            }
    ASSERT_EQ(writeConRes(), 0);
    std::filesystem::rename("conres.new", "conres");
    std::filesystem::rename("fracres.new", "fracres");
    for (const Field3& f : {bedgrain, BedGrainOriginal}) f.fill(-1.0);
    conc.fill(-1.0);
}

int open_files()
{
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

// Replaces the first occurrence of `from` in `name` by `to`; an empty `to`
// cuts the file off there.
void edit(const std::string& name, const std::string& from, const std::string& to)
{
    std::string text = test::read_file(name);
    const std::size_t at = text.find(from);
    text = to.empty() ? text.substr(0, at) + "\n" : text.replace(at, from.size(), to);
    test::write_file(name, text);
}

TEST(RestartFiles, WrittenFilesReadBack)
{
    test::CaseFolder folder;
    written_and_cleared();
    EXPECT_FALSE(test::file_exists("compres.new"));
    RestartReport report;
    EXPECT_EQ(readConRes(report), FracresRead);
    EXPECT_EQ(report.conres, RestartRead::Read);
    EXPECT_EQ(FlagReadFracres, 1);
    for (int l = 0; l <= 2; ++l)
        for (int i = 1; i <= xnumber + 1; ++i)
            for (int j = 1; j <= ynumber + 1; ++j) {
                EXPECT_NEAR(bedgrain[l][i][j] / pattern(l, i, j, 0), 1.0, 5e-7);
                EXPECT_NEAR(BedGrainOriginal[l][i][j] / pattern(l, i, j, 1), 1.0, 5e-7);
                for (int k = 2; k <= znumber; ++k) EXPECT_NEAR(conc[l][i][j][k] / pattern(l, i, j, k), 1.0, 5e-7);
                EXPECT_EQ(conc[l][i][j][1], -1.0);  // not in the file
            }
}

// Each damaged file is refused as a whole: the fields keep their values.
TEST(RestartFiles, DamagedFilesChangeNothing)
{
    struct Damage {
        const char* file;
        const char* from;
        const char* to;
        RestartRead result;
    };
    const Damage damages[] = {
        {"fracres", "\n3 2 ", "\n3 0 ", RestartRead::OutsideGrid},   // j below the grid
        {"fracres", "\n6 5 ", "\n7 5 ", RestartRead::OutsideGrid},   // i beyond x + 1
        {"fracres", "\n6 5 ", "", RestartRead::Unreadable},          // the last column cut off
        {"conres", "\n2 3 3 ", "\n2 3 6 ", RestartRead::OutsideGrid},  // k beyond z + 1
        {"conres", "\n6 5 4 ", "\n6 5 4 1.0 ", RestartRead::Unreadable},  // a value too many
        {"conres", "Concentrations", "Concentration", RestartRead::Unreadable},
    };
    for (const Damage& d : damages) {
        test::CaseFolder folder;
        written_and_cleared();
        edit(d.file, d.from, d.to);
        const int files = open_files();
        RestartReport report;
        const int code = readConRes(report);
        EXPECT_EQ(open_files(), files) << d.file << " " << d.to;
        const bool frac = std::string(d.file) == "fracres";
        EXPECT_EQ(frac ? report.fracres : report.conres, d.result) << d.to;
        if (frac) {
            EXPECT_EQ(code, d.result == RestartRead::OutsideGrid ? FracresOutsideGrid : FracresUnreadable);
            EXPECT_EQ(FlagReadFracres, 0);
        }
        for (int i = 1; i <= xnumber + 1; ++i)
            EXPECT_EQ(frac ? bedgrain[1][i][3] : conc[1][i][3][3], -1.0) << d.file << " " << d.to;
    }
    // Without files: the missing fracres decides the result.
    test::CaseFolder folder;
    test::box_grid(5, 4, 4, 1.0, 1.0, 1.0);
    RestartReport report;
    EXPECT_EQ(readConRes(report), FracresMissing);
    EXPECT_EQ(report.conres, RestartRead::Missing);
    EXPECT_STREQ(mc_message, "cannot open file 'fracres' ");
}

TEST(RestartFiles, ComponentsAndWriteFailures)
{
    test::CaseFolder folder;
    NoComponents = 2;
    test::box_grid(5, 4, 4, 1.0, 1.0, 1.0);
    for (int m = 0; m < 2; ++m) comp[m][3][2][4] = 0.5 + m;
    ASSERT_EQ(writeConRes(), 0);
    EXPECT_TRUE(test::file_exists("compres.new"));
    EXPECT_FALSE(test::file_exists("conres.new") || test::file_exists("fracres.new"));
    EXPECT_NE(test::read_file("compres.new").find("\n3 2 4 5.000000e-01 1.500000e+00 \n"), std::string::npos);
    comp[1][3][2][4] = 0.0;
    EXPECT_EQ(read_component_restart("compres.new"), RestartRead::Read);
    EXPECT_EQ(comp[1][3][2][4], 1.5);
    EXPECT_EQ(read_component_restart("compres"), RestartRead::Missing);

    NoComponents = 0;
    std::filesystem::create_directory("conres.new");  // cannot be created as a file
    EXPECT_EQ(writeConRes(), 1);
    EXPECT_STREQ(mc_message, "cannot open file 'conres.t' ");
}

}  // namespace
}  // namespace zefra
