#include "app/gui/anniversary_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/core/files/files.h"

namespace orv {
namespace {

const char* EncodingLabel(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Cp949: return "CP949";
    case TextEncoding::Utf16: return "UTF-16";
    case TextEncoding::Utf8: break;
  }
  return "UTF-8";
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Days the manager looks ahead for each row's next date: a year and a bit,
// so that every anniversary (a leap-month one aside) has one.
constexpr int kNextDateSpanDays = 390;

const MemoMark kMarks[] = {MemoMark::None, MemoMark::Holiday, MemoMark::Highlight};

QTableWidgetItem* Cell(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  return item;
}

QString DateText(const CivilDate& d) { return QString::asprintf("%d-%02d-%02d", d.year, d.month, d.day); }

}  // namespace

// --- The form ---------------------------------------------------------------------

AnniversaryForm::AnniversaryForm(const AnniversaryDraft& draft, TextEncoding encoding, QWidget* parent)
    : QDialog(parent), encoding_(encoding) {
  setObjectName("AnniversaryForm");
  setWindowTitle("비망일");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  nameInput = new QLineEdit(Q(draft.name), this);
  nameInput->setObjectName("nameInput");
  form->addRow("이름", nameInput);
  auto* dateRow = new QHBoxLayout;
  calendarChoice = new QComboBox(this);
  calendarChoice->setObjectName("calendarChoice");
  calendarChoice->addItems({"양력", "음력"});
  calendarChoice->setCurrentIndex(draft.lunar ? 1 : 0);
  leapMonthBox = new QCheckBox("윤달", this);
  leapMonthBox->setObjectName("leapMonthBox");
  leapMonthBox->setChecked(draft.leapMonth);
  monthInput = new QSpinBox(this);
  monthInput->setObjectName("monthInput");
  monthInput->setRange(1, kMemoMaxMonth);
  monthInput->setValue(draft.month);
  monthInput->setSuffix("월");
  dayInput = new QSpinBox(this);
  dayInput->setObjectName("dayInput");
  dayInput->setRange(1, kMemoMaxDay);
  dayInput->setValue(draft.day);
  dayInput->setSuffix("일");
  dateRow->addWidget(calendarChoice);
  dateRow->addWidget(leapMonthBox);
  dateRow->addWidget(monthInput);
  dateRow->addWidget(dayInput);
  form->addRow("날짜", dateRow);
  firstYearInput = new QSpinBox(this);
  firstYearInput->setObjectName("firstYearInput");
  firstYearInput->setRange(kMemoFirstYear, kMemoLastYear);
  firstYearInput->setValue(draft.firstYear);
  firstYearInput->setToolTip("이 해부터 달력에 나옵니다 (기원전 1년은 0)");
  form->addRow("첫해", firstYearInput);
  markChoice = new QComboBox(this);
  markChoice->setObjectName("markChoice");
  for (MemoMark m : kMarks) markChoice->addItem(MemoMarkLabel(m));
  markChoice->setCurrentIndex(static_cast<int>(draft.mark));
  form->addRow("표시", markChoice);
  layout->addLayout(form);
  checkLabel = new QLabel(this);
  checkLabel->setObjectName("checkLabel");
  checkLabel->setWordWrap(true);
  layout->addWidget(checkLabel);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton = buttons->button(QDialogButtonBox::Ok);
  okButton->setObjectName("okButton");
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(nameInput, &QLineEdit::textChanged, this, &AnniversaryForm::Recheck);
  connect(calendarChoice, &QComboBox::currentIndexChanged, this, &AnniversaryForm::Recheck);
  connect(leapMonthBox, &QCheckBox::toggled, this, &AnniversaryForm::Recheck);
  connect(monthInput, &QSpinBox::valueChanged, this, &AnniversaryForm::Recheck);
  connect(dayInput, &QSpinBox::valueChanged, this, &AnniversaryForm::Recheck);
  connect(firstYearInput, &QSpinBox::valueChanged, this, &AnniversaryForm::Recheck);
  connect(markChoice, &QComboBox::currentIndexChanged, this, &AnniversaryForm::Recheck);
  Recheck();
}

AnniversaryDraft AnniversaryForm::Draft() const {
  AnniversaryDraft d;
  d.name = nameInput->text().toStdString();
  d.lunar = calendarChoice->currentIndex() == 1;
  d.leapMonth = d.lunar && leapMonthBox->isChecked();
  d.month = monthInput->value();
  d.day = dayInput->value();
  d.firstYear = firstYearInput->value();
  d.mark = kMarks[std::max(0, markChoice->currentIndex())];
  return d;
}

DraftCheck AnniversaryForm::Check() const { return CheckAnniversaryDraft(Draft(), encoding_); }

void AnniversaryForm::Recheck() {
  leapMonthBox->setEnabled(calendarChoice->currentIndex() == 1);
  const DraftCheck check = Check();
  okButton->setEnabled(check.ok);
  checkLabel->setText(Q(check.ok ? check.note : check.error));
  checkLabel->setStyleSheet(check.ok ? "" : "color: #C00000;");
}

// --- The manager ------------------------------------------------------------------

AnniversaryDialog::AnniversaryDialog(CalendarApp& app, QWidget* parent) : QDialog(parent), app_(app) {
  setObjectName("AnniversaryDialog");
  setWindowTitle("비망일 편집");
  resize(720, 420);
  auto* layout = new QVBoxLayout(this);
  fileLabel = new QLabel(this);
  fileLabel->setObjectName("fileLabel");
  fileLabel->setWordWrap(true);
  layout->addWidget(fileLabel);
  anniversaryList = new QTableWidget(0, 8, this);
  anniversaryList->setObjectName("anniversaryList");
  anniversaryList->setHorizontalHeaderLabels({"이름", "달력", "월", "일", "첫해", "표시", "다음 날", "햇수"});
  anniversaryList->setSelectionBehavior(QAbstractItemView::SelectRows);
  anniversaryList->setSelectionMode(QAbstractItemView::SingleSelection);
  anniversaryList->verticalHeader()->setVisible(true);
  anniversaryList->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  layout->addWidget(anniversaryList, 1);
  auto* buttons = new QHBoxLayout;
  addButton = new QPushButton("추가", this);
  addButton->setObjectName("addButton");
  editButton = new QPushButton("편집", this);
  editButton->setObjectName("editButton");
  removeButton = new QPushButton("삭제", this);
  removeButton->setObjectName("removeButton");
  auto* closeButton = new QPushButton("닫기", this);
  anniversaryLocalBox = new QCheckBox("음력 기념일을 이 지역의 음력으로", this);
  anniversaryLocalBox->setObjectName("anniversaryLocalBox");
  anniversaryLocalBox->setToolTip("끄면 음력 기념일은 어느 지역에서나 한국 음력을 따릅니다");
  anniversaryLocalBox->setChecked(app_.AnniversaryCalendarInEffect() == AnniversaryCalendar::Local);
  buttons->addWidget(addButton);
  buttons->addWidget(editButton);
  buttons->addWidget(removeButton);
  buttons->addStretch(1);
  buttons->addWidget(anniversaryLocalBox);
  buttons->addWidget(closeButton);
  layout->addLayout(buttons);
  connect(addButton, &QPushButton::clicked, this, &AnniversaryDialog::AddAnniversary);
  connect(editButton, &QPushButton::clicked, this, &AnniversaryDialog::EditSelected);
  connect(removeButton, &QPushButton::clicked, this, &AnniversaryDialog::RemoveSelected);
  connect(anniversaryList, &QTableWidget::cellDoubleClicked, this, [this] { EditSelected(); });
  connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(anniversaryLocalBox, &QCheckBox::toggled, this, [this](bool local) {
    app_.SetAnniversaryCalendar(local ? AnniversaryCalendar::Local : AnniversaryCalendar::Korean);
    Fill();
  });

  askDraft = [this](AnniversaryDraft& draft) {
    AnniversaryForm form(draft, document_.Encoding(), this);
    if (form.exec() != QDialog::Accepted || !form.Check().ok) return false;
    draft = form.Draft();
    return true;
  };
  confirmRemoval = [this](const QString& name) {
    return QMessageBox::question(this, "비망일 삭제", "\"" + name + "\"을(를) 지울까요?") == QMessageBox::Yes;
  };
  if (!app_.Files().LoadAnniversaries(document_)) setEnabled(false);
  Fill();
}

void AnniversaryDialog::Fill() {
  const std::vector<MemoEntry> rows = document_.Rows();
  fileLabel->setText(Q(JoinPath(app_.Folders().currentFolder, kMemoFileName)) + " (" +
                     EncodingLabel(document_.Encoding()) + ", " +
                     QString::number(rows.size()) + "개)");
  // Each row's next date: the first day it falls on from today on.
  const std::vector<UpcomingDay> next = app_.Files().UpcomingOf(rows, app_.Today(), kNextDateSpanDays);
  anniversaryList->setRowCount(static_cast<int>(rows.size()));
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const MemoEntry& e = rows[static_cast<size_t>(i)];
    anniversaryList->setItem(i, 0, Cell(Q(MemoDisplayName(e.name))));
    anniversaryList->setItem(i, 1, Cell(MemoKindLabel(e.kind)));
    anniversaryList->setItem(i, 2, Cell(QString::number(e.month)));
    anniversaryList->setItem(i, 3, Cell(QString::number(e.day)));
    anniversaryList->setItem(i, 4, Cell(QString::number(e.year)));
    anniversaryList->setItem(i, 5, Cell(MemoMarkLabel(MemoMarkOf(e.name))));
    QString when, years;
    for (const UpcomingDay& d : next)
      if (d.memoIndex == i) {
        when = DateText(d.date) + " " + Q(DayLabel(d.daysLeft));
        years = Q(d.count);
        break;
      }
    anniversaryList->setItem(i, 6, Cell(when));
    anniversaryList->setItem(i, 7, Cell(years));
  }
  const bool any = !rows.empty();
  editButton->setEnabled(any);
  removeButton->setEnabled(any);
}

