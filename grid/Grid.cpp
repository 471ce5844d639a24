#include "grid/Grid.h"

#include "analysis/MarviskError.h"
#include "grid/GridLayout.h"
#include "grid/GridNavigation.h"
#include "platform/Beep.h"
#include "platform/Geometry.h"
#include "platform/Look.h"
#include "platform/PictureBox.h"
#include "platform/Rounding.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QValidator>
#include <cmath>
#include <limits>
#include <utility>

namespace {

// The size of the cells' font: 13 pixels from the top of its tallest letter
// to the foot of its descenders, the height of the editor in a 20-pixel cell.
constexpr double CellFontPoints = 8;

// The bars keep the thickness they were designed with: 255 twips.
constexpr int ScrollBarThickness = platform::twipsToPixels(255);

// "No limit" for the editor itself. QLineEdit's own limit (32767 characters
// by default) also cuts a text given to it, which a commit would then store:
// a cell visited in passing would lose its end. The maximum length is kept
// by grid::EditorLengthLimit instead.
constexpr int EditorUnlimited = std::numeric_limits<int>::max();

// A pixel length held as a float, as a widget length.
int toWidgetLength(double length) {
    const double rounded = platform::roundHalfEven(length);
    if (rounded < 0)
        return 0;
    if (rounded > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(rounded);
}

// A stored property as a 32-bit integer: decimal text (a fraction rounds half
// to even); anything else is a type mismatch, a number beyond 32 bits an overflow.
int32_t propertyAsInteger(const QVariant& value) {
    const QString text = value.toString().trimmed();
    bool ok = false;
    const int32_t whole = text.toInt(&ok);
    if (ok)
        return whole;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        throw MarviskError(grid::TypeMismatchError, "Type mismatch");
    const double rounded = platform::roundHalfEven(number);
    if (rounded < std::numeric_limits<int32_t>::min() || rounded > std::numeric_limits<int32_t>::max())
        throw MarviskError(grid::OverflowError, "Overflow");
    return static_cast<int32_t>(rounded);
}

// The editor's key code for a key: the arrows and Enter by their codes, any
// other key by -1, which matches none of them (Qt's codes of printable keys
// would: '%' is 37, the code of the Left arrow).
int editorKeyCode(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Left: return grid::KeyLeft;
    case Qt::Key_Up: return grid::KeyUp;
    case Qt::Key_Right: return grid::KeyRight;
    case Qt::Key_Down: return grid::KeyDown;
    case Qt::Key_Return:
    case Qt::Key_Enter: return grid::KeyReturn;
    default: return -1;
    }
}

int shiftState(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= 1;
    if (modifiers & Qt::ControlModifier)
        shift |= 2;
    if (modifiers & Qt::AltModifier)
        shift |= 4;
    return shift;
}

int buttonCode(Qt::MouseButtons buttons) {
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

} // namespace

namespace grid {

// The editor's maximum length works as a text box's limit does: the user
// cannot make the text longer than the limit, but a text that the control
// loads into the editor stays whole, and the user may still shorten it. A
// limit that cut loaded texts would cut the cell at the next commit.
class EditorLengthLimit : public QValidator {
public:
    explicit EditorLengthLimit(QLineEdit* editor) : QValidator(editor) {
        connect(editor, &QLineEdit::textChanged, this, [this](const QString& text) { allowed_ = text.size(); });
    }
    // 0 for no limit.
    void setLimit(int32_t limit) { limit_ = limit; }
    // The next text comes from the control, not from the user.
    void allowLength(qsizetype length) { allowed_ = length; }

