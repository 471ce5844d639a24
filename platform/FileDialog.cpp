#include "platform/FileDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <utility>

namespace platform {

namespace {
FileDialogHandler& handlerSlot() {
    static FileDialogHandler handler;
    return handler;
}
} // namespace

QString showFileDialog(const FileDialogRequest& request) {
    if (handlerSlot())
        return handlerSlot()(request);

    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialFolder,
                       request.filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (request.mode == FileDialogMode::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void setFileDialogHandler(FileDialogHandler handler) { handlerSlot() = std::move(handler); }

} // namespace platform
