// A real channel run through the executable: the start-up writes the log
// lines of the initial surface and the flow start-up in their order.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/case_folder.h"

namespace zefra {
namespace {

TEST(ChannelCase, StartUpWritesItsLogLinesInOrder)
{
    test::CaseFolder folder;
    const std::string source = std::string(ZEFRA_SOURCE_DIR) + "/tests/cases/channel/";
    for (const char* name : {"control", "koordina"}) std::filesystem::copy_file(source + name, name);
    EXPECT_EQ(test::run_executable(), 1);
    const std::string log = test::log_text();
    const std::vector<std::string> in_order = {
        " Multi-block version of ZEFRA \n In kread \n\n",
        "In kelio1: IONo = 0\nTurbulenceModel = 0\n",
        " In initial - arrays \n\nEnd of initial - arrays\nHave allocated",
        "Loop1,iter,area,radius,velocity,waterlevel: 1 ",
        "Waterlevel = ",
        " meters for cross-section i = 1\n",
        "Before calling metric\n",
        "After calling gridchange/metric\nAfter fourth loop\n",
        " i=1, v=",
        " i=40, v=",
        "After fifth loop\n",
        "End of initial\n\n",
        "Multi-block initiation of 0 blocks\n",
        "Did not use file 'bedrough'\n",
        "IONo = 0\n",
        "Relaxation: 0.700000 0.200000 0.500000 0.500000\n",
        "File 'innflow' not used      \n",
    };
    std::size_t at = 0;
    for (const std::string& line : in_order) {
        std::size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing after position " << at << ": " << line << "\n" << log;
        at = found + line.size();
    }
    EXPECT_EQ(log.find("Non-convergence"), std::string::npos);
    EXPECT_EQ(log.find("Warning"), std::string::npos);
}

}  // namespace
}  // namespace zefra
