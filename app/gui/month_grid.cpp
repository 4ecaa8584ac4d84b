#include "app/gui/month_grid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

#include "app/core/files/encoding.h"

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

// A second line longer than this (CP949 bytes) carries a mark of the moon or
// more than a date: painted fuchsia.
constexpr int kPlainSecondLineBytes = 7;

// The classic sixteen colours of the layout.
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kAqua(0x00, 0xFF, 0xFF);
const QColor kPurple(0x80, 0x00, 0x80);
const QColor kFuchsia(0xFF, 0x00, 0xFF);
const QColor kLime(0x00, 0xFF, 0x00);
const QColor kGray(0x80, 0x80, 0x80);
const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kButtonFace(0xF0, 0xF0, 0xF0);

constexpr int kSundayColumn = 1;
constexpr int kSaturdayColumn = 7;

}  // namespace

QFont GridFont(double points, bool bold) {
  QFont font;
  font.setFamilies({"굴림", "Gulim", "Noto Sans CJK KR", "Noto Sans KR", "Noto Sans CJK JP", "WenQuanYi Zen Hei"});
  font.setPixelSize(static_cast<int>(points * kPixelsPerPoint + 0.5));
  font.setBold(bold);
  return font;
}

void CellPainter::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const int row = index.row();
  const int column = index.column();
  const QRect rect = option.rect;
  const std::string stored = index.data().toString().toStdString();
  const QString text = QString::fromStdString(StripMarkers(stored));

  QColor background = Qt::white;
  QColor foreground = Qt::black;
  QFont font = GridFont(kCellFontPoints);
  int alignment = Qt::AlignVCenter | Qt::AlignLeft;
  QRect textRect = rect.adjusted(kTextInsetPx, 0, -kTextInsetPx, 0);

  const int line = MonthGridTexts::LineOfRow(row);
  const int cell = MonthGridTexts::CellAt(column, row);
  if (row == 0) {
    background = kButtonFace;
    if (column == 0) foreground = kLime;
    else if (column == kSundayColumn) foreground = kRed;
    else if (column == kSaturdayColumn) foreground = kGray;
    font.setBold(true);
    // Centred: the CJK fonts' line box is taller than the 17-pixel row, so
    // the layout's 2-pixel top inset would cut the glyphs.
    alignment = Qt::AlignCenter;
  } else if (column == 0) {
    background = kButtonFace;
    alignment = Qt::AlignCenter;
    textRect = rect;
    if (line == 0) font = GridFont(kLabelFontPoints, true);
  } else if (line == 0) {
    alignment = Qt::AlignVCenter | Qt::AlignRight;
    font = GridFont(kDayFontPoints, true);
    if (column == kSundayColumn) foreground = kRed;
    else if (column == kSaturdayColumn) foreground = kGray;
    const QString third = index.model()->index(row + 2, column).data().toString();
    if (third.contains(QChar(kMarkHoliday))) foreground = kRed;
    if (state_.filled && cell <= state_.lastCellBefore) {
      font = GridFont(kOutsideDayFontPoints, true);
      background = kPurple;
    } else if (state_.filled && cell >= state_.firstCellAfter) {
      font = GridFont(kOutsideDayFontPoints, true);
      background = kMaroon;
    }
    // Black on the dark outside colours would not read.
    if (background != Qt::white && foreground == Qt::black) foreground = Qt::white;
  } else if (line == 2) {
    if (stored.find(kMarkHoliday) != std::string::npos) {
      font = GridFont(kMarkFontPoints);
      foreground = kRed;
    }
    if (stored.find(kMarkHighlight) != std::string::npos) {
      font = GridFont(kMarkFontPoints);
      foreground = kPurple;
      background = kFuchsia;
    }
  } else {
    if (Cp949Length(stored) > kPlainSecondLineBytes) foreground = kFuchsia;
    const std::pair<char, QColor> styles[] = {
        {kMarkDogDay, kRed}, {kMarkFeastDay, kAqua}, {kMarkMajorTerm, kBlue}, {kMarkSectionalTerm, kNavy}};
    for (const auto& [mark, colour] : styles) {
      if (stored.find(mark) == std::string::npos) continue;
      font = GridFont(kMarkFontPoints);
      foreground = colour;
    }
  }
  if (cell >= 0 && cell == state_.todayCell) background = kYellow;

  painter->save();
  painter->fillRect(rect, background);
  painter->setClipRect(rect);
  painter->setFont(font);
  painter->setPen(foreground);
  if (alignment & Qt::AlignVCenter) {
    // Centre the ink, not the font's line box: CJK fonts reserve more room
    // above and below their glyphs than the 17-pixel rows have. Digits set
    // the height of the day numbers, a Hangul syllable that of other lines.
    const QFontMetrics metrics(font);
    const QRect ink = metrics.tightBoundingRect(line == 0 && column > 0 ? "0" : "가");
    const int baseline = rect.top() + (rect.height() - ink.height()) / 2 - ink.top();
    const int width = metrics.horizontalAdvance(text);
    int x = textRect.left();
    if (alignment & Qt::AlignRight) x = textRect.right() + 1 - width;
    else if (alignment & Qt::AlignHCenter) x = textRect.left() + (textRect.width() - width) / 2;
    painter->drawText(QPoint(x, baseline), text);
  } else {
    painter->drawText(textRect, alignment, text);
  }

  // Separators: above and below each week, between the day columns.
  painter->setPen(QPen(Qt::black, 1));
  if (row >= 1 && line == 0) painter->drawLine(rect.topLeft(), rect.topRight());
  if (row == 0 || line == 2) painter->drawLine(rect.bottomLeft(), rect.bottomRight());
  painter->drawLine(rect.topRight(), rect.bottomRight());
  painter->restore();
}

MonthGridWidget::MonthGridWidget(QWidget* parent)
    : QTableWidget(MonthGridTexts::kRows, MonthGridTexts::kColumns, parent) {
  horizontalHeader()->hide();
  verticalHeader()->hide();
  // Rows and columns keep the layout's pixel sizes whatever the font's height.
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
  int width = 0, height = 0;
  for (int c = 0; c < MonthGridTexts::kColumns; ++c) {
    const int w = c == 0 ? kFirstColumnWidth : kDayColumnWidth;
    setColumnWidth(c, w);
    width += w;
  }
  for (int r = 0; r < MonthGridTexts::kRows; ++r) {
    const int h = MonthGridTexts::LineOfRow(r) == 0 ? kFirstLineHeight : kLineHeight;
    setRowHeight(r, h);
    height += h;
    for (int c = 0; c < MonthGridTexts::kColumns; ++c) setItem(r, c, new QTableWidgetItem);
  }
  setFixedSize(width + 2 * frameWidth(), height + 2 * frameWidth());
}

void MonthGridWidget::SetView(const MonthView& view) {
  state_.lastCellBefore = view.LastCellBefore;
  state_.firstCellAfter = view.FirstCellAfter;
  state_.todayCell = view.todayCell;
  state_.filled = view.filled;
  for (int r = 0; r < MonthGridTexts::kRows; ++r)
    for (int c = 0; c < MonthGridTexts::kColumns; ++c)
      item(r, c)->setText(QString::fromStdString(view.grid.At(c, r)));
  viewport()->update();
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

}  // namespace orv
