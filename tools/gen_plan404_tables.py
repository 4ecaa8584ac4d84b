#!/usr/bin/env python3
"""Generate the PLAN404 coefficient tables of data/ from their authors' C sources.

Usage:
    python3 tools/gen_plan404_tables.py [--swisseph DIR] [--almanac DIR] [--out DIR] [--check]

Source, numbers only: the Swiss Ephemeris C sources as carried by the npm
package swisseph 0.5.17 (Swiss Ephemeris 2.09.03), whose files state the
dual licence "GNU public license version 2 or later" or the vendor's
professional licence; the GPL-2.0-or-later option is taken. The script
refuses a copy whose swemptab.h or swemmoon.c does not state that option.
  * swemptab.h: S. L. Moshier's PLAN404 fits to DE404 of Mercury to Pluto
    and of the Earth-Moon barycentre (ear404).
  * swemmoon.c, default build, not MOSH_MOON_200: the lunar mean elements,
    the six lunar series tables and the explicit perturbation terms,
    Moshier's ELP2000-85 fit to DE404.
DIR is the folder holding those two files (deps/swisseph of the npm
package); without --swisseph the script runs `npm pack swisseph@0.5.17` in a
temporary folder.

With --almanac DIR (the unpacked Debian source package astronomical-almanac,
Moshier's own distribution, GPL-2) the eight tables of Mercury, Venus and
Mars to Pluto are also compared with his *404.c files (identical in every
number for 5.6-7). His distribution carries newer fits of its own for the
barycentre and the Moon, so those two come from the Swiss Ephemeris only.

With --check nothing is written: the tables are generated in memory and
compared number by number, then line by line, with the files in --out; the
script exits 1 at the first difference.

The explicit lunar terms are written in the source as straight-line code.
This script reads that code with a small evaluator of linear expressions:
every argument becomes a row (multipliers of the ten mean elements, phase in
arc-seconds) with its amplitudes per accumulator, and the statements that are
not terms (series sums, scalings, folding of sums) are checked against the
order in which the evaluator in ephemeris/plan404.cpp performs them.

The script fails loudly when a size, a layout or one of the reference values
below does not match.
"""

import argparse
import atexit
import decimal
import json
import os
import re
import shutil
import subprocess
import sys
import tarfile
import tempfile
from decimal import Decimal

decimal.getcontext().prec = 60

NPM_PACKAGE = "swisseph"
NPM_VERSION = "0.5.17"
# The licence option every source file must offer (the other is proprietary).
SOURCE_LICENCE = "GNU public license version 2 or later"
# Bodies the almanac also carries in the same fit (compared when it is given).
ALMANAC_BODIES = ["mer", "ven", "mar", "jup", "sat", "ura", "nep", "plu"]
GENERATOR = "tools/gen_plan404_tables.py"


def fail(msg):
    sys.stderr.write("gen_plan404_tables: ERROR: " + msg + "\n")
    sys.exit(1)


def check(cond, msg):
    if not cond:
        fail(msg)


# ---------------------------------------------------------------------------
# Reference values the tables must reproduce.

# (name, highest harmonics, highest power, periodic terms, coefficients per
# series, mean distance AU)
PLANETS = [
    ("mer", "Mercury", [11, 14, 10, 11, 4, 5, 2, 0, 0], 6, 129, 400, 0.3870983098),
    ("ven", "Venus", [5, 14, 13, 8, 4, 5, 1, 0, 0], 5, 107, 284, 0.72332982),
    ("ear", "Earth-Moon barycentre", [1, 9, 14, 17, 5, 5, 2, 1, 0], 4, 134, 460, 1.0),
    ("mar", "Mars", [0, 5, 12, 24, 9, 7, 3, 2, 0], 5, 200, 677, 1.53033488271),
    ("jup", "Jupiter", [0, 0, 1, 0, 9, 16, 7, 5, 0], 6, 141, 595, 5.2026032092),
    ("sat", "Saturn", [0, 0, 1, 0, 8, 18, 9, 5, 0], 7, 214, 788, 9.55758135486),
    ("ura", "Uranus", [0, 0, 0, 0, 5, 10, 9, 12, 0], 6, 176, 532, 19.2184460618),
    ("nep", "Neptune", [0, 0, 0, 0, 3, 8, 7, 9, 0], 3, 58, 162, 30.1103868694),
    ("plu", "Pluto", [0, 0, 0, 0, 2, 2, 9, 13, 13], 7, 172, 604, 39.54),
]

MERCURY_FIRST_ARGS = [0, 3, 3, 1, 1, -10, 3, 11, 4, 0]
MERCURY_FIRST_LON = [35.85255, -163.26379, 53810162857.56026, 908082.18475]

# (source name, description, rows, row kind, values per row)
LUNAR_TABLES = [
    ("LRT2", "first-order longitude and radius", 25, 2, 6),
    ("BT2", "first-order latitude", 12, 4, 5),
    ("BT", "second latitude", 16, 4, 5),
    ("LRT", "second longitude and radius", 38, 1, 8),
    ("LR", "main longitude and radius", 118, 1, 8),
    ("MB", "main latitude", 77, 3, 6),
]
LUNAR_FIRST_ROWS = {
    "LR": [0, 0, 1, 0, 22639, 5858, -20905, -3550],
    "MB": [0, 0, 0, 1, 18461, 2387],
}
# Highest multiple of D, l', l, F the multiple-angle store holds.
LUNAR_STORE_SIZE = [6, 4, 4, 4]

