// The numerical results text, and the size and power summaries it is built
// from. Every expected line is written out by hand from the layout of the
// text; every expected number is worked by hand from the power table of its
// case.

#include "results/OutputResults.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

// The 29 interaction strengths of the power table, accumulated from 0.1 in
// steps of 0.1: the shortest decimals that read back to each 64-bit value.
constexpr std::array<double, 29> Strengths{
    0.1, 0.2, 0.30000000000000004, 0.4, 0.5, 0.6, 0.7, 0.7999999999999999, 0.8999999999999999,
    0.9999999999999999, 1.0999999999999999, 1.2, 1.3, 1.4000000000000001, 1.5000000000000002,
    1.6000000000000003, 1.7000000000000004, 1.8000000000000005, 1.9000000000000006, 2.0000000000000004,
    2.1000000000000005, 2.2000000000000006, 2.3000000000000007, 2.400000000000001, 2.500000000000001,
    2.600000000000001, 2.700000000000001, 2.800000000000001, 2.9000000000000012};

using Rates = std::function<double(int row)>;

SimulationResults table(double pValue, const Rates& competition, const Rates& facilitation) {
    SimulationResults r;
    for (int row = 1; row <= 29; ++row) {
        r.power(row, 1) = Strengths[row - 1];
        r.power(row, 2) = competition(row);
        r.power(row, 3) = facilitation(row);
    }
    r.CompetitionPValue = pValue;
    return r;
}

Rates constant(double rate) {
    return [rate](int) { return rate; };
}

const std::string Hyphens14(14, '-');
const std::string Hyphens129(129, '-');
const std::string Hyphens137(137, '-');
const std::string Hyphens49(49, '-');

std::string text(const QString& s) { return s.toStdString(); }

// --- Whole texts, every line as it appears -------------------------------

// No usable site type: PValue -1 and Beta {0, 0} at every strength.
TEST(ResultsTextTest, NoUsableSiteTypeGivesOnesAndEveryWarning) {
    const SimulationResults r = table(-1, constant(0), constant(0));
    const std::string expected =
        "P-VALUE\r\n" + Hyphens14 + "\r\n"
        "Competition Test: rejecting the null hypothesis implies competition.\r\n"
        "Competition p-value = 1\r\n"
        "Facilitation/Filtering Test: rejecting the null hypothesis implies facilitation or habitat filtering.\r\n"
        "Facilitation/Filtering p-value= 1\r\n"
        "\r\n"
        "\r\n"
        "TYPE I ERROR RATES:  Null hypothesis rejection rates when the null hypothesis is true\r\n" +
        Hyphens129 + "\r\n"
        "Size (alpha): Maximum Type I error rate.\r\n"
        "Nominal size (alpha) = 0.050\r\n"
        "Actual size (alpha) of Competition Test = 0.000\r\n"
        "*****Competition Test has tolerable Type I error rates.*****\r\n"
        "Actual size (alpha) of Facilitation/Filtering Test = 0.000\r\n"
        "*****Facilitation/Filtering Test has tolerable Type I error rates.*****\r\n"
        "\r\n"
        "\r\n"
        "TYPE II ERROR RATES:  Null hypothesis acceptance rates when the null hypothesis is false\r\n" +
        Hyphens137 + "\r\n"
        "Power: Null hypothesis rejection rates when the null hypothesis is false (1 - Type II error rate).\r\n"
        "Minimum power of Competition Test = 0.000\r\n"
        "Maximum power of Competition Test = 0.000\r\n"
        "*****Warning: Competition Test is biased. The null hypothesis will be rejected more often when it is "
        "true than when it is false.*****\r\n"
        "*****Warning: Competition Test has low power.  The null hypothesis will be rejected no more than 0.0% "
        "of the time when it is false.*****\r\n"
        "Minimum power of Facilitation/Filtering Test = 0.000\r\n"
        "Maximum power of Facilitation/Filtering Test = 0.000\r\n"
        "*****Warning: Facilitation/Filtering Test is biased. The null hypothesis will be rejected more often "
        "when it is true than when it is false.*****\r\n"
        "*****Warning: Facilitation/Filtering Test has low power.  The null hypothesis will be rejected no more "
        "than 0.0% of the time when it is false.*****\r\n"
        "\r\n"
        "\r\n"
        "PRESENCE-ABSENCE MATRIX\r\n" +
        Hyphens49 + "\r\n"
        "Number of rows (species): 20\r\n"
        "Number of columns (sites): 20\r\n";
    EXPECT_EQ(text(ResultsText(r, "20", "20", "")), expected);
}

