#include "app/gui/pillars_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFont>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "app/core/reports/birth_pillars.h"

namespace orv {
namespace {

constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;

// The pillars of the dialog's reading at the chosen place; the window's
// loaded year stays as it is.
QString PillarsText(const CalendarApp& app, int placeIndex, const BirthReading& reading) {
  const BirthPillars result = app.BirthPillarsAt(placeIndex, reading);
  const PlaceRecord& place = app.Places().rows.at(static_cast<size_t>(placeIndex));
  QString text;
  if (result.ok) text = QString::fromStdString(PillarNames(result.pillars)) + "\n";
  for (const std::string& line : BirthPillarsNotes(result, place, reading)) text += QString::fromStdString(line) + "\n";
  return text;
}

}  // namespace

void ShowPillarsDialog(QWidget* parent, CalendarApp& app) {
  QDialog dialog(parent);
  dialog.setObjectName("PillarsDialog");
  dialog.setWindowTitle("사주(四柱)");
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;

  auto* dateRow = new QHBoxLayout;
  auto spin = [&](const char* name, int lo, int hi, int value) {
    auto* box = new QSpinBox(&dialog);
    box->setObjectName(name);
    box->setRange(lo, hi);
    box->setValue(value);
    dateRow->addWidget(box);
    return box;
  };
  const int* today = app.Settings().TodayDate;
  QSpinBox* year = spin("Year", kFirstYear, kLastYear, today[0] >= kFirstYear ? today[0] : 2000);
  QSpinBox* month = spin("Month", 1, 12, today[1] >= 1 ? today[1] : 1);
  QSpinBox* day = spin("Day", 1, 31, today[2] >= 1 ? today[2] : 1);
  form->addRow("날짜(양력)", dateRow);
  auto* time = new QTimeEdit(QTime(12, 0), &dialog);
  time->setObjectName("Time");
  time->setDisplayFormat("HH:mm");
  form->addRow("시각", time);

  auto* place = new QComboBox(&dialog);
  place->setObjectName("Place");
  for (const PlaceRecord& p : app.Places().rows) place->addItem(QString::fromStdString(p.name));
  place->setCurrentIndex(app.Settings().PlaceIndex);
  form->addRow("지역", place);

  auto* clock = new QComboBox(&dialog);
  clock->setObjectName("Clock");
  clock->addItems({"표준시(자오선 시각)", "현지 시계(섬머타임·시간대 변천 적용)"});
  form->addRow("시계", clock);
  auto* rule = new QComboBox(&dialog);
  rule->setObjectName("HourRule");
  rule->addItems({"표준시(23:30 子時)", "평균태양시", "진태양시(균시차)"});
  form->addRow("시주 기준", rule);
  layout->addLayout(form);

  auto* result = new QPlainTextEdit(&dialog);
  result->setObjectName("Result");
  result->setReadOnly(true);
  result->setMinimumSize(520, 130);
  layout->addWidget(result);

  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* compute = buttons->addButton("계산", QDialogButtonBox::ApplyRole);
  compute->setObjectName("Compute");
  QPushButton* later = buttons->addButton("겹친 시각의 뒤쪽으로", QDialogButtonBox::ActionRole);
  later->setObjectName("Later");
  later->setToolTip("섬머타임이 끝나 두 번 있었던 시각이면 뒤의 것으로 계산합니다");
  buttons->addButton(QDialogButtonBox::Close);
  layout->addWidget(buttons);

  auto run = [&, result](bool laterOfRepeated) {
    BirthReading reading;
    reading.year = year->value();
    reading.month = month->value();
    reading.day = day->value();
    reading.hour = time->time().hour();
    reading.minute = time->time().minute();
    reading.clock = clock->currentIndex() == 1 ? BirthClock::Civil : BirthClock::Standard;
    reading.hourRule = static_cast<HourRule>(rule->currentIndex());
    reading.laterOfRepeated = laterOfRepeated;
    result->setPlainText(PillarsText(app, place->currentIndex(), reading));
  };
  QObject::connect(compute, &QPushButton::clicked, &dialog, [&] { run(false); });
  QObject::connect(later, &QPushButton::clicked, &dialog, [&] { run(true); });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  dialog.exec();
}

QPushButton* MakePillarsButton(QWidget* parent, CalendarApp& app) {
  auto* button = new QPushButton("사주", parent);
  button->setObjectName("PillarsButton");
  button->setToolTip("태어난 날짜·시각의 사주(현지 시계, 평균·진태양시 보정)");
  QObject::connect(button, &QPushButton::clicked, parent, [parent, &app] { ShowPillarsDialog(parent, app); });
  return button;
}

}  // namespace orv