# Mean elements: source variable -> (name, linear rate "/cy, phase ")
ELEMENTS = ["D", "M", "MP", "NF", "SWELP", "Ve", "Ea", "Ma", "Ju", "Sa"]
ELEMENT_NAMES = ["D", "l'", "l", "F", "L", "Venus", "Earth", "Mars", "Jupiter", "Saturn"]
MEAN_ELEMENT_CHECK = {
    "M": (129596581.038354, 1287104.76154, [-0.552891801772, 0.00014732069041, -1.1297037031e-05,
                                             -4.77258489e-08, 8.8555011e-11, 4.237343e-13,
                                             -3.83508e-15, -1.039e-17, 1.62e-20]),
    "NF": (1739527262.890358, 335779.55755, [-13.12045233711, -0.00113821591258, -9.646018347184e-06]),
    "MP": (1717915923.2692053, 485868.28096, [31.46734198839, 0.0476835758578, -0.0003421689790404]),
    "D": (1602961601.8565893, 1072260.73512, [-6.84707090541, -0.005834100476561, -0.0002905334122698]),
    "SWELP": (1732564372.1541486, 785939.95571, [-5.663161722088, 0.005722859298199, -8.466472828815e-05]),
    "Ve": (210664136.4335482, 655127.283046, [0.005871373088, -1.4244812531e-05, -2.26602516e-09,
                                              -3.0622898e-10, 2.509418e-13, 4.43201e-15, 6.097e-18,
                                              -1.95e-20, -9.36e-23]),
    "Ea": (129597742.26669231, 361679.214649, [-0.020199859001, 8.863982531e-06, 1.515912254e-07,
                                               1.7228268e-10, -1.226182e-12, -1.08402e-14, 2.846e-17,
                                               2.976e-19, -1.16e-22]),
    "Ma": (68905077.59284, 1279559.78866, [0.00938012, -1.043e-05]),
    "Ju": (10925660.428608, 123665.34212, [-0.306037836351, 1.543273e-05]),
    "Sa": (4399609.65932, 180278.89694, [0.756161437443, -6.874806e-05, 4.475946e-08]),
}

# Accumulators of the explicit terms: source name -> C++ enumerator.
TARGETS = {
    "l": "kMoonDeltaLongitude",
    "l1": "kMoonLongitudeT1",
    "l2": "kMoonLongitudeT2",
    "l3": "kMoonLongitudeT3",
    "moonpol[1]": "kMoonLatitudeSum",
    "moonpol[2]": "kMoonRadiusSum",
    "B": "kMoonDeltaLatitude",
}
# Accumulators each stage may write with explicit terms.
STAGE_TARGETS = [
    {"l", "l1", "l2", "l3", "moonpol[2]"},
    {"l", "l1", "moonpol[1]"},
    {"l", "B"},
]
STAGE_TERM_COUNTS = [15, 17, 36]

# Non-term statements, in order, that the evaluator reproduces.
EXPECTED_SKELETON = [
    ("store", "D"), ("store", "M"), ("store", "MP"), ("store", "NF"),
    ("clear", "moonpol[0]"), ("clear", "moonpol[1]"), ("clear", "moonpol[2]"),
    ("series", "LRT2", 2), ("series", "BT2", 4),
    ("stage", 0),
    ("zero", "l4"),
    ("fold", "moonpol[0]", "l2"),
    ("scale", "moonpol[1]", "T"), ("scale", "moonpol[2]", "T"),
    ("clear", "moonpol[0]"),
    ("series", "BT", 4), ("series", "LRT", 1),
    ("stage", 1),
    ("fold", "moonpol[0]", "l1"),
    ("scale", "moonpol[1]", "0.1T"), ("scale", "moonpol[2]", "0.1T"),
    ("stage", 2),
]


# ---------------------------------------------------------------------------
# Source handling

def fetch_sources():
    tmp = tempfile.mkdtemp(prefix="plan404-gen-")
    atexit.register(shutil.rmtree, tmp, True)
    package = NPM_PACKAGE + "@" + NPM_VERSION
    res = subprocess.run(["npm", "pack", package, "--silent"], cwd=tmp, capture_output=True, text=True)
    if res.returncode != 0:
        fail("npm pack " + package + " failed: " + res.stderr.strip())
    tgz = [f for f in os.listdir(tmp) if f.endswith(".tgz")]
    check(len(tgz) == 1, "npm pack produced no tarball")
    with tarfile.open(os.path.join(tmp, tgz[0])) as tf:
        if hasattr(tarfile, "data_filter"):
            tf.extractall(tmp, filter="data")
        else:
            tf.extractall(tmp)
    return os.path.join(tmp, "package", "deps", "swisseph")


def read_source(swedir, name):
    """A source file, refused unless it offers the GPL-2.0-or-later option."""
    path = os.path.join(swedir, name)
    check(os.path.exists(path), "%s not found" % path)
    with open(path, encoding="latin-1") as f:
        text = f.read()
    head = " ".join(text[:4000].split())
    check(SOURCE_LICENCE in head, "%s does not state \"%s\"" % (path, SOURCE_LICENCE))
    check("affero" not in head.lower(), "%s names the Affero GPL" % path)
    return text


def describe_almanac(aadir):
    changelog = os.path.join(aadir, "debian", "changelog")
    if os.path.exists(changelog):
        m = re.match(r"(\S+) \(([^)]+)\)", open(changelog, encoding="utf-8").readline())
        if m:
            return "Debian source package %s %s" % (m.group(1), m.group(2))
    return "astronomical-almanac sources in " + aadir


def describe_source(swedir):
    desc = []
    pkgs = [os.path.join(d, "package.json") for d in (os.path.dirname(swedir), os.path.dirname(os.path.dirname(swedir)))]
    pkg = next((p for p in pkgs if os.path.exists(p)), None)
    if pkg:
        with open(pkg) as f:
            j = json.load(f)
        desc.append("npm package %s %s" % (j.get("name"), j.get("version")))
    hdr = os.path.join(swedir, "sweph.h")
    if os.path.exists(hdr):
        m = re.search(r'#define\s+SE_VERSION\s+"([^"]+)"', open(hdr, encoding="latin-1").read())
        if m:
            desc.append("Swiss Ephemeris " + m.group(1))
    if not desc:
        desc.append("Swiss Ephemeris sources in " + swedir)
    return ", ".join(desc)


def strip_comments(text):
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    return re.sub(r"//[^\n]*", " ", text)


