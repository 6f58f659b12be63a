// Buffered character reading and the data-set conversions of the text input
// files.  The buffer keeps a few characters of look-ahead so that a number is
// taken exactly as far as it is valid ("1.5e" leaves the "e" unread).
#include "engine/input/text_scanner.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cstdlib>
#include <stdexcept>

namespace zefra {

namespace {

constexpr std::size_t BufferSize = 1 << 16;
constexpr std::size_t TokenLimit = 4096;  // digits kept of one real; later fraction digits cannot matter

}  // namespace

TextScanner::TextScanner(const char* path) : fp_(std::fopen(path, "rb")), buffer_(BufferSize) {}

TextScanner::~TextScanner()
{
    if (fp_) std::fclose(fp_);
}

bool TextScanner::fill(std::size_t wanted)
{
    if (end_ - pos_ >= wanted) return true;
    if (eof_ || !fp_) return false;
    std::size_t left = end_ - pos_;
    for (std::size_t n = 0; n < left; ++n) buffer_[n] = buffer_[pos_ + n];
    taken_before_ += static_cast<long long>(pos_);
    pos_ = 0;
    end_ = left;
    while (end_ < wanted && !eof_) {
        std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, fp_);
        if (got == 0) eof_ = true;
        end_ += got;
    }
    return end_ - pos_ >= wanted;
}

int TextScanner::get()
{
    if (pos_ >= end_ && !fill(1)) return EOF;
    return static_cast<unsigned char>(buffer_[pos_++]);
}

int TextScanner::peek(int ahead)
{
    std::size_t wanted = static_cast<std::size_t>(ahead) + 1;
    if (end_ - pos_ < wanted && !fill(wanted)) return EOF;
    return static_cast<unsigned char>(buffer_[pos_ + ahead]);
}

void TextScanner::skip(long n)
{
    for (; n > 0; --n)
        if (get() == EOF) return;
}

void TextScanner::skip_space()
{
    while (is_space(peek())) ++pos_;
}

void TextScanner::skip_line()
{
    for (int c = get(); c != EOF && c != '\n'; c = get()) {
    }
}

bool TextScanner::read_integer(long long& value, long long low, long long high)
{
    skip_space();
    int c = peek();
    int first_digit = (c == '+' || c == '-') ? peek(1) : c;
    if (!is_digit(first_digit)) return false;
    bool negative = c == '-';
    if (c == '+' || c == '-') get();
    // Accumulate towards the limit of the sign; hold there when the digits run past it.
    long long v = 0;
    long long limit = negative ? -low : high;
    while (is_digit(peek())) {
        int d = get() - '0';
        if (v > (limit - d) / 10)
            v = limit;
        else
            v = v * 10 + d;
    }
    value = negative ? -v : v;
    return true;
}

bool TextScanner::read(int& value)
{
    long long v;
    if (!read_integer(v, INT_MIN + 1LL, INT_MAX)) return false;
    value = static_cast<int>(v);
    return true;
}

bool TextScanner::read(long& value)
{
    long long v;
    if (!read_integer(v, LONG_MIN + 1LL, LONG_MAX)) return false;
    value = static_cast<long>(v);
    return true;
}

bool TextScanner::read(double& value)
{
    skip_space();
    // A number needs a digit before or right after the decimal point.
    int at = (peek() == '+' || peek() == '-') ? 1 : 0;
    bool starts = is_digit(peek(at)) || (peek(at) == '.' && is_digit(peek(at + 1)));
    if (!starts) return false;

    std::string token;
    if (at == 1) token.push_back(static_cast<char>(get()));
    bool significant = false;   // a non-zero digit has been kept in the integer part
    long dropped_integer_digits = 0;
    while (is_digit(peek())) {
        char d = static_cast<char>(get());
        if (!significant && d == '0') continue;  // leading zeros carry no value
        significant = true;
        if (token.size() < TokenLimit)
            token.push_back(d);
        else
            ++dropped_integer_digits;
    }
    if (!significant) token.push_back('0');
    if (peek() == '.') {
        get();
        token.push_back('.');
        while (is_digit(peek())) {
            char d = static_cast<char>(get());
            if (token.size() < TokenLimit) token.push_back(d);
        }
    }
    long exponent = 0;
    int e_sign = (peek(1) == '+' || peek(1) == '-') ? 1 : 0;
    if ((peek() == 'e' || peek() == 'E') && is_digit(peek(1 + e_sign))) {
        get();
        bool negative = e_sign && get() == '-';
        while (is_digit(peek())) {
            int d = get() - '0';
            if (exponent < 100000) exponent = exponent * 10 + d;
        }
        if (negative) exponent = -exponent;
    }
    exponent += dropped_integer_digits;
    if (exponent != 0) {
        token.push_back('e');
        token.append(std::to_string(exponent));
    }

    errno = 0;
    double v = std::strtod(token.c_str(), nullptr);
    if (v > DBL_MAX) v = DBL_MAX;
    if (v < -DBL_MAX) v = -DBL_MAX;
    value = v;
    return true;
}

bool TextScanner::read(char& value)
{
    skip_space();
    return read_raw(value);
}

bool TextScanner::read_raw(char& value)
{
    int c = get();
    if (c == EOF) return false;
    value = static_cast<char>(c);
    return true;
}

bool TextScanner::read_word(char* buffer, std::size_t capacity)
{
    skip_space();
    int c = peek();
    if (c == EOF) return false;
    std::size_t n = 0;
    while (c != EOF && !is_space(c)) {
        get();
        if (n + 1 < capacity) buffer[n++] = static_cast<char>(c);
        c = peek();
    }
    if (capacity > 0) buffer[n] = '\0';
    return true;
}

int TextScanner::scan_targets(const char* format, void* const* targets, const char* kinds)
{
    int converted = 0;
    for (const char* p = format; *p; ++p) {
        if (is_space(static_cast<unsigned char>(*p))) {
            skip_space();
            continue;
        }
        if (*p != '%') {
            if (peek() != static_cast<unsigned char>(*p)) return converted;
            get();
            continue;
        }
        char want;
        ++p;
        if (*p == 'd') {
            want = 'd';
        } else if (*p == 'c') {
            want = 'c';
        } else if (*p == 'l' && p[1] == 'd') {
            want = 'L';
            ++p;
        } else if (*p == 'l' && p[1] == 'f') {
            want = 'f';
            ++p;
        } else {
            throw std::logic_error(std::string("unsupported conversion in format: ") + format);
        }
        if (kinds[converted] != want) throw std::logic_error(std::string("format does not match its values: ") + format);
        void* target = targets[converted];
        bool ok = false;
        switch (want) {
        case 'd': ok = read(*static_cast<int*>(target)); break;
        case 'L': ok = read(*static_cast<long*>(target)); break;
        case 'f': ok = read(*static_cast<double*>(target)); break;
        case 'c': ok = read_raw(*static_cast<char*>(target)); break;
        }
        if (!ok) return converted;
        ++converted;
    }
    if (kinds[converted] != 0) throw std::logic_error(std::string("more values than conversions: ") + format);
    return converted;
}

}  // namespace zefra
