// The six persisted properties: which keys a save writes for which values,
// what a load reads, and that loading runs no writer and no layout.

#include "GridTestSupport.h"

#include "analysis/MarviskError.h"
#include "grid/GridLayout.h"

#include <functional>
#include <limits>

namespace {

TEST(PropertyBag, LeavesOutDefaultsAndReadsThemForMissingKeys) {
    PropertyBag bag;
    bag.WriteProperty("A", "5", "0");
    bag.WriteProperty("B", "0", "0");
    bag.WriteProperty("C", "x", "");
    EXPECT_EQ(bag.Keys(), QStringList({"A", "C"}));
    EXPECT_EQ(bag.ReadProperty("A", "0").toString(), "5");
    EXPECT_EQ(bag.ReadProperty("B", "7").toString(), "7");
    // Writing the default over a stored value removes the key.
    bag.WriteProperty("A", "0", "0");
    EXPECT_EQ(bag.Keys(), QStringList({"C"}));
    // Rewriting keeps the key's place.
    bag.WriteProperty("D", "1", "");
    bag.WriteProperty("C", "y", "");
    EXPECT_EQ(bag.Keys(), QStringList({"C", "D"}));
    EXPECT_EQ(bag.ReadProperty("C", "").toString(), "y");
}

struct SaveCase {
    const char* what;
    PropertyBag loaded;
    QStringList keys;
    QStringList values;
};

void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.what; }

const SaveCase saveCases[] = {
    {"main window", mainWindowProperties(), {"CellWidth", "GridRows", "GridCols"}, {"70", "21", "22"}},
    // Every value at its default: nothing at all is stored.
    {"all defaults",
     PropertyBag{{"CellHeight", "20"}, {"CellWidth", "60"}, {"GridRows", "1"}, {"GridCols", "1"}, {"MaxLength", "0"},
                 {"GridToolTipText", ""}},
     {},
     {}},
    {"every key",
     PropertyBag{{"GridToolTipText", "tip"}, {"MaxLength", "12"}, {"GridCols", "3"}, {"GridRows", "4"},
                 {"CellWidth", "61"}, {"CellHeight", "19"}},
     {"CellHeight", "CellWidth", "GridRows", "GridCols", "MaxLength", "GridToolTipText"},
     {"19", "61", "4", "3", "12", "tip"}},
    {"zero sizes are not defaults", PropertyBag{{"CellHeight", "0"}, {"GridRows", "0"}}, {"CellHeight", "GridRows"},
     {"0", "0"}},
};

class Save : public ::testing::TestWithParam<SaveCase> {};

TEST_P(Save, WritesOnlyWhatDiffersFromTheDefaults) {
    const SaveCase& c = GetParam();
    Grid g;
    g.UserControl_ReadProperties(c.loaded);
    PropertyBag saved;
    g.UserControl_WriteProperties(saved);
    EXPECT_EQ(saved.Keys(), c.keys);
    QStringList values;
    for (const QString& key : saved.Keys())
        values.append(saved.ReadProperty(key, QVariant()).toString());
    EXPECT_EQ(values, c.values);
}

INSTANTIATE_TEST_SUITE_P(Cases, Save, ::testing::ValuesIn(saveCases),
                         [](const auto& info) { return caseName(info.param.what); });

TEST(GridPersistence, TheWrittenValuesFollowTheProperties) {
    Grid g;
    g.UserControl_ReadProperties(mainWindowProperties());
    g.MaxLength(5);
    g.GridToolTipText("Enter names of sites here.");
    PropertyBag saved;
    g.UserControl_WriteProperties(saved);
    EXPECT_EQ(saved.ReadProperty("MaxLength", "").toString(), "5");
    EXPECT_EQ(saved.ReadProperty("GridToolTipText", "").toString(), "Enter names of sites here.");
    EXPECT_FALSE(saved.Contains("CellHeight"));
}

TEST(GridPersistence, AStoreWithoutKeysGivesAOneByOneGrid) {
    HostedGrid h(PropertyBag(), 577, 357);
    Grid& g = *h.grid;
    EXPECT_EQ(g.GridRows(), 1);
    EXPECT_EQ(g.GridCols(), 1);
    EXPECT_EQ(g.Rows(), 0);
    EXPECT_EQ(g.Cols(), 0);
    EXPECT_EQ(g.CellHeight(), 20);
    EXPECT_EQ(g.CellWidth(), 60);
    EXPECT_EQ(g.MaxLength(), 0);
    EXPECT_EQ(g.GridToolTipText(), "");
    // Only the header cell shows; the selection (1, 1) lies past the view,
    // so the editor is hidden.
    EXPECT_EQ(g.VisibleRows(), 1);
    EXPECT_EQ(g.VisibleCols(), 1);
    EXPECT_EQ(g.pbx1->size(), QSize(60, 20));
    EXPECT_TRUE(g.txt1->isHidden());
}

