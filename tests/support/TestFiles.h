#pragma once
// Reading and writing whole files in tests, the same way in every folder.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace testfiles {

// The bytes of a file; "<no file PATH>" when it cannot be read, so that a
// comparison with what it should hold fails and names the file.
inline QByteArray bytesOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<no file " + path.toLocal8Bit() + ">";
    return f.readAll();
}

// Writes bytes to path, replacing any file there; returns the path.
inline QString put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    EXPECT_EQ(f.write(bytes), bytes.size()) << path.toStdString();
    return path;
}

} // namespace testfiles