def default_build(text):
    """Keep the lines of the default build: drop the MOSH_MOON_200 branches and #if 0 blocks."""
    out = []
    stack = []  # True while the current branch is kept
    for line in text.split("\n"):
        s = line.strip()
        if s.startswith("#if"):
            if re.match(r"#ifdef\s+MOSH_MOON_200", s):
                keep = False
            elif re.match(r"#ifndef\s+MOSH_MOON_200", s):
                keep = True
            elif re.match(r"#if\s+0\b", s):
                keep = False
            elif re.match(r"#if\s+1\b", s):
                keep = True
            else:
                keep = True  # unrelated condition: keep both branches' text (none occurs in bodies used)
            stack.append([keep, all(k for k, _ in stack) if stack else True])
            continue
        if s.startswith("#else"):
            check(stack, "unbalanced #else")
            stack[-1][0] = not stack[-1][0]
            continue
        if s.startswith("#endif"):
            check(stack, "unbalanced #endif")
            stack.pop()
            continue
        if all(k for k, _ in stack):
            out.append(line)
    check(not stack, "unbalanced #if")
    return "\n".join(out)


def number_list(body):
    toks = [t for t in re.split(r"[\s,]+", body.strip()) if t]
    for t in toks:
        check(re.fullmatch(r"[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?", t), "not a number: %r" % t)
    return toks


def c_array(text, ctype, name):
    m = re.search(r"static\s+(?:const\s+)?" + ctype + r"\s+" + re.escape(name) +
                  r"\s*\[[^\]]*\]\s*=\s*\{(.*?)\};", text, flags=re.S)
    check(m, "array %s not found" % name)
    return number_list(m.group(1))


# ---------------------------------------------------------------------------
# Planetary tables

def walk_args(args, npow_max):
    """Walk an argument table; returns (periodic terms, coefficients per series, harmonics, terms)."""
    i = 0
    ncoef = 0
    nper = 0
    npoly = 0
    harm = [0] * 9
    while True:
        check(i < len(args), "argument table runs off its end")
        n = args[i]
        i += 1
        if n < 0:
            break
        if n == 0:
            d = args[i]
            i += 1
            check(0 <= d <= npow_max, "polynomial degree %d beyond the highest power" % d)
            ncoef += d + 1
            npoly += 1
            continue
        nonzero = 0
        for _ in range(n):
            m, a = args[i], args[i + 1]
            i += 2
            check(1 <= a <= 9, "argument number %d outside 1..9" % a)
            if m != 0:
                nonzero += 1
            harm[a - 1] = max(harm[a - 1], abs(m))
        check(nonzero > 0, "periodic term without a non-zero multiplier")
        d = args[i]
        i += 1
        check(0 <= d <= npow_max, "term degree %d beyond the highest power" % d)
        ncoef += 2 * (d + 1)
        nper += 1
    check(i == len(args), "bytes after the end marker of an argument table")
    check(npoly == 1, "expected exactly one polynomial term, found %d" % npoly)
    return nper, ncoef, harm


def almanac_table(aadir, key):
    """One planet of the almanac: (harmonics, highest power, args, lon, lat, rad, distance)."""
    path = os.path.join(aadir, key + "404.c")
    check(os.path.exists(path), "%s not found" % path)
    text = strip_comments(open(path, encoding="latin-1").read())
    m = re.search(r"struct\s+plantbl\s+" + key + r"404\s*=\s*\{\s*(\d+)\s*,\s*\{([^}]*)\}\s*,"
                  r"\s*(\d+)\s*,\s*(\w+)\s*,\s*(\w+)\s*,\s*(\w+)\s*,\s*(\w+)\s*,\s*([-+.\deE]+)\s*,"
                  r"\s*([-+.\deE]+)\s*,\s*([-+.\deE]+)\s*,?\s*\};", text, flags=re.S)
    check(m, "struct %s404 not found in %s" % (key, path))
    check(int(m.group(1)) == 9, "%s404: %s arguments, expected the nine planets" % (key, m.group(1)))
    check(float(m.group(9)) == 3652500.0, "%s404: time unit %s days, expected 10 000 Julian years" % (key, m.group(9)))
    check(float(m.group(10)) == 1.0, "%s404: truncation level %s, expected the full table" % (key, m.group(10)))
    names = [m.group(k) for k in range(4, 8)]
    check(names == ["args", "tabl", "tabb", "tabr"], "%s404 points at unexpected arrays %s" % (key, names))

    def arr(ctype, name):
        a = re.search(r"static\s+" + ctype + r"\s+(?:SIGNED\s+)?(?:FAR\s+)?" + name +
                      r"\s*\[[^\]]*\]\s*=\s*\{(.*?)\};", text, flags=re.S)
        check(a, "array %s not found in %s" % (name, path))
        return number_list(a.group(1))

    return ([int(x) for x in number_list(m.group(2))], int(m.group(3)), [int(x) for x in arr("char", "args")],
            arr("double", "tabl"), arr("double", "tabb"), arr("double", "tabr"), m.group(8))


def swisseph_table(text, key):
    m = re.search(r"static\s+struct\s+plantbl\s+" + key + r"404\s*=\s*\{\s*\{([^}]*)\}\s*,"
                  r"\s*(\d+)\s*,\s*(\w+)\s*,\s*(\w+)\s*,\s*(\w+)\s*,\s*(\w+)\s*,\s*([-+.\deE]+)\s*,?\s*\};",
                  text, flags=re.S)
    check(m, "struct %s404 not found" % key)
    names = [m.group(k) for k in range(3, 7)]
    check(names == [key + "args", key + "tabl", key + "tabb", key + "tabr"],
          "%s404 points at unexpected arrays %s" % (key, names))
    return ([int(x) for x in number_list(m.group(1))], int(m.group(2)),
            [int(x) for x in c_array(text, "signed char", key + "args")], c_array(text, "double", key + "tabl"),
            c_array(text, "double", key + "tabb"), c_array(text, "double", key + "tabr"), m.group(7))


