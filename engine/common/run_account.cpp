#include "engine/common/run_account.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "engine/common/boogie.h"
#include "engine/common/status.h"

namespace zefra {

namespace {

std::vector<std::string> steps, files, warnings;
bool letter_a = false;

std::string formatted(const char* format, va_list args)
{
    char text[400];
    std::vsnprintf(text, sizeof text, format, args);
    return text;
}

// The last line of the log with text in it, without its line end.
std::string last_log_line()
{
    std::FILE* fp = std::fopen(LogFileName, "rb");
    if (!fp) return "";
    std::string tail;
    if (std::fseek(fp, 0, SEEK_END) == 0) {
        const long size = std::ftell(fp);
        const long from = size > 4096 ? size - 4096 : 0;
        std::fseek(fp, from, SEEK_SET);
        char buffer[4097];
        const std::size_t got = std::fread(buffer, 1, 4096, fp);
        tail.assign(buffer, got);
    }
    std::fclose(fp);
    while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r' || tail.back() == ' ' || tail.back() == '\t')) tail.pop_back();
    const std::size_t start = tail.find_last_of('\n');
    std::string line = start == std::string::npos ? tail : tail.substr(start + 1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.erase(line.begin());
    return line;
}

std::string joined(const std::vector<std::string>& parts, const char* separator)
{
    std::string text;
    for (const std::string& p : parts) {
        if (!text.empty()) text += separator;
        text += p;
    }
    return text;
}

}  // namespace

void account_step(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    steps.push_back(formatted(format, args));
    va_end(args);
}

void account_file(const char* name)
{
    for (const std::string& f : files)
        if (f == name) return;
    files.push_back(name);
}

void account_warning(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    warnings.push_back(formatted(format, args));
    va_end(args);
}

void account_letter_a()
{
    letter_a = true;
}

bool ended_by_letter_a()
{
    return letter_a;
}

void reset_account()
{
    letter_a = false;
    steps.clear();
    files.clear();
    warnings.clear();
}

std::string end_of_run_line(int status, bool error)
{
    std::string line = "zefra: ";
    if (error) {
        std::string message = last_log_line();
        if (message.empty()) message = mc_message;
        if (message.empty()) message = "stopped";
        line += message;
        char code[80];
        if (status < 0)
            std::snprintf(code, sizeof code, " (exit status %d, seen by the shell as %d); see boogie", status, status & 0xff);
        else
            std::snprintf(code, sizeof code, " (exit status %d); see boogie", status);
        line += code;
    } else {
        std::string done = joined(steps, "; ");
        if (status == 0) done += done.empty() ? "ended by run letter A" : "; ended by run letter A";
        if (done.empty()) done = "run ended, nothing computed";
        line += done;
        if (!files.empty()) line += "; wrote " + joined(files, ", ");
    }
    if (!warnings.empty()) line += "; warning: " + joined(warnings, "; ");
    return line;
}

void report_end_of_run(int status, bool error)
{
    const std::string line = end_of_run_line(status, error);
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    // A message that ends a run without a line end keeps a line of its own.
    bool line_end = true;
    if (std::FILE* fp = std::fopen(LogFileName, "rb")) {
        if (std::fseek(fp, -1, SEEK_END) == 0) line_end = std::fgetc(fp) == '\n';
        std::fclose(fp);
    }
    log_append("%s%s\n", line_end ? "" : "\n", line.c_str());
}

}  // namespace zefra
