// The file dialog's modes, filters, initial folder, owner and returned path,
// seen through the platform dialog's seam, and what the platform's own dialog
// hands back for a typed name.

#include "app/Comdlg.h"

#include "app/tests/AppTestSupport.h"
#include "platform/FileDialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <optional>
#include <string>

namespace {

class ComdlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        previousFolder = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(folder.path()));
        platform::setFileDialogHandler([this](const platform::FileDialogRequest& r) {
            request = r;
            ++shown;
            return answer;
        });
    }
    void TearDown() override {
        platform::setFileDialogHandler({});
        QDir::setCurrent(previousFolder);
    }

    QTemporaryDir folder;
    QString previousFolder;
    std::optional<platform::FileDialogRequest> request;
    int shown = 0;
    QString answer = QStringLiteral("/data/birds.txt");
};

struct ModeCase {
    const char* mode;
    const char* ext;
    bool shown;
    platform::FileDialogMode dialogMode;
    const char* filter;
};

const ModeCase modeCases[] = {
    {"Open", "", true, platform::FileDialogMode::Open, "Text Files (*.txt);;All Files (*.*)"},
    {"Save", "", true, platform::FileDialogMode::Save, "Text Files (*.txt);;All Files (*.*)"},
    {"Save", ".bmp", true, platform::FileDialogMode::Save, "Bitmap Files (*.bmp);;All Files (*.*)"},
    {"Open", ".bmp", true, platform::FileDialogMode::Open, "Bitmap Files (*.bmp);;All Files (*.*)"},
    {"Save", ".BMP", true, platform::FileDialogMode::Save, ""},  // comparison is case-sensitive
    {"Save", ".txt", true, platform::FileDialogMode::Save, ""},  // only "" means text files
    {"Open", "bmp", true, platform::FileDialogMode::Open, ""},
    {"open", "", false, platform::FileDialogMode::Open, ""},
    {"SAVE", "", false, platform::FileDialogMode::Open, ""},
    {"Open ", "", false, platform::FileDialogMode::Open, ""},
    {"", "", false, platform::FileDialogMode::Open, ""},
    {"Print", ".bmp", false, platform::FileDialogMode::Open, ""},
};

class ComdlgModes : public ComdlgTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ComdlgModes, ModeChoosesTheDialogAndExtChoosesTheFilter) {
    const ModeCase& c = GetParam();
    const QString result = Comdlg(nullptr, QString(), QString::fromLatin1(c.mode),
                                  QString::fromLatin1(c.ext));
    if (!c.shown) {
        EXPECT_EQ(shown, 0);
        EXPECT_EQ(result, QString());
        return;
    }
    ASSERT_EQ(shown, 1);
    EXPECT_EQ(result, answer);
    EXPECT_EQ(request->mode, c.dialogMode);
    EXPECT_EQ(request->title, QString::fromLatin1(c.mode));
    EXPECT_EQ(request->filter, QString::fromLatin1(c.filter));
    EXPECT_EQ(request->initialFolder, QDir::currentPath());
}

INSTANTIATE_TEST_SUITE_P(Cases, ComdlgModes, ::testing::ValuesIn(modeCases));

TEST_F(ComdlgTest, CancelReturnsTheEmptyString) {
    answer = QString();
    EXPECT_EQ(Comdlg(nullptr, QStringLiteral("Numerical Results"), QStringLiteral("Save"), QString()),
              QString());
    EXPECT_EQ(shown, 1);
}

TEST_F(ComdlgTest, ChosenPathLosesOnlyItsOuterBlanks) {
    struct {
        const char* chosen;
        const char* returned;
    } const cases[] = {
        {"  /data/my birds.txt  ", "/data/my birds.txt"},
        {"/data/a", "/data/a"},  // shorter than the initial name: exactly as chosen
        {"\t/data/x.txt\t", "\t/data/x.txt\t"},
        {"   ", ""},
    };
    for (const auto& c : cases) {
        answer = QString::fromLatin1(c.chosen);
        EXPECT_EQ(Comdlg(nullptr, QStringLiteral("Power Functions"), QStringLiteral("Save"),
                         QStringLiteral(".bmp")),
                  QString::fromLatin1(c.returned))
            << c.chosen;
    }
}

TEST_F(ComdlgTest, InitialNameIsOfferedInTheCurrentFolder) {
    Comdlg(nullptr, QStringLiteral("birds"), QStringLiteral("Save"), QString());
    ASSERT_EQ(shown, 1);
    EXPECT_EQ(request->initialFolder, QDir(folder.path()).filePath(QStringLiteral("birds")));
}