def same_numbers(a, b):
    return len(a) == len(b) and all(float(x) == float(y) for x, y in zip(a, b))


def planet_tables(swemptab, aadir):
    text = strip_comments(swemptab)
    out = []
    for key, label, harm_ref, pow_ref, nper_ref, ncoef_ref, dist_ref in PLANETS:
        harm, npow, args, lon, lat, rad, dist = swisseph_table(text, key)
        if aadir and key in ALMANAC_BODIES:
            aa = almanac_table(aadir, key)
            check(aa[:2] == (harm, npow) and aa[2] == args and all(same_numbers(x, y) for x, y in zip(aa[3:6], (lon, lat, rad)))
                  and float(aa[6]) == float(dist),
                  "%s: the almanac's table differs from the Swiss Ephemeris copy" % label)
        check(harm == harm_ref, "%s: highest harmonics %s, expected %s" % (label, harm, harm_ref))
        check(npow == pow_ref, "%s: highest power %d, expected %d" % (label, npow, pow_ref))
        check(abs(float(dist) - dist_ref) < 1e-9 * dist_ref, "%s: mean distance %s" % (label, dist))
        check(max(harm) <= 24, "%s: harmonic beyond the 24 of the multiple-angle store" % label)
        nper, ncoef, harm_used = walk_args(args, npow)
        check(harm_used == harm, "%s: harmonics used %s differ from declared %s" % (label, harm_used, harm))
        check(nper == nper_ref, "%s: %d periodic terms, expected %d" % (label, nper, nper_ref))
        check(ncoef == ncoef_ref, "%s: %d coefficients per series, expected %d" % (label, ncoef, ncoef_ref))
        for nm, tab in (("longitude", lon), ("latitude", lat), ("radius", rad)):
            check(len(tab) == ncoef, "%s: %s table has %d doubles, arguments need %d" % (label, nm, len(tab), ncoef))
        out.append(dict(key=key, label=label, harm=harm, npow=npow, args=args, lon=lon, lat=lat, rad=rad,
                        dist=dist, nper=nper, ncoef=ncoef))
    mer = out[0]
    check(mer["args"][:len(MERCURY_FIRST_ARGS)] == MERCURY_FIRST_ARGS, "Mercury's first argument bytes differ")
    check([float(x) for x in mer["lon"][:4]] == MERCURY_FIRST_LON, "Mercury's first longitude coefficients differ")
    return out


# ---------------------------------------------------------------------------
# A small evaluator of the straight-line C code of the lunar theory.
# Values are polynomials: {monomial (sorted tuple of symbols): Decimal}.

def P_const(c):
    return {(): Decimal(c)} if Decimal(c) != 0 else {}


def P_sym(s):
    return {(s,): Decimal(1)}


def P_add(a, b, sign=1):
    r = dict(a)
    for k, v in b.items():
        r[k] = r.get(k, Decimal(0)) + sign * v
        if r[k] == 0:
            del r[k]
    return r


def P_mul(a, b):
    r = {}
    for ka, va in a.items():
        for kb, vb in b.items():
            k = tuple(sorted(ka + kb))
            r[k] = r.get(k, Decimal(0)) + va * vb
            if r[k] == 0:
                del r[k]
    return r


def P_scalar(a):
    if not a:
        return Decimal(0)
    check(list(a.keys()) == [()], "expected a number, got %r" % a)
    return a[()]


TOKEN_RE = re.compile(r"\s*(?:(\d+\.?\d*(?:[eE][-+]?\d+)?|\.\d+(?:[eE][-+]?\d+)?)|([A-Za-z_]\w*)|(\+=|-=|\*=|[-+*/()\[\],;=]))")


def tokenize(s):
    pos = 0
    out = []
    s = s.rstrip()
    while pos < len(s):
        m = TOKEN_RE.match(s, pos)
        check(m and m.end() > pos, "cannot read C text near %r" % s[pos:pos + 40])
        if m.group(1):
            out.append(("num", m.group(1)))
        elif m.group(2):
            out.append(("id", m.group(2)))
        else:
            out.append(("op", m.group(3)))
        pos = m.end()
    return out


class Interp:
    def __init__(self, z, symbols):
        self.z = z
        self.symbols = symbols  # names evaluated as free symbols
        self.env = {}
        self.args = []  # registered trigonometric arguments: (multipliers dict, phase Decimal)
        self.mods = []  # linear parts passed to mods3600

    # expression parser
    def parse(self, toks):
        self.toks = toks
        self.i = 0
        v = self.expr()
        check(self.i == len(toks), "unread tokens %r" % toks[self.i:])
        return v

    def peek(self):
        return self.toks[self.i] if self.i < len(self.toks) else (None, None)

    def take(self, kind=None, val=None):
        t = self.peek()
        check(t[0] is not None, "unexpected end of expression")
        if kind:
            check(t[0] == kind and (val is None or t[1] == val), "expected %s %s, got %r" % (kind, val, t))
        self.i += 1
        return t

    def expr(self):
        v = self.term()
        while self.peek() in (("op", "+"), ("op", "-")):
            op = self.take()[1]
            v = P_add(v, self.term(), 1 if op == "+" else -1)
        return v

    def term(self):
        v = self.unary()
        while self.peek() in (("op", "*"), ("op", "/")):
            op = self.take()[1]
            w = self.unary()
            if op == "*":
                v = P_mul(v, w)
            else:
                d = P_scalar(w)
                v = {k: c / d for k, c in v.items()}
        return v

    def unary(self):
        t = self.peek()
        if t == ("op", "-"):
            self.take()
            return P_mul(P_const(-1), self.unary())
        if t == ("op", "+"):
            self.take()
            return self.unary()
        return self.primary()

    def primary(self):
        t = self.take()
        if t[0] == "num":
            return P_const(t[1])
        if t == ("op", "("):
            v = self.expr()
            self.take("op", ")")
            return v
        check(t[0] == "id", "unexpected %r" % (t,))
        name = t[1]
        if self.peek() == ("op", "["):
            self.take()
            idx = int(self.take("num")[1])
            self.take("op", "]")
            if name == "z":
                return P_const(self.z[idx])
            return P_sym("%s[%d]" % (name, idx))
        if self.peek() == ("op", "("):
            self.take()
            v = self.expr()
            self.take("op", ")")
            if name in ("sin", "cos"):
                return P_sym("%s#%d" % (name, self.register_arg(v)))
            if name == "mods3600":
                self.mods.append(v)
                return v
            fail("unknown function %s" % name)
        if name in self.env:
            return self.env[name]
        if name == "T2":
            return P_mul(P_sym("T"), P_sym("T"))
        if name in self.symbols:
            return P_sym(name)
        fail("unknown name %s" % name)

    def register_arg(self, v):
        mult = {}
        phase = Decimal(0)
        for k, c in v.items():
            check(k.count("STR") == 1, "trigonometric argument not scaled by STR: %r" % (v,))
            rest = tuple(s for s in k if s != "STR")
            if rest == ():
                phase += c
            else:
                check(len(rest) == 1 and rest[0] in ELEMENTS, "argument term %r is not a mean element" % (rest,))
                check(c == c.to_integral_value(), "non-integer multiplier %s" % c)
                mult[rest[0]] = int(c)
        key = (tuple(sorted(mult.items())), phase)
        for i, a in enumerate(self.args):
            if (tuple(sorted(a[0].items())), a[1]) == key:
                return i
        self.args.append((mult, phase))
        return len(self.args) - 1


