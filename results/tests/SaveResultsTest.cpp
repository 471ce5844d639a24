// Saving the results text and the chart: the name clean-up, what the dialog
// is asked, the bytes written, the bitmap read back, and the failures.

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"
#include "platform/tests/FileSizeLimit.h"
#include "platform/tests/LockedFolder.h"
#include "platform/tests/SmallDisk.h"
#include "results/OutputResults.h"
#include "results/ResultsWidgets.h"
#include "results/SaveResults.h"
#include "results/frmResults.h"
#include "tests/support/TestFiles.h"
#include "tests/support/WidgetTestMain.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>


namespace {

using testfiles::bytesOf;

using platform::testing::FileSizeLimit;

struct CleanCase {
    const char* chosen;
    const char* extension;
    const char* saved;
};

void PrintTo(const CleanCase& c, std::ostream* os) { *os << c.chosen << " " << c.extension; }

class CleanSavePathTest : public ::testing::TestWithParam<CleanCase> {};

TEST_P(CleanSavePathTest, EndsInTheExtension) {
    const CleanCase& c = GetParam();
    EXPECT_EQ(CleanSavePath(QString::fromUtf8(c.chosen), c.extension).toStdString(), c.saved);
}

INSTANTIATE_TEST_SUITE_P(
    Names, CleanSavePathTest,
    ::testing::Values(CleanCase{"/home/ann/results", ".txt", "/home/ann/results.txt"},
                      CleanCase{"/home/ann/results.txt", ".txt", "/home/ann/results.txt"},
                      CleanCase{"/home/ann/results.TXT", ".txt", "/home/ann/results.TXT.txt"},
                      CleanCase{"/home/ann/a.txt.b", ".txt", "/home/ann/a.b.txt"},
                      CleanCase{"/home/ann/chart", ".bmp", "/home/ann/chart.bmp"},
                      CleanCase{"/home/ann/chart.bmp", ".bmp", "/home/ann/chart.bmp"},
                      // Blanks around the name go; the other extension stays.
                      CleanCase{"/home/ann/results  ", ".txt", "/home/ann/results.txt"},
                      CleanCase{"/home/ann/chart.txt", ".bmp", "/home/ann/chart.txt.bmp"},
                      // A folder keeps its name: the save lands in the folder chosen.
                      CleanCase{"/home/ann/old.txt/results", ".txt", "/home/ann/old.txt/results.txt"},
                      CleanCase{"/home/ann/old.bmp/chart.bmp", ".bmp", "/home/ann/old.bmp/chart.bmp"},
                      CleanCase{"results", ".txt", "results.txt"}));

TEST(CleanSavePathTest, RemovesNulCharacters) {
    const QString chosen = QStringLiteral("/home/ann/res") + QChar(u'\0') + QStringLiteral("ults.txt") + QChar(u'\0');
    EXPECT_EQ(CleanSavePath(chosen, ".txt").toStdString(), "/home/ann/results.txt");
}

class SaveResultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        previousFolder = QDir::currentPath(); // a chosen file's folder becomes current
        mainWindow = std::make_unique<QWidget>();
        SimulationResults r;
        for (int row = 1; row <= 29; ++row) {
            r.power(row, 1) = 0.1 * row;
            r.power(row, 2) = row / 30.0;
            r.power(row, 3) = 1 - row / 30.0;
        }
        form = LoadResults(r, "20", "20", mainWindow.get());
        platform::setFileDialogHandler([this](const platform::FileDialogRequest& request) {
            requests.push_back(request);
            return answer;
        });
        platform::setMessageHandler([this](const QString& text, platform::MessageButtons buttons,
                                           const QString& title) {
            messages.push_back(text.toStdString() + " | " + title.toStdString());
            EXPECT_EQ(buttons, platform::MessageButtons::OK);
            return platform::MessageAnswer::OK;
        });
    }
    void TearDown() override {
        platform::setFileDialogHandler({});
        platform::setMessageHandler({});
        delete form;
        QDir::setCurrent(previousFolder);
    }
    QString inFolder(const QString& name) const { return QDir(folder.path()).filePath(name); }
    QStringList entries(const QString& path) const {
        return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir folder;
    QString previousFolder;
    std::unique_ptr<QWidget> mainWindow;
    frmResults* form = nullptr;
    QString answer;
    std::vector<platform::FileDialogRequest> requests;
    std::vector<std::string> messages;
};

