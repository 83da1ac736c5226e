// varnel.html in Debian's Chromium, headless: files dropped on the page through the
// browser's own drop event, every option, the messages, a binary file and a 100 MB file,
// each CSV file compared byte for byte with varnel-cli's.
// node page-test.mjs VARNEL_HTML VARNEL_CLI [SCREENSHOT]
import assert from "node:assert/strict";
import {execFileSync} from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import test from "node:test";
import puppeteer from "puppeteer-core";

const [html, cli, screenshot] = process.argv.slice(2).map(p => path.resolve(p));
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "varnel-web-"));
const record = "####" + ["A-7 B", "    1234.567", "          -89.01", "0.5"].map(f => f.padEnd(16)).join("") + "~".repeat(16);
const file = (name, bytes, at = path.join(scratch, name)) =>
    (fs.mkdirSync(path.dirname(at), {recursive: true}), fs.writeFileSync(at, bytes), at);
const texts = {drop: "Перетащите файлы формата SDR на значок программы.", read: "Произошла ошибка при чтении файла.",
               write: "Произошла ошибка при записи файла.", cannotRun: "Эта страница не может работать в этом браузере."};
const csv = (...lines) => lines.map(line => line + "\r\n").join("");

const chromium = (...flags) => puppeteer.launch({
  executablePath: "/usr/bin/chromium", headless: true,
  args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking", "--disable-component-update",
         "--disable-sync", "--no-first-run", ...flags],
});
const browser = await chromium();
const requests = [];
const downloads = path.join(scratch, "downloads");
// A tab on url, whose downloads land in the downloads folder.
async function open(url) {
  const tab = await browser.newPage();
  tab.on("request", request => requests.push(request.url()));
  const cdp = await tab.createCDPSession();
  await cdp.send("Browser.setDownloadBehavior", {behavior: "allow", downloadPath: downloads});
  await tab.goto(url);
  return {page: tab, cdp};
}
const fromDisk = await open("file://" + html);
let {page, cdp} = fromDisk;
test.after(() => browser.close());

// Drops files on the page, as a file manager does, and waits for the window's answer.
async function drop(...files) {
  for (const type of ["dragEnter", "dragOver", "drop"]) {
    await cdp.send("Input.dispatchDragEvent", {type, x: 300, y: 40, data: {items: [], files, dragOperationsMask: 1}});
  }
  await page.waitForFunction(() => document.getElementById("lblInfo")?.textContent || document.getElementById("box").open,
                             {timeout: 10000});
}

// Answers every message box until the run ends; returns the messages and the download.
async function runToEnd() {
  const messages = [], locked = [];
  fs.rmSync(downloads, {recursive: true, force: true});
  for (const start = Date.now(); await page.evaluate(() => document.body.dataset.state) !== "ended";) {
    assert.ok(Date.now() - start < 300000, "the run did not end");
    if (await page.evaluate(() => document.getElementById("box").open)) {
      messages.push(await page.$eval("#text", p => p.textContent));
      // A message during the run finds the options locked, as Run left them.
      locked.push(await page.$$eval("#cmdOk, #chChangeXY input, #fr1, #Opt1 input, #Opt2 input, #Opt3 input",
                                    controls => controls.every(control => control.disabled)));
      await page.click("#ok");
    }
    await new Promise(resolve => setTimeout(resolve, 50));
  }
  const name = await page.evaluate(() => document.querySelector("#results a")?.download);
  // Chromium gives a download its name once it is complete.
  while (name && !fs.existsSync(path.join(downloads, name))) await new Promise(resolve => setTimeout(resolve, 50));
  await page.evaluate(() => delete document.body.dataset.state);
  const listed = await page.$$eval("#results li", items => items.map(item => item.firstChild.textContent));
  return {messages, download: name && fs.readFileSync(path.join(downloads, name)), locked, listed};
}