def function_body(text, name):
    m = re.search(r"(?:static\s+)?void\s+" + name + r"\s*\(\s*(?:void)?\s*\)\s*\{", text)
    check(m, "function %s not found in the default build" % name)
    depth = 1
    i = m.end()
    while depth:
        check(i < len(text), "unbalanced braces in %s" % name)
        if text[i] == "{":
            depth += 1
        elif text[i] == "}":
            depth -= 1
        i += 1
    return text[m.end():i - 1]


def statements(body):
    """Split a function body into simple statements; 'for' loops are returned whole."""
    out = []
    i = 0
    n = len(body)
    while i < n:
        while i < n and body[i].isspace():
            i += 1
        if i >= n:
            break
        if re.match(r"for\b", body[i:]):
            j = body.index("{", i)
            depth = 1
            j += 1
            while depth:
                if body[j] == "{":
                    depth += 1
                elif body[j] == "}":
                    depth -= 1
                j += 1
            out.append(body[i:j])
            i = j
            continue
        j = body.index(";", i)
        out.append(body[i:j + 1])
        i = j + 1
    return out


def lunar_explicit_terms(moon_text, z):
    interp = Interp(z, set(ELEMENTS) | {"T", "STR"})
    events = []
    written = set()
    stage = 0
    for fn in ("moon1", "moon2"):
        for st in statements(function_body(moon_text, fn)):
            s = st.strip()
            if s.startswith("for"):
                check(re.fullmatch(r"for\s*\(\s*i\s*=\s*0;\s*i\s*<\s*5;\s*i\+\+\s*\)\s*\{\s*for\s*\(\s*j\s*=\s*0;"
                                   r"\s*j\s*<\s*8;\s*j\+\+\s*\)\s*\{\s*ss\[i\]\[j\]\s*=\s*0;\s*cc\[i\]\[j\]\s*=\s*0;\s*\}\s*\}", s),
                      "unexpected loop in %s: %s" % (fn, s))
                continue  # clearing of the multiple-angle store
            if re.match(r"(double|int)\b", s):
                continue  # declarations
            m = re.fullmatch(r"sscc\s*\(\s*(\d)\s*,\s*STR\s*\*\s*(\w+)\s*,\s*(\d)\s*\)\s*;", s)
            if m:
                k, el, cnt = int(m.group(1)), m.group(2), int(m.group(3))
                check(cnt == LUNAR_STORE_SIZE[k] and el == ELEMENTS[k], "multiple-angle store %s" % s)
                events.append(("store", el))
                continue
            m = re.fullmatch(r"chewm\s*\(\s*(\w+)\s*,\s*(\w+)\s*,\s*4\s*,\s*(\d)\s*,\s*moonpol\s*\)\s*;", s)
            if m:
                events.append(("series", m.group(1), int(m.group(3))))
                continue
            toks = tokenize(s)
            check(toks[-1] == ("op", ";"), "statement without ';': %s" % s)
            toks = toks[:-1]
            # left-hand side
            if toks[0][0] != "id":
                fail("cannot read statement: %s" % s)
            lhs = toks[0][1]
            k = 1
            if len(toks) > 1 and toks[1] == ("op", "["):
                lhs = "%s[%s]" % (lhs, toks[2][1])
                k = 4
            op = toks[k][1]
            rhs_toks = toks[k + 1:]
            if lhs in ("f", "g", "a", "cg", "sg") and op == "=":
                interp.env[lhs] = interp.parse(rhs_toks)
                continue
            rhs = interp.parse(rhs_toks)
            if op == "=" and lhs.startswith("moonpol") and rhs == {}:
                events.append(("clear", lhs))
                continue
            if lhs == "l4" and op == "=":
                check(rhs == {}, "l4 is set to something other than 0")
                events.append(("zero", "l4"))
                continue
            if op == "*=":
                if rhs == P_sym("T"):
                    events.append(("scale", lhs, "T"))
                elif rhs == P_mul(P_const("0.1"), P_sym("T")):
                    events.append(("scale", lhs, "0.1T"))
                else:
                    fail("unexpected scaling %s" % s)
                continue
            if op == "+=" and rhs == P_sym("moonpol[0]"):
                events.append(("fold", "moonpol[0]", lhs))
                continue
            # an accumulation of explicit terms
            check(lhs in TARGETS, "unknown accumulator %s in %s" % (lhs, s))
            if op == "=":
                check(lhs not in written, "%s is set after it was written: %s" % (lhs, s))
            elif op == "-=":
                rhs = P_mul(P_const(-1), rhs)
            else:
                check(op == "+=", "unexpected operator in %s" % s)
            written.add(lhs)
            check(rhs, "empty term in %s" % s)
            for mono, c in rhs.items():
                trig = [x for x in mono if x.startswith(("sin#", "cos#"))]
                rest = [x for x in mono if not x.startswith(("sin#", "cos#"))]
                check(len(trig) == 1 and rest in ([], ["T"]), "term %r of %s is not amplitude x sin/cos [x T]" % (mono, s))
                fn_, idx = trig[0].split("#")
                events.append(("amp", int(idx), lhs, fn_, c, len(rest)))
    # Split events into skeleton and terms; stages are delimited by the
    # skeleton positions where the evaluator walks a term table.
    skeleton = []
    stage_amps = [[], [], []]
    stage_of = 0
    # The first term of each stage marks where that stage's table walk belongs.
    seen_stage = set()
    for ev in events:
        if ev[0] == "amp":
            if stage_of not in seen_stage:
                skeleton.append(("stage", stage_of))
                seen_stage.add(stage_of)
            stage_amps[stage_of].append(ev)
        else:
            skeleton.append(ev)
            if ev[0] == "scale" and ev[1] == "moonpol[2]":
                stage_of += 1
    check(skeleton == EXPECTED_SKELETON,
          "the lunar code's structure changed:\n  got      %s\n  expected %s" % (skeleton, EXPECTED_SKELETON))
    # c2 receives the first-order longitude sum only after all its terms.
    fold_pos = events.index(("fold", "moonpol[0]", "l2"))
    check(all(not (e[0] == "amp" and e[2] == "l2") for e in events[fold_pos:]), "c2 written after the fold")

    stages = []
    for st, amps in enumerate(stage_amps):
        terms = []
        index = {}
        for _, idx, target, fn_, c, tpow in amps:
            check(target in STAGE_TARGETS[st], "stage %d writes %s" % (st + 1, target))
            if idx not in index:
                index[idx] = len(terms)
                mult, phase = interp.args[idx]
                terms.append(dict(mult=[mult.get(e, 0) for e in ELEMENTS], phase=phase, amps=[]))
            term = terms[index[idx]]
            slot = None
            for a in term["amps"]:
                if a["target"] == target and a["tpow"] == tpow:
                    slot = a
            if slot is None:
                slot = dict(target=target, tpow=tpow, cos=Decimal(0), sin=Decimal(0))
                term["amps"].append(slot)
            slot[fn_] += c
        check(len(terms) == STAGE_TERM_COUNTS[st],
              "stage %d has %d explicit terms, expected %d" % (st + 1, len(terms), STAGE_TERM_COUNTS[st]))
        for t in terms:
            check(len(t["amps"]) <= 4, "more than four amplitudes for one argument")
        stages.append(terms)

    # Reference values: the first term of the first stage, the first and a
    # later term of the third.
    t0 = stages[0][0]
    check(t0["mult"] == [0, 0, -1, 0, 0, 18, -16, 0, 0, 0] and t0["phase"] == 0, "first explicit term's argument")
    want = {("l", 0): (6.367278, 12.747036), ("l1", 0): (23123.7, -10570.02),
            ("l2", 0): (-84.29817796435, -207.2552484689), ("moonpol[2]", 0): (5.01, 2.72)}
    got = {(a["target"], a["tpow"]): (float(a["cos"]), float(a["sin"])) for a in t0["amps"]}
    check(got == want, "first explicit term's amplitudes %s" % got)
    last = stages[0][-1]
    check(last["mult"][:4] == [2, -1, -1, 0] and
          [(a["target"], a["tpow"], float(a["cos"]), float(a["sin"])) for a in last["amps"]] ==
          [("moonpol[2]", 1, -0.191, 0.0)], "last radius term of the first stage")
    lon3 = [t for t in stages[2] if t["amps"][0]["target"] == "l"]
    lat3 = [t for t in stages[2] if t["amps"][0]["target"] == "B"]
    check(len(lon3) == 28 and len(lat3) == 8, "third stage: %d longitude and %d latitude terms" % (len(lon3), len(lat3)))
    b0 = lat3[0]
    check(b0["mult"] == [0, 0, 0, 0, 1, 0, 0, 0, 0, 0] and float(b0["phase"]) == 648002.556 and
          float(b0["amps"][0]["sin"]) == 8.04508, "first latitude term of the third stage")
    a0 = lon3[0]
    check(a0["mult"] == [2, 0, -1, 0, 0, 0, 2, 0, -2, 0] and float(a0["phase"]) == 648431.172 and
          float(a0["amps"][0]["sin"]) == 1.14307, "first longitude term of the third stage")
    for t in stages[2]:
        check(len(t["amps"]) == 1 and t["amps"][0]["cos"] == 0 and t["amps"][0]["tpow"] == 0,
              "third-stage terms are sine terms without T")
    return stages


