// Korean public holidays and substitute holidays as the law had them in each
// year. Written by hand from the legal texts (a short table: each row is one
// provision, checked against its source; not generated).
//
// Sources (the consolidated texts and their amendment history are published
// by the Ministry of Government Legislation, 국가법령정보센터, and the yearly
// holiday lists by the national almanac, 월력요항):
//   R1949  관공서의 공휴일에 관한 건 / 관공서의 공휴일에 관한 규정, 대통령령 제124호, 1949-06-04
//          (Sundays, national days 3·1 7·17 8·15 10·3, 1/1-1/3, 식목일 4/5, 추석 lunar 8/15,
//          한글날 10/9, 기독탄신일 12/25)
//   R1950  amendment of 1950-09-18: 국제연합일 10/24 added
//   R1956  amendment of 1956-04-19: 현충일 6/6 added
//   R1959  amendment of 1959-03-27: a holiday falling on a Sunday makes the next day a holiday too;
//          the clause was struck out by the amendment of December 1960. Its end decides two days:
//          1960-01-04 (1/3 on a Sunday) lies within the clause's span whatever the amendment's day
//          and is a day off; 1960-12-26 (기독탄신일 on a Sunday) would be one only if the clause
//          still stood on 1960-12-25. The amendment's day in December is not among the sources
//          listed here, so the span is closed at 1960-11-30, the last day known to be before it:
//          1960-12-26 is not counted. Should the amendment prove to date from 1960-12-26 or later,
//          the end moves to the day before it and 1960-12-26 becomes a substitute day.
//   R1960  amendment of 1960-03-15: 식목일 replaced by 사방(砂防)의 날 3/15
//   R1961  amendment of 1961-02-28: 식목일 4/5 restored in place of 사방의 날
//   R1975  amendment of 1975-01-27: 어린이날 5/5 and 석가탄신일 lunar 4/8 added
//   R1976  amendment of 1976: 국군의 날 10/1 added, 국제연합일 removed
//   R1985  amendment of 1985-01-21: 민속의 날, lunar 1/1
//   R1986  amendment of 1986-09-11: the day after 추석 (lunar 8/16) added
//   R1989  amendment of 1989-02-01: 설날 three days (last day of lunar 12, 1/1, 1/2) in place of
//          민속의 날; the day before 추석 (lunar 8/14) added; 1/3 no longer a holiday (from 1990);
//          and again a next-day rule: a holiday falling on a Sunday makes the next day a holiday,
//          except the holidays of several days (신정, 설날, 추석), as the cabinet adopted it on
//          1989-01-26 (reported by 한국경제 that day). Its only day is 1989-10-02 (국군의 날 on a
//          Sunday); no single holiday of 1990 fell on a Sunday.
//   R1990  amendment of 1990-11-05, 대통령령 제13155호, in force 1991-01-01: 국군의 날 and 한글날 no
//          longer holidays, and the next-day rule of R1989 struck out (the cabinet's draft of
//          1990-08-24, reported by 한국일보 on 1990-08-25, sent back by the President and adopted
//          with the new year as its start)
//   R1998  amendment of 1998-12-18: 1/2 no longer a holiday (from 1999)
//   R2005  amendment of 2005-06-30: 식목일 no longer a holiday (from 2006)
//   R2007  amendment in force from 2008-01-01: 제헌절 no longer a holiday (a national day only)
//   R2012  amendment of 2012-12-28, 대통령령 제24273호: 한글날 a holiday again (from 2013)
//   R2013  amendment of 2013-11-05, 대통령령 제24828호, in force 2014-01-01: substitute holidays for
//          설날 and 추석 (falling on a Sunday or on another holiday) and 어린이날 (a Saturday,
//          a Sunday or another holiday)
//   R2017  amendment of 2017-10-17, 대통령령 제28394호: 석가탄신일 renamed 부처님 오신 날
//   L2021  공휴일에 관한 법률, 법률 제18291호, 2021-07-07 (in force 2022-01-01), and the
//          regulation's amendment of 2021-08 applying it at once: substitute holidays for 3·1절,
//          광복절, 개천절 and 한글날 (a Saturday, a Sunday or another holiday); first applied to
//          광복절 2021 (8/16)
//   R2023  amendment of 2023-05-04: substitute holidays for 부처님 오신 날 and 기독탄신일, first
//          applied to 부처님 오신 날 2023 (5/29)
//   L2026  공휴일에 관한 법률 as amended in 2026: 제헌절 a public holiday again and 노동절 (5/1) a
//          public holiday from 2026, both with substitute holidays. The amending acts' numbers and
//          dates are not among the sources here; the days are those of the national almanac's
//          lists of 2026 and 2027 (월력요항, as npm @hyunbinseo/holidays-kr 5.2027.1 records them;
//          tests/test_public_holidays.cpp), which name 05-01 노동절 and 07-17 제헌절 as days off.
//
// Before 1949-06-04: the rules begin with R1949, the first regulation on the public holidays of
// government offices of the Republic of Korea (founded 1948-08-15). No rule on days off in force
// before it is among these sources, so no day of 1948 or of 1949-01-01..06-03 is listed (the
// year's first listed day is 제헌절, 1949-07-17); 1/1-1/3 and 3·1절 of 1949 are left out, not
// guessed. A user who wants them marks them in the memo file with ":".
//
// Names: each row carries the name the rule of its span uses, and every view and file names a
// holiday by the row in force on its date (석가탄신일 until R2017, 부처님 오신 날 after it, as
// this table spells it; 기독탄신일 throughout).
// Election days and holidays designated once (임시공휴일) follow no rule; the memo file's ":"
// marker paints them.
#include "data/public_holiday_rules.h"

