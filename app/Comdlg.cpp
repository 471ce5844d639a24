#include "app/Comdlg.h"

#include "platform/FileDialog.h"
#include "platform/Text.h"

#include <QDir>

QString ComdlgFilter(const QString& sExt) {
    if (sExt.isEmpty())
        return QStringLiteral("Text Files (*.txt);;All Files (*.*)");
    if (sExt == QLatin1String(".bmp"))
        return QStringLiteral("Bitmap Files (*.bmp);;All Files (*.*)");
    return QString();
}

QString Comdlg(QWidget* frm, const QString& sFile, const QString& sMode, const QString& sExt) {
    platform::FileDialogRequest request;
    request.owner = frm;
    if (sMode == QLatin1String("Open"))
        request.mode = platform::FileDialogMode::Open;
    else if (sMode == QLatin1String("Save"))
        request.mode = platform::FileDialogMode::Save;
    else
        return QString();

    request.title = sMode;
    request.filter = ComdlgFilter(sExt);
    // The platform dialog preselects the name when the initial folder is a
    // path to a file in it; with no name it simply opens the folder.
    const QString folder = QDir::currentPath();
    request.initialFolder = sFile.isEmpty() ? folder : QDir(folder).filePath(sFile);

    return platform::trimBlanks(platform::showFileDialog(request));
}