def mean_elements(moon_text, z):
    body = function_body(moon_text, "mean_elements") + function_body(moon_text, "mean_elements_pl")
    interp = Interp(z, {"T", "fracT"})
    res = {}
    for st in statements(body):
        s = st.strip()
        if re.match(r"double\s+fracT\s*=\s*fmod\s*\(\s*T\s*,\s*1\s*\)\s*;", s):
            continue
        m = re.fullmatch(r"(\w+)\s*(\+?=)\s*(.*);", s, flags=re.S)
        check(m and m.group(1) in ELEMENTS, "unexpected statement in the mean elements: %s" % s)
        el, op = m.group(1), m.group(2)
        interp.mods = []
        v = interp.parse(tokenize(m.group(3)))
        if op == "=":
            check(el not in res and len(interp.mods) == 1 and v == interp.mods[0],
                  "%s: expected mods3600(linear)" % el)
            turns = v.pop(("fracT",), Decimal(0))
            check(turns % 1296000 == 0, "%s: fracT coefficient is not whole turns" % el)
            rate = turns + v.pop(("T",), Decimal(0))
            phase = v.pop((), Decimal(0))
            check(not v, "%s: linear part has other terms %r" % (el, v))
            res[el] = dict(rate=rate, phase=phase, higher=[])
        else:
            check(el in res and not res[el]["higher"], "%s: second higher-power part" % el)
            hp = {}
            for k, c in v.items():
                check(all(x == "T" for x in k) and len(k) >= 2, "%s: higher part term %r" % (el, k))
                hp[len(k)] = c
            deg = max(hp)
            res[el]["higher"] = [hp.get(p, Decimal(0)) for p in range(2, deg + 1)]
    check(sorted(res) == sorted(ELEMENTS), "mean elements found: %s" % sorted(res))
    for el, (rate, phase, higher) in MEAN_ELEMENT_CHECK.items():
        r = res[el]
        check(float(r["rate"]) == rate, "%s: rate %s, expected %r" % (el, r["rate"], rate))
        check(float(r["phase"]) == phase, "%s: phase %s" % (el, r["phase"]))
        check([float(x) for x in r["higher"]] == higher, "%s: higher powers %s" % (el, r["higher"]))
        check(len(higher) <= 9, "too many powers")
    return res


