"use strict";
// The page: draws Varnel's window from the core's own table of controls, runs the core
// in a worker on the files dropped here, and shows, saves or offers what it reports.
// One run at a time, as one Varnel at a time runs on the desktop: files dropped during
// a run are left alone, as a second instance ends silently.
const $ = id => document.getElementById(id);
const Kind = {frame: 0, option: 1, button: 2, check: 3, timer: 4, label: 5};
// The page's own texts: the worker may not run at all.
const texts = {cannotRun: "Эта страница не может работать в этом браузере.",
               fault: "Произошла внутренняя ошибка. Перезагрузите страницу."};
const page = {
  worker: null,          // set for the whole of a run
  ready: false,          // the worker has started
  controls: [],          // the window's controls, in the order of the core's table
  folder: null,          // the folder granted for the CSV files, where browsers allow it
  names: new Set(),      // the CSV files of this run, in the order they came
  allPoints: false,      // this run reads every point of each job
  points: new Map(),     // then the number of points of each CSV file, by name
  outputs: new Map(),    // otherwise the CSV files to offer, by name: their parts, size and CRC-32
  writables: new Map(),  // the CSV files being written into the folder, by name
  writing: Promise.resolve(),
  writeFailed: false,
};

function element(tag, text) {
  const made = document.createElement(tag);
  if (text !== undefined) made.textContent = text;
  return made;
}

// The check of every control; the core knows which of them are its options.
function options() {
  return page.controls.map(control => control.querySelector("input")?.checked === true);
}

// The controls as the core lists them: name, kind, caption, pixel rectangle at 96 DPI,
// tab index, initially checked, bold.
function buildWindow(table) {
  const client = $("client");
  client.replaceChildren();
  page.controls = table.trim().split("\n").map(line => {
    const [name, kind, caption, left, top, width, height, tab, checked, bold] = line.split("\t");
    let control;
    if (+kind === Kind.frame) {
      control = element("fieldset");
      control.append(element("legend", caption));
    } else if (+kind === Kind.option || +kind === Kind.check) {
      const input = element("input");
      input.type = +kind === Kind.option ? "radio" : "checkbox";
      input.name = +kind === Kind.option ? "separator" : name;
      input.checked = checked === "1";
      input.tabIndex = tab;
      input.addEventListener("change", () => page.worker.postMessage({type: Msg.options, options: options()}));
      control = element("label");
      control.append(input, caption);
    } else if (+kind === Kind.button) {
      control = element("button", caption);
      control.tabIndex = tab;
      control.addEventListener("click", () => page.worker.postMessage({type: Msg.run}));
    } else {
      control = element("div", +kind === Kind.timer ? undefined : caption);
      control.hidden = +kind === Kind.timer;
    }
    control.id = name;
    control.classList.toggle("bold", bold === "1");
    Object.assign(control.style, {left: left + "px", top: top + "px", width: width + "px", height: height + "px"});
    client.append(control);
    return control;
  });
}

function disable(index) {
  const control = page.controls[index];
  control.classList.add("disabled");
  for (const input of [control, ...control.querySelectorAll("input")]) input.disabled = true;
}

function showMessage(text) {
  $("text").textContent = text;
  $("box").showModal();
}

// Offers the CSV files as downloads: one as itself, several in one zip archive whose
// item lists their names. The link stays in the list until the next run.
function offer(outputs) {
  const link = element("a", outputs.length === 1 ? described(outputs[0][0]) : "varnel-csv.zip");
  link.href = URL.createObjectURL(outputs.length === 1 ? new Blob(outputs[0][1].parts, {type: "text/csv"}) : zip(outputs));
  link.download = outputs.length === 1 ? outputs[0][0] : link.textContent;
  const item = element("li");
  item.append(link);
  if (outputs.length > 1) {
    const names = element("ul");
    names.append(...listItems(outputs.map(([name]) => name)));
    item.append(names);
  }
  $("results").append(item);
  link.click();
}

const listItems = names => names.map(name => element("li", described(name)));
// A CSV file's name, with its number of points (its lines) when the run read every point
// of each job.
const described = name => page.allPoints ? name + " — точек: " + page.points.get(name) : name;

// A CSV file in the granted folder is appended to, as the window appends to its own.
// After a failed write nothing more is written, as the window stops at its first: each
// file keeps whole lines with no gap, and the core ends the run with its message.
async function write(name, piece) {
  if (page.writeFailed) return;
  try {
    let writable = page.writables.get(name);
    if (!writable) {
      const file = await page.folder.getFileHandle(name, {create: true});
      writable = await file.createWritable({keepExistingData: true});
      page.writables.set(name, writable);
      await writable.seek((await file.getFile()).size);
    }
    await writable.write(piece);
  } catch {
    // A stream whose write failed cannot be closed: its file keeps what it held before.
    page.writables.get(name)?.abort().catch(() => {});
    page.writables.delete(name);
    page.writeFailed = true;
    page.worker.postMessage({type: Msg.writeFailed});
  }
}