// Every rate 1 and a p-value of 1: both tests reject a true null every time.
TEST(ResultsTextTest, AllRatesOneGivesHighSizesAndAdequatePower) {
    const SimulationResults r = table(1, constant(1), constant(1));
    const std::string expected =
        "P-VALUE\r\n" + Hyphens14 + "\r\n"
        "Competition Test: rejecting the null hypothesis implies competition.\r\n"
        "Competition p-value = 1\r\n"
        "Facilitation/Filtering Test: rejecting the null hypothesis implies facilitation or habitat filtering.\r\n"
        "Facilitation/Filtering p-value= 0\r\n"
        "\r\n"
        "\r\n"
        "TYPE I ERROR RATES:  Null hypothesis rejection rates when the null hypothesis is true\r\n" +
        Hyphens129 + "\r\n"
        "Size (alpha): Maximum Type I error rate.\r\n"
        "Nominal size (alpha) = 0.050\r\n"
        "Actual size (alpha) of Competition Test = 1.000\r\n"
        "*****Warning: Competition Test has high Type I error rates.  The null hypothesis will be rejected as "
        "much as 100.0% of the time when it is true.*****\r\n"
        "Actual size (alpha) of Facilitation/Filtering Test = 1.000\r\n"
        "*****Warning: Facilitation/Filtering Test has high Type I error rates.  The null hypothesis will be "
        "rejected as much as 100.0% of the time when it is true.*****\r\n"
        "\r\n"
        "\r\n"
        "TYPE II ERROR RATES:  Null hypothesis acceptance rates when the null hypothesis is false\r\n" +
        Hyphens137 + "\r\n"
        "Power: Null hypothesis rejection rates when the null hypothesis is false (1 - Type II error rate).\r\n"
        "Minimum power of Competition Test = 1.000\r\n"
        "Maximum power of Competition Test = 1.000\r\n"
        "*****Competition Test has adequate power.*****\r\n"
        "Minimum power of Facilitation/Filtering Test = 1.000\r\n"
        "Maximum power of Facilitation/Filtering Test = 1.000\r\n"
        "*****Facilitation/Filtering Test has adequate power.*****\r\n"
        "\r\n"
        "\r\n"
        "PRESENCE-ABSENCE MATRIX\r\n" +
        Hyphens49 + "\r\n"
        "Number of rows (species): 15\r\n"
        "Number of columns (sites): 30\r\n";
    EXPECT_EQ(text(ResultsText(r, "15", "30", "")), expected);
}

// A matrix file in a folder, with a blank in its name: the text ends with the
// file line, no folder and no line end. The size boxes' texts are copied as
// they are, whatever they hold.
TEST(ResultsTextTest, FileLineEndsTheTextWithoutALineEnd) {
    // Competition: rows 1-10 at 0.04 (size 0.040); rows 11-29 at 0.5 but row
    // 11 at 0.2 and row 29 at 0.9. Facilitation: rows 1-10 at 0.6 but row 1
    // at 0.95 and row 10 at 0.3; rows 11-29 at 0.03 (size 0.030).
    const SimulationResults r = table(
        0.0312, [](int row) { return row <= 10 ? 0.04 : row == 11 ? 0.2 : row == 29 ? 0.9 : 0.5; },
        [](int row) { return row == 1 ? 0.95 : row == 10 ? 0.3 : row <= 10 ? 0.6 : 0.03; });
    const std::string expected =
        "P-VALUE\r\n" + Hyphens14 + "\r\n"
        "Competition Test: rejecting the null hypothesis implies competition.\r\n"
        "Competition p-value = 0.0312\r\n"
        "Facilitation/Filtering Test: rejecting the null hypothesis implies facilitation or habitat filtering.\r\n"
        "Facilitation/Filtering p-value= 0.9688\r\n"
        "\r\n"
        "\r\n"
        "TYPE I ERROR RATES:  Null hypothesis rejection rates when the null hypothesis is true\r\n" +
        Hyphens129 + "\r\n"
        "Size (alpha): Maximum Type I error rate.\r\n"
        "Nominal size (alpha) = 0.050\r\n"
        "Actual size (alpha) of Competition Test = 0.040\r\n"
        "*****Competition Test has tolerable Type I error rates.*****\r\n"
        "Actual size (alpha) of Facilitation/Filtering Test = 0.030\r\n"
        "*****Facilitation/Filtering Test has tolerable Type I error rates.*****\r\n"
        "\r\n"
        "\r\n"
        "TYPE II ERROR RATES:  Null hypothesis acceptance rates when the null hypothesis is false\r\n" +
        Hyphens137 + "\r\n"
        "Power: Null hypothesis rejection rates when the null hypothesis is false (1 - Type II error rate).\r\n"
        "Minimum power of Competition Test = 0.200\r\n"
        "Maximum power of Competition Test = 0.900\r\n"
        "*****Competition Test has adequate power.*****\r\n"
        "Minimum power of Facilitation/Filtering Test = 0.300\r\n"
        "Maximum power of Facilitation/Filtering Test = 0.950\r\n"
        "*****Facilitation/Filtering Test has adequate power.*****\r\n"
        "\r\n"
        "\r\n"
        "PRESENCE-ABSENCE MATRIX\r\n" +
        Hyphens49 + "\r\n"
        "Number of rows (species): 12\r\n"
        "Number of columns (sites): 3x \r\n"
        "File: \"plot data.txt\"";
    EXPECT_EQ(text(ResultsText(r, "12", "3x ", "/home/ann/field work/plot data.txt")), expected);
}