bool AnniversaryDialog::Commit(const MemoChange& change) {
  MemoDocument written;
  if (!app_.Files().ChangeAnniversaries(change, written)) {
    // The list shows the file as it is now.
    if (app_.Files().LoadAnniversaries(document_)) Fill();
    return false;
  }
  document_ = std::move(written);
  Fill();
  return true;
}

namespace {

// The row the user chose, found in the file as it is at the moment of the
// change; the reason when it is no longer there as it was shown.
int ChosenRow(const MemoDocument& document, int row, const MemoEntry& shown, std::string& error) {
  const int now = document.FindRow(row, shown);
  if (now < 0) error = "비망일.txt가 그사이 바뀌었습니다. 바뀐 목록을 보고 다시 고르세요.";
  return now;
}

}  // namespace

void AnniversaryDialog::AddAnniversary() {
  AnniversaryDraft draft;
  draft.firstYear = app_.Today().year;
  draft.month = app_.Today().month;
  draft.day = app_.Today().day;
  if (!askDraft || !askDraft(draft) || !CheckAnniversaryDraft(draft, document_.Encoding()).ok) return;
  const MemoEntry entry = EntryOfDraft(draft);
  int added = -1;
  const bool done = Commit([&](MemoDocument& document, std::string& error) {
    const DraftCheck check = CheckAnniversaryDraft(draft, document.Encoding());
    if (!check.ok) {
      error = check.error;
      return false;
    }
    document.Add(entry);
    added = document.RowCount() - 1;
    return true;
  });
  if (done) anniversaryList->selectRow(added);
}

