#pragma once
// Saving an image as a Windows bitmap (.bmp) file.

#include <QImage>
#include <QString>

namespace platform {

// Writes image to path as a BMP, replacing an existing file only when the
// whole file has been written; returns false (leaving any old file intact)
// when the image is empty or the file cannot be written. Where the folder
// takes no new file but the file at path can be written, the file is written
// in place, and a failure may leave it cut short.
bool saveBitmap(const QImage& image, const QString& path);

} // namespace platform