// --- The lines that change, case by case ---------------------------------
// The fixed lines are those of the whole texts above; each case gives the
// lines that depend on its table, worked by hand.

struct TextCase {
    const char* name;
    double pValue;
    Rates competition;
    Rates facilitation;
    const char* path;
    std::vector<std::string> pValueLines; // lines 4 and 6
    std::vector<std::string> sizeLines;   // lines 13 to 16
    std::vector<std::string> powerLines;  // lines 22 to 31, those present
    std::string fileLine;                 // empty: none
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

std::string expectedText(const TextCase& c) {
    auto lines = [](const std::vector<std::string>& v) {
        std::string s;
        for (const std::string& l : v)
            s += l + "\r\n";
        return s;
    };
    return "P-VALUE\r\n" + Hyphens14 + "\r\n" +
           "Competition Test: rejecting the null hypothesis implies competition.\r\n" + c.pValueLines.at(0) +
           "\r\n" +
           "Facilitation/Filtering Test: rejecting the null hypothesis implies facilitation or habitat "
           "filtering.\r\n" +
           c.pValueLines.at(1) + "\r\n\r\n\r\n" +
           "TYPE I ERROR RATES:  Null hypothesis rejection rates when the null hypothesis is true\r\n" +
           Hyphens129 + "\r\n" + "Size (alpha): Maximum Type I error rate.\r\n" +
           "Nominal size (alpha) = 0.050\r\n" + lines(c.sizeLines) + "\r\n\r\n" +
           "TYPE II ERROR RATES:  Null hypothesis acceptance rates when the null hypothesis is false\r\n" +
           Hyphens137 + "\r\n" +
           "Power: Null hypothesis rejection rates when the null hypothesis is false (1 - Type II error "
           "rate).\r\n" +
           lines(c.powerLines) + "\r\n\r\n" + "PRESENCE-ABSENCE MATRIX\r\n" + Hyphens49 + "\r\n" +
           "Number of rows (species): 20\r\n" + "Number of columns (sites): 20\r\n" + c.fileLine;
}

class ResultsTextCaseTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ResultsTextCaseTest, WritesTheWorkedLines) {
    const TextCase& c = GetParam();
    const SimulationResults r = table(c.pValue, c.competition, c.facilitation);
    EXPECT_EQ(text(ResultsText(r, "20", "20", c.path)), expectedText(c));
}

// A typical Facilitation/Filtering side for the Competition cases: rows 1-10
// between 0.3 and 0.95, rows 11-29 at 0.03.
double typicalFacilitation(int row) { return row == 1 ? 0.95 : row == 10 ? 0.3 : row <= 10 ? 0.6 : 0.03; }

const std::vector<std::string> TypicalFacilitationPower{
    "Minimum power of Facilitation/Filtering Test = 0.300", "Maximum power of Facilitation/Filtering Test = 0.950",
    "*****Facilitation/Filtering Test has adequate power.*****"};

std::vector<std::string> competitionPower(std::vector<std::string> competition) {
    competition.insert(competition.end(), TypicalFacilitationPower.begin(), TypicalFacilitationPower.end());
    return competition;
}

const std::string FacilitationSizeTolerable[] = {
    "Actual size (alpha) of Facilitation/Filtering Test = 0.030",
    "*****Facilitation/Filtering Test has tolerable Type I error rates.*****"};

