#pragma once
// Saving an image as a Windows bitmap (.bmp) file.

#include <QImage>
#include <QString>

namespace platform {

// Writes image to path as a BMP, replacing an existing file only when the
// whole file has been written; returns false (leaving any old file intact)
// when the image is empty or the file cannot be written, also where the
// file is written in place (see FileSave).
bool saveBitmap(const QImage& image, const QString& path);

} // namespace platform
