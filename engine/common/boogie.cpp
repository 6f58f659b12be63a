#include "engine/common/boogie.h"

#include <cstdarg>

#include "engine/common/run_exit.h"
#include "engine/common/status.h"

namespace zefra {

Boogie::Boogie(Mode mode)
{
    fp_ = std::fopen(LogFileName, mode == Mode::Fresh ? "w" : "a");
    if (!fp_) set_status(mc_message, LogOpenFailure);
}

Boogie::~Boogie()
{
    close();
}

void Boogie::close()
{
    if (fp_) std::fclose(fp_);
    fp_ = nullptr;
}

void Boogie::print(const char* format, ...)
{
    if (!fp_) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(fp_, format, args);
    va_end(args);
    // Written at once, so that messages of a routine that ends the run while
    // its log is open stand in the order they were made.
    std::fflush(fp_);
}

void Boogie::require(int status) const
{
    if (!fp_) end_run(status);
}

bool log_append(const char* format, ...)
{
    std::FILE* fp = std::fopen(LogFileName, "a");
    if (!fp) {
        set_status(mc_message, LogOpenFailure);
        return false;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(fp, format, args);
    va_end(args);
    std::fclose(fp);
    return true;
}

void log_and_end(int status, const char* format, ...)
{
    if (std::FILE* fp = std::fopen(LogFileName, "a")) {
        va_list args;
        va_start(args, format);
        std::vfprintf(fp, format, args);
        va_end(args);
        std::fclose(fp);
    } else {
        set_status(mc_message, LogOpenFailure);
    }
    end_run(status);
}

}  // namespace zefra
