#include "results/ResultsWidgets.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace {

// A click is a press and a release of the left button, the release inside
// the widget.
void notePress(bool& pressed, QMouseEvent* event) {
    pressed = event->button() == Qt::LeftButton;
    event->accept();
}

bool completesClick(bool& pressed, QMouseEvent* event, const QRect& area) {
    const bool click = pressed && event->button() == Qt::LeftButton && area.contains(event->position().toPoint());
    pressed = false;
    event->accept();
    return click;
}

} // namespace

ClickBox::ClickBox(QWidget* parent, const QColor& colour, Edge edge) : QFrame(parent), edge_(edge) {
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    setAutoFillBackground(true);
}

void ClickBox::mousePressEvent(QMouseEvent* event) { notePress(pressed_, event); }

void ClickBox::mouseReleaseEvent(QMouseEvent* event) {
    if (completesClick(pressed_, event, rect()))
        emit clicked();
}

// A two-pixel raised edge: light outside and midlight inside on the lit
// sides, dark and mid on the shaded ones.
void ClickBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (edge_ == Edge::None)
        return;
    QPainter painter(this);
    const QPalette& p = palette();
    const int r = width() - 1;
    const int b = edge_ == Edge::Tab && edgeDepth_ > 0 ? std::min(edgeDepth_, height()) - 1 : height() - 1;
    const QColor light = p.color(QPalette::Light);
    const QColor midlight = p.color(QPalette::Midlight);
    const QColor dark = p.color(QPalette::Dark);
    const QColor shadow = p.color(QPalette::Shadow);
    painter.setPen(light);
    painter.drawLine(0, 0, r, 0);
    painter.drawLine(0, 0, 0, b);
    painter.setPen(midlight);
    painter.drawLine(1, 1, r - 1, 1);
    painter.drawLine(1, 1, 1, b);
    painter.setPen(shadow);
    painter.drawLine(r, 0, r, b);
    painter.setPen(dark);
    painter.drawLine(r - 1, 1, r - 1, b);
    if (edge_ == Edge::Page) {
        painter.setPen(shadow);
        painter.drawLine(0, b, r, b);
        painter.setPen(dark);
        painter.drawLine(1, b - 1, r - 1, b - 1);
    }
}

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) { notePress(pressed_, event); }

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (completesClick(pressed_, event, rect()))
        emit clicked();
}

ResultsTextBox::ResultsTextBox(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void ResultsTextBox::setText(const QString& text) {
    text_ = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(shown);
    moveCursor(QTextCursor::Start);
}
