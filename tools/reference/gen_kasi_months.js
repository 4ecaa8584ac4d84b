// Writes the Korean lunar calendar of the Korea Astronomy and Space Science
// Institute, as carried by the npm package korean-lunar-calendar, as one line
// per lunar month: lunar year, month, leap flag, the civil date of its first
// day (Julian calendar before 1582-10-15) and its length in days.
//
// Usage: (cd /tmp/x && npm install korean-lunar-calendar@0.4.0)
//        NODE_PATH=/tmp/x/node_modules node tools/reference/gen_kasi_months.js FROM TO > out.csv
// FROM and TO are civil years; months that begin in that span are written.
const KoreanLunarCalendar = require("korean-lunar-calendar");
const pkg = require("korean-lunar-calendar/package.json");

const from = parseInt(process.argv[2], 10), to = parseInt(process.argv[3], 10);

// Day number of a civil date in the mixed calendar (Julian before 1582-10-15).
function dayNumber(y, m, d) {
  const julian = y < 1582 || (y === 1582 && (m < 10 || (m === 10 && d <= 4)));
  if (m <= 2) { y -= 1; m += 12; }
  let b = 0;
  if (!julian) { const a = Math.floor(y / 100); b = 2 - a + Math.floor(a / 4); }
  return Math.floor(365.25 * (y + 4716)) + Math.floor(30.6001 * (m + 1)) + d + b - 1524;
}
function civilOf(n) {
  let a = n;
  if (n >= 2299161) { const al = Math.floor((n - 1867216.25) / 36524.25); a = n + 1 + al - Math.floor(al / 4); }
  const b = a + 1524, c = Math.floor((b - 122.1) / 365.25), d = Math.floor(365.25 * c);
  const e = Math.floor((b - d) / 30.6001);
  const day = b - d - Math.floor(30.6001 * e);
  const month = e < 14 ? e - 1 : e - 13;
  const year = month > 2 ? c - 4716 : c - 4715;
  return [year, month, day];
}

const cal = new KoreanLunarCalendar();
console.log(`# korean-lunar-calendar ${pkg.version}: lunar months beginning in ${from}..${to}`);
console.log("lunar_year,lunar_month,leap,first_day,length");
let current = null;
const flush = () => {
  if (current && current.first[0] >= from && current.first[0] <= to && current.start)
    console.log(`${current.y},${current.m},${current.leap ? 1 : 0},${current.first.join("-")},${current.len}`);
};
for (let n = dayNumber(from - 1, 11, 1); n <= dayNumber(to + 1, 3, 1); n++) {
  const [y, m, d] = civilOf(n);
  if (!cal.setSolarDate(y, m, d)) continue;
  const l = cal.getLunarCalendar();
  if (!current || current.y !== l.year || current.m !== l.month || current.leap !== !!l.intercalation) {
    flush();
    current = { y: l.year, m: l.month, leap: !!l.intercalation, first: [y, m, d], len: 0, start: l.day === 1 };
  }
  current.len++;
}
// The last month is cut where the data end: its length counts only the days given.
flush();