const char* const Error12 = "Error 12: Invalid file name. | Marvisk";

TEST_F(SaveResultsTest, SavesTheTextBoxTextByteForByte) {
    // UTF-8 without a mark: e-diaeresis is the two bytes C3 AB; no line end is added.
    form->txt1->setText(QString::fromUtf8("First line\r\nZo\u00EB 0.052\r\nlast line, no line end"));
    {
        QFile old(inFolder("results.txt"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
    }
    answer = inFolder("results");
    QTest::mouseClick(form->cmd1, Qt::LeftButton);
    EXPECT_EQ(bytesOf(inFolder("results.txt")), QByteArray("First line\r\nZo\xC3\xAB 0.052\r\nlast line, no line end"));
    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].mode, platform::FileDialogMode::Save);
    EXPECT_EQ(requests[0].title.toStdString(), "Save");
    EXPECT_EQ(requests[0].filter.toStdString(), "Text Files (*.txt);;All Files (*.*)");
    EXPECT_TRUE(requests[0].initialFolder.endsWith("/Numerical Results")) << requests[0].initialFolder.toStdString();
    // Nothing else is left beside it (no temporary file).
    EXPECT_EQ(entries(folder.path()), QStringList{"results.txt"});
}

TEST_F(SaveResultsTest, SavesTheResultsTextAsBuilt) {
    answer = inFolder("numbers.txt");
    QTest::mouseClick(form->cmd1, Qt::LeftButton);
    const QByteArray saved = bytesOf(inFolder("numbers.txt"));
    EXPECT_EQ(saved, form->txt1->Text().toUtf8());
    EXPECT_TRUE(saved.startsWith("P-VALUE\r\n--------------\r\n"));
    EXPECT_TRUE(saved.endsWith("Number of columns (sites): 20\r\n"));
}

TEST_F(SaveResultsTest, SavesTheChartAsAWindowsBitmap) {
    answer = inFolder("chart");
    QTest::mouseClick(form->cmd4, Qt::LeftButton);
    ASSERT_TRUE(messages.empty());
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].filter.toStdString(), "Bitmap Files (*.bmp);;All Files (*.*)");
    EXPECT_TRUE(requests[0].initialFolder.endsWith("/Power Functions")) << requests[0].initialFolder.toStdString();

    const QByteArray bytes = bytesOf(inFolder("chart.bmp"));
    ASSERT_GE(bytes.size(), 54);
    auto le32 = [&](int at) {
        return quint32(quint8(bytes[at])) | quint32(quint8(bytes[at + 1])) << 8 |
               quint32(quint8(bytes[at + 2])) << 16 | quint32(quint8(bytes[at + 3])) << 24;
    };
    auto le16 = [&](int at) { return quint16(quint8(bytes[at]) | quint8(bytes[at + 1]) << 8); };
    const QImage& chart = form->pbx1->image();
    // The file header and the classic 40-byte information header, uncompressed.
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(2), quint32(bytes.size()));
    EXPECT_EQ(le32(14), 40u);
    EXPECT_EQ(le32(18), quint32(chart.width()));
    EXPECT_EQ(le32(22), quint32(chart.height()));
    EXPECT_EQ(le16(26), 1);
    EXPECT_EQ(le16(28), 24);
    EXPECT_EQ(le32(30), 0u);

    const QImage readBack(inFolder("chart.bmp"));
    ASSERT_FALSE(readBack.isNull());
    // The chart frame picture's size: the file holds the chart and nothing around it.
    EXPECT_EQ(readBack.size(), QSize(640, 521));
    EXPECT_EQ(readBack.convertToFormat(QImage::Format_RGB32), chart.convertToFormat(QImage::Format_RGB32));
    // The curves are in it although the chart page was never in front: the
    // Competition curve's first point, strength 0.1 and rate 1/30, maps to
    // x = 478/3 * 0.1 + 117 = 132.93 and y = 368 - 334/30 = 356.87.
    EXPECT_EQ(readBack.pixelColor(133, 357), QColor(0, 0, 138));
}

