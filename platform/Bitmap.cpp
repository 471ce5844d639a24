#include "platform/Bitmap.h"

#include <QBuffer>
#include <QByteArray>
#include <QSaveFile>

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
    QSaveFile file(path);
    // A picture the user may write in a folder that takes no new file is
    // written in place: no temporary file can be made beside it.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace platform
