// The main window's menu bar and keyboard: every action of the window with
// its shortcut, the arrow keys and Enter on the days, going to a date,
// finding named days, printing, and the window's remembered size and place.
#include <utility>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>

#include "app/core/files/files.h"
#include "app/gui/calendar_dialogs.h"
#include "app/gui/main_window.h"
#include "app/print/print_painter.h"

namespace orv {
namespace {

constexpr int kDaysPerWeek = 7;
// The window's size and place, beside the settings (never in Orvanta.cfg).
constexpr const char* kWindowStateFile = "orvanta-window.ini";
constexpr const char* kGeometryKey = "window/geometry";

bool IsNavigationKey(const QKeyEvent& key) {
  const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
  if (key.key() == Qt::Key_Home) return mods == Qt::NoModifier;
  if (key.key() == Qt::Key_PageUp || key.key() == Qt::Key_PageDown)
    return mods == Qt::NoModifier || mods == Qt::ControlModifier;
  return false;
}

}  // namespace

QAction* MainWindow::MenuAction(const char* objectName) const { return findChild<QAction*>(objectName); }

void MainWindow::BuildMenuBar() {
  QMenuBar* bar = menuBar();
  auto add = [this](QMenu* menu, const char* name, const QString& text, QKeySequence keys, auto handler) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    if (!keys.isEmpty()) action->setShortcut(keys);
    // The window's keys work whatever control has the focus.
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, handler);
    addAction(action);  // active while the menu bar is hidden too
    return action;
  };

  QMenu* file = bar->addMenu("파일(&F)");
  add(file, "PrintAction", "달력 인쇄…", QKeySequence::Print, [this] { AskAndPrint(false); });
  add(file, "PdfAction", "달력을 PDF로 저장…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P),
      [this] { AskAndPrint(true); });
  file->addSeparator();
  add(file, "IcsAction", "iCalendar 내보내기(iCal)…", {}, [this] { exportIcs(); });
  file->addSeparator();
  add(file, "QuitAction", "끝내기", QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });

  QMenu* go = bar->addMenu("이동(&G)");
  add(go, "PrevMonthAction", "이전 달", QKeySequence(Qt::Key_PageUp), [this] { monthInputRow_->StepMonth(false); });
  add(go, "NextMonthAction", "다음 달", QKeySequence(Qt::Key_PageDown), [this] { monthInputRow_->StepMonth(true); });
  add(go, "PrevYearAction", "이전 해", QKeySequence(Qt::CTRL | Qt::Key_PageUp), [this] { monthInputRow_->StepYear(false); });
  add(go, "NextYearAction", "다음 해", QKeySequence(Qt::CTRL | Qt::Key_PageDown), [this] { monthInputRow_->StepYear(true); });
  add(go, "TodayAction", "오늘", QKeySequence(Qt::Key_Home), [this] { monthInputRow_->GoToToday(); });
  go->addSeparator();
  add(go, "PrevDayAction", "전날", QKeySequence(Qt::Key_Left), [this] { MoveSelectedDay(-1); });
  add(go, "NextDayAction", "다음날", QKeySequence(Qt::Key_Right), [this] { MoveSelectedDay(1); });
  add(go, "PrevWeekAction", "한 주 전", QKeySequence(Qt::Key_Up), [this] { MoveSelectedDay(-kDaysPerWeek); });
  add(go, "NextWeekAction", "한 주 뒤", QKeySequence(Qt::Key_Down), [this] { MoveSelectedDay(kDaysPerWeek); });
  go->addSeparator();
  add(go, "GoToDateAction", "날짜로 가기…", QKeySequence(Qt::CTRL | Qt::Key_G), [this] { ShowGoToDate(); });
  add(go, "ShowInputsAction", "달력보기", {}, [this] { monthInputRow_->ShowInputMonth(); });

  QMenu* view = bar->addMenu("보기(&V)");
  add(view, "SolarAction", "양력 달력", {}, [this] { monthInputRow_->solarViewButton->click(); });
  add(view, "LunarAction", "음력 달력", {}, [this] { monthInputRow_->lunarViewButton->click(); });
  add(view, "LeapAction", "윤달", {}, [this] {
    if (monthInputRow_->leapMonthBox->isEnabled()) monthInputRow_->leapMonthBox->click();
  });
  view->addSeparator();
  add(view, "SettingsRowAction", "설정 줄 보이기/숨기기", {}, [this] { SetSettingsRowVisible(!SettingsRowVisible()); });

  QMenu* reports = bar->addMenu("보고서(&R)");
  // Enter belongs to the year and month fields too: it opens the report
  // only on the grid, so it is shown here without taking it.
  add(reports, "DayReportAction", "선택한 날의 보고\tEnter", {}, [this] { OpenSelectedDayReport(); });
  reports->addSeparator();
  add(reports, "TermReportAction", "절기(해)", {}, [this] { showSolarTerms(); });
  add(reports, "SyzygyReportAction", "삭망(달)", {}, [this] { showSyzygies(); });
  add(reports, "LocalEclipseAction", "일/월식 (이 지역)", {}, [this] { showEclipses(); });
  add(reports, "GlobalEclipseAction", "일/월식 (전 세계)", {}, [this] { eclipsesPressed(Qt::RightButton); });
  reports->addSeparator();
  add(reports, "LeapTableAction", "30년 윤달년월", {}, [this] { showLeapMonths(); });
  add(reports, "LunarDatesAction", "30년 음력월일", {}, [this] { showLunarDates(); });
  add(reports, "SolarDatesAction", "30년 양력월일", {}, [this] { showSolarDates(); });
  add(reports, "HolidayReportAction", "금년기념일", {}, [this] { showHolidays(); });
  add(reports, "PillarsAction", "사주…", {}, [this] {
    reportButtons_->pillarsButton->click();
  });

  QMenu* memo = Named(bar->addMenu("비망일(&M)"), "memoMenu");
  add(memo, "FindAction", "기념일·공휴일 찾기…", QKeySequence::Find, [this] { ShowFindDays(); });
  memo->addSeparator();
  for (auto [action, keys] : {std::pair{editAnniversariesAction_, QKeySequence(Qt::CTRL | Qt::Key_E)},
                               std::pair{showUpcomingAction_, QKeySequence(Qt::CTRL | Qt::Key_U)}}) {
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    memo->addAction(action);
    addAction(action);
  }

  QMenu* settings = bar->addMenu("설정(&S)");
  add(settings, "ApplyAction", "설정적용", {}, [this] { applySettings(); });
  add(settings, "HorizonsAction", "근사 (HORIZONS)", {}, [this] { settingsRow_->ApplyHorizonsPreset(); });
  add(settings, "SimulationAction", "추가계산…", {}, [this] { openSimulation(); });

  QMenu* help = bar->addMenu("도움말(&H)");
  add(help, "AboutAction", "안내", {}, [this] { app_->Reports().AboutBox(); });
}

