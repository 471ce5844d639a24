#include "platform/Look.h"

#include "platform/Geometry.h"

#include <QPalette>
#include <QStringList>
#include <QWidget>

namespace look {

QFont dialogFont(double pointSize, bool bold) {
    QFont font;
    // Narrow faces first: the layouts were made for a compact bitmap font.
    font.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans Condensed"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    // The common sans-serif faces here run wider than the compact face the
    // layouts were made for: a narrowed face fits the captions.
    font.setStretch(QFont::Condensed);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont serifFont(double pointSize) {
    QFont font;
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("DejaVu Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(pointSize);
    return font;
}

void applyControlLook(QWidget* widget, const QFont& font) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, platform::windowBackground());
    palette.setColor(QPalette::WindowText, Qt::white);
    widget->setPalette(palette);
    // Buttons fill with their button colour by default; these controls sit on
    // the window's own background.
    widget->setBackgroundRole(QPalette::Window);
    widget->setAutoFillBackground(true);
    widget->setFont(font);
}

void applyWindowLook(QWidget* widget) { applyControlLook(widget, dialogFont()); }

void placeTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(platform::twipsToPixels(left), platform::twipsToPixels(top),
                        platform::twipsToPixels(width), platform::twipsToPixels(height));
}

} // namespace look
