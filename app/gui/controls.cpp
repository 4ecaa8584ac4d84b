#include "app/gui/controls.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMouseEvent>

namespace orv {

RadioGroup::RadioGroup(const QString& title, const QStringList& items, QWidget* parent, bool vertical, int columns)
    : QGroupBox(title, parent) {
  QGridLayout* grid = nullptr;
  QBoxLayout* box = nullptr;
  if (columns > 1) {
    grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(0);
  } else {
    box = vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(this)) : static_cast<QBoxLayout*>(new QHBoxLayout(this));
    box->setContentsMargins(6, 2, 6, 2);
    box->setSpacing(vertical ? 0 : 6);
  }
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    button->setObjectName(QString("item%1").arg(i));
    group_.addButton(button, i);
    if (grid)
      grid->addWidget(button, i / columns, i % columns);
    else
      box->addWidget(button);
    buttons_.push_back(button);
  }
  connect(&group_, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

int RadioGroup::ItemIndex() const { return group_.checkedId(); }

void RadioGroup::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) return;
  buttons_[static_cast<size_t>(index)]->setChecked(true);
}

void RadioGroup::SetItemEnabled(int index, bool enabled) {
  if (index < 0 || index >= Count()) return;
  buttons_[static_cast<size_t>(index)]->setEnabled(enabled);
}

QRadioButton* RadioGroup::Button(int index) const {
  return index >= 0 && index < Count() ? buttons_[static_cast<size_t>(index)] : nullptr;
}

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  up_ = new QToolButton(this);
  down_ = new QToolButton(this);
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {up_, down_}) {
    b->setFixedSize(16, 11);
    b->setAutoRepeat(true);
    layout->addWidget(b);
  }
  connect(up_, &QToolButton::clicked, this, [this] { emit clicked(true); });
  connect(down_, &QToolButton::clicked, this, [this] { emit clicked(false); });
}

void UpDown::ClickUp() { up_->click(); }
void UpDown::ClickDown() { down_->click(); }

void PressPanel::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  emit mouseDown();
}

void PressPanel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  emit mouseUp();
}

void BitButton::mousePressEvent(QMouseEvent* event) {
  emit mouseDown(event->button());
  if (event->button() == Qt::LeftButton) QPushButton::mousePressEvent(event);
}

void BitButton::mouseReleaseEvent(QMouseEvent* event) {
  emit mouseUp(event->button());
  if (event->button() == Qt::LeftButton) QPushButton::mouseReleaseEvent(event);
}

void InputEdit::mousePressEvent(QMouseEvent* event) {
  QLineEdit::mousePressEvent(event);
  emit mouseDown();
}

void InputEdit::keyReleaseEvent(QKeyEvent* event) {
  QLineEdit::keyReleaseEvent(event);
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) emit enterReleased();
}

void InputEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  emit focusLost();
}

}  // namespace orv
