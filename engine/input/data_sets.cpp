// Dispatch of the control-file letters to their data-set readers.  Adding a
// letter is one entry in one of the two tables below.
#include "engine/input/data_sets.h"

#include "engine/common/boogie.h"

namespace zefra {

namespace {

struct LetterEntry {
    char letter;
    DataSetReader read;
};

const LetterEntry first_pass_letters[] = {
    {'F', read_F}, {'G', read_G}, {'H', read_H}, {'I', read_I}, {'K', read_K}, {'L', read_L},
    {'N', read_N}, {'P', read_P}, {'Q', read_Q}, {'S', read_S}, {'T', read_T}, {'W', read_W},
};

const LetterEntry second_pass_letters[] = {
    {'F', skip_F_second_pass},
    {'T', skip_T_second_pass},
    {'B', read_B},
    {'W', read_W_second_pass},
};

template <std::size_t N>
DataSetReader find(const LetterEntry (&table)[N], int letter)
{
    for (const LetterEntry& e : table)
        if (e.letter == letter) return e.read;
    return nullptr;
}

}  // namespace

DataSetReader first_pass_reader(int letter)
{
    return find(first_pass_letters, letter);
}

DataSetReader second_pass_reader(int letter)
{
    return find(second_pass_letters, letter);
}

bool read_data_set_number(TextScanner& s, int& number)
{
    return s.read(number);
}

void input_error(const char* message)
{
    log_and_end(1, "%s", message);
}

}  // namespace zefra
