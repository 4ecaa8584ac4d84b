#include "app/gui/ics_export_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QMessageBox>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orv {

bool AskIcsExport(QWidget* parent, IcsExportRequest& request, EphemerisSpan limits, const QString& folder) {
  QDialog dialog(parent);
  dialog.setObjectName("IcsExportDialog");
  dialog.setWindowTitle("iCalendar 내보내기");
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;
  auto yearBox = [&](int value) {
    auto* box = new QSpinBox(&dialog);
    box->setRange(limits.lower, limits.upper);
    box->setValue(value);
    return box;
  };
  QSpinBox* from = yearBox(request.fromYear);
  QSpinBox* to = yearBox(request.toYear);
  form->addRow("시작 연도", from);
  form->addRow("끝 연도", to);
  layout->addLayout(form);
  auto check = [&](const char* text, bool on) {
    auto* box = new QCheckBox(text, &dialog);
    box->setChecked(on);
    layout->addWidget(box);
    return box;
  };
  QCheckBox* terms = check("24절기", request.terms);
  QCheckBox* syzygies = check("합삭과 망", request.syzygies);
  QCheckBox* eclipses = check("일식과 월식", request.eclipses);
  QCheckBox* holidays = check("기념일(국경일,공휴일)", request.holidays);
  QCheckBox* memo = check("비망일.txt의 기념일", request.memo);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  // The years are checked when OK is pressed, before a file is asked for;
  // what the user is typing is never rewritten.
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    QString problem;
    if (from->value() > to->value())
      problem = "시작 연도가 끝 연도보다 늦습니다.";
    else if (to->value() - from->value() + 1 > kIcsMaxYears)
      problem = QString("한 번에 %1년까지 내보낼 수 있습니다.").arg(kIcsMaxYears);
    if (problem.isEmpty()) {
      dialog.accept();
      return;
    }
    QMessageBox box(QMessageBox::Information, "참고", problem, QMessageBox::Ok, &dialog);
    box.setObjectName("IcsYearsMessage");
    box.exec();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;

  request.fromYear = from->value();
  request.toYear = to->value();
  request.terms = terms->isChecked();
  request.syzygies = syzygies->isChecked();
  request.eclipses = eclipses->isChecked();
  request.holidays = holidays->isChecked();
  request.memo = memo->isChecked();

  const QString name = request.fromYear == request.toYear
                           ? QString("orvanta-%1.ics").arg(request.fromYear)
                           : QString("orvanta-%1-%2.ics").arg(request.fromYear).arg(request.toYear);
  const QString start = QDir(folder.isEmpty() ? QDir::currentPath() : folder).filePath(name);
  QString path = QFileDialog::getSaveFileName(parent, "iCalendar 파일로 내보내기", start, "iCalendar (*.ics)");
  if (path.isEmpty()) return false;
  if (QFileInfo(path).suffix().isEmpty()) path += ".ics";
  request.path = path.toStdString();
  return true;
}

}  // namespace orv