    State validate(QString& input, int&) const override {
        if (limit_ > 0 && input.size() > limit_ && input.size() > allowed_)
            return Invalid;
        return Acceptable;
    }

private:
    int32_t limit_ = 0;
    // The length of the text before the edit: an edit may shorten it.
    qsizetype allowed_ = 0;
};

} // namespace grid

Grid::Grid(QWidget* parent)
    : QWidget(parent),
      hsb1(new QScrollBar(Qt::Horizontal, this)),
      pbx2(new QWidget(this)),
      pbx1(new platform::PictureBox(pbx2)),
      txt1(new QLineEdit(pbx1)),
      vsb1(new QScrollBar(Qt::Vertical, this)),
      txt1Limit_(new grid::EditorLengthLimit(txt1)) {
    hsb1->setObjectName("hsb1");
    pbx2->setObjectName("pbx2");
    pbx1->setObjectName("pbx1");
    txt1->setObjectName("txt1");
    vsb1->setObjectName("vsb1");

    pbx2->move(0, 0);
    pbx1->move(0, 0);
    pbx1->setBackColor(platform::windowColour());
    pbx1->setForeColor(platform::windowTextColour());
    pbx1->setMouseTracking(true);
    pbx1->installEventFilter(this);

    // The cells' texts and the editor share one font, small enough for the
    // editor's height (the cell's less 7 pixels), drawn the surface's way; the
    // editor's text then stands on exactly the pixels of the cell's painted
    // text, and covers it. The line edit keeps 2 pixels before its text and
    // 1 above it of its own: the margins give them back, and the text goes to
    // the top so that its top meets the painted text's top whatever the height.
    pbx1->setFont(look::pictureBoxFont(CellFontPoints));
    txt1->setFont(pbx1->textFont());
    txt1->setFrame(false);
    txt1->setTextMargins(-2, -1, 0, 0);
    txt1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    txt1->setMaxLength(EditorUnlimited);
    txt1->setValidator(txt1Limit_);
    txt1->installEventFilter(this);

    // The bars are shown only once a layout finds them needed; their
    // position changes are handled when the thumb is released, not while it
    // is dragged.
    for (QScrollBar* bar : {hsb1, vsb1}) {
        bar->setTracking(false);
        bar->setRange(0, 0);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setEnabled(false);
        bar->hide();
    }
    hsb1->resize(hsb1->width(), ScrollBarThickness);
    vsb1->resize(ScrollBarThickness, vsb1->height());
    connect(hsb1, &QScrollBar::valueChanged, this, [this](int) { hsb1_Change(); });
    connect(vsb1, &QScrollBar::valueChanged, this, [this](int) { vsb1_Change(); });
}

Grid::~Grid() = default;

// --- Properties -----------------------------------------------------------

QString Grid::GridToolTipText() const { return pbx1->toolTip(); }

void Grid::GridToolTipText(const QString& s1) { pbx1->setToolTip(s1); }

void Grid::MaxLength(int16_t i1) {
    if (i1 < 0)
        throw MarviskError(grid::InvalidPropertyValueError, "Invalid property value");
    MaxLength_ = i1;
    txt1Limit_->setLimit(i1);
}

int16_t Grid::MaxLength() const { return grid::toInteger16(MaxLength_); }

void Grid::CellWidth(int32_t l1) {
    CellWidth_ = l1;
    UserControl_Resize();
}

void Grid::CellHeight(int32_t l1) {
    CellHeight_ = l1;
    UserControl_Resize();
}

void Grid::Rows(int32_t l1) {
    GridRows_ = grid::checkedAdd(l1, 1);
    UserControl_Resize();
}

void Grid::Cols(int32_t l1) {
    GridCols_ = grid::checkedAdd(l1, 1);
    UserControl_Resize();
}

int32_t Grid::Rows() const { return grid::checkedSubtract(GridRows_, 1); }

int32_t Grid::Cols() const { return grid::checkedSubtract(GridCols_, 1); }

// --- Matrix interface -----------------------------------------------------

void Grid::commitEditor() { SetText(txt1->text(), TextRow_, TextCol_); }

SparseArray Grid::GetMatrix() {
    SparseArray result;
    commitEditor();
    result.Equals(Matrix_);
    return result;
}

// The new content is built whole beside the grid's and then takes its place,
// so a SetMatrix that fails (an offset leaving the 32-bit range, want of
// memory) leaves the grid as it was. The cells that stay (rows above l1,
// columns left of l2) keep their order, and sry1's cells follow in its
// order; one of sry1's shifted cells that lands on a staying cell moves it
// to the end with the new text, as writing it there does.
void Grid::SetMatrix(const SparseArray& sry1, int32_t l1, int32_t l2) {
    layOutPendingSize();
    sry1.forEachCell([l1, l2](int32_t row, int32_t col, const QString&) {
        grid::checkedAdd(row, l1);
        grid::checkedAdd(col, l2);
    });
    SparseArray next;
    Matrix_.forEachCell([&next, l1, l2](int32_t row, int32_t col, const QString& text) {
        if (row < l1 || col < l2)
            next.sValue(row, col, text);
    });
    sry1.forEachCell([&next, l1, l2](int32_t row, int32_t col, const QString& text) {
        next.sValue(row + l1, col + l2, text);
    });
    showMatrix(next);
}

// With both offsets 0 and no cell at a negative row or column, the result is
// sry1 itself: it is taken over without a copy.
void Grid::SetMatrix(SparseArray&& sry1, int32_t l1, int32_t l2) {
    bool keepsCells = l1 != 0 || l2 != 0;
    if (!keepsCells)
        Matrix_.forEachCell([&keepsCells](int32_t row, int32_t col, const QString&) {
            keepsCells = keepsCells || row < 0 || col < 0;
        });
    if (keepsCells) {
        SetMatrix(static_cast<const SparseArray&>(sry1), l1, l2);
        return;
    }
    layOutPendingSize();
    showMatrix(sry1);
}

// Takes next's content as the grid's (next gets the old one), reloads the
// editor and repaints.
void Grid::showMatrix(SparseArray& next) {
    Matrix_.swap(next);
    loadEditor(Matrix_.sValue(TextRow_, TextCol_));
    PrintMatrix(TextRow_, TextCol_, 0, false);
    EditHeaders(HeadersEditable_);
}

void Grid::SetText(const QString& s1, int32_t l1, int32_t l2) { Matrix_.sValue(l1, l2, s1); }

QString Grid::GetText(int32_t l1, int32_t l2) const { return Matrix_.sValue(l1, l2); }

// The kept cells are gathered before the size changes, so a resize that
// fails for want of memory leaves the size and the cells as they were.
void Grid::ResizeMatrix(int32_t l1, int32_t l2) {
    commitEditor();
    const int32_t rows = grid::checkedAdd(l1, 1);
    const int32_t cols = grid::checkedAdd(l2, 1);
    SparseArray kept;
    Matrix_.forEachCell([&kept, l1, l2](int32_t row, int32_t col, const QString& text) {
        if (row <= l1 && col <= l2)
            kept.sValue(row, col, text);
    });
    GridRows_ = rows;
    GridCols_ = cols;
    UserControl_Resize();
    SetMatrix(std::move(kept), 0, 0);
}

void Grid::HideSelection() {
    layOutPendingSize();
    commitEditor();
    txt1->hide();
    PrintMatrix(TextRow_, TextCol_, 0, true);
}

// --- Persistence ----------------------------------------------------------

void Grid::UserControl_WriteProperties(PropertyBag& PropBag) const {
    PropBag.WriteProperty("CellHeight", QString::number(CellHeight_), QStringLiteral("20"));
    PropBag.WriteProperty("CellWidth", QString::number(CellWidth_), QStringLiteral("60"));
    PropBag.WriteProperty("GridRows", QString::number(GridRows_), QStringLiteral("1"));
    PropBag.WriteProperty("GridCols", QString::number(GridCols_), QStringLiteral("1"));
    PropBag.WriteProperty("MaxLength", QString::number(MaxLength_), QStringLiteral("0"));
    PropBag.WriteProperty("GridToolTipText", GridToolTipText(), QString());
}

void Grid::UserControl_ReadProperties(const PropertyBag& PropBag) {
    CellHeight_ = propertyAsInteger(PropBag.ReadProperty("CellHeight", QStringLiteral("20")));
    CellWidth_ = propertyAsInteger(PropBag.ReadProperty("CellWidth", QStringLiteral("60")));
    GridRows_ = propertyAsInteger(PropBag.ReadProperty("GridRows", QStringLiteral("1")));
    GridCols_ = propertyAsInteger(PropBag.ReadProperty("GridCols", QStringLiteral("1")));
    const int32_t maxLength = propertyAsInteger(PropBag.ReadProperty("MaxLength", QStringLiteral("0")));
    if (maxLength < 0)
        throw MarviskError(grid::InvalidPropertyValueError, "Invalid property value");
    MaxLength_ = maxLength;
    txt1Limit_->setLimit(maxLength);
    pbx1->setToolTip(PropBag.ReadProperty("GridToolTipText", QString()).toString());
}

// --- Layout ---------------------------------------------------------------

void Grid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (InResize_ == -1)
        return;
    // A hidden control hears of a size change only when it is shown; the
    // change that the layout itself made needs no second layout.
    if (size() == laidOutSize_)
        return;
    UserControl_Resize();
}