TEST_F(ComdlgTest, InitialFolderFollowsTheCurrentFolderAtEachCall) {
    QDir(folder.path()).mkdir(QStringLiteral("later"));
    const QString later = QDir(folder.path()).filePath(QStringLiteral("later"));
    ASSERT_TRUE(QDir::setCurrent(later));
    Comdlg(nullptr, QString(), QStringLiteral("Open"), QString());
    ASSERT_EQ(shown, 1);
    EXPECT_EQ(QDir(request->initialFolder).canonicalPath(), QDir(later).canonicalPath());
}

// A chosen path leaves its folder current, as the platform's dialog does, so
// the next dialog opens there; a cancel, a folder that does not exist or no
// dialog at all leave the current folder as it was.
TEST_F(ComdlgTest, TheChosenFilesFolderBecomesTheCurrentFolder) {
    const QDir top(folder.path());
    ASSERT_TRUE(top.mkpath(QStringLiteral("data/more")));
    const QString data = QDir(top.filePath(QStringLiteral("data"))).canonicalPath();
    const QString more = QDir(top.filePath(QStringLiteral("data/more"))).canonicalPath();
    struct {
        const char* mode;
        QString chosen;
        QString currentAfter;
    } const steps[] = {
        {"Open", data + QStringLiteral("/birds.txt"), data},
        {"Save", more + QStringLiteral("/a new name"), more}, // a file not there yet
        {"Open", QString(), more},                            // cancelled
        {"Save", top.filePath(QStringLiteral("no such folder/m.txt")), more},
        {"Print", data + QStringLiteral("/birds.txt"), more}, // no dialog shown
        {"Save", top.filePath(QStringLiteral("results.txt")), top.canonicalPath()},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.mode + std::string(" ") + step.chosen.toStdString());
        answer = step.chosen;
        request.reset();
        const bool shownDialog = std::string(step.mode) != "Print";
        EXPECT_EQ(Comdlg(nullptr, QString(), QString::fromLatin1(step.mode), QString()),
                  shownDialog ? step.chosen : QString());
        EXPECT_EQ(QDir::current().canonicalPath(), step.currentAfter);
        // The next dialog opens there.
        answer = QString();
        Comdlg(nullptr, QString(), QStringLiteral("Open"), QString());
        ASSERT_TRUE(request.has_value());
        EXPECT_EQ(QDir(request->initialFolder).canonicalPath(), step.currentAfter);
    }
}

TEST_F(ComdlgTest, DialogIsOwnedByTheGivenWindow) {
    QWidget owner;
    Comdlg(&owner, QString(), QStringLiteral("Open"), QString());
    ASSERT_EQ(shown, 1);
    EXPECT_EQ(request->owner, &owner);
}

// The platform's own dialog, with a name typed into it and accepted. A
// question that the dialog raises itself is recorded and dismissed, so that a
// test fails instead of waiting for a user.
class ComdlgRealDialog : public ComdlgTest {
protected:
    void SetUp() override {
        ComdlgTest::SetUp();
        platform::setFileDialogHandler({});
    }

    QString chooseTyped(QWidget* frm, const QString& sMode, const QString& typed) {
        apptest::whenModalShown([this, typed](QWidget* window) {
            auto* dialog = qobject_cast<QFileDialog*>(window);
            if (!dialog) {
                ADD_FAILURE() << "the file dialog is not the modal window";
                window->hide();
                return;
            }
            dialogOwner = dialog->parentWidget();
            dialogTitle = dialog->windowTitle();
            QTimer::singleShot(0, [this] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    question = box->text();
                    box->reject();
                }
            });
            dialog->selectFile(typed);
            static_cast<QDialog*>(dialog)->accept(); // the dialog's own acceptance, as its button
            if (dialog->isVisible())
                dialog->reject();
        });
        return Comdlg(frm, QString(), sMode, QString());
    }

    QPointer<QWidget> dialogOwner;
    QString dialogTitle;
    QString question;
};

TEST_F(ComdlgRealDialog, OpenHandsBackANameThatDoesNotExist) {
    // The caller reports the file it cannot read; the dialog does not.
    QWidget owner;
    const QString chosen = chooseTyped(&owner, QStringLiteral("Open"), QStringLiteral("missing.txt"));
    EXPECT_TRUE(question.isEmpty()) << question.toStdString();
    EXPECT_EQ(chosen, QDir(folder.path()).filePath(QStringLiteral("missing.txt")));
    EXPECT_EQ(dialogOwner, &owner);
    EXPECT_EQ(dialogTitle, QStringLiteral("Open"));
}

