// Open and Save of matrix text files through the main window: the dialogs,
// the size boxes, the grid, the frame caption, the remembered path and the
// two messages. Expected file texts and cells are worked by hand from the
// file format; hostile files must end in one of the program's messages or a
// clean load, with the grid left as it was after a failure.

#include "app/frmMain.h"

#include "analysis/Settings.h"
#include "app/Help.h"
#include "app/MatrixFile.h"
#include "app/tests/AppTestSupport.h"
#include "grid/Grid.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"
#include "platform/tests/FileSizeLimit.h"
#include "platform/tests/LockedFolder.h"
#include "platform/tests/SmallDisk.h"
#include "results/OutputResults.h"
#include "results/SaveResults.h"
#include "results/frmResults.h"
#include "tests/support/TestFiles.h"
#include "tests/support/WidgetTestMain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using testfiles::bytesOf;

struct Shown {
    std::string text;
    std::string title;
};

// Every stored cell of a matrix, "key=text", sorted by key text.
std::vector<std::string> cellsOf(const SparseArray& m) {
    std::vector<std::string> cells;
    for (const QString& key : m.sKeys()) {
        const auto rc = m.RowColumn(key);
        cells.push_back((key + u'=' + m.sValue(rc[1], rc[2])).toStdString());
    }
    std::sort(cells.begin(), cells.end());
    return cells;
}

class MatrixFileWindow : public ::testing::Test {
protected:
    void SetUp() override {
        Settings::MatrixFilePath.clear();
        platform::setMessageHandler([this](const QString& text, platform::MessageButtons, const QString& title) {
            shown_.push_back({text.toStdString(), title.toStdString()});
            return platform::MessageAnswer::OK;
        });
        platform::setFileDialogHandler([this](const platform::FileDialogRequest& request) {
            requests_.push_back(request);
            if (answers_.empty())
                return QString();
            const QString answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
        previousFolder_ = QDir::currentPath();
        window_ = std::make_unique<frmMain>();
        window_->Form_Load();
        QDir::setCurrent(dir_.path());
    }

    void TearDown() override {
        QDir::setCurrent(previousFolder_);
        window_.reset();
        platform::setMessageHandler({});
        platform::setFileDialogHandler({});
        Settings::MatrixFilePath.clear();
    }

    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    QString put(const char* name, const QByteArray& bytes) const { return testfiles::put(path(name), bytes); }

    void save(const QString& answer) {
        answers_.push_back(answer);
        window_->mnuFileSave_Click();
    }
    void open(const QString& answer) {
        answers_.push_back(answer);
        window_->mnuFileOpen_Click();
    }

    // Types text into the cell at the given place of the grid's view, with
    // the headers open, one key a character, as a keyboard of any script does.
    void typeInto(int slotRow, int slotCol, const QString& text) {
        window_->optOpen_Click();
        Grid& g = *window_->grd1;
        QTest::mouseClick(g.pbx1, Qt::LeftButton, Qt::NoModifier,
                          QPoint(slotCol * g.CellWidth() + g.CellWidth() / 2, slotRow * g.CellHeight() + g.CellHeight() / 2));
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, g.txt1, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    // Sets the size through the boxes and OK, then the given cells.
    void setMatrix(int rows, int cols, const std::vector<std::vector<const char*>>& cells) {
        window_->txtRows->setText(QString::number(rows));
        window_->txtCols->setText(QString::number(cols));
        window_->cmdOK_Click();
        SparseArray m;
        for (size_t r = 0; r < cells.size(); ++r)
            for (size_t c = 0; c < cells[r].size(); ++c)
                m.sValue(int32_t(r), int32_t(c), QString::fromLatin1(cells[r][c]));
        window_->grd1->SetMatrix(m, 0, 0);
    }

    // What a failed operation must leave as it was.
    struct Snapshot {
        std::vector<std::string> cells;
        int32_t rows, cols;
        QString rowsText, colsText, caption;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot snapshot() const {
        return {cellsOf(window_->grd1->GetMatrix()), window_->grd1->Rows(), window_->grd1->Cols(),
                window_->txtRows->text(), window_->txtCols->text(), window_->fra1->title()};
    }

    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const Shown& s : shown_)
            texts.push_back(s.text);
        return texts;
    }

    QTemporaryDir dir_;
    QString previousFolder_;
    std::unique_ptr<frmMain> window_;
    std::vector<Shown> shown_;
    std::deque<QString> answers_;
    std::vector<platform::FileDialogRequest> requests_;
};

const char* const Error06 = "Error 06: Error opening file.";
const char* const Error07 = "Error 07: Error writing file.";

TEST_F(MatrixFileWindow, SaveWritesTheMatrixOfTheBoxes) {
    setMatrix(2, 3, {{"Species", "Guild", "Site1", "Site2", "Site3"}, {"Sp1", "---", "1", "0", "1"}, {"Sp2", "A", "0", "1", "1"}});
    save(path("m"));
    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(bytesOf(path("m.txt")),
              QByteArray("Species Guild Site1 Site2 Site3\r\nSp1 --- 1 0 1\r\nSp2 A 0 1 1\r\n\r\n"));
    EXPECT_EQ(Settings::MatrixFilePath, path("m.txt"));
    EXPECT_EQ(window_->fra1->title(), QStringLiteral("Presence-Absence Matrix: m"));

    // The dialog: Save mode with the text filter, and the saved name suggested next time.
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0].mode, platform::FileDialogMode::Save);
    EXPECT_EQ(requests_[0].title, QStringLiteral("Save"));
    EXPECT_EQ(requests_[0].filter, QStringLiteral("Text Files (*.txt);;All Files (*.*)"));
    save(QString());
    ASSERT_EQ(requests_.size(), 2u);
    EXPECT_TRUE(requests_[1].initialFolder.endsWith(QStringLiteral("/m.txt"))) << requests_[1].initialFolder.toStdString();
}

