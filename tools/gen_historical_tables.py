#!/usr/bin/env python3
"""Generates data/historical_tables.cpp: the historical corrections of the
lunar calendar for place code 0 (Korea) and 1 (Ming/Qing, Beijing).

The rows are derived by comparing the program's own lunar calendar (correction
off, PLAN404, standard time, the defaults of a fresh configuration) with the
reference calendars of tests/data, and chosen so that the corrected calendar
equals the reference on every day of the civil years 2..1911:

  place 0: tests/data/kasi_months_1000_1911.txt (npm korean-lunar-calendar)
           from its first month (lunar 1000-01-01), before that the Chinese list;
  place 1: tests/data/chinese_months_1_1912.txt (npm lunar-javascript).

The rows quoted from the chronicles (QUOTED_* below) are kept as given and come
first in their tables, so they win over generated rows; the days they change
are reported.

How the build consumes the rows (lunisolar/lunar_calendar.cpp) and how they are
derived here:
  * Month11ShiftTable (place, Y, +-1): month 11 of Y - 1 begins one new moon
    later/earlier. Chosen per build year so that the months of civil year Y
    carry the reference numbers (the Xin and Wei calendars counted from the
    month after the solstice month).
  * Leap months: RecordedLeapTable holds every reference leap month of the
    lunar years 920..1653; outside them LeapMonthTable / NoLeapYearTable list
    the years where the computed rule does not give the reference leap month
    (found by comparing, then by verifying the corrected build).
  * MonthLengthDeltaTable (place, y, m, d): in every pass a month numbered
    (y, m) is lengthened by d and the month after it shortened by d, so the
    boundary after the last month numbered (y, m) moves by d days against the
    computed new moon. d is the reference's offset there.
  * MonthLengthTable (place, y, m, start delta, length, leap): a month's length
    outright (forward pass only). Used where a regular month and its leap month
    need different offsets, where the first delta row of a year for month 10/11
    cannot serve both, and to repair what the quoted rows leave. The start
    delta is the length minus the delta-adjusted length; for a month 10 that is
    not leap it is the days the build of the next year moves month 11 by.

The generator models these hooks to choose rows, writes the table, rebuilds
the command-line program, runs it with the correction on over all years and
repeats with more explicit rows until nothing changes; the days that still
differ are written to the report (--report).

Usage:
  python3 tools/gen_historical_tables.py --build build [--workdir /tmp/orvanta-hist] [--refresh]
The build folder must be configured (cmake -S . -B build); the script runs
`cmake --build BUILD --target orvanta-cli` itself.
"""

import argparse
import collections
import os
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FIRST_YEAR, LAST_YEAR = 2, 1911
RECORDED_FIRST, RECORDED_LAST = 920, 1653
TABLE_DAYS = 585

# Rows quoted from the chronicles: kept as given, first in their tables.
QUOTED_SHIFTS = [(0, 11, +1), (0, 30, +1), (0, 49, +1), (0, 470, -1), (0, 1271, -1), (0, 1499, -1),
                 (0, 1643, -1)]
QUOTED_LEAP = {0: [(2, 8), (5, 5), (8, 1)], 1: []}
QUOTED_RECORDED = {0: [(920, 6), (923, 4), (925, 12), (1653, 7)], 1: [(920, 6), (923, 4), (925, 12), (1653, 6)]}
QUOTED_NO_LEAP = {0: [-1258, -142, 11], 1: []}
QUOTED_DELTAS = [(0, 192, 11, -1), (0, 273, 6, +1), (0, 307, 12, -1)]
QUOTED_LENGTHS = [(0, 192, 12, 0, 29, 1), (0, 559, 4, -1, 28, 1), (0, 559, 5, +1, 31, 0), (0, 1096, 3, +2, 31, 0),
                  (0, 1096, 9, -2, 28, 0), (0, 1876, 5, +2, 31, 0), (1, 1548, 2, -1, 28, 0)]


# ---- Civil calendar (Julian before 1582-10-15), day numbers = JD at noon ----

