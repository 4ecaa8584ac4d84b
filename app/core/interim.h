// Stand-ins for operations whose real versions live in modules that are not
// part of this build yet: the user place file and the time at the place
// (places), the quick eclipse screening (eclipses), the memo file reader and
// the CP949 byte count (encodings). Each forwards to the real operation once
// that module is in; callers do not change.
#pragma once

#include <string>

#include "app/core/clock.h"
#include "app/core/memo.h"
#include "app/core/messages.h"
#include "app/core/places.h"
#include "ephemeris/context.h"
#include "time/dates.h"

namespace orv {

// Bytes the UTF-8 text takes in CP949 (two per Hangul or Han character).
int InterimCp949Length(const std::string& utf8);

// Appends the rows of the user place file in `folder`; whether it was found.
bool InterimReadPlaceFile(PlaceTable& table, const std::string& folder, MessageSink& messages);

// Civil date and time now at the selected place (its standard time).
CivilDateTime InterimPlaceNow(const CalcSettings& settings, const Clock& clock);

// "%s의 확인시점 시각(섬머타임 미적용)은 %02d일 %02d시 %02d분".
std::string InterimPlaceTimeText(const PlaceRecord& place, const CivilDateTime& placeNow);

// Text `which` (0 rule, 1 clock difference, 2 time at the place) of the
// reference box.
std::string InterimReferenceText(int which, const PlaceTable& table, const CalcSettings& settings,
                                 const Clock& clock);

// Score (0..100) of the quick eclipse screening around a new moon (newMoon) or
// a full moon at `jd` (selected time system, zone offset removed).
int InterimQuickEclipseScore(EngineContext& ctx, double jd, bool newMoon);

// Loads the memo file of `folder` into `memos` (cleared first).
void InterimReadMemoFile(MemoTable& memos, const std::string& folder);

}  // namespace orv
