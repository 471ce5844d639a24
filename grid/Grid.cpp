#include "grid/Grid.h"

#include "platform/PictureBox.h"

#include <QLineEdit>
#include <QResizeEvent>
#include <QScrollBar>

Grid::Grid(QWidget* parent)
    : QWidget(parent),
      hsb1(new QScrollBar(Qt::Horizontal, this)),
      pbx2(new QWidget(this)),
      pbx1(new platform::PictureBox(pbx2)),
      txt1(new QLineEdit(pbx1)),
      vsb1(new QScrollBar(Qt::Vertical, this)) {}

Grid::~Grid() = default;

QString Grid::GridToolTipText() const { return pbx1->toolTip(); }
void Grid::GridToolTipText(const QString& s1) { pbx1->setToolTip(s1); }
void Grid::MaxLength(int16_t i1) { MaxLength_ = i1; }
int16_t Grid::MaxLength() const { return static_cast<int16_t>(MaxLength_); }
void Grid::CellWidth(int32_t l1) { CellWidth_ = l1; }
void Grid::CellHeight(int32_t l1) { CellHeight_ = l1; }
void Grid::Rows(int32_t l1) { GridRows_ = l1 + 1; }
void Grid::Cols(int32_t l1) { GridCols_ = l1 + 1; }
SparseArray Grid::GetMatrix() { SparseArray result; result.Equals(Matrix_); return result; }
void Grid::SetMatrix(const SparseArray&, int32_t, int32_t) {}
void Grid::SetText(const QString& s1, int32_t l1, int32_t l2) { Matrix_.sValue(l1, l2, s1); }
QString Grid::GetText(int32_t l1, int32_t l2) const { return Matrix_.sValue(l1, l2); }
void Grid::PrintMatrix(int32_t, int32_t, int16_t, bool) {}
void Grid::EditHeaders(int16_t i1) { HeadersEditable_ = i1; }
void Grid::ResizeMatrix(int32_t l1, int32_t l2) { GridRows_ = l1 + 1; GridCols_ = l2 + 1; }
void Grid::HideSelection() {}
void Grid::UserControl_WriteProperties(PropertyBag&) const {}
void Grid::UserControl_ReadProperties(const PropertyBag&) {}
void Grid::UserControl_Resize() {}
void Grid::resizeEvent(QResizeEvent* event) { QWidget::resizeEvent(event); }
bool Grid::eventFilter(QObject* watched, QEvent* event) { return QWidget::eventFilter(watched, event); }
void Grid::UpdateScrollBars(double, double) {}
void Grid::ArrangeControls(double, double) {}
void Grid::DrawGridLines(const QColor&) {}
int32_t Grid::VisiblePosition(int16_t, int32_t) const { return -1; }
void Grid::PlaceEditBox(int32_t, int32_t, int16_t) {}
void Grid::EnsureVisible(int32_t, int32_t) {}
int32_t Grid::WrapIndex(int32_t value, int32_t, int16_t) { return value; }
void Grid::SelectAllText(QLineEdit* textBox) { textBox->selectAll(); }
void Grid::commitEditor() {}
void Grid::pbx1_MouseDown(int, int, float, float) {}
void Grid::pbx1_MouseMove(int, int, float X, float Y) { emit MouseMove(X, Y); }
void Grid::txt1_KeyDown(int&, int) {}
void Grid::txt1_KeyPress(int&) {}
void Grid::hsb1_Change() {}
void Grid::vsb1_Change() {}