std::vector<std::string> competitionSize(const std::string& size, const std::string& verdict) {
    return {size, verdict, FacilitationSizeTolerable[0], FacilitationSizeTolerable[1]};
}

const std::vector<std::string> TypicalPValues{"Competition p-value = 0.0312", "Facilitation/Filtering p-value= 0.9688"};

const TextCase Cases[] = {
    // sizeC exactly 0.15 (row 5): the warning, 15.0%; the bias test 0.075 >= 0.2 fails.
    {"SizeExactlyAtTheWarningLevel", 0.0312,
     [](int row) { return row == 5 ? 0.15 : row <= 10 ? 0.05 : row == 11 ? 0.2 : row == 29 ? 0.9 : 0.5; },
     typicalFacilitation, "",
     TypicalPValues,
     competitionSize("Actual size (alpha) of Competition Test = 0.150",
                     "*****Warning: Competition Test has high Type I error rates.  The null hypothesis will be "
                     "rejected as much as 15.0% of the time when it is true.*****"),
     competitionPower({"Minimum power of Competition Test = 0.200", "Maximum power of Competition Test = 0.900",
                       "*****Competition Test has adequate power.*****"}),
     ""},
    // sizeC 0.1496 prints as 0.150 but lies below 0.15: tolerable.
    {"SizeJustBelowTheWarningLevel", 0.0312,
     [](int row) { return row == 5 ? 0.1496 : row <= 10 ? 0.05 : row == 11 ? 0.2 : row == 29 ? 0.9 : 0.5; },
     typicalFacilitation, "",
     TypicalPValues,
     competitionSize("Actual size (alpha) of Competition Test = 0.150",
                     "*****Competition Test has tolerable Type I error rates.*****"),
     competitionPower({"Minimum power of Competition Test = 0.200", "Maximum power of Competition Test = 0.900",
                       "*****Competition Test has adequate power.*****"}),
     ""},
    // sizeC 0.08 (row 3), minC 0.04 (row 20): 0.08 / 2 >= 0.04, biased.
    {"HalfTheSizeReachesTheMinimumPower", 0.0312,
     [](int row) { return row == 3 ? 0.08 : row <= 10 ? 0.01 : row == 20 ? 0.04 : row == 29 ? 0.9 : 0.5; },
     typicalFacilitation, "",
     TypicalPValues,
     competitionSize("Actual size (alpha) of Competition Test = 0.080",
                     "*****Competition Test has tolerable Type I error rates.*****"),
     competitionPower({"Minimum power of Competition Test = 0.040", "Maximum power of Competition Test = 0.900",
                       "*****Warning: Competition Test is biased. The null hypothesis will be rejected more often "
                       "when it is true than when it is false.*****"}),
     ""},
    // sizeC 0.08, minC 0.041: 0.04 < 0.041, not biased.
    {"HalfTheSizeBelowTheMinimumPower", 0.0312,
     [](int row) { return row == 3 ? 0.08 : row <= 10 ? 0.01 : row == 20 ? 0.041 : row == 29 ? 0.9 : 0.5; },
     typicalFacilitation, "",
     TypicalPValues,
     competitionSize("Actual size (alpha) of Competition Test = 0.080",
                     "*****Competition Test has tolerable Type I error rates.*****"),
     competitionPower({"Minimum power of Competition Test = 0.041", "Maximum power of Competition Test = 0.900",
                       "*****Competition Test has adequate power.*****"}),
     ""},
    // maxC 0.1404 < 0.15: low power, 14.0%, and not biased (0.02 < 0.1).
    {"LowPowerAlone", 0.0312,
     [](int row) { return row <= 10 ? 0.04 : row == 11 ? 0.1 : row == 29 ? 0.1404 : 0.12; },
     typicalFacilitation, "",
     TypicalPValues,
     competitionSize("Actual size (alpha) of Competition Test = 0.040",
                     "*****Competition Test has tolerable Type I error rates.*****"),
     competitionPower({"Minimum power of Competition Test = 0.100", "Maximum power of Competition Test = 0.140",
                       "*****Warning: Competition Test has low power.  The null hypothesis will be rejected no "
                       "more than 14.0% of the time when it is false.*****"}),
     ""},
    // maxC exactly 0.15: not low.
    {"MaximumPowerAtTheWarningLevel", 0.0312,
     [](int row) { return row <= 10 ? 0.04 : row == 11 ? 0.1 : row == 29 ? 0.15 : 0.12; },
     typicalFacilitation, "",
     TypicalPValues,
     competitionSize("Actual size (alpha) of Competition Test = 0.040",
                     "*****Competition Test has tolerable Type I error rates.*****"),
     competitionPower({"Minimum power of Competition Test = 0.100", "Maximum power of Competition Test = 0.150",
                       "*****Competition Test has adequate power.*****"}),
     ""},
    // Biased and low power at once: biased first, no adequate line.
    // sizeC 0.3 (row 1) / 2 = 0.15 >= minC 0.1; maxC 0.12 < 0.15.
    {"BiasedAndLowPower", 0.0312,
     [](int row) { return row == 1 ? 0.3 : row <= 10 ? 0.04 : row == 11 ? 0.1 : 0.12; },
     typicalFacilitation, "",
     TypicalPValues,
     competitionSize("Actual size (alpha) of Competition Test = 0.300",
                     "*****Warning: Competition Test has high Type I error rates.  The null hypothesis will be "
                     "rejected as much as 30.0% of the time when it is true.*****"),
     competitionPower({"Minimum power of Competition Test = 0.100", "Maximum power of Competition Test = 0.120",
                       "*****Warning: Competition Test is biased. The null hypothesis will be rejected more often "
                       "when it is true than when it is false.*****",
                       "*****Warning: Competition Test has low power.  The null hypothesis will be rejected no "
                       "more than 12.0% of the time when it is false.*****"}),
     ""},
    // Row 10 (just below 1) enters sizeC and minF/maxF only. Competition:
    // rows 1-9 at 0.01, row 10 at 0.5, rows 11-29 at 0.7 but row 11 at 0.6
    // and row 29 at 0.8: sizeC 0.500 (not 0.010), minC 0.600 (not 0.500).
    // Facilitation: row 1 at 0.7, rows 2-9 at 0.4, row 10 at 0.99, rows 11-29
    // at 0.02: maxF 0.990 (not 0.700), sizeF 0.020 (not 0.990).
    {"RowTenIsOnTheFacilitationSide", 0.0312,
     [](int row) { return row <= 9 ? 0.01 : row == 10 ? 0.5 : row == 11 ? 0.6 : row == 29 ? 0.8 : 0.7; },
     [](int row) { return row == 1 ? 0.7 : row <= 9 ? 0.4 : row == 10 ? 0.99 : 0.02; }, "",
     TypicalPValues,
     {"Actual size (alpha) of Competition Test = 0.500",
      "*****Warning: Competition Test has high Type I error rates.  The null hypothesis will be rejected as much "
      "as 50.0% of the time when it is true.*****",
      "Actual size (alpha) of Facilitation/Filtering Test = 0.020",
      "*****Facilitation/Filtering Test has tolerable Type I error rates.*****"},
     {"Minimum power of Competition Test = 0.600", "Maximum power of Competition Test = 0.800",
      "*****Competition Test has adequate power.*****", "Minimum power of Facilitation/Filtering Test = 0.400",
      "Maximum power of Facilitation/Filtering Test = 0.990",
      "*****Facilitation/Filtering Test has adequate power.*****"},
     ""},
    // A p-value of 0.5: both lines 0.5. A name typed the Windows way loses its folder.
    {"WindowsPathLosesItsFolder", 0.5,
     [](int row) { return row <= 10 ? 0.04 : row == 11 ? 0.2 : row == 29 ? 0.9 : 0.5; }, typicalFacilitation,
     "C:\\Data\\plot data.txt",
     {"Competition p-value = 0.5", "Facilitation/Filtering p-value= 0.5"},
     competitionSize("Actual size (alpha) of Competition Test = 0.040",
                     "*****Competition Test has tolerable Type I error rates.*****"),
     competitionPower({"Minimum power of Competition Test = 0.200", "Maximum power of Competition Test = 0.900",
                       "*****Competition Test has adequate power.*****"}),
     "File: \"plot data.txt\""},
    // A bare name is printed whole; p-value 0.03125 rounds to the even 0.0312,
    // and 1 - 0.03125 = 0.96875 to the even 0.9688.
    {"BareFileNameAndHalfwayPValue", 0.03125,
     [](int row) { return row <= 10 ? 0.04 : row == 11 ? 0.2 : row == 29 ? 0.9 : 0.5; }, typicalFacilitation,
     "birds.txt",
     {"Competition p-value = 0.0312", "Facilitation/Filtering p-value= 0.9688"},
     competitionSize("Actual size (alpha) of Competition Test = 0.040",
                     "*****Competition Test has tolerable Type I error rates.*****"),
     competitionPower({"Minimum power of Competition Test = 0.200", "Maximum power of Competition Test = 0.900",
                       "*****Competition Test has adequate power.*****"}),
     "File: \"birds.txt\""},
};

