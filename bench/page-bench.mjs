// node bench/page-bench.mjs VARNEL_HTML [VARNEL_CLI]
// varnel.html in headless Chromium on a generated file of 100 MB: how long the page takes,
// beside varnel-cli on the same file (the median of 5 runs), how much memory the browser
// and its processes take above what they held before, and the longest pause between two
// of the page's 20 ms timer callbacks during the run. The page's own tests (tests/web)
// install puppeteer-core.
import {createRequire} from "node:module";
import {execFileSync} from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";

const puppeteer = createRequire(new URL("../tests/web/package.json", import.meta.url))("puppeteer-core");
const html = path.resolve(process.argv[2] ?? "build/web/src/ui/web/varnel.html");
const cli = path.resolve(process.argv[3] ?? "build/linux/src/cli/varnel-cli");
const work = fs.mkdtempSync(path.join(os.tmpdir(), "varnel-page-bench-"));
const lines = [];
for (let i = 0, size = 0; size < 100 * 1024 * 1024; size += lines.at(-1).length, ++i) {
  lines.push("08TP" + [String(i), (5000 + i * 0.01).toFixed(3), (2000 + i * 0.02).toFixed(3), (100 + i % 50).toFixed(3),
                       "PT"].map(f => f.padStart(16)).join("") + "\r\n03NM1.600000000\r\n");
}
const big = path.join(work, "big.sdr");
fs.writeFileSync(big, lines.join(""));

const browser = await puppeteer.launch({executablePath: "/usr/bin/chromium", headless: true,
                                        args: ["--no-sandbox", "--disable-gpu", "--no-first-run"]});
const page = await browser.newPage();
page.on("console", m => console.log("PAGE:", m.text()));
const cdp = await page.createCDPSession();
await cdp.send("Browser.setDownloadBehavior", {behavior: "allow", downloadPath: work});
await page.goto("file://" + html);

// The resident memory of the browser and every process under it, in KiB.
function memory() {
  const stats = fs.readdirSync("/proc").filter(entry => /^\d+$/.test(entry)).flatMap(pid => {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, "utf8").split(") ")[1].split(" ");
      return [{pid: +pid, parent: +stat[1], rss: +stat[21] * 4}];
    } catch {
      return [];  // a process that ended meanwhile
    }
  });
  const family = new Set([browser.process().pid]);
  for (let grown = true; grown;) {
    grown = false;
    for (const s of stats) if (family.has(s.parent) && !family.has(s.pid)) family.add(s.pid), grown = true;
  }
  return stats.filter(s => family.has(s.pid)).reduce((sum, s) => sum + s.rss, 0);
}

for (const type of ["dragEnter", "dragOver", "drop"]) {
  await cdp.send("Input.dispatchDragEvent", {type, x: 300, y: 40, data: {items: [], files: [big], dragOperationsMask: 1}});
}
await page.waitForFunction(() => document.getElementById("lblInfo")?.textContent);
await page.evaluate(() => {
  window.longestPause = 0;
  let last = performance.now();
  setInterval(() => (window.longestPause = Math.max(window.longestPause, performance.now() - last), last = performance.now()), 20);
});
const before = memory();
let peak = before;
const sampler = setInterval(() => (peak = Math.max(peak, memory())), 100);
const start = process.hrtime.bigint();
await page.click("#cmdOk");
await page.waitForFunction(() => document.body.dataset.state === "ended", {timeout: 600000, polling: 50});
const seconds = Number(process.hrtime.bigint() - start) / 1e9;
clearInterval(sampler);
const pause = await page.evaluate(() => window.longestPause);
const cliSeconds = Array.from({length: 5}, () => {
  fs.rmSync(path.join(work, "big.csv"), {force: true});
  const begun = process.hrtime.bigint();
  execFileSync(cli, ["-q", big]);
  return Number(process.hrtime.bigint() - begun) / 1e9;
}).sort((a, b) => a - b)[2];
console.log(`100 MB: the page ${seconds.toFixed(2)} s, varnel-cli ${cliSeconds.toFixed(3)} s ` +
            `(${(seconds / cliSeconds).toFixed(1)} times); peak memory ${((peak - before) / 1024).toFixed(0)} MiB above ` +
            `${(before / 1024).toFixed(0)} MiB, longest pause of the page ${pause.toFixed(0)} ms`);
await browser.close();
fs.rmSync(work, {recursive: true, force: true});
