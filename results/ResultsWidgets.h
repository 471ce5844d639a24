#pragma once
// The small pieces the results window is built from: boxes and captions that
// report a click (the tab headers, the strips above them and the pages), and
// the read-only text box that keeps its text exactly as it was given.

#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QString>

class QMouseEvent;
class QPaintEvent;

// A plain box in a solid colour. A click is a press and a release of the left
// button inside the box.
class ClickBox : public QFrame {
    Q_OBJECT
public:
    // The edge a box shows: none (the strips), raised on the left, top and
    // right (a tab header, whose bottom merges with the page it selects), or
    // raised all round (a page).
    enum class Edge { None, Tab, Page };

    ClickBox(QWidget* parent, const QColor& colour, Edge edge);

    // How far down a tab header's side edges run: to the page's top border,
    // below which the header only covers the page and so looks joined to it.
    void setEdgeDepth(int rows) { edgeDepth_ = rows; }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Edge edge_;
    int edgeDepth_ = -1;
    bool pressed_ = false;
};

// A caption that reports a click the way ClickBox does.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    ClickLabel(const QString& text, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

// A read-only multi-line text box with a vertical scroll bar. Text() gives
// back exactly what setText() was given, CR LF line ends included, because
// that text is what gets saved; the box only displays it.
class ResultsTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ResultsTextBox(QWidget* parent);

    QString Text() const { return text_; }
    void setText(const QString& text);

private:
    QString text_;
};