def lunar_tables(moon_text):
    tabs = {}
    beyond = []
    for name, desc, rows, kind, width in LUNAR_TABLES:
        m = re.search(r"#define\s+N" + name + r"\s+(\d+)", moon_text)
        check(m and int(m.group(1)) == rows, "N%s is not %d" % (name, rows))
        vals = [int(x) for x in c_array(moon_text, "short", name)]
        check(len(vals) == rows * width, "%s has %d values, expected %d x %d" % (name, len(vals), rows, width))
        rws = [vals[i * width:(i + 1) * width] for i in range(rows)]
        for r in rws:
            for k in range(4):
                check(abs(r[k]) <= 8, "%s row %s beyond the eight slots of the multiple-angle store" % (name, r))
                if abs(r[k]) > LUNAR_STORE_SIZE[k]:
                    # The theory fills only LUNAR_STORE_SIZE multiples; a slot
                    # beyond them is zero, so such a row adds nothing.
                    beyond.append((name, r))
            for v in r:
                check(-32768 <= v <= 32767, "%s value outside 16 bits" % name)
        tabs[name] = rws
    for name, first in LUNAR_FIRST_ROWS.items():
        check(tabs[name][0] == first, "first row of %s is %s" % (name, tabs[name][0]))
    check(beyond == [("LR", [0, 0, 5, 0, 0, 1110, 0, -589])], "rows beyond the store: %s" % beyond)
    return tabs


# ---------------------------------------------------------------------------
# Output

def fmt_num(x):
    """Shortest decimal text that reads back as the same double."""
    return repr(float(x))


def header_comment(what, sources):
    return ("// %s\n//\n// Generated by %s from %s.\n"
            "// Do not edit: rerun the generator.\n" % (what, GENERATOR, sources))


def planets_text(planets, source):
    L = [header_comment("PLAN404 planetary tables: Mercury to Pluto, Earth-Moon barycentre as body 3.", source)]
    L.append("// S. L. Moshier's PLAN404 fits to DE404 as carried by swemptab.h (GPL-2.0-or-later option).\n")
    L.append('#include "data/plan404_tables.h"\n\nnamespace orv::data {\nnamespace {\n\n')
    for p in planets:
        L.append("// %s: %d periodic terms, %d coefficients per series.\n" % (p["label"], p["nper"], p["ncoef"]))
        L.append("const signed char k%sArgs[] = {\n" % p["key"].capitalize())
        # one term per line
        a = p["args"]
        i = 0
        while True:
            n = a[i]
            if n < 0:
                L.append("    %d,\n" % n)
                break
            if n == 0:
                L.append("    %s,\n" % ", ".join(str(x) for x in a[i:i + 2]))
                i += 2
            else:
                L.append("    %s,\n" % ", ".join(str(x) for x in a[i:i + 2 + 2 * n]))
                i += 2 + 2 * n
        L.append("};\n")
        for suffix, tab in (("Lon", p["lon"]), ("Lat", p["lat"]), ("Rad", p["rad"])):
            L.append("const double k%s%s[] = {\n" % (p["key"].capitalize(), suffix))
            vals = [fmt_num(x) for x in tab]
            for j in range(0, len(vals), 4):
                L.append("    " + ", ".join(vals[j:j + 4]) + ",\n")
            L.append("};\n")
        L.append("\n")
    L.append("}  // namespace\n\n")
    L.append("const Plan404PlanetTable kPlan404Planets[kPlan404PlanetCount] = {\n")
    for p in planets:
        K = p["key"].capitalize()
        L.append("    {{%s}, %d, k%sArgs, k%sLon, k%sLat, k%sRad, %s, %d, %d},  // %s\n" % (
            ", ".join(str(h) for h in p["harm"]), p["npow"], K, K, K, K, fmt_num(p["dist"]),
            p["nper"], p["ncoef"], p["label"]))
    L.append("};\n\n}  // namespace orv::data\n")
    return "".join(L)


