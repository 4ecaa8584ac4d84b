// Writes the Korean lunar calendar of the Korea Astronomy and Space Science
// Institute, as carried by the npm package korean-lunar-calendar, as a list of
// lunar months: lunar year, month, leap flag, the civil date of its first day
// (Julian calendar before 1582-10-15) and its length in days.
//
// The package counts solar dates in the proleptic Gregorian calendar (it only
// refuses 1582-10-05..14), so the months are read from the lunar side and
// their first days converted here.
//
// Usage: (cd /tmp/x && npm install korean-lunar-calendar@0.4.0)
//        NODE_PATH=/tmp/x/node_modules node tools/reference/gen_kasi_months.js FROM TO [--compact] > out
// FROM and TO are civil years; the months that begin in that span are written
// (the last month of the data cut where the data end), one line per month (CSV) or one line
// per lunar year (--compact, see month_list.js).
const KoreanLunarCalendar = require("korean-lunar-calendar");
const pkg = require("korean-lunar-calendar/package.json");
const list = require("./month_list.js");

const from = parseInt(process.argv[2], 10), to = parseInt(process.argv[3], 10);
const compact = process.argv.includes("--compact");
const cal = new KoreanLunarCalendar();

// Day number of day 1 of a lunar month, or null when the month does not exist.
function firstDay(y, m, leap) {
  if (!cal.setLunarDate(y, m, 1, leap)) return null;
  if (leap && !cal.getLunarCalendar().intercalation) return null;
  const s = cal.getSolarCalendar();
  return list.gregorianDayNumber(s.year, s.month, s.day);
}

// Length of a lunar month; a month cut where the data end counts only the
// days given.
function monthLength(y, m, leap) {
  let d = 30;
  while (d > 1 && !cal.setLunarDate(y, m, d, leap)) --d;
  return d;
}

const months = [];
for (let y = from - 1; y <= to; y++) {
  for (let m = 1; m <= 12; m++) {
    for (const leap of [false, true]) {
      const first = firstDay(y, m, leap);
      if (first === null) continue;
      const begins = list.civilDate(first)[0];
      const length = monthLength(y, m, leap);
      if (begins < from || begins > to) continue;
      months.push({ year: y, month: m, leap, first, length });
    }
  }
}
list.checkContinuous(months);
const title = `korean-lunar-calendar ${pkg.version}: lunar months beginning in ${from}..${to}`;
process.stdout.write(compact ? list.writeCompact(months, title) : list.writeCsv(months, title));