INSTANTIATE_TEST_SUITE_P(Cases, ResultsTextCaseTest, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

// --- The summaries on their own --------------------------------------------

TEST(FacilitationPValueTest, IsOneForNoUsableSiteTypeElseTheComplement) {
    EXPECT_EQ(FacilitationPValue(-1), 1.0);
    EXPECT_EQ(FacilitationPValue(1), 0.0);
    EXPECT_EQ(FacilitationPValue(0), 1.0);
    EXPECT_EQ(FacilitationPValue(0.25), 0.75);
    // Only -1 exactly is the special value: any other negative is complemented.
    EXPECT_EQ(FacilitationPValue(-0.5), 1.5);
}

struct SummaryCase {
    const char* name;
    Curve curve;
    double sizeC, sizeF, minC, maxC, minF, maxF;
};

void PrintTo(const SummaryCase& c, std::ostream* os) { *os << c.name; }

class SummaryTest : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(SummaryTest, CountsTheRowsOnEachSideOfOne) {
    const SummaryCase& c = GetParam();
    EXPECT_EQ(ActualSize(c.curve, 1), c.sizeC);
    EXPECT_EQ(ActualSize(c.curve, 2), c.sizeF);
    EXPECT_EQ(PowerExtreme(c.curve, -1, 1), c.minC);
    EXPECT_EQ(PowerExtreme(c.curve, 1, 1), c.maxC);
    EXPECT_EQ(PowerExtreme(c.curve, -1, 2), c.minF);
    EXPECT_EQ(PowerExtreme(c.curve, 1, 2), c.maxF);
}

// The size tolerance lies above 1 for both tests: 1 and 1 + 5E-7 are null
// rows of the Competition Test only; 1 + 2E-6 is a null row of the
// Facilitation/Filtering Test; powers compare with 1 exactly.
const SummaryCase SummaryCases[] = {
    // Strength exactly 1: Competition size only; no power row anywhere (start values).
    {"ExactlyOne", {{1.0, 0.3}}, 0.3, 0, 1, 0, 1, 0},
    // Just above 1 within the tolerance: Competition size and Competition power.
    {"WithinTheTolerance", {{1.0000005, 0.3}}, 0.3, 0, 0.3, 0.3, 1, 0},
    // Beyond the tolerance: Facilitation/Filtering size and Competition power.
    {"BeyondTheTolerance", {{1.000002, 0.3}}, 0, 0.3, 0.3, 0.3, 1, 0},
    // Below 1: Competition size and Facilitation/Filtering power.
    {"BelowOne", {{0.5, 0.2}, {0.9999999999999999, 0.6}}, 0.6, 0, 1, 0, 0.2, 0.6},
    // No rows at all: the start values.
    {"NoRows", {}, 0, 0, 1, 0, 1, 0},
};

INSTANTIATE_TEST_SUITE_P(Curves, SummaryTest, ::testing::ValuesIn(SummaryCases),
                         [](const ::testing::TestParamInfo<SummaryCase>& info) { return std::string(info.param.name); });

TEST(SummaryTest, OtherTestNumbersAndModesGiveTheStartValues) {
    const Curve curve{{0.5, 0.4}, {1.5, 0.6}};
    EXPECT_EQ(ActualSize(curve, 0), 0.0);
    EXPECT_EQ(ActualSize(curve, 3), 0.0);
    EXPECT_EQ(PowerExtreme(curve, -1, 3), 1.0);
    EXPECT_EQ(PowerExtreme(curve, 1, 0), 0.0);
    EXPECT_EQ(PowerExtreme(curve, 0, 1), 0.0);
    EXPECT_EQ(PowerExtreme(curve, 2, 2), 0.0);
}

TEST(MatrixFileNameTest, KeepsWhatFollowsTheLastSeparator) {
    EXPECT_EQ(MatrixFileName("/home/ann/plot data.txt").toStdString(), "plot data.txt");
    EXPECT_EQ(MatrixFileName("C:\\Data\\plot data.txt").toStdString(), "plot data.txt");
    EXPECT_EQ(MatrixFileName("/home/ann\\odd/plot.txt").toStdString(), "plot.txt");
    EXPECT_EQ(MatrixFileName("plot data.txt").toStdString(), "plot data.txt");
    EXPECT_EQ(MatrixFileName("/home/ann/").toStdString(), "");
}

} // namespace
