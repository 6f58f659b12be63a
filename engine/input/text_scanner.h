// Character-by-character reading of the engine's text input files with the
// conversions of their data sets: "%d", "%ld", "%lf", " %c", "%c" and "%s".
// Each numeric conversion skips leading white space, line ends included, so a
// data set may run over several lines.  Numbers are read as the longest valid
// decimal prefix; "nan", "inf" and hexadecimal forms are not numbers here.  An
// integer beyond the 32-bit range is held at the nearest limit and a real beyond
// the double range at the largest finite double, so that range checks see it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace zefra {

class TextScanner {
public:
    explicit TextScanner(const char* path);
    ~TextScanner();
    TextScanner(const TextScanner&) = delete;
    TextScanner& operator=(const TextScanner&) = delete;

    bool is_open() const { return fp_ != nullptr; }
    explicit operator bool() const { return fp_ != nullptr; }

    // Next character (0 ... 255) or EOF.
    int get();
    // Character `ahead` places beyond the next one, without taking it.
    int peek(int ahead = 0);
    // Takes up to n characters; stops at end of file.
    void skip(long n);
    // Takes white space (blank, tab, line end, form feed, vertical tab).
    void skip_space();
    // Takes the characters up to and including the next line end.
    void skip_line();
    // Characters taken so far.
    long long taken() const { return taken_before_ + static_cast<long long>(pos_); }

    bool read(int& value);      // "%d"
    bool read(long& value);     // "%ld"
    bool read(double& value);   // "%lf"
    bool read(char& value);     // " %c": the first character that is not white space
    bool read_raw(char& value); // "%c": the next character, whatever it is
    // "%s": a word of non-blank characters; at most capacity - 1 are stored and
    // the rest of the word is taken and dropped.
    bool read_word(char* buffer, std::size_t capacity);

    // Reads with a scanf-like format of "%d", "%ld", "%lf", "%c" (" %c" when a
    // blank precedes it) and white space, which takes any amount of white space.
    // Other characters in the format must match the input.  Returns the number
    // of values converted; stops at the first that fails.
    template <class... Out>
    int scan(const char* format, Out*... out)
    {
        void* targets[] = {static_cast<void*>(out)..., nullptr};
        const char kinds[] = {kind_of(out)..., 0};
        return scan_targets(format, targets, kinds);
    }

private:
    static constexpr char kind_of(int*) { return 'd'; }
    static constexpr char kind_of(long*) { return 'L'; }
    static constexpr char kind_of(double*) { return 'f'; }
    static constexpr char kind_of(char*) { return 'c'; }

    int scan_targets(const char* format, void* const* targets, const char* kinds);
    bool fill(std::size_t wanted);
    bool read_integer(long long& value, long long low, long long high);

    std::FILE* fp_ = nullptr;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    long long taken_before_ = 0;  // characters taken before the buffer's start
    bool eof_ = false;
};

// Whether c is white space as the conversions skip it.
inline bool is_space(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

inline bool is_digit(int c)
{
    return c >= '0' && c <= '9';
}

}  // namespace zefra