// A control learns of a size given while it is hidden only when it is shown.
// The members that paint lay such a size out first, so a host that fills the
// grid before showing it paints on the final layout.
void Grid::layOutPendingSize() {
    if (InResize_ == 0 && size() != laidOutSize_)
        UserControl_Resize();
}

void Grid::UserControl_Resize() {
    if (InResize_ == -1)
        return;
    // Pixels are this control's inner scale: 15 twips to the pixel.
    const double W = width();
    const double H = height();
    UpdateScrollBars(H, W);
    InResize_ = -1;
    const double snappedH = grid::SnapLength(H, CellHeight_, hsb1->isEnabledTo(this), hsb1->height());
    resize(width(), toWidgetLength(snappedH));
    const double snappedW = grid::SnapLength(W, CellWidth_, vsb1->isEnabledTo(this), vsb1->width());
    resize(toWidgetLength(snappedW), height());
    InResize_ = 0;
    laidOutSize_ = size();
    ArrangeControls(height(), width());
}

void Grid::UpdateScrollBars(double h, double w) {
    grid::GridSize sizes{CellHeight_, CellWidth_, GridRows_, GridCols_};
    grid::ApplyLayoutDefaults(sizes);
    CellHeight_ = sizes.CellHeight;
    CellWidth_ = sizes.CellWidth;
    GridRows_ = sizes.GridRows;
    GridCols_ = sizes.GridCols;
    const grid::ScrollBarsEnabled bars = grid::DecideScrollBars(h, w, sizes, hsb1->height(), vsb1->width());
    hsb1->setEnabled(bars.hsb1);
    vsb1->setEnabled(bars.vsb1);
    hsb1->setVisible(bars.hsb1);
    vsb1->setVisible(bars.vsb1);
}

