#include "app/gui/pillars_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFont>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "app/core/reports/birth_chart.h"
#include "app/core/reports/reports.h"

namespace orv {
namespace {

constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;
constexpr int kCivilClockItem = 1;  // the clock list: standard time, civil clock
constexpr int kUnknownSexItem = 2;  // the sex list: male, female, unknown
constexpr int kPillarFontScale = 2;  // stem and branch cells, times the dialog's font

QString Q(const std::string& text) { return QString::fromStdString(text); }

QString CellStyle(Element e) {
  const ElementInfo& info = kElements[static_cast<int>(e)];
  return QString("QLabel { background: %1; color: %2; border: 1px solid #808080; padding: 4px; }")
      .arg(info.colour, info.ink);
}

const QString kPlainCellStyle = "QLabel { border: 1px solid #C0C0C0; padding: 3px; }";

QLabel* Cell(QWidget* parent, const QString& text, const QString& style, const QString& name, bool large = false) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignCenter);
  label->setStyleSheet(style);
  if (large) {
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * kPillarFontScale);
    font.setBold(true);
    label->setFont(font);
  }
  return label;
}

void ClearGrid(QGridLayout* grid) {
  while (QLayoutItem* item = grid->takeAt(0)) {
    delete item->widget();
    delete item;
  }
}

QString ElementName(Element e) {
  const ElementInfo& info = kElements[static_cast<int>(e)];
  return Q(std::string(info.hanja) + info.hangul);
}

QString GodName(TenGod god) {
  const TenGodInfo& info = kTenGods[static_cast<int>(god)];
  return Q(std::string(info.hanja) + "\n" + info.hangul);
}

// The chart: one column per pillar (시주 일주 월주 년주), the stem and the
// branch in cells of their element's colour, their ten gods, the hidden
// stems; then the count of the elements, each in its colour.
void FillChart(QGridLayout* grid, QWidget* parent, const BirthReport& report) {
  ClearGrid(grid);
  if (!report.ok) return;
  const QStringList rows = {"", "십신", "천간", "지지", "십신", "지장간"};
  for (int r = 1; r < rows.size(); ++r) grid->addWidget(new QLabel(rows[r], parent), r, 0);
  for (int c = 0; c < 4; ++c) {
    const ChartColumn& col = report.chart.columns[c];
    const QString id = QString::number(c);
    grid->addWidget(Cell(parent, kChartColumnNames[c], kPlainCellStyle, "ChartHead" + id), 0, c + 1);
    if (!col.known) {
      for (int r = 1; r < rows.size(); ++r)
        grid->addWidget(Cell(parent, r == 2 || r == 3 ? "?" : "", kPlainCellStyle, "ChartUnknown" + id), r, c + 1);
      continue;
    }
    const StemInfo& stem = kStems[col.stem];
    const BranchInfo& branch = kBranches[col.branch];
    grid->addWidget(Cell(parent, col.isDayStem ? "日干\n일간" : GodName(col.stemGod), kPlainCellStyle,
                         "StemGod" + id),
                    1, c + 1);
    grid->addWidget(Cell(parent, Q(std::string(stem.hanja) + "\n" + stem.hangul), CellStyle(stem.element),
                         "Stem" + id, true),
                    2, c + 1);
    grid->addWidget(Cell(parent, Q(std::string(branch.hanja) + "\n" + branch.hangul), CellStyle(branch.element),
                         "Branch" + id, true),
                    3, c + 1);
    grid->addWidget(Cell(parent, GodName(col.branchGod), kPlainCellStyle, "BranchGod" + id), 4, c + 1);
    std::string hidden;
    for (int i = 0; i < branch.hiddenCount; ++i) hidden += kStems[branch.hidden[i].stem].hanja;
    grid->addWidget(Cell(parent, Q(hidden), kPlainCellStyle, "Hidden" + id), 5, c + 1);
  }
  auto* counts = new QHBoxLayout;
  counts->addWidget(new QLabel("오행", parent));
  for (int e = 0; e < kElementCount; ++e)
    counts->addWidget(Cell(parent, ElementName(static_cast<Element>(e)) + " " +
                                       QString::number(report.chart.elementCounts[e]),
                           CellStyle(static_cast<Element>(e)), "ElementCount" + QString::number(e)));
  grid->addLayout(counts, 6, 0, 1, 5);
}

