#include "app/gui/calendar_dialogs.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "ephemeris/ephemeris_span.h"

namespace orv {

GoToDateDialog::GoToDateDialog(int defaultYear, bool lunar, QWidget* parent)
    : QDialog(parent), defaultYear_(defaultYear) {
  setWindowTitle("날짜로 가기");
  auto* layout = new QVBoxLayout(this);
  auto* hint = new QLabel("예: 2025.6.15, 6.15 (올해), 음력이면 윤6.15", this);
  dateInput_ = new QLineEdit(this);
  dateInput_->setObjectName("GoToDateInput");
  dateInput_->setPlaceholderText(QString("%1.1.1").arg(defaultYear));
  auto* boxes = new QHBoxLayout;
  lunarBox_ = new QCheckBox("음력", this);
  lunarBox_->setChecked(lunar);
  leapBox_ = new QCheckBox("윤달", this);
  boxes->addWidget(lunarBox_);
  boxes->addWidget(leapBox_);
  boxes->addStretch(1);
  problem_ = new QLabel(this);
  problem_->setStyleSheet("color: #C00000;");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton_ = buttons->button(QDialogButtonBox::Ok);
  layout->addWidget(hint);
  layout->addWidget(dateInput_);
  layout->addLayout(boxes);
  layout->addWidget(problem_);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(dateInput_, &QLineEdit::textChanged, this, [this] { Check(); });
  connect(lunarBox_, &QCheckBox::toggled, this, [this](bool on) {
    if (!on) leapBox_->setChecked(false);
    Check();
  });
  connect(leapBox_, &QCheckBox::toggled, this, [this](bool on) {
    if (on) lunarBox_->setChecked(true);
    Check();
  });
  Check();
}

void GoToDateDialog::Check() {
  std::string error;
  DateQuery q;
  const bool ok = ParseDateQuery(dateInput_->text().toStdString(), lunarBox_->isChecked(), leapBox_->isChecked(),
                                 defaultYear_, q, error);
  if (ok) query_ = q;
  problem_->setText(ok || dateInput_->text().isEmpty() ? QString() : QString::fromStdString(error));
  okButton_->setEnabled(ok);
}

QString NamedDayLine(const NamedDay& day) {
  const QString when = day.daysFrom == 0 ? QString("오늘") : QString("D-%1").arg(day.daysFrom);
  return QString("%1-%2-%3 (%4)  %5  [%6]")
      .arg(day.year, 4, 10, QChar('0'))
      .arg(day.month, 2, 10, QChar('0'))
      .arg(day.day, 2, 10, QChar('0'))
      .arg(when, QString::fromStdString(day.name), QString::fromStdString(day.kind));
}

FindDaysDialog::FindDaysDialog(Finder find, Chooser choose, QWidget* parent)
    : QDialog(parent), find_(std::move(find)), choose_(std::move(choose)) {
  setWindowTitle("찾기 — 기념일·공휴일·비망일");
  auto* layout = new QVBoxLayout(this);
  search_ = new QLineEdit(this);
  search_->setObjectName("FindInput");
  search_->setPlaceholderText("이름의 일부 (예: 설날, 생일)");
  results_ = new QListWidget(this);
  results_->setObjectName("FindResults");
  results_->setMinimumSize(420, 260);
  auto* note = new QLabel("다음 날짜를 선택한 날(없으면 오늘)부터 찾습니다. 두 번 누르면 그 날로 갑니다.", this);
  note->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  layout->addWidget(search_);
  layout->addWidget(results_, 1);
  layout->addWidget(note);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(search_, &QLineEdit::textChanged, this, [this] { Search(); });
  connect(results_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    const int row = results_->row(item);
    if (row >= 0 && row < static_cast<int>(found_.size()) && choose_) choose_(found_[static_cast<size_t>(row)]);
  });
  Search();
}

void FindDaysDialog::Search() {
  found_ = find_ ? find_(search_->text().trimmed().toStdString()) : std::vector<NamedDay>{};
  results_->clear();
  for (const NamedDay& day : found_) results_->addItem(NamedDayLine(day));
  if (found_.empty()) results_->addItem("찾은 날이 없습니다.");
}

bool AskPrintRequest(QWidget* parent, PrintRequest& request, int shownMonth, bool toPdf) {
  QDialog dialog(parent);
  dialog.setWindowTitle(toPdf ? "PDF로 저장" : "달력 인쇄");
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;
  auto* year = new QSpinBox(&dialog);
  year->setRange(kPlan404Span.lower, kPlan404Span.upper);
  year->setValue(request.year);
  form->addRow("연도(천문 연도)", year);
  auto* month = new QSpinBox(&dialog);
  month->setRange(1, 12);
  month->setValue(shownMonth);
  form->addRow("월", month);
  layout->addLayout(form);
  auto* oneMonth = new QRadioButton("이 달 (A4 가로 한 장)", &dialog);
  auto* twelve = new QRadioButton("한 해 열두 달 (열두 장)", &dialog);
  auto* glance = new QRadioButton("한 해를 한 장에 (연간 달력)", &dialog);
  oneMonth->setChecked(true);
  for (QRadioButton* b : {oneMonth, twelve, glance}) layout->addWidget(b);
  QObject::connect(oneMonth, &QRadioButton::toggled, month, &QWidget::setEnabled);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() != QDialog::Accepted) return false;
  request.year = year->value();
  request.yearView = glance->isChecked();
  request.firstMonth = oneMonth->isChecked() ? month->value() : 1;
  request.lastMonth = oneMonth->isChecked() ? month->value() : 12;
  return true;
}

}  // namespace orv
