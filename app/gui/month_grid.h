// The month grid monthGrid (8 columns x 19 rows) and its cell painter:
// fonts and sizes by the typed days, their colours by the month palette,
// today's cell, the week separators.
#pragma once

#include <QFont>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "app/core/month_view.h"

namespace orv {

// The grid font: "굴림" where it exists, else a CJK font that has Hangul and
// Han characters; `points` at the 96 dpi the layout is measured in.
QFont GridFont(double points, bool bold = false);

struct GridPaintState {
  int lastCellBefore = -1;
  int firstCellAfter = 42;
  int todayCell = -1;
  int selectedCell = -1;   // framed; -1 for none
  bool filled = false;
  double scale = 1.0;      // font sizes follow the cells as the grid grows
  int moonQuarter[MonthGrid::kCells] = {};  // MoonQuarter of each cell's day (an icon)
  MonthGrid grid;          // the typed days shown
};

// How one cell is drawn: its text, font, colours, alignment.
struct CellStyle {
  QString text;
  QFont font;
  QColor background;
  QColor foreground;
  int alignment = 0;
};

class CellPainter : public QStyledItemDelegate {
 public:
  explicit CellPainter(const GridPaintState& state, QObject* parent = nullptr)
      : QStyledItemDelegate(parent), state_(state) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // A text cut short by the cell shows whole in a tooltip.
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;
  CellStyle StyleOf(const QModelIndex& index) const;
  // True when the cell's text does not fit the width `rect` and is drawn elided.
  bool Elided(const QModelIndex& index, const QRect& rect) const;

 private:
  const GridPaintState& state_;
};

class MonthGridWidget : public QTableWidget {
  Q_OBJECT
 public:
  static constexpr int kFirstColumnWidth = 50;
  static constexpr int kDayColumnWidth = 72;
  static constexpr int kLineHeight = 17;
  static constexpr int kFirstLineHeight = 26;

  explicit MonthGridWidget(QWidget* parent = nullptr);

  // Shows the days and the month's span of a view.
  void SetView(const MonthView& view);
  // Text of a cell as drawn (before eliding).
  QString CellText(int column, int row) const;
  const GridPaintState& PaintState() const { return state_; }
  // Frames grid cell k (the selected day); -1 for none.
  void SetSelectedCell(int cell);
  // True when the text of (column, row) is drawn elided at the present size.
  bool CellElided(int column, int row) const;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void cellMouseDown(int row, int column, Qt::MouseButton button);
  // The mouse wheel: one month earlier (up) or later (down).
  void wheelStep(bool later);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Spreads the viewport over the columns and rows in the layout's proportions.
  void FitSections();
  QSize LayoutSize() const;

 private:
  GridPaintState state_;
};

}  // namespace orv
