// The installed layout: the program and both libraries side by side with
// $ORIGIN run paths, a link in bin, the desktop entry and its icon.

#include "app/tests/AppTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>

namespace {

TEST(Install, ProgramAndLibrariesSideBySideWithALauncherAndDesktopEntry) {
    const char* bin = std::getenv("MARVISK_BIN_DIR");
    ASSERT_NE(bin, nullptr);
    const QString buildDir = QDir(QString::fromLocal8Bit(bin) + QStringLiteral("/..")).absolutePath();
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());

    QProcess install;
    install.start(QStringLiteral(MARVISK_CMAKE_COMMAND),
                  {QStringLiteral("--install"), buildDir, QStringLiteral("--prefix"), prefix.path()});
    ASSERT_TRUE(install.waitForFinished(-1));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();

    const QDir root(prefix.path());
    const QString program = root.filePath(QStringLiteral("lib/marvisk/marvisk"));
    EXPECT_TRUE(QFileInfo(program).isExecutable());
    EXPECT_TRUE(QFileInfo::exists(root.filePath(QStringLiteral("lib/marvisk/libQuorlan.so"))));
    EXPECT_TRUE(QFileInfo::exists(root.filePath(QStringLiteral("lib/marvisk/libPellivorn.so"))));

    const QFileInfo launcher(root.filePath(QStringLiteral("bin/marvisk")));
    EXPECT_TRUE(launcher.isSymLink());
    EXPECT_EQ(launcher.canonicalFilePath(), QFileInfo(program).canonicalFilePath());

    // The libraries are found beside the program, wherever it was installed.
    QFile executable(program);
    ASSERT_TRUE(executable.open(QIODevice::ReadOnly));
    EXPECT_TRUE(executable.readAll().contains("$ORIGIN"));

    // Installed stripped: no symbol table, no debugging sections; the build
    // tree's own copies keep theirs.
    for (const char* name : {"marvisk", "libQuorlan.so", "libPellivorn.so"}) {
        QFile installed(root.filePath(QStringLiteral("lib/marvisk/") + QLatin1String(name)));
        ASSERT_TRUE(installed.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = installed.readAll();
        EXPECT_FALSE(bytes.contains(".symtab")) << name;
        EXPECT_FALSE(bytes.contains(".debug_")) << name;
        QFile built(QString::fromLocal8Bit(bin) + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(built.open(QIODevice::ReadOnly)) << name;
        EXPECT_TRUE(built.readAll().contains(".symtab")) << name;
    }

    QFile entry(root.filePath(QStringLiteral("share/applications/marvisk.desktop")));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QByteArray text = entry.readAll();
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(text.contains("\nExec=marvisk\n"));
    EXPECT_TRUE(text.contains("\nIcon=marvisk\n"));
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    EXPECT_TRUE(QFileInfo::exists(root.filePath(QStringLiteral("share/icons/hicolor/64x64/apps/marvisk.png"))));
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
