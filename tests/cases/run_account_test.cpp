// What a run tells its user, through the executable: the one line every run
// ends with (on standard error and in the log), the results that survive a
// failed write, and the warnings of input that is only partly read.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/case_folder.h"

namespace zefra {
namespace {

// The last line zefra wrote to standard error.
std::string last_stderr_line()
{
    std::string text = test::read_file("zefra.stderr");
    while (!text.empty() && text.back() == '\n') text.pop_back();
    const std::size_t start = text.rfind('\n');
    return start == std::string::npos ? text : text.substr(start + 1);
}

// A flat channel of 11 x 5 node lines, 10 m by 2 m cells.
void write_channel()
{
    std::string text;
    for (int i = 1; i <= 11; ++i)
        for (int j = 1; j <= 5; ++j)
            text += std::to_string(i) + " " + std::to_string(j) + " " + std::to_string(10 * (i - 1)) + " " + std::to_string(2 * (j - 1)) + " " +
                    std::to_string(100.0 - 0.0005 * 10 * (i - 1)) + "\n";
    test::write_file("koordina", text);
}

const std::string channel = "G 1 11 5 5 1\nW 1 35 5.0 101.0\nF 24 3\nF 34 5\nF 2 WM\n";

TEST(RunAccount, EveryRunEndsWithOneLineOnStandardErrorAndInTheLog)
{
    test::CaseFolder folder;
    write_channel();
    test::write_file("control", channel + "K 5 0 0 0 1 0 0\n");
    EXPECT_EQ(test::run_executable(), 1);
    std::string line = last_stderr_line();
    EXPECT_EQ(line.rfind("zefra: W converged at iteration ", 0), 0u) << line;
    EXPECT_NE(line.find("; wrote result"), std::string::npos) << line;
    EXPECT_NE(test::log_text().find(line + "\n"), std::string::npos);

    // The iteration limit: not converged, with the residual and the hint.
    test::write_file("control", channel + "K 1 5 1000\n");
    EXPECT_EQ(test::run_executable(), 1);
    line = last_stderr_line();
    EXPECT_EQ(line.rfind("zefra: W stopped at the iteration limit 5, not converged (largest residual ", 0), 0u) << line;
    EXPECT_NE(line.find("; see boogie"), std::string::npos);
    EXPECT_NE(test::log_text().find("Not converged after 5 iterations: largest residual "), std::string::npos);
    EXPECT_NE(test::log_text().find("Long channels converge far faster with the block correction of the pressure: K 5 0 0 0 1 0 0\n"),
              std::string::npos);

    // An input error: its message and the status.
    test::write_file("control", "G 1 11 5 5 1\nF 24 99\n");
    EXPECT_EQ(test::run_executable(), 1);
    EXPECT_EQ(last_stderr_line(), "zefra: Error for F 24 in control (exit status 1); see boogie");

    // A negative status as the shell sees it: R without a result file.
    std::remove("result");
    test::write_file("control", "G 1 11 5 5 1\nW 1 35 5.0 101.0\nF 2 RW\n");
    EXPECT_EQ(test::run_executable(), 253);
    EXPECT_EQ(last_stderr_line(), "zefra: cannot open file 'result' (exit status -3, seen by the shell as 253); see boogie");

    // Letter A.
    test::write_file("control", "G 1 11 5 5 1\nW 1 35 5.0 101.0\nF 2 A\n");
    EXPECT_EQ(test::run_executable(), 0);
    EXPECT_EQ(last_stderr_line(), "zefra: ended by run letter A");
}

TEST(RunAccount, AFailedWriteLeavesThePreviousResultAndEndsWithStatusMinus3)
{
    test::CaseFolder folder;
    write_channel();
    test::write_file("control", channel + "K 5 0 0 0 1 0 0\n");
    ASSERT_EQ(test::run_executable(), 1);
    const std::string complete = test::read_file("result");
    ASSERT_GT(complete.size(), 20000u);
    // Under a file-size limit of 8 kB the next result cannot be written.
    EXPECT_EQ(test::run_executable("", nullptr, "ulimit -f 16; "), 253);
    EXPECT_EQ(test::read_file("result"), complete);
    EXPECT_FALSE(test::file_exists("result.tmp"));
    EXPECT_NE(test::log_text().find("Error writing file 'result': "), std::string::npos) << test::log_text();
}

TEST(RunAccount, ResultWithoutCellLinesIsAMissingFile)
{
    test::CaseFolder folder;
    write_channel();
    test::write_file("result", "Results from ZEFRA - flow, iter = 3\nC 11 5 5\n");
    test::write_file("control", "G 1 11 5 5 1\nW 1 35 5.0 101.0\nF 2 RW\n");
    EXPECT_EQ(test::run_executable(), 253);
    EXPECT_TRUE(test::log_ends_with("No cell line in 'result': cannot open file 'result' \n"));
    // One cell line is a partly read file: a warning, repeated at the end.
    test::write_file("result", "C 11 5 5\nG  2  2  2 1 0 0 0.01 0.001 0.001 0 0 0 0\n");
    EXPECT_EQ(test::run_executable(), 1);
    EXPECT_NE(last_stderr_line().find("warning: 'result' held 1 of the 504 cells of the grid"), std::string::npos) << last_stderr_line();
}

TEST(RunAccount, InputReadOnlyInPartIsReported)
{
    test::CaseFolder folder;
    write_channel();
    // 30,000 characters of text outside data sets: the F 24 after them is not read.
    std::string control = "G 1 11 5 5 1\nW 1 35 5.0 101.0\nK 1 2 1000\n";
    for (int n = 0; n < 1500; ++n) control += "notes on the reach, line " + std::to_string(n) + "\n";
    test::write_file("control", control + "F 24 3\nF 2 W\n");
    EXPECT_EQ(test::run_executable(), 1);
    EXPECT_NE(test::log_text().find("Reading of 'control' stopped at line 1"), std::string::npos);
    EXPECT_NE(last_stderr_line().find("warning: 'control' read only to line "), std::string::npos) << last_stderr_line();

    // A grid file larger than G 1: the lines left out are counted.
    test::write_file("control", "G 1 9 4 5 1\nW 1 35 5.0 101.0\nK 1 2 1000\nF 2 W\n");
    EXPECT_EQ(test::run_executable(), 1);
    EXPECT_NE(test::log_text().find("The grid file holds node lines up to i = 11, j = 5; G 1 takes 9 x 4: 2 node lines in i and 1 in j are dropped\n"),
              std::string::npos);

    // Sweeps that would take hours are allowed, but said.
    test::write_file("control", "G 1 11 5 5 1\nW 1 35 5.0 101.0\nF 59 1000000000\nF 2 A\n");
    EXPECT_EQ(test::run_executable(), 0);
    EXPECT_NE(test::log_text().find("Warning: F 59 asks for 1000000000 Gauss-Seidel sweeps per solver call"), std::string::npos);
}

}  // namespace
}  // namespace zefra
