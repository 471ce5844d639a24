// The main window as it starts: the default matrix, the size boxes, the focus,
// the controls' captions and tool tips, the menus, and the current folder.

#include "app/frmMain.h"

#include "app/Help.h"
#include "app/tests/AppTestSupport.h"
#include "grid/Grid.h"
#include "platform/FileDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <memory>

namespace {

using apptest::expectCentredOn;

class frmMainStartup : public ::testing::Test {
protected:
    void SetUp() override {
        previousFolder = QDir::currentPath();
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QDir::setCurrent(folder.path()));
        form = std::make_unique<frmMain>();
        form->Form_Load();
    }
    void TearDown() override {
        form->hide();
        form.reset();
        QDir::setCurrent(previousFolder);
    }

    QTemporaryDir folder;
    QString previousFolder;
    std::unique_ptr<frmMain> form;
};

TEST_F(frmMainStartup, GridHoldsTheDefaultMatrixOfTwentyByTwenty) {
    Grid* grid = form->grd1;
    EXPECT_EQ(grid->Rows(), 20);
    EXPECT_EQ(grid->Cols(), 21);
    EXPECT_EQ(grid->GetText(0, 0), QStringLiteral("Species"));
    EXPECT_EQ(grid->GetText(0, 1), QStringLiteral("Guild"));
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(grid->GetText(i, 0), QStringLiteral("Sp%1").arg(i));
        EXPECT_EQ(grid->GetText(i, 1), QStringLiteral("---"));
        EXPECT_EQ(grid->GetText(0, i + 1), QStringLiteral("Site%1").arg(i));
    }
    // Names and guilds only: 2 headers, 20 species, 20 guilds, 20 sites.
    EXPECT_EQ(grid->GetMatrix().sKeys().size(), 62);
    EXPECT_EQ(grid->GetText(1, 2), QStringLiteral("0"));
    EXPECT_EQ(grid->GetText(20, 21), QStringLiteral("0"));
}

TEST_F(frmMainStartup, SizeBoxesFocusAndVisibility) {
    EXPECT_EQ(form->txtRows->text(), QStringLiteral("20"));
    EXPECT_EQ(form->txtCols->text(), QStringLiteral("20"));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->focusWidget(), form->cmdRun);
    EXPECT_TRUE(form->optLocked->isChecked());
    EXPECT_FALSE(form->optOpen->isChecked());
    EXPECT_EQ(form->grd1->GetEdit(), 0);
}

TEST_F(frmMainStartup, ProgramFolderBecomesTheCurrentFolder) {
    EXPECT_EQ(QDir(QDir::currentPath()).canonicalPath(),
              QDir(QCoreApplication::applicationDirPath()).canonicalPath());
}

TEST_F(frmMainStartup, CaptionsAndToolTips) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Marvisk"));
    EXPECT_EQ(form->fra1->title(), QStringLiteral("Presence-Absence Matrix"));
    EXPECT_EQ(form->Frame1->title(), QStringLiteral("Matrix Dimensions"));
    EXPECT_EQ(form->lbl1->text(), QStringLiteral("Rows (Species):"));
    EXPECT_EQ(form->lbl2->text(), QStringLiteral("Columns (Sites):"));
    EXPECT_EQ(form->cmdOK->text(), QStringLiteral("OK"));
    EXPECT_EQ(form->fra2->title(), QStringLiteral("Headers"));
    EXPECT_EQ(form->optLocked->text(), QStringLiteral("Locked for Editing"));
    EXPECT_EQ(form->optOpen->text(), QStringLiteral("Open for Editing"));
    EXPECT_EQ(form->fra3->title(), QStringLiteral("File"));
    EXPECT_EQ(form->cmdOpen->text(), QStringLiteral("Open..."));
    EXPECT_EQ(form->Label1->text(), QStringLiteral("Analysis"));
    EXPECT_EQ(form->cmdRun->text(), QStringLiteral("Run"));

    EXPECT_EQ(form->Frame1->toolTip(), QStringLiteral("Adjust the size of the presence-absence matrix."));
    EXPECT_EQ(form->fra2->toolTip(), QStringLiteral("Edit or lock headers."));
    EXPECT_EQ(form->fra3->toolTip(), QStringLiteral("Click to clear all data."));
    EXPECT_EQ(form->cmdRun->toolTip(), QStringLiteral("Click to run test."));
    EXPECT_EQ(form->fra1->toolTip(), QString());
    EXPECT_EQ(form->cmdOK->toolTip(), QString());
}

TEST_F(frmMainStartup, LayoutInPixelsAtFifteenTwipsAPixel) {
    EXPECT_EQ(form->centralWidget()->size(), QSize(868, 471));
    EXPECT_EQ(form->fra1->geometry(), QRect(16, 20, 833, 425));
    EXPECT_EQ(form->grd1->pos(), QPoint(32, 40));
    EXPECT_EQ(form->Frame1->geometry(), QRect(640, 32, 161, 105));
    EXPECT_EQ(form->txtRows->geometry(), QRect(104, 24, 37, 19));
    EXPECT_EQ(form->cmdRun->geometry(), QRect(728, 366, 57, 17));
    EXPECT_EQ(form->grd1->CellWidth(), 70);
    EXPECT_EQ(form->grd1->CellHeight(), 20);
}