function viaCli(file, flags = []) {
  const copy = path.join(scratch, "cli-" + path.basename(file));
  fs.copyFileSync(file, copy);
  fs.rmSync(copy.replace(/sdr$/, "csv"), {force: true});
  execFileSync(cli, [...flags, copy]);
  return fs.readFileSync(copy.replace(/sdr$/, "csv"));
}

// Records among other lines, every line end, long lines and bytes of every value.
const mixed = file("mixed.sdr", Buffer.concat(Array.from({length: 3000}, (_, i) => Buffer.concat([
  Buffer.from(record.replace("A-7 B", String(i).padEnd(5)) + ["\r\n", "\n", "\r"][i % 3], "latin1"),
  Buffer.from([i % 256, 32, 200, 10]), Buffer.from("z".repeat(i % 7 ? 83 : 5000) + "\r\n")]))));

test("the window on the page: its title, captions and initial states", async () => {
  await drop(file("a.sdr", record + "\r\n"), file("notes.txt", "x"));
  assert.equal(await page.$eval("#lblInfo", l => l.textContent), "Выбрано файлов SDR: 1");
  const look = await page.$$eval("#client > *", controls => controls.filter(c => !c.hidden).map(c =>
      [c.id, c.querySelector("legend")?.textContent ?? c.textContent, c.offsetLeft, c.offsetTop, c.offsetWidth,
       c.offsetHeight, c.querySelector("input")?.checked ?? null]));
  assert.deepEqual(look, [
    ["fr1", "Разделитель", 6, 24, 187, 43, null], ["Opt3", "Tab", 108, 42, 79, 20, false],
    ["Opt2", ",", 60, 42, 43, 19, false], ["Opt1", ";", 12, 42, 43, 19, true],
    ["cmdOk", "Выполнить", 108, 72, 85, 19, null], ["chChangeXY", "Поменять местами X и Y", 6, 6, 187, 14, true],
    ["Label1", "Будут созданы файлы CSV с такими же именами как файлы SDR. Если файлы CSV уже существуют - они будут дописаны!",
     6, 114, 187, 73, null],
    ["lblInfo", "Выбрано файлов SDR: 1", 6, 96, 187, 19, null]]);
  if (screenshot) await page.screenshot({path: screenshot, clip: {x: 0, y: 0, width: 800, height: 420}});
  await page.click("#close");
  const closed = await runToEnd();
  assert.deepEqual([closed.messages, closed.download], [[], undefined]);
});

test("every separator, with X and Y exchanged or kept, gives varnel-cli's bytes", async () => {
  const cases = [[null, true, []], ["Opt2", true, ["-s", "comma"]], ["Opt3", true, ["-s", "tab"]],
                 [null, false, ["-k"]], ["Opt2", false, ["-s", "comma", "-k"]], ["Opt3", false, ["-s", "tab", "-k"]]];
  for (const [option, exchange, flags] of cases) {
    await drop(mixed);
    if (option) await page.click("#" + option + " input");
    if (!exchange) await page.click("#chChangeXY input");
    await page.click("#cmdOk");
    const run = await runToEnd();
    assert.deepEqual(run.messages, []);
    assert.ok(run.download.equals(viaCli(mixed, flags)), flags.join(" "));
  }
});

test("several files: one unreadable, a binary one, no SDR files (one a CSV file), two of one name", async () => {
  let seed = 7;
  const binary = file("photo.sdr", Buffer.from(Array.from({length: 1 << 20}, (_, i) =>
      i % 85 === 84 ? 10 : (seed = (seed * 1103515245 + 12345) >>> 0) >>> 24)));
  const gone = file("gone.sdr", record);
  await drop(gone, binary, file("b.SDR", record + "\n" + record), file("read-me.txt", "x"),
             file("photo.csv", "an earlier run\r\n"), file("other/B.sdr", record.replace("A-7 B", "other")));
  assert.equal(await page.$eval("#lblInfo", l => l.textContent), "Выбрано файлов SDR: 4");
  fs.rmSync(gone);
  await page.click("#cmdOk");
  const run = await runToEnd();
  assert.deepEqual(run.messages, [texts.read]);
  assert.deepEqual(run.locked, [true]);
  assert.deepEqual(run.listed, ["varnel-csv.zip", "photo.csv", "b.csv", "B (1).csv"]);
  const unzipped = path.join(scratch, "unzipped");
  execFileSync("unzip", ["-o", "-q", "-d", unzipped, path.join(downloads, "varnel-csv.zip")]);
  assert.deepEqual(fs.readdirSync(unzipped).sort(), ["B (1).csv", "b.csv", "photo.csv"]);
  assert.ok(fs.readFileSync(path.join(unzipped, "photo.csv")).equals(viaCli(binary)));
  assert.equal(fs.readFileSync(path.join(unzipped, "b.csv"), "latin1"), "A-7B;-89.01;1234.567;0.5\r\n".repeat(2));
  assert.equal(fs.readFileSync(path.join(unzipped, "B (1).csv"), "latin1"), csv("other;-89.01;1234.567;0.5"));
});

