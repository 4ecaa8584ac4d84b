#include "app/gui/month_grid.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>
#include <algorithm>
#include <QMouseEvent>
#include <QPainter>

#include "app/core/files/encoding.h"
#include "app/core/month_palette.h"
#include "app/pictures/pictures.h"

namespace orv {
namespace {

// The layout is measured in pixels at 96 dots per inch; font sizes are given
// in points as in that layout and converted so that they keep their size
// relative to the cells (the toolkit scales both together at 200 %).
constexpr double kPixelsPerPoint = 96.0 / 72.0;

constexpr double kCellFontPoints = 11;
constexpr double kLabelFontPoints = 14;
constexpr double kDayFontPoints = 18;
constexpr double kOutsideDayFontPoints = 10;
constexpr double kMarkFontPoints = 9;
constexpr int kTextInsetPx = 2;

QColor Colour(const Rgb& c) { return QColor(c.r, c.g, c.b); }

// The colours of the days come from the month palette; these are the
// window's own (its labels, the strips and the frame).
const QColor kRed = Colour(palette::kRed);
const QColor kPurple(0x80, 0x00, 0x80);      // strip of the days before the month
const QColor kLime(0x00, 0x64, 0x00);        // the month's name in the corner
const QColor kSaturdayBlue = Colour(palette::kSaturdayBlue);
const QColor kOutsideText(0x59, 0x59, 0x59);  // day numbers of the months before and after
const QColor kOutsideRed(0xC0, 0x00, 0x00);
const QColor kOutsideBack(0xF2, 0xEE, 0xF4);  // their cells: pale, so that their holidays read
// The months before and after keep their colours (purple, maroon) as a strip
// at the cell's left edge, this wide at the layout's size.
constexpr int kOutsideStripPx = 6;
const QColor kMaroon(0x80, 0x00, 0x00);      // strip of the days after the month
const QColor kYellow = Colour(palette::kTodayBack);
const QColor kButtonFace(0xF0, 0xF0, 0xF0);
const QColor kSelectionFrame(0x00, 0x50, 0xC8);
constexpr int kSelectionFramePx = 2;

constexpr int kSundayColumn = 1;
constexpr int kSaturdayColumn = 7;

}  // namespace

QFont GridFont(double points, bool bold) {
  QFont font;
  font.setFamilies({"굴림", "Gulim", "Noto Sans CJK KR", "Noto Sans KR", "Noto Sans CJK JP", "WenQuanYi Zen Hei"});
  font.setPixelSize(std::max(1, static_cast<int>(points * kPixelsPerPoint + 0.5)));
  font.setBold(bold);
  return font;
}

CellStyle CellPainter::StyleOf(const QModelIndex& index) const {
  const int row = index.row();
  const int column = index.column();
  const double k = state_.scale;
  CellStyle style;
  style.text = index.data().toString();
  style.background = Qt::white;
  style.foreground = Qt::black;
  style.font = GridFont(kCellFontPoints * k);
  style.alignment = Qt::AlignVCenter | Qt::AlignLeft;

  const int line = MonthGrid::LineOfRow(row);
  const int cell = MonthGrid::CellAt(column, row);
  const bool outside = state_.filled && cell >= 0 && (cell <= state_.lastCellBefore || cell >= state_.firstCellAfter);
  if (row == 0) {
    style.background = kButtonFace;
    if (column == 0) style.foreground = kLime;
    else if (column == kSundayColumn) style.foreground = kRed;
    else if (column == kSaturdayColumn) style.foreground = kSaturdayBlue;
    style.font.setBold(true);
    // Centred: the CJK fonts' line box is taller than the 17-pixel row, so
    // the layout's 2-pixel top inset would cut the glyphs.
    style.alignment = Qt::AlignCenter;
  } else if (column == 0) {
    style.background = kButtonFace;
    style.alignment = Qt::AlignCenter;
    if (line == 0) style.font = GridFont(kLabelFontPoints * k, true);
  } else if (cell >= 0) {
    const LineColours colours = DayLineColours(state_.grid.cells[cell], line, column - kSundayColumn);
    style.foreground = Colour(colours.text);
    if (colours.hasBack) style.background = Colour(colours.back);
    if (line == 0) {
      style.alignment = Qt::AlignVCenter | Qt::AlignRight;
      style.font = GridFont(kDayFontPoints * k, true);
      if (outside) {
        // Smaller and pale, with their Sundays and holidays still red.
        style.font = GridFont(kOutsideDayFontPoints * k, true);
        style.background = kOutsideBack;
        if (style.foreground == Qt::black) style.foreground = kOutsideText;
        else if (style.foreground == kRed) style.foreground = kOutsideRed;
      }
    } else if (colours.markSize) {
      style.font = GridFont(kMarkFontPoints * k);
    }
  }
  if (outside && style.background == Qt::white) style.background = kOutsideBack;
  if (cell >= 0 && cell == state_.todayCell) {
    style.background = kYellow;
    if (style.foreground == Qt::white) style.foreground = Qt::black;
  }
  return style;
}

namespace {

QRect TextRectOf(const QRect& rect, int alignment) {
  if (alignment == Qt::AlignCenter) return rect;
  return rect.adjusted(kTextInsetPx, 0, -kTextInsetPx, 0);
}

}  // namespace

// A text a little too wide for its cell is set smaller, down to this share
// of its size, or to the layout's own size in a grown grid (a term's name
// with its reading, two memos); only beyond that is it elided.
constexpr double kSmallestFit = 0.72;

static QFont FittedFont(const CellStyle& style, int width, double scale) {
  QFont font = style.font;
  const int full = font.pixelSize();
  const double smallest = std::min(kSmallestFit, 1.0 / std::max(1.0, scale));
  for (double share = 1.0; share >= smallest - 1e-9; share = std::max(smallest, share - 0.04)) {
    font.setPixelSize(std::max(1, static_cast<int>(full * share)));
    if (QFontMetrics(font).horizontalAdvance(style.text) <= width) return font;
    if (share == smallest) break;
  }
  return font;
}

bool CellPainter::Elided(const QModelIndex& index, const QRect& rect) const {
  const CellStyle style = StyleOf(index);
  if (style.text.isEmpty()) return false;
  const int width = TextRectOf(rect, style.alignment).width();
  return QFontMetrics(FittedFont(style, width, state_.scale)).horizontalAdvance(style.text) > width;
}

bool CellPainter::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                            const QModelIndex& index) {
  if (event->type() == QEvent::ToolTip && index.isValid() && Elided(index, option.rect)) {
    QToolTip::showText(event->globalPos(), StyleOf(index).text, view);
    return true;
  }
  return false;  // the grid's own hint
}

