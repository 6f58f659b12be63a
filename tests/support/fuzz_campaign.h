// A mutation campaign through the executable: cases built from the control
// files of the test cases and the examples on a small grid, with
// structure-aware mutations of their data sets (indices at and beyond their
// limits, huge and negative numbers, text where numbers belong, missing
// fields, truncation) and byte mutations of `control`, `koordina` and
// `result`.  Every case runs `zefra` in a folder of its own with a time
// limit; a finding is a case that ends with a signal, an assertion, a
// sanitizer report or no end within the limit.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace zefra::test {

struct Finding {
    std::string kind;     // input kind of the case
    std::string outcome;  // "signal 6", "sanitizer", "hang"
    std::string folder;   // the case, kept for a look
};

struct CampaignResult {
    int cases = 0;
    std::map<std::string, int> cases_of_kind;                 // input kind -> cases
    std::map<std::string, std::map<int, int>> status_of_kind;  // input kind -> exit status -> cases
    std::vector<Finding> findings;
};

// Runs `cases` cases from `seed` in folders under `root`; a case folder is
// removed unless it is a finding.  `seconds` bounds each run of zefra.
CampaignResult run_campaign(unsigned seed, int cases, const std::string& root, int seconds = 10);

// The figures of a campaign, one line per input kind and outcome.
std::string campaign_report(const CampaignResult& result);

}  // namespace zefra::test
