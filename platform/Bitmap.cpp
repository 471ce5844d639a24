#include "platform/Bitmap.h"

#include <QSaveFile>

namespace platform {

bool saveBitmap(const QImage& image, const QString& path) {
    if (image.isNull() || path.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!image.save(&file, "BMP")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace platform
