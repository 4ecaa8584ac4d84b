#!/usr/bin/env python3
"""Generates the nutation and sidereal-time series tables of data/ from the
C sources of ERFA, as shipped in Debian's `erfa` source package.

    tools/fetch-erfa-source.sh /tmp/erfa-src     # apt-get source, into a folder
    tools/gen_erfa_series.py /tmp/erfa-src       # writes the four data/ files

Reads from the package's upstream tarball (erfa_<version>.orig.tar.gz):
  src/nut00b.c   the 77 luni-solar terms of the IAU 2000B nutation model
                 (McCarthy & Luzum 2003), units of 0.1 microarcsecond;
  src/eect00.c   the 33 t^0 complementary terms of the equation of the
                 equinoxes (IERS Conventions 2003, Table 5.2e), arcseconds in
                 the source, written out here in microarcseconds;
  src/gmst06.c   the T^5 coefficient of the IAU 2006 Greenwich mean sidereal
                 time polynomial (Capitaine et al. 2003), arcseconds;
  src/fa*03.c    the fundamental-argument polynomials of the IERS Conventions
                 2003 that the complementary terms use.
Writes data/nutation_iau2000b.{h,cpp} and data/equinox_terms.{h,cpp}.
The script checks row counts and known rows and fails loudly on a mismatch.
"""
import glob
import os
import re
import sys
import tarfile
from decimal import Decimal

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "data")
NUMBER = r"[-+]?\s*\d+(?:\.\d*)?(?:[eE][-+]?\d+)?"


def fail(message):
    sys.exit("gen_erfa_series: " + message)


def read_package(folder):
    dscs = sorted(glob.glob(os.path.join(folder, "erfa_*.dsc")))
    if not dscs:
        fail("no erfa_*.dsc in %s (run tools/fetch-erfa-source.sh first)" % folder)
    version = None
    with open(dscs[-1], encoding="utf-8") as f:
        for line in f:
            if line.startswith("Version:"):
                version = line.split(":", 1)[1].strip()
    tars = sorted(glob.glob(os.path.join(folder, "erfa_*.orig.tar.*")))
    if not version or not tars:
        fail("incomplete source package in %s" % folder)
    sources = {}
    with tarfile.open(tars[-1]) as tar:
        for member in tar.getmembers():
            name = os.path.basename(member.name)
            if "/src/" in member.name and name.endswith(".c"):
                sources[name] = tar.extractfile(member).read().decode("utf-8")
    return version, sources


def strip_comments(text):
    return re.sub(r"/\*.*?\*/", " ", text, flags=re.S)


def block(text, start_pattern):
    """The text between the '{' after start_pattern and its matching '};'."""
    m = re.search(start_pattern, text)
    if not m:
        fail("pattern %r not found" % start_pattern)
    i = text.index("{", m.end())
    depth = 0
    for j in range(i, len(text)):
        if text[j] == "{":
            depth += 1
        elif text[j] == "}":
            depth -= 1
            if depth == 0:
                return text[i + 1:j]
    fail("unbalanced braces after %r" % start_pattern)


def numbers(text):
    return [Decimal(re.sub(r"\s+", "", n)) for n in re.findall(NUMBER, text)]


def parse_nut00b(source):
    body = block(strip_comments(source), r"\}\s*x\[\]\s*=")
    rows = []
    for row in re.findall(r"\{([^{}]*)\}", body):
        v = numbers(row)
        if len(v) != 11:
            fail("nut00b.c: row with %d numbers: %s" % (len(v), row))
        rows.append([int(x) for x in v[:5]] + [int(x) for x in v[5:]])
        if any(Decimal(int(x)) != x for x in v):
            fail("nut00b.c: non-integral coefficient in %s" % row)
    return rows


def parse_eect00(source):
    text = strip_comments(source)
    def terms(name):
        body = block(text, r"TERM\s+%s\[\]\s*=" % name)
        out = []
        for m in re.finditer(r"\{\s*\{([^{}]*)\}\s*,([^{}]*)\}", body):
            mult = [int(x) for x in numbers(m.group(1))]
            sc = numbers(m.group(2))
            if len(mult) != 8 or len(sc) != 2:
                fail("eect00.c: bad term %s" % m.group(0))
            out.append((mult, sc[0] * Decimal(10) ** 6, sc[1] * Decimal(10) ** 6))
        return out
    return terms("e0"), terms("e1")


def parse_gmst06(source):
    text = strip_comments(source)
    m = re.search(r"eraEra00\s*\(\s*uta\s*,\s*utb\s*\)\s*\+(.*?)ERFA_DAS2R", text, re.S)
    if not m:
        fail("gmst06.c: polynomial not found")
    return numbers(m.group(1))


