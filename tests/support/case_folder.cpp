#include "tests/support/case_folder.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "engine/common/run_exit.h"
#include "engine/driver/entry.h"
#include "engine/input/control_reader.h"
#include "engine/state/fields.h"
#include "engine/state/state.h"

namespace zefra::test {

CaseFolder::CaseFolder()
{
    previous_ = std::filesystem::current_path().string();
    std::string pattern = (std::filesystem::temp_directory_path() / "zefra-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
    std::filesystem::current_path(path_);
    reset_state();
}

CaseFolder::~CaseFolder()
{
    reset_state();
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void write_file(const std::string& name, const std::string& text)
{
    std::ofstream out(name, std::ios::binary);
    out << text;
}

std::string read_file(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool file_exists(const std::string& name)
{
    return std::filesystem::exists(name);
}

std::optional<int> exit_status(const std::function<void()>& call)
{
    try {
        call();
    } catch (const RunExit& exit) {
        return exit.status;
    }
    return std::nullopt;
}

std::string log_text()
{
    return read_file("boogie");
}

bool log_ends_with(const std::string& tail)
{
    std::string log = log_text();
    // A whole run appends its end-of-run line last: the messages end before it.
    if (log.size() > 1 && log.back() == '\n') {
        const std::size_t start = log.rfind('\n', log.size() - 2);
        const std::size_t line = start == std::string::npos ? 0 : start + 1;
        if (log.compare(line, 7, "zefra: ") == 0) {
            log.erase(line);
            // The line end it was given after a message that had none.
            if (!tail.empty() && tail.back() != '\n' && !log.empty() && log.back() == '\n') log.pop_back();
        }
    }
    return log.size() >= tail.size() && log.compare(log.size() - tail.size(), tail.size(), tail) == 0;
}

std::string control_with(const std::string& data_sets, int x, int y, int z, int l)
{
    return "G 1 " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(z) + " " + std::to_string(l) + "\n" +
           data_sets;
}

void write_grid(int x, int y, double (*bed)(int i, int j), double spacing)
{
    std::FILE* fp = std::fopen("koordina", "w");
    for (int i = 1; i <= x; ++i)
        for (int j = 1; j <= y; ++j)
            std::fprintf(fp, "%d %d %.12g %.12g %.12g\n", i, j, (i - 1) * spacing, (j - 1) * spacing, bed ? bed(i, j) : 0.0);
    std::fclose(fp);
}

std::optional<int> read_control(const std::string& control_text)
{
    write_file("control", control_text);
    std::smatch sizes;
    static const std::regex g1("G\\s+1\\s+(\\d+)\\s+(\\d+)");
    if (!file_exists("koordina") && std::regex_search(control_text, sizes, g1) && sizes[1].length() < 5 && sizes[2].length() < 5)
        write_grid(std::stoi(sizes[1]), std::stoi(sizes[2]), nullptr);
    SetArraysZero();
    return exit_status(kread);
}

::testing::AssertionResult control_rejected(const std::string& control_text, int status, const std::string& log_tail)
{
    CaseFolder folder;
    const std::string shown = control_text.substr(0, 80);
    const std::optional<int> got = read_control(control_text);
    if (!got) return ::testing::AssertionFailure() << "no stop for [" << shown << "]";
    if (*got != status) return ::testing::AssertionFailure() << "status " << *got << " instead of " << status << " for [" << shown << "]";
    if (!log_ends_with(log_tail))
        return ::testing::AssertionFailure() << "log of [" << shown << "] does not end with [" << log_tail << "]: [" << log_text() << "]";
    return ::testing::AssertionSuccess();
}

int run_executable(const std::string& arguments, std::string* output, const std::string& shell_prefix)
{
    // A sanitizer report ends the process with a status of its own, which no
    // run of zefra returns; its text goes to a file beside the case.
    std::string command = shell_prefix + std::string("ASAN_OPTIONS=exitcode=86:allocator_may_return_null=1:detect_leaks=0 ") +
                          "UBSAN_OPTIONS=exitcode=87:halt_on_error=1:print_stacktrace=1 " + ZEFRA_EXE + " " + arguments +
                          " 2>zefra.stderr";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot start zefra");
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, got);
    int status = pclose(pipe);
    if (output) *output = text;
    if (!WIFEXITED(status)) throw std::runtime_error("zefra did not exit normally: " + read_file("zefra.stderr"));
    const int code = WEXITSTATUS(status);
    if (code == 86 || code == 87) throw std::runtime_error("sanitizer report: " + read_file("zefra.stderr"));
    return code;
}

int run_case(const std::string& control)
{
    write_file("control", control);
    char name[] = "zefra";
    char* argv[] = {name, nullptr};
    return run_zefra(1, argv);
}

bool converged()
{
    return log_text().find("Solution converged\n") != std::string::npos;
}

std::string log_tail()
{
    const std::string log = log_text();
    return log.substr(log.size() > 800 ? log.size() - 800 : 0);
}

}  // namespace zefra::test
