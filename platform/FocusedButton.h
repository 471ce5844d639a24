#pragma once
// Enter presses the focused button, in every window, as it does on the
// platform the program was made for. Qt's buttons answer Enter themselves
// only inside dialogs; a window of another kind passes its key presses here.

class QKeyEvent;
class QWidget;

namespace platform {

// Whether the key is Enter (either key).
bool isEnterKey(const QKeyEvent* event);

// Presses the button that has the focus in window when the key is Enter and
// a button has it; returns whether it pressed one.
bool pressFocusedButton(QWidget* window, const QKeyEvent* event);

} // namespace platform
