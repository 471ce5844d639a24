// The check of a Run's working matrix: the cells trimmed in store order, the
// first non-binary data cell reported by row and site, and at least one guild
// entered. Messages are the program's exact texts, each shown once.

#include "app/ValidateMatrix.h"

#include "analysis/MarviskError.h"
#include "analysis/SparseArray.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Cell {
    int32_t row;
    int32_t col;
    const char* text;
};

struct Shown {
    QString text;
    platform::MessageButtons buttons;
    QString title;
};

class Validation : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setMessageHandler([this](const QString& text, platform::MessageButtons buttons,
                                           const QString& title) {
            shown_.push_back({text, buttons, title});
            return platform::MessageAnswer::OK;
        });
    }
    void TearDown() override { platform::setMessageHandler({}); }

    // Runs the check; returns the message shown ("" for none) and checks that
    // a failure shows exactly one box and throws the user-defined error.
    std::string validate(SparseArray& m) {
        bool thrown = false;
        try {
            ValidateMatrix(m);
        } catch (const MarviskError& e) {
            thrown = true;
            EXPECT_EQ(e.number(), MarviskError::UserDefined);
        }
        EXPECT_EQ(thrown, !shown_.empty());
        if (shown_.empty())
            return {};
        EXPECT_EQ(shown_.size(), 1u);
        EXPECT_EQ(shown_[0].buttons, platform::MessageButtons::OK);
        EXPECT_EQ(shown_[0].title, QStringLiteral("Marvisk"));
        return shown_[0].text.toStdString();
    }

    std::vector<Shown> shown_;
};

SparseArray matrixOf(const std::vector<Cell>& cells) {
    SparseArray m;
    for (const Cell& c : cells)
        m.sValue(c.row, c.col, QString::fromLatin1(c.text));
    return m;
}

const char* const Error05 = "Error 05: No guilds entered.  Aborting analysis.";

std::string error04(int row, int site) {
    return "Error 04: Presence-absence matrix contains a non-binary entry in cell " + std::to_string(row) +
           "," + std::to_string(site) + ".  Aborting analysis.";
}

// A 3-species, 4-site matrix; guild of species 1 given by the case.
std::vector<Cell> baseMatrix(const char* guild1) {
    return {{0, 0, "Species"}, {0, 1, "Guild"}, {0, 2, "Site1"}, {0, 3, "Site2"}, {0, 4, "Site3"},
            {0, 5, "Site4"},   {1, 0, "Sp1"},   {1, 1, guild1},  {2, 0, "Sp2"},   {2, 1, "---"},
            {3, 0, "Sp3"},     {3, 1, "---"},   {1, 2, "1"},     {2, 3, "1"},     {3, 4, "1"}};
}

struct ValidationCase {
    const char* name;
    const char* guild1;
    std::vector<Cell> extra; // written after the base matrix, in this order
    std::string message;     // "" when the matrix passes
};

class ValidationCases : public Validation, public ::testing::WithParamInterface<ValidationCase> {};

TEST_P(ValidationCases, ShowsTheFirstFailureOnly) {
    std::vector<Cell> cells = baseMatrix(GetParam().guild1);
    cells.insert(cells.end(), GetParam().extra.begin(), GetParam().extra.end());
    SparseArray m = matrixOf(cells);
    EXPECT_EQ(validate(m), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Matrices, ValidationCases,
    ::testing::Values(
        ValidationCase{"GuildEntered", "A", {}, ""},
        ValidationCase{"AllGuildsNone", "---", {}, Error05},
        ValidationCase{"GuildOfBlanksCountsAsEntered", "   ", {}, ""},
        ValidationCase{"EmptyGuildCountsAsEntered", "", {}, ""},
        ValidationCase{"BlanksAroundNoGuildAreNoGuild", " --- ", {}, Error05},
        // The guild heading is not a guild.
        ValidationCase{"GuildHeadingIsNoGuild", "---", {{0, 1, "A"}}, Error05},
        ValidationCase{"TwoAtRow3Column5", "A", {{3, 5, "2"}}, error04(3, 4)},
        ValidationCase{"BlanksAroundOneAndZeroPass", "A", {{1, 3, "1 "}, {2, 4, " 1"}, {3, 5, " 0 "}}, ""},
        ValidationCase{"EmptyDataCellFails", "A", {{2, 2, ""}}, error04(2, 1)},
        ValidationCase{"LetterFails", "A", {{1, 4, "x"}}, error04(1, 3)},
        // Only space characters are trimmed.
        ValidationCase{"TabIsNotTrimmed", "A", {{1, 4, "1\t"}}, error04(1, 3)},
        ValidationCase{"LeadingZeroFails", "A", {{1, 4, "01"}}, error04(1, 3)},
        // A bad data cell comes first, even when the guilds would fail too and
        // when the bad cell is the last one stored.
        ValidationCase{"Error04BeforeError05", "---", {{3, 5, "x"}}, error04(3, 4)},
        // The first failing cell in the order the cells were stored, not by position.
        ValidationCase{"FirstInStoreOrder", "A", {{3, 5, "y"}, {1, 3, "x"}}, error04(3, 4)},
        // Names and headings are trimmed but not checked.
        ValidationCase{"NamesAreNotChecked", "A", {{0, 6, "x"}, {4, 0, "?"}}, ""}),
    [](const ::testing::TestParamInfo<ValidationCase>& info) { return std::string(info.param.name); });

TEST_F(Validation, AnAbsentGuildNeitherCountsNorFails) {
    SparseArray m = matrixOf({{0, 0, "Species"}, {1, 0, "Sp1"}, {1, 2, "1"}, {2, 0, "Sp2"}, {2, 2, "1"}});
    EXPECT_EQ(validate(m), Error05);
}

TEST_F(Validation, TrimsEveryCellOfTheCopy) {
    SparseArray m = matrixOf({{0, 0, " Species "},
                              {0, 2, "  Site 1"},
                              {1, 0, " Sp1"},
                              {1, 1, " A "},
                              {1, 2, "1 "},
                              {1, 3, " 0 "},
                              {2, 0, "Sp2  "},
                              {2, 1, "A"}});
    EXPECT_EQ(validate(m), "");
    EXPECT_EQ(m.sValue(0, 0), QStringLiteral("Species"));
    EXPECT_EQ(m.sValue(0, 2), QStringLiteral("Site 1"));
    EXPECT_EQ(m.sValue(1, 0), QStringLiteral("Sp1"));
    EXPECT_EQ(m.sValue(1, 1), QStringLiteral("A"));
    EXPECT_EQ(m.sValue(1, 2), QStringLiteral("1"));
    EXPECT_EQ(m.sValue(2, 0), QStringLiteral("Sp2"));
    // " 0 " trims to "0" and leaves the store: its row and column count drop.
    EXPECT_FALSE(m.sKeys().contains(QStringLiteral("1,3")));
    EXPECT_EQ(m.sKeys().size(), 7);
    EXPECT_EQ(m.RowCount().Item(1), 3);
    EXPECT_EQ(m.ColCount().Item(3), 0);
}

} // namespace
