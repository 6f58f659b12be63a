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

// The river study of the whole-run cases: every letter with remarks.
std::string base_control()
{
    return test::read_file(std::string(ZEFRA_SOURCE_DIR) + "/tests/cases/river_control/control");
}

// Pieces that make the mutations reach the data-set readers.
const char* const pieces[] = {"F ",     "G ",     "B ",     "W 5 ",  "T ",     "F 2 ",   "F 7 ",  "F 199 ", "F 206 ", " -",
                              "e999",   "1e-999", "99999999999", "\n", " ",  "nan",    ".",     "+",      "0",      "F 45",
                              "F 7 S",  "B -19 0 9 0 9", "G 7 ", "G 16 ", "G 24 ", "H ", "I ", "K ", "L ", "N ",
                              "P ",     "Q ",     "S ",     "W 2 ",  "W 3 ",   "W 4 ",   "W 7 ",  "G 8 ",   "G 3 ",   "Q 0 "};

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
    const std::set<int> documented = {1, -1, -2, -3, -4, -5};
    const std::string base = base_control();
    ASSERT_FALSE(base.empty());
    std::mt19937 random(20261208);
    int normal = 0, stopped = 0;
    for (int n = 0; n < 2000; ++n) {
        std::string control = mutate(base, random);
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