TEST(GridPersistence, ReadingRunsNoWriterAndNoLayout) {
    QWidget host;
    Grid* g = new Grid(&host);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    g->setGeometry(0, 0, 577, 357); // lays out a never-persisted grid: 11 x 11
    ASSERT_EQ(g->VisibleRows(), 11);
    const QSize size = g->size();
    g->UserControl_ReadProperties(PropertyBag{{"CellHeight", "0"}, {"GridRows", "21"}});
    // The zero is not replaced and nothing is laid out until the next layout.
    EXPECT_EQ(g->CellHeight(), 0);
    EXPECT_EQ(g->GridRows(), 21);
    EXPECT_EQ(g->VisibleRows(), 11);
    EXPECT_EQ(g->size(), size);
}

// Types text into an emptied editor and returns what it kept.
QString typed(Grid& g, const QString& text) {
    g.txt1->clear();
    QTest::keyClicks(g.txt1, text);
    return g.txt1->text();
}

TEST(GridPersistence, TheEditorTakesTheStoredMaximumLength) {
    Grid g;
    g.UserControl_ReadProperties(PropertyBag{{"MaxLength", "3"}});
    EXPECT_EQ(g.MaxLength(), 3);
    EXPECT_EQ(typed(g, "abcdef"), "abc");
    g.MaxLength(0);
    EXPECT_EQ(typed(g, "abcdef"), "abcdef");
}

TEST(GridPersistence, ANegativeMaximumLengthIsRefused) {
    // Written by the host: refused, the length stays as it was.
    Grid g;
    g.MaxLength(4);
    try {
        g.MaxLength(-1);
        ADD_FAILURE() << "nothing raised";
    } catch (const MarviskError& e) {
        EXPECT_EQ(e.number(), grid::InvalidPropertyValueError);
    }
    EXPECT_EQ(g.MaxLength(), 4);
    EXPECT_EQ(typed(g, "abcdef"), "abcd");
    // Read from a store: refused while the window loads.
    Grid loaded;
    try {
        loaded.UserControl_ReadProperties(PropertyBag{{"MaxLength", "-3"}});
        ADD_FAILURE() << "nothing raised";
    } catch (const MarviskError& e) {
        EXPECT_EQ(e.number(), grid::InvalidPropertyValueError);
    }
}

TEST(GridPersistence, StoredValuesThatDoNotFitRaise) {
    struct Case {
        PropertyBag bag;
        int error;
    };
    const Case cases[] = {
        {PropertyBag{{"CellWidth", "wide"}}, grid::TypeMismatchError},
        {PropertyBag{{"GridRows", ""}}, grid::TypeMismatchError},
        {PropertyBag{{"GridCols", "99999999999"}}, grid::OverflowError},
    };
    for (const Case& c : cases) {
        Grid g;
        try {
            g.UserControl_ReadProperties(c.bag);
            ADD_FAILURE() << "nothing raised for " << c.bag.Keys().join(",").toStdString();
        } catch (const MarviskError& e) {
            EXPECT_EQ(e.number(), c.error);
        }
    }
    // Sizes at the lowest 32-bit value load, but the counts of data rows and
    // columns below them are out of range.
    Grid lowest;
    lowest.UserControl_ReadProperties(PropertyBag{{"GridRows", "-2147483648"}, {"GridCols", "-2147483648"}});
    EXPECT_EQ(lowest.GridRows(), std::numeric_limits<int32_t>::min());
    const std::function<int32_t(const Grid&)> counts[] = {[](const Grid& g) { return g.Rows(); },
                                                          [](const Grid& g) { return g.Cols(); }};
    for (const auto& count : counts) {
        try {
            (void)count(lowest);
            ADD_FAILURE() << "no overflow raised";
        } catch (const MarviskError& e) {
            EXPECT_EQ(e.number(), grid::OverflowError);
        }
    }
    // A length above 16 bits loads, but reading it back overflows.
    Grid g;
    g.UserControl_ReadProperties(PropertyBag{{"MaxLength", "40000"}});
    try {
        (void)g.MaxLength();
        ADD_FAILURE() << "no overflow raised";
    } catch (const MarviskError& e) {
        EXPECT_EQ(e.number(), grid::OverflowError);
    }
}

} // namespace
