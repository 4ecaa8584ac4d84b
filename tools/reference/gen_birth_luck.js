// Writes the reference table of births for the four-pillars chart and the
// luck pillars (대운): the pillars, the ten gods of the year and month
// columns, the direction, the start age and the first five luck pillars
// that the npm package lunar-javascript gives.
//
// lunar-javascript reads clock times as China Standard Time (UTC+8): a Korean
// time (UTC+9) is passed one hour earlier, a New York time (UTC-4 in summer
// time) twelve hours later. EightChar.getYun(gender, 2) counts the exact
// minutes from the birth to the sectional term (3 days = 1 year, 1 day = 4
// months, 2 hours = 10 days).
//
// Rows:
//  - "table": births 1962-2020 at Seoul, a fixed pseudo-random draw of dates
//    and times between 02:00 and 21:59 (the day pillar does not depend on
//    the day boundary then), none in Korea's summer time of 1987 and 1988;
//  - "term-1" / "term+1": a minute before and after a sectional term (the
//    term's minute from lunar-javascript, to the second);
//  - "abroad": New York in summer time;
//  - "lunar": a lunar leap-month birthday (the 4th leap month of 2020).
// Hours and minutes are on the place's civil clock. The ten gods are written
// with the traditional characters of the chart (七杀 as 偏官).
//
// Usage: (cd /tmp/x && npm install lunar-javascript@1.7.7)
//        NODE_PATH=/tmp/x/node_modules node tools/reference/gen_birth_luck.js > tests/data/birth_luck_lunar_javascript.csv
const { Solar, Lunar } = require("lunar-javascript");
const pkg = require("lunar-javascript/package.json");

const GODS = {
  "比肩": "比肩", "劫财": "劫財", "食神": "食神", "伤官": "傷官", "偏财": "偏財",
  "正财": "正財", "七杀": "偏官", "正官": "正官", "偏印": "偏印", "正印": "正印",
};
const god = (name) => {
  if (!(name in GODS)) throw new Error("unknown ten god " + name);
  return GODS[name];
};

// A civil reading moved by `hours` (UTC arithmetic on the fields).
function shift(y, m, d, h, mi, hours) {
  const t = new Date(Date.UTC(y, m - 1, d, h, mi) + hours * 3600000);
  return [t.getUTCFullYear(), t.getUTCMonth() + 1, t.getUTCDate(), t.getUTCHours(), t.getUTCMinutes()];
}

const header = [
  "case", "place", "calendar", "year", "month", "day", "leap", "hour", "minute", "sex", "solar_date",
  "year_pillar", "month_pillar", "day_pillar", "year_stem_god", "month_stem_god", "year_branch_god",
  "month_branch_god", "day_branch_god", "direction", "start_years", "start_months", "start_days", "start_hours",
  "luck1", "luck2", "luck3", "luck4", "luck5",
];

function row(kind, place, calendar, input, leap, sex, lunar) {
  const ec = lunar.getEightChar();
  ec.setSect(2);
  const yun = ec.getYun(sex === "male" ? 1 : 0, 2);
  const daYun = yun.getDaYun(6);
  const s = lunar.getSolar();
  return [
    kind, place, calendar, input[0], input[1], input[2], leap ? 1 : 0, input[3], input[4], sex,
    `${s.getYear()}-${String(s.getMonth()).padStart(2, "0")}-${String(s.getDay()).padStart(2, "0")}`,
    ec.getYear(), ec.getMonth(), ec.getDay(), god(ec.getYearShiShenGan()), god(ec.getMonthShiShenGan()),
    god(ec.getYearShiShenZhi()[0]), god(ec.getMonthShiShenZhi()[0]), god(ec.getDayShiShenZhi()[0]),
    yun.isForward() ? "forward" : "backward", yun.getStartYear(), yun.getStartMonth(), yun.getStartDay(),
    yun.getStartHour(), daYun[1].getGanZhi(), daYun[2].getGanZhi(), daYun[3].getGanZhi(),
    daYun[4].getGanZhi(), daYun[5].getGanZhi(),
  ].join(",");
}

const KST_TO_CST = -1;  // hours
const EDT_TO_CST = 12;

const lines = [`# lunar-javascript ${pkg.version} (npm), tools/reference/gen_birth_luck.js`, header.join(",")];

// A fixed linear congruential draw, so the table is the same on every run.
let state = 20261210;
const next = (n) => {
  state = (state * 1103515245 + 12345) % 2147483648;
  return state % n;
};
const inKoreanSummerTime = (y, m) => (y === 1987 || y === 1988) && m >= 5 && m <= 10;
let count = 0;
while (count < 120) {
  const y = 1962 + next(59), m = 1 + next(12), d = 1 + next(28), h = 2 + next(20), mi = next(60);
  if (inKoreanSummerTime(y, m)) continue;
  const sex = count % 2 === 0 ? "male" : "female";
  const c = shift(y, m, d, h, mi, KST_TO_CST);
  lines.push(row("table", "Seoul", "solar", [y, m, d, h, mi], false, sex,
                 Solar.fromYmdHms(c[0], c[1], c[2], c[3], c[4], 0).getLunar()));
  count++;
}

// A minute either side of sectional terms, both directions of the luck.
for (const [y, m, d] of [[1970, 3, 1], [1985, 8, 1], [1999, 12, 1], [2004, 2, 1], [2013, 10, 1], [2019, 6, 1]]) {
  const jie = Solar.fromYmdHms(y, m, d, 12, 0, 0).getLunar().getNextJie().getSolar();
  // The term's minute on the Korean clock.
  const t = shift(jie.getYear(), jie.getMonth(), jie.getDay(), jie.getHour(), jie.getMinute(), -KST_TO_CST);
  for (const [kind, minutes] of [["term-1", -1], ["term+1", 1]]) {
    const k = shift(t[0], t[1], t[2], t[3], t[4], minutes / 60);
    const c = shift(k[0], k[1], k[2], k[3], k[4], KST_TO_CST);
    for (const sex of ["male", "female"])
      lines.push(row(kind, "Seoul", "solar", k, false, sex,
                     Solar.fromYmdHms(c[0], c[1], c[2], c[3], c[4], 0).getLunar()));
  }
}

// New York, 1990-07-15 14:30 EDT.
{
  const k = [1990, 7, 15, 14, 30];
  const c = shift(...k, EDT_TO_CST);
  for (const sex of ["male", "female"])
    lines.push(row("abroad", "New York", "solar", k, false, sex,
                   Solar.fromYmdHms(c[0], c[1], c[2], c[3], c[4], 0).getLunar()));
}

// Lunar 2020, leap 4th month, day 15, 10:20 KST (lunar-javascript marks a
// leap month with a negative month).
{
  const k = [2020, 4, 15, 10, 20];
  const solar = Lunar.fromYmd(2020, -4, 15).getSolar();
  const c = shift(solar.getYear(), solar.getMonth(), solar.getDay(), k[3], k[4], KST_TO_CST);
  for (const sex of ["male", "female"])
    lines.push(row("lunar", "Seoul", "lunar", k, true, sex,
                   Solar.fromYmdHms(c[0], c[1], c[2], c[3], c[4], 0).getLunar()));
}

process.stdout.write(lines.join("\n") + "\n");
