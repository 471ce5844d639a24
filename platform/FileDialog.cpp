#include "platform/FileDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <utility>

namespace platform {

namespace {
FileDialogHandler& handlerSlot() {
    static FileDialogHandler handler;
    return handler;
}

// The pattern "*.*" means every file, with a dot in its name or not; Qt's
// dialog would read it literally and hide the names without a dot. The
// dialog is therefore given "*" in its place, while the list of file types
// still shows each filter as the caller wrote it.
QString matchingEveryFile(const QString& filter) {
    static const QRegularExpression everyFile(QStringLiteral("(^|[ ;(])\\*\\.\\*(?=[ ;)])"));
    QString result = filter;
    return result.replace(everyFile, QStringLiteral("\\1*"));
}

QString runDialog(const FileDialogRequest& request) {
    QWidget* owner = request.owner ? request.owner : QApplication::activeWindow();
    QFileDialog dialog(owner, request.title, request.initialFolder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!request.filter.isEmpty()) {
        const QStringList shown = request.filter.split(QStringLiteral(";;"));
        QStringList used;
        for (const QString& filter : shown)
            used.append(matchingEveryFile(filter));
        dialog.setNameFilters(used);
        if (used != shown) {
            for (QComboBox* types : dialog.findChildren<QComboBox*>()) {
                if (types->count() != shown.size() || types->itemText(0) != used[0])
                    continue;
                for (int i = 0; i < shown.size(); ++i)
                    types->setItemText(i, shown[i]);
            }
        }
    }
    // Any typed name is handed back: the Open caller reports a file it cannot
    // read, and a Save replaces an existing file without a question.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(request.mode == FileDialogMode::Save ? QFileDialog::AcceptSave
                                                              : QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}
} // namespace

QString showFileDialog(const FileDialogRequest& request) {
    const QString chosen = handlerSlot() ? handlerSlot()(request) : runDialog(request);
    // The chosen file's folder becomes the current folder, so the next dialog
    // opens there and a file named without a folder (the help file) is looked
    // for there. A folder that does not exist leaves the current one as it is.
    if (!chosen.isEmpty())
        QDir::setCurrent(QFileInfo(chosen).absolutePath());
    return chosen;
}

void setFileDialogHandler(FileDialogHandler handler) { handlerSlot() = std::move(handler); }

} // namespace platform
