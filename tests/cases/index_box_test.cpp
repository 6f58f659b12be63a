// Every index box a data set accepts, at its smallest and largest indices, is
// safe for every routine that uses it: a short run through the executable
// ends with a status of its own, never with a signal or, in the sanitizer
// build (field bounds checked), with a report.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/case_folder.h"

namespace zefra {
namespace {

// An 8 x 6 grid of 6 levels (x, y, z = 8, 6, 6), one grain size; three outer iterations.
constexpr int X = 8, Y = 6, Z = 6;

std::string grid()
{
    std::string text;
    for (int i = 1; i <= X; ++i)
        for (int j = 1; j <= Y; ++j)
            text += std::to_string(i) + " " + std::to_string(j) + " " + std::to_string(10 * (i - 1)) + " " + std::to_string(2 * (j - 1)) + " " +
                    std::to_string(0.001 * (X - i)) + "\n";
    return text;
}

struct Box {
    const char* name;
    std::string data_sets;
};

std::string n(int v)
{
    return std::to_string(v);
}

TEST(IndexBoxes, SmallestAndLargestAcceptedIndicesAreSafe)
{
    const std::string x1 = n(X + 1), y1 = n(Y + 1), z1 = n(Z + 1), x4 = n(X + 4), y4 = n(Y + 4), z4 = n(Z + 4);
    const std::vector<Box> boxes = {
        {"G 2", "G 2 2 " + n(X) + " 2 3\n"},
        {"G 4 low", "G 4 0 0 0 0.1\n"},
        {"G 4 high", "G 4 " + x4 + " " + y4 + " " + z4 + " 0.1\n"},
        {"G 5", "G 5 0 " + x4 + " 0 " + y4 + " 0 " + z4 + " 0.1\n"},
        {"G 6", "G 6 " + x1 + " " + y1 + " " + z1 + " 0.5 0.01\n"},
        {"G 7 ends", "G 7 0 1 2 " + n(Y) + " 2 " + n(Z) + " 0 0 4 0 0 0\nG 7 1 -1 2 " + n(Y) + " 2 " + n(Z) + " 0 1 4 0 0 0\n"},
        {"G 7 sides", "G 7 0 2 2 " + n(X) + " 2 " + n(Z) + " 0 0 1 0 0 0\nG 7 1 -2 2 " + n(X) + " 2 " + n(Z) + " 0 1 1 0 0 0\n"},
        {"G 7 bed and top", "G 7 0 3 2 " + n(X) + " 2 " + n(Y) + " 0 0 1 0 0 0\nG 7 1 -3 2 " + n(X) + " 2 " + n(Y) + " 0 2 1 0 0 0\n"},
        {"G 9", "G 9 " + n(X) + "\n"},
        {"G 10", "G 10 2 " + x1 + " 2 " + y1 + " 2 " + z1 + " 0.3\n"},
        {"G 11", "G 11 2 " + x1 + " 2 " + y1 + " 2 " + z1 + " 0.3 0.5\n"},
        {"G 13 whole", "G 13 1 2 " + x1 + " 2 " + y1 + " 2 " + z1 + "\n"},
        {"G 13 corner", "G 13 3 " + x1 + " " + x1 + " " + y1 + " " + y1 + " " + z1 + " " + z1 + "\n"},
        {"G 13 first", "G 13 2 2 2 2 2 2 2\n"},
        {"G 14", "G 14 1 " + x1 + " " + y1 + " " + z1 + "\nG 14 4 2 2 2\n"},
        {"G 14 second order", "K 6 1 1 1 1 1 1\nG 14 1 " + x1 + " " + y1 + " " + z1 + "\nG 14 6 " + x1 + " 2 " + z1 + "\n"},
        {"G 16", "G 16 1 " + n(X) + " 1 " + n(Y) + " 0 10 30 50 80 100\n"},
        {"G 17", "G 17 1 " + x1 + " 1 " + y1 + " 1 " + z1 + " 0 1.0\n"},
        {"G 18", "G 18 1 " + x1 + " 1 " + y1 + " 1 " + z1 + " 0 1.0 0.5 2.0\n"},
        {"G 19", "G 19 " + x1 + " 1 1 " + n(Y) + " 1 " + n(Z) + "\nG 19 " + z1 + " 3 1 " + n(X) + " 1 " + n(Y) + "\n"},
        {"G 20", "G 20 0 " + x4 + " 0 " + y4 + " 0 " + z4 + " 1 0.5\n"},
        {"G 21", "G 21 -1 " + x1 + " 1 " + n(Y) + " 1 " + n(Z) + "\nG 21 3 " + z1 + " 1 " + n(X) + " 1 " + n(Y) + "\n"},
        {"G 23", "G 23 1 " + n(X) + " 1 " + n(Y) + " " + n(Z) + "\n"},
        {"G 24", "F 48 10\nG 24 3 c " + n(Z) + " 1 k 0 0 p " + n(Z) + " 0\n"},
        {"W 3", "W 3 1 " + n(X - 1) + " " + n(X) + "\n"},
        {"W 4", "W 4 1 1 1 1 " + n(Y) + " 1 " + n(Z) + "\nW 4 2 -1 " + n(Y) + " 1 " + n(X) + " 1 " + n(Z) + "\nW 4 3 0 " + n(Z) + " 1 " + n(X) +
                    " 1 " + n(Y) + "\n"},
        {"W 6", "W 6 0 0\nW 6 " + n(X) + " " + n(Y) + "\n"},
        {"W 7", "W 7 3 " + n(X) + " " + n(Y) + " 1.0 1.0\n"},
        {"P 3", "P 3 " + x1 + " " + y1 + " " + z1 + " 1\nF 48 11\n"},
    };
    for (const Box& box : boxes) {
        test::CaseFolder folder;
        test::write_file("koordina", grid());
        test::write_file("control", "G 1 " + n(X) + " " + n(Y) + " " + n(Z) + " 1\nW 1 35 5.0 1.0\nK 1 3 1000\nF 2 WM\n" + box.data_sets);
        int status = -1;
        EXPECT_NO_THROW(status = test::run_executable()) << box.name;
        EXPECT_GE(status, 0) << box.name;
    }
}

}  // namespace
}  // namespace zefra
