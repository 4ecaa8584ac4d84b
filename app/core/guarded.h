// Runs a computation of a report, a picture or an export; a JPL file that
// cannot serve an instant, or a year whose tables could not be completed,
// shows its message instead. False then.
#pragma once

#include "app/core/messages.h"
#include "app/core/reports/reports.h"
#include "ephemeris/jpl_reader.h"

namespace orv {

template <typename Computation>
bool Guarded(MessageSink& messages, Computation computation) {
  try {
    computation();
    return true;
  } catch (const JplError& e) {
    messages.Show(e.what(), "오류", MessageButtons::Ok, MessageIcon::Error);
    return false;
  } catch (const IncompleteYearError& e) {
    messages.Show(IncompleteYearMessage(e.year), "오류", MessageButtons::Ok, MessageIcon::Error);
    return false;
  }
}

}  // namespace orv
