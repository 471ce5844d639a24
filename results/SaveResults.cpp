#include "results/SaveResults.h"

#include "platform/Bitmap.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"
#include "platform/Text.h"
#include "platform/TextStream.h"
#include "results/ResultsWidgets.h"
#include "results/frmResults.h"

#include <algorithm>

namespace {

void reportFailure() {
    platform::showMessage(QStringLiteral("Error 12: Invalid file name."), platform::MessageButtons::OK,
                          QStringLiteral("Marvisk"));
}

} // namespace

// Removing the extension from the whole path would also rename a folder on
// the way ("old.txt/results" -> "old/results.txt") and so write somewhere the
// user never chose; only the file name is cleaned.
QString CleanSavePath(QString path, const QString& extension) {
    path.remove(QChar(u'\0'));
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
    QString folder = path.left(cut + 1);
    QString name = path.mid(cut + 1);
    name.remove(extension, Qt::CaseSensitive);
    return platform::trimBlanks(folder + name) + extension;
}

void SaveNumericalResults(const frmResults& form, QString path) {
    if (path.isEmpty())
        return;
    try {
        path = CleanSavePath(path, QStringLiteral(".txt"));
        platform::TextWriter writer(path);
        writer.Write(form.txt1->Text());
        writer.Close();
    } catch (const std::exception&) {
        reportFailure();
    }
}

void SavePowerFunctions(const frmResults& form, QString path) {
    if (path.isEmpty())
        return;
    path = CleanSavePath(path, QStringLiteral(".bmp"));
    if (!platform::saveBitmap(form.pbx1->imageAtRatio1(), path))
        reportFailure();
}
