// Running out of memory on each road of a large matrix: Open, a resize from
// the size boxes, Save and a Run. The process is held to a little more
// address space than it maps, so that the copy of a matrix of a million cells
// cannot be made; each operation must end with its own message (or, for a
// Run, quietly) and leave the grid, the size boxes, the frame caption and the
// remembered path as they were.

#include "app/frmMain.h"

#include "analysis/Settings.h"
#include "analysis/SparseArray.h"
#include "analysis/frmProgress.h"
#include "grid/Grid.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "app/tests/AppTestSupport.h"
#include "platform/tests/AddressSpaceLimit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace {

using platform::testing::AddressSpaceLimit;

// Far less than a copy of a matrix of a million cells needs.
constexpr rlim_t Headroom = 16 * 1024 * 1024;

class OutOfMemory : public ::testing::Test {
protected:
    void SetUp() override {
        if (platform::testing::AddressSanitizerOn)
            GTEST_SKIP() << "AddressSanitizer maps terabytes of shadow memory: no address-space limit can "
                            "hold it; these tests run in the release build";
        Settings::MatrixFilePath.clear();
        messages_ = std::make_unique<apptest::MessageRecorder>();
        platform::setFileDialogHandler([this](const platform::FileDialogRequest&) {
            const QString answer = answers_.empty() ? QString() : answers_.front();
            if (!answers_.empty())
                answers_.pop_front();
            return answer;
        });
        window_ = std::make_unique<frmMain>();
        window_->Form_Load();
        QDir::setCurrent(dir_.path());
    }

    void TearDown() override {
        window_.reset();
        messages_.reset();
        platform::setFileDialogHandler({});
        Settings::MatrixFilePath.clear();
    }

    // A file of n species and n sites in which every field is "1".
    QString onesFile(const char* name, int n) const {
        const QString file = dir_.filePath(QString::fromLatin1(name));
        QByteArray line;
        for (int k = 0; k < n + 2; ++k)
            line += k == 0 ? "1" : " 1";
        line += "\r\n";
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        for (int i = 0; i <= n; ++i)
            out.write(line);
        out.write("\r\n");
        return file;
    }

    void open(const QString& file) {
        answers_.push_back(file);
        window_->mnuFileOpen_Click();
    }

    // Everything a failed operation must leave as it was. The cells are
    // summed up in their order (row, column and text of each).
    struct State {
        uint64_t cells = 0;
        uint64_t digest = 0;
        int32_t rows = 0, cols = 0;
        QString rowsText, colsText, caption, path;
        bool operator==(const State&) const = default;
    };
    State state() const {
        State s;
        s.digest = 14695981039346656037ull;
        const auto mix = [&s](uint64_t value) {
            s.digest ^= value;
            s.digest *= 1099511628211ull;
        };
        window_->grd1->GetMatrix().forEachCell([&](int32_t row, int32_t col, const QString& text) {
            ++s.cells;
            mix(uint32_t(row));
            mix(uint32_t(col));
            for (const QChar c : text)
                mix(c.unicode());
        });
        s.rows = window_->grd1->Rows();
        s.cols = window_->grd1->Cols();
        s.rowsText = window_->txtRows->text();
        s.colsText = window_->txtCols->text();
        s.caption = window_->fra1->title();
        s.path = Settings::MatrixFilePath;
        return s;
    }

    // A grid of a million cells, opened from a file.
    void openLargeMatrix() {
        open(onesFile("large.txt", 1000));
        ASSERT_TRUE(messages_->shown.empty());
        ASSERT_EQ(window_->grd1->Rows(), 1000);
    }

    QTemporaryDir dir_;
    std::unique_ptr<frmMain> window_;
    std::unique_ptr<apptest::MessageRecorder> messages_;
    std::deque<QString> answers_;
};

TEST_F(OutOfMemory, OpenSaysError06AndKeepsTheMatrixShown) {
    open(onesFile("small.txt", 3));
    ASSERT_TRUE(messages_->shown.empty());
    const QString large = onesFile("large.txt", 1200);
    const State before = state();
    {
        const AddressSpaceLimit limit(Headroom);
        ASSERT_TRUE(limit.active());
        open(large);
    }
    ASSERT_EQ(messages_->shown.size(), 1u);
    EXPECT_EQ(messages_->shown[0].text, u"Error 06: Error opening file.");
    EXPECT_EQ(messages_->shown[0].title, u"Marvisk");
    EXPECT_EQ(state(), before);
    EXPECT_EQ(Settings::MatrixFilePath, dir_.filePath("small.txt"));
}

TEST_F(OutOfMemory, ResizeSaysSoAndKeepsTheGridAndTheTypedSizes) {
    ASSERT_NO_FATAL_FAILURE(openLargeMatrix());
    const State before = state();
    window_->txtRows->setText(QStringLiteral(" 1000"));
    window_->txtCols->setText(QStringLiteral("1001 "));
    {
        const AddressSpaceLimit limit(Headroom);
        ASSERT_TRUE(limit.active());
        window_->cmdOK_Click();
    }
    ASSERT_EQ(messages_->shown.size(), 1u);
    EXPECT_EQ(messages_->shown[0].text, u"Error 13: Not enough memory for a matrix of this size.");
    EXPECT_EQ(messages_->shown[0].title, u"Marvisk");
    State expected = before;
    expected.rowsText = QStringLiteral(" 1000");
    expected.colsText = QStringLiteral("1001 ");
    EXPECT_EQ(state(), expected);
}

TEST_F(OutOfMemory, SaveSaysError07AndLeavesNoFile) {
    ASSERT_NO_FATAL_FAILURE(openLargeMatrix());
    const State before = state();
    // The copy that state() made and freed left room that the save's own copy
    // would reuse: a copy held meanwhile takes it up.
    const SparseArray held = window_->grd1->GetMatrix();
    {
        const AddressSpaceLimit limit(Headroom);
        ASSERT_TRUE(limit.active());
        answers_.push_back(dir_.filePath("saved"));
        window_->mnuFileSave_Click();
    }
    ASSERT_EQ(messages_->shown.size(), 1u);
    EXPECT_EQ(messages_->shown[0].text, u"Error 07: Error writing file.");
    EXPECT_EQ(messages_->shown[0].title, u"Marvisk");
    EXPECT_EQ(state(), before);
    EXPECT_FALSE(QFile::exists(dir_.filePath("saved.txt")));
}

TEST_F(OutOfMemory, RunEndsQuietlyWithTheMainWindowBack) {
    ASSERT_NO_FATAL_FAILURE(openLargeMatrix());
    const State before = state();
    const SparseArray held = window_->grd1->GetMatrix(); // as for Save
    {
        const AddressSpaceLimit limit(Headroom);
        ASSERT_TRUE(limit.active());
        window_->cmdRun_Click();
    }
    EXPECT_TRUE(messages_->shown.empty());
    EXPECT_TRUE(window_->isVisible());
    EXPECT_FALSE(progressWindow().isVisible());
    EXPECT_EQ(state(), before);
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
