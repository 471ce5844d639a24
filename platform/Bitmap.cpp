#include "platform/Bitmap.h"

#include "platform/FileSave.h"

#include <QBuffer>
#include <QByteArray>

namespace platform {

// The picture is encoded in memory and written in one unbuffered write whose
// count is checked. A buffered file hands its last bytes to the disk only when
// it is closed, and a short write there (a disk that fills up) goes unreported:
// the old file would be replaced by a cut-off picture and the save called a
// success.
bool saveBitmap(const QImage& image, const QString& path) {
    if (image.isNull() || path.isEmpty())
        return false;
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "BMP"))
            return false;
    }
    FileSave file(path);
    return file.Open() && file.Write(bytes) && file.Commit();
}

} // namespace platform
