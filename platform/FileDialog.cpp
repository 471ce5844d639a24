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

    QWidget* owner = request.owner ? request.owner : QApplication::activeWindow();
    QFileDialog dialog(owner, request.title, request.initialFolder, request.filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
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

void setFileDialogHandler(FileDialogHandler handler) { handlerSlot() = std::move(handler); }

} // namespace platform