void Grid::ArrangeControls(double h, double w) {
    const grid::GridSize sizes{CellHeight_, CellWidth_, GridRows_, GridCols_};
    const grid::ScrollBarsEnabled bars{hsb1->isEnabledTo(this), vsb1->isEnabledTo(this)};
    const grid::Arrangement a = grid::ArrangeAxes(h, w, sizes, bars, hsb1->height(), vsb1->width());
    const int surfaceWidth = toWidgetLength(a.surfaceWidth);
    const int surfaceHeight = toWidgetLength(a.surfaceHeight);
    pbx1->resize(surfaceWidth, surfaceHeight);
    pbx2->resize(surfaceWidth, surfaceHeight);
    VisibleRows_ = a.VisibleRows;
    VisibleCols_ = a.VisibleCols;
    if (bars.hsb1)
        hsb1->setGeometry(0, surfaceHeight, surfaceWidth, hsb1->height());
    if (bars.vsb1)
        vsb1->setGeometry(surfaceWidth, 0, vsb1->width(), surfaceHeight);
    {
        // A position beyond a lowered maximum drops to it quietly; the next
        // repaint shows the cells from there.
        const QSignalBlocker blockH(hsb1);
        const QSignalBlocker blockV(vsb1);
        hsb1->setRange(0, a.hsb1Max);
        vsb1->setRange(0, a.vsb1Max);
    }
    txt1->resize(toWidgetLength(grid::checkedSubtract(CellWidth_, 7)),
                 toWidgetLength(grid::checkedSubtract(CellHeight_, 7)));
    TextRow_ = 1;
    TextCol_ = 1;
    DrawGridLines(platform::buttonFaceColour());
}

