// varnel.html in Debian's Chromium, headless: files dropped on the page through the
// browser's own drop event, the options, the messages, a binary file and a 100 MB file,
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
const csv = (...lines) => lines.map(line => line + "\r\n").join("");
const pause = ms => new Promise(resolve => setTimeout(resolve, ms));

const chromium = (...flags) => puppeteer.launch({
  executablePath: "/usr/bin/chromium", headless: true,
  // With puppeteer's own flags, which keep background networking, sync and first-run pages off.
  args: ["--no-sandbox", "--disable-gpu", "--disable-component-update", ...flags],
});
const browser = await chromium();
const requests = [];
const downloads = path.join(scratch, "downloads");
// A tab on url, whose downloads land in the downloads folder.
async function open(url, on = browser) {
  const tab = await on.newPage();
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
// An earlier run's download goes first: a short run may be over before runToEnd starts.
async function drop(...files) {
  fs.rmSync(downloads, {recursive: true, force: true});
  for (const type of ["dragEnter", "dragOver", "drop"]) {
    await cdp.send("Input.dispatchDragEvent", {type, x: 300, y: 40, data: {items: [], files, dragOperationsMask: 1}});
  }
  await page.waitForFunction(() => document.getElementById("lblInfo")?.textContent || document.getElementById("box").open,
                             {timeout: 10000});
}

// Answers every message box until the run ends; returns the messages, whether each found
// the options locked as Run leaves them, the names listed and the download.
async function runToEnd() {
  const messages = [], locked = [];
  for (const start = Date.now(); await page.evaluate(() => document.body.dataset.state) !== "ended"; await pause(50)) {
    assert.ok(Date.now() - start < 300000, "the run did not end");
    if (!await page.evaluate(() => document.getElementById("box").open)) continue;
    messages.push(await page.$eval("#text", p => p.textContent));
    locked.push(await page.$$eval("#cmdOk, #chChangeXY input, #fr1, #Opt1 input, #Opt2 input, #Opt3 input",
                                  controls => controls.every(control => control.disabled)));
    await page.click("#ok");
  }
  const name = await page.evaluate(() => document.querySelector("#results a")?.download);
  // Chromium gives a download its name once it is complete.
  while (name && !fs.existsSync(path.join(downloads, name))) await pause(50);
  await page.evaluate(() => delete document.body.dataset.state);
  const listed = await page.$$eval("#results li", items => items.map(item => item.firstChild.textContent));
  return {messages, download: name && fs.readFileSync(path.join(downloads, name)), locked, listed};
}

// Drops the files, clicks the controls and Run, does what else the user does, and waits
// for the end.
async function run(files, clicks = [], then = () => {}) {
  await drop(...files);
  for (const selector of [...clicks, "#cmdOk"]) await page.click(selector);
  await then();
  return runToEnd();
}

// The same file converted by varnel-cli, from standard input to standard output.
const viaCli = (file, flags = []) => execFileSync(cli, [...flags, "-"], {input: fs.readFileSync(file), maxBuffer: 1 << 30});

test("the window on the page: its captions and initial states; no usable file: the drop message", async () => {
  await drop(file("a.sdr", record + "\r\n"), file("notes.txt", "x"));
  const look = await page.$$eval("#client > *", controls => controls.filter(c => !c.hidden).map(c =>
      [c.id, c.querySelector("legend")?.textContent ?? c.textContent, c.offsetLeft, c.offsetTop, c.offsetWidth,
       c.offsetHeight, c.querySelector("input")?.checked ?? null].join()));
  assert.deepEqual(look, ["fr1,Разделитель,6,24,187,43,", "Opt3,Tab,108,42,79,20,false", "Opt2,,,60,42,43,19,false",
    "Opt1,;,12,42,43,19,true", "cmdOk,Выполнить,108,72,85,19,", "chChangeXY,Поменять местами X и Y,6,6,187,14,true",
    "Label1,Будут созданы файлы CSV с такими же именами как файлы SDR. Если файлы CSV уже существуют - они будут дописаны!," +
    "6,114,187,73,", "lblInfo,Выбрано файлов SDR: 1,6,96,187,19,"]);
  if (screenshot) await page.screenshot({path: screenshot, clip: {x: 0, y: 0, width: 800, height: 450}});
  await page.click("#close");
  assert.deepEqual(Object.values(await runToEnd()).slice(0, 2), [[], undefined]);
  await drop(file("notes.txt", "x"));
  assert.deepEqual((await runToEnd()).messages, ["Перетащите файлы формата SDR на значок программы."]);
});

test("several files: every separator, X and Y exchanged or kept, one unreadable, a binary one, two of one name", async () => {
  // Records among other lines, every line end, long lines and bytes of every value.
  const mixed = file("mixed.sdr", Buffer.concat(Array.from({length: 3000}, (_, i) => Buffer.concat([
    Buffer.from(record.replace("A-7 B", String(i).padEnd(5)) + ["\r\n", "\n", "\r"][i % 3], "latin1"),
    Buffer.from([i % 256, 32, 200, 10]), Buffer.from("z".repeat(i % 7 ? 83 : 5000) + "\r\n")]))));
  for (const [clicks, flags] of [[[], []], [["#Opt2 input", "#chChangeXY input"], ["-s", "comma", "-k"]],
                                 [["#Opt3 input"], ["-s", "tab"]]]) {
    const {messages, download} = await run([mixed], clicks);
    assert.deepEqual(messages, []);
    assert.ok(download.equals(viaCli(mixed, flags)), flags.join(" "));
  }
  let seed = 7;
  const binary = file("photo.sdr", Buffer.from(Array.from({length: 1 << 20}, (_, i) =>
      i % 85 === 84 ? 10 : (seed = (seed * 1103515245 + 12345) >>> 0) >>> 24)));
  const gone = file("gone.sdr", record);
  await drop(gone, binary, file("b.SDR", record + "\n" + record), file("read-me.txt", "x"),
             file("photo.csv", "an earlier run\r\n"), file("other/B.sdr", record.replace("A-7 B", "other")));
  assert.equal(await page.$eval("#lblInfo", l => l.textContent), "Выбрано файлов SDR: 4");
  fs.rmSync(gone);
  await page.click("#cmdOk");
  const {messages, locked, listed} = await runToEnd();
  assert.deepEqual([messages, locked, listed], [["Произошла ошибка при чтении файла."], [true],
                                                ["varnel-csv.zip", "photo.csv", "b.csv", "B (1).csv"]]);
  const unzipped = path.join(scratch, "unzipped");
  execFileSync("unzip", ["-o", "-q", "-d", unzipped, path.join(downloads, "varnel-csv.zip")]);
  const unzippedFile = name => fs.readFileSync(path.join(unzipped, name));
  assert.deepEqual(fs.readdirSync(unzipped).sort(), ["B (1).csv", "b.csv", "photo.csv"]);
  assert.ok(unzippedFile("photo.csv").equals(viaCli(binary)));
  assert.equal(unzippedFile("b.csv").toString("latin1"), csv("A-7B;-89.01;1234.567;0.5").repeat(2));
  assert.equal(unzippedFile("B (1).csv").toString("latin1"), csv("other;-89.01;1234.567;0.5"));
});

test("large files convert in the worker, slice by slice, and closing during the run ends it with whole lines", async () => {
  const lines = [];
  for (let i = 0, size = 0; size < 100 * 1024 * 1024; size += lines.at(-1).length, ++i) {
    lines.push("08TP" + [String(i), (5000 + i * 0.01).toFixed(3), (2000 + i * 0.02).toFixed(3), (100 + i % 50).toFixed(3),
                         "PT"].map(f => f.padStart(16)).join("") + "\r\n03NM1.600000000\r\n");
  }
  const big = file("big.sdr", lines.join("")), expected = viaCli(big);
  assert.ok((await run([big])).download.equals(expected));
  // The worker reads 2 MiB at a time: a record cut at the first slice's end, and a CR
  // ending the second slice whose LF begins the third.
  const slice = 2 << 20, filler = n => "x".repeat(n - 2) + "\r\n";
  const cut = file("cut.sdr", filler(slice - 40) + record + "\r\n" + filler(slice - 131) + record + "\r\n" + record);
  assert.ok((await run([cut])).download.equals(viaCli(cut)));
  // Closed once the first piece of the first of two large files has come, at once.
  const {download} = await run([big, big], [], async () => {
    await page.waitForFunction(() => page.outputs.size > 0, {polling: 5});
    await page.$eval("#close", close => close.click());
  });
  const unzipped = path.join(scratch, "closed");
  if (download.subarray(0, 2).toString() === "PK") execFileSync("unzip", ["-o", "-q", "-d", unzipped, path.join(downloads, "varnel-csv.zip")]);
  const parts = download.subarray(0, 2).toString() === "PK" ? fs.readdirSync(unzipped).map(name => fs.readFileSync(path.join(unzipped, name)))
                                                             : [download];
  assert.ok(parts.reduce((sum, part) => sum + part.length, 0) < 2 * expected.length);
  for (const part of parts) assert.ok(expected.subarray(0, part.length).equals(part) && part.subarray(-2).toString() === "\r\n");
  // Closed while a tick waits in the box of a file that could not be read: the run ends
  // with that tick, before the next file and its box.
  const gone = [file("gone1.sdr", record), file("gone2.sdr", record)];
  await drop(...gone);
  gone.forEach(name => fs.rmSync(name));
  await page.click("#cmdOk");
  await page.waitForFunction(() => document.getElementById("box").open);
  await page.evaluate(() => page.worker.postMessage({type: Msg.close}));
  assert.deepEqual((await runToEnd()).messages, ["Произошла ошибка при чтении файла."]);
});

test("the box «Все точки»: every point of each job, counted in the list; kept for the tab, locked during a run", async () => {
  const sdr33 = (type, ...fields) => type + fields.map(f => f.padEnd(16)).join("");
  const jobs = file("jobs.sdr", ["00NMSDR33 V04-04.02".padEnd(40) + "211111", sdr33("02TP", "ST", "100.000", "200.000", "10.000", "1.6"),
    sdr33("09F1", "ST", "A", "25.0000", "100.0000000", "100.0000000", "WALL"), "00NMSDR20 V03-05",  // gons, then SDR20
    "08TPC1  5.000     6.000     7.000     OLD"].join("\r\n"));
  await page.click("::-p-text(Все точки)").then(() => page.reload());
  const shown = await drop(jobs).then(() => page.evaluate(() => [document.title, $("title").textContent, $("allPoints").disabled]));
  const {download, listed} = await page.click("#cmdOk").then(runToEnd);
  assert.deepEqual([shown, listed], [["Varnel", "Varnel — все точки", true], ["jobs.csv — точек: 3"]]);
  assert.ok(download.equals(viaCli(jobs, ["--sdr", "-c", "PENZD"])), download.toString());
});

test("a folder granted: each CSV file lands there, appended to, named as downloads are; a write it refuses", async t => {
  // Browsers grant folders to pages of a host only; the test's own folder stands in for
  // the one the user would pick.
  const server = http.createServer((request, response) => response.end(fs.readFileSync(html))).listen(0, "127.0.0.1");
  await new Promise(resolve => server.on("listening", resolve));
  t.after(() => (server.close(), {page, cdp} = fromDisk));  // whether the test passed or not
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
  const folderLocked = () => page.$eval("#folder", button => button.disabled);
  await drop(file("a.sdr", record + "\r\n" + record), file("a.csv", "dropped\r\n"), file("one/b.sdr", record),
             file("two/b.SDR", record.replace("A-7 B", "two  ")));
  const lockedDuringRun = await folderLocked();
  await page.click("#cmdOk");
  const {messages, listed} = await runToEnd();
  assert.deepEqual([messages, listed, lockedDuringRun, await folderLocked()], [[], ["a.csv", "b.csv", "b (1).csv"], true, false]);
  const point = csv("A-7B;-89.01;1234.567;0.5");
  assert.deepEqual(await folder(), {"a.csv": "old line without end" + point + point, "b.csv": point,
                                    "b (1).csv": csv("two;-89.01;1234.567;0.5")});
  // A write the folder refuses: the browser's quota, a little above what the folder holds.
  const big = file("y.sdr", (record + "\r\n").repeat(5000));
  const {usage} = await page.evaluate(() => navigator.storage.estimate());
  await cdp.send("Storage.overrideQuotaForOrigin", {origin, quotaSize: usage + 20000});
  assert.deepEqual((await run([file("x.sdr", record), big])).messages, ["Произошла ошибка при записи файла."]);
  const {"x.csv": x, "y.csv": y} = await folder();
  assert.equal(x, point);
  assert.ok(viaCli(big).toString("latin1").startsWith(y) && /^$|\r\n$/.test(y), `y.csv: ${y.length} bytes`);
});

test("a browser without WebAssembly: the page says so, and takes the next drop", async t => {
  // V8 without its compilers (--jitless) offers no WebAssembly, to pages and workers alike.
  const jitless = await chromium("--js-flags=--jitless");
  t.after(() => (jitless.close(), {page, cdp} = fromDisk));
  ({page, cdp} = await open("file://" + html, jitless));
  for (const _ of [1, 2]) {
    await drop(file("a.sdr", record));
    assert.deepEqual((await runToEnd()).messages, ["Эта страница не может работать в этом браузере."]);
  }
  // The only page loaded from a host is the test's own, for the granted folder.
  assert.deepEqual(requests.filter(url => !/^(file|blob|data):|^http:\/\/127\.0\.0\.1:\d+\/varnel\.html$/.test(url)), []);
});
