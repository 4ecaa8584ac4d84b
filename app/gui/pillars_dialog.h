// The four-pillars tool: a birth date (solar, or lunar with its leap month)
// and time (or none) at a place, read on its civil clock unless told
// otherwise, with the hour rule and the sex; the chart as a grid of cells
// coloured by element, the luck pillars, and the corrections applied. The
// numbers come from app/core (ComputeBirthReport); the dialog only shows them.
#pragma once

#include <QPushButton>
#include <QWidget>

#include "app/core/calendar_app.h"

namespace orv {

// The "사주" button of the right-hand column; a click opens the tool over the
// window's current settings, place and date.
QPushButton* MakePillarsButton(QWidget* parent, CalendarApp& app);

// Opens the tool (modal) on today's date, or on the solar date given (the
// day report's "사주" button).
void ShowPillarsDialog(QWidget* parent, CalendarApp& app);
void ShowPillarsDialog(QWidget* parent, CalendarApp& app, int year, int month, int day);

}  // namespace orv
