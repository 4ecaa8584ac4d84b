// Korean public holidays (days off of government offices) and the
// substitute-holiday rules, by the periods each rule was in force. See
// public_holiday_rules.cpp for the legal sources of every row.
#pragma once

namespace orv::data {

enum class HolidayCalendar : unsigned char {
  Solar,            // (month, day) of the civil calendar
  Lunar,            // (month, day) of the Korean lunar calendar, regular month
  LunarNewYearEve,  // the last day of the lunar year: the day before lunar 1/1
};

// One holiday over one span of years. A holiday whose rule changed (a new
// name, a day off becoming a memorial day only) has one row per span.
struct PublicHolidayRule {
  const char* key;           // stable identifier ("seollal", "hangul", ...)
  const char* name;          // name as the calendars of the year print it
  HolidayCalendar calendar;
  int month, day;            // solar or lunar; unused for LunarNewYearEve
  int fromDate, toDate;      // civil dates (year*10000+month*100+day) covered, inclusive; toDate 0 = open
  bool dayOff;               // false: a national or memorial day that is not a day off
  const char* citation;
};

// When a holiday's day counts as lost, so that a substitute day follows.
enum SubstituteWhen : unsigned {
  kLostOnSunday = 1u,
  kLostOnSaturday = 2u,
  kLostOnOtherHoliday = 4u,  // another public holiday on the same day (Sunday included)
};

// A substitute-holiday rule: holidays of `key` ("*" = every day off) dated
// within [fromDate, toDate] are lost as `when` says; each lost day adds the
// first following day that is neither a Saturday, a Sunday nor a public holiday.
struct SubstituteRule {
  const char* key;
  unsigned when;
  int fromDate, toDate;
  const char* citation;
};

extern const PublicHolidayRule kPublicHolidayRules[];
extern const int kPublicHolidayRuleCount;
extern const SubstituteRule kSubstituteRules[];
extern const int kSubstituteRuleCount;

// The first year the rules cover (the regulation of 1949-06-04).
inline constexpr int kFirstPublicHolidayYear = 1949;

}  // namespace orv::data
