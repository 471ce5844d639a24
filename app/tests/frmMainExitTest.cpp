// Closing the main window: the exit question, its answers, and the windows
// that go with the main window.

#include "app/frmMain.h"

#include "app/frmConfirmExit.h"
#include "app/tests/AppTestSupport.h"
#include "app/tests/LoadedMainWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QtTest/QTest>
#include <memory>

namespace {

enum class Answer { Yes, No, NoByKeyboard, CloseBox, Enter };

class frmMainExit : public apptest::LoadedMainWindow {
protected:

    // Asks the main window to close, answering the question as given; records
    // what the question looked like.
    bool closeAnswering(Answer answer) {
        apptest::whenModalShown([this, answer](QWidget* window) {
            auto* question = qobject_cast<frmConfirmExit*>(window);
            if (!question) {
                ADD_FAILURE() << "the exit question is not the modal window";
                window->hide();
                return;
            }
            // As on a desktop, the question is the active window, so the
            // keys go to its focused button.
            question->activateWindow();
            if (!QTest::qWaitForWindowActive(question))
                ADD_FAILURE() << "the question is not the active window";
            asked.push_back(question);
            owner = question->parentWidget();
            centre = question->frameGeometry().center();
            text = question->lbl1->text();
            title = question->windowTitle();
            switch (answer) {
            case Answer::Yes: QTest::mouseClick(question->cmd1, Qt::LeftButton); break;
            case Answer::No: QTest::mouseClick(question->cmd2, Qt::LeftButton); break;
            case Answer::NoByKeyboard: {
                // Tab to No, then Space, as a user without a mouse answers.
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                if (QApplication::focusWidget() != question->cmd2)
                    ADD_FAILURE() << "Tab did not reach No";
                QTest::keyClick(question->cmd2, Qt::Key_Space);
                break;
            }
            case Answer::CloseBox: question->close(); break;
            case Answer::Enter: QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); break;
            }
            if (question->isVisible()) {
                ADD_FAILURE() << "the answer did not end the question";
                question->hide();
            }
        });
        return form->close();
    }

    std::vector<QPointer<frmConfirmExit>> asked;
    const QWidget* owner = nullptr;
    QPoint centre;
    QString text;
    QString title;
};

TEST_F(frmMainExit, NoKeepsTheProgramRunningUnchanged) {
    form->txtRows->setText(QStringLiteral("33"));
    form->move(form->pos() + QPoint(60, 40)); // away from the screen's centre
    EXPECT_FALSE(closeAnswering(Answer::No));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->txtRows->text(), QStringLiteral("33"));
    EXPECT_EQ(text, QStringLiteral("Exit Marvisk?"));
    EXPECT_EQ(title, QStringLiteral("Marvisk"));
    EXPECT_EQ(owner, form.get());
    // Centred on the screen, not over its owner.
    apptest::expectCentredOn(centre, QGuiApplication::primaryScreen()->availableGeometry());
}

TEST_F(frmMainExit, YesClosesTheWindowAndEveryOtherWindow) {
    QWidget other;
    other.show();
    EXPECT_TRUE(closeAnswering(Answer::Yes));
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(other.isVisible());
    // No window is left open, so the event loop ends with the last one.
    EXPECT_TRUE(QApplication::quitOnLastWindowClosed());
    for (const QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->isVisible()) << window->metaObject()->className();
    ASSERT_EQ(asked.size(), 1u);
    ASSERT_FALSE(asked[0].isNull());
    EXPECT_EQ(asked[0]->ExitFlag(), QStringLiteral("Exit"));
}

TEST_F(frmMainExit, FileExitAsksTheSameQuestion) {
    apptest::whenModalShown([this](QWidget* window) {
        text = static_cast<frmConfirmExit*>(window)->lbl1->text();
        static_cast<frmConfirmExit*>(window)->cmd2_Click();
    });
    form->mnuFileExit->trigger();
    EXPECT_EQ(text, QStringLiteral("Exit Marvisk?"));
    EXPECT_TRUE(form->isVisible());
}

TEST_F(frmMainExit, EnterAnswersYes) {
    EXPECT_TRUE(closeAnswering(Answer::Enter));
    EXPECT_FALSE(form->isVisible());
}

// The question is kept, hidden, between attempts; whichever way No was
// chosen, Enter answers Yes at the next opening.
class EnterAfterNo : public frmMainExit, public ::testing::WithParamInterface<Answer> {};

TEST_P(EnterAfterNo, AnswersYes) {
    EXPECT_FALSE(closeAnswering(GetParam()));
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(closeAnswering(Answer::Enter));
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], asked[1]);
}

INSTANTIATE_TEST_SUITE_P(NoChosen, EnterAfterNo, ::testing::Values(Answer::No, Answer::NoByKeyboard),
                         [](const ::testing::TestParamInfo<Answer>& info) {
                             return std::string(info.param == Answer::No ? "Clicked" : "ByKeyboard");
                         });

TEST_F(frmMainExit, CloseBoxAnswersNoAndDiscardsTheQuestion) {
    EXPECT_FALSE(closeAnswering(Answer::CloseBox));
    EXPECT_TRUE(form->isVisible());
    // The next attempt asks a fresh question, which Yes still answers.
    EXPECT_TRUE(closeAnswering(Answer::Yes));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(asked[0].isNull());
    EXPECT_FALSE(form->isVisible());
}

TEST_F(frmMainExit, SeveralNoesThenYes) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_FALSE(closeAnswering(Answer::No)) << attempt;
        EXPECT_TRUE(form->isVisible()) << attempt;
    }
    EXPECT_TRUE(closeAnswering(Answer::Yes));
    EXPECT_FALSE(form->isVisible());
    // One question, kept between attempts.
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0], asked[3]);
}

TEST(frmConfirmExitWindow, FlagStartsEmptyAndYesSetsIt) {
    frmConfirmExit question;
    EXPECT_EQ(question.ExitFlag(), QString());
    EXPECT_EQ(question.cmd1->text(), QStringLiteral("Yes"));
    EXPECT_EQ(question.cmd2->text(), QStringLiteral("No"));
    EXPECT_TRUE(question.cmd1->isDefault());
    EXPECT_EQ(question.size(), QSize(185, 90));
    // 330, 240, 1935, 375; 240, 790, 1095, 375; 1440, 790, 1095, 375 twips.
    EXPECT_EQ(question.lbl1->geometry(), QRect(22, 16, 129, 25));
    EXPECT_EQ(question.cmd1->geometry(), QRect(16, 52, 73, 25));
    EXPECT_EQ(question.cmd2->geometry(), QRect(96, 52, 73, 25));
    question.show();
    question.cmd2_Click();
    EXPECT_EQ(question.ExitFlag(), QString());
    EXPECT_FALSE(question.isVisible());
    question.show();
    question.cmd1_Click();
    EXPECT_EQ(question.ExitFlag(), QStringLiteral("Exit"));
    EXPECT_FALSE(question.isVisible());
    question.show();
    question.cmd2_Click(); // never reset
    EXPECT_EQ(question.ExitFlag(), QStringLiteral("Exit"));
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
