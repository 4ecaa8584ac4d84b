// Writes the Chinese historical lunar calendar of the npm package
// lunar-javascript (its calendar of the dynasties, with the month numbering of
// the Xin and Wei reforms) as a list of lunar months: lunar year, month, leap
// flag, the civil date of its first day (Julian calendar before 1582-10-15)
// and its length in days.
//
// The calendar is read day by day, as the package converts a civil date, so
// each day gets the lunar date the package gives it; only whole months (from
// day 1 to the day before the next day 1) inside the civil years FROM..TO are
// written.
//
// Usage: (cd /tmp/x && npm install lunar-javascript@1.7.7)
//        NODE_PATH=/tmp/x/node_modules node tools/reference/gen_chinese_months.js FROM TO [--compact] > out
const { Solar, Lunar } = require("lunar-javascript");
const pkg = require("lunar-javascript/package.json");
const list = require("./month_list.js");

const from = parseInt(process.argv[2], 10), to = parseInt(process.argv[3], 10);
const compact = process.argv.includes("--compact");

const months = [];
let current = null;
const first = list.dayNumber(from, 1, 1), last = list.dayNumber(to, 12, 31);
for (let n = first; n <= last; n++) {
  // Solar.fromJulianDay takes the Julian Day; a day number is its noon.
  const lunar = Lunar.fromSolar(Solar.fromJulianDay(n));
  const y = lunar.getYear(), m = Math.abs(lunar.getMonth()), leap = lunar.getMonth() < 0, d = lunar.getDay();
  if (current && current.year === y && current.month === m && current.leap === leap &&
      d === n - current.first + 1) {
    current.length++;
    continue;
  }
  if (d !== 1) {
    // A month cut by the start of the span: not written.
    if (current !== null) throw new Error(`lunar day ${d} follows another month at day number ${n}`);
    continue;
  }
  if (current) months.push(current);
  current = { year: y, month: m, leap, first: n, length: 1 };
}
// The last month may run past the end of the span: it is not written.
list.checkContinuous(months);
const title = `lunar-javascript ${pkg.version}: Chinese lunar months within the civil years ${from}..${to}`;
process.stdout.write(compact ? list.writeCompact(months, title) : list.writeCsv(months, title));