TEST_F(frmMainStartup, EveryControlAtItsPlaceInTwips) {
    apptest::expectPlacesInTwips({
        {form->fra1, form->centralWidget(), {240, 300, 12495, 6375}},
        {form->grd1, form->fra1, {480, 600, 8655, 5355}},
        {form->Frame1, form->fra1, {9600, 480, 2415, 1575}},
        {form->lbl1, form->Frame1, {240, 480, 1455, 255}},
        {form->txtRows, form->Frame1, {1560, 360, 555, 285}},
        {form->lbl2, form->Frame1, {240, 795, 1215, 255}},
        {form->txtCols, form->Frame1, {1560, 720, 555, 285}},
        {form->cmdOK, form->Frame1, {1320, 1200, 855, 255}},
        {form->fra2, form->fra1, {9600, 2400, 2415, 1215}},
        {form->optLocked, form->fra2, {240, 360, 1815, 375}},
        {form->optOpen, form->fra2, {240, 720, 1815, 375}},
        {form->fra3, form->fra1, {9600, 4000, 2415, 735}},
        {form->cmdOpen, form->fra3, {1320, 350, 855, 255}},
        {form->Shape1, form->fra1, {9600, 5280, 2400, 615}},
        {form->Label1, form->fra1, {9720, 5160, 975, 255}},
        {form->cmdRun, form->fra1, {10920, 5490, 855, 255}},
    });
    // The caption of the Analysis box lies over the outline's top edge.
    EXPECT_LT(form->Label1->geometry().top(), form->Shape1->geometry().top());
    EXPECT_GT(form->Label1->geometry().bottom(), form->Shape1->geometry().top());
}

TEST_F(frmMainStartup, NoButtonAnswersEnter) {
    for (QPushButton* button : {form->cmdOK, form->cmdOpen, form->cmdRun}) {
        EXPECT_FALSE(button->isDefault()) << button->text().toStdString();
        EXPECT_FALSE(button->autoDefault()) << button->text().toStdString();
    }
}

TEST_F(frmMainStartup, TabOrderRunsFromTheGridToRun) {
    const QWidget* order[] = {form->optOpen, form->optLocked, form->cmdOK, form->txtRows,
                              form->txtCols, form->cmdOpen, form->cmdRun};
    const QWidget* previous = form->grd1;
    for (const QWidget* next : order) {
        // The next widget in the chain that can take the focus by Tab, the
        // grid's own parts (its editor and scroll bars) being the grid.
        const QWidget* step = previous->nextInFocusChain();
        while (step != next && step != previous &&
               (!(step->focusPolicy() & Qt::TabFocus) || form->grd1->isAncestorOf(step)))
            step = step->nextInFocusChain();
        EXPECT_EQ(step, next) << next->objectName().toStdString();
        previous = next;
    }
}

struct MenuEntry {
    const char* caption; // "-" for a separator
    QKeySequence shortcut;
    bool checkable;
    bool checked;
};

void expectMenu(const QMenu* menu, const char* caption, std::initializer_list<MenuEntry> entries) {
    EXPECT_EQ(menu->title(), QString::fromLatin1(caption));
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(entries.size())) << caption;
    qsizetype k = 0;
    for (const MenuEntry& entry : entries) {
        const QAction* action = actions[k++];
        if (QString::fromLatin1(entry.caption) == QLatin1String("-")) {
            EXPECT_TRUE(action->isSeparator()) << caption << " entry " << k;
            continue;
        }
        EXPECT_EQ(action->text(), QString::fromLatin1(entry.caption));
        EXPECT_EQ(action->shortcut(), entry.shortcut) << entry.caption;
        EXPECT_EQ(action->isCheckable(), entry.checkable) << entry.caption;
        EXPECT_EQ(action->isChecked(), entry.checked) << entry.caption;
        EXPECT_TRUE(action->isEnabled()) << entry.caption;
    }
}

