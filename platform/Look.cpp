#include "platform/Look.h"

#include "platform/Geometry.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPalette>
#include <QPointer>
#include <QScreen>
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

QFont pictureBoxFont(double pointSize) {
    QFont font;
    // Cells are narrow and their texts are cut at the next cell: a face drawn
    // narrow by its designer (fonts-dejavu-extra carries it) shows the most
    // of a name and keeps its letters apart, where a face squeezed by the
    // renderer makes them touch.
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    // Set, not left to the parent: a cell's text is plain whatever the frame
    // around the grid uses, and a face at its own width is any stretch.
    font.setStretch(QFont::AnyStretch);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setPointSizeF(pointSize);
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

namespace {

const QScreen* screenFor(const QWidget* window, const QRect& area) {
    if (!area.isEmpty())
        if (const QScreen* screen = QGuiApplication::screenAt(area.center()))
            return screen;
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

// A window not yet shown has no frame: its title bar and borders are known
// only once the window system has it. At its first showing it is moved in
// again by what the frame adds, if that would put it over the edge.
class KeepOnScreenWhenShown : public QObject {
public:
    KeepOnScreenWhenShown(QWidget* window, const QScreen* screen) : QObject(window), screen_(screen) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent()) {
            auto* window = static_cast<QWidget*>(watched);
            window->removeEventFilter(this);
            if (screen_)
                window->move(platform::keepOnScreen(window->frameGeometry(), screen_->availableGeometry()));
            deleteLater();
        }
        return false;
    }

private:
    QPointer<const QScreen> screen_;
};

} // namespace

namespace look {

void centreWindow(QWidget* window, const QRect& area) {
    const QScreen* screen = screenFor(window, area);
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    QRect frame = window->frameGeometry();
    frame.moveCenter(area.isEmpty() ? available.center() : area.center());
    window->move(platform::keepOnScreen(frame, available));
    if (!window->isVisible())
        new KeepOnScreenWhenShown(window, screen);
}

} // namespace look
