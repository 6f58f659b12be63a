// The readers of the individual control-file data sets, as the two passes of
// the control-file reader dispatch to them by letter.  Each reader starts right
// behind its letter; scanning by characters resumes behind what it took.
// Each reader writes the settings or table records of its data set.
#pragma once

#include "engine/input/text_scanner.h"

namespace zefra {

using DataSetReader = void (*)(TextScanner&);

// First-pass reader of a letter, or nullptr for a character that starts no
// data set.
DataSetReader first_pass_reader(int letter);

// Second-pass reader of a letter, or nullptr.
DataSetReader second_pass_reader(int letter);

// Readers by letter (first pass).
void read_F(TextScanner& s);
void read_G(TextScanner& s);
void read_H(TextScanner& s);
void read_I(TextScanner& s);
void read_K(TextScanner& s);
void read_L(TextScanner& s);
void read_N(TextScanner& s);
void read_P(TextScanner& s);
void read_Q(TextScanner& s);
void read_S(TextScanner& s);
void read_T(TextScanner& s);
void read_W(TextScanner& s);

// Second pass: the data sets that need the field arrays, and the skipping of
// the F 2, F 7 and T texts so that they are not taken for data sets.
void read_B(TextScanner& s);
void read_W_second_pass(TextScanner& s);
void skip_F_second_pass(TextScanner& s);
void skip_T_second_pass(TextScanner& s);

// After the first pass: every Q term and every enabled G 17 / G 18 box of a
// run with components must name components that exist (0 ... NoComponents-1),
// whatever the order of the data sets; else the data set's message, status 1.
void check_component_indices();

// The data-set number behind a letter ("%d"); false when there is none.
bool read_data_set_number(TextScanner& s, int& number);

// Logs `message` and ends the run with status 1, as every data-set check does.
[[noreturn]] void input_error(const char* message);

inline bool in_range(double value, double low, double high)
{
    return value >= low && value <= high;
}

}  // namespace zefra