def day_number(y, m, d):
    a = (14 - m) // 12
    yy, mm = y + 4800 - a, m + 12 * a - 3
    if (y, m, d) < (1582, 10, 15):
        return d + (153 * mm + 2) // 5 + 365 * yy + yy // 4 - 32083
    return d + (153 * mm + 2) // 5 + 365 * yy + yy // 4 - yy // 100 + yy // 400 - 32045


def civil_date(n):
    if n >= 2299161:
        alpha = int((n - 1867216.25) // 36524.25)
        a = n + 1 + alpha - alpha // 4
    else:
        a = n
    b = a + 1524
    c = int((b - 122.1) // 365.25)
    d = int(365.25 * c)
    e = int((b - d) // 30.6001)
    day = b - d - int(30.6001 * e)
    month = e - 1 if e < 14 else e - 13
    year = c - 4716 if month > 2 else c - 4715
    return year, month, day


def parse_date(text):
    neg = text.startswith("-")
    y, m, d = (int(x) for x in text.lstrip("-").split("-"))
    return day_number(-y if neg else y, m, d)


def date_text(n):
    return "%d-%02d-%02d" % civil_date(n)


# ---- Reference month lists ----

Month = collections.namedtuple("Month", "year month leap first length")


def read_compact(path):
    months = []
    with open(path) as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            parts = line.split()
            year, first = int(parts[0]), parse_date(parts[1])
            for token in parts[2:]:
                leap = token.startswith("*")
                token = token.lstrip("*")
                if token.endswith("s"):
                    number, length = int(token[:-1]), 29
                elif token.endswith("b"):
                    number, length = int(token[:-1]), 30
                else:
                    number, length = (int(x) for x in token.split("="))
                months.append(Month(year, number, leap, first, length))
                first += length
    for a, b in zip(months, months[1:]):
        if a.first + a.length != b.first:
            raise SystemExit("%s: months not continuous at %s" % (path, b))
    return months


def reference_months(place):
    chinese = read_compact(os.path.join(ROOT, "tests/data/chinese_months_1_1912.txt"))
    if place == 1:
        return chinese
    korean = read_compact(os.path.join(ROOT, "tests/data/kasi_months_1000_1911.txt"))
    start = korean[0].first
    before = [m for m in chinese if m.first + m.length <= start]
    if before[-1].first + before[-1].length != start:
        raise SystemExit("the Chinese and Korean lists do not meet at %s" % date_text(start))
    return before + korean


class Reference:
    def __init__(self, months):
        self.months = months
        self.by_day = {}
        for i, m in enumerate(months):
            for k in range(m.length):
                self.by_day[m.first + k] = i
        self.leap_keys = {(m.year, m.month) for m in months if m.leap}
        self.leap_of_year = {}
        for m in months:
            if m.leap:
                self.leap_of_year[m.year] = m.month

    def day(self, n):
        i = self.by_day.get(n)
        if i is None:
            return None
        m = self.months[i]
        return (m.year, m.month, n - m.first + 1, 1 if m.leap else 0)


# ---- The program's calendar ----

def run_span(cli, workdir, place, correction, path):
    """Runs `orvanta-cli lunarspan` over all years (one process, years in order,
    exactly as the test prepares them) and stores its output."""
    cmd = [cli, "lunarspan", str(FIRST_YEAR), str(LAST_YEAR), "--place", str(place), "--correction", correction]
    if correction == "off":
        cmd.append("--newmoons")
    with open(path + ".tmp", "w") as out:
        subprocess.run(cmd, stdout=out, check=True, cwd=workdir)
    os.replace(path + ".tmp", path)


class Build:
    """One build year of the uncorrected calendar: its new moons and month 11."""

    def __init__(self, year, solstice, new_moons):
        self.year = year
        self.solstice = solstice
        self.new_moons = new_moons
        self.j11 = max(j for j, n in enumerate(new_moons) if n <= solstice)
        self.slot0 = day_number(year - 1, 11, 1)


def read_span(path):
    """Per build year: the days of its civil year as {day: (ly, lm, ld, leap)},
    and for an uncorrected run the new-moon data."""
    days, builds = collections.defaultdict(dict), {}
    with open(path) as f:
        for line in f:
            p = line.rstrip("\n").split(",")
            if p[0] == "M":
                year, first = int(p[1]), parse_date(p[2])
                count = int(p[7])
                if p[3] == "":
                    for k in range(count):
                        days[year][first + k] = None
                    continue
                ly, lm, leap, ld = int(p[3]), int(p[4]), int(p[5]), int(p[6])
                for k in range(count):
                    days[year][first + k] = (ly, lm, ld + k, leap)
            elif p[0] == "N":
                year = int(p[1])
                builds[year] = Build(year, parse_date(p[2]), [parse_date(x) for x in p[3:]])
    return days, builds


# ---- The rows ----

class Rows:
    def __init__(self, place):
        self.place = place
        self.shift = {}          # build year -> +-1 (generated)
        self.leap = {}           # lunar year -> month (LeapMonthTable, generated)
        self.no_leap = set()     # lunar years (NoLeapYearTable, generated)
        self.recorded = set()    # (year, month) (RecordedLeapTable, generated)
        self.delta = {}          # (year, month) -> delta (generated)
        self.length = {}         # (year, month, leap) -> [start delta, length] (generated)
        p = place
        self.q_shift = {y: s for (pl, y, s) in QUOTED_SHIFTS if pl == p}
        self.q_leap = dict(QUOTED_LEAP[p])
        self.q_recorded = set(QUOTED_RECORDED[p])
        self.q_recorded_years = {y for (y, _) in QUOTED_RECORDED[p]}
        self.q_no_leap = set(QUOTED_NO_LEAP[p])
        self.q_delta = [(y, m, d) for (pl, y, m, d) in QUOTED_DELTAS if pl == p]
        self.q_length = {(y, m, leap): (sd, n) for (pl, y, m, sd, n, leap) in QUOTED_LENGTHS if pl == p}

    # Lookups as the build does them (quoted rows first).
    def shift_of(self, year):
        if year in self.q_shift:
            return self.q_shift[year]
        return self.shift.get(year, 0)

    def delta_of(self, key):
        for (y, m, d) in self.q_delta:
            if (y, m) == key:
                return d
        return self.delta.get(key)

    def delta_locked(self, key):
        return any((y, m) == key for (y, m, _) in self.q_delta)

    def month11_delta_row(self, year):
        """The first delta row of `year` for month 10 or 11: (month, delta)."""
        for (y, m, d) in self.q_delta:
            if y == year and m in (10, 11):
                return m, d
        for m in (10, 11):
            if (year, m) in self.delta:
                return m, self.delta[(year, m)]
        return None

    def length_of(self, key):
        if key in self.q_length:
            return self.q_length[key]
        v = self.length.get(key)
        return tuple(v) if v else None

    def leap_row(self, year):
        if year in self.q_leap:
            return self.q_leap[year]
        return self.leap.get(year)

    def recorded_listed(self, key):
        return key in self.q_recorded or key in self.recorded

    def recorded_year(self, year):
        return any(y == year for (y, _) in self.q_recorded) or any(y == year for (y, _) in self.recorded)

    def no_leap_year(self, year):
        return year in self.q_no_leap or year in self.no_leap


def normalize(y, m):
    if m == 0:
        return y - 1, 12
    return y, m


def next_label(y, m):
    return (y + 1, 1) if m == 12 else (y, m + 1)


def simulate(build, rows, ref, place):
    """The corrected forward pass of a build as the program runs it, with the
    leap decision taken from the tables and, where the computed rule would
    decide, the reference's leap month. Returns the months from month 11 of
    Y - 1 on: dicts with start, length, label, leap and the new-moon index."""
    Y = build.year
    nm = build.new_moons
    j11 = build.j11 + rows.shift_of(Y)
    if j11 < 0 or j11 + 1 >= len(nm):
        return None
    start = nm[j11]
    length = nm[j11 + 1] - nm[j11]
    row = rows.month11_delta_row(Y - 1)
    if row:
        if row[0] == 10:
            start += row[1]
            length -= row[1]
        else:
            length += row[1]
    r10 = rows.length_of((Y - 1, 10, 0))
    if r10:
        start += r10[0]
    r11 = rows.length_of((Y - 1, 11, 0))
    if r11:
        length = r11[1]
    months = [dict(start=start, length=length, label=(Y - 1, 11), leap=0, j=j11, adjusted=length)]
    last_accepted = None
    previous = (Y - 1, 11)
    nxt = start + length
    end_of_year = day_number(Y, 12, 31)
    for j in range(j11 + 1, len(nm) - 1):
        if nxt > end_of_year + 1:
            break
        tentative = next_label(*previous)
        key = normalize(tentative[0], tentative[1] - 1)
        leap = 0
        if place in (0, 1) and RECORDED_FIRST <= key[0] <= RECORDED_LAST:
            if rows.recorded_listed(key) and not (last_accepted and last_accepted[0] == key[0]):
                leap = 1
        elif last_accepted == key:
            leap = 0
        elif rows.leap_row(key[0]) is not None:
            leap = 1 if rows.leap_row(key[0]) == key[1] else 0
        elif rows.no_leap_year(key[0]):
            leap = 0
        else:
            leap = 1 if key in ref.leap_keys else 0
        if leap:
            last_accepted = key
            label = key
        else:
            label = tentative
        L = nm[j + 1] - nm[j]
        d_before = rows.delta_of(previous)
        d_this = rows.delta_of(label)
        adjusted = L - (d_before or 0) + (d_this or 0)
        out = rows.length_of((label[0], label[1], leap))
        length = out[1] if out else adjusted
        months.append(dict(start=nxt, length=length, label=label, leap=leap, j=j, adjusted=adjusted))
        nxt += length
        previous = label
    return months


def simulated_days(build, months):
    days = {}
    for mo in months:
        for k in range(mo["length"]):
            days[mo["start"] + k] = (mo["label"][0], mo["label"][1], k + 1, mo["leap"])
    return days


def year_days(Y):
    return range(day_number(Y, 1, 1), day_number(Y + 1, 1, 1))


def first_mismatch(Y, days, ref):
    for n in year_days(Y):
        want = ref.day(n)
        if want is not None and days.get(n) != want:
            return n
    return None


def mismatch_count(Y, days, ref):
    return sum(1 for n in year_days(Y) if ref.day(n) is not None and days.get(n) != ref.day(n))


# ---- Choosing rows ----

def align(ref, new_moons):
    """Index of the computed new moon nearest each reference month's start."""
    import bisect
    out = []
    for m in ref.months:
        i = bisect.bisect_left(new_moons, m.first)
        best = min((k for k in (i - 1, i) if 0 <= k < len(new_moons)), key=lambda k: abs(new_moons[k] - m.first))
        out.append(best)
    return out


def seed_rows(place, ref, builds, off_days):
    rows = Rows(place)
    all_nm = sorted({n for b in builds.values() for n in b.new_moons})
    where = align(ref, all_nm)
    offset = [m.first - all_nm[k] for m, k in zip(ref.months, where)]

    # Delta rows: the offset after the last month of each number.
    months = ref.months
    for i, m in enumerate(months[:-1]):
        following = months[i + 1]
        if (following.year, following.month) == (m.year, m.month):
            continue  # a leap month follows: the row belongs to it
        d = offset[i + 1]
        if d and FIRST_YEAR - 1 <= m.year <= LAST_YEAR + 1:
            rows.delta[(m.year, m.month)] = d
    # A regular month and its leap month with different offsets: both outright.
    for i, m in enumerate(months[:-2]):
        leap = months[i + 1]
        if leap.leap and not m.leap and (leap.year, leap.month) == (m.year, m.month) and \
                offset[i + 1] != offset[i + 2]:
            rows.length[(m.year, m.month, 0)] = [0, m.length]
            rows.length[(m.year, m.month, 1)] = [0, leap.length]

    # Leap months of the recorded years: every reference leap month.
    if place in (0, 1):
        for (y, m) in sorted(ref.leap_keys):
            if RECORDED_FIRST <= y <= RECORDED_LAST and y not in rows.q_recorded_years:
                rows.recorded.add((y, m))
    # Other years: where the computed calendar's leap month differs.
    computed_leap = collections.defaultdict(set)
    for Y, days in off_days.items():
        for v in days.values():
            if v and v[3]:
                computed_leap[v[0]].add(v[1])
    for y in range(FIRST_YEAR - 1, LAST_YEAR + 2):
        if RECORDED_FIRST <= y <= RECORDED_LAST:
            continue
        want = ref.leap_of_year.get(y)
        got = computed_leap.get(y, set())
        if want is not None and got != {want}:
            set_leap(rows, y, want)
        elif want is None and got:
            set_no_leap(rows, y)
    return rows


def set_leap(rows, y, m):
    if y in rows.q_leap or y in rows.q_no_leap:
        return False
    if rows.leap.get(y) == m:
        return False
    rows.leap[y] = m
    rows.no_leap.discard(y)
    return True


def set_no_leap(rows, y):
    if y in rows.q_leap or y in rows.q_no_leap or y in rows.no_leap:
        return False
    rows.leap.pop(y, None)
    rows.no_leap.add(y)
    return True


def choose_shift(build, rows, ref, place):
    """The shift (-1, 0, +1) that numbers most days of the civil year as the
    reference does (ties keep 0)."""
    Y = build.year
    if Y in rows.q_shift:
        return
    best, best_count = 0, None
    for s in (0, -1, 1):
        if s:
            rows.shift[Y] = s
        else:
            rows.shift.pop(Y, None)
        months = simulate(build, rows, ref, place)
        if months is None:
            continue
        days = simulated_days(build, months)
        count = sum(1 for n in year_days(Y)
                    if ref.day(n) is not None and days.get(n) is not None and days[n][:2] == ref.day(n)[:2]
                    and days[n][3] == ref.day(n)[3])
        if best_count is None or count > best_count:
            best, best_count = s, count
    if best:
        rows.shift[Y] = best
    else:
        rows.shift.pop(Y, None)


def fix_build(build, rows, ref, place, builds, log):
    """Adjusts month-length rows until the model of build Y gives the reference
    on every day of civil year Y, without breaking build Y - 1."""
    Y = build.year
    for _ in range(40):
        months = simulate(build, rows, ref, place)
        if months is None:
            return
        days = simulated_days(build, months)
        n = first_mismatch(Y, days, ref)
        if n is None:
            return
        got, want = days.get(n), ref.day(n)
        # The month of the model that holds the day, or the first month when the
        # day lies before month 11 (backward part, not modelled).
        idx = next((i for i, mo in enumerate(months) if mo["start"] <= n < mo["start"] + mo["length"]), None)
        if idx is None:
            log.append((place, Y, n, "before month 11"))
            return
        if got is None or want is None or (got[:2] != want[:2] or got[3] != want[3]):
            # A numbering difference: the reference month at this day must be
            # the neighbour of ours, i.e. our boundary is off.
            mo = months[idx]
            ref_i = ref.by_day[n]
            rm = ref.months[ref_i]
            nb_next = idx + 1 < len(months) and (months[idx + 1]["label"], months[idx + 1]["leap"]) == \
                ((rm.year, rm.month), 1 if rm.leap else 0)
            nb_prev = idx > 0 and (months[idx - 1]["label"], months[idx - 1]["leap"]) == \
                ((rm.year, rm.month), 1 if rm.leap else 0)
            if nb_next:
                # Our month idx runs too long: its end must come at rm.first.
                target, which = rm.first, idx
            elif nb_prev:
                # Our month idx begins too early: month idx - 1 must end later.
                target, which = rm.first + rm.length, idx - 1
            else:
                log.append((place, Y, n, "numbering"))
                return
        else:
            # Same month, other day: the month's start is off.
            mo = months[idx]
            rm = ref.months[ref.by_day[n]]
            target, which = rm.first, idx - 1
        if which < 0:
            if not fix_month11_start(build, rows, months, target, log, place):
                return
            continue
        if not fix_length(build, rows, months, which, target, ref, place, builds, log):
            return
    log.append((place, Y, None, "no convergence"))


def fix_month11_start(build, rows, months, target, log, place):
    """Moves the start of month 11 of Y - 1 to `target` through the month-10
    row's start delta."""
    Y = build.year
    first = months[0]
    move = target - first["start"]
    key = (Y - 1, 10, 0)
    if key in rows.q_length:
        log.append((place, Y, target, "month 11 start locked"))
        return False
    row = rows.length.get(key)
    if row is None:
        # The length it has in the build of Y - 1 stays as it is.
        prev = builds_cache.get((place, Y - 1))
        length = None
        if prev:
            for mo in prev:
                if mo["label"] == (Y - 1, 10) and not mo["leap"]:
                    length = mo["length"]
        if length is None:
            log.append((place, Y, target, "month 10 unknown"))
            return False
        rows.length[key] = [move, length]
    else:
        row[0] += move
    return True


builds_cache = {}


def fix_length(build, rows, months, which, target, ref, place, builds, log):
    """Makes month `which` of the model end at `target`."""
    Y = build.year
    mo = months[which]
    new_length = target - mo["start"]
    if new_length < 25 or new_length > 33:
        log.append((place, Y, target, "length %d" % new_length))
        return False
    label, leap = mo["label"], mo["leap"]
    move = new_length - mo["length"]
    if which == 0:
        # Month 11 of Y - 1: an outright length.
        key = (label[0], label[1], 0)
        if key in rows.q_length:
            log.append((place, Y, target, "month 11 length locked"))
            return False
        rows.length[key] = [new_length - mo["adjusted"], new_length]
        return True
    key = (label[0], label[1], leap)
    outright = rows.length_of(key)
    shared = months[which - 1]["label"] == label or (which + 1 < len(months) and months[which + 1]["label"] == label)
    if outright is None and not shared and not rows.delta_locked(label):
        old = rows.delta.get(label, 0)
        rows.delta[label] = old + move
        if rows.delta[label] == 0:
            del rows.delta[label]
        if label[0] < Y and not still_good(builds.get(Y - 1), rows, ref, place):
            # The row serves the build of Y - 1 too: give this month its length instead.
            if old:
                rows.delta[label] = old
            else:
                rows.delta.pop(label, None)
        else:
            return True
    if key in rows.q_length:
        log.append((place, Y, target, "length locked"))
        return False
    rows.length[key] = [new_length - mo["adjusted"], new_length]
    return True


def still_good(build, rows, ref, place):
    if build is None:
        return True
    months = simulate(build, rows, ref, place)
    if months is None:
        return True
    return first_mismatch(build.year, simulated_days(build, months), ref) is None or \
        mismatch_count(build.year, simulated_days(build, months), ref) <= builds_bad.get((place, build.year), 0)


builds_bad = {}


def generate(place, ref, builds, off_days, log):
    rows = seed_rows(place, ref, builds, off_days)
    for Y in range(FIRST_YEAR, LAST_YEAR + 1):
        b = builds[Y]
        choose_shift(b, rows, ref, place)
        fix_build(b, rows, ref, place, builds, log)
        months = simulate(b, rows, ref, place)
        if months:
            builds_cache[(place, Y)] = months
            builds_bad[(place, Y)] = mismatch_count(Y, simulated_days(b, months), ref)
    return rows


# ---- Output ----

def write_tables(path, all_rows, sources):
    def sorted_items(d):
        return sorted(d.items())

    out = []
    out.append("// Historical corrections of the lunar calendar: leap months, leap-free years,")
    out.append("// month-11 shifts and month lengths as the calendars in use recorded them.")
    out.append("//")
    out.append("// Generated by tools/gen_historical_tables.py; do not edit. The first rows of")
    out.append("// each table come from the chronicles; the rest make the calendar of place 0")
    out.append("// equal the Korean calendar of %s (lunar years 1000..1911," % sources["korean"])
    out.append("// the Chinese one before) and that of place 1 the Chinese calendar of")
    out.append("// %s, on every day of the years 2..1911. See" % sources["chinese"])
    out.append("// data/historical_provenance.md.")
    out.append('#include "data/historical_tables.h"')
    out.append("")
    out.append("namespace orv::data {")
    out.append("")

    def emit(decl, rows, fmt, end):
        out.append(decl + " = {")
        line = "   "
        for r in rows:
            item = " " + fmt(r) + ","
            if len(line) + len(item) > 110:
                out.append(line)
                line = "   "
            line += item
        line += " " + end
        out.append(line)
        out.append("};")

    r0, r1 = all_rows[0], all_rows[1]
    shifts = [r for r in QUOTED_SHIFTS]
    for rows in (r0, r1):
        shifts += [(rows.place, y, s) for y, s in sorted_items(rows.shift)]
    emit("const Month11ShiftRow kMonth11ShiftTable[]", shifts, lambda r: "{%d, %d, %+d}" % r,
         "{kHistoricalEndPlace, kHistoricalEndYear, 0}")
    for p, rows in ((0, r0), (1, r1)):
        leap = list(QUOTED_LEAP[p]) + sorted_items(rows.leap)
        emit("const LeapMonthRow kLeapMonthTable%d[]" % p, [(p,) + tuple(r) for r in leap],
             lambda r: "{%d, %d, %d}" % r, "{kHistoricalEndPlace, kHistoricalEndYear, 0}")
    for p, rows in ((0, r0), (1, r1)):
        rec = list(QUOTED_RECORDED[p]) + sorted(rows.recorded)
        emit("const LeapMonthRow kRecordedLeapTable%d[]" % p, [(p,) + tuple(r) for r in rec],
             lambda r: "{%d, %d, %d}" % r, "{kHistoricalEndPlace, kHistoricalEndYear, 0}")
    for p, rows in ((0, r0), (1, r1)):
        nl = list(QUOTED_NO_LEAP[p]) + sorted(rows.no_leap)
        emit("const LeapMonthRow kNoLeapYearTable%d[]" % p, [(p, y, 0) for y in nl],
             lambda r: "{%d, %d, %d}" % r, "{kHistoricalEndPlace, kHistoricalEndYear, 0}")
    deltas = list(QUOTED_DELTAS)
    for rows in (r0, r1):
        deltas += [(rows.place, y, m, d) for (y, m), d in sorted_items(rows.delta)]
    emit("const MonthLengthDeltaRow kMonthLengthDeltaTable[]", deltas, lambda r: "{%d, %d, %d, %+d}" % r,
         "{kHistoricalEndPlace, kHistoricalEndYear, 0, 0}")
    lengths = list(QUOTED_LENGTHS)
    for rows in (r0, r1):
        lengths += [(rows.place, y, m, sd, n, leap) for (y, m, leap), (sd, n) in sorted_items(rows.length)]
    emit("const MonthLengthRow kMonthLengthTable[]", lengths, lambda r: "{%d, %d, %d, %+d, %d, %d}" % r,
         "{kHistoricalEndPlace, kHistoricalEndYear, 0, 0, 0, 0}")
    out.append("")
    out.append("}  // namespace orv::data")
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")


def compare(days_by_year, ref):
    bad = {}
    for Y in range(FIRST_YEAR, LAST_YEAR + 1):
        days = days_by_year.get(Y, {})
        wrong = [n for n in year_days(Y) if ref.day(n) is not None and days.get(n) != ref.day(n)]
        if wrong:
            bad[Y] = wrong
    return bad


def source_titles():
    def title(path):
        with open(path) as f:
            return f.readline().lstrip("# ").split(":")[0].strip()
    return {"korean": title(os.path.join(ROOT, "tests/data/kasi_months_1000_1911.txt")),
            "chinese": title(os.path.join(ROOT, "tests/data/chinese_months_1_1912.txt"))}


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--build", required=True, help="configured build folder")
    ap.add_argument("--workdir", default="/tmp/orvanta-hist")
    ap.add_argument("--refresh", action="store_true", help="recompute the uncorrected calendar")
    ap.add_argument("--iterations", type=int, default=6)
    ap.add_argument("--report", default=None, help="file for the days that still differ")
    args = ap.parse_args()
    os.makedirs(args.workdir, exist_ok=True)
    cli = os.path.join(os.path.abspath(args.build), "orvanta-cli")
    build_cli = ["cmake", "--build", args.build, "--target", "orvanta-cli", "-j2"]
    subprocess.run(build_cli, check=True, stdout=subprocess.DEVNULL)

    refs = {p: Reference(reference_months(p)) for p in (0, 1)}
    off = {}
    jobs = []
    with ThreadPoolExecutor(2) as pool:
        for p in (0, 1):
            path = os.path.join(args.workdir, "off_%d.csv" % p)
            if args.refresh or not os.path.exists(path):
                jobs.append(pool.submit(run_span, cli, args.workdir, p, "off", path))
        for j in jobs:
            j.result()
    for p in (0, 1):
        off[p] = read_span(os.path.join(args.workdir, "off_%d.csv" % p))
        days, builds = off[p]
        bad = compare(days, refs[p])
        print("place %d, correction off: %d years, %d days differ" %
              (p, len(bad), sum(len(v) for v in bad.values())), flush=True)

    log = []
    all_rows = {p: generate(p, refs[p], off[p][1], off[p][0], log) for p in (0, 1)}
    table_path = os.path.join(ROOT, "data/historical_tables.cpp")
    for it in range(args.iterations):
        write_tables(table_path, all_rows, source_titles())
        subprocess.run(build_cli, check=True, stdout=subprocess.DEVNULL)
        with ThreadPoolExecutor(2) as pool:
            futures = [pool.submit(run_span, cli, args.workdir, p, "on", os.path.join(args.workdir, "on_%d.csv" % p))
                       for p in (0, 1)]
            for f in futures:
                f.result()
        changed = False
        report = []
        for p in (0, 1):
            days, _ = read_span(os.path.join(args.workdir, "on_%d.csv" % p))
            ref = refs[p]
            bad = compare(days, ref)
            print("iteration %d, place %d: %d years, %d days differ" %
                  (it, p, len(bad), sum(len(v) for v in bad.values())), flush=True)
            rows = all_rows[p]
            for Y, wrong in sorted(bad.items()):
                # Leap months decided by the computed rule or resolved away:
                # list the lunar years of the differing days explicitly.
                years = set()
                for n in wrong:
                    for v in (days[Y].get(n), ref.day(n)):
                        if v:
                            years.add(v[0])
                for y in sorted(years):
                    if RECORDED_FIRST <= y <= RECORDED_LAST and p in (0, 1):
                        continue
                    want = ref.leap_of_year.get(y)
                    if want is not None:
                        changed |= set_leap(rows, y, want)
                    else:
                        changed |= set_no_leap(rows, y)
                report.append((p, Y, wrong, days[Y], ref))
        if not changed:
            break
    if args.report:
        with open(args.report, "w") as f:
            for (p, Y, wrong, days, ref) in report:
                runs = []
                for n in wrong:
                    if runs and runs[-1][1] == n - 1:
                        runs[-1][1] = n
                    else:
                        runs.append([n, n])
                for a, b in runs:
                    f.write("place %d build %d: %s..%s got %s want %s (%d days)\n" %
                            (p, Y, date_text(a), date_text(b), days.get(a), ref.day(a), b - a + 1))
            for entry in log:
                f.write("model: place %d build %d at %s: %s\n" %
                        (entry[0], entry[1], date_text(entry[2]) if entry[2] else "-", entry[3]))
    for p in (0, 1):
        r = all_rows[p]
        print("place %d rows: shift %d, leap %d, recorded %d, no-leap %d, delta %d, length %d" %
              (p, len(r.shift) + len(r.q_shift), len(r.leap) + len(r.q_leap), len(r.recorded) + len(r.q_recorded),
               len(r.no_leap) + len(r.q_no_leap), len(r.delta) + len(r.q_delta), len(r.length) + len(r.q_length)))


if __name__ == "__main__":
    main()
