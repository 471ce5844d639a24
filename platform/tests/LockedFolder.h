#pragma once
// A folder in which the user may write the files that are there but make no
// new file (a shared folder with a file made writable for the user), for the
// tests of saves over such a file. Root passes every permission check, so
// under root the code runs in a child process that has become the
// unprivileged user "nobody".

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <string>

#include <grp.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform::testing {

class LockedFolder {
public:
    static constexpr uid_t NobodyUser = 65534;
    static constexpr gid_t NobodyGroup = 65534;

    // What became of a run: whether the case could be made at all (else
    // why not), and the code that the code under test returned.
    struct Run {
        bool made = false;
        std::string whyNot;
        int code = -1;
    };

    // A new folder in parent (the temporary folder when none is given).
    explicit LockedFolder(const QString& parent = QString())
        : folder_((parent.isEmpty() ? QDir::tempPath() : parent) + QStringLiteral("/locked-XXXXXX")) {
        // The user must be able to reach the files: a temporary folder is
        // made for its owner alone.
        if (folder_.isValid())
            ::chmod(QFile::encodeName(folder_.path()).constData(), 0755);
    }
    ~LockedFolder() { unlock(); }
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;

    bool isValid() const { return folder_.isValid(); }
    QString path() const { return folder_.path(); }
    QString filePath(const QString& name) const { return folder_.filePath(name); }

    // A file of the folder that the user may write (mode 0644 and, under
    // root, owned by the user); false when it cannot be made.
    bool put(const QString& name, const QByteArray& bytes) const {
        QFile file(filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
        file.close();
        const QByteArray path = QFile::encodeName(filePath(name));
        if (::chmod(path.constData(), 0644) != 0)
            return false;
        return ::geteuid() != 0 || ::chown(path.constData(), NobodyUser, NobodyGroup) == 0;
    }

    // Runs body as the user who may write the folder's files but not the
    // folder; body returns 0 for success or a code of 1 to 99 of its own.
    // Under root body runs in a child process, so what it changes in memory
    // stays there: the caller checks the files afterwards.
    Run runAsUser(const std::function<int()>& body) {
        if (::geteuid() != 0)
            return runHere(body);
        return runInChild(body);
    }

private:
    enum ChildCode { CannotBecomeUser = 101, FolderStillWritable = 102 };

    QByteArray folderName() const { return QFile::encodeName(folder_.path()); }

    // The folder's own user locks it for itself.
    Run runHere(const std::function<int()>& body) {
        Run run;
        if (::chmod(folderName().constData(), 0555) != 0) {
            run.whyNot = "the folder cannot be locked";
            return run;
        }
        locked_ = true;
        if (::access(folderName().constData(), W_OK) == 0) {
            unlock();
            run.whyNot = "this user may write any folder";
            return run;
        }
        run.made = true;
        run.code = body();
        unlock();
        return run;
    }

    // The child must not return into the test framework: it ends with _exit
    // and a code that the parent reads.
    Run runInChild(const std::function<int()>& body) {
        Run run;
        const pid_t child = ::fork();
        if (child < 0) {
            run.whyNot = "no child process can be started";
            return run;
        }
        if (child == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(NobodyGroup) != 0 || ::setuid(NobodyUser) != 0)
                ::_exit(CannotBecomeUser);
            if (::access(folderName().constData(), W_OK) == 0)
                ::_exit(FolderStillWritable);
            const int code = body();
            ::_exit(code < 0 || code > 99 ? 99 : code);
        }
        int status = 0;
        if (::waitpid(child, &status, 0) != child) {
            run.whyNot = "the child process was lost";
            return run;
        }
        if (WIFSIGNALED(status)) {
            run.made = true;
            run.code = 128 + WTERMSIG(status);
            return run;
        }
        const int code = WEXITSTATUS(status);
        if (code == CannotBecomeUser) {
            run.whyNot = "the child process cannot become the user nobody";
        } else if (code == FolderStillWritable) {
            run.whyNot = "the user nobody may write the folder here";
        } else {
            run.made = true;
            run.code = code;
        }
        return run;
    }

    void unlock() {
        if (locked_)
            ::chmod(folderName().constData(), 0755);
        locked_ = false;
    }

    QTemporaryDir folder_;
    bool locked_ = false;
};

} // namespace platform::testing
