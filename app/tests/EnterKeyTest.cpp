// Enter presses the focused button in every window, as on the platform the
// program was made for: in the dialogs (where another button than the
// default one may have the focus) and in the main window, which has no
// default button and whose text boxes leave Enter alone.

#include "analysis/Settings.h"
#include "app/frmAbout.h"
#include "app/frmAdvanced.h"
#include "app/frmConfirmExit.h"
#include "app/frmMain.h"
#include "app/tests/AppTestSupport.h"
#include "grid/Grid.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest/QTest>
#include <memory>

namespace {

TEST(EnterKey, OnTheAboutBoxsCloseButtonClosesIt) {
    frmAbout about;
    QWidget* focused = nullptr;
    apptest::whenModalShown([&](QWidget*) {
        focused = about.focusWidget();
        QTest::keyClick(about.cmd1, Qt::Key_Return);
        if (about.isVisible()) {
            ADD_FAILURE() << "Enter left the About box open";
            about.close();
        }
    });
    about.exec();
    EXPECT_EQ(focused, about.cmd1);
    EXPECT_FALSE(about.isVisible());
}

TEST(EnterKey, OnTheOptionsCancelButtonCancels) {
    Settings::IterationCount = 4321;
    QPointer<frmAdvanced> dialog = new frmAdvanced();
    dialog->show();
    QApplication::setActiveWindow(dialog);
    dialog->txt1->setText(QStringLiteral("6000"));
    dialog->cmd2->setFocus();
    QTest::keyClick(dialog->cmd2, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull()) << "the dialog is discarded, as by a click on Cancel";
    EXPECT_EQ(Settings::IterationCount, 4321);
    delete dialog.data();
    Settings::IterationCount = 0;
}

TEST(EnterKey, OnTheExitQuestionsNoButtonAnswersNo) {
    frmConfirmExit question;
    question.show();
    QApplication::setActiveWindow(&question);
    question.cmd2->setFocus();
    QTest::keyClick(question.cmd2, Qt::Key_Return);
    EXPECT_FALSE(question.isVisible());
    EXPECT_EQ(question.ExitFlag(), QString());
}

class MainWindowEnter : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<frmMain>();
        form->Form_Load();
        QApplication::setActiveWindow(form.get());
        form->txtRows->setText(QStringLiteral("7"));
        form->txtCols->setText(QStringLiteral("9"));
    }
    void TearDown() override { form->hide(); }

    apptest::MessageRecorder messages;
    std::unique_ptr<frmMain> form;
};

TEST_F(MainWindowEnter, OnTheFocusedOkButtonAppliesTheSize) {
    form->cmdOK->setFocus();
    QTest::keyClick(form->cmdOK, Qt::Key_Return);
    EXPECT_EQ(form->grd1->Rows(), 7);
    EXPECT_EQ(form->grd1->Cols(), 10);
}

TEST_F(MainWindowEnter, InASizeBoxPressesNoButton) {
    for (QLineEdit* box : {form->txtRows, form->txtCols}) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter);
        EXPECT_EQ(form->grd1->Rows(), 20);
        EXPECT_EQ(form->grd1->Cols(), 21);
    }
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