void AnniversaryDialog::EditSelected() {
  const int row = anniversaryList->currentRow();
  if (row < 0 || row >= document_.RowCount()) return;
  const MemoEntry shown = document_.Rows()[static_cast<size_t>(row)];
  AnniversaryDraft draft = DraftOfEntry(shown);
  if (!askDraft || !askDraft(draft) || !CheckAnniversaryDraft(draft, document_.Encoding()).ok) return;
  int edited = -1;
  const bool done = Commit([&](MemoDocument& document, std::string& error) {
    const DraftCheck check = CheckAnniversaryDraft(draft, document.Encoding());
    if (!check.ok) {
      error = check.error;
      return false;
    }
    edited = ChosenRow(document, row, shown, error);
    return edited >= 0 && document.Replace(edited, EntryOfDraft(draft));
  });
  if (done) anniversaryList->selectRow(edited);
}

void AnniversaryDialog::RemoveSelected() {
  const int row = anniversaryList->currentRow();
  if (row < 0 || row >= document_.RowCount()) return;
  const MemoEntry shown = document_.Rows()[static_cast<size_t>(row)];
  const QString name = Q(MemoDisplayName(shown.name));
  if (confirmRemoval && !confirmRemoval(name)) return;
  Commit([&](MemoDocument& document, std::string& error) {
    const int now = ChosenRow(document, row, shown, error);
    return now >= 0 && document.Remove(now);
  });
}

