#include "platform/Frame.h"

#include <QColor>
#include <QRegion>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace platform {

Frame::Frame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

// The style draws the caption; the outline is a thin line of the text colour
// over the background, left open where the caption lies, and nothing inside.
void Frame::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QRect outline = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, this);
    const QRect caption = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
    option.subControls &= ~QStyle::SC_GroupBoxFrame;
    painter.drawComplexControl(QStyle::CC_GroupBox, option);

    QColor line = palette().color(QPalette::WindowText);
    line.setAlpha(64);
    painter.setClipRegion(QRegion(rect()) - QRegion(caption.adjusted(-2, 0, 2, 0)));
    painter.setPen(line);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(outline.adjusted(0, 0, -1, -1));
}

} // namespace platform
