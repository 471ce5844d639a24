#pragma once
// The platform's file dialog (Qt's own, not the desktop's native one, so it
// looks and behaves the same everywhere). It sets no options of its own: Open
// hands back a typed name whether or not the file exists, and Save hands back
// an existing file's name without asking; the callers decide what follows.
// The pattern "*.*" lists every file, dot or no dot in its name. The folder of
// a chosen file becomes the process's current folder.
// Tests install a handler that answers in place of the user.

#include <QString>
#include <functional>

class QWidget;

namespace platform {

enum class FileDialogMode { Open, Save };

struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::Open;
    QString title;
    QString filter;        // Qt filter text, e.g. "Text Files (*.txt);;All Files (*.*)"
    QString initialFolder;
    QWidget* owner = nullptr; // the window that owns the dialog; none: the active window
};

// The chosen path, or the empty string when the user cancels. After a chosen
// path (from the dialog or the handler), its folder is the current folder.
QString showFileDialog(const FileDialogRequest& request);

using FileDialogHandler = std::function<QString(const FileDialogRequest&)>;
void setFileDialogHandler(FileDialogHandler handler);

} // namespace platform
