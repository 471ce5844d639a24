#pragma once
// A small disk of its own, mounted for one test and filled to the room the
// test asks for: saves in place over a file of a folder that takes no new
// file, on a real file system that runs out of room. Mounting needs root;
// elsewhere the tests skip and say why.
//
// Two kinds: tmpfs reserves room for a file ahead of its writes, ramfs cannot
// (there the process's file size limit stands in for the full disk).

#include "platform/tests/FileSizeLimit.h"
#include "platform/tests/LockedFolder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace platform::testing {

enum class DiskKind { Reserving, NotReserving };

class SmallDisk {
public:
    static constexpr qint64 PageBytes = 4096;

    SmallDisk(DiskKind kind, qint64 bytes) {
        if (::geteuid() != 0) {
            whyNot_ = "mounting a disk of its own needs root";
            return;
        }
        if (!mountPoint_.isValid()) {
            whyNot_ = "no folder to mount on";
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
        const bool tmpfs = kind == DiskKind::Reserving;
        if (::mount(tmpfs ? "tmpfs" : "ramfs", name().constData(), tmpfs ? "tmpfs" : "ramfs", 0,
                    tmpfs ? options.constData() : "mode=0755") != 0) {
            whyNot_ = std::string("the disk cannot be mounted: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~SmallDisk() {
        if (mounted_)
            ::umount2(name().constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& whyNot() const { return whyNot_; }
    QString path() const { return mountPoint_.path(); }

    qint64 freeBytes() const {
        struct statvfs status {};
        if (::statvfs(name().constData(), &status) != 0)
            return -1;
        return qint64(status.f_bavail) * qint64(status.f_frsize);
    }

    // Fills the disk with a file of its own until 'room' bytes are free (a
    // multiple of PageBytes); false when that cannot be done.
    bool leaveRoom(qint64 room) const {
        const qint64 fill = freeBytes() - room;
        if (fill < 0)
            return false;
        if (fill > 0) {
            const QByteArray filler = QFile::encodeName(path() + QStringLiteral("/filler"));
            const int file = ::open(filler.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            if (file < 0)
                return false;
            struct stat status {};
            const bool filled = ::fstat(file, &status) == 0 && ::fallocate(file, 0, status.st_size, fill) == 0;
            ::close(file);
            if (!filled)
                return false;
        }
        return freeBytes() == room;
    }

private:
    QByteArray name() const { return QFile::encodeName(mountPoint_.path()); }

    QTemporaryDir mountPoint_;
    bool mounted_ = false;
    std::string whyNot_;
};

// How much of a save's room the disk has left: none, half, all but the last
// bytes, or exactly enough.
enum class Room { None, Half, AllButTheLast, Exactly };

struct InPlaceCase {
    const char* name;
    DiskKind disk;
    Room room;
    // Only a save with all the room it needs succeeds.
    bool fits() const { return room == Room::Exactly; }
};

inline void PrintTo(const InPlaceCase& test, std::ostream* out) { *out << test.name; }

inline const InPlaceCase InPlaceCases[] = {
    {"ReservingNoRoom", DiskKind::Reserving, Room::None},
    {"ReservingHalfTheRoom", DiskKind::Reserving, Room::Half},
    {"ReservingAllButTheLastBytes", DiskKind::Reserving, Room::AllButTheLast},
    {"ReservingExactlyTheRoom", DiskKind::Reserving, Room::Exactly},
    {"NotReservingNoRoom", DiskKind::NotReserving, Room::None},
    {"NotReservingHalfTheRoom", DiskKind::NotReserving, Room::Half},
    {"NotReservingAllButTheLastBytes", DiskKind::NotReserving, Room::AllButTheLast},
    {"NotReservingExactlyTheRoom", DiskKind::NotReserving, Room::Exactly},
};

// The file and its folder after a save in place.
struct InPlaceOutcome {
    bool made = false;
    std::string whyNot;
    int code = -1; // what the save returned, as the user
    QByteArray bytes;
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
    QStringList entries;
};

// Puts 'old' as the file 'name' (mode 0644, the user's) in a folder that the
// user may not add to, on a disk of the case's kind with the case's room for
// a new content of newSize bytes, and runs save(path of the file) as the
// user.
inline InPlaceOutcome saveInPlace(const InPlaceCase& test, const QString& name, const QByteArray& old, qint64 newSize,
                                  const std::function<int(const QString&)>& save) {
    InPlaceOutcome outcome;
    const auto pages = [](qint64 bytes) { return (bytes + SmallDisk::PageBytes - 1) / SmallDisk::PageBytes; };
    // The pages the new content needs beyond those the old file has.
    const qint64 needed = pages(newSize) - pages(old.size());
    if (needed < 3) {
        outcome.whyNot = "the new content is too small to fail half-way";
        return outcome;
    }
    SmallDisk disk(test.disk, (pages(newSize) + pages(old.size()) + 16) * SmallDisk::PageBytes);
    if (!disk.mounted()) {
        outcome.whyNot = disk.whyNot();
        return outcome;
    }
    LockedFolder folder(disk.path());
    if (!folder.isValid() || !folder.put(name, old)) {
        outcome.whyNot = "the old file cannot be made";
        return outcome;
    }
    const QString path = folder.filePath(name);
    LockedFolder::Run run;
    if (test.disk == DiskKind::Reserving) {
        const qint64 room[] = {0, needed / 2, needed - 1, needed};
        if (!disk.leaveRoom(room[int(test.room)] * SmallDisk::PageBytes)) {
            outcome.whyNot = "the disk cannot be filled";
            return outcome;
        }
        run = folder.runAsUser([&] { return save(path); });
    } else {
        // Writing stops at the limit: before the first byte, half-way, just
        // before the last byte, or not at all.
        const rlim_t limit[] = {0, rlim_t(newSize / 2), rlim_t(newSize - 1), rlim_t(newSize)};
        const FileSizeLimit sizeLimit(limit[int(test.room)]);
        if (!sizeLimit.active()) {
            outcome.whyNot = "no file size limit can be set";
            return outcome;
        }
        run = folder.runAsUser([&] { return save(path); });
    }
    if (!run.made) {
        outcome.whyNot = run.whyNot;
        return outcome;
    }
    outcome.made = true;
    outcome.code = run.code;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        outcome.bytes = file.readAll();
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
        outcome.mode = status.st_mode & 07777;
        outcome.owner = status.st_uid;
        outcome.group = status.st_gid;
    }
    outcome.entries = QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    return outcome;
}

// A save that failed leaves the old file byte for byte, with its mode and
// owner, alone in its folder; one that fits leaves the new content.
inline void expectOutcome(const InPlaceOutcome& outcome, const InPlaceCase& test, const QString& name,
                          const QByteArray& old, const QByteArray& whole) {
    EXPECT_EQ(outcome.code, 0) << "the wrong message, or none";
    EXPECT_EQ(outcome.bytes, test.fits() ? whole : old);
    EXPECT_EQ(outcome.mode, mode_t(0644));
    EXPECT_EQ(outcome.owner, LockedFolder::NobodyUser);
    EXPECT_EQ(outcome.group, LockedFolder::NobodyGroup);
    EXPECT_EQ(outcome.entries, QStringList{name});
}

} // namespace platform::testing
