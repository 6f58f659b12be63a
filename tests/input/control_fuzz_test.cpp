// Randomized reading of mutated control files: whatever the bytes, the reader
// never crashes and ends either normally or with one of its documented
// statuses.  Bounded and seeded, so every run tests the same files.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/input/control_reader.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

const char* const base_control =
    "T   channel with groynes   title\n"
    "G 1 12 7 6 2     grid and array sizes\n"
    "G 3 0 20 40 60 80 100\n"
    "W 1 35 40.0 102.5\n"
    "W 2 3 1 6 12\n"
    "W 5 2 3 30 4 32\n"
    "K 1 4000 6000\n"
    "F 2 WSM\n"
    "F 4 0.5 200 1e-5\n"
    "F 7 NB\n"
    "F 11 2.65 0.047\n"
    "F 12 1.0\n"
    "F 17 10.0\n"
    "F 24 0\n"
    "F 30 1 0 2 0 0 0\n"
    "F 53 100 100 1 1\n"
    "F 58 1 0 0 1 0.02 2 2 0 1 0\n"
    "F 131 2 0.5\n"
    "F 174 1 0\n"
    "F 199 1.0 0.8\n"
    "F 206 2\n"
    "B 0 1 12 1 7\n";

// Pieces that make the mutations reach the data-set readers.
const char* const pieces[] = {"F ", "G ", "B ", "W 5 ", "T ", "F 2 ", "F 7 ", "F 199 ", "F 206 ", " -", "e999", "1e-999",
                              "99999999999", "\n", " ", "nan", ".", "+", "0", "F 45", "F 7 S", "B -19 0 9 0 9"};

std::string mutate(std::string text, std::mt19937& random)
{
    std::uniform_int_distribution<int> kind(0, 5), byte(0, 255), piece(0, std::size(pieces) - 1);
    int steps = 1 + random() % 6;
    for (int n = 0; n < steps && !text.empty(); ++n) {
        std::size_t at = random() % text.size();
        switch (kind(random)) {
        case 0: text[at] = static_cast<char>(byte(random)); break;
        case 1: text.erase(at, 1 + random() % 8); break;
        case 2: text.insert(at, pieces[piece(random)]); break;
        case 3: text.insert(at, std::string(1 + random() % 4, static_cast<char>(byte(random)))); break;
        case 4: text = text.substr(0, at); break;  // a truncated file
        case 5: {
            std::size_t from = random() % text.size();
            text.insert(at, text.substr(from, 1 + random() % 40));
            break;
        }
        }
    }
    return text;
}

TEST(ControlFuzz, MutatedControlFilesEndCleanly)
{
    const std::set<int> documented = {1, -1, -3, -4, -5};
    std::mt19937 random(20261208);
    int normal = 0, stopped = 0;
    for (int n = 0; n < 400; ++n) {
        std::string control = mutate(base_control, random);
        test::CaseFolder folder;
        std::optional<int> status = test::read_control(control);
        if (status) {
            EXPECT_TRUE(documented.count(*status)) << "status " << *status << " for\n" << control;
            ++stopped;
        } else {
            ++normal;
        }
    }
    // The mutations must exercise both outcomes.
    EXPECT_GT(normal, 20);
    EXPECT_GT(stopped, 20);
}

TEST(ControlFuzz, BinaryGarbageAndHugeFilesEndCleanly)
{
    std::mt19937 random(7);
    std::string garbage(3000000, '\0');
    for (char& c : garbage) c = static_cast<char>(random() % 256);
    test::CaseFolder folder;
    std::optional<int> status = test::read_control(garbage);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 1);
    std::optional<int> with_sizes = test::read_control(test::control_with(garbage));
    if (with_sizes) {
        EXPECT_TRUE(*with_sizes == 1 || *with_sizes == -1);
    }
}

}  // namespace
}  // namespace zefra