def moon_text(elements, tabs, stages, source):
    L = [header_comment("PLAN404 lunar theory: mean elements, series tables and explicit terms.", source)]
    L.append("// S. L. Moshier's adjustment of ELP2000-85 to DE404 as carried by swemmoon.c (GPL-2.0-or-later option).\n")
    L.append('#include "data/plan404_tables.h"\n\nnamespace orv::data {\n\n')
    L.append("// Mean elements: ReduceArcseconds(rate T + phase) + T^2 (c0 + c1 T + ...), arc-seconds,\n"
             "// T in Julian centuries from J2000.0. Order: D, l', l, F, L, Venus, Earth, Mars, Jupiter, Saturn.\n")
    L.append("const Plan404MoonMeanElement kPlan404MoonMeanElements[kPlan404MoonElementCount] = {\n")
    for el, nm in zip(ELEMENTS, ELEMENT_NAMES):
        r = elements[el]
        hi = r["higher"] + [Decimal(0)] * (9 - len(r["higher"]))
        L.append("    {%s, %s, %d, {%s}},  // %s\n" % (fmt_num(r["rate"]), fmt_num(r["phase"]), len(r["higher"]),
                                                    ", ".join(fmt_num(x) for x in hi), nm))
    L.append("};\n\n")
    var = {"LRT2": "kPlan404MoonFirstLonRad", "BT2": "kPlan404MoonFirstLat", "BT": "kPlan404MoonSecondLat",
           "LRT": "kPlan404MoonSecondLonRad", "LR": "kPlan404MoonMainLonRad", "MB": "kPlan404MoonMainLat"}
    for name, desc, rows, kind, width in LUNAR_TABLES:
        L.append("// %s: %d rows of kind %d (multipliers of D, l', l, F; amplitudes).\n" % (desc, rows, kind))
        L.append("const Plan404MoonRow %s[%d] = {\n" % (var[name], rows))
        for r in tabs[name]:
            amps = r[4:] + [0] * (8 - width)
            L.append("    {{%s}, {%s}},\n" % (", ".join("%2d" % x for x in r[:4]), ", ".join("%6d" % x for x in amps)))
        L.append("};\n")
    L.append("\n")
    stage_desc = ["first stage (amplitudes of c1, c2, c3 in 1e-5 arc-second; radius terms in the units of the "
                  "first-order table, before the factor T)",
                  "second stage (latitude terms in the units of the second latitude table, before the factor 0.1 T)",
                  "third stage (sine terms in arc-seconds)"]
    names = ["kPlan404MoonStage1Terms", "kPlan404MoonStage2Terms", "kPlan404MoonStage3Terms"]
    for st, terms in enumerate(stages):
        L.append("// Explicit terms, %s.\n// Argument = sum of multipliers x (D, l', l, F, L, Venus, Earth, Mars, Jupiter, "
                 "Saturn) + phase (arc-seconds).\n" % stage_desc[st])
        L.append("const Plan404MoonTerm %s[%d] = {\n" % (names[st], len(terms)))
        for t in terms:
            amps = ", ".join("{%s, %d, %s, %s}" % (TARGETS[a["target"]], a["tpow"], fmt_num(a["cos"]), fmt_num(a["sin"]))
                             for a in t["amps"])
            L.append("    {{%s}, %s, %d, {%s}},\n" % (", ".join("%d" % m for m in t["mult"]), fmt_num(t["phase"]),
                                                      len(t["amps"]), amps))
        L.append("};\n")
    L.append("\n}  // namespace orv::data\n")
    return "".join(L)


NUMBER_RE = re.compile(r"[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?")


def code_lines(text):
    """The lines that are not comments (the header names the source, not the numbers)."""
    return [ln for ln in text.split("\n") if not ln.lstrip().startswith("//")]


def compare(path, want):
    """Compares a committed table with the generated text: every number, then every line."""
    check(os.path.exists(path), "%s not found" % path)
    with open(path, encoding="utf-8") as f:
        have = f.read()
    hn = [float(x) for ln in code_lines(have) for x in NUMBER_RE.findall(re.sub(r"\w*[A-Za-z_]\w*", " ", ln))]
    wn = [float(x) for ln in code_lines(want) for x in NUMBER_RE.findall(re.sub(r"\w*[A-Za-z_]\w*", " ", ln))]
    for i, (h, w) in enumerate(zip(hn, wn)):
        check(h == w, "%s: number %d is %r, the source gives %r" % (path, i + 1, h, w))
    check(len(hn) == len(wn), "%s holds %d numbers, the source gives %d" % (path, len(hn), len(wn)))
    for i, (h, w) in enumerate(zip(code_lines(have), code_lines(want))):
        check(h == w, "%s: code line %d differs:\n  committed: %s\n  generated: %s" % (path, i + 1, h, w))
    check(have == want, "%s: the header differs from the generated one" % path)
    return len(hn)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--swisseph", help="folder holding swemptab.h and swemmoon.c (deps/swisseph of npm swisseph)")
    ap.add_argument("--almanac", help="unpacked astronomical-almanac source package, compared when given")
    ap.add_argument("--out", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data"))
    ap.add_argument("--check", action="store_true", help="compare with the files in --out instead of writing them")
    opt = ap.parse_args()
    swedir = opt.swisseph or fetch_sources()
    swe_source = "the Swiss Ephemeris C sources (%s)" % describe_source(swedir)
    swemptab = read_source(swedir, "swemptab.h")
    moon = strip_comments(default_build(read_source(swedir, "swemmoon.c")))
    planets = planet_tables(swemptab, opt.almanac)
    z = [Decimal(x) for x in c_array(moon, "double", "z")]
    check(len(z) == 25, "default-build z[] has %d values, expected 25" % len(z))
    elements = mean_elements(moon, z)
    tabs = lunar_tables(moon)
    stages = lunar_explicit_terms(moon, z)
    outputs = [("plan404_planets.cpp", planets_text(planets, swe_source)),
               ("plan404_moon.cpp", moon_text(elements, tabs, stages, swe_source))]
    if opt.check:
        counts = [compare(os.path.join(opt.out, name), text) for name, text in outputs]
        print("plan404 tables match %s: %s numbers" % (swe_source, " + ".join(str(c) for c in counts)))
        if opt.almanac:
            print("Mercury, Venus and Mars to Pluto also match %s" % describe_almanac(opt.almanac))
        return
    os.makedirs(opt.out, exist_ok=True)
    for name, text in outputs:
        with open(os.path.join(opt.out, name), "w", encoding="utf-8") as f:
            f.write(text)
    print("plan404 tables written from %s: %s" % (swe_source, ", ".join(
        "%s %d/%d" % (p["key"], p["nper"], p["ncoef"]) for p in planets)))
    print("lunar explicit terms per stage: %s" % [len(s) for s in stages])


if __name__ == "__main__":
    main()