test("no usable file: the drop message, and the end", async () => {
  await drop(file("notes.txt", "x"));
  const run = await runToEnd();
  assert.deepEqual([run.messages, run.download], [[texts.drop], undefined]);
});

test("a 100 MB file converts in the worker, with the page responsive, memory bounded, and closing ending it", async () => {
  const lines = [];
  for (let i = 0, size = 0; size < 100 * 1024 * 1024; ++i) {
    const line = "08TP" + [String(i), (5000 + i * 0.01).toFixed(3), (2000 + i * 0.02).toFixed(3),
                           (100 + i % 50).toFixed(3), "PT"].map(f => f.padStart(16)).join("") + "\r\n03NM1.600000000\r\n";
    lines.push(line);
    size += line.length;
  }
  const big = file("big.sdr", lines.join(""));
  const cliStart = process.hrtime.bigint();
  const expected = viaCli(big);
  const cliSeconds = Number(process.hrtime.bigint() - cliStart) / 1e9;
  await drop(big);
  // The page's longest pause between two timer callbacks, and the browser's memory.
  await page.evaluate(() => {
    window.longestPause = 0;
    let last = performance.now();
    setInterval(() => (window.longestPause = Math.max(window.longestPause, performance.now() - last), last = performance.now()), 20);
  });
  // The resident memory of the browser and every process under it, in KiB.
  const memory = () => {
    const stats = fs.readdirSync("/proc").filter(entry => /^\d+$/.test(entry)).flatMap(pid => {
      try {
        const stat = fs.readFileSync(`/proc/${pid}/stat`, "utf8").split(") ")[1].split(" ");
        return [{pid: +pid, parent: +stat[1], rss: +stat[21] * 4}];
      } catch {
        return [];
      }
    });
    const family = new Set([browser.process().pid]);
    for (let grown = true; grown;) {
      grown = false;
      for (const s of stats) if (family.has(s.parent) && !family.has(s.pid)) family.add(s.pid), grown = true;
    }
    return stats.filter(s => family.has(s.pid)).reduce((sum, s) => sum + s.rss, 0);
  };
  const before = memory();
  let peak = before;
  const sampler = setInterval(() => (peak = Math.max(peak, memory())), 100);
  const start = process.hrtime.bigint();
  await page.click("#cmdOk");
  const run = await runToEnd();
  const seconds = Number(process.hrtime.bigint() - start) / 1e9;
  clearInterval(sampler);
  const pause = await page.evaluate(() => window.longestPause);
  console.log(`100 MB: the page ${seconds.toFixed(1)} s, peak memory ${((peak - before) / 1024).toFixed(0)} MiB above ` +
              `${(before / 1024).toFixed(0)} MiB, longest pause ${pause.toFixed(0)} ms; varnel-cli ${cliSeconds.toFixed(2)} s`);
  assert.ok(run.download.equals(expected));
  assert.ok(pause < 500, `the page paused for ${pause} ms`);
  assert.ok(peak - before < 400 * 1024, `${peak - before} KiB`);
  // Closed during the run, it ends at once: the lines converted so far, whole.
  await drop(big);
  await page.click("#cmdOk");
  await new Promise(resolve => setTimeout(resolve, 1500));
  await page.click("#close");
  const closed = await runToEnd();
  assert.ok(closed.download.length > 0 && closed.download.length < expected.length, `${closed.download.length} bytes`);
  assert.ok(expected.subarray(0, closed.download.length).equals(closed.download) &&
            closed.download.subarray(-2).toString() === "\r\n");
});

