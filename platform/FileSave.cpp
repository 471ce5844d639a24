#include "platform/FileSave.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <new>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// All of bytes at offset 0, through short writes; false (errno set) when a
// write fails.
bool writeAllAt(int file, const char* bytes, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t written = ::pwrite(file, bytes + done, size_t(size - done), off_t(done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        done += written;
    }
    return true;
}

bool readAll(int file, qint64 size, QByteArray& bytes) {
    bytes.resize(size);
    qint64 done = 0;
    while (done < size) {
        const ssize_t read = ::pread(file, bytes.data() + done, size_t(size - done), off_t(done));
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0) {
            if (read == 0)
                errno = EIO; // the file became shorter while it was read
            return false;
        }
        done += read;
    }
    return true;
}

} // namespace

FileSave::FileSave(const QString& path) : path_(path), temporary_(path) {
    // The fallback of the save file itself empties the old file first: a
    // save that then fails leaves nothing of it. The in-place write is done
    // here instead.
    temporary_.setDirectWriteFallback(false);
}

FileSave::~FileSave() {
    if (temporary_.isOpen())
        temporary_.cancelWriting();
    closeInPlace();
}

// Unbuffered, with every write checked: a buffered file hands its last bytes
// to the disk only while it is committed, and a short write there goes
// unreported.
bool FileSave::Open() {
    if (path_.isEmpty()) {
        error_ = QStringLiteral("no file name");
        return false;
    }
    if (temporary_.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return true;
    error_ = temporary_.errorString();
    return openInPlace();
}

// Only a file of bytes that is there already, opened without emptying it.
bool FileSave::openInPlace() {
    const QByteArray name = QFile::encodeName(path_);
    int file = ::open(name.constData(), O_RDWR | O_CLOEXEC);
    readable_ = file >= 0;
    if (file < 0 && errno == EACCES)
        file = ::open(name.constData(), O_WRONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    struct stat status {};
    if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(file);
        return false;
    }
    inPlaceFile_ = file;
    return true;
}

void FileSave::closeInPlace() {
    if (inPlaceFile_ >= 0)
        ::close(inPlaceFile_);
    inPlaceFile_ = -1;
    content_.clear();
}

bool FileSave::Write(QByteArrayView bytes) {
    if (InPlace()) {
        try {
            content_.append(bytes.data(), bytes.size());
        } catch (const std::bad_alloc&) {
            error_ = systemError(ENOMEM);
            closeInPlace();
            return false;
        }
        return true;
    }
    if (!temporary_.isOpen()) {
        error_ = QStringLiteral("not open for writing");
        return false;
    }
    if (temporary_.write(bytes.data(), bytes.size()) != bytes.size()) {
        error_ = temporary_.errorString();
        temporary_.cancelWriting();
        return false;
    }
    return true;
}

bool FileSave::Commit() {
    if (InPlace()) {
        const bool done = commitInPlace();
        closeInPlace();
        return done;
    }
    if (!temporary_.isOpen()) {
        error_ = QStringLiteral("not open for writing");
        return false;
    }
    if (!temporary_.commit()) {
        error_ = temporary_.errorString();
        return false;
    }
    return true;
}

// Nothing of the old file changes until room for the whole new content is
// had. Reserving it (beyond the file's end, so the file still reads as it
// did) gives the writes after it their room on the disk; on a file system
// that cannot reserve, the old bytes are put back when a write or the flush
// fails.
bool FileSave::commitInPlace() {
    const int file = inPlaceFile_;
    struct stat status {};
    if (::fstat(file, &status) != 0) {
        error_ = systemError(errno);
        return false;
    }
    const qint64 oldSize = status.st_size;
    const qint64 newSize = content_.size();
    bool reserved = newSize == 0;
    while (!reserved) {
        if (::fallocate(file, FALLOC_FL_KEEP_SIZE, 0, off_t(newSize)) == 0)
            reserved = true;
        else if (errno != EINTR)
            break;
    }
    QByteArray old;
    if (!reserved) {
        const int why = errno;
        if (why != EOPNOTSUPP && why != ENOSYS) {
            error_ = systemError(why); // no room: the file is untouched
            return false;
        }
        bool kept = false;
        try {
            kept = readable_ && readAll(file, oldSize, old);
        } catch (const std::bad_alloc&) {
            errno = ENOMEM;
        }
        if (!kept) {
            error_ = readable_ ? systemError(errno) : QStringLiteral("the old file cannot be kept");
            return false;
        }
    }
    const bool written = writeAllAt(file, content_.constData(), newSize) &&
                         (newSize >= oldSize || ::ftruncate(file, off_t(newSize)) == 0) && ::fsync(file) == 0;
    if (written)
        return true;
    error_ = systemError(errno);
    if (!reserved) {
        // The old bytes go back over the room they had, so putting them back
        // needs no more of the disk than the old file did.
        writeAllAt(file, old.constData(), oldSize);
        ::ftruncate(file, off_t(oldSize));
        ::fsync(file);
    }
    return false;
}

} // namespace platform
