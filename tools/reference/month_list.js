// Shared helpers of the reference month-list generators: day numbers of the
// civil calendar (Julian before 1582-10-15, Gregorian from then on, as the
// program counts them), the proleptic Gregorian calendar some packages use,
// and the two output formats.
//
// A month is {year, month, leap, first (day number of its day 1), length}.
// Day numbers are Julian Day Numbers (the Julian Day at noon of the date).

// Day number of a civil date in the mixed calendar.
function dayNumber(y, m, d) {
  const julian = y < 1582 || (y === 1582 && (m < 10 || (m === 10 && d <= 4)));
  return julian ? julianDayNumber(y, m, d) : gregorianDayNumber(y, m, d);
}

// Day number of a date of the Julian calendar.
function julianDayNumber(y, m, d) {
  const a = Math.floor((14 - m) / 12), yy = y + 4800 - a, mm = m + 12 * a - 3;
  return d + Math.floor((153 * mm + 2) / 5) + 365 * yy + Math.floor(yy / 4) - 32083;
}

// Day number of a date of the proleptic Gregorian calendar.
function gregorianDayNumber(y, m, d) {
  const a = Math.floor((14 - m) / 12), yy = y + 4800 - a, mm = m + 12 * a - 3;
  return d + Math.floor((153 * mm + 2) / 5) + 365 * yy + Math.floor(yy / 4) - Math.floor(yy / 100) +
         Math.floor(yy / 400) - 32045;
}

// Civil date [y, m, d] of a day number in the mixed calendar.
function civilDate(n) {
  let a;
  if (n >= 2299161) {
    const alpha = Math.floor((n - 1867216.25) / 36524.25);
    a = n + 1 + alpha - Math.floor(alpha / 4);
  } else {
    a = n;
  }
  const b = a + 1524, c = Math.floor((b - 122.1) / 365.25), d = Math.floor(365.25 * c);
  const e = Math.floor((b - d) / 30.6001);
  const day = b - d - Math.floor(30.6001 * e);
  const month = e < 14 ? e - 1 : e - 13;
  const year = month > 2 ? c - 4716 : c - 4715;
  return [year, month, day];
}

// Checks that every month begins the day after the previous one ends.
function checkContinuous(months) {
  for (let i = 1; i < months.length; i++) {
    const p = months[i - 1], q = months[i];
    if (p.first + p.length !== q.first)
      throw new Error(`gap or overlap before ${q.year}-${q.month}${q.leap ? " leap" : ""}`);
  }
}

// One line per month: lunar_year,lunar_month,leap,first_day,length.
function writeCsv(months, title) {
  const out = [`# ${title}`, "lunar_year,lunar_month,leap,first_day,length"];
  for (const m of months) out.push(`${m.year},${m.month},${m.leap ? 1 : 0},${civilDate(m.first).join("-")},${m.length}`);
  return out.join("\n") + "\n";
}

// One line per run of consecutive months of one lunar year:
//   LUNAR_YEAR FIRST_DAY TOKEN...
// FIRST_DAY is the civil date (Y-M-D) of the run's first day 1; each token is
// one month in order: "*" for a leap month, the month number, then "s" for 29
// days, "b" for 30 days or "=N" for N days. Each month begins the day after
// the one before it ends.
function writeCompact(months, title) {
  const out = [`# ${title}`, "# LUNAR_YEAR FIRST_DAY MONTHS ('*' leap, s = 29 days, b = 30 days, =N other)"];
  let line = null, year = null;
  for (const m of months) {
    if (line === null || m.year !== year) {
      if (line !== null) out.push(line);
      line = `${m.year} ${civilDate(m.first).join("-")}`;
      year = m.year;
    }
    const size = m.length === 29 ? "s" : m.length === 30 ? "b" : `=${m.length}`;
    line += ` ${m.leap ? "*" : ""}${m.month}${size}`;
  }
  if (line !== null) out.push(line);
  return out.join("\n") + "\n";
}

module.exports = { dayNumber, julianDayNumber, gregorianDayNumber, civilDate, checkContinuous, writeCsv, writeCompact };