TEST_F(MatrixFileWindow, SaveAndOpenGiveTheMatrixBack) {
    setMatrix(2, 2, {{"Species", "Guild", "Site 1", "Site2"}, {"Sp1", "", "1", "1"}, {"Sp2", "A B", "0", "1"}});
    save(path("round.txt"));
    window_->txtRows->setText(QStringLiteral("5"));
    window_->txtCols->setText(QStringLiteral("5"));
    window_->cmdOK_Click();
    window_->mnuMatrixClear_Click();
    Settings::MatrixFilePath.clear();

    open(path("round.txt"));
    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(window_->grd1->Rows(), 2);
    EXPECT_EQ(window_->grd1->Cols(), 3);
    EXPECT_EQ(window_->txtRows->text(), QStringLiteral("2"));
    EXPECT_EQ(window_->txtCols->text(), QStringLiteral("2"));
    EXPECT_EQ(cellsOf(window_->grd1->GetMatrix()),
              (std::vector<std::string>{"0,0=Species", "0,1=Guild", "0,2=Site_1", "0,3=Site2", "1,0=Sp1", "1,1=",
                                        "1,2=1", "1,3=1", "2,0=Sp2", "2,1=A_B", "2,3=1"}));
    EXPECT_EQ(Settings::MatrixFilePath, path("round.txt"));
    EXPECT_EQ(window_->fra1->title(), QStringLiteral("Presence-Absence Matrix: round"));
    // The Open dialog starts with no name.
    EXPECT_EQ(requests_.back().mode, platform::FileDialogMode::Open);
    EXPECT_EQ(requests_.back().initialFolder, QDir::currentPath());
}

TEST_F(MatrixFileWindow, SaveWritesRowsTypedWithoutOk) {
    window_->txtRows->setText(QStringLiteral("25"));
    save(path("typed"));
    const QList<QByteArray> lines = bytesOf(path("typed.txt")).split('\n');
    // Header, 25 rows, the empty line, and nothing after its line end.
    ASSERT_EQ(lines.size(), 28);
    EXPECT_EQ(lines[20], QByteArray("Sp20 --- 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\r"));
    EXPECT_EQ(lines[21], QByteArray("0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\r"));
    EXPECT_EQ(lines[25], lines[21]);
    EXPECT_EQ(lines[26], QByteArray("\r"));
    EXPECT_EQ(lines[27], QByteArray());
}

TEST_F(MatrixFileWindow, SaveReplacesAnExistingFileWithoutAsking) {
    put("old.txt", "old content\r\n");
    setMatrix(1, 1, {{"S", "G", "X"}, {"Sp1", "A", "1"}});
    save(path("old.txt"));
    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(bytesOf(path("old.txt")), QByteArray("S G X\r\nSp1 A 1\r\n\r\n"));
}

