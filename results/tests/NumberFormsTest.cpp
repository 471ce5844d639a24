// The three number forms of the results text. Expected texts are the forms'
// own examples and hand rounding; the exact halves are sums of powers of two
// (1/32, 3/32), so the tie is in the value itself and not in its decimal
// approximation.

#include "results/NumberForms.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <ostream>
#include <string>

namespace {

struct FormCase {
    double value;
    const char* expected;
};

void PrintTo(const FormCase& c, std::ostream* os) { *os << c.value << " -> " << c.expected; }

class PValueFormTest : public ::testing::TestWithParam<FormCase> {};

TEST_P(PValueFormTest, RoundsToFourDecimalsAndDropsTrailingZeros) {
    EXPECT_EQ(PValueForm(GetParam().value).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, PValueFormTest,
                         ::testing::Values(FormCase{0.03124, "0.0312"}, FormCase{0.5, "0.5"}, FormCase{1, "1"},
                                           FormCase{0, "0"}, FormCase{0.0312, "0.0312"},
                                           FormCase{0.9688, "0.9688"},
                                           // 0.03125 = 1/32 lies exactly halfway: to the even 2.
                                           FormCase{0.03125, "0.0312"},
                                           // 0.09375 = 3/32 lies exactly halfway: to the even 8.
                                           FormCase{0.09375, "0.0938"},
                                           // Just above a half rounds up, just below rounds down.
                                           FormCase{0.031250001, "0.0313"}, FormCase{0.03124999, "0.0312"},
                                           FormCase{0.00004, "0"}, FormCase{0.99996, "1"},
                                           FormCase{0.1, "0.1"}, FormCase{0.25, "0.25"}, FormCase{0.0001, "0.0001"},
                                           // The doubles nearest 0.99995 and 0.00005 lie just above
                                           // the half (0.99995000000000000551..., 0.0000500000000000000024...):
                                           // up, to 1 and 0.0001.
                                           FormCase{0.99995, "1"}, FormCase{0.00005, "0.0001"},
                                           FormCase{0.99994999, "0.9999"},
                                           // A p-value a hair above 1 leaves 1 - p a hair below 0:
                                           // it rounds to 0 and is written without a sign.
                                           FormCase{-0.0, "0"}, FormCase{-1e-11, "0"}));

class ThreeDecimalFormTest : public ::testing::TestWithParam<FormCase> {};

TEST_P(ThreeDecimalFormTest, WritesExactlyThreeDecimals) {
    EXPECT_EQ(ThreeDecimalForm(GetParam().value).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, ThreeDecimalFormTest,
                         ::testing::Values(FormCase{0.0516, "0.052"}, FormCase{0.25, "0.250"}, FormCase{1, "1.000"},
                                           FormCase{0, "0.000"}, FormCase{0.1496, "0.150"},
                                           FormCase{0.15, "0.150"}, FormCase{0.0004, "0.000"},
                                           FormCase{0.0008, "0.001"}, FormCase{0.9996, "1.000"},
                                           // The double nearest 0.9995 is 0.99950000000000005507...: up.
                                           FormCase{0.9995, "1.000"}, FormCase{-0.0, "0.000"},
                                           FormCase{-0.0001, "0.000"}));

class PercentFormTest : public ::testing::TestWithParam<FormCase> {};

TEST_P(PercentFormTest, WritesAHundredTimesTheValueWithOneDecimal) {
    EXPECT_EQ(PercentForm(GetParam().value).toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, PercentFormTest,
                         ::testing::Values(FormCase{0.153, "15.3%"}, FormCase{1, "100.0%"}, FormCase{0, "0.0%"},
                                           FormCase{0.15, "15.0%"}, FormCase{0.1496, "15.0%"},
                                           FormCase{0.05, "5.0%"}, FormCase{0.0008, "0.1%"},
                                           FormCase{0.0004, "0.0%"}, FormCase{0.9996, "100.0%"},
                                           FormCase{0.1404, "14.0%"}, FormCase{0.9995, "100.0%"},
                                           FormCase{-0.0, "0.0%"}, FormCase{-0.0001, "0.0%"}));

// A German default locale writes a decimal comma in QLocale::toString; the
// results text must not follow it.
TEST(NumberFormsLocaleTest, AlwaysWritesAPoint) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::string p = PValueForm(0.0312).toStdString();
    const std::string three = ThreeDecimalForm(0.0516).toStdString();
    const std::string percent = PercentForm(0.153).toStdString();
    QLocale::setDefault(previous);
    EXPECT_EQ(p, "0.0312");
    EXPECT_EQ(three, "0.052");
    EXPECT_EQ(percent, "15.3%");
}

} // namespace