TEST_F(ComdlgRealDialog, SaveOverAnExistingFileAsksNothing) {
    const QString existing = QDir(folder.path()).filePath(QStringLiteral("birds.txt"));
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Species Guild\r\n");
    }
    const QString chosen = chooseTyped(nullptr, QStringLiteral("Save"), QStringLiteral("birds.txt"));
    EXPECT_TRUE(question.isEmpty()) << question.toStdString();
    EXPECT_EQ(chosen, existing);
    EXPECT_EQ(dialogTitle, QStringLiteral("Save"));
}

TEST_F(ComdlgRealDialog, OpensInTheCurrentFolderWithTheInitialNameAndCancelHandsBackNothing) {
    QString shownFolder;
    QStringList shownNames;
    apptest::whenModalShown([&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        if (dialog) {
            shownFolder = dialog->directory().canonicalPath();
            shownNames = dialog->selectedFiles();
        }
        static_cast<QDialog*>(window)->reject();
    });
    EXPECT_EQ(Comdlg(nullptr, QStringLiteral("birds"), QStringLiteral("Save"), QString()), QString());
    EXPECT_EQ(shownFolder, QDir(folder.path()).canonicalPath());
    ASSERT_EQ(shownNames.size(), 1);
    EXPECT_EQ(QFileInfo(shownNames[0]).fileName(), QStringLiteral("birds"));
}

// The names that the dialog lists as files that can be chosen, once it has
// read its folder.
QStringList listedFiles(QFileDialog* dialog, const QStringList& expected) {
    auto* model = dialog->findChild<QFileSystemModel*>();
    if (!model)
        return {QStringLiteral("<no file list>")};
    QStringList listed;
    (void)QTest::qWaitFor(
        [&] {
            listed.clear();
            const QModelIndex root = model->index(dialog->directory().absolutePath());
            for (int row = 0; row < model->rowCount(root); ++row) {
                const QModelIndex item = model->index(row, 0, root);
                if (!model->isDir(item) && (model->flags(item) & Qt::ItemIsEnabled))
                    listed.append(model->fileName(item));
            }
            listed.sort();
            return listed == expected;
        },
        5000);
    return listed;
}

struct FilterCase {
    const char* ext;
    QStringList types;       // the list of file types as the user reads it
    QStringList firstListed; // listed under the first type
};

class ComdlgFilters : public ComdlgRealDialog, public ::testing::WithParamInterface<FilterCase> {};

// "All Files (*.*)" lists every file, a name without a dot too, while the list
// of types reads exactly as written.
TEST_P(ComdlgFilters, AllFilesListsEveryFile) {
    for (const char* name : {"README", "birds.txt", "chart.bmp", "notes.text"}) {
        QFile file(QDir(folder.path()).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QStringList every{"README", "birds.txt", "chart.bmp", "notes.text"};
    QStringList types, firstListed, allListed;
    apptest::whenModalShown([&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        QComboBox* typeBox = dialog ? dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")) : nullptr;
        if (typeBox) {
            for (int i = 0; i < typeBox->count(); ++i)
                types.append(typeBox->itemText(i));
            firstListed = listedFiles(dialog, GetParam().firstListed);
            // The user picks the second type with the keyboard.
            typeBox->setFocus();
            QTest::keyClick(typeBox, Qt::Key_Down);
            allListed = listedFiles(dialog, every);
        }
        static_cast<QDialog*>(window)->reject();
    });
    Comdlg(nullptr, QString(), QStringLiteral("Open"), QString::fromLatin1(GetParam().ext));
    EXPECT_EQ(types, GetParam().types);
    EXPECT_EQ(firstListed, GetParam().firstListed);
    EXPECT_EQ(allListed, every);
}

INSTANTIATE_TEST_SUITE_P(
    Types, ComdlgFilters,
    ::testing::Values(FilterCase{"", {"Text Files (*.txt)", "All Files (*.*)"}, {"birds.txt"}},
                      FilterCase{".bmp", {"Bitmap Files (*.bmp)", "All Files (*.*)"}, {"chart.bmp"}}),
    [](const ::testing::TestParamInfo<FilterCase>& info) {
        return std::string(*info.param.ext ? "Bitmaps" : "Texts");
    });

} // namespace

MARVISK_WIDGET_TEST_MAIN()