// Through the platform's own dialog: Save after Open suggests the opened
// file's name in its own folder, which the Open left current, so accepting
// the suggestion writes over the opened file and nowhere else. The help file
// is then looked for in that folder too.
TEST_F(MatrixFileWindow, SaveAfterOpenWritesBesideTheOpenedFile) {
    QDir(dir_.path()).mkdir(QStringLiteral("program"));
    QDir(dir_.path()).mkdir(QStringLiteral("data"));
    const QString program = path("program");
    const QString birds = put("data/birds.txt", "Species Guild S1 S2\r\nSp1 A 1 0\r\n\r\n");
    put("data/Marvisk Help.chm", "ITSF");
    ASSERT_TRUE(QDir::setCurrent(program));
    platform::setFileDialogHandler({});

    QString openFolder, saveFolder, suggested;
    apptest::whenModalShown([&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        if (dialog) {
            openFolder = dialog->directory().canonicalPath();
            dialog->selectFile(birds); // typed with its folder
            static_cast<QDialog*>(dialog)->accept();
        }
        if (window->isVisible())
            static_cast<QDialog*>(window)->reject();
    });
    window_->mnuFileOpen_Click();
    ASSERT_TRUE(shown_.empty()) << shown_[0].text;
    EXPECT_EQ(openFolder, QDir(program).canonicalPath());
    EXPECT_EQ(window_->fra1->title(), QStringLiteral("Presence-Absence Matrix: birds"));

    window_->grd1->SetText(QStringLiteral("1"), 1, 3);
    apptest::whenModalShown([&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        if (dialog) {
            saveFolder = dialog->directory().canonicalPath();
            suggested = dialog->selectedFiles().value(0);
            static_cast<QDialog*>(dialog)->accept(); // the suggestion as it stands
        }
        if (window->isVisible())
            static_cast<QDialog*>(window)->reject();
    });
    window_->mnuFileSave_Click();
    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(saveFolder, QDir(path("data")).canonicalPath());
    EXPECT_EQ(QFileInfo(suggested).fileName(), QStringLiteral("birds.txt"));
    EXPECT_EQ(bytesOf(birds), QByteArray("Species Guild S1 S2\r\nSp1 A 1 1\r\n\r\n"));
    EXPECT_EQ(QDir(program).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_EQ(Settings::MatrixFilePath, birds);

    std::vector<QString> helpFiles;
    setHelpViewer([&](const QString& file, const QString&) { helpFiles.push_back(file); });
    window_->mnuHelpTopics->trigger();
    setHelpViewer({});
    EXPECT_EQ(helpFiles, std::vector<QString>{path("data/Marvisk Help.chm")});
}

// A folder that takes no new file, with a file there that the user may
// write: saving over the file writes it in place; a new name there fails.
TEST_F(MatrixFileWindow, SaveInAFolderThatTakesNoNewFile) {
    setMatrix(1, 1, {{"S", "G", "X"}, {"Sp1", "A", "1"}});
    struct {
        const char* chosen;
        bool saved;
    } const cases[] = {{"shared", true}, {"shared.txt", true}, {"new.txt", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        platform::testing::LockedFolder folder;
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(folder.put(QStringLiteral("shared.txt"), "an old matrix, longer than the new one\r\n"));
        const auto run = folder.runAsUser([&] {
            save(folder.filePath(QString::fromLatin1(c.chosen)));
            const std::vector<std::string> expected =
                c.saved ? std::vector<std::string>{} : std::vector<std::string>{Error07};
            return messages() == expected ? 0 : 1;
        });
        if (!run.made)
            GTEST_SKIP() << run.whyNot;
        EXPECT_EQ(run.code, 0) << "the wrong message, or none";
        EXPECT_EQ(bytesOf(folder.filePath(QStringLiteral("shared.txt"))),
                  c.saved ? QByteArray("S G X\r\nSp1 A 1\r\n\r\n") : QByteArray("an old matrix, longer than the new one\r\n"));
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("shared.txt")});
        shown_.clear();
    }
}

// Written in place, the file is touched only once the whole text is known:
// a size box that is not a number fails the save before that.
TEST_F(MatrixFileWindow, ASizeBoxThatIsNotANumberKeepsAFileWrittenInPlace) {
    platform::testing::LockedFolder folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(folder.put(QStringLiteral("shared.txt"), "an old matrix\r\n"));
    window_->txtRows->setText(QStringLiteral("abc"));
    const auto run = folder.runAsUser([&] {
        save(folder.filePath(QStringLiteral("shared.txt")));
        return messages() == std::vector<std::string>{Error07} ? 0 : 1;
    });
    if (!run.made)
        GTEST_SKIP() << run.whyNot;
    EXPECT_EQ(run.code, 0) << "the wrong message, or none";
    EXPECT_EQ(bytesOf(folder.filePath(QStringLiteral("shared.txt"))), QByteArray("an old matrix\r\n"));
}

struct FailedSaveCase {
    const char* name;
    const char* rowsText;
    const char* colsText;
};

class FailedSave : public MatrixFileWindow, public ::testing::WithParamInterface<FailedSaveCase> {};

// A failed write keeps the old file whole and leaves nothing half-written
// behind; the path and the caption still name the file of before, since no
// file of the new name was made.
TEST_P(FailedSave, KeepsTheOldFile) {
    put("keep.txt", "Species Guild S1\r\nSp1 A 1\r\n\r\n");
    Settings::MatrixFilePath = path("before.txt");
    window_->txtRows->setText(QString::fromLatin1(GetParam().rowsText));
    window_->txtCols->setText(QString::fromLatin1(GetParam().colsText));
    const QString caption = window_->fra1->title();
    save(path("keep"));
    save(path("fresh.txt"));
    EXPECT_EQ(messages(), (std::vector<std::string>{Error07, Error07}));
    EXPECT_EQ(shown_[0].title, "Marvisk");
    EXPECT_EQ(bytesOf(path("keep.txt")), QByteArray("Species Guild S1\r\nSp1 A 1\r\n\r\n"));
    EXPECT_FALSE(QFile::exists(path("fresh.txt")));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("keep.txt")});
    EXPECT_EQ(Settings::MatrixFilePath, path("before.txt"));
    EXPECT_EQ(window_->fra1->title(), caption);
}

