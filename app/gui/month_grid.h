// The month grid StringGrid1 (8 columns x 19 rows) and its cell painter:
// fonts, sizes and colours by the cells' style markers, today's cell, the
// week separators; the marker characters are never drawn.
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
  bool filled = false;
};

class CellPainter : public QStyledItemDelegate {
 public:
  explicit CellPainter(const GridPaintState& state, QObject* parent = nullptr)
      : QStyledItemDelegate(parent), state_(state) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

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

  // Shows the texts (with markers) and the month's span of a view.
  void SetView(const MonthView& view);
  // Stored text of a cell, markers included.
  QString CellText(int column, int row) const;

 signals:
  void cellMouseDown(int row, int column, Qt::MouseButton button);

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  GridPaintState state_;
};

}  // namespace orv
