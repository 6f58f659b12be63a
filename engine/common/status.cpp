// The status buffers of the host interface.
#include "engine/common/status.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace zefra {

void set_status(char (&buffer)[StatusTextSize], const char* text)
{
    std::snprintf(buffer, StatusTextSize, "%s", text);
}

void set_statusf(char (&buffer)[StatusTextSize], const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, StatusTextSize, format, args);
    va_end(args);
}

void clear_status()
{
    for (char* b : {mc_message, mc_program, mc_v1, mc_v2, mc_v3}) std::memset(b, 0, StatusTextSize);
}

}  // namespace zefra
