// The questions of the iCalendar export: the years and kinds of events, then
// the file name.
#pragma once

#include <QString>
#include <QWidget>

#include "app/core/calendar_app.h"

namespace orv {

// Shows the years (within `limits`) and the kinds of events of `request`
// for the user to change, then asks for the file (starting in `folder`).
// False when the user cancels either question.
bool AskIcsExport(QWidget* parent, IcsExportRequest& request, EphemerisSpan limits, const QString& folder);

}  // namespace orv
