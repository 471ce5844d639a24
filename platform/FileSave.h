#pragma once
// Saving a file over the one at a path so that a save that fails, wherever
// it fails, leaves the old file byte for byte as it was, with its
// permissions and owner.
//
// The bytes go to a temporary file beside the old one, which takes its place
// once all of them are written. Where the folder takes no new file but the
// file itself may be written (a shared folder), the file is written in place
// instead, once the whole new content is known: room for all of it is first
// reserved on the disk without changing the file, and where the file system
// cannot reserve room, the old bytes are kept and put back when a write, the
// cut to the new length or the final flush fails.

#include <QByteArray>
#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

namespace platform {

class FileSave {
public:
    explicit FileSave(const QString& path);
    // Without Commit the save is given up: the old file stays.
    ~FileSave();
    FileSave(const FileSave&) = delete;
    FileSave& operator=(const FileSave&) = delete;

    // Creates the temporary file, or opens the file itself where the folder
    // takes no temporary file; false when neither can be done.
    bool Open();
    // True when the file is written in place: the bytes are then gathered in
    // memory until Commit.
    bool InPlace() const { return inPlaceFile_ >= 0; }
    // False when the bytes cannot be written; the save is then given up.
    bool Write(QByteArrayView bytes);
    // Puts the new file in place; false (the old file as it was) on failure.
    bool Commit();
    // Why the last step failed.
    QString ErrorString() const { return error_; }

private:
    bool openInPlace();
    bool commitInPlace();
    void closeInPlace();

    QString path_;
    QSaveFile temporary_;
    int inPlaceFile_ = -1;
    bool readable_ = false; // the in-place file was opened for reading too
    QByteArray content_;    // in place: everything written so far
    QString error_;
};

} // namespace platform
