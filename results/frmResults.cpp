#include "results/frmResults.h"

#include "app/Comdlg.h"
#include "app/Help.h"
#include "platform/FocusedButton.h"
#include "platform/Geometry.h"
#include "platform/Look.h"
#include "platform/PictureBox.h"
#include "results/ResultsWidgets.h"
#include "results/SaveResults.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>

namespace {

// Positions are kept in twips, as the layout was drawn, and become whole
// pixels the way every window's do.
int px(int twips) { return platform::twipsToPixels(twips); }

void place(QWidget* w, int left, int top, int width, int height) { look::placeTwips(w, left, top, width, height); }

QPushButton* button(QWidget* parent, const QString& caption, int left, int top, int width, int height) {
    auto* b = new QPushButton(caption, parent);
    b->setFont(look::dialogFont(9.75));
    b->setAutoDefault(false);
    place(b, left, top, width, height);
    return b;
}

void setCaptionBold(QLabel* label, bool bold) {
    QFont f = label->font();
    f.setBold(bold);
    label->setFont(f);
}

const QString HelpFile = QStringLiteral("Marvisk Help.chm");
const QString HelpTopic = QStringLiteral("Results.htm");

} // namespace

frmResults::frmResults(QWidget* MainWindow) : QWidget(nullptr), mainWindow_(MainWindow) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Marvisk Results"));
    setFixedSize(px(14535), px(9720));
    QPalette p = palette();
    p.setColor(QPalette::Window, platform::windowBackground());
    setPalette(p);
    setAutoFillBackground(true);

    const QColor face = platform::buttonFaceColour();
    const QColor menu = platform::menuColour();

    pbx5 = new ClickBox(this, face, ClickBox::Edge::Tab);
    place(pbx5, 370, 360, 2150, 495);
    pbx5->setEdgeDepth(px(600 - 360) + 2);
    lbl1 = new ClickLabel(QStringLiteral("Numerical Results"), pbx5);
    lbl1->setFont(look::dialogFont(9.75, true));
    place(lbl1, 120, -40, 2040, 375);

    pbx7 = new ClickBox(this, menu, ClickBox::Edge::None);
    place(pbx7, 480, 240, 1935, 135);

    pbx3 = new ClickBox(this, face, ClickBox::Edge::Page);
    place(pbx3, 360, 600, 13815, 8655);
    buildPage1();

    pbx4 = new ClickBox(this, face, ClickBox::Edge::Page);
    place(pbx4, 360, 600, 13815, 8655);
    buildPage2();

    pbx6 = new ClickBox(this, face, ClickBox::Edge::Tab);
    place(pbx6, 2530, 360, 2150, 495);
    pbx6->setEdgeDepth(px(600 - 360) + 2);
    lbl2 = new ClickLabel(QStringLiteral("Power Functions"), pbx6);
    lbl2->setFont(look::dialogFont(9.75, false));
    place(lbl2, 240, -40, 1800, 375);

    pbx8 = new ClickBox(this, menu, ClickBox::Edge::None);
    place(pbx8, 2640, 240, 1935, 135);

    for (QLabel* caption : {static_cast<QLabel*>(lbl1), static_cast<QLabel*>(lbl2)}) {
        QPalette cp = caption->palette();
        cp.setColor(QPalette::WindowText, platform::buttonTextColour());
        caption->setPalette(cp);
    }

    // Front to back: pbx5, pbx7, pbx3, pbx4, pbx6, pbx8; the window opens on
    // the Numerical Results page.
    for (QWidget* w : {static_cast<QWidget*>(pbx8), static_cast<QWidget*>(pbx6), static_cast<QWidget*>(pbx4),
                       static_cast<QWidget*>(pbx3), static_cast<QWidget*>(pbx7), static_cast<QWidget*>(pbx5)})
        w->raise();

    connect(pbx5, &ClickBox::clicked, this, &frmResults::pbx5_Click);
    connect(lbl1, &ClickLabel::clicked, this, &frmResults::lbl1_Click);
    connect(pbx7, &ClickBox::clicked, this, &frmResults::pbx7_Click);
    connect(pbx6, &ClickBox::clicked, this, &frmResults::pbx6_Click);
    connect(lbl2, &ClickLabel::clicked, this, &frmResults::lbl2_Click);
    connect(pbx8, &ClickBox::clicked, this, &frmResults::pbx8_Click);
    connect(cmd1, &QPushButton::clicked, this, &frmResults::cmd1_Click);
    connect(cmd2, &QPushButton::clicked, this, &frmResults::cmd2_Click);
    connect(cmd3, &QPushButton::clicked, this, &frmResults::cmd3_Click);
    connect(cmd4, &QPushButton::clicked, this, &frmResults::cmd4_Click);
    connect(cmd5, &QPushButton::clicked, this, &frmResults::cmd5_Click);
    connect(cmd6, &QPushButton::clicked, this, &frmResults::cmd6_Click);

    for (ClickBox* page : {pbx3, pbx4}) {
        for (QWidget* control : page->findChildren<QWidget*>()) {
            if (control->focusPolicy() & Qt::TabFocus)
                focusStops_.emplace_back(control, control->focusPolicy());
        }
    }
    offerFocusOnPage(1);

    look::centreWindow(this);
}

void frmResults::buildPage1() {
    txt1 = new ResultsTextBox(pbx3);
    txt1->setFont(look::dialogFont(9.75));
    place(txt1, 450, 360, 12885, 7335);
    txt1->installEventFilter(this);
    cmd3 = button(pbx3, QStringLiteral("Help"), 480, 7920, 1215, 375);
    cmd1 = button(pbx3, QStringLiteral("Save"), 10800, 7920, 1215, 375);
    cmd2 = button(pbx3, QStringLiteral("Close"), 12120, 7920, 1215, 375);
    Picture1 = new ClickBox(pbx3, platform::buttonFaceColour(), ClickBox::Edge::None);
    place(Picture1, 0, 0, 1575, 15);
}

