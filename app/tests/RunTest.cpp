// The road of a Run where it ends before any result: a validation that fails
// (its message, once), a matrix without a qualifying site, and a co-occurrence
// test library that cannot be found (this program has none beside it). Each
// ends with the main window back, the normal pointer, the progress window
// hidden, no results window, and the grid as typed. Both the Run button and
// the Analysis menu's entry take the same road.

#include "app/frmMain.h"
#include "app/tests/LoadedMainWindow.h"

#include "analysis/Settings.h"
#include "analysis/frmProgress.h"
#include "app/frmAdvanced.h"
#include "grid/Grid.h"
#include "platform/MessageBox.h"
#include "tests/support/WidgetTestMain.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Cell {
    int32_t row;
    int32_t col;
    const char* text;
};

// Three species of guilds " A", "A" and "B" over four sites, every site with
// at least two stored cells: the matrix passes validation and gives site types.
std::vector<Cell> runnableMatrix() {
    return {{0, 0, "Species"}, {0, 1, "Guild"}, {0, 2, "Site1"}, {0, 3, "Site2"}, {0, 4, "Site3"},
            {0, 5, "Site4"},   {1, 0, " Sp1"},  {1, 1, " A"},    {2, 0, "Sp2 "},  {2, 1, "A"},
            {3, 0, "Sp3"},     {3, 1, "B"},     {1, 2, "1"},     {2, 2, "1 "},    {3, 3, "1"},
            {1, 4, "1"},       {2, 5, "1"}};
}

struct RoadCase {
    const char* name;
    std::vector<Cell> cells;
    std::vector<std::string> messages;
    bool reachesAnalysis; // the progress window was shown on the way
};

using apptest::ShowCounter;

// Runs an action each time the watched window is shown.
class OnShow : public QObject {
public:
    explicit OnShow(std::function<void()> action) : action_(std::move(action)) {}
    int shows = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            ++shows;
            action_();
        }
        return false;
    }

private:
    std::function<void()> action_;
};

enum class Entry { Button, Menu };

class RunRoad : public ::testing::TestWithParam<std::tuple<RoadCase, Entry>> {
protected:
    void SetUp() override {
        platform::setMessageHandler([this](const QString& text, platform::MessageButtons, const QString& title) {
            shown_.push_back(text.toStdString());
            // Validation runs under the hourglass.
            EXPECT_EQ(window_->cursor().shape(), Qt::WaitCursor);
            EXPECT_EQ(title, QStringLiteral("Marvisk"));
            return platform::MessageAnswer::OK;
        });
        window_ = std::make_unique<frmMain>();
        window_->Form_Load();
    }
    void TearDown() override {
        window_.reset();
        platform::setMessageHandler({});
    }

    static bool resultsWindowShown() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->inherits("frmResults") && w->isVisible())
                return true;
        return false;
    }

    std::unique_ptr<frmMain> window_;
    std::vector<std::string> shown_;
};

TEST_P(RunRoad, EndsSilentlyWithTheMainWindowBack) {
    namespace fs = std::filesystem;
    const fs::path beside = fs::read_symlink("/proc/self/exe").parent_path() / "libQuorlan.so";
    ASSERT_FALSE(fs::exists(beside)) << "this test needs the library to be missing";

    const auto& [road, entry] = GetParam();
    window_->txtRows->setText(QStringLiteral("3"));
    window_->txtCols->setText(QStringLiteral("4"));
    window_->cmdOK_Click();
    SparseArray m;
    for (const Cell& c : road.cells)
        m.sValue(c.row, c.col, QString::fromLatin1(c.text));
    window_->grd1->SetMatrix(m, 0, 0);
    const QStringList keysBefore = window_->grd1->GetMatrix().sKeys();

    ShowCounter progressShows(window_.get());
    progressWindow().installEventFilter(&progressShows);
    if (entry == Entry::Button)
        QTest::mouseClick(window_->cmdRun, Qt::LeftButton);
    else
        window_->mnuRun->trigger();

    progressWindow().removeEventFilter(&progressShows);
    EXPECT_EQ(shown_, road.messages);
    EXPECT_EQ(progressShows.shows, road.reachesAnalysis ? 1 : 0);
    EXPECT_FALSE(progressShows.mainVisibleAtShow) << "the main window is hidden during the analysis";
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(window_->cursor().shape(), Qt::ArrowCursor) << "the pointer is back to normal";
    EXPECT_FALSE(progressWindow().isVisible());
    EXPECT_FALSE(resultsWindowShown());
    // Validation trimmed its own copy only: the grid keeps what was typed.
    const SparseArray after = window_->grd1->GetMatrix();
    EXPECT_EQ(after.sKeys(), keysBefore);
    EXPECT_EQ(after.sValue(1, 0), QStringLiteral(" Sp1"));
    EXPECT_EQ(after.sValue(1, 1), road.cells[7].text);
    EXPECT_EQ(after.sValue(2, 2), QStringLiteral("1 "));
}