TEST_F(frmMainStartup, MenusWithCaptionsShortcutsAndCheckMark) {
    const QList<QAction*> bar = form->menuBar()->actions();
    ASSERT_EQ(bar.size(), 4);
    EXPECT_EQ(bar[0]->menu(), form->mnuFile);
    EXPECT_EQ(bar[1]->menu(), form->mnuMatrix);
    EXPECT_EQ(bar[2]->menu(), form->mnuAnalysis);
    EXPECT_EQ(bar[3]->menu(), form->mnuHelp);

    expectMenu(form->mnuFile, "&File",
               {{"Open...", QKeySequence(Qt::CTRL | Qt::Key_O), false, false},
                {"Save", QKeySequence(Qt::CTRL | Qt::Key_S), false, false},
                {"-", {}, false, false},
                {"E&xit", {}, false, false}});
    expectMenu(form->mnuMatrix, "&Matrix",
               {{"&Headers Locked For Editing", {}, true, true}, {"&Clear All", {}, false, false}});
    expectMenu(form->mnuAnalysis, "&Analysis",
               {{"&Advanced Options...", {}, false, false}, {"-", {}, false, false}, {"&Run", {}, false, false}});
    expectMenu(form->mnuHelp, "&Help",
               {{"Help Topics", QKeySequence(Qt::Key_F1), false, false},
                {"-", {}, false, false},
                {"&About Marvisk...", {}, false, false}});

    EXPECT_EQ(form->mnuFile->actions()[0], form->mnuFileOpen);
    EXPECT_EQ(form->mnuFile->actions()[1], form->mnuFileSave);
    EXPECT_EQ(form->mnuFile->actions()[3], form->mnuFileExit);
    EXPECT_EQ(form->mnuHelp->actions()[0], form->mnuHelpTopics);
    EXPECT_EQ(form->mnuHelp->actions()[2], form->mnuHelpAbout);
}

TEST_F(frmMainStartup, HelpTopicsOpensGettingStartedFromTheProgramFolder) {
    // After start-up the help file is looked for in the program's folder.
    std::vector<std::pair<QString, QString>> opened;
    setHelpViewer([&](const QString& path, const QString& topic) { opened.emplace_back(path, topic); });
    const QString helpPath = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Marvisk Help.chm"));
    const bool existed = QFile::exists(helpPath);
    if (!existed) {
        QFile file(helpPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    form->mnuHelpTopics->trigger();
    if (!existed)
        QFile::remove(helpPath);
    setHelpViewer({});

    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(QFileInfo(opened[0].first).canonicalFilePath(), QFileInfo(helpPath).canonicalFilePath());
    EXPECT_EQ(opened[0].second, QStringLiteral("Getting Started.htm"));
}

// Ctrl+O, Ctrl+S and F1 reach their menu entries, pressed on the window or
// while a grid cell is being edited.
TEST_F(frmMainStartup, ShortcutKeysReachTheirMenuEntries) {
    QApplication::setActiveWindow(form.get());
    for (const bool editing : {false, true}) {
        SCOPED_TRACE(editing ? "while a cell is being edited" : "on the window");
        // The file dialog answers "cancelled", so Open and Save end at once.
        int dialogs = 0;
        platform::setFileDialogHandler([&](const platform::FileDialogRequest&) {
            ++dialogs;
            return QString();
        });
        QWidget* target = form.get();
        if (editing) {
            form->grd1->txt1->setFocus();
            ASSERT_EQ(QApplication::focusWidget(), form->grd1->txt1);
            target = form->grd1->txt1;
        }
        QSignalSpy open(form->mnuFileOpen, &QAction::triggered);
        QSignalSpy save(form->mnuFileSave, &QAction::triggered);
        QSignalSpy help(form->mnuHelpTopics, &QAction::triggered);
        QTest::keyClick(target, Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(target, Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(target, Qt::Key_F1);
        platform::setFileDialogHandler({});
        EXPECT_EQ(open.count(), 1);
        EXPECT_EQ(save.count(), 1);
        EXPECT_EQ(help.count(), 1);
        EXPECT_EQ(dialogs, 2);
    }
}

TEST_F(frmMainStartup, AboutBoxIsModalWithNoOwnerAndCloses) {
    QString title;
    const QWidget* owner = form.get();
    bool modal = false;
    QPoint centre;
    apptest::whenModalShown([&](QWidget* box) {
        title = box->windowTitle();
        owner = box->parentWidget();
        modal = box->isModal();
        centre = box->frameGeometry().center();
        box->close();
    });
    form->move(form->pos() + QPoint(60, 40)); // away from the screen's centre
    form->mnuHelpAbout->trigger();
    EXPECT_EQ(title, QStringLiteral("About Marvisk"));
    EXPECT_EQ(owner, nullptr);
    EXPECT_TRUE(modal);
    // Centred over the window that opened it, though that window does not own it.
    expectCentredOn(centre, form->frameGeometry());
}

TEST_F(frmMainStartup, AdvancedOptionsIsModalAndOwnedByTheMainWindow) {
    QString title;
    const QWidget* owner = nullptr;
    bool modal = false;
    QPoint centre;
    apptest::whenModalShown([&](QWidget* dialog) {
        title = dialog->windowTitle();
        owner = dialog->parentWidget();
        modal = dialog->isModal();
        centre = dialog->frameGeometry().center();
        static_cast<QDialog*>(dialog)->reject();
    });
    form->move(form->pos() + QPoint(60, 40)); // away from the screen's centre
    form->mnuAdvanced->trigger();
    EXPECT_EQ(title, QStringLiteral("Marvisk -- Options"));
    EXPECT_EQ(owner, form.get());
    EXPECT_TRUE(modal);
    expectCentredOn(centre, form->frameGeometry());
}

TEST_F(frmMainStartup, WindowIsCentredOnTheScreen) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    expectCentredOn(form->frameGeometry().center(), screen->availableGeometry());
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
