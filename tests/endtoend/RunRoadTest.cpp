// The road of a Run with the real co-occurrence test library beside the
// program: a Run that completes hides the main window until its results
// window closes; a Cancel in the progress window ends the Run silently with
// the main window back, and the next Run starts clean.

#include "app/frmMain.h"
#include "app/tests/LoadedMainWindow.h"

#include "analysis/Settings.h"
#include "analysis/frmProgress.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "grid/Grid.h"
#include "results/ResultsWidgets.h"
#include "results/frmResults.h"
#include "tests/support/WidgetTestMain.h"

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using apptest::ShowCounter;

QWidget* shownResultsWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("frmResults") && w->isVisible())
            return w;
    return nullptr;
}

class RunWithLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setMessageHandler([this](const QString& text, platform::MessageButtons, const QString&) {
            shown_.push_back(text.toStdString());
            return platform::MessageAnswer::OK;
        });
        // The lizards example: 8 species of 3 guilds over 10 dunes, 5 usable sites.
        platform::setFileDialogHandler([](const platform::FileDialogRequest&) {
            return qEnvironmentVariable("MARVISK_SOURCE_DIR") + QStringLiteral("/examples/desert-lizards-comma.txt");
        });
        Settings::IterationCount = 200;
        Settings::RandomSeed = 3;
        window_ = std::make_unique<frmMain>();
        window_->Form_Load();
        window_->cmdOpen_Click();
        ASSERT_TRUE(shown_.empty());
        progressShows_ = std::make_unique<ShowCounter>(window_.get());
        progressWindow().installEventFilter(progressShows_.get());
    }
    void TearDown() override {
        progressWindow().removeEventFilter(progressShows_.get());
        if (QWidget* results = shownResultsWindow())
            results->close();
        window_.reset();
        platform::setMessageHandler({});
        platform::setFileDialogHandler({});
        Settings::IterationCount = 0;
        Settings::RandomSeed = 0;
        Settings::MatrixFilePath.clear();
    }

    // The state that every ending of a Run leaves the main window in.
    void expectMainWindowBack() {
        EXPECT_TRUE(window_->isVisible());
        EXPECT_EQ(window_->cursor().shape(), Qt::ArrowCursor);
        EXPECT_FALSE(progressWindow().isVisible());
    }

    std::unique_ptr<frmMain> window_;
    std::vector<std::string> shown_;
    std::unique_ptr<ShowCounter> progressShows_;
};

TEST_F(RunWithLibrary, MainWindowHiddenUntilTheResultsWindowCloses) {
    QTest::mouseClick(window_->cmdRun, Qt::LeftButton);

    EXPECT_TRUE(shown_.empty());
    QWidget* results = shownResultsWindow();
    ASSERT_NE(results, nullptr);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(window_->cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(progressWindow().isVisible());
    EXPECT_EQ(progressShows_->shows, 1);
    EXPECT_FALSE(progressShows_->mainVisibleAtShow);

    results->close();
    QApplication::processEvents();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(shownResultsWindow(), nullptr);
}

TEST_F(RunWithLibrary, CancelEndsSilentlyAndTheNextRunStartsClean) {
    // Clicked when the analysis first lets events run: before its first library call.
    QMetaObject::invokeMethod(
        &progressWindow(), [] { progressWindow().cmd1->click(); }, Qt::QueuedConnection);
    window_->mnuRun_Click();

    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(shownResultsWindow(), nullptr);
    EXPECT_EQ(progressShows_->shows, 1);
    expectMainWindowBack();

    window_->cmdRun_Click();
    EXPECT_TRUE(shown_.empty());
    EXPECT_NE(shownResultsWindow(), nullptr);
    EXPECT_FALSE(window_->isVisible());
}

// Blanks around names and guilds are the typist's, not the data's: the
// analysis sees " Sit-and-wait " as the guild Sit-and-wait, while the grid
// keeps what was typed. Without the trimming the species would form a guild
// of its own and every number would change.
TEST_F(RunWithLibrary, BlanksAroundNamesAndGuildsDoNotReachTheAnalysis) {
    auto runText = [this] {
        window_->cmdRun_Click();
        QWidget* results = shownResultsWindow();
        EXPECT_NE(results, nullptr);
        if (!results)
            return QString();
        const QString text = static_cast<frmResults*>(results)->txt1->Text();
        results->close();
        QApplication::processEvents();
        return text;
    };
    const QString plain = runText();
    window_->grd1->SetText(QStringLiteral(" Sit-and-wait "), 2, 1);
    window_->grd1->SetText(QStringLiteral("Sceloporus_B  "), 2, 0);
    window_->grd1->SetText(QStringLiteral("  Active"), 5, 1);
    const QString padded = runText();
    EXPECT_TRUE(shown_.empty());
    EXPECT_TRUE(plain.startsWith(QStringLiteral("P-VALUE\r\n")));
    EXPECT_EQ(padded.toStdString(), plain.toStdString());
    EXPECT_EQ(window_->grd1->GetText(2, 1), QStringLiteral(" Sit-and-wait "));
    EXPECT_EQ(window_->grd1->GetText(5, 1), QStringLiteral("  Active"));

    // A present species typed "1 " is present. Rewriting a data cell moves its
    // site in the order the simulation sees the sites, so only the p-values,
    // which do not depend on that order, are compared.
    window_->grd1->SetText(QStringLiteral("1 "), 5, 3);
    const QString retyped = runText();
    const qsizetype pValueBlock = plain.indexOf(QStringLiteral("TYPE I ERROR RATES"));
    ASSERT_GT(pValueBlock, 0);
    EXPECT_EQ(retyped.left(pValueBlock).toStdString(), plain.left(pValueBlock).toStdString());
    EXPECT_EQ(window_->grd1->GetText(5, 3), QStringLiteral("1 "));
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
