// The help call: what would be handed to the desktop's viewer.

#include "app/Help.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <utility>
#include <vector>

namespace {

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        previousFolder = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(folder.path()));
        setHelpViewer([this](const QString& path, const QString& topic) {
            opened.emplace_back(path, topic);
        });
    }
    void TearDown() override {
        setHelpViewer({});
        QDir::setCurrent(previousFolder);
    }
    void createHelpFile() {
        QFile file(QDir(folder.path()).filePath(QStringLiteral("Marvisk Help.chm")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("ITSF");
    }

    QTemporaryDir folder;
    QString previousFolder;
    std::vector<std::pair<QString, QString>> opened;
};

TEST_F(HelpTest, MissingHelpFileShowsNothing) {
    ShowHelpTopic(QStringLiteral("Marvisk Help.chm"), QStringLiteral("Getting Started.htm"));
    EXPECT_TRUE(opened.empty());
}

TEST_F(HelpTest, HelpFileInTheCurrentFolderOpensAtTheTopic) {
    createHelpFile();
    ShowHelpTopic(QStringLiteral("Marvisk Help.chm"), QStringLiteral("Getting Started.htm"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].first, QDir(folder.path()).absoluteFilePath(QStringLiteral("Marvisk Help.chm")));
    EXPECT_EQ(opened[0].second, QStringLiteral("Getting Started.htm"));
}

TEST_F(HelpTest, TwoCallsAskTheViewerTwice) {
    createHelpFile();
    ShowHelpTopic(QStringLiteral("Marvisk Help.chm"), QStringLiteral("Results.htm"));
    ShowHelpTopic(QStringLiteral("Marvisk Help.chm"), QStringLiteral("Results.htm"));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1].second, QStringLiteral("Results.htm"));
}

TEST_F(HelpTest, HelpFileIsLookedUpInTheCurrentFolderOnly) {
    createHelpFile();
    QDir(folder.path()).mkdir(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir::setCurrent(QDir(folder.path()).filePath(QStringLiteral("elsewhere"))));
    ShowHelpTopic(QStringLiteral("Marvisk Help.chm"), QStringLiteral("Getting Started.htm"));
    EXPECT_TRUE(opened.empty());
}

TEST_F(HelpTest, AFolderOfThatNameIsNotAHelpFile) {
    QDir(folder.path()).mkdir(QStringLiteral("Marvisk Help.chm"));
    ShowHelpTopic(QStringLiteral("Marvisk Help.chm"), QStringLiteral("Getting Started.htm"));
    EXPECT_TRUE(opened.empty());
}

} // namespace