void CellPainter::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const int row = index.row();
  const int column = index.column();
  const QRect rect = option.rect;
  const CellStyle style = StyleOf(index);
  const int line = MonthGrid::LineOfRow(row);
  const int cell = MonthGrid::CellAt(column, row);
  const QRect textRect = TextRectOf(rect, style.alignment);

  painter->save();
  painter->fillRect(rect, style.background);
  if (line == 0 && column > 0 && state_.filled && cell >= 0 &&
      (cell <= state_.lastCellBefore || cell >= state_.firstCellAfter)) {
    const int strip = std::max(1, static_cast<int>(kOutsideStripPx * state_.scale + 0.5));
    painter->fillRect(QRect(rect.left(), rect.top(), strip, rect.height()),
                      cell <= state_.lastCellBefore ? kPurple : kMaroon);
  }
  painter->setClipRect(rect);
  const QFont font = FittedFont(style, textRect.width(), state_.scale);
  painter->setFont(font);
  painter->setPen(style.foreground);
  const QFontMetrics metrics(font);
  // A text wider than its cell ends in "…"; the tooltip shows it whole.
  const QString text = metrics.elidedText(style.text, Qt::ElideRight, std::max(0, textRect.width()));
  if (style.alignment & Qt::AlignVCenter) {
    // Centre the ink, not the font's line box: CJK fonts reserve more room
    // above and below their glyphs than the 17-pixel rows have. Digits set
    // the height of the day numbers, a Hangul syllable that of other lines.
    const QRect ink = metrics.tightBoundingRect(line == 0 && column > 0 ? "0" : "가");
    const int baseline = rect.top() + (rect.height() - ink.height()) / 2 - ink.top();
    const int width = metrics.horizontalAdvance(text);
    int x = textRect.left();
    if (style.alignment & Qt::AlignRight) x = textRect.right() + 1 - width;
    else if (style.alignment & Qt::AlignHCenter) x = textRect.left() + (textRect.width() - width) / 2;
    painter->drawText(QPoint(x, baseline), text);
  } else {
    painter->drawText(textRect, style.alignment, text);
  }

  // The Moon's principal phase of the day: a small picture left of the date.
  if (line == 0 && cell >= 0 && cell < MonthGrid::kCells && state_.moonQuarter[cell] != kNoQuarter) {
    const int quarter = state_.moonQuarter[cell];
    const double fraction = quarter == kNewMoonQuarter ? 0.0 : quarter == kFullMoonQuarter ? 1.0 : 0.5;
    // Waxing: lit on the right (west) as the Moon is seen from the north.
    const double limbFromUp = quarter == kLastQuarter ? 90.0 : -90.0;
    const int size = std::max(6, rect.height() - 4);
    pictures::DrawMoonPhase(*painter, QRectF(rect.left() + 3, rect.top() + (rect.height() - size) / 2.0, size, size),
                            fraction, limbFromUp);
  }

  // Separators: above and below each week, between the day columns.
  painter->setPen(QPen(Qt::black, 1));
  if (row >= 1 && line == 0) painter->drawLine(rect.topLeft(), rect.topRight());
  if (row == 0 || line == 2) painter->drawLine(rect.bottomLeft(), rect.bottomRight());
  painter->drawLine(rect.topRight(), rect.bottomRight());

  // The selected day: a frame around its three lines.
  if (cell >= 0 && cell == state_.selectedCell) {
    const int w = kSelectionFramePx;
    painter->fillRect(QRect(rect.left(), rect.top(), w, rect.height()), kSelectionFrame);
    painter->fillRect(QRect(rect.right() + 1 - w, rect.top(), w, rect.height()), kSelectionFrame);
    if (line == 0) painter->fillRect(QRect(rect.left(), rect.top(), rect.width(), w), kSelectionFrame);
    if (line == 2) painter->fillRect(QRect(rect.left(), rect.bottom() + 1 - w, rect.width(), w), kSelectionFrame);
  }
  painter->restore();
}

