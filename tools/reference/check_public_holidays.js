// Compares the days off that `orvanta-cli holidays YEAR --format csv` prints
// with the national almanac's lists (월력요항) as the npm package
// @hyunbinseo/holidays-kr records them (MIT), for every year the package
// holds. Election days and holidays designated once ("선거", "임시") follow no
// rule and are left out of the comparison. The expected rows of
// tests/test_public_holidays.cpp for 2018-2027 were copied from this package.
//
// Usage: (cd /tmp/hk && npm install @hyunbinseo/holidays-kr@5.2027.1)
//        NODE_PATH=/tmp/hk/node_modules node tools/reference/check_public_holidays.js build/orvanta-cli
"use strict";
const { execFileSync } = require("child_process");
const path = require("path");
const { pathToFileURL } = require("url");

async function main() {
  const cli = process.argv[2] || "build/orvanta-cli";
  // An ES module: import() does not search NODE_PATH, so resolve it there.
  const root = (process.env.NODE_PATH || "node_modules").split(path.delimiter)[0];
  const all = await import(pathToFileURL(path.join(root, "@hyunbinseo/holidays-kr/dist/all.js")).href);
  const presets = Object.entries(all).filter(([name]) => /^y\d{4}$/.test(name));
  let failures = 0;
  for (const [name, preset] of presets) {
    const year = Number(name.slice(1));
    const want = Object.entries(preset)
      .filter(([, names]) => !names.some((n) => /선거|임시/.test(n)))
      .map(([date]) => date)
      .sort();
    const csv = execFileSync(cli, ["holidays", String(year), "--format", "csv"], { encoding: "utf8" });
    const got = csv.trim().split("\n").slice(1).map((l) => l.split(",")).filter((f) => f[2] === "1").map((f) => f[0]);
    const ok = want.join(" ") === got.join(" ");
    if (!ok) failures++;
    console.log(`${ok ? "ok  " : "FAIL"} ${year}${ok ? "" : `\n  want ${want.join(" ")}\n  got  ${got.join(" ")}`}`);
  }
  console.log(`${presets.length} years, ${failures} failures`);
  process.exit(failures ? 1 : 0);
}
main();
