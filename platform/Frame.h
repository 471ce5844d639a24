#pragma once
// A frame: a captioned outline around a group of controls. Its inside is its
// background colour, the same as around it, where the styles shade a group
// box's inside a little darker than the window.

#include <QGroupBox>

namespace platform {

class Frame : public QGroupBox {
public:
    explicit Frame(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace platform
