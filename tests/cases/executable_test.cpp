// Whole runs of the zefra executable in a fresh folder: the process exit
// status, the files it leaves and the command line.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/case_folder.h"

namespace zefra {
namespace {

TEST(Executable, EmptyFolderWritesTheMinimalFilesAndEndsWithStatus1)
{
    test::CaseFolder folder;
    EXPECT_EQ(test::run_executable(), 1);
    EXPECT_TRUE(test::file_exists("control"));
    EXPECT_TRUE(test::file_exists("koordina"));
    EXPECT_NE(test::log_text().find("Have allocated"), std::string::npos);
    // A second run reads the files the first one wrote.
    EXPECT_EQ(test::run_executable(), 1);
}

TEST(Executable, StatusesOfLetterAAndOfErrors)
{
    test::CaseFolder folder;
    test::write_file("control", "G 1 5 5 5 1\nW 1 40 1 1\nF 2 QMA\n");
    EXPECT_EQ(test::run_executable(), 0);
    test::write_file("control", "G 1 5 5 5 1\nF 45\n");
    EXPECT_EQ(test::run_executable(), 1);
    test::write_file("control", "G 1 5 5 5 1\nF 7 F\n");
    EXPECT_EQ(test::run_executable(), 255);  // status -1
    test::write_file("control", "G 1 5 5 5 1\nF 5 1000\n");
    EXPECT_EQ(test::run_executable(), 1);
    EXPECT_TRUE(test::log_ends_with("Error for F 5 in control"));
}

TEST(Executable, HelpAndVersionTouchNoFile)
{
    test::CaseFolder folder;
    std::string out;
    EXPECT_EQ(test::run_executable("--help", &out), 0);
    EXPECT_NE(out.find("Usage: zefra"), std::string::npos);
    EXPECT_NE(out.find("README.md"), std::string::npos);
    EXPECT_EQ(test::run_executable("--version", &out), 0);
    EXPECT_EQ(out.rfind("zefra ", 0), 0u);
    EXPECT_FALSE(test::file_exists("control"));
    EXPECT_FALSE(test::file_exists("koordina"));
    EXPECT_FALSE(test::file_exists("boogie"));
    // Other arguments are ignored.
    EXPECT_EQ(test::run_executable("--frobnicate"), 1);
    EXPECT_TRUE(test::file_exists("control"));
}

// Grid sizes the machine cannot hold stop the run before the default grid
// (one line per bed point) is written.
TEST(Executable, HugeGridWithoutKoordinaWritesNoGrid)
{
    test::CaseFolder folder;
    test::write_file("control", "G 1 20000 20000 4 1\n");
    EXPECT_EQ(test::run_executable(), 253);  // status -3
    EXPECT_FALSE(test::file_exists("koordina"));
    EXPECT_TRUE(test::log_ends_with("Could not allocate enough memory"));
}

}  // namespace
}  // namespace zefra
