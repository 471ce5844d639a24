// The reading of typed numbers and the decimal form of a size box.
// Expected values: the examples given for the size boxes and the options
// dialog, and the rule worked by hand (blanks, tabs and line feeds skipped,
// sign, digits with one point, E or D exponent, &H and &O forms).

#include "app/LeadingNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct ReadCase {
    const char16_t* text;
    double expected;
};

const ReadCase readCases[] = {
    {u"20", 20.0},
    {u"020", 20.0},
    {u"1e2", 100.0},
    {u"1E2", 100.0},
    {u"1D3", 1000.0},
    {u"1d-2", 0.01},
    {u"12abc", 12.0},
    {u"2 5", 25.0},
    {u"2 500", 2500.0},
    {u"1,000", 1.0},
    {u"&H14", 20.0},
    {u"&h1f", 31.0},
    {u"&O17", 15.0},
    {u"&O78", 7.0},      // 8 is no octal digit: reading stops before it
    {u"&HFG", 15.0},     // nor G a hexadecimal one
    {u"&H", 0.0},
    {u"&X1", 0.0},
    {u"abc", 0.0},
    {u"", 0.0},
    {u"   ", 0.0},
    {u"-3", -3.0},
    {u"+7", 7.0},
    {u"- 3", -3.0},
    {u"20.5", 20.5},
    {u"2500.5", 2500.5},
    {u"0.3", 0.3},
    {u".5", 0.5},
    {u"-.5", -0.5},
    {u"5.", 5.0},
    {u".", 0.0},
    {u"-", 0.0},
    {u"1.2.3", 1.2},
    {u"1e", 1.0},
    {u"1e+", 1.0},
    {u"1e-", 1.0},
    {u"1ex5", 1.0},
    {u"1 e 2", 100.0},
    {u"\t1\n2", 12.0},
    {u"\r12", 0.0},      // a carriage return is not one of the skipped characters
    {u"$5", 0.0},
    {u"5$", 5.0},
    {u"12\u00e9", 12.0},
    {u"\uff11", 0.0},    // a full-width digit is not a digit of the rule
    {u"32767", 32767.0},
    {u"32768", 32768.0},
    {u"1e-400", 0.0},
};

class LeadingNumberRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(LeadingNumberRead, ReadsTheNumberAtTheStart) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(leadingNumber(QString::fromUtf16(c.text)), c.expected)
        << QString::fromUtf16(c.text).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, LeadingNumberRead, ::testing::ValuesIn(readCases));

TEST(LeadingNumber, ExponentBeyondTheRangeGivesAnInfinityOfTheSign) {
    EXPECT_EQ(leadingNumber(QStringLiteral("1e400")), std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber(QStringLiteral("-1e400")), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingNumber(QString(400, u'9')), std::numeric_limits<double>::infinity());
    // 0.000...01 with 400 zeros is a tiny number, not a huge one.
    EXPECT_EQ(leadingNumber(QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1")), 0.0);
}

TEST(LeadingNumber, DecimalPointIsAlwaysAPoint) {
    // The program runs under any regional setting; a comma never continues a number.
    EXPECT_EQ(leadingNumber(QStringLiteral("2,5")), 2.0);
    EXPECT_EQ(leadingNumber(QStringLiteral("2.5")), 2.5);
}

struct TextCase {
    double value;
    const char* expected;
};

const TextCase textCases[] = {
    {20.0, "20"},
    {100.0, "100"},
    {20.5, "20.5"},
    {32767.0, "32767"},
    {1.0, "1"},
    {2500.25, "2500.25"},
    {1.00000000000001, "1.00000000000001"},  // 15 significant digits
    {0.1 + 0.2, "0.3"},                      // 0.30000000000000004 to 15 digits
    {1.0 / 3.0, "0.333333333333333"},
    {32767.999999999996, "32768"},           // rounds at the 15th digit
};

class NumberTextCase : public ::testing::TestWithParam<TextCase> {};

TEST_P(NumberTextCase, FifteenSignificantDigitsNoTrailingZeros) {
    EXPECT_EQ(numberText(GetParam().value).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, NumberTextCase, ::testing::ValuesIn(textCases));

} // namespace
