#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <utility>

namespace platform {

namespace {
MessageHandler& handlerSlot() {
    static MessageHandler handler;
    return handler;
}
} // namespace

MessageAnswer showMessage(const QString& text, MessageButtons buttons, const QString& title) {
    if (handlerSlot())
        return handlerSlot()(text, buttons, title);

    QMessageBox box(QMessageBox::NoIcon, title, text,
                    buttons == MessageButtons::OK ? QMessageBox::Ok
                                                  : (QMessageBox::Yes | QMessageBox::No),
                    QApplication::activeWindow());
    if (buttons == MessageButtons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    const int answer = box.exec();
    if (buttons == MessageButtons::OK)
        return MessageAnswer::OK;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

void setMessageHandler(MessageHandler handler) { handlerSlot() = std::move(handler); }

} // namespace platform