// --- Selection and editing ------------------------------------------------

int32_t Grid::VisiblePosition(int16_t axis, int32_t index) const {
    if (axis == 0)
        return grid::VisibleSlot(index, vsb1->value(), VisibleRows_);
    if (axis == 1)
        return grid::VisibleSlot(index, hsb1->value(), VisibleCols_);
    return -1;
}

void Grid::PlaceEditBox(int32_t row, int32_t col, int16_t mode) {
    int32_t rs = row;
    int32_t cs = col;
    if (mode != 1) {
        rs = VisiblePosition(0, row);
        if (rs < 0) {
            txt1->hide();
            return;
        }
        cs = VisiblePosition(1, col);
        if (cs < 0) {
            txt1->hide();
            return;
        }
    }
    txt1->show();
    const double top = static_cast<double>(CellHeight_) * rs + (CellHeight_ - txt1->height()) / 2.0;
    const double left = static_cast<double>(CellWidth_) * cs + (CellWidth_ - txt1->width()) / 2.0;
    // On the pixels the surface gives the same coordinates, so the editor
    // lies over the cell's painted text whatever the slot.
    txt1->move(platform::nearestPixel(left), platform::nearestPixel(top));
    if (mode != 1) {
        TextRow_ = row;
        TextCol_ = col;
    } else {
        TextRow_ = rs == 0 ? 0 : grid::checkedAdd(vsb1->value(), rs);
        TextCol_ = cs == 0 ? 0 : grid::checkedAdd(hsb1->value(), cs);
    }
}

void Grid::EnsureVisible(int32_t row, int32_t col) {
    const int32_t rs = VisiblePosition(0, row);
    const int32_t cs = VisiblePosition(1, col);
    // Each assignment that changes a position repaints at once through the
    // bar's change handler, still for the old selection.
    if (rs == -1)
        vsb1->setValue(vsb1->value() - 1);
    if (cs == -1)
        hsb1->setValue(hsb1->value() - 1);
    if (rs == -2)
        vsb1->setValue(grid::checkedAdd(grid::checkedSubtract(row, VisibleRows_), 1));
    if (cs == -2)
        hsb1->setValue(grid::checkedAdd(grid::checkedSubtract(col, VisibleCols_), 1));
    // A wrap to the first data row or column brings the view back to the start.
    if (row <= 1)
        vsb1->setValue(0);
    if (col <= 1)
        hsb1->setValue(0);
}

void Grid::loadEditor(const QString& text) {
    txt1Limit_->allowLength(text.size());
    txt1->setText(text);
}

void Grid::SelectAllText(QLineEdit* textBox) { textBox->setSelection(0, static_cast<int>(textBox->text().size())); }

