#pragma once
// Sizes and colours shared by every window. Positions are given in twips
// (1440 to the inch); at 96 dots per inch 15 twips are one pixel.

#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <cmath>

namespace platform {

constexpr int TwipsPerPixel = 15;

// Twips to whole pixels. Nearly every layout size is a multiple of 15; where
// one is not, the fraction of a pixel is dropped (350 twips are 23 pixels).
constexpr int twipsToPixels(int twips) { return twips / TwipsPerPixel; }

// The pixel that a coordinate in pixels names: the nearest one, a half going
// to the lower neighbour, the same way everywhere so that what is drawn and
// what is placed at the same coordinate meet exactly.
inline int nearestPixel(double v) { return static_cast<int>(std::ceil(v - 0.5)); }

// The dark blue of every window's background.
inline QColor windowBackground() { return QColor(0, 0, 96); }

// The platform's own colours, as the current style's palette gives them (a
// QGuiApplication must exist).
inline QColor buttonFaceColour() { return QGuiApplication::palette().color(QPalette::Button); }
inline QColor buttonTextColour() { return QGuiApplication::palette().color(QPalette::ButtonText); }
// The background and text of a window's content (a text box, a grid).
inline QColor windowColour() { return QGuiApplication::palette().color(QPalette::Base); }
inline QColor windowTextColour() { return QGuiApplication::palette().color(QPalette::Text); }
// The background of menus and bars.
inline QColor menuColour() { return QGuiApplication::palette().color(QPalette::Window); }
inline QColor highlightTextColour() { return QGuiApplication::palette().color(QPalette::HighlightedText); }

// Where a window whose frame would lie at frame goes instead, so that it lies
// on the available area of its screen: moved in just far enough where it
// fits, and with its top-left corner (and so its title bar) at the area's
// top left in each direction where it is larger than the area, so that it
// can always be reached and moved.
QPoint keepOnScreen(const QRect& frame, const QRect& available);

} // namespace platform
