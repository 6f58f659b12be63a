// The standing mutation campaign through the executable: a fixed seed and a
// bounded count, so every run of the suite tries the same cases.  In the
// sanitizer build (field bounds checked) it runs 2,000 cases; tests/fuzz/
// campaign.sh runs it longer on demand.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/case_folder.h"
#include "tests/support/fuzz_campaign.h"

namespace zefra {
namespace {

int setting(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::atoi(value) : fallback;
}

TEST(Fuzz, MutatedInputEndsCleanlyThroughTheExecutable)
{
#ifdef ZEFRA_SANITIZED
    const int cases = setting("ZEFRA_FUZZ_CASES", 2000);
#else
    const int cases = setting("ZEFRA_FUZZ_CASES", 400);
#endif
    const unsigned seed = static_cast<unsigned>(setting("ZEFRA_FUZZ_SEED", 20261208));
    test::CaseFolder folder;
    const test::CampaignResult result = test::run_campaign(seed, cases, folder.path());
    if (std::getenv("ZEFRA_FUZZ_REPORT")) std::printf("%s", test::campaign_report(result).c_str());
    EXPECT_EQ(result.cases, cases);
    EXPECT_TRUE(result.findings.empty()) << test::campaign_report(result);
    // Every input kind is tried, and the mutations reach stops with statuses
    // other than the 1 of normal runs and input errors.
    EXPECT_EQ(result.cases_of_kind.size(), 4u);
    int other = 0;
    for (const auto& [kind, statuses] : result.status_of_kind)
        for (const auto& [status, n] : statuses) other += status == 1 ? 0 : n;
    EXPECT_GT(other, 0);
}

}  // namespace
}  // namespace zefra
