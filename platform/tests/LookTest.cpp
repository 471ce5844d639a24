// The picture-box font: a face narrow by design, drawn at its own width, and
// plain whatever the font of the window around the box.

#include "platform/Look.h"
#include "platform/PictureBox.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override { application_ = new QApplication(argc_, argv_); }
    void TearDown() override {
        delete application_;
        application_ = nullptr;
    }

private:
    int argc_ = 1;
    char name_[16] = "LookTest";
    char* argv_[2] = {name_, nullptr};
    QApplication* application_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// The faces drawn narrow by their designers; fonts-dejavu-extra, which the
// build's package list installs, carries the first.
bool narrowByDesign(const QString& family) {
    return family == QStringLiteral("DejaVu Sans Condensed") || family == QStringLiteral("Liberation Sans Narrow");
}

// The same face as the font found, asked for by its own name and style and
// nothing else: its own width.
QFont ownWidthOf(const QFont& font) {
    const QFontInfo found(font);
    QFont plain(found.family());
    plain.setStyleName(found.styleName());
    plain.setPointSizeF(font.pointSizeF());
    plain.setHintingPreference(font.hintingPreference());
    return plain;
}

TEST(PictureBoxFont, IsANarrowFaceAtItsOwnWidthInAPlainBoxAndInABoldWindow) {
    QWidget boldWindow;
    boldWindow.setFont(look::dialogFont(12, true));
    platform::PictureBox inBold(&boldWindow);
    platform::PictureBox alone;
    for (const double points : {8.0, 9.75, 12.0}) {
        for (platform::PictureBox* box : {&inBold, &alone}) {
            box->setFont(look::pictureBoxFont(points));
            const QFont f = box->textFont();
            const QFontInfo found(f);
            SCOPED_TRACE(found.family().toStdString() + " " + found.styleName().toStdString() + " " +
                         std::to_string(points));
            EXPECT_TRUE(narrowByDesign(found.family()));
            EXPECT_FALSE(found.bold());
            EXPECT_FALSE(found.italic());
            EXPECT_DOUBLE_EQ(f.pointSizeF(), points);
            // No condensing by the renderer: the text is as wide as the face makes it.
            for (const char* text : {"Species", "Site1", "Sp11", "Calculating Power Function..."})
                EXPECT_EQ(QFontMetrics(f).horizontalAdvance(QString::fromLatin1(text)),
                          QFontMetrics(ownWidthOf(f)).horizontalAdvance(QString::fromLatin1(text)))
                    << text;
        }
    }
}

} // namespace