// The luck pillars: the printed age over the stem and branch cells and the
// calendar year, right to left as almanacs print them (the first on the right).
void FillLuck(QGridLayout* grid, QWidget* parent, const BirthReport& report) {
  ClearGrid(grid);
  if (!report.hasLuck) return;
  constexpr int kColumns = 10;
  for (int k = 0; k < kColumns; ++k) {
    const LuckPillar& p = report.luck.pillars[k];
    const int column = kColumns - 1 - k;
    const QString id = QString::number(p.index);
    const StemInfo& stem = kStems[p.pillar % 10];
    const BranchInfo& branch = kBranches[p.pillar % 12];
    grid->addWidget(Cell(parent, QString::number(p.bookAge), kPlainCellStyle, "LuckAge" + id), 0, column);
    grid->addWidget(Cell(parent, Q(std::string(stem.hanja) + stem.hangul), CellStyle(stem.element), "LuckStem" + id),
                    1, column);
    grid->addWidget(Cell(parent, Q(std::string(branch.hanja) + branch.hangul), CellStyle(branch.element),
                         "LuckBranch" + id),
                    2, column);
    grid->addWidget(Cell(parent, QString::number(p.startYear), kPlainCellStyle, "LuckYear" + id), 3, column);
  }
}

// First line, corrections and the luck as text (the chart is the grid).
QString SummaryText(const BirthReport& report, BirthSex sex) {
  if (!report.ok) return Q(report.error) + "\n";
  QString text = Q(BirthFirstLine(report)) + "\n";
  for (const std::string& line : report.notes) text += Q(line) + "\n";
  if (report.hasLuck) text += "\n" + Q(LuckText(report, sex));
  return text;
}

}  // namespace

void ShowPillarsDialog(QWidget* parent, CalendarApp& app) {
  const int* today = app.Settings().TodayDate;
  ShowPillarsDialog(parent, app, today[0] >= kFirstYear ? today[0] : 2000, today[1] >= 1 ? today[1] : 1,
                    today[2] >= 1 ? today[2] : 1);
}