namespace orv::data {

namespace {
constexpr HolidayCalendar S = HolidayCalendar::Solar;
constexpr HolidayCalendar L = HolidayCalendar::Lunar;
constexpr HolidayCalendar E = HolidayCalendar::LunarNewYearEve;
constexpr int kOpen = 0;
}  // namespace

const PublicHolidayRule kPublicHolidayRules[] = {
    {"newyear", "신정", S, 1, 1, 19490604, kOpen, true, "R1949"},
    {"newyear-2", "신정 연휴", S, 1, 2, 19490604, 19981231, true, "R1949; R1998"},
    {"newyear-3", "신정 연휴", S, 1, 3, 19490604, 19891231, true, "R1949; R1989"},
    {"minsok", "민속의 날", L, 1, 1, 19850121, 19890131, true, "R1985; R1989"},
    {"seollal-eve", "설날 전날", E, 0, 0, 19890201, kOpen, true, "R1989"},
    {"seollal", "설날", L, 1, 1, 19890201, kOpen, true, "R1989"},
    {"seollal-after", "설날 다음 날", L, 1, 2, 19890201, kOpen, true, "R1989"},
    {"samiljeol", "3·1절", S, 3, 1, 19490604, kOpen, true, "R1949"},
    {"sabang", "사방의 날", S, 3, 15, 19600315, 19610227, true, "R1960; R1961"},
    {"arborday", "식목일", S, 4, 5, 19490604, 19600314, true, "R1949; R1960"},
    {"arborday", "식목일", S, 4, 5, 19610228, 20051231, true, "R1961; R2005"},
    {"arborday", "식목일", S, 4, 5, 20060101, kOpen, false, "R2005"},
    {"labourday", "노동절", S, 5, 1, 20260101, kOpen, true, "L2026"},
    {"childrensday", "어린이날", S, 5, 5, 19750127, kOpen, true, "R1975"},
    {"buddha", "석가탄신일", L, 4, 8, 19750127, 20171016, true, "R1975"},
    {"buddha", "부처님 오신 날", L, 4, 8, 20171017, kOpen, true, "R2017"},
    {"memorialday", "현충일", S, 6, 6, 19560419, kOpen, true, "R1956"},
    {"constitution", "제헌절", S, 7, 17, 19490604, 20071231, true, "R1949; R2007"},
    {"constitution", "제헌절", S, 7, 17, 20080101, 20251231, false, "R2007 (a national day only)"},
    {"constitution", "제헌절", S, 7, 17, 20260101, kOpen, true, "L2026"},
    {"liberation", "광복절", S, 8, 15, 19490604, kOpen, true, "R1949"},
    {"chuseok-eve", "추석 전날", L, 8, 14, 19890201, kOpen, true, "R1989"},
    {"chuseok", "추석", L, 8, 15, 19490604, kOpen, true, "R1949"},
    {"chuseok-after", "추석 다음 날", L, 8, 16, 19860911, kOpen, true, "R1986"},
    {"armedforces", "국군의 날", S, 10, 1, 19760101, 19901231, true, "R1976; R1990"},
    {"armedforces", "국군의 날", S, 10, 1, 19910101, kOpen, false, "R1990 (a memorial day only)"},
    {"foundation", "개천절", S, 10, 3, 19490604, kOpen, true, "R1949"},
    {"hangul", "한글날", S, 10, 9, 19490604, 19901231, true, "R1949; R1990"},
    {"hangul", "한글날", S, 10, 9, 19910101, 20121231, false, "R1990 (a memorial, from 2006 a national day)"},
    {"hangul", "한글날", S, 10, 9, 20130101, kOpen, true, "R2012"},
    {"unday", "국제연합일", S, 10, 24, 19500918, 19751231, true, "R1950; R1976"},
    {"christmas", "기독탄신일", S, 12, 25, 19490604, kOpen, true, "R1949"},
};
const int kPublicHolidayRuleCount = static_cast<int>(sizeof kPublicHolidayRules / sizeof kPublicHolidayRules[0]);

namespace {
constexpr unsigned kWeekend = kLostOnSaturday | kLostOnSunday | kLostOnOtherHoliday;
constexpr unsigned kFeast = kLostOnSunday | kLostOnOtherHoliday;
}  // namespace

const SubstituteRule kSubstituteRules[] = {
    {"*", kLostOnSunday, 19590327, 19601130, "R1959 (struck out in December 1960; see the note above)"},
    {"samiljeol", kLostOnSunday, 19890201, 19901231, "R1989; R1990"},
    {"arborday", kLostOnSunday, 19890201, 19901231, "R1989; R1990"},
    {"childrensday", kLostOnSunday, 19890201, 19901231, "R1989; R1990"},
    {"buddha", kLostOnSunday, 19890201, 19901231, "R1989; R1990"},
    {"memorialday", kLostOnSunday, 19890201, 19901231, "R1989; R1990"},
    {"constitution", kLostOnSunday, 19890201, 19901231, "R1989; R1990"},
    {"liberation", kLostOnSunday, 19890201, 19901231, "R1989; R1990"},
    {"armedforces", kLostOnSunday, 19890201, 19901231, "R1989; R1990"},
    {"foundation", kLostOnSunday, 19890201, 19901231, "R1989; R1990"},
    {"hangul", kLostOnSunday, 19890201, 19901231, "R1989; R1990"},
    {"christmas", kLostOnSunday, 19890201, 19901231, "R1989; R1990"},
    {"seollal-eve", kFeast, 20140101, kOpen, "R2013"},
    {"seollal", kFeast, 20140101, kOpen, "R2013"},
    {"seollal-after", kFeast, 20140101, kOpen, "R2013"},
    {"chuseok-eve", kFeast, 20140101, kOpen, "R2013"},
    {"chuseok", kFeast, 20140101, kOpen, "R2013"},
    {"chuseok-after", kFeast, 20140101, kOpen, "R2013"},
    {"childrensday", kWeekend, 20140101, kOpen, "R2013"},
    {"samiljeol", kWeekend, 20210801, kOpen, "L2021"},
    {"liberation", kWeekend, 20210801, kOpen, "L2021"},
    {"foundation", kWeekend, 20210801, kOpen, "L2021"},
    {"hangul", kWeekend, 20210801, kOpen, "L2021"},
    {"buddha", kWeekend, 20230504, kOpen, "R2023"},
    {"christmas", kWeekend, 20230504, kOpen, "R2023"},
    {"constitution", kWeekend, 20260101, kOpen, "L2026"},
    {"labourday", kWeekend, 20260101, kOpen, "L2026"},
};
const int kSubstituteRuleCount = static_cast<int>(sizeof kSubstituteRules / sizeof kSubstituteRules[0]);

}  // namespace orv::data
