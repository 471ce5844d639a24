#pragma once
// The look that the program's windows share: dark blue backgrounds with white
// label and frame texts, the dialog and picture-box fonts, positions given in
// twips, and windows that open centred and on the screen.

#include <QFont>
#include <QRect>

class QWidget;

namespace look {

// The dialog font: a plain sans-serif at the given point size (9.75 by default).
QFont dialogFont(double pointSize = 9.75, bool bold = false);
// The font of the texts printed on picture boxes and in the grid's cells: a
// sans-serif face narrow by design, at its own width.
QFont pictureBoxFont(double pointSize = 9.75);
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

// Centres the window over the area (the available area of the screen when
// the area is empty), then keeps it on the available area of the screen that
// the centre lies on: a window that fits lies wholly on it, one that does not
// has its top-left corner and title bar on it.
void centreWindow(QWidget* window, const QRect& area = QRect());

} // namespace look