void Grid::EditHeaders(int16_t i1) {
    layOutPendingSize();
    commitEditor();
    if (i1 == 1) {
        HeadersEditable_ = 1;
    } else if (i1 == 0) {
        HeadersEditable_ = 0;
        // The selection leaves the header row and column.
        if (TextRow_ == 0)
            TextRow_ = 1;
        if (TextCol_ == 0)
            TextCol_ = 1;
    }
    // Any other value keeps the current lock and redraws it.
    DrawGridLines(HeadersEditable_ == 1 ? QColor(Qt::white) : platform::buttonFaceColour());
    PrintMatrix(TextRow_, TextCol_, 0, false);
    PlaceEditBox(TextRow_, TextCol_, 0);
    loadEditor(GetText(TextRow_, TextCol_));
    SelectAllText(txt1);
    if (!txt1->isHidden())
        txt1->setFocus();
}

// --- Handlers -------------------------------------------------------------

bool Grid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pbx1) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPointF p = mouse->position();
            pbx1_MouseDown(buttonCode(mouse->buttons()), shiftState(mouse->modifiers()), static_cast<float>(p.x()),
                           static_cast<float>(p.y()));
            return true;
        }
        if (event->type() == QEvent::MouseMove) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPointF p = mouse->position();
            pbx1_MouseMove(buttonCode(mouse->buttons()), shiftState(mouse->modifiers()), static_cast<float>(p.x()),
                           static_cast<float>(p.y()));
            return false;
        }
    } else if (watched == txt1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        int keyCode = editorKeyCode(key->key());
        txt1_KeyDown(keyCode, shiftState(key->modifiers()));
        if (keyCode == 0)
            return true;
        if (!key->text().isEmpty()) {
            int keyAscii = key->text().at(0).unicode();
            txt1_KeyPress(keyAscii);
            if (keyAscii == 0)
                return true;
        }
        return false;
    }
    return QWidget::eventFilter(watched, event);
}

void Grid::pbx1_MouseDown(int Button, int Shift, float X, float Y) {
    (void)Button;
    (void)Shift;
    const int32_t h = HeadersEditable_;
    const double r = std::floor(static_cast<double>(Y) / CellHeight_);
    const double c = std::floor(static_cast<double>(X) / CellWidth_);
    if (c <= -h || r <= -h) {
        // The headers are locked: the click is refused.
        platform::beep();
        return;
    }
    const auto row = static_cast<int32_t>(r);
    const auto col = static_cast<int32_t>(c);
    commitEditor();
    PrintMatrix(row, col, 1, false);
    PlaceEditBox(row, col, 1);
    loadEditor(GetText(TextRow_, TextCol_));
    txt1->show();
    txt1->setFocus();
    SelectAllText(txt1);
}

void Grid::pbx1_MouseMove(int Button, int Shift, float X, float Y) {
    (void)Button;
    (void)Shift;
    emit MouseMove(X, Y);
}

void Grid::txt1_KeyDown(int& KeyCode, int Shift) {
    (void)Shift;
    const auto target =
        grid::KeyTarget(KeyCode, {TextRow_, TextCol_}, Rows(), Cols(), HeadersEditable_);
    if (!target)
        return;
    KeyCode = 0;
    const int32_t row = target->row;
    const int32_t col = target->col;
    commitEditor();
    EnsureVisible(row, col);
    PlaceEditBox(row, col, 0);
    PrintMatrix(row, col, 0, false);
    loadEditor(GetText(row, col));
    SelectAllText(txt1);
    txt1->setFocus();
}

void Grid::txt1_KeyPress(int& KeyAscii) {
    // The Enter that moved the selection adds nothing to the text.
    if (KeyAscii == grid::KeyReturn)
        KeyAscii = 0;
}

void Grid::hsb1_Change() {
    PrintMatrix(TextRow_, TextCol_, 0, false);
    PlaceEditBox(TextRow_, TextCol_, 0);
}

void Grid::vsb1_Change() {
    PrintMatrix(TextRow_, TextCol_, 0, false);
    PlaceEditBox(TextRow_, TextCol_, 0);
}