INSTANTIATE_TEST_SUITE_P(SizeBoxes, FailedSave,
                         ::testing::Values(FailedSaveCase{"RowsAbc", "abc", "20"},
                                           FailedSaveCase{"ColsAbc", "20", "abc"},
                                           FailedSaveCase{"RowsEmpty", "", "20"}),
                         [](const ::testing::TestParamInfo<FailedSaveCase>& info) { return std::string(info.param.name); });

// The disk fills while the default 20 by 20 matrix is written (a file of
// well over 1 KB): the same message and the same old file as for any failed
// write.
TEST_F(MatrixFileWindow, ASaveThatFillsTheDiskKeepsTheOldFile) {
    put("keep.txt", "Species Guild S1\r\nSp1 A 1\r\n\r\n");
    {
        const platform::testing::FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.active());
        save(path("keep.txt"));
    }
    EXPECT_EQ(messages(), std::vector<std::string>{Error07});
    EXPECT_EQ(bytesOf(path("keep.txt")), QByteArray("Species Guild S1\r\nSp1 A 1\r\n\r\n"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("keep.txt")});
    EXPECT_TRUE(Settings::MatrixFilePath.isEmpty());
}

class InPlaceSave : public MatrixFileWindow,
                    public ::testing::WithParamInterface<platform::testing::InPlaceCase> {};

// Saving over a writable file of a folder that takes no new file, on a disk
// that runs out of room before the first byte, half-way or just before the
// last bytes: "Error 07", and the old file is there byte for byte, with its
// permissions and owner. With exactly the room it needs, the save succeeds.
TEST_P(InPlaceSave, AFullDiskKeepsTheOldFile) {
    const platform::testing::InPlaceCase& test = GetParam();
    // A matrix of some pages, so that a disk can fill half-way through it.
    window_->txtRows->setText(QStringLiteral("100"));
    window_->txtCols->setText(QStringLiteral("120"));
    window_->cmdOK_Click();
    save(path("whole.txt"));
    ASSERT_TRUE(messages().empty());
    const QByteArray whole = bytesOf(path("whole.txt"));
    const QByteArray old("Species Guild S1\r\nSp1 A 1\r\n\r\n");
    const auto outcome =
        platform::testing::saveInPlace(test, QStringLiteral("shared.txt"), old, whole.size(), [&](const QString& file) {
            shown_.clear();
            save(file);
            const std::vector<std::string> expected =
                test.fits() ? std::vector<std::string>{} : std::vector<std::string>{Error07};
            return messages() == expected ? 0 : 1;
        });
    if (!outcome.made)
        GTEST_SKIP() << outcome.whyNot;
    platform::testing::expectOutcome(outcome, test, QStringLiteral("shared.txt"), old, whole);
}

