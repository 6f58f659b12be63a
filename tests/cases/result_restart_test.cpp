// A converged flow written by letter M and read back by letter R in a second
// run: written again, every cell line comes out the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/case_folder.h"

namespace zefra {
namespace {

std::string cell_lines(const std::string& text)
{
    return text.substr(text.find("\nG "));
}

TEST(ResultRestart, FlowWrittenAndReadBackIsTheSame)
{
    ZEFRA_HEAVY_CASE();
    test::CaseFolder folder;
    for (const char* file : {"control", "koordina"})
        std::filesystem::copy_file(std::string(ZEFRA_SOURCE_DIR) + "/examples/straight_channel/" + file, file);
    const std::string control = test::read_file("control");
    test::write_file("control", control + "F 48 0\nF 2 WM\n");
    ASSERT_EQ(test::run_executable("", nullptr), 1);
    const std::string first = test::read_file("result");

    test::write_file("control", control + "F 48 0\nF 2 RM\n");
    ASSERT_EQ(test::run_executable("", nullptr), 1);
    // (znumber + 2)(xnumber + 1)(ynumber + 1) = 14 x 22 x 22 cells.
    EXPECT_NE(test::log_text().find("Have read 6776 cells from result file\n"), std::string::npos);
    EXPECT_EQ(test::log_text().find("Warning: may not have read"), std::string::npos);
    EXPECT_EQ(cell_lines(test::read_file("result")), cell_lines(first));
}

}  // namespace
}  // namespace zefra