def parse_polynomial(source, count):
    """Coefficients of the nested polynomial assigned to `a` in an fa*03.c file."""
    text = strip_comments(source)
    m = re.search(r"\ba\s*=\s*(.*?);", text, re.S)
    if not m:
        fail("fundamental argument not found")
    expr = re.sub(r"\bERFA_\w+|\bfmod\b", " ", m.group(1))
    v = numbers(expr)
    if len(v) != count:
        fail("expected %d coefficients, got %r" % (count, v))
    return v


def check(condition, message):
    if not condition:
        fail("check failed: " + message)


def fmt(d):
    s = format(d.normalize(), "f")
    if "." not in s:
        s += ".0"
    return s


def header(version, what):
    return (
        "// GENERATED by tools/gen_erfa_series.py from Debian's erfa source package,\n"
        "// version %s (%s). Do not edit; rerun the generator.\n" % (version, what))


def main():
    if len(sys.argv) != 2:
        fail("usage: gen_erfa_series.py ERFA_SOURCE_FOLDER")
    version, src = read_package(sys.argv[1])
    for name in ("nut00b.c", "eect00.c", "gmst06.c", "fal03.c", "falp03.c", "faf03.c",
                 "fad03.c", "faom03.c", "fave03.c", "fae03.c", "fapa03.c"):
        check(name in src, name + " in the tarball")

    nut = parse_nut00b(src["nut00b.c"])
    check(len(nut) == 77, "77 IAU 2000B terms (got %d)" % len(nut))
    check(nut[0] == [0, 0, 0, 0, 1, -172064161, -174666, 33386, 92052331, 9086, 15377], "first row")
    check(nut[1] == [0, 0, 2, -2, 2, -13170906, -1675, -13696, 5730336, -3015, -4587], "second row")
    check(nut[2] == [0, 0, 2, 0, 2, -2276413, -234, 2796, 978459, -485, 1374], "third row")
    check(nut[-1] == [1, 1, 2, -2, 2, 1290, 0, 0, -556, 0, 0], "last row")

    e0, e1 = parse_eect00(src["eect00.c"])
    check(len(e0) == 33, "33 complementary terms (got %d)" % len(e0))
    check(e0[0] == ([0, 0, 0, 0, 1, 0, 0, 0], Decimal("2640.96"), Decimal("-0.39")), "first EE term")
    check(e0[-1] == ([1, 0, -2, 0, -1, 0, 0, 0], Decimal("0.11"), Decimal("0")), "last EE term")
    check(len(e1) == 1 and e1[0] == ([0, 0, 0, 0, 1, 0, 0, 0], Decimal("-0.87"), Decimal("0")),
          "the single t^1 term")

    gmst = parse_gmst06(src["gmst06.c"])
    check(len(gmst) == 6, "six GMST coefficients")
    # The seconds-of-time coefficients the engine uses for T^0..T^4 are these / 15.
    for c, seconds in zip(gmst, ("0.00096707", "307.47710227", "0.092772113", "-2.93e-08", "-1.99708e-06")):
        check(abs(c / 15 - Decimal(seconds)) <= abs(Decimal(seconds)) * Decimal("2e-3"),
              "GMST coefficient %s / 15 ~ %s" % (c, seconds))
    t5 = gmst[5]
    check(t5 == Decimal("-0.0000000368"), "GMST T^5 coefficient")

    delaunay = [parse_polynomial(src[f], 5) for f in ("fal03.c", "falp03.c", "faf03.c", "fad03.c", "faom03.c")]
    venus = parse_polynomial(src["fave03.c"], 2)
    earth = parse_polynomial(src["fae03.c"], 2)
    prec = parse_polynomial(src["fapa03.c"], 2)
    check(delaunay[0][:2] == [Decimal("485868.249036"), Decimal("1717915923.2178")], "l polynomial")
    check(delaunay[4][:2] == [Decimal("450160.398036"), Decimal("-6962890.5431")], "Omega polynomial")
    check(venus == [Decimal("3.176146697"), Decimal("1021.3285546211")], "Venus longitude")
    check(earth == [Decimal("1.753470314"), Decimal("628.3075849991")], "Earth longitude")

    # ---- data/nutation_iau2000b.{h,cpp}
    h = header(version, "src/nut00b.c") + """//
// The luni-solar series of the IAU 2000B nutation model (McCarthy & Luzum,
// Cel. Mech. Dyn. Astron. 85, 37 (2003); IERS Conventions 2003), in the order
// of that table. Units: 0.1 microarcsecond, and 0.1 microarcsecond per Julian
// century for the T terms. With arg = l*nl + l'*nlp + F*nf + D*nd + Om*nom:
//   dpsi += (sinPsi + sinPsiT * T) sin(arg) + cosPsi cos(arg)
//   deps += (cosEps + cosEpsT * T) cos(arg) + sinEps sin(arg)
// summed from the last row to the first (smallest terms first).
#pragma once

#include <cstdint>

namespace orv::data {

struct NutationTerm2000B {
  std::int16_t nl, nlp, nf, nd, nom;       // multipliers of l, l', F, D, Omega
  std::int32_t sinPsi, sinPsiT, cosPsi;    // A, A', A'' (longitude)
  std::int32_t cosEps, cosEpsT, sinEps;    // B, B', B'' (obliquity)
};

inline constexpr int kNutationIau2000BTermCount = %d;
extern const NutationTerm2000B kNutationIau2000BTerms[kNutationIau2000BTermCount];

}  // namespace orv::data
""" % len(nut)
    rows = "\n".join("    {%s}," % ", ".join("%d" % x for x in r) for r in nut)
    cpp = header(version, "src/nut00b.c") + """#include "data/nutation_iau2000b.h"

namespace orv::data {

const NutationTerm2000B kNutationIau2000BTerms[kNutationIau2000BTermCount] = {
%s
};

}  // namespace orv::data
""" % rows

    # ---- data/equinox_terms.{h,cpp}
    def poly(values):
        return ", ".join(fmt(v) for v in values)
    eh = header(version, "src/eect00.c, src/gmst06.c, src/fa*03.c") + """//
// Series and polynomials for Greenwich apparent sidereal time:
// - the 33 t^0 complementary terms of the equation of the equinoxes (IERS
//   Conventions 2003, Table 5.2e), microarcseconds:
//     sum of sineMuas sin(arg) + cosineMuas cos(arg), summed from the last term,
//   arg = sum of multipliers[j] * argument[j] over
//   (l, l', F, D, Omega, L_Venus, L_Earth, p_A);
// - the fundamental-argument polynomials of those eight arguments (IERS
//   Conventions 2003, eqs. 5.43-5.44): l .. Omega in arcseconds, the other
//   three in radians, coefficients of T^0, T^1, ... (T in Julian centuries
//   of TT from J2000.0);
// - the T^5 coefficient of the IAU 2006 GMST polynomial (Capitaine et al.
//   2003, A&A 412, 567), arcseconds.
// The standard's single t^1 complementary term (-0.87 microarcsecond T sin
// Omega) is not part of the table; see ephemeris/sidereal.cpp.
#pragma once

#include <cstdint>

namespace orv::data {

struct EquinoxComplementaryTerm {
  std::int8_t multipliers[8];  // of l, l', F, D, Omega, L_Venus, L_Earth, p_A
  double sineMuas;             // microarcseconds
  double cosineMuas;           // microarcseconds
};

inline constexpr int kEquinoxComplementaryTermCount = %d;
extern const EquinoxComplementaryTerm kEquinoxComplementaryTerms[kEquinoxComplementaryTermCount];

// Delaunay arguments l, l', F, D, Omega: arcseconds, coefficients of T^0..T^4.
extern const double kDelaunayArgumentsArcsec[5][5];
// Mean longitudes of Venus and of the Earth: radians, T^0 and T^1.
inline constexpr double kVenusLongitudeRad[2] = {%s};
inline constexpr double kEarthLongitudeRad[2] = {%s};
// General accumulated precession in longitude: radians, coefficients of T^1, T^2.
inline constexpr double kGeneralPrecessionRad[2] = {%s};

// T^5 coefficient of the IAU 2006 Greenwich mean sidereal time, arcseconds.
inline constexpr double kGmst2006T5Arcsec = %s;

}  // namespace orv::data
""" % (len(e0), poly(venus), poly(earth), poly(prec), fmt(t5))
    terms = "\n".join("    {{%s}, %s, %s}," % (", ".join("%d" % x for x in m), fmt(s), fmt(c)) for m, s, c in e0)
    args = "\n".join("    {%s},  // %s" % (poly(p), name) for p, name in
                     zip(delaunay, ("l", "l'", "F", "D", "Omega")))
    ecpp = header(version, "src/eect00.c, src/fa*03.c") + """#include "data/equinox_terms.h"

namespace orv::data {

const EquinoxComplementaryTerm kEquinoxComplementaryTerms[kEquinoxComplementaryTermCount] = {
%s
};

const double kDelaunayArgumentsArcsec[5][5] = {
%s
};

}  // namespace orv::data
""" % (terms, args)

    for name, text in (("nutation_iau2000b.h", h), ("nutation_iau2000b.cpp", cpp),
                       ("equinox_terms.h", eh), ("equinox_terms.cpp", ecpp)):
        with open(os.path.join(DATA, name), "w", encoding="utf-8") as f:
            f.write(text)
        print("wrote data/" + name)


if __name__ == "__main__":
    main()
