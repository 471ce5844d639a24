// The About box: its texts, its layout at 15 twips a pixel, the picture it
// carries, and the Close button and close box that end its modal display.

#include "app/frmAbout.h"

#include "app/tests/AppTestSupport.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QtTest/QTest>

namespace {

TEST(frmAboutBox, TextsAndLayout) {
    frmAbout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Marvisk"));
    EXPECT_EQ(about.Label1->text(), QStringLiteral("Marvisk"));
    EXPECT_EQ(about.Label2->text(), QStringLiteral("Version 1.0"));
    EXPECT_EQ(about.Label3->text().count(u'\n'), 1) << "a notice of two lines";
    EXPECT_EQ(about.cmd1->text(), QStringLiteral("Close"));

    EXPECT_EQ(about.size(), QSize(370, 185));
    EXPECT_EQ(about.Image1->geometry(), QRect(16, 16, 153, 153));
    EXPECT_EQ(about.Label1->geometry(), QRect(208, 16, 129, 33));
    EXPECT_EQ(about.Label2->geometry(), QRect(240, 60, 57, 17));
    EXPECT_EQ(about.Label3->geometry(), QRect(192, 84, 161, 33));
    EXPECT_EQ(about.cmd1->geometry(), QRect(232, 136, 73, 25));
}

TEST(frmAboutBox, PictureIsStretchedToItsControl) {
    frmAbout about;
    about.show();
    QApplication::processEvents();
    EXPECT_EQ(about.Image1->pixmap().size(), QSize(283, 283));
    // The light blue grid line at a third of the picture is drawn at a third
    // of the control (51 pixels, give or take the smoothing of the stretch).
    const QImage drawn = about.Image1->grab().toImage();
    bool lineFound = false;
    for (int x = 49; x <= 53; ++x) {
        const QColor c = drawn.pixelColor(x, 120);
        lineFound = lineFound || (c.blue() > 200 && c.green() > 170);
    }
    EXPECT_TRUE(lineFound);
    about.hide();
}

TEST(frmAboutBox, CloseButtonAndCloseBoxEndTheModalDisplay) {
    for (const bool byButton : {true, false}) {
        frmAbout about;
        bool wasModal = false;
        apptest::whenModalShown([&](QWidget* window) {
            wasModal = window == &about;
            if (byButton)
                QTest::mouseClick(about.cmd1, Qt::LeftButton);
            else
                about.close();
        });
        about.exec();
        EXPECT_TRUE(wasModal) << byButton;
        EXPECT_FALSE(about.isVisible()) << byButton;
    }
}

} // namespace

MARVISK_WIDGET_TEST_MAIN()
