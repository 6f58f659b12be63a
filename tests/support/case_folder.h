// Test support: every test runs in a fresh temporary working folder with a
// clean model state, writes its input files there and reads back the log.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

// A whole case of many outer iterations: the optimised build runs it; the
// sanitizer build, some twenty times slower, leaves it to that build and
// checks memory on the unit tests, the small cases, the index boxes and the
// mutation campaign.
#ifdef ZEFRA_SANITIZED
#define ZEFRA_HEAVY_CASE() GTEST_SKIP() << "a whole case of many iterations: run by the optimised build"
#else
#define ZEFRA_HEAVY_CASE() static_cast<void>(0)
#endif

namespace zefra::test {

// A temporary folder that is the working directory while the object lives.
// The model state is reset on entry.
class CaseFolder {
public:
    CaseFolder();
    ~CaseFolder();
    CaseFolder(const CaseFolder&) = delete;
    CaseFolder& operator=(const CaseFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string previous_;
    std::string path_;
};

void write_file(const std::string& name, const std::string& text);
std::string read_file(const std::string& name);
bool file_exists(const std::string& name);

// Runs `call`; returns the status of the run exit it ended with, or nothing
// when it returned normally.
std::optional<int> exit_status(const std::function<void()>& call);

// The log `boogie` of the current folder.
std::string log_text();

// Whether the messages of the log end with exactly `tail` (the end-of-run
// line that a whole run appends is not counted).
bool log_ends_with(const std::string& tail);

// A control file with a valid G 1 and the given extra data sets.
std::string control_with(const std::string& data_sets, int x = 6, int y = 5, int z = 4, int l = 1);

// Writes `control` and runs the control-file reader with all field arrays
// freed first.  When the folder has no `koordina`, a flat rectangular grid of
// unit spacing is written for the sizes of the first G 1 of the text.
std::optional<int> read_control(const std::string& control_text);

// A data set the reader must reject: the status it ends with and the text the
// log ends with.
struct Rejected {
    std::string data_sets;
    int status;
    const char* log_tail;
};

// Reads `control_text` in a fresh folder and checks that the reader stopped
// with `status` and that the log ends with `log_tail`.
::testing::AssertionResult control_rejected(const std::string& control_text, int status, const std::string& log_tail);

// Writes `koordina` with one line per bed point (i, j) of an x by y grid.
void write_grid(int x, int y, double (*bed)(int i, int j), double spacing = 1.0);

// Runs the executable in the current folder with the given arguments; returns
// its exit status (0 ... 255) and puts its standard output into `output`; its
// standard error goes to the file `zefra.stderr`.  `shell_prefix` is run by
// the shell first (a limit, for example).  A signal or a sanitizer report
// throws.
int run_executable(const std::string& arguments = "", std::string* output = nullptr, const std::string& shell_prefix = "");

// Writes `control` and runs the program entry in this process (the model
// state stays for the test to read); returns the exit status.
int run_case(const std::string& control);

// Whether the log says the flow converged.
bool converged();

// The end of the log, for failure messages.
std::string log_tail();

}  // namespace zefra::test
