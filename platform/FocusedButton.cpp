#include "platform/FocusedButton.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace platform {

bool isEnterKey(const QKeyEvent* event) { return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter; }

bool pressFocusedButton(QWidget* window, const QKeyEvent* event) {
    if (!isEnterKey(event))
        return false;
    auto* button = qobject_cast<QPushButton*>(window->focusWidget());
    if (!button || !button->isEnabled() || !button->isVisible())
        return false;
    button->click();
    return true;
}

} // namespace platform
