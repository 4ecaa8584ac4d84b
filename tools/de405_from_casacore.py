#!/usr/bin/python3
"""Writes a JPL binary ephemeris file (the DE layout read by ephemeris/jpl_reader)
from the casacore table of DE405 shipped by Debian's casacore-data-jpl-de405.

Usage: /usr/bin/python3 tools/de405_from_casacore.py OUTPUT [TABLE]

  OUTPUT  the file to write, e.g. build/testdata/DE405.jpl (about 9 MB)
  TABLE   the casacore table (default /usr/share/casacore/data/ephemerides/DE405)

Needs python3-casacore and python3-numpy (Debian). The same script converts the
DE200 table of casacore-data-jpl-de200 when given its folder.

The casacore table holds, per row, the 32-day record that starts at the row's
MJD: 1016 Chebyshev coefficients (the record of the JPL file without its first
and last JD) followed by two zeros. Table keywords: MJD0 (one step before the
first row), dMJD (record length, days), and every ephemeris constant (DENUM,
AU, EMRAT, ...) in the order of the JPL header. The item pointers are the
3 x 13 int array in the "Description" keyword of column "x": first
coefficients, coefficient counts and sub-interval counts of Mercury, Venus,
Earth-Moon barycentre, Mars ... Pluto, Moon, Sun, nutations, librations.

Output layout (little-endian, records of NCOEFF doubles):
  record 1: 3 x 84-character titles, 400 x 6-character constant names, first
            JD, last JD, step (doubles), constant count (int32), AU, EMRAT
            (doubles), 12 x 3 item pointers (int32), DE number (int32),
            libration pointer (3 x int32), zero padding;
  record 2: the constant values (400 doubles), zero padding;
  records 3..: first JD, last JD and the coefficients of one record.

The script checks, before writing, that the rows are consecutive, that the
padding of every row is zero and that the Moon of the first record that holds
the integration epoch JDEPOC matches the initial conditions XM, YM, ZM of the
constants to a metre (which pins the time alignment of the rows).
"""
import os
import struct
import sys

import numpy as np
import casacore.tables as tables

MJD_TO_JD = 2400000.5
N_CONSTANTS_MAX = 400


def chebyshev(coefficients, tau):
    values = np.zeros(len(coefficients))
    values[0] = 1.0
    if len(values) > 1:
        values[1] = tau
    for k in range(2, len(values)):
        values[k] = 2.0 * tau * values[k - 1] - values[k - 2]
    return float(np.dot(coefficients, values))


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    output = sys.argv[1]
    table_path = sys.argv[2] if len(sys.argv) > 2 else "/usr/share/casacore/data/ephemerides/DE405"
    table = tables.table(table_path, ack=False)
    keywords = table.getkeywords()
    pointers = np.asarray(table.getcolkeywords("x")["Description"], dtype=np.int64).reshape(3, 13)
    mjd = np.asarray(table.getcol("MJD"), dtype=np.float64)
    rows = np.asarray(table.getcol("x"), dtype=np.float64)
    step = float(keywords["dMJD"])
    de_number = int(keywords["DENUM"])

    # Constants: every keyword from DENUM on, in table order.
    names = list(keywords.keys())
    names = names[names.index("DENUM"):]
    values = [float(keywords[n]) for n in names]
    if len(names) > N_CONSTANTS_MAX:
        sys.exit("more than 400 constants")

    # Doubles per record: the end of the last item (librations, or the last
    # item present when there are none).
    ends = [pointers[0, i] + (2 if i == 11 else 3) * pointers[1, i] * pointers[2, i] - 1
            for i in range(13) if pointers[1, i] > 0]
    ncoeff = int(max(ends))
    if rows.shape[1] < ncoeff - 2 or np.any(rows[:, ncoeff - 2:] != 0.0):
        sys.exit("unexpected row length or non-zero padding")

    # Rows are consecutive records starting one step after MJD0.
    expected = float(keywords["MJD0"]) + step * (1 + np.arange(len(mjd)))
    if np.any(mjd != expected):
        sys.exit("rows are not consecutive records after MJD0")
    first_jd = mjd[0] + MJD_TO_JD
    last_jd = mjd[-1] + step + MJD_TO_JD

    # Alignment check: Moon (geocentric, km) at JDEPOC against XM, YM, ZM (AU).
    epoch = float(keywords["JDEPOC"])
    if first_jd <= epoch < last_jd:
        row = int((epoch - first_jd) // step)
        local = (epoch - (first_jd + row * step)) / step
        moon_ptr, moon_n, moon_sub = pointers[:, 9]
        sub = min(int(local * moon_sub), moon_sub - 1)
        tau = 2.0 * (local * moon_sub - sub) - 1.0
        base = moon_ptr - 3 + sub * 3 * moon_n
        moon = [chebyshev(rows[row, base + c * moon_n: base + (c + 1) * moon_n], tau) for c in range(3)]
        want = [keywords[k] * keywords["AU"] for k in ("XM", "YM", "ZM")]
        error_km = float(np.linalg.norm(np.subtract(moon, want)))
        if error_km > 1e-3:
            sys.exit("Moon at JDEPOC is %.3f km off the initial conditions: rows misaligned" % error_km)

    record_bytes = 8 * ncoeff
    header = bytearray()
    titles = ["JPL Planetary Ephemeris DE%d/LE%d" % (de_number, de_number),
              "Start Epoch: JED= %11.1f" % first_jd,
              "Final Epoch: JED= %11.1f" % last_jd]
    for title in titles:
        header += title.ljust(84).encode("ascii")
    for i in range(N_CONSTANTS_MAX):
        header += (names[i] if i < len(names) else "").ljust(6)[:6].encode("ascii")
    header += struct.pack("<3d", first_jd, last_jd, step)
    header += struct.pack("<i", len(names))
    header += struct.pack("<2d", float(keywords["AU"]), float(keywords["EMRAT"]))
    for i in range(12):
        header += struct.pack("<3i", *[int(pointers[r, i]) for r in range(3)])
    header += struct.pack("<i", de_number)
    header += struct.pack("<3i", *[int(pointers[r, 12]) for r in range(3)])
    if len(header) > record_bytes:
        sys.exit("header does not fit in a record")
    header += bytes(record_bytes - len(header))

    constants = struct.pack("<%dd" % len(values), *values)
    constants += bytes(record_bytes - len(constants))

    temporary = output + ".part"
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    with open(temporary, "wb") as out:
        out.write(header)
        out.write(constants)
        for k in range(len(mjd)):
            start = mjd[k] + MJD_TO_JD
            record = np.empty(ncoeff, dtype="<f8")
            record[0] = start
            record[1] = start + step
            record[2:] = rows[k, :ncoeff - 2]
            out.write(record.tobytes())
    os.replace(temporary, output)
    print("%s: DE%d, JD %.1f to %.1f, %d records of %d doubles"
          % (output, de_number, first_jd, last_jd, len(mjd), ncoeff))


if __name__ == "__main__":
    main()
