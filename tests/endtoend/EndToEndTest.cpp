// One whole Run as a user makes it: open the island birds example (14 species
// of four guilds over 20 islands) through the Open button, set 1000
// iterations and seed 7 in the options dialog, Run, then save the numerical
// results. The results text and the saved file must equal the expected text
// byte for byte.
//
// How the expected text (island-birds-1000-7.txt) was obtained: it was worked
// out by oracle.py beside it, an independent working of the Run in Python
// written from the description of the generator, the null-model tables, the
// pool fraction estimate, PValue, Beta, the kernel's strengths and the results
// text, sharing no code with the program, and the integrated program was then
// run and gave the same text byte for byte. The test EndToEndExpectedText
// works the text out again with oracle.py on every test run and compares it
// with the committed file, so the file cannot drift towards what the program
// prints. Checked by hand besides: the Competition p-value, 0.0628, against an
// exact computation of the guild score statistic (Obs = 300 over the 18 usable
// islands, exact null mean 315.5427 and variance 102.9922 from enumerated set
// partitions, z = -1.5315, lower normal tail 0.06282), and 1 - 0.0628 = 0.9372
// for the other test; the 29 strengths 0.1, 0.1 + 0.1, ... up to
// 2.9000000000000012; the layout (rules of 14, 129, 137 and 49 hyphens, two
// empty lines between blocks, CR LF everywhere but after the file line); the
// verdicts against the printed numbers (sizes 0.029 and 0.040 below 0.15; half
// of each size below the minimum power 0.042 and 0.067; maximum powers 0.388
// and 0.975 at least 0.15); and the matrix block (the boxes' 14 and 20, the
// file's name alone).

#include "app/frmAdvanced.h"
#include "app/frmMain.h"

#include "analysis/Settings.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "results/ResultsWidgets.h"
#include "results/frmResults.h"
#include "tests/support/TestFiles.h"
#include "tests/support/WidgetTestMain.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

using testfiles::bytesOf;

// Whether an Open that is refused comes between the example's Open and the
// Run: the grid keeps the example, so the results must still name its file.
enum class Between { Nothing, RefusedOpen };

class EndToEnd : public ::testing::TestWithParam<Between> {};

TEST_P(EndToEnd, IslandBirdsWithThousandIterationsAndSeedSeven) {
    const QString source = qEnvironmentVariable("MARVISK_SOURCE_DIR");
    const QByteArray expected = bytesOf(source + QStringLiteral("/tests/endtoend/island-birds-1000-7.txt"));
    ASSERT_TRUE(expected.startsWith("P-VALUE\r\n")) << expected.constData();

    QTemporaryDir dir;
    std::vector<std::string> shown;
    platform::setMessageHandler([&](const QString& text, platform::MessageButtons, const QString&) {
        shown.push_back(text.toStdString());
        return platform::MessageAnswer::OK;
    });
    // A file holding only its header line cannot be loaded.
    const QString headerOnly = dir.filePath(QStringLiteral("header only.txt"));
    {
        QFile f(headerOnly);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Species Guild Site1\r\n");
    }
    std::deque<QString> answers{source + QStringLiteral("/examples/island-birds.txt")};
    if (GetParam() == Between::RefusedOpen)
        answers.push_back(headerOnly);
    answers.push_back(dir.filePath(QStringLiteral("island results")));
    platform::setFileDialogHandler([&](const platform::FileDialogRequest&) {
        if (answers.empty())
            return QString();
        const QString answer = answers.front();
        answers.pop_front();
        return answer;
    });

    frmMain main;
    main.Form_Load();
    QTest::mouseClick(main.cmdOpen, Qt::LeftButton);
    ASSERT_TRUE(shown.empty()) << shown.front();
    if (GetParam() == Between::RefusedOpen) {
        QTest::mouseClick(main.cmdOpen, Qt::LeftButton);
        ASSERT_EQ(shown, std::vector<std::string>{"Error 06: Error opening file."});
        shown.clear();
    }

    // The options dialog is modal: it is answered from inside its own loop.
    bool answered = false;
    QMetaObject::invokeMethod(
        &main,
        [&] {
            auto* options = qobject_cast<frmAdvanced*>(QApplication::activeModalWidget());
            ASSERT_NE(options, nullptr);
            options->txt1->setText(QStringLiteral("1000"));
            options->txt2->setText(QStringLiteral("7"));
            QTest::mouseClick(options->cmd1, Qt::LeftButton);
            answered = true;
        },
        Qt::QueuedConnection);
    main.mnuAdvanced->trigger();
    ASSERT_TRUE(answered);
    ASSERT_EQ(Settings::IterationCount, 1000);
    ASSERT_EQ(Settings::RandomSeed, 7);

    QTest::mouseClick(main.cmdRun, Qt::LeftButton);
    ASSERT_TRUE(shown.empty()) << shown.front();
    frmResults* results = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* r = qobject_cast<frmResults*>(w); r && r->isVisible())
            results = r;
    ASSERT_NE(results, nullptr);
    EXPECT_FALSE(main.isVisible());

    EXPECT_EQ(results->txt1->Text().toLatin1().toStdString(), expected.toStdString());

    QTest::mouseClick(results->cmd1, Qt::LeftButton);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(bytesOf(dir.filePath(QStringLiteral("island results.txt"))), expected);

    results->close();
    QApplication::processEvents();
    EXPECT_TRUE(main.isVisible());

    platform::setMessageHandler({});
    platform::setFileDialogHandler({});
    Settings::IterationCount = 0;
    Settings::RandomSeed = 0;
    Settings::MatrixFilePath.clear();
}

INSTANTIATE_TEST_SUITE_P(Runs, EndToEnd, ::testing::Values(Between::Nothing, Between::RefusedOpen),
                         [](const ::testing::TestParamInfo<Between>& info) {
                             return std::string(info.param == Between::Nothing ? "OpenThenRun"
                                                                               : "OpenRefusedOpenThenRun");
                         });

} // namespace

MARVISK_WIDGET_TEST_MAIN()