// Writes what is still on its way and closes every file; false when a write or a close
// failed.
async function closeFiles() {
  await page.writing;
  const writables = [...page.writables.values()];
  page.writables.clear();
  for (const writable of writables) await writable.close().catch(() => (page.writeFailed = true));
  return !page.writeFailed;
}

function received(message) {
  if (message.type === Msg.ready) {
    page.ready = true;
    URL.revokeObjectURL(page.workerUrl);
    buildWindow(message.controls);
    page.worker.postMessage({type: Msg.start, files: page.files, options: options(), allPoints: page.allPoints});
  } else if (message.type === Msg.show) {
    $("title").textContent = message.title;
    $("window").hidden = false;
    page.controls.find(c => c.id === "chChangeXY").querySelector("input").focus();
  } else if (message.type === Msg.status) {
    $("lblInfo").textContent = message.text;
  } else if (message.type === Msg.disable) {
    disable(message.control);
  } else if (message.type === Msg.message) {
    showMessage(message.text);
  } else if (message.type === Msg.output) {
    // A piece of a CSV file, as the browser keeps files, summed up by the worker.
    page.names.add(message.name);
    if (page.allPoints) page.points.set(message.name, (page.points.get(message.name) || 0) + message.lines);
    if (page.folder) {
      page.writing = page.writing.then(() => write(message.name, message.piece));
    } else {
      const output = page.outputs.get(message.name) || {parts: [], size: 0};
      output.parts.push(message.piece);
      output.size += message.piece.size;
      output.crc = message.crc;
      page.outputs.set(message.name, output);
    }
  } else if (message.type === Msg.finish) {
    closeFiles().then(ok => page.worker?.postMessage({type: Msg.finished, ok}));
  } else if (message.type === Msg.fault) {
    ended(texts.fault);
  } else if (message.type === Msg.ended) {
    ended();
  }
}

// The end of a run, with the page's own message when the worker failed; then the page
// takes a new drop.
async function ended(text) {
  page.worker.onmessage = page.worker.onerror = null;  // a fault may follow the end
  page.worker.terminate();
  URL.revokeObjectURL(page.workerUrl);
  page.ready = false;
  $("window").hidden = true;
  $("client").replaceChildren();
  await closeFiles();
  const outputs = [...page.outputs];
  page.outputs.clear();
  if (outputs.length > 0) offer(outputs);
  if (page.folder) $("results").append(...listItems([...page.names]));
  if (text) {
    showMessage(text);
    await new Promise(resolve => $("box").addEventListener("close", resolve, {once: true}));
  }
  page.worker = null;
  lockChoices(false);
  document.body.dataset.state = "ended";
}

function start(files) {
  if (page.worker || files.length === 0) return;
  for (const link of $("results").querySelectorAll("a")) URL.revokeObjectURL(link.href);
  $("results").replaceChildren();
  lockChoices(true);  // the CSV files of a run go to one place, read one way
  document.body.dataset.state = "running";
  Object.assign(page, {files, names: new Set(), allPoints: $("allPoints").checked, points: new Map(),
                       writing: Promise.resolve(), writeFailed: false});
  page.workerUrl = URL.createObjectURL(new Blob([$("worker").textContent], {type: "text/javascript"}));
  page.worker = new Worker(page.workerUrl);
  page.worker.onmessage = event => received(event.data);
  // Before the worker is ready, its error is the browser's refusal (of WebAssembly, say).
  page.worker.onerror = event => {
    event.preventDefault();
    ended(page.ready ? texts.fault : texts.cannotRun);
  };
}

function lockChoices(locked) {
  $("folder").disabled = $("allPoints").disabled = locked;
}

function describeDestination() {
  $("destination").textContent = page.folder
      ? "Файлы CSV будут записаны в папку «" + page.folder.name + "» рядом с файлами SDR."
      : "Файлы CSV будут предложены для загрузки.";
}

// Where the browser lets a page write into a folder the user grants, the CSV files go
// beside the SDR files.
async function useFolder(folder) {
  page.folder = folder;
  describeDestination();
}

$("box").addEventListener("close", () => page.ready && page.worker.postMessage({type: Msg.ok}));
$("close").addEventListener("click", () => page.ready && page.worker.postMessage({type: Msg.close}));
$("choose").addEventListener("click", () => $("files").click());
$("files").addEventListener("change", () => start([...$("files").files]));
$("folder").hidden = !window.showDirectoryPicker;
// The box keeps its check while the tab lives, across reloads.
$("allPoints").checked = sessionStorage.getItem("varnel.allPoints") === "1";
$("allPoints").addEventListener("change", () => sessionStorage.setItem("varnel.allPoints", +$("allPoints").checked));
$("folder").addEventListener("click", async () => useFolder(await showDirectoryPicker({mode: "readwrite"})));
document.addEventListener("dragover", event => {
  event.preventDefault();
  document.body.classList.add("dragging");
});
document.addEventListener("dragleave", () => document.body.classList.remove("dragging"));
document.addEventListener("drop", event => {
  event.preventDefault();
  document.body.classList.remove("dragging");
  start([...event.dataTransfer.files]);
});
describeDestination();
