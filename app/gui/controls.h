// Small controls of the main window: a titled group of radio buttons, an
// up-down pair of arrow buttons, a panel that reports presses, a push button
// that reports which mouse button went down, and a read-only box that
// reports presses; the short number fields of the simulation window and the
// readers of their numbers.
#pragma once

#include <QBoxLayout>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QToolButton>
#include <QWidget>
#include <cmath>

#include "app/core/messages.h"

namespace orv {

// Gives `widget` its object name (what tests and menus find it by) and
// returns it, so that a control is made and named in one expression.
template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

// A short number field `widthPx` wide, named `name`.
inline QLineEdit* NumberField(QWidget* parent, const char* name, int widthPx = 48) {
  auto* edit = Named(new QLineEdit(parent), name);
  edit->setFixedWidth(widthPx);
  return edit;
}

inline void AddLabel(QBoxLayout* row, const QString& text, QWidget* parent) { row->addWidget(new QLabel(text, parent)); }

// The whole number in `field`; false after "'…'은(는) 올바른 정수 값이 아닙니다."
// ("오류") in `messages`.
inline bool ReadIntField(const QLineEdit& field, int& value, MessageSink& messages) {
  bool ok = false;
  const int v = field.text().trimmed().toInt(&ok);
  if (!ok) {
    messages.Show(("'" + field.text() + "'은(는) 올바른 정수 값이 아닙니다.").toStdString(), "오류",
                  MessageButtons::Ok, MessageIcon::Error);
    return false;
  }
  value = v;
  return true;
}

// The finite number in `field`; false after "'…'은(는) 올바른 실수 값이 아닙니다.".
inline bool ReadDoubleField(const QLineEdit& field, double& value, MessageSink& messages) {
  bool ok = false;
  const double v = field.text().trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(v)) {
    messages.Show(("'" + field.text() + "'은(는) 올바른 실수 값이 아닙니다.").toStdString(), "오류",
                  MessageButtons::Ok, MessageIcon::Error);
    return false;
  }
  value = v;
  return true;
}

// A group box with one radio button per item; `clicked` carries the item the
// user chose. Setting the item from code does not emit it.
class RadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  // `columns` > 1 lays the items out row by row in that many columns (a group
  // of four kept as low as its three-item neighbours).
  RadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr, bool vertical = true,
             int columns = 1);
  int ItemIndex() const;
  void SetItemIndex(int index);
  void SetItemEnabled(int index, bool enabled);
  QRadioButton* Button(int index) const;
  int Count() const { return static_cast<int>(buttons_.size()); }

 signals:
  void clicked(int index);

 private:
  QButtonGroup group_;
  std::vector<QRadioButton*> buttons_;
};

// Two arrow buttons stacked; `clicked` carries true for the upper one.
class UpDown : public QWidget {
  Q_OBJECT
 public:
  explicit UpDown(QWidget* parent = nullptr);
  void ClickUp();
  void ClickDown();
  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

 signals:
  void clicked(bool up);

 private:
  QToolButton* up_;
  QToolButton* down_;
};

// A framed label that reports mouse presses and releases.
class PressPanel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;

 signals:
  void mouseDown();
  void mouseUp();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// A push button that also reports which mouse button pressed it (a right
// press does not click it).
class BitButton : public QPushButton {
  Q_OBJECT
 public:
  using QPushButton::QPushButton;

 signals:
  void mouseDown(Qt::MouseButton button);
  void mouseUp(Qt::MouseButton button);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// A line edit that reports presses, Enter and losing the focus.
class InputEdit : public QLineEdit {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;

 signals:
  void mouseDown();
  void enterReleased();
  void focusLost();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace orv
