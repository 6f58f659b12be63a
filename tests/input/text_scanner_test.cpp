// The conversions of the data-set readers: white space and line ends,
// partial numbers, values beyond the number ranges, and what is left unread.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <string>

#include "engine/input/text_scanner.h"
#include "tests/support/case_folder.h"

namespace zefra {
namespace {

class Scanner : public ::testing::Test {
protected:
    TextScanner& open(const std::string& text)
    {
        test::write_file("input", text);
        scanner_ = std::make_unique<TextScanner>("input");
        return *scanner_;
    }
    test::CaseFolder folder;
    std::unique_ptr<TextScanner> scanner_;
};

TEST_F(Scanner, NumbersMaySpanLinesAndStopWhereTheyStopBeingValid)
{
    TextScanner& s = open("  12\n\n -3.5e2x +.25 7. 1.5e 4e+1");
    int i;
    double a, b, c, d, e;
    EXPECT_EQ(s.scan("%d %lf", &i, &a), 2);
    EXPECT_EQ(i, 12);
    EXPECT_EQ(a, -350.0);
    EXPECT_EQ(s.get(), 'x');
    EXPECT_EQ(s.scan("%lf%lf%lf", &b, &c, &d), 3);
    EXPECT_EQ(b, 0.25);
    EXPECT_EQ(c, 7.0);
    EXPECT_EQ(d, 1.5);
    EXPECT_EQ(s.get(), 'e');  // an exponent without digits is not part of the number
    EXPECT_TRUE(s.read(e));
    EXPECT_EQ(e, 40.0);
    EXPECT_FALSE(s.read(e));
}

TEST_F(Scanner, ConversionStopsAtTheFirstFieldThatIsNoNumber)
{
    TextScanner& s = open("5 abc 6");
    int a = -1, b = -1, c = -1;
    EXPECT_EQ(s.scan("%d %d %d", &a, &b, &c), 1);
    EXPECT_EQ(a, 5);
    EXPECT_EQ(b, -1);  // left as it was
    EXPECT_EQ(s.get(), 'a');
}

TEST_F(Scanner, NotANumberAndInfinityAreNoNumbers)
{
    TextScanner& s = open("nan inf 0x10 -");
    double v = 3.0;
    EXPECT_FALSE(s.read(v));
    EXPECT_EQ(s.get(), 'n');
    s.skip(3);
    EXPECT_FALSE(s.read(v));
    s.skip(4);
    EXPECT_TRUE(s.read(v));  // the 0 of 0x10
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(s.get(), 'x');
    s.skip(3);
    EXPECT_FALSE(s.read(v));
    EXPECT_EQ(v, 0.0);
}

TEST_F(Scanner, ValuesBeyondTheirRangeAreHeldAtTheLimit)
{
    TextScanner& s = open("99999999999 -99999999999 1e999 -1e999 1e-999 " + std::string(5000, '9') + " 0." +
                          std::string(5000, '0') + "1");
    int big, small;
    double huge, minus_huge, tiny, long_digits, long_fraction;
    ASSERT_EQ(s.scan("%d %d %lf %lf %lf %lf %lf", &big, &small, &huge, &minus_huge, &tiny, &long_digits, &long_fraction), 7);
    EXPECT_EQ(big, INT_MAX);
    EXPECT_LT(small, -2147483646);
    EXPECT_EQ(huge, DBL_MAX);
    EXPECT_EQ(minus_huge, -DBL_MAX);
    EXPECT_EQ(tiny, 0.0);
    EXPECT_EQ(long_digits, DBL_MAX);
    EXPECT_EQ(long_fraction, 0.0);
}

TEST_F(Scanner, LongNumbersWithLeadingZerosKeepTheirValue)
{
    TextScanner& s = open(std::string(10000, '0') + "12.5 " + std::string(3000, '0') + "7");
    double v;
    long l;
    ASSERT_TRUE(s.read(v));
    EXPECT_EQ(v, 12.5);
    ASSERT_TRUE(s.read(l));
    EXPECT_EQ(l, 7);
}

TEST_F(Scanner, CharactersWordsAndLiterals)
{
    TextScanner& s = open("  Q%7 averyveryverylongword tail");
    char c, raw;
    int n;
    EXPECT_TRUE(s.read(c));
    EXPECT_EQ(c, 'Q');
    EXPECT_EQ(s.scan("x%d", &n), 0);  // a literal that does not match stops the scan
    EXPECT_EQ(s.scan("%c%d", &raw, &n), 2);
    EXPECT_EQ(raw, '%');
    EXPECT_EQ(n, 7);
    char word[6];
    EXPECT_TRUE(s.read_word(word, sizeof word));
    EXPECT_STREQ(word, "avery");
    EXPECT_TRUE(s.read_word(word, sizeof word));
    EXPECT_STREQ(word, "tail");
}

TEST_F(Scanner, ReadsBinaryGarbageAsCharacters)
{
    std::string garbage;
    for (int c = 0; c < 256; ++c) garbage.push_back(static_cast<char>(c));
    TextScanner& s = open(garbage + garbage);
    int count = 0;
    for (int c = s.get(); c != EOF; c = s.get()) ++count;
    EXPECT_EQ(count, 512);
}

TEST_F(Scanner, FormatThatDoesNotMatchItsValuesIsAProgrammingError)
{
    TextScanner& s = open("1 2");
    int i;
    double d;
    EXPECT_THROW(s.scan("%lf", &i), std::logic_error);
    EXPECT_THROW(s.scan("%d %d", &i), std::logic_error);
    EXPECT_THROW(s.scan("%d", &i, &d), std::logic_error);
}

}  // namespace
}  // namespace zefra