void frmResults::buildPage2() {
    // The chart's place on the page is white; the drawing surface inside it
    // is the frame picture's own size, so the saved bitmap is exactly the
    // chart frame picture with the curves on it.
    auto* chartPlace = new QWidget(pbx4);
    QPalette white = chartPlace->palette();
    white.setColor(QPalette::Window, Qt::white);
    chartPlace->setPalette(white);
    chartPlace->setAutoFillBackground(true);
    place(chartPlace, 480, 360, 9675, 7875);
    const QImage frame = ChartFramePicture();
    pbx1 = new platform::PictureBox(chartPlace);
    pbx1->setGeometry(QRect(QPoint(0, 0), frame.size()));
    // The saved chart is the same bitmap at any scale of the screen.
    pbx1->setKeepImageAtRatio1(true);
    pbx1->setBackColor(Qt::white);
    pbx1->setPicture(frame, ChartFramePictureAt2x());

    pbx2 = new platform::PictureBox(pbx4);
    place(pbx2, 10440, 360, 2895, 1335);
    pbx2->setFont(look::pictureBoxFont(12));
    pbx2->setForeColor(platform::buttonTextColour());
    pbx2->setBackColor(Qt::white);

    cmd6 = button(pbx4, QStringLiteral("About Power Functions..."), 10680, 7200, 2655, 375);
    cmd4 = button(pbx4, QStringLiteral("Save"), 10680, 7875, 1215, 375);
    cmd5 = button(pbx4, QStringLiteral("Close"), 12120, 7875, 1215, 375);
    cmd5->setDefault(true);
}

QImage frmResults::ChartFramePicture() {
    return QImage(QStringLiteral(":/results/chartframe.png")).convertToFormat(QImage::Format_RGB32);
}

QImage frmResults::ChartFramePictureAt2x() {
    QImage sharper = QImage(QStringLiteral(":/results/chartframe@2x.png")).convertToFormat(QImage::Format_RGB32);
    sharper.setDevicePixelRatio(2);
    return sharper;
}

// Selecting a page puts one box at a time in front of or behind all its
// siblings, in a fixed order; selecting the page already in front therefore
// changes nothing that can be seen.
void frmResults::selectPage(int page) {
    const bool first = page == 1;
    if (first) {
        pbx3->raise();
        pbx4->lower();
        pbx5->raise();
        pbx6->lower();
    } else {
        pbx3->lower();
        pbx4->raise();
        pbx5->lower();
        pbx6->raise();
    }
    pbx7->lower();
    pbx8->lower();
    setCaptionBold(lbl1, first);
    setCaptionBold(lbl2, !first);
    offerFocusOnPage(page);
}

// The page behind lies wholly under the page in front: its controls can't be
// seen, so Tab passes them by, and the focus leaves them for the first
// control of the page in front (Enter would press a button no one sees).
void frmResults::offerFocusOnPage(int page) {
    const QWidget* front = page == 1 ? pbx3 : pbx4;
    QWidget* first = nullptr;
    bool focusBehind = false;
    for (const auto& [control, policy] : focusStops_) {
        const bool shown = front->isAncestorOf(control);
        control->setFocusPolicy(shown ? policy : Qt::NoFocus);
        if (shown && !first)
            first = control;
        focusBehind = focusBehind || (!shown && control->hasFocus());
    }
    if (focusBehind && first)
        first->setFocus(Qt::TabFocusReason);
}

void frmResults::pbx5_Click() { selectPage(1); }
void frmResults::lbl1_Click() { selectPage(1); }
void frmResults::pbx7_Click() { selectPage(1); }
void frmResults::pbx6_Click() { selectPage(2); }
void frmResults::lbl2_Click() { selectPage(2); }
void frmResults::pbx8_Click() { selectPage(2); }

void frmResults::cmd1_Click() {
    SaveNumericalResults(*this, Comdlg(this, QStringLiteral("Numerical Results"), QStringLiteral("Save"), QString()));
}

void frmResults::cmd4_Click() {
    SavePowerFunctions(*this, Comdlg(this, QStringLiteral("Power Functions"), QStringLiteral("Save"),
                                     QStringLiteral(".bmp")));
}

void frmResults::cmd2_Click() { close(); }
void frmResults::cmd5_Click() { close(); }
void frmResults::cmd3_Click() { ShowHelpTopic(HelpFile, HelpTopic); }
void frmResults::cmd6_Click() { ShowHelpTopic(HelpFile, HelpTopic); }

// The Run hid the main window; it comes back however this window is closed.
void frmResults::Form_Unload() {
    if (mainWindow_)
        mainWindow_->show();
}

void frmResults::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

// The two outlines about the tab places lie on the window itself, behind every box.
void frmResults::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(platform::windowTextColour());
    for (const QRect& r : {QRect(px(2520), px(240), px(2175), px(735)), QRect(px(360), px(240), px(2175), px(735))})
        painter.drawRect(r.adjusted(0, 0, -1, -1));
}

// Enter presses the focused button, or else the window's default button,
// wherever the focus is (the text box included).
void frmResults::keyPressEvent(QKeyEvent* event) {
    if (platform::pressFocusedButton(this, event))
        return;
    if (platform::isEnterKey(event)) {
        cmd5->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool frmResults::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txt1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (platform::isEnterKey(key)) {
            cmd5->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