void ShowPillarsDialog(QWidget* parent, CalendarApp& app, int initialYear, int initialMonth, int initialDay) {
  QDialog dialog(parent);
  dialog.setObjectName("PillarsDialog");
  dialog.setWindowTitle("사주(四柱)");
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;

  auto* dateRow = new QHBoxLayout;
  auto* calendar = new QComboBox(&dialog);
  calendar->setObjectName("Calendar");
  calendar->addItems({"양력", "음력"});
  dateRow->addWidget(calendar);
  auto spin = [&](const char* name, int lo, int hi, int value) {
    auto* box = new QSpinBox(&dialog);
    box->setObjectName(name);
    box->setRange(lo, hi);
    box->setValue(value);
    dateRow->addWidget(box);
    return box;
  };
  QSpinBox* year = spin("Year", kFirstYear, kLastYear, initialYear);
  QSpinBox* month = spin("Month", 1, 12, initialMonth);
  QSpinBox* day = spin("Day", 1, 31, initialDay);
  auto* leap = new QCheckBox("윤달", &dialog);
  leap->setObjectName("LeapMonth");
  leap->setEnabled(false);
  dateRow->addWidget(leap);
  form->addRow("날짜", dateRow);
  QObject::connect(calendar, &QComboBox::currentIndexChanged, &dialog, [leap](int index) {
    leap->setEnabled(index == 1);
    if (index != 1) leap->setChecked(false);
  });

  auto* timeRow = new QHBoxLayout;
  auto* time = new QTimeEdit(QTime(12, 0), &dialog);
  time->setObjectName("Time");
  time->setDisplayFormat("HH:mm");
  timeRow->addWidget(time);
  auto* unknownTime = new QCheckBox("시각 모름", &dialog);
  unknownTime->setObjectName("UnknownTime");
  timeRow->addWidget(unknownTime);
  form->addRow("시각", timeRow);
  QObject::connect(unknownTime, &QCheckBox::toggled, time, &QWidget::setDisabled);

  auto* place = new QComboBox(&dialog);
  place->setObjectName("Place");
  for (const PlaceRecord& p : app.Places().rows) place->addItem(QString::fromStdString(p.name));
  place->setCurrentIndex(app.Settings().PlaceIndex);
  form->addRow("지역", place);

  auto* clock = new QComboBox(&dialog);
  clock->setObjectName("Clock");
  clock->addItems({"표준시(자오선 시각)", "현지 시계(섬머타임·시간대 변천 적용)"});
  // A birth time is a reading of the civil clock (a birth record, a parent's
  // memory).
  clock->setCurrentIndex(kCivilClockItem);
  form->addRow("시계", clock);
  auto* rule = new QComboBox(&dialog);
  rule->setObjectName("HourRule");
  rule->addItems({"표준시(23:30 子時)", "평균태양시", "진태양시(균시차)"});
  form->addRow("시주 기준", rule);
  auto* sex = new QComboBox(&dialog);
  sex->setObjectName("Sex");
  sex->addItems({"남자(乾命)", "여자(坤命)", "모름(대운 없음)"});
  form->addRow("성별", sex);
  layout->addLayout(form);

  auto* chartBox = new QWidget(&dialog);
  chartBox->setObjectName("Chart");
  auto* chartGrid = new QGridLayout(chartBox);
  chartGrid->setSpacing(2);
  layout->addWidget(chartBox);
  auto* luckBox = new QWidget(&dialog);
  luckBox->setObjectName("Luck");
  auto* luckGrid = new QGridLayout(luckBox);
  luckGrid->setSpacing(2);
  layout->addWidget(luckBox);

  auto* result = new QPlainTextEdit(&dialog);
  result->setObjectName("Result");
  result->setReadOnly(true);
  result->setMinimumSize(560, 130);
  layout->addWidget(result);

  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* compute = buttons->addButton("계산", QDialogButtonBox::ApplyRole);
  compute->setObjectName("Compute");
  QPushButton* later = buttons->addButton("겹친 시각의 뒤쪽으로", QDialogButtonBox::ActionRole);
  later->setObjectName("Later");
  later->setToolTip("섬머타임이 끝나 두 번 있었던 시각이면 뒤의 것으로 계산합니다");
  QPushButton* copy = buttons->addButton("텍스트로 복사", QDialogButtonBox::ActionRole);
  copy->setObjectName("CopyText");
  copy->setToolTip("원국표와 대운을 명령줄(orvanta-cli pillars)과 같은 텍스트로 클립보드에 복사합니다");
  buttons->addButton(QDialogButtonBox::Close);
  layout->addWidget(buttons);

  QString reportText;
  auto run = [&](bool laterOfRepeated) {
    BirthRequest request;
    request.reading.year = year->value();
    request.reading.month = month->value();
    request.reading.day = day->value();
    request.reading.hour = time->time().hour();
    request.reading.minute = time->time().minute();
    request.reading.hourRule = static_cast<HourRule>(rule->currentIndex());
    request.reading.laterOfRepeated = laterOfRepeated;
    request.clock = clock->currentIndex() == kCivilClockItem ? BirthClock::Civil : BirthClock::Standard;
    request.lunar = calendar->currentIndex() == 1;
    request.lunarDate = {year->value(), month->value(), day->value(), leap->isChecked()};
    request.hourKnown = !unknownTime->isChecked();
    request.sex = sex->currentIndex() == kUnknownSexItem ? BirthSex::Unknown
                                                         : (sex->currentIndex() == 0 ? BirthSex::Male : BirthSex::Female);
    request.luck = request.sex != BirthSex::Unknown;
    request.firstAnnualYear = app.Settings().TodayDate[0];
    BirthReport report;
    try {
      report = app.Reports().BirthReportAt(place->currentIndex(), request);
    } catch (const std::runtime_error& e) {
      // A file that cannot serve the birth year, or a year whose tables
      // could not be completed.
      const auto* incomplete = dynamic_cast<const IncompleteYearError*>(&e);
      QMessageBox::warning(&dialog, "오류",
                           incomplete != nullptr ? Q(IncompleteYearMessage(incomplete->year)) : Q(e.what()));
      return;
    }
    FillChart(chartGrid, chartBox, report);
    FillLuck(luckGrid, luckBox, report);
    result->setPlainText(SummaryText(report, request.sex));
    reportText = Q(BirthReportText(report, request.sex));
  };
  QObject::connect(compute, &QPushButton::clicked, &dialog, [&] { run(false); });
  QObject::connect(later, &QPushButton::clicked, &dialog, [&] { run(true); });
  QObject::connect(copy, &QPushButton::clicked, &dialog, [&] {
    if (reportText.isEmpty()) run(false);
    QApplication::clipboard()->setText(reportText);
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  dialog.exec();
}

QPushButton* MakePillarsButton(QWidget* parent, CalendarApp& app) {
  auto* button = new QPushButton("사주", parent);
  button->setObjectName("PillarsButton");
  button->setToolTip("태어난 날짜·시각의 사주 원국과 대운(현지 시계, 음력 생일, 평균·진태양시 보정)");
  QObject::connect(button, &QPushButton::clicked, parent, [parent, &app] { ShowPillarsDialog(parent, app); });
  return button;
}

}  // namespace orv
