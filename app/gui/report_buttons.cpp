#include "app/gui/report_buttons.h"

#include <QBoxLayout>

#include "app/gui/pillars_dialog.h"

namespace orv {
namespace {

// Room beside the text of a narrow push button, pixels at 96 dpi.
constexpr int kNarrowButtonPaddingPx = 10;
}  // namespace

ReportButtons::ReportButtons(CalendarApp& app, QWidget* parent) : QWidget(parent) {
  setObjectName("reportButtons");
  auto* side = new QVBoxLayout(this);
  side->setContentsMargins(0, 0, 0, 0);
  side->setSpacing(3);
  solarTermsButton = Named(new BitButton("절기(해)", this), "solarTermsButton");
  syzygiesButton = Named(new BitButton("삭망(달)", this), "syzygiesButton");
  eclipsesButton = Named(new BitButton("<일/월식>", this), "eclipsesButton");
  eclipsesButton->setToolTip("좌클릭;Local, 우클릭;Global");
  side->addWidget(solarTermsButton);
  side->addWidget(syzygiesButton);
  side->addWidget(eclipsesButton);
  thirtyYearsGroup = Named(new QGroupBox("30년동안", this), "thirtyYearsGroup");
  auto* yearsLayout = new QVBoxLayout(thirtyYearsGroup);
  yearsLayout->setContentsMargins(4, 2, 4, 4);
  yearsLayout->setSpacing(2);
  auto* rangeRow = new QHBoxLayout;
  yearsBeforeButton = Named(new QRadioButton("전", thirtyYearsGroup), "yearsBeforeButton");
  yearsAfterButton = Named(new QRadioButton("후", thirtyYearsGroup), "yearsAfterButton");
  yearsAfterButton->setChecked(true);
  rangeRow->addWidget(yearsBeforeButton);
  rangeRow->addWidget(yearsAfterButton);
  yearsLayout->addLayout(rangeRow);
  leapMonthsButton = Named(new BitButton("윤달년월", thirtyYearsGroup), "leapMonthsButton");
  leapMonthsButton->setToolTip("음력 윤달이 든 해와 윤달 보기");
  lunarDatesButton = Named(new BitButton("음력월일", thirtyYearsGroup), "lunarDatesButton");
  lunarDatesButton->setToolTip("양력 날짜가 같은 음력 보기");
  solarDatesButton = Named(new BitButton("양력월일", thirtyYearsGroup), "solarDatesButton");
  solarDatesButton->setToolTip("음력 날짜가 같은 양력 보기");
  yearsLayout->addWidget(leapMonthsButton);
  yearsLayout->addWidget(lunarDatesButton);
  yearsLayout->addWidget(solarDatesButton);
  side->addWidget(thirtyYearsGroup);
  holidaysButton = Named(new BitButton("금년기념일", this), "holidaysButton");
  holidaysButton->setToolTip("올해의 기념일");
  side->addWidget(holidaysButton);
  icsButton = Named(new QPushButton("iCal", this), "icsButton");
  icsButton->setToolTip("절기·삭망·기념일·비망일을 iCalendar(.ics) 파일로 내보냅니다");
  // The anniversary manager shares the row of the iCalendar export: the
  // column keeps its height, which the smallest window is measured by.
  anniversaryButton = Named(new QPushButton("비망일 편집", this), "anniversaryButton");
  anniversaryButton->setToolTip("비망일(기념일)을 보고 더하고 고치고 지웁니다");
  auto* memoRow = new QHBoxLayout;
  memoRow->setSpacing(3);
  // Both as narrow as their texts (not the style's 80-pixel push button), so
  // that the column, and the grid beside it, keep their widths.
  for (QPushButton* button : {anniversaryButton, icsButton}) {
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + kNarrowButtonPaddingPx);
  }
  memoRow->addWidget(anniversaryButton, 2);
  memoRow->addWidget(icsButton, 1);
  side->addLayout(memoRow);
  pillarsButton = MakePillarsButton(this, app);
  side->addWidget(pillarsButton);
  side->addStretch(1);
  aboutButton = Named(new BitButton("<설정/안내>", this), "aboutButton");
  aboutButton->setToolTip("좌클릭;환경설정 및 기타 계산, 우클릭;안내");
  side->addWidget(aboutButton);

  connect(yearsBeforeButton, &QRadioButton::clicked, this, [&app] { app.SetThirtyYearsAfter(false); });
  connect(yearsAfterButton, &QRadioButton::clicked, this, [&app] { app.SetThirtyYearsAfter(true); });
}

void ReportButtons::ShowThirtyYearsAfter(bool after) {
  yearsBeforeButton->setChecked(!after);
  yearsAfterButton->setChecked(after);
}

}  // namespace orv
