// The four-pillars tool: a birth date and time at a place, read on its
// standard or civil clock, with the hour rule; the pillars and the corrections.
#pragma once

#include <QPushButton>
#include <QWidget>

#include "app/core/calendar_app.h"

namespace orv {

// The "사주" button of the right-hand column; a click opens the tool over the
// window's current settings, place and date.
QPushButton* MakePillarsButton(QWidget* parent, CalendarApp& app);

// Opens the tool (modal).
void ShowPillarsDialog(QWidget* parent, CalendarApp& app);

}  // namespace orv