test("a folder granted: each CSV file lands there, appended to, named as downloads are; a write it refuses", async () => {
  // Browsers grant folders to pages of a host only; the test's own folder stands in for
  // the one the user would pick.
  const server = http.createServer((request, response) => response.end(fs.readFileSync(html))).listen(0, "127.0.0.1");
  await new Promise(resolve => server.on("listening", resolve));
  const origin = `http://127.0.0.1:${server.address().port}`;
  ({page, cdp} = await open(origin + "/varnel.html"));
  await page.evaluate(async () => {
    const folder = await navigator.storage.getDirectory();
    const existing = await (await folder.getFileHandle("a.csv", {create: true})).createWritable();
    await existing.write("old line without end");
    await existing.close();
    await useFolder(folder);
  });
  const folder = () => page.evaluate(async () => {
    const files = {};
    for await (const [name, file] of await navigator.storage.getDirectory()) files[name] = await (await file.getFile()).text();
    return files;
  });
  assert.match(await page.$eval("#destination", p => p.textContent), /будут записаны в папку/);
  await drop(file("a.sdr", record + "\r\n" + record), file("a.csv", "dropped\r\n"), file("one/b.sdr", record),
             file("two/b.SDR", record.replace("A-7 B", "two  ")));
  assert.equal(await page.$eval("#folder", button => button.disabled), true);
  await page.click("#cmdOk");
  const run = await runToEnd();
  assert.deepEqual([run.messages, run.listed], [[], ["a.csv", "b.csv", "b (1).csv"]]);
  assert.equal(await page.$eval("#folder", button => button.disabled), false);
  assert.deepEqual(await folder(), {"a.csv": "old line without end" + csv("A-7B;-89.01;1234.567;0.5").repeat(2),
                                    "b.csv": csv("A-7B;-89.01;1234.567;0.5"), "b (1).csv": csv("two;-89.01;1234.567;0.5")});
  // A write the folder refuses: the browser's quota, a little above what the folder holds.
  const big = file("y.sdr", (record + "\r\n").repeat(5000));
  const {usage} = await page.evaluate(() => navigator.storage.estimate());
  await cdp.send("Storage.overrideQuotaForOrigin", {origin, quotaSize: usage + 20000});
  await drop(file("x.sdr", record), big);
  await page.click("#cmdOk");
  assert.deepEqual((await runToEnd()).messages, [texts.write]);
  const {"x.csv": x, "y.csv": y} = await folder();
  assert.equal(x, csv("A-7B;-89.01;1234.567;0.5"));
  assert.ok(viaCli(big).toString("latin1").startsWith(y) && /^$|\r\n$/.test(y), `y.csv: ${y.length} bytes`);
  server.close();
  ({page, cdp} = fromDisk);
});

test("a browser without WebAssembly: the page says so, and takes the next drop", async () => {
  // V8 without its compilers (--jitless) offers no WebAssembly, to pages and workers alike.
  const jitless = await chromium("--js-flags=--jitless");
  page = await jitless.newPage();
  await page.goto("file://" + html);
  cdp = await page.createCDPSession();
  for (const _ of [1, 2]) {
    await drop(file("a.sdr", record));
    assert.deepEqual((await runToEnd()).messages, [texts.cannotRun]);
  }
  await jitless.close();
  ({page, cdp} = fromDisk);
});

test("the page asks for nothing on the network", () => {
  // The only page loaded from a host is the test's own, for the granted folder.
  assert.deepEqual(requests.filter(url => !/^(file|blob|data):|^http:\/\/127\.0\.0\.1:\d+\/varnel\.html$/.test(url)), []);
});
