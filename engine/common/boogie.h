// The log file `boogie` in the working directory.  The control-file reader
// starts it afresh at the beginning of a run; every other routine opens it for
// appending, writes and closes it again before returning.
#pragma once

#include <cstdio>

namespace zefra {

constexpr const char* LogFileName = "boogie";
constexpr const char* LogOpenFailure = "cannot open file 'boogie' ";

class Boogie {
public:
    enum class Mode { Append, Fresh };

    explicit Boogie(Mode mode = Mode::Append);
    ~Boogie();
    Boogie(const Boogie&) = delete;
    Boogie& operator=(const Boogie&) = delete;

    bool is_open() const { return fp_ != nullptr; }
    explicit operator bool() const { return fp_ != nullptr; }

    void print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void close();

    // Ends the run with `status` when the log could not be opened (mc_message
    // already says "cannot open file 'boogie' ").
    void require(int status) const;

private:
    std::FILE* fp_ = nullptr;
};

// The convention of the numerical kernels: a kernel that cannot open the log
// returns without computing, so that a run on a full or read-only disk stops
// at the next step that must log (with status -3) instead of going on
// unrecorded.  mc_message already says "cannot open file 'boogie' ".
inline bool log_unavailable(const Boogie& log)
{
    return !log.is_open();
}

// Appends one formatted message to the log; false when the log cannot be
// opened (mc_message then says so).
bool log_append(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Appends the message to the log and ends the run with `status`.  When the log
// cannot be opened the run still ends with `status`.
[[noreturn]] void log_and_end(int status, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace zefra
