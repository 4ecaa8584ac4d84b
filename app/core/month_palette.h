// The colours of a month's days, for the screen and for paper alike: which
// colour a line of a typed day (month_view.h) takes follows from its fields
// here, and nowhere else. Colours are plain RGB; the painters convert them.
//
// The values are those of the window's layout, each darkened (or, for the
// highlight, lightened) only as far as needed for a contrast of at least
// 4.5:1 (WCAG AA) between text and its cell, on white and on today's yellow
// alike; each keeps its hue and meaning.
#pragma once

#include <cstdint>

#include "app/core/month_view.h"

namespace orv {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

namespace palette {
inline constexpr Rgb kBlack{0x00, 0x00, 0x00};
inline constexpr Rgb kWhite{0xFF, 0xFF, 0xFF};
inline constexpr Rgb kNavy{0x00, 0x00, 0x80};          // sectional terms (立春, 驚蟄, ...)
inline constexpr Rgb kBlue{0x00, 0x00, 0xFF};          // major terms (雨水, 春分, ...)
inline constexpr Rgb kRed{0xC0, 0x00, 0x00};           // Sundays, holidays, dog days
inline constexpr Rgb kAqua{0x00, 0x70, 0x70};          // 寒食, 端午 (teal: aqua itself is 1.3:1 on white)
inline constexpr Rgb kFuchsia{0xA0, 0x00, 0xA0};       // second lines with more than a date
inline constexpr Rgb kHighlightText{0x60, 0x00, 0x60}; // an anniversary marked for highlighting
inline constexpr Rgb kHighlightBack{0xFF, 0xC0, 0xFF}; // light fuchsia
inline constexpr Rgb kSaturdayBlue{0x00, 0x38, 0xB8};  // Saturday, as Korean calendars print it
inline constexpr Rgb kTodayBack{0xFF, 0xFF, 0x00};
}  // namespace palette

// How one line of a day is coloured.
struct LineColours {
  Rgb text = palette::kBlack;
  bool hasBack = false;  // a background of its own (else the cell's)
  Rgb back = palette::kWhite;
  bool markSize = false; // the smaller size of the marked lines
};

// Line 0 (the day's number), 1 (the date with its term, seasonal day and
// moons) or 2 (the day's name, holidays and anniversaries) of `cell`, whose
// weekday is `weekday` (0 Sunday .. 6 Saturday).
LineColours DayLineColours(const MonthCell& cell, int line, int weekday);

}  // namespace orv
