#!/usr/bin/env python3
"""Generates data/historical_tables.cpp: the lunar months of the historical
calendars, lunar years 2..1911, for place code 0 (Korea) and 1 (Ming/Qing,
Beijing).

The months come from the reference month lists of tests/data, made by the
scripts in tools/reference from the npm packages:

  place 0: tests/data/kasi_months_1000_1911.txt (korean-lunar-calendar) from
           its first month (lunar 1000-01-01); before it the Chinese list (the
           Korean states kept the Chinese calendars);
  place 1: tests/data/chinese_months_1_1912.txt (lunar-javascript).

Nothing is fitted to the program's own calendar: the table is the months
themselves, so it holds under every ephemeris, time system and Delta T model.

One row per lunar year: its first day (Julian Day Number), the month its leap
month follows (0: none), a month number the year skipped (calendar reforms;
0: none) and one bit per month in calendar order (bit i set: the i-th month
has 30 days, else 29). The last month of a year runs up to the next row's
first day, so a month of another length (there is one, at the Wei reform of
237) is still exact. A closing row (lunar year 1912, no months) gives the end
of the span.

Place 0 followed the Chinese calendar before lunar year 1000, so its rows
for 2..999 are place 1's: they are stored once, in place 1's table, and
place 0's table starts at 1000 (lunisolar/historical_calendar.cpp joins
them). The generator stops if those rows ever differ.

The rows the chronicles give for these years (QUOTED_* below) are checked
against the months; the generator stops if one of them does not hold.

Usage: python3 tools/gen_historical_tables.py [--check]
  --check: compare with the committed file instead of writing it.
"""

import argparse
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FIRST_YEAR, LAST_YEAR = 2, 1911
KOREAN_FIRST_YEAR = 1000
KOREAN = "tests/data/kasi_months_1000_1911.txt"
# The same package's list from 1900: month 12 of lunar 1911 begins in 1912.
KOREAN_LATE = "tests/data/kasi_months_1900_2050.csv"
CHINESE = "tests/data/chinese_months_1_1912.txt"
OUTPUT = "data/historical_tables.cpp"

# Leap months the chronicles record (place, lunar year, month).
QUOTED_LEAP_MONTHS = [(0, 2, 8), (0, 5, 5), (0, 8, 1), (0, 920, 6), (0, 923, 4), (0, 925, 12),
                      (1, 920, 6), (1, 923, 4), (1, 925, 12), (0, 1653, 7), (1, 1653, 6)]
# Month lengths (place, lunar year, month, days). The chronicle row for 192
# marks the month leap, but no calendar of that year has a leap month 12 (the
# leap month is the eighth); its month 12 has the 29 days the row gives.
QUOTED_LENGTHS = [(0, 192, 12, 29)]
# Years the chronicles give without a leap month (inside the span).
QUOTED_NO_LEAP_YEARS = [(0, 11)]


def julian_day_number(y, m, d):
    """Day number of a civil date: Julian calendar up to 1582-10-04, Gregorian after."""
    a = (14 - m) // 12
    yy, mm = y + 4800 - a, m + 12 * a - 3
    n = d + (153 * mm + 2) // 5 + 365 * yy + yy // 4
    if (y, m, d) >= (1582, 10, 15):
        return n - yy // 100 + yy // 400 - 32045
    return n - 32083


def read_compact(path):
    """Months of a compact list: dicts year, month, leap, first, length."""
    months = []
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        for line in f:
            if not line.strip() or line.startswith("#"):
                continue
            words = line.split()
            year = int(words[0])
            y, m, d = (int(x) for x in words[1].split("-"))
            first = julian_day_number(y, m, d)
            for token in words[2:]:
                leap = token.startswith("*")
                token = token.lstrip("*")
                if token.endswith("s"):
                    number, length = int(token[:-1]), 29
                elif token.endswith("b"):
                    number, length = int(token[:-1]), 30
                else:
                    number, length = token.split("=")
                    number, length = int(number), int(length)
                months.append({"year": year, "month": number, "leap": leap, "first": first, "length": length})
                first += length
    for a, b in zip(months, months[1:]):
        if a["first"] + a["length"] != b["first"]:
            sys.exit(f"{path}: gap or overlap before {b['year']}-{b['month']}")
    return months


def read_csv(path):
    """Months of a list with one line per month: year,month,leap,first day,length."""
    months = []
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or line.startswith("lunar_year") or not line.strip():
                continue
            year, month, leap, first, length = line.strip().split(",")
            y, m, d = (int(x) for x in first.split("-"))
            months.append({"year": int(year), "month": int(month), "leap": leap == "1",
                           "first": julian_day_number(y, m, d), "length": int(length)})
    return months


def months_of_place(place):
    chinese = read_compact(CHINESE)
    if place == 1:
        return [m for m in chinese if FIRST_YEAR <= m["year"] <= LAST_YEAR]
    korean = read_compact(KOREAN)
    before = [m for m in chinese if FIRST_YEAR <= m["year"] < KOREAN_FIRST_YEAR]
    after = [m for m in korean if KOREAN_FIRST_YEAR <= m["year"] <= LAST_YEAR]
    end = after[-1]["first"] + after[-1]["length"]
    after += [m for m in read_csv(KOREAN_LATE) if m["year"] == LAST_YEAR and m["first"] >= end]
    if before[-1]["first"] + before[-1]["length"] != after[0]["first"]:
        sys.exit("the Chinese list does not end where the Korean one begins")
    return before + after


