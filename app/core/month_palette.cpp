#include "app/core/month_palette.h"

#include "app/core/files/encoding.h"

namespace orv {
namespace {

constexpr int kSunday = 0;
constexpr int kSaturday = 6;
// A second line longer than this (CP949 bytes) carries a mark of the moon or
// more than a date.
constexpr int kPlainSecondLineBytes = 7;

}  // namespace

LineColours DayLineColours(const MonthCell& cell, int line, int weekday) {
  LineColours c;
  switch (line) {
    case 0:
      if (weekday == kSunday || cell.holidayStyle) c.text = palette::kRed;
      else if (weekday == kSaturday) c.text = palette::kSaturdayBlue;
      break;
    case 1:
      if (Cp949Length(cell.SecondLine()) > kPlainSecondLineBytes) c.text = palette::kFuchsia;
      if (cell.markKind != SecondLineMark::None) c.markSize = true;
      switch (cell.markKind) {
        case SecondLineMark::DogDay: c.text = palette::kRed; break;
        case SecondLineMark::FeastDay: c.text = palette::kAqua; break;
        case SecondLineMark::MajorTerm: c.text = palette::kBlue; break;
        case SecondLineMark::SectionalTerm: c.text = palette::kNavy; break;
        case SecondLineMark::None: break;
      }
      break;
    case 2:
      if (cell.holidayStyle) {
        c.text = palette::kRed;
        c.markSize = true;
      }
      if (cell.highlightStyle) {
        c.text = palette::kHighlightText;
        c.hasBack = true;
        c.back = palette::kHighlightBack;
        c.markSize = true;
      }
      break;
    default: break;
  }
  return c;
}

}  // namespace orv
