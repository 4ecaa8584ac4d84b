#include "app/core/reports/holidays.h"

#include "app/core/reports/public_holidays.h"
#include "app/core/reports/report_format.h"

namespace orv {
namespace {

using report::Format;

// First years of the counts: the March First Movement (1919), the first
// Children's Day (1923), the Buddhist era (544 BC), the first Memorial Day
// (1956), the Constitution (1948), the Liberation (1945), the founding of
// Gojoseon (2333 BC) and the promulgation of Hangul (1446).
constexpr int kMarchFirstYear = 1919;
constexpr int kChildrensDayBase = 1922;
constexpr int kBuddhistEraOffset = 544;
constexpr int kMemorialDayBase = 1955;
constexpr int kConstitutionYear = 1948;
constexpr int kLiberationYear = 1945;
constexpr int kFoundationOffset = 2332;
constexpr int kHangulYear = 1446;

const char* const kWeekdayNames[7] = {"일요일", "월요일", "화요일", "수요일", "목요일", "금요일", "토요일"};

// The day of a date of the Korean calendar (regular month), nullptr when
// the days do not hold it.
const CalendarDay* KoreanLunarDay(const CalendarOfDays& days, int year, int month, int day) {
  for (const CalendarDay& d : days.Days()) {
    const LunarDay& l = d.koreanLunar;
    if (l.year == year && l.month == month && l.day == day && !l.leap) return &d;
  }
  return nullptr;
}

const char* LunarWeekday(const CalendarOfDays& days, int year, int month, int day) {
  const CalendarDay* d = KoreanLunarDay(days, year, month, day);
  return d != nullptr ? WeekdayName(d->weekday) : "";
}

// The name the law gives the holiday `key` in force on its date of `year`
// (석가탄신일 until 2017-10-16, 부처님 오신 날 after it; 기독탄신일), the
// day's customary name `usual` in years no rule makes it a holiday.
std::string LawName(const char* key, const char* usual, const CalendarOfDays& days, int year, int month, int day,
                    bool lunar) {
  CivilDate date{year, month, day};
  if (lunar) {
    const CalendarDay* d = KoreanLunarDay(days, year, month, day);
    if (d == nullptr) return usual;
    date = d->solar;
  }
  const std::string name = PublicHolidayName(key, date);
  return name.empty() ? usual : name;
}

// The days off that the twelve rows do not show (substitute holidays, the
// second and third days of the new year, holidays of other years' rules),
// each with its weekday; "" when there are none.
std::string OtherPublicHolidaysText(const std::vector<PublicHoliday>& holidays) {
  std::string out;
  for (const PublicHoliday& h : holidays) {
    if (!h.dayOff || ShownByHolidayReportRows(h)) continue;
    out += Format("\n\n%s\t(양 %02d/%02d)\t%s", h.name.c_str(), h.month, h.day,
                  WeekdayName(WeekdayOf(h.year, h.month, h.day)));
  }
  return out.empty() ? out : "\n\n\n그 밖의 공휴일" + out;
}

}  // namespace

std::vector<PublicHoliday> PublicHolidaysOfDays(const CalendarOfDays& days) {
  std::vector<PublicHoliday> out;
  for (const CalendarDay& d : days.Days())
    for (const DayHoliday& h : d.holidays) {
      PublicHoliday p;
      p.year = d.solar.year;
      p.month = d.solar.month;
      p.day = d.solar.day;
      p.key = h.key;
      p.name = h.name;
      p.dayOff = h.dayOff;
      p.substitute = h.substitute;
      out.push_back(std::move(p));
    }
  return out;
}

const char* WeekdayName(int weekday) { return weekday >= 0 && weekday < 7 ? kWeekdayNames[weekday] : ""; }

std::string HolidayReportText(ReportInputs& in, int year) {
  // Public holidays are Korean law: their lunar dates are those of the
  // Korean calendar, wherever the place shown.
  const CalendarOfDays t = HolidayDays(in, year);
  const auto solar = [year](int month, int day) { return WeekdayName(WeekdayOf(year, month, day)); };
  std::string out = Format("%d년의 기념일(국경일,공휴일)\n\n\n", year);
  out += Format("신정\t(양 01/01)\t%s; 일제시대부터\n\n", solar(1, 1));
  out += Format("설날(음12/30~01/02)\t%s; 삼국시대부터\n\n", LunarWeekday(t, year, 1, 1));
  out += Format("삼일절\t(양 03/01)\t%s; %d주년\n\n", solar(3, 1), year - kMarchFirstYear);
  out += Format("어린이날\t(양 05/05)\t%s; 제%d회\n\n", solar(5, 5), year - kChildrensDayBase);
  out += Format("%s(음 04/08)\t%s; 불기%d년\n\n", LawName("buddha", "석가탄신일", t, year, 4, 8, true).c_str(),
                LunarWeekday(t, year, 4, 8), year + kBuddhistEraOffset);
  out += Format("현충일\t(양 06/06)\t%s; 제%d회\n\n", solar(6, 6), year - kMemorialDayBase);
  out += Format("제헌절\t(양 07/17)\t%s; %d주년\n\n", solar(7, 17), year - kConstitutionYear);
  out += Format("광복절\t(양 08/15)\t%s; %d주년\n\n", solar(8, 15), year - kLiberationYear);
  out += Format("추석\t(음08/14~16)\t%s; 삼국시대부터\n\n", LunarWeekday(t, year, 8, 15));
  out += Format("개천절\t(양 10/03)\t%s; %d주년\n\n", solar(10, 3), year + kFoundationOffset);
  out += Format("한글날\t(양 10/09)\t%s; %d돌\n\n", solar(10, 9), year - kHangulYear);
  out += Format("%s\t(양 12/25)\t%s", LawName("christmas", "성탄절", t, year, 12, 25, false).c_str(), solar(12, 25));
  out += OtherPublicHolidaysText(PublicHolidaysOfDays(t));
  return out;
}

}  // namespace orv
