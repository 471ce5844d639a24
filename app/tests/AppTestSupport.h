#pragma once
// What the window tests share: one application object, message boxes that
// answer from a script and record what they showed, a way to act inside a
// modal display once it is up, and checks of where controls and windows lie.

#include "platform/MessageBox.h"
#include "tests/support/WidgetTestMain.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <deque>
#include <functional>
#include <initializer_list>
#include <vector>

namespace apptest {

// The application object of the test program (see MARVISK_WIDGET_TEST_MAIN).
inline QApplication& application() { return *qobject_cast<QApplication*>(QCoreApplication::instance()); }

struct ShownMessage {
    QString text;
    platform::MessageButtons buttons;
    QString title;
};

// Installs itself as the message box for its lifetime. A Yes/No box takes the
// next scripted answer (No when the script has run out); an OK box answers OK.
class MessageRecorder {
public:
    MessageRecorder() {
        platform::setMessageHandler([this](const QString& text, platform::MessageButtons buttons,
                                           const QString& title) {
            shown.push_back({text, buttons, title});
            if (buttons == platform::MessageButtons::OK)
                return platform::MessageAnswer::OK;
            if (answers.empty())
                return platform::MessageAnswer::No;
            const platform::MessageAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~MessageRecorder() { platform::setMessageHandler({}); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    std::deque<platform::MessageAnswer> answers;
    std::vector<ShownMessage> shown;
};

// Runs action on the active modal window as soon as the event loop of the
// modal display that the caller is about to start comes round; the action must
// end that display. Asks only for the next pass of the loop, no waiting.
inline void whenModalShown(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal) {
            action(modal);
            return;
        }
        // No modal window came up: end every dialog so the test fails instead of hanging.
        ADD_FAILURE() << "no modal window is shown";
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
                dialog->hide();
        }
    });
}

// A control's place as given in twips: its container, then left, top, width
// and height, each divided by 15 (whole pixels, the remainder dropped).
struct TwipsPlace {
    const QWidget* control;
    const QWidget* container;
    QRect twips;
};

inline void expectPlacesInTwips(std::initializer_list<TwipsPlace> places) {
    for (const TwipsPlace& place : places) {
        const QRect& t = place.twips;
        EXPECT_EQ(place.control->parentWidget(), place.container) << t.x() << "," << t.y();
        EXPECT_EQ(place.control->geometry(), QRect(t.x() / 15, t.y() / 15, t.width() / 15, t.height() / 15))
            << t.x() << "," << t.y();
    }
}

// A window's centre lies on the centre of the area. A window is placed before
// the platform gives it a frame, so the frame's edge (2 pixels offscreen) and
// the pixel that halving an odd size leaves over may shift it.
inline void expectCentredOn(QPoint centre, const QRect& area) {
    EXPECT_LE(std::abs(centre.x() - area.center().x()), 3) << centre.x() << " " << area.center().x();
    EXPECT_LE(std::abs(centre.y() - area.center().y()), 3) << centre.y() << " " << area.center().y();
}

} // namespace apptest