MonthGridWidget::MonthGridWidget(QWidget* parent)
    : QTableWidget(MonthGrid::kRows, MonthGrid::kColumns, parent) {
  horizontalHeader()->hide();
  verticalHeader()->hide();
  // The sections follow the widget's size in the layout's proportions
  // (FitSections), whatever the font's height.
  horizontalHeader()->setMinimumSectionSize(0);
  verticalHeader()->setMinimumSectionSize(0);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setShowGrid(false);
  setFocusPolicy(Qt::ClickFocus);
  setItemDelegate(new CellPainter(state_, this));
  for (int r = 0; r < MonthGrid::kRows; ++r)
    for (int c = 0; c < MonthGrid::kColumns; ++c) setItem(r, c, new QTableWidgetItem);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  FitSections();
}

QSize MonthGridWidget::LayoutSize() const {
  int width = kFirstColumnWidth + (MonthGrid::kColumns - 1) * kDayColumnWidth;
  int height = 0;
  for (int r = 0; r < MonthGrid::kRows; ++r)
    height += MonthGrid::LineOfRow(r) == 0 ? kFirstLineHeight : kLineHeight;
  return QSize(width + 2 * frameWidth(), height + 2 * frameWidth());
}

QSize MonthGridWidget::sizeHint() const { return LayoutSize(); }
QSize MonthGridWidget::minimumSizeHint() const { return LayoutSize(); }

void MonthGridWidget::FitSections() {
  const QSize layout = LayoutSize() - QSize(2 * frameWidth(), 2 * frameWidth());
  const int width = std::max(layout.width(), viewport()->width());
  const int height = std::max(layout.height(), viewport()->height());
  // Column and row edges at the layout's proportions, rounded so that the
  // sections fill the viewport exactly.
  auto edge = [](int units, int totalUnits, int pixels) {
    return static_cast<int>(static_cast<long long>(units) * pixels / totalUnits);
  };
  int units = 0, previous = 0;
  for (int c = 0; c < MonthGrid::kColumns; ++c) {
    units += c == 0 ? kFirstColumnWidth : kDayColumnWidth;
    const int next = edge(units, layout.width(), width);
    setColumnWidth(c, next - previous);
    previous = next;
  }
  units = 0;
  previous = 0;
  for (int r = 0; r < MonthGrid::kRows; ++r) {
    units += MonthGrid::LineOfRow(r) == 0 ? kFirstLineHeight : kLineHeight;
    const int next = edge(units, layout.height(), height);
    setRowHeight(r, next - previous);
    previous = next;
  }
  // Fonts grow with the smaller of the two stretches, so texts keep fitting.
  state_.scale = std::min(static_cast<double>(width) / layout.width(), static_cast<double>(height) / layout.height());
  viewport()->update();
}

void MonthGridWidget::resizeEvent(QResizeEvent* event) {
  QTableWidget::resizeEvent(event);
  FitSections();
}

void MonthGridWidget::SetView(const MonthView& view) {
  state_.lastCellBefore = view.LastCellBefore;
  state_.firstCellAfter = view.FirstCellAfter;
  state_.todayCell = view.todayCell;
  state_.filled = view.filled;
  std::copy(std::begin(view.moonQuarter), std::end(view.moonQuarter), std::begin(state_.moonQuarter));
  state_.grid = view.grid;
  for (int r = 0; r < MonthGrid::kRows; ++r)
    for (int c = 0; c < MonthGrid::kColumns; ++c)
      item(r, c)->setText(QString::fromStdString(view.grid.At(c, r)));
  viewport()->update();
}

void MonthGridWidget::SetSelectedCell(int cell) {
  state_.selectedCell = cell;
  viewport()->update();
}

bool MonthGridWidget::CellElided(int column, int row) const {
  const auto* painter = static_cast<const CellPainter*>(itemDelegate());
  const QModelIndex index = model()->index(row, column);
  return painter->Elided(index, visualRect(index));
}

QString MonthGridWidget::CellText(int column, int row) const {
  const QTableWidgetItem* cell = item(row, column);
  return cell ? cell->text() : QString();
}

void MonthGridWidget::mousePressEvent(QMouseEvent* event) {
  QTableWidget::mousePressEvent(event);
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid()) emit cellMouseDown(index.row(), index.column(), event->button());
}

void MonthGridWidget::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta != 0) emit wheelStep(delta < 0);
  event->accept();
}

}  // namespace orv