def year_rows(months):
    """(year, first day, leap month, skipped month, long-month bits) per lunar year."""
    rows = []
    by_year = {}
    for m in months:
        by_year.setdefault(m["year"], []).append(m)
    years = sorted(by_year)
    if years != list(range(FIRST_YEAR, LAST_YEAR + 1)):
        sys.exit("the lists do not cover every lunar year of the span")
    for year in years:
        ms = by_year[year]
        leaps = [m["month"] for m in ms if m["leap"]]
        if len(leaps) > 1:
            sys.exit(f"{year}: more than one leap month")
        leap = leaps[0] if leaps else 0
        numbers = [m["month"] for m in ms if not m["leap"]]
        missing = [n for n in range(1, 13) if n not in numbers]
        if len(missing) > 1 or sorted(numbers) != numbers or len(set(numbers)) != len(numbers):
            sys.exit(f"{year}: months {numbers} are not 1..12 with at most one skipped")
        skipped = missing[0] if missing else 0
        # The order the build expects: 1..12 without the skipped one, the leap
        # month right after the month whose number it carries.
        expected = []
        for n in range(1, 13):
            if n == skipped:
                continue
            expected.append((n, False))
            if n == leap:
                expected.append((n, True))
        if [(m["month"], m["leap"]) for m in ms] != expected:
            sys.exit(f"{year}: months out of order")
        bits = 0
        for i, m in enumerate(ms):
            last = i == len(ms) - 1
            if m["length"] not in (29, 30) and not last:
                sys.exit(f"{year}-{m['month']}: a month of {m['length']} days inside the year")
            if m["length"] == 30:
                bits |= 1 << i
        rows.append((year, ms[0]["first"], leap, skipped, bits))
    end = months[-1]["first"] + months[-1]["length"]
    rows.append((LAST_YEAR + 1, end, 0, 0, 0))
    return rows


def check_quoted(months_by_place):
    for place, year, month in QUOTED_LEAP_MONTHS:
        if not any(m["year"] == year and m["month"] == month and m["leap"] for m in months_by_place[place]):
            sys.exit(f"quoted leap month ({place}, {year}, {month}) not in the months")
    for place, year, month, length in QUOTED_LENGTHS:
        if not any(m["year"] == year and m["month"] == month and m["length"] == length
                   for m in months_by_place[place]):
            sys.exit(f"quoted month ({place}, {year}, {month}) of {length} days not in the months")
    for place, year in QUOTED_NO_LEAP_YEARS:
        if any(m["year"] == year and m["leap"] for m in months_by_place[place]):
            sys.exit(f"quoted year without leap month ({place}, {year}) has one")


def title(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        return f.readline().lstrip("# ").strip()


def render(rows_by_place):
    out = [
        "// The lunar months of the historical calendars, lunar years "
        f"{FIRST_YEAR}..{LAST_YEAR}.",
        "//",
        "// Generated by tools/gen_historical_tables.py; do not edit. Sources (made by",
        "// tools/reference from the npm packages, see data/historical_provenance.md):",
        f"//   place 0: {title(KOREAN)} (and month 12 of {LAST_YEAR}",
        f"//            from {title(KOREAN_LATE)}),",
        f"//            from lunar year {KOREAN_FIRST_YEAR}, the Chinese calendar below before it;",
        f"//   place 1: {title(CHINESE)}.",
        "// Row: lunar year, Julian Day Number of its first day, the month its leap",
        "// month follows (0 none), a month number the year skipped (0 none), bit i set",
        "// when the i-th month of the year has 30 days (29 otherwise; the last month",
        "// runs to the next row's first day). The closing row gives the end of the span.",
        f"// Place 0 starts at {KOREAN_FIRST_YEAR}: its earlier rows are place 1's.",
        '#include "data/historical_tables.h"',
        "",
        "namespace orv::data {",
        "",
    ]
    for place in (0, 1):
        rows = rows_by_place[place]
        if place == 0:
            rows = [r for r in rows if r[0] >= KOREAN_FIRST_YEAR]
        out.append(f"const HistoricalYearRow kHistoricalYears{place}[] = {{")
        line = "   "
        for year, first, leap, skipped, bits in rows:
            item = f" {{{year}, {first}, {leap}, {skipped}, 0x{bits:04x}}},"
            if len(line) + len(item) > 110:
                out.append(line)
                line = "   "
            line += item
        out.append(line)
        out.append("};")
        out.append(f"const int kHistoricalYearCount{place} = sizeof kHistoricalYears{place} / "
                   f"sizeof kHistoricalYears{place}[0];")
        out.append("")
    out.append("}  // namespace orv::data")
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description="Generates " + OUTPUT + " from the month lists of tests/data.")
    parser.add_argument("--check", action="store_true", help="compare with the committed file instead of writing it")
    args = parser.parse_args()
    months = {place: months_of_place(place) for place in (0, 1)}
    check_quoted(months)
    rows = {place: year_rows(months[place]) for place in (0, 1)}
    if [r for r in rows[0] if r[0] < KOREAN_FIRST_YEAR] != [r for r in rows[1] if r[0] < KOREAN_FIRST_YEAR]:
        sys.exit(f"place 0 and place 1 differ before {KOREAN_FIRST_YEAR}: their rows cannot be shared")
    text = render(rows)
    path = os.path.join(ROOT, OUTPUT)
    if args.check:
        with open(path, encoding="utf-8") as f:
            if f.read() != text:
                sys.exit(f"{OUTPUT} differs from what the generator makes")
        print(f"{OUTPUT} matches the month lists of tests/data")
        return
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    main()
