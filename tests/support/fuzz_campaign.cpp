#include "tests/support/fuzz_campaign.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "tests/support/case_folder.h"

namespace zefra::test {

namespace {

namespace fs = std::filesystem;

// The small grid every case runs on: 8 x 6 node lines, 5 levels.
constexpr int X = 8, Y = 6, Z = 5;

// Lines every control gets last, after its mutations, so that no case runs
// longer than a few outer iterations on the small grid.
const char* const Limits = "\nK 1 2 1000\nF 20 1\nF 59 10\n";

// A transient control keeps its time step with two inner iterations.
std::string transient_limit(const std::string& control)
{
    const std::size_t at = control.rfind("F 33");
    if (at == std::string::npos) return "";
    double step = 0.0;
    if (std::sscanf(control.c_str() + at + 4, "%lf", &step) != 1 || !(step >= 1e-20 && step < 1e30)) return "";
    char line[64];
    std::snprintf(line, sizeof line, "F 33 %g 2\n", step);
    return line;
}

std::string small_grid()
{
    std::string text;
    char line[100];
    for (int i = 1; i <= X; ++i)
        for (int j = 1; j <= Y; ++j) {
            std::snprintf(line, sizeof line, "%d %d %d %d %.4f\n", i, j, 10 * (i - 1), 2 * (j - 1), 0.002 * (X - i));
            text += line;
        }
    return text;
}

std::string read_whole(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_whole(const std::string& name, const std::string& text)
{
    std::ofstream(name, std::ios::binary) << text;
}

// The control files of the test cases and the examples, their G 1 lines
// taken out (every case runs on the small grid, whose G 1 leads the file).
std::vector<std::string> seed_controls()
{
    std::vector<std::string> seeds;
    const std::string source = ZEFRA_SOURCE_DIR;
    std::vector<fs::path> files;
    for (const char* dir : {"/tests/cases", "/examples"})
        for (const auto& entry : fs::recursive_directory_iterator(source + dir))
            if (entry.path().filename() == "control") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& p : files) {
        std::istringstream in(read_whole(p.string()));
        std::string kept;
        for (std::string line; std::getline(in, line);) {
            std::size_t start = line.find_first_not_of(" \t");
            if (start != std::string::npos && line.compare(start, 2, "G ") == 0) {
                std::istringstream words(line.substr(start + 2));
                int number = 0;
                if (words >> number && number == 1) continue;
            }
            kept += line + "\n";
        }
        seeds.push_back(kept);
    }
    return seeds;
}

// Values that reach the ends of the accepted ranges and beyond them.
std::vector<std::string> edge_values()
{
    std::vector<std::string> v = {"0", "-1", "1", "2", "3", "-2", "2147483647", "-2147483648", "99999999999", "1e300", "-1e300", "1e-300",
                                  "nan", "inf", "-inf", "0x10", "", "abc", "0.5", "-0.5", "100", "101", "1000000"};
    for (int size : {X, Y, Z})
        for (int d : {-1, 0, 1, 2, 3, 4, 5}) v.push_back(std::to_string(size + d));
    return v;
}

// One data set with random fields, for insertion.
std::string random_data_set(std::mt19937& random, const std::vector<std::string>& values)
{
    const char letters[] = "FGKWSNBIPQLHT";
    std::string text(1, letters[random() % (sizeof letters - 1)]);
    text += " " + std::to_string(random() % 60 + (random() % 4 == 0 ? random() % 200 : 0));
    const int fields = static_cast<int>(random() % 9);
    for (int n = 0; n < fields; ++n) text += " " + values[random() % values.size()];
    return text + "\n";
}

// Structure-aware mutations of the data sets of a control file.
std::string mutate_data_sets(const std::string& base, std::mt19937& random, const std::vector<std::string>& values)
{
    std::vector<std::string> lines;
    std::istringstream in(base);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    const int steps = 1 + static_cast<int>(random() % 4);
    for (int s = 0; s < steps; ++s) {
        const int kind = static_cast<int>(random() % 6);
        if (kind == 0 || lines.empty()) {
            lines.insert(lines.begin() + (lines.empty() ? 0 : random() % (lines.size() + 1)), random_data_set(random, values));
            continue;
        }
        std::string& line = lines[random() % lines.size()];
        std::vector<std::string> words;
        std::istringstream split(line);
        for (std::string w; split >> w;) words.push_back(w);
        if (words.size() < 2) continue;
        switch (kind) {
        case 1:
        case 2: {  // one field at an edge value
            const std::size_t at = 2 + random() % std::max<std::size_t>(words.size() - 1, 1);
            if (at < words.size())
                words[at] = values[random() % values.size()];
            else
                words.push_back(values[random() % values.size()]);
            break;
        }
        case 3: words.resize(2 + random() % (words.size() - 1)); break;  // missing fields
        case 4: lines.push_back(line); break;                              // the data set again, last
        case 5: {  // every field at an edge value
            for (std::size_t n = 2; n < words.size(); ++n) words[n] = values[random() % values.size()];
            break;
        }
        }
        if (kind == 4) continue;
        line.clear();
        for (const std::string& w : words) line += (line.empty() ? "" : " ") + w;
    }
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    if (random() % 5 == 0) text.resize(random() % (text.size() + 1));  // a truncated file
    return text;
}

// Byte mutations: changed, removed, inserted and repeated bytes, truncation.
std::string mutate_bytes(std::string text, std::mt19937& random)
{
    const int steps = 1 + static_cast<int>(random() % 8);
    for (int n = 0; n < steps && !text.empty(); ++n) {
        const std::size_t at = random() % text.size();
        switch (random() % 6) {
        case 0: text[at] = static_cast<char>(random() % 256); break;
        case 1: text.erase(at, 1 + random() % 16); break;
        case 2: text.insert(at, 1, "0123456789-+.eE \n\t"[random() % 18]); break;
        case 3: text.insert(at, std::string(1 + random() % 4, static_cast<char>(random() % 256))); break;
        case 4: text.resize(at); break;
        case 5: {
            const std::string piece(text, random() % text.size(), 1 + random() % 60);
            text.insert(at, piece);
            break;
        }
        }
    }
    return text;
}

struct Case {
    std::string kind, folder;
};

// Starts zefra in the case's folder; the status comes from finish().
std::FILE* start(const Case& c, int seconds)
{
    const std::string command = "cd '" + c.folder + "' && timeout -k 2 " + std::to_string(seconds) +
                                " env ASAN_OPTIONS=exitcode=86:allocator_may_return_null=1:detect_leaks=0 UBSAN_OPTIONS=exitcode=87:halt_on_error=1 " +
                                ZEFRA_EXE + " >/dev/null 2>stderr";
    return popen(command.c_str(), "r");
}

void finish(std::FILE* pipe, const Case& c, CampaignResult& result)
{
    const int raw = pclose(pipe);
    const int code = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    ++result.cases;
    ++result.cases_of_kind[c.kind];
    ++result.status_of_kind[c.kind][code];
    std::string outcome;
    if (code == 124 || code == 137)
        outcome = "hang";
    else if (code == 86 || code == 87)
        outcome = "sanitizer";
    else if (code > 128 && code < 160)
        outcome = "signal " + std::to_string(code - 128);
    if (outcome.empty()) {
        fs::remove_all(c.folder);
        return;
    }
    // A finding is kept outside the test's own folder, for a look afterwards.
    const std::string kept = fs::temp_directory_path().string() + "/zefra-fuzz-findings/" + fs::path(c.folder).filename().string();
    std::error_code ignored;
    fs::remove_all(kept, ignored);
    fs::create_directories(kept, ignored);
    fs::copy(c.folder, kept, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ignored);
    result.findings.push_back({c.kind, outcome, kept});
}

}  // namespace

CampaignResult run_campaign(unsigned seed, int cases, const std::string& root, int seconds)
{
    CampaignResult result;
    const std::vector<std::string> seeds = seed_controls();
    const std::vector<std::string> values = edge_values();
    const std::string grid = small_grid();
    const std::string head = "G 1 " + std::to_string(X) + " " + std::to_string(Y) + " " + std::to_string(Z) + " 2\n";

    // A result file of the small grid, for the cases that read one.
    const std::string made = root + "/made";
    fs::create_directories(made);
    write_whole(made + "/koordina", grid);
    write_whole(made + "/control", head + "W 1 35 2.0 1.0\nF 2 WM\n" + Limits);
    pclose(start({"", made}, 60));
    const std::string result_file = read_whole(made + "/result");

    std::mt19937 random(seed);
    std::vector<std::pair<std::FILE*, Case>> running;
    for (int n = 0; n < cases; ++n) {
        Case c;
        c.folder = root + "/case" + std::to_string(n);
        fs::create_directories(c.folder);
        const std::string& base = seeds[random() % seeds.size()];
        std::string control = base, koordina = grid;
        switch (random() % 10) {
        case 0:
        case 1:
        case 2:
        case 3:
            c.kind = "control data sets";
            control = mutate_data_sets(base, random, values);
            break;
        case 4:
        case 5:
            c.kind = "control bytes";
            control = mutate_bytes(base, random);
            break;
        case 6:
        case 7:
            c.kind = "koordina bytes";
            koordina = mutate_bytes(grid, random);
            break;
        default:
            c.kind = "result bytes";
            control = "W 1 35 2.0 1.0\nF 2 RWM\n";
            write_whole(c.folder + "/result", mutate_bytes(result_file, random));
            break;
        }
        write_whole(c.folder + "/control", head + control + Limits + transient_limit(control));
        write_whole(c.folder + "/koordina", koordina);
        running.push_back({start(c, seconds), c});
        if (running.size() == 2 || n + 1 == cases) {
            for (auto& [pipe, done] : running) finish(pipe, done, result);
            running.clear();
        }
    }
    return result;
}

std::string campaign_report(const CampaignResult& result)
{
    std::string text = std::to_string(result.cases) + " cases, " + std::to_string(result.findings.size()) + " findings\n";
    for (const auto& [kind, count] : result.cases_of_kind) {
        text += "  " + kind + ": " + std::to_string(count) + " cases; exit statuses";
        for (const auto& [status, n] : result.status_of_kind.at(kind)) {
            char entry[40];
            std::snprintf(entry, sizeof entry, " %d:%d", status, n);
            text += entry;
        }
        text += "\n";
    }
    for (const Finding& f : result.findings) text += "  finding: " + f.kind + ", " + f.outcome + ", " + f.folder + "\n";
    return text;
}

}  // namespace zefra::test