struct FailureCase {
    const char* name;
    bool chart;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class SaveFailureTest : public SaveResultsTest, public ::testing::WithParamInterface<FailureCase> {
protected:
    void save() { QTest::mouseClick(GetParam().chart ? form->cmd4 : form->cmd1, Qt::LeftButton); }
};

TEST_P(SaveFailureTest, AFolderThatDoesNotExistGivesError12) {
    answer = inFolder("missing/results");
    save();
    EXPECT_EQ(messages, std::vector<std::string>{Error12});
    EXPECT_TRUE(entries(folder.path()).isEmpty());
}

TEST_P(SaveFailureTest, AFolderAsTheNameGivesError12AndKeepsTheFolder) {
    const QString taken = GetParam().chart ? "taken.bmp" : "taken.txt";
    ASSERT_TRUE(QDir(folder.path()).mkdir(taken));
    answer = inFolder(taken);
    save();
    EXPECT_EQ(messages, std::vector<std::string>{Error12});
    EXPECT_TRUE(QFileInfo(inFolder(taken)).isDir());
}

TEST_P(SaveFailureTest, CancellingWritesNothingAndSaysNothing) {
    answer.clear();
    save();
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(entries(folder.path()).isEmpty());
}

TEST_P(SaveFailureTest, AFolderNamedLikeTheFileKeepsItsName) {
    const QString sub = GetParam().chart ? "old.bmp" : "old.txt";
    const QString name = GetParam().chart ? "chart.bmp" : "results.txt";
    ASSERT_TRUE(QDir(folder.path()).mkdir(sub));
    answer = inFolder(sub + "/" + (GetParam().chart ? "chart" : "results"));
    save();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(QFileInfo(inFolder(sub + "/" + name)).isFile());
    EXPECT_EQ(entries(folder.path()), QStringList{sub});
}

// A folder that takes no new file, with a file there that the user may
// write: saving over it writes it in place; a new name there gives "Error 12".
TEST_P(SaveFailureTest, InAFolderThatTakesNoNewFileOnlyAWritableFileIsSaved) {
    const QString ext = GetParam().chart ? ".bmp" : ".txt";
    const QString shared = "shared" + ext;
    struct {
        QString chosen;
        bool saved;
    } const cases[] = {{"shared", true}, {shared, true}, {"new" + ext, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen.toStdString());
        platform::testing::LockedFolder locked;
        ASSERT_TRUE(locked.isValid());
        ASSERT_TRUE(locked.put(shared, "old"));
        const auto run = locked.runAsUser([&] {
            messages.clear();
            answer = locked.filePath(c.chosen);
            save();
            return messages == (c.saved ? std::vector<std::string>{} : std::vector<std::string>{Error12}) ? 0 : 1;
        });
        if (!run.made)
            GTEST_SKIP() << run.whyNot;
        EXPECT_EQ(run.code, 0) << "the wrong message, or none";
        if (!c.saved)
            EXPECT_EQ(bytesOf(locked.filePath(shared)), QByteArray("old"));
        else if (GetParam().chart)
            EXPECT_EQ(QImage(locked.filePath(shared)).convertToFormat(QImage::Format_RGB32),
                      form->pbx1->image().convertToFormat(QImage::Format_RGB32));
        else
            EXPECT_EQ(bytesOf(locked.filePath(shared)), form->txt1->Text().toLatin1());
        EXPECT_EQ(entries(locked.path()), QStringList{shared});
    }
}

// A name longer than a folder entry can be is an invalid name.
TEST_P(SaveFailureTest, AnOverlongNameGivesError12) {
    answer = inFolder(QString(300, QLatin1Char('r')));
    save();
    EXPECT_EQ(messages, std::vector<std::string>{Error12});
    EXPECT_TRUE(entries(folder.path()).isEmpty());
}

// The disk fills half-way through a save, early or just before its last
// bytes: "Error 12", and the file saved before is still there as it was, with
// nothing left beside it. With room for it all, the same save succeeds.
TEST_P(SaveFailureTest, AWriteThatFailsHalfWayKeepsTheOldFile) {
    const QString name = GetParam().chart ? "chart.bmp" : "results.txt";
    answer = inFolder(name);
    save();
    ASSERT_TRUE(messages.empty());
    const QByteArray whole = bytesOf(inFolder(name));
    ASSERT_GT(whole.size(), 1024);
    {
        QFile old(inFolder(name));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    for (const rlim_t room : {rlim_t(512), rlim_t(whole.size() - 100)}) {
        messages.clear();
        {
            const FileSizeLimit limit(room);
            ASSERT_TRUE(limit.active());
            save();
        }
        EXPECT_EQ(messages, std::vector<std::string>{Error12}) << room;
        EXPECT_EQ(bytesOf(inFolder(name)), QByteArray("old")) << room;
        EXPECT_EQ(entries(folder.path()), QStringList{name}) << room;
    }
    messages.clear();
    {
        const FileSizeLimit limit(whole.size());
        ASSERT_TRUE(limit.active());
        save();
    }
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(bytesOf(inFolder(name)), whole);
}

using platform::testing::InPlaceCase;

class InPlaceSaveTest : public SaveResultsTest,
                        public ::testing::WithParamInterface<std::tuple<FailureCase, InPlaceCase>> {};

// Saving over a writable file of a folder that takes no new file, on a disk
// that runs out of room before the first byte, half-way or just before the
// last bytes: "Error 12", and the old file is there byte for byte, with its
// permissions and owner. With exactly the room it needs, the save succeeds.
TEST_P(InPlaceSaveTest, AFullDiskKeepsTheOldFile) {
    const auto& [kind, test] = GetParam();
    const QString name = kind.chart ? "chart.bmp" : "results.txt";
    // A results text of some pages, so that a disk can fill half-way through.
    form->txt1->setText(QString(30000, QLatin1Char('r')) + QStringLiteral("\r\nend"));
    answer = inFolder(name);
    QTest::mouseClick(kind.chart ? form->cmd4 : form->cmd1, Qt::LeftButton);
    ASSERT_TRUE(messages.empty());
    const QByteArray whole = bytesOf(inFolder(name));
    const QByteArray old("an old file, not yet replaced");
    const auto outcome = platform::testing::saveInPlace(test, name, old, whole.size(), [&](const QString& path) {
        messages.clear();
        answer = path;
        QTest::mouseClick(kind.chart ? form->cmd4 : form->cmd1, Qt::LeftButton);
        return messages == (test.fits() ? std::vector<std::string>{} : std::vector<std::string>{Error12}) ? 0 : 1;
    });
    if (!outcome.made)
        GTEST_SKIP() << outcome.whyNot;
    platform::testing::expectOutcome(outcome, test, name, old, whole);
}

INSTANTIATE_TEST_SUITE_P(Saves, InPlaceSaveTest,
                         ::testing::Combine(::testing::Values(FailureCase{"Text", false}, FailureCase{"Chart", true}),
                                            ::testing::ValuesIn(platform::testing::InPlaceCases)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
                         });

INSTANTIATE_TEST_SUITE_P(Saves, SaveFailureTest,
                         ::testing::Values(FailureCase{"Text", false}, FailureCase{"Chart", true}),
                         [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

} // namespace

MARVISK_WIDGET_TEST_MAIN()
