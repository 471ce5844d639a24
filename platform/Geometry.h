#pragma once
// Sizes and colours shared by every window. Positions are given in twips
// (1440 to the inch); at 96 dots per inch 15 twips are one pixel.

#include <QColor>

namespace platform {

constexpr int TwipsPerPixel = 15;

// Twips to whole pixels; the layouts only use multiples of 15.
constexpr int twipsToPixels(int twips) { return twips / TwipsPerPixel; }

// The dark blue of every window's background.
inline QColor windowBackground() { return QColor(0, 0, 96); }

} // namespace platform
