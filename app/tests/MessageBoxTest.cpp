// The program's message box as the user meets it: modal, no icon, the given
// title and text, OK alone or Yes and No, and the answer each way of closing
// it gives.

#include "platform/MessageBox.h"

#include "app/tests/AppTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QtTest/QTest>
#include <functional>

namespace {

using platform::MessageAnswer;
using platform::MessageButtons;

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Question;
    QMessageBox::StandardButtons buttons;
    Qt::WindowModality modality = Qt::NonModal;
};

// Shows the real box and acts on it once it is up.
MessageAnswer showAndAct(MessageButtons buttons, SeenBox& seen,
                         const std::function<void(QMessageBox*)>& act) {
    apptest::whenModalShown([&seen, act](QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (!box) {
            ADD_FAILURE() << "the message box is not the modal window";
            window->hide();
            return;
        }
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.modality = box->windowModality();
        act(box);
    });
    return platform::showMessage(QStringLiteral("Error 08: Number of rows must be greater than 0."),
                                 buttons, QStringLiteral("Marvisk Error"));
}

TEST(MessageBox, OkBoxShowsTitleAndTextWithoutAnIcon) {
    SeenBox seen;
    const MessageAnswer answer = showAndAct(MessageButtons::OK, seen, [](QMessageBox* box) {
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    EXPECT_EQ(answer, MessageAnswer::OK);
    EXPECT_EQ(seen.title, QStringLiteral("Marvisk Error"));
    EXPECT_EQ(seen.text, QStringLiteral("Error 08: Number of rows must be greater than 0."));
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_NE(seen.modality, Qt::NonModal);
}

TEST(MessageBox, YesNoBoxAnswersAsTheUserCloses) {
    struct {
        const char* how;
        std::function<void(QMessageBox*)> act;
        MessageAnswer expected;
    } const cases[] = {
        {"Yes", [](QMessageBox* box) { QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton); },
         MessageAnswer::Yes},
        {"No", [](QMessageBox* box) { QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton); },
         MessageAnswer::No},
        {"Enter", [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }, MessageAnswer::Yes},
        {"Escape", [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }, MessageAnswer::No},
        {"close box", [](QMessageBox* box) { box->close(); }, MessageAnswer::No},
    };
    for (const auto& c : cases) {
        SeenBox seen;
        EXPECT_EQ(showAndAct(MessageButtons::YesNo, seen, c.act), c.expected) << c.how;
        EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No) << c.how;
        EXPECT_EQ(seen.icon, QMessageBox::NoIcon) << c.how;
        EXPECT_EQ(seen.title, QStringLiteral("Marvisk Error")) << c.how;
    }
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