INSTANTIATE_TEST_SUITE_P(Disks, InPlaceSave, ::testing::ValuesIn(platform::testing::InPlaceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MatrixFileWindow, SaveIntoAMissingFolderFails) {
    save(path("no/such/folder/m"));
    EXPECT_EQ(messages(), std::vector<std::string>{Error07});
    EXPECT_TRUE(Settings::MatrixFilePath.isEmpty());
    EXPECT_EQ(window_->fra1->title(), QStringLiteral("Presence-Absence Matrix"));
}

TEST_F(MatrixFileWindow, CancellingEitherDialogChangesNothing) {
    Settings::MatrixFilePath = path("before.txt");
    const Snapshot before = snapshot();
    save(QString());
    open(QString());
    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(requests_.size(), 2u);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(Settings::MatrixFilePath, path("before.txt"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST_F(MatrixFileWindow, OpenButtonOpensLikeTheMenu) {
    put("c.txt", "Species,Guild,S1,S2\r\nSp1,A,1,0\r\nSp2,B,1,1\r\n\r\n");
    answers_.push_back(path("c.txt"));
    window_->cmdOpen->click();
    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(window_->txtRows->text(), QStringLiteral("2"));
    EXPECT_EQ(window_->txtCols->text(), QStringLiteral("2"));
    EXPECT_EQ(cellsOf(window_->grd1->GetMatrix()),
              (std::vector<std::string>{"0,0=Species", "0,1=Guild", "0,2=S1", "0,3=S2", "1,0=Sp1", "1,1=A", "1,2=1",
                                        "2,0=Sp2", "2,1=B", "2,2=1", "2,3=1"}));
    EXPECT_EQ(window_->fra1->title(), QStringLiteral("Presence-Absence Matrix: c"));
}

// ---- the example files ------------------------------------------------------

struct ExampleCase {
    const char* file;
    int32_t species;
    int32_t sites;
    const char* lastSpecies;  // cell (species, 0)
    const char* lastGuild;    // cell (species, 1)
    const char* lastSite;     // cell (0, sites + 1)
    const char* caption;
};

class ExampleFile : public MatrixFileWindow, public ::testing::WithParamInterface<ExampleCase> {};

TEST_P(ExampleFile, OpensCleanly) {
    const ExampleCase& c = GetParam();
    const QString file = qEnvironmentVariable("MARVISK_SOURCE_DIR") + QStringLiteral("/examples/") +
                         QString::fromLatin1(c.file);
    open(file);
    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(window_->txtRows->text(), QString::number(c.species));
    EXPECT_EQ(window_->txtCols->text(), QString::number(c.sites));
    EXPECT_EQ(window_->grd1->Rows(), c.species);
    EXPECT_EQ(window_->grd1->Cols(), c.sites + 1);
    EXPECT_EQ(window_->grd1->GetText(0, 0), QStringLiteral("Species"));
    EXPECT_EQ(window_->grd1->GetText(c.species, 0), QString::fromLatin1(c.lastSpecies));
    EXPECT_EQ(window_->grd1->GetText(c.species, 1), QString::fromLatin1(c.lastGuild));
    EXPECT_EQ(window_->grd1->GetText(0, c.sites + 1), QString::fromLatin1(c.lastSite));
    EXPECT_EQ(window_->fra1->title(), QString::fromLatin1(c.caption));

    // Saved again, a file in the program's own format comes back byte for byte.
    if (QString::fromLatin1(c.file) == QStringLiteral("island-birds.txt")) {
        save(path("again"));
        EXPECT_EQ(bytesOf(path("again.txt")), bytesOf(file));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ExampleFile,
    ::testing::Values(ExampleCase{"island-birds.txt", 14, 20, "White-eye", "Nectarivore", "Island20",
                                  "Presence-Absence Matrix: island-birds"},
                      ExampleCase{"desert-lizards-comma.txt", 8, 10, "Phrynosoma_H", "Ant-specialist", "Dune 10",
                                  "Presence-Absence Matrix: desert-lizards-comma"},
                      ExampleCase{"desert-rodents-tab.txt", 10, 12, "Neotoma albigula", "Folivore", "Plot 12",
                                  "Presence-Absence Matrix: desert-rodents-tab"}));

// ---- names in any script -----------------------------------------------------

// Text written as UTF-8 in the source.
QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// Bytes written in the source, NUL bytes included.
template <std::size_t N>
QByteArray raw(const char (&bytes)[N]) {
    return QByteArray(bytes, N - 1);
}

struct FormFileCase {
    const char* name;
    QByteArray bytes;
    int32_t row;
    int32_t col;
    QString text; // the cell (row, col) as the grid shows it
};

void PrintTo(const FormFileCase& c, std::ostream* os) { *os << c.name; }

class FileInItsForm : public MatrixFileWindow, public ::testing::WithParamInterface<FormFileCase> {};

TEST_P(FileInItsForm, ShowsItsNamesAndSavesUnchangedByteForByte) {
    const FormFileCase& c = GetParam();
    open(put("names.txt", c.bytes));
    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(window_->grd1->GetText(c.row, c.col), c.text);
    save(path("again"));
    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(bytesOf(path("again.txt")), c.bytes);
}

const QByteArray Legacy("Esp\xe8" "ce Guild Caf\xe9 Stra\xdf" "e \x80uro\r\nSp1 A 1 0 1\r\n\r\n");

INSTANTIATE_TEST_SUITE_P(
    Files, FileInItsForm,
    ::testing::Values(
        FormFileCase{"Utf8", "Species Guild H\xc3\xa4stholmen \xc5\x81\xc3\xb3" "d\xc5\xba \xe7\xab\x99\r\nSp1 A 1 0 1\r\n\r\n",
                     0, 3, u("\u0141\u00f3d\u017a")},
        FormFileCase{"Utf8Chinese", "Species Guild H\xc3\xa4stholmen \xc5\x81\xc3\xb3" "d\xc5\xba \xe7\xab\x99\r\nSp1 A 1 0 1\r\n\r\n",
                     0, 4, u("\u7ad9")},
        // The mark is no part of cell (0, 0), and the file keeps it.
        FormFileCase{"Utf8WithMark", "\xef\xbb\xbfSpecies Guild Sj\xc3\xb6\r\nSp1 A 1\r\n\r\n", 0, 0, u("Species")},
        FormFileCase{"Windows1252", Legacy, 0, 3, u("Stra\u00dfe")},
        FormFileCase{"Windows1252Euro", Legacy, 0, 4, u("\u20acuro")},
        // Neither UTF-8 nor characters of Windows-1252, yet every byte comes back.
        FormFileCase{"NeitherForm", "Species Guild \x81\x8d\x8f\x90\x9d \xc3(\r\nSp1 A 1 1\r\n\r\n", 0, 2,
                     u("\u0081\u008d\u008f\u0090\u009d")},
        // A stray byte in a field that reading keeps: the file is a legacy one.
        FormFileCase{"StrayByteInAKeptField", "Species Guild Sp\xc3\xa9" "cies\r\nSp\xe9 A 1\r\n\r\n", 0, 2,
                     u("Sp\u00c3\u00a9" "cies")},
        FormFileCase{"NulBytes", raw("Species Guild S\0\x01 T\r\nSp1 A\0 1 1\r\n\r\n"), 1, 1,
                     QString::fromLatin1(QByteArray("A\0", 2))},
        FormFileCase{"NulBytesInALegacyFile", raw("Species Guild S\0\xe9 T\r\nSp1 A 1 1\r\n\r\n"), 0, 2,
                     QString::fromLatin1(QByteArray("S\0\xe9", 3))}),
    [](const ::testing::TestParamInfo<FormFileCase>& info) { return std::string(info.param.name); });

struct StrayByteCase {
    const char* name;
    QByteArray bytes;
    QByteArray saved; // what reading kept, as a save writes it
};

void PrintTo(const StrayByteCase& c, std::ostream* os) { *os << c.name; }

class FileWithAStrayByte : public MatrixFileWindow, public ::testing::WithParamInterface<StrayByteCase> {};

// A UTF-8 file with a stray Windows-1252 byte (E9) where reading keeps
// nothing: the names are shown as UTF-8, as a save and a reopen show them.
TEST_P(FileWithAStrayByte, ShowsTheNamesThatASaveAndAReopenShow) {
    const StrayByteCase& c = GetParam();
    open(put("stray.txt", c.bytes));
    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(window_->grd1->GetText(0, 2), u("Sp\u00e9" "cies"));
    save(path("again"));
    EXPECT_EQ(bytesOf(path("again.txt")), c.saved);
    open(path("again.txt"));
    EXPECT_EQ(window_->grd1->GetText(0, 2), u("Sp\u00e9" "cies"));
    EXPECT_TRUE(shown_.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileWithAStrayByte,
    ::testing::Values(
        StrayByteCase{"AfterTheFirstEmptyLine", "Species Guild Sp\xc3\xa9" "cies\r\nSp1 A 1\r\n\r\nnote caf\xe9\r\n",
                      "Species Guild Sp\xc3\xa9" "cies\r\nSp1 A 1\r\n\r\n"},
        StrayByteCase{"BeyondTheHeadersFields", "Species Guild Sp\xc3\xa9" "cies\r\nSp1 A 1 caf\xe9\r\n\r\n",
                      "Species Guild Sp\xc3\xa9" "cies\r\nSp1 A 1\r\n\r\n"},
        StrayByteCase{"AfterTheFirstEmptyLineOfAMarkedFile",
                      "\xef\xbb\xbfSpecies Guild Sp\xc3\xa9" "cies\r\nSp1 A 1\r\n\r\n\xe9\r\n",
                      "\xef\xbb\xbfSpecies Guild Sp\xc3\xa9" "cies\r\nSp1 A 1\r\n\r\n"}),
    [](const ::testing::TestParamInfo<StrayByteCase>& info) { return std::string(info.param.name); });

// A name that the legacy code page lacks, typed into a legacy file: the whole
// file is saved in UTF-8, its old names with it, and it stays UTF-8 at the
// next save even once the name is gone.
TEST_F(MatrixFileWindow, ANameOutsideTheLegacyCodePageSavesTheFileInUtf8) {
    open(put("legacy.txt", Legacy));
    typeInto(1, 0, u("\u0141\u00f3d\u017a"));
    save(path("legacy.txt"));
    EXPECT_TRUE(shown_.empty());
    const QByteArray utf8("Esp\xc3\xa8" "ce Guild Caf\xc3\xa9 Stra\xc3\x9f" "e \xe2\x82\xacuro\r\n"
                          "\xc5\x81\xc3\xb3" "d\xc5\xba A 1 0 1\r\n\r\n");
    EXPECT_EQ(bytesOf(path("legacy.txt")), utf8);

    open(path("legacy.txt"));
    EXPECT_EQ(window_->grd1->GetText(1, 0), u("\u0141\u00f3d\u017a"));
    EXPECT_EQ(window_->grd1->GetText(0, 2), u("Caf\u00e9"));

    typeInto(1, 0, QStringLiteral("Sp1"));
    save(path("legacy.txt"));
    EXPECT_EQ(bytesOf(path("legacy.txt")), QByteArray("Esp\xc3\xa8" "ce Guild Caf\xc3\xa9 Stra\xc3\x9f" "e \xe2\x82\xacuro\r\n"
                                                      "Sp1 A 1 0 1\r\n\r\n"));
}

// A name the legacy code page has keeps the file legacy; a file with a mark
// keeps its mark whatever is typed.
TEST_F(MatrixFileWindow, ATypedNameKeepsTheFormWhenItFits) {
    open(put("legacy.txt", Legacy));
    typeInto(1, 0, u("Gr\u00fcn\u20ac"));
    save(path("legacy.txt"));
    EXPECT_EQ(bytesOf(path("legacy.txt")), QByteArray("Esp\xe8" "ce Guild Caf\xe9 Stra\xdf" "e \x80uro\r\nGr\xfcn\x80 A 1 0 1\r\n\r\n"));

    open(put("marked.txt", "\xef\xbb\xbfSpecies Guild Sj\xc3\xb6\r\nSp1 A 1\r\n\r\n"));
    typeInto(1, 0, u("\u7ad9"));
    save(path("marked.txt"));
    EXPECT_EQ(bytesOf(path("marked.txt")), QByteArray("\xef\xbb\xbfSpecies Guild Sj\xc3\xb6\r\n\xe7\xab\x99 A 1\r\n\r\n"));
}

// A matrix that came from no file is saved in UTF-8, without a mark.
TEST_F(MatrixFileWindow, AMatrixFromNoFileIsSavedInUtf8) {
    setMatrix(1, 1, {{"Species", "Guild", "S1"}, {"Sp1", "A", "1"}});
    typeInto(0, 2, u("H\u00e4stholmen"));
    save(path("new"));
    EXPECT_EQ(bytesOf(path("new.txt")), QByteArray("Species Guild H\xc3\xa4stholmen\r\nSp1 A 1\r\n\r\n"));
}

// An Open that fails leaves the matrix of the legacy file in the grid, and
// with it the form it is saved in.
TEST_F(MatrixFileWindow, AFailedOpenKeepsTheFormOfTheMatrixShown) {
    open(put("legacy.txt", Legacy));
    open(put("refused.txt", "Sp\xc3\xa4" "cies Guild S1\r\n"));
    EXPECT_EQ(messages(), std::vector<std::string>{Error06});
    save(path("again"));
    EXPECT_EQ(bytesOf(path("again.txt")), Legacy);
}

// The results text names the matrix file as the file system names it, and
// is saved in UTF-8.
TEST_F(MatrixFileWindow, TheResultsNameAMatrixFileInAnyScript) {
    const QString file = dir_.filePath(u("\u0141\u00f3d\u017a-sites.txt"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Species Guild S1\r\nSp1 A 1\r\n\r\n");
    }
    ASSERT_TRUE(QFile::exists(dir_.path() + QStringLiteral("/") +
                              QFile::decodeName("\xc5\x81\xc3\xb3" "d\xc5\xba-sites.txt")));
    open(file);
    EXPECT_TRUE(shown_.empty());
    frmResults* results = LoadResults(SimulationResults{}, window_->txtRows->text(), window_->txtCols->text(), window_.get());
    SaveNumericalResults(*results, path("results"));
    delete results;
    const QByteArray saved = bytesOf(path("results.txt"));
    EXPECT_TRUE(saved.endsWith("Number of rows (species): 1\r\nNumber of columns (sites): 1\r\n"
                               "File: \"\xc5\x81\xc3\xb3" "d\xc5\xba-sites.txt\""))
        << saved.right(120).toStdString();
}

// ---- files that cannot be loaded, and hostile ones --------------------------

QByteArray manyFields(int sites) {
    QByteArray header = "Species Guild";
    for (int s = 1; s <= sites; ++s)
        header += " S" + QByteArray::number(s);
    return header + "\r\nSp1 A 1\r\n";
}

QByteArray manyRows(int species) {
    QByteArray file = "Species Guild S1\r\n";
    for (int r = 1; r <= species; ++r)
        file += "Sp" + QByteArray::number(r) + " A 1\r\n";
    return file;
}

struct RefusedCase {
    const char* name;
    QByteArray bytes;
    std::string message;
    std::string title;
};

class RefusedOpen : public MatrixFileWindow, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedOpen, ShowsOneMessageAndLeavesTheGrid) {
    setMatrix(3, 2, {{"Species", "Guild", "a b", "c"}, {" Sp1", "A", "1"}});
    Settings::MatrixFilePath = path("before.txt");
    const Snapshot before = snapshot();
    const QString file = GetParam().bytes.isNull() ? path("missing.txt") : put("refused.txt", GetParam().bytes);
    open(file);
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].text, GetParam().message);
    EXPECT_EQ(shown_[0].title, GetParam().title);
    EXPECT_EQ(snapshot(), before);
    // The grid still holds the matrix of before.txt, so the results must
    // still name it, even when the refused file could be opened.
    EXPECT_EQ(Settings::MatrixFilePath, path("before.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedOpen,
    ::testing::Values(
        RefusedCase{"Missing", QByteArray(), Error06, "Marvisk"},
        RefusedCase{"Empty", QByteArray(""), Error06, "Marvisk"},
        RefusedCase{"HeaderOnly", "Species Guild S1\r\n", Error06, "Marvisk"},
        RefusedCase{"HeaderOnlyWithoutLineEnd", "Species Guild S1", Error06, "Marvisk"},
        RefusedCase{"NoSpeciesRow", "Species Guild S1\r\n\r\nSp1 A 1\r\n", "Error 08: Number of rows must be greater than 0.",
                    "Marvisk Error"},
        RefusedCase{"TooManySpecies", manyRows(32768), "Error 09: Number of rows cannot exceed 32767.", "Marvisk Error"},
        RefusedCase{"NoSite", "Species Guild\r\nSp1 A\r\n", "Error 10: Number of columns must be greater than 0.", "Marvisk"},
        RefusedCase{"EmptyHeader", "\r\nSp1 A 1\r\n", "Error 10: Number of columns must be greater than 0.", "Marvisk"},
        RefusedCase{"HundredThousandFields", manyFields(99998), "Error 11: Number of columns cannot exceed 32767.", "Marvisk"}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

// A named pipe chosen in the dialog is no file: the Open must not wait for a
// writer, and ends like any file that cannot be opened.
TEST_F(MatrixFileWindow, APipeIsRefusedWithoutWaiting) {
    Settings::MatrixFilePath = path("before.txt");
    const Snapshot before = snapshot();
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.txt")).constData(), 0600), 0);
    open(path("pipe.txt"));
    EXPECT_EQ(messages(), std::vector<std::string>{Error06});
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(Settings::MatrixFilePath, path("before.txt"));
}

// A large file without a single line feed, such as a disk image chosen by
// mistake, is refused without being held in memory whole.
TEST_F(MatrixFileWindow, AFileWithoutLineFeedsIsRefused) {
    const Snapshot before = snapshot();
    QFile zeros(path("disk.img"));
    ASSERT_TRUE(zeros.open(QIODevice::WriteOnly));
    ASSERT_TRUE(zeros.resize(qint64(1) << 30)); // sparse: takes next to no room on disk
    zeros.close();
    open(path("disk.img"));
    EXPECT_EQ(messages(), std::vector<std::string>{Error06});
    EXPECT_EQ(snapshot(), before);
}

TEST_F(MatrixFileWindow, TheLargestSizeLoads) {
    open(put("big.txt", manyRows(32767)));
    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(window_->grd1->Rows(), 32767);
    EXPECT_EQ(window_->grd1->Cols(), 2);
    EXPECT_EQ(window_->grd1->GetText(32767, 0), QStringLiteral("Sp32767"));
}

TEST_F(MatrixFileWindow, ALongLineLoadsCleanly) {
    QByteArray name(4 * 1024 * 1024, 'x');
    QByteArray fields = "Sp2 B";
    while (fields.size() < 4 * 1024 * 1024)
        fields += " 1";
    open(put("long.txt", "Species Guild S1\r\n" + name + " A 1\r\n" + fields + "\r\n"));
    QApplication::processEvents(); // the grid paints its cells
    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(window_->grd1->Rows(), 2);
    EXPECT_EQ(window_->grd1->Cols(), 2);
    EXPECT_EQ(window_->grd1->GetText(1, 0), QString::fromLatin1(name));
    const SparseArray m = window_->grd1->GetMatrix();
    EXPECT_EQ(m.sKeys().size(), 9); // the fields of line 2 beyond the header's count are dropped
}

TEST_F(MatrixFileWindow, ControlBytesAreTextOfTheirOwn) {
    static const char raw[] = "Species Guild S\0\x01\r\nSp\r1 A\x7f 1\r\n";
    open(put("nul.txt", QByteArray(raw, sizeof raw - 1)));
    EXPECT_TRUE(shown_.empty());
    EXPECT_EQ(window_->grd1->GetText(0, 2), QString::fromLatin1(QByteArray("S\0\x01", 3)));
    EXPECT_EQ(window_->grd1->GetText(1, 0), QStringLiteral("Sp\r1"));
    EXPECT_EQ(window_->grd1->GetText(1, 1), QStringLiteral("A\x7f"));
}

// Binary garbage of a fixed pseudo-random sequence: whatever the bytes, the
// Open ends in one of the program's messages (the grid as it was) or in a
// load whose size the boxes and the grid agree on.
TEST_F(MatrixFileWindow, GarbageEndsInAMessageOrACleanLoad) {
    const std::vector<std::string> known = {Error06,
                                            "Error 08: Number of rows must be greater than 0.",
                                            "Error 09: Number of rows cannot exceed 32767.",
                                            "Error 10: Number of columns must be greater than 0.",
                                            "Error 11: Number of columns cannot exceed 32767."};
    uint32_t state = 12345;
    for (int sample = 0; sample < 12; ++sample) {
        QByteArray bytes;
        const int size = 1 << (6 + sample); // 64 bytes to 128 KB
        for (int i = 0; i < size; ++i) {
            state = state * 1664525u + 1013904223u;
            bytes += char(state >> 24);
        }
        shown_.clear();
        const Snapshot before = snapshot();
        open(put("garbage.bin", bytes));
        ASSERT_LE(shown_.size(), 1u) << "sample " << sample;
        if (shown_.empty()) {
            EXPECT_EQ(window_->txtRows->text(), QString::number(window_->grd1->Rows())) << "sample " << sample;
            EXPECT_EQ(window_->txtCols->text(), QString::number(window_->grd1->Cols() - 1)) << "sample " << sample;
        } else {
            EXPECT_NE(std::find(known.begin(), known.end(), shown_[0].text), known.end()) << shown_[0].text;
            EXPECT_EQ(snapshot(), before) << "sample " << sample;
        }
    }
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