void MainWindow::ConnectKeyboard() {
  qApp->installEventFilter(this);
  askGoToDate = [this](DateQuery& query) {
    GoToDateDialog dialog(AstronomicalYear(app_->Inputs()), app_->Mode() == DisplayMode::Lunar, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    query = dialog.Query();
    return true;
  };
  askPrint = [this](PrintRequest& request, QString& pdfPath, bool toPdf) {
    if (!AskPrintRequest(this, request, app_->Inputs().month, toPdf)) return false;
    pdfPath.clear();
    if (!toPdf) return true;
    const QString name = request.yearView || request.firstMonth != request.lastMonth
                             ? QString("orvanta-%1.pdf").arg(request.year)
                             : QString("orvanta-%1-%2.pdf").arg(request.year).arg(request.firstMonth, 2, 10, QChar('0'));
    pdfPath = QFileDialog::getSaveFileName(this, "PDF로 저장",
                                           QString::fromStdString(JoinPath(app_->Folders().currentFolder,
                                                                           name.toStdString())),
                                           "PDF (*.pdf)");
    return !pdfPath.isEmpty();
  };
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    auto* widget = qobject_cast<QWidget*>(watched);
    // Not accepted: the shortcut of the window wins over the line edit.
    if (widget && widget->window() == this && IsNavigationKey(*static_cast<QKeyEvent*>(event))) {
      event->ignore();
      return true;
    }
    // The arrows stay with an open list and with the place chooser.
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool arrow = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    const QWidget* places = placeChooser_->placeChoice;
    if (arrow && widget &&
        (QApplication::activePopupWidget() != nullptr || widget == places || places->isAncestorOf(widget))) {
      event->accept();
      return true;
    }
  } else if (event->type() == QEvent::KeyPress && (watched == monthGrid_ || watched == monthGrid_->viewport())) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OpenSelectedDayReport();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::ShowSelectedDay() {
  selectedCell_ = app_->Month().SelectedCell();
  selectedMonth_ = ShownMonthKey(*app_);
  Refresh();
  if (selectedCell_ < 0) return;
  app_->Month().SelectCell(MonthGrid::CellColumn(selectedCell_), MonthGrid::CellRow(selectedCell_, 0));
  monthInputRow_->ShowDayPillars();
  moonPicture_->SetAge(app_->Month().ShownMoonAge());
}

void MainWindow::MoveSelectedDay(int days) {
  monthGrid_->setFocus();
  app_->MoveSelectedDay(days);
  ShowSelectedDay();
}

void MainWindow::OpenSelectedDayReport() {
  if (app_->Month().SelectedCell() < 0) {
    // Nothing selected yet: the day the keys start from.
    MoveSelectedDay(0);
    if (app_->Month().SelectedCell() < 0) return;
  }
  const int cell = app_->Month().SelectedCell();
  cellPressed(MonthGrid::CellRow(cell, 0), MonthGrid::CellColumn(cell), Qt::LeftButton);
}

void MainWindow::ShowGoToDate() {
  DateQuery query;
  if (!askGoToDate || !askGoToDate(query)) return;
  app_->GoToDate(query);
  ShowSelectedDay();
}

void MainWindow::ShowFindDays() {
  FindDaysDialog dialog(
      [this](const std::string& text) { return app_->FindNamedDays(text); },
      [this](const NamedDay& day) {
        app_->ShowAndSelectDate(day.year, day.month, day.day);
        ShowSelectedDay();
      },
      this);
  dialog.exec();
}

void MainWindow::AskAndPrint(bool toPdf) {
  PrintRequest request;
  request.year = AstronomicalYear(app_->Inputs());
  request.firstMonth = request.lastMonth = app_->Inputs().month;
  QString pdfPath;
  if (!askPrint || !askPrint(request, pdfPath, toPdf)) return;
  PrintCalendar(request, pdfPath);
}

bool MainWindow::PrintCalendar(const PrintRequest& request, const QString& pdfPath) {
  PrintDocument document;
  const bool built = app_->Reports().BuildPrint(request, document);
  Refresh();
  if (!built) return false;
  if (!pdfPath.isEmpty()) {
    QString error;
    if (WritePrintPdf(document, pdfPath, &error)) return true;
    app_->Messages().Show(("PDF 파일을 저장할 수 없습니다.\n" + error).toStdString(), "오류", MessageButtons::Ok,
                          MessageIcon::Error);
    return false;
  }
  QPrinter printer(QPrinter::HighResolution);
  SetPrintPageLayout(printer);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return false;
  // The dialog's "print to file" is a PDF too: written as the PDF command
  // writes it, so that its text copies as drawn (app/print/pdf_text.h).
  if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
    return PrintCalendar(request, printer.outputFileName());
  return PaintPrintDocument(document, printer);
}

QString MainWindow::WindowStatePath() const {
  return QString::fromStdString(JoinPath(app_->Folders().currentFolder, kWindowStateFile));
}

void MainWindow::RestoreWindowState() {
  QSettings state(WindowStatePath(), QSettings::IniFormat);
  const QByteArray geometry = state.value(kGeometryKey).toByteArray();
  if (!geometry.isEmpty()) restoreGeometry(geometry);
}

void MainWindow::SaveWindowState() const {
  // QSettings writes the file whole through a temporary file.
  QSettings state(WindowStatePath(), QSettings::IniFormat);
  state.setValue(kGeometryKey, saveGeometry());
  state.sync();
}

}  // namespace orv
