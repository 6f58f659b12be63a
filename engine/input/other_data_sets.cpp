// Control-file data sets of the letters other than F and G.
#include <cstring>

#include "engine/driver/state_run.h"
#include "engine/input/data_sets.h"

namespace zefra {

namespace {

constexpr int TitleCharacters = 28;

bool is_printable(int c)
{
    return c >= 0x20 && c <= 0x7e;
}

}  // namespace

// T: the title, stored from Title[1] while the characters are printable, at
// most 28 of them; the first position not stored gets a blank.  The whole rest
// of the line belongs to the title, so what does not fit is taken and dropped
// rather than read as data sets.
void read_T(TextScanner& s)
{
    std::memset(Title + 1, 0, sizeof Title - 1);
    int n = 1;
    while (n <= TitleCharacters && is_printable(s.peek())) Title[n++] = static_cast<char>(s.get());
    Title[n] = ' ';
    s.skip_line();
}

void skip_T_second_pass(TextScanner& s)
{
    s.skip_line();
}

}  // namespace zefra