std::vector<Cell> with(std::vector<Cell> cells, std::vector<Cell> more) {
    cells.insert(cells.end(), more.begin(), more.end());
    return cells;
}

// Guilds replaced by "---" (the base matrix's guild cells are 7, 9 and 11).
std::vector<Cell> noGuilds(std::vector<Cell> cells) {
    for (size_t i : {7u, 9u, 11u})
        cells[i].text = "---";
    return cells;
}

INSTANTIATE_TEST_SUITE_P(
    Roads, RunRoad,
    ::testing::Combine(
        ::testing::Values(
            RoadCase{"LibraryMissing", runnableMatrix(), {}, true},
            RoadCase{"NonBinaryCell",
                     with(runnableMatrix(), {{3, 5, "2"}}),
                     {"Error 04: Presence-absence matrix contains a non-binary entry in cell 3,4.  Aborting analysis."}, false},
            RoadCase{"NoGuild", noGuilds(runnableMatrix()), {"Error 05: No guilds entered.  Aborting analysis."}, false},
            // Passes validation, but no site column holds two stored cells.
            RoadCase{"NoQualifyingSite",
                     {{1, 0, " Sp1"}, {1, 1, "A"}, {2, 0, "Sp2"}, {2, 1, "B"}, {3, 0, "Sp3"}, {3, 1, "B"},
                      {0, 0, "Species"}, {1, 1, " A"}, {2, 2, "1 "}, {3, 3, "1"}},
                     {},
                     false}),
        ::testing::Values(Entry::Button, Entry::Menu)),
    [](const ::testing::TestParamInfo<std::tuple<RoadCase, Entry>>& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) == Entry::Button ? "_Button" : "_Menu");
    });

// An options dialog left open (not modal) after a refused value takes no
// input while the analysis runs, so the settings cannot change in the middle
// of a Run; it takes input again once the Run is over.
TEST(RunWithOptionsOpen, TheOptionsDialogIsHeldDuringTheAnalysis) {
    std::vector<std::string> shown;
    platform::setMessageHandler([&](const QString& text, platform::MessageButtons, const QString&) {
        shown.push_back(text.toStdString());
        return platform::MessageAnswer::OK;
    });
    Settings::IterationCount = 3000;
    Settings::RandomSeed = 5;
    frmMain window;
    window.Form_Load();
    window.txtRows->setText(QStringLiteral("3"));
    window.txtCols->setText(QStringLiteral("4"));
    window.cmdOK_Click();
    SparseArray m;
    for (const Cell& c : runnableMatrix())
        m.sValue(c.row, c.col, QString::fromLatin1(c.text));
    window.grd1->SetMatrix(m, 0, 0);

    QPointer<frmAdvanced> options = new frmAdvanced(&window);
    options->show();
    options->txt1->setText(QStringLiteral("0"));
    options->cmd1_Click(); // refused: shown again, not modal
    ASSERT_EQ(shown, std::vector<std::string>{"Error 01: Number of iterations must be an integer greater than 0."});
    ASSERT_TRUE(options->isVisible());
    options->txt1->setText(QStringLiteral("5000"));
    options->txt2->setText(QStringLiteral("9"));

    // When the analysis starts, the user presses OK in the dialog.
    bool enabledDuringAnalysis = true;
    OnShow atAnalysis([&] {
        enabledDuringAnalysis = options->isEnabled();
        QTest::mouseClick(options->cmd1, Qt::LeftButton);
    });
    progressWindow().installEventFilter(&atAnalysis);
    QTest::mouseClick(window.cmdRun, Qt::LeftButton);
    progressWindow().removeEventFilter(&atAnalysis);

    EXPECT_EQ(atAnalysis.shows, 1);
    EXPECT_FALSE(enabledDuringAnalysis);
    EXPECT_EQ(Settings::IterationCount, 3000);
    EXPECT_EQ(Settings::RandomSeed, 5);
    ASSERT_FALSE(options.isNull());
    EXPECT_TRUE(options->isEnabled()) << "the dialog takes input again after the Run";

    QTest::mouseClick(options->cmd1, Qt::LeftButton);
    EXPECT_EQ(Settings::IterationCount, 5000);
    EXPECT_EQ(Settings::RandomSeed, 9);

    platform::setMessageHandler({});
    Settings::IterationCount = 0;
    Settings::RandomSeed = 0;
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
