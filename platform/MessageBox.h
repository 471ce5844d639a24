#pragma once
// Modal message boxes: no icon, the caller's title and text, OK or Yes/No.
// Tests install a handler that answers in place of the user.

#include <QString>
#include <functional>

namespace platform {

enum class MessageButtons { OK, YesNo };
enum class MessageAnswer { OK, Yes, No };

// Shows the box modally and returns the user's answer. Closing a Yes/No box
// without choosing answers No.
MessageAnswer showMessage(const QString& text, MessageButtons buttons, const QString& title);

// Replaces the real box (an empty handler restores it). The handler sees exactly
// what the user would.
using MessageHandler = std::function<MessageAnswer(const QString& text, MessageButtons buttons,
                                                   const QString& title)>;
void setMessageHandler(MessageHandler handler);

} // namespace platform