// --- "다가오는 날" ----------------------------------------------------------------

UpcomingPanel::UpcomingPanel(CalendarApp& app, QWidget* parent) : QDockWidget("다가오는 날", parent), app_(app) {
  setObjectName("UpcomingPanel");
  auto* body = new QWidget(this);
  auto* layout = new QVBoxLayout(body);
  auto* spanRow = new QHBoxLayout;
  spanRow->addWidget(new QLabel("오늘부터", body));
  daysInput = new QSpinBox(body);
  daysInput->setObjectName("daysInput");
  daysInput->setRange(1, kUpcomingMaxDays);
  daysInput->setValue(kUpcomingDefaultDays);
  daysInput->setSuffix("일");
  spanRow->addWidget(daysInput);
  spanRow->addStretch(1);
  layout->addLayout(spanRow);
  upcomingList = new QTableWidget(0, 3, body);
  upcomingList->setObjectName("upcomingList");
  upcomingList->setHorizontalHeaderLabels({"D-N", "날짜", "이름"});
  upcomingList->verticalHeader()->setVisible(false);
  upcomingList->horizontalHeader()->setStretchLastSection(true);
  upcomingList->setSelectionBehavior(QAbstractItemView::SelectRows);
  layout->addWidget(upcomingList, 1);
  setWidget(body);
  connect(daysInput, &QSpinBox::valueChanged, this, &UpcomingPanel::Refill);
}

void UpcomingPanel::Refill() {
  items_ = app_.Files().Upcoming(daysInput->value());
  upcomingList->setRowCount(static_cast<int>(items_.size()));
  static const char* const kWeekdays[7] = {"일", "월", "화", "수", "목", "금", "토"};
  for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
    const UpcomingDay& d = items_[static_cast<size_t>(i)];
    QString detail;
    if (!d.lunarDate.empty()) detail += Q(d.lunarDate);
    if (!d.count.empty()) detail += (detail.isEmpty() ? "" : ", ") + Q(d.count);
    const QString name = Q(d.name) + (detail.isEmpty() ? "" : " (" + detail + ")");
    upcomingList->setItem(i, 0, Cell(Q(DayLabel(d.daysLeft))));
    upcomingList->setItem(i, 1,
                          Cell(DateText(d.date) + " " + kWeekdays[WeekdayOf(d.date.year, d.date.month, d.date.day)]));
    QTableWidgetItem* nameItem = Cell(name);
    if (d.kind == UpcomingKind::Holiday) nameItem->setForeground(QColor(0xC0, 0, 0));
    nameItem->setToolTip(name);
    upcomingList->setItem(i, 2, nameItem);
  }
  upcomingList->resizeColumnsToContents();
}

}  // namespace orv
