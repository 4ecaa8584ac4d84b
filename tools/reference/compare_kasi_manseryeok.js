// Lists the lunar years in which two carriers of the Korean institute's
// calendar disagree: npm korean-lunar-calendar (the reference of the Korean
// historical calendar) and npm manseryeok (1391 onward). For each such year it
// prints the leap month and the month lengths of both, and the civil days whose
// lunar date differs.
//
// Usage: (cd /tmp/x && npm install korean-lunar-calendar@0.4.0 manseryeok@2.0.0)
//        NODE_PATH=/tmp/x/node_modules node tools/reference/compare_kasi_manseryeok.js FROM TO
const KoreanLunarCalendar = require("korean-lunar-calendar");
const manseryeok = require("manseryeok");
const list = require("./month_list.js");

const from = parseInt(process.argv[2], 10), to = parseInt(process.argv[3], 10);
const kasi = new KoreanLunarCalendar();

// Months of a lunar year as "m" / "*m" tokens with lengths, and the day
// number of each month's day 1, from one carrier.
function kasiYear(y) {
  const out = [];
  for (let m = 1; m <= 12; m++)
    for (const leap of [false, true]) {
      if (!kasi.setLunarDate(y, m, 1, leap) || (leap && !kasi.getLunarCalendar().intercalation)) continue;
      const s = kasi.getSolarCalendar();
      const length = kasi.setLunarDate(y, m, 30, leap) ? 30 : 29;
      out.push({ m, leap, first: list.gregorianDayNumber(s.year, s.month, s.day), length });
    }
  return out;
}
function manseryeokYear(y) {
  const out = [];
  for (let m = 1; m <= 12; m++)
    for (const leap of [false, true]) {
      let s;
      try { s = manseryeok.lunarToSolar(y, m, 1, leap); } catch (e) { continue; }
      let length = 29;
      try { manseryeok.lunarToSolar(y, m, 30, leap); length = 30; } catch (e) { /* 29 days */ }
      out.push({ m, leap, first: list.gregorianDayNumber(s.year, s.month, s.day), length });
    }
  return out;
}
const text = (months) => months.map((x) => `${x.leap ? "*" : ""}${x.m}${x.length === 30 ? "b" : "s"}`).join(" ");

let years = 0, days = 0;
for (let y = from; y <= to; y++) {
  const a = kasiYear(y), b = manseryeokYear(y);
  const same = a.length === b.length && a.every((x, i) => x.m === b[i].m && x.leap === b[i].leap &&
                                                  x.first === b[i].first && x.length === b[i].length);
  if (same) continue;
  ++years;
  // Days of the lunar year whose lunar date differs.
  const dayMap = (months) => {
    const map = new Map();
    for (const x of months) for (let d = 0; d < x.length; d++) map.set(x.first + d, `${x.leap ? "*" : ""}${x.m}-${d + 1}`);
    return map;
  };
  const ma = dayMap(a), mb = dayMap(b);
  let differ = 0;
  for (const [n, v] of ma) if (mb.get(n) !== v) ++differ;
  days += differ;
  const first = list.civilDate(a[0].first).join("-");
  console.log(`${y} (begins ${first}): korean-lunar-calendar ${text(a)} | manseryeok ${text(b)} | ${differ} days differ`);
}
console.log(`# ${years} lunar years differ, ${days} days`);
