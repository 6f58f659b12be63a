// Status texts a host user interface may display: what is happening
// (`mc_message`), which routine runs (`mc_program`) and three short value or
// error texts.  Each is a 100-byte buffer holding a NUL-terminated text.
#pragma once

namespace zefra {

constexpr int StatusTextSize = 100;

inline char mc_message[StatusTextSize];
inline char mc_program[StatusTextSize];
inline char mc_v1[StatusTextSize];
inline char mc_v2[StatusTextSize];
inline char mc_v3[StatusTextSize];

// Copies `text` into a status buffer, cut to fit, always NUL-terminated.
void set_status(char (&buffer)[StatusTextSize], const char* text);

// printf-style variant of set_status.
void set_statusf(char (&buffer)[StatusTextSize], const char* format, ...) __attribute__((format(printf, 2, 3)));

// Empties all five buffers.
void clear_status();

}  // namespace zefra
