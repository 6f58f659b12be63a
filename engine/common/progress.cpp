#include "engine/common/progress.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "engine/common/status.h"

namespace zefra {

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point started, last_shown;
bool shown = false;

bool terminal()
{
    static const bool is_terminal = isatty(STDERR_FILENO) == 1;
    return is_terminal;
}

}  // namespace

void progress_start()
{
    started = Clock::now();
    last_shown = started - std::chrono::seconds(1);
}

void progress_update(long iteration, double residual, int equation)
{
    if (!terminal()) return;
    const Clock::time_point now = Clock::now();
    if (now - last_shown < std::chrono::milliseconds(300)) return;
    last_shown = now;
    const long seconds = std::chrono::duration_cast<std::chrono::seconds>(now - started).count();
    char line[200];
    std::snprintf(line, sizeof line, "zefra  iter %ld  residual %8.2e (eq %d)  %02ld:%02ld:%02ld  %s", iteration, residual, equation, seconds / 3600,
                  seconds / 60 % 60, seconds % 60, mc_message);
    std::fprintf(stderr, "\r%-110.110s", line);
    std::fflush(stderr);
    shown = true;
}

void progress_end()
{
    if (!shown) return;
    std::fputc('\n', stderr);
    shown = false;
}

}  // namespace zefra
