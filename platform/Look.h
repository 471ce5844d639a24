#pragma once
// The look that the program's windows share: dark blue backgrounds with white
// label and frame texts, the dialog font, and positions given in twips.

#include <QFont>

class QWidget;

namespace look {

// The dialog font: a plain sans-serif at the given point size (9.75 by default).
QFont dialogFont(double pointSize = 9.75, bool bold = false);
// A serif font for display texts.
QFont serifFont(double pointSize);

// Dark blue background, white texts, the dialog font; buttons and text boxes
// keep the platform's colours because they draw with their own roles.
void applyWindowLook(QWidget* widget);

// The same look for a frame, label or option button inside such a window.
void applyControlLook(QWidget* widget, const QFont& font);

// Places widget at left, top, width and height given in twips, relative to
// its parent.
void placeTwips(QWidget* widget, int left, int top, int width, int height);

} // namespace look
