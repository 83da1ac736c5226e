"use strict";
// The page: draws Varnel's window from the core's own table of controls, runs the core
// in a worker on the files dropped here, and shows, saves or offers what it reports.
// One run at a time, as one Varnel at a time runs on the desktop: files dropped during
// a run are left alone, as a second instance ends silently.
const $ = id => document.getElementById(id);
const Kind = {frame: 0, option: 1, button: 2, check: 3, timer: 4, label: 5};
const page = {
  worker: null,
  controls: [],          // the window's controls, in the order of the core's table
  folder: null,          // the folder granted for the CSV files, where browsers allow it
  outputs: new Map(),    // otherwise the CSV files to offer, by name: their parts
  writables: new Map(),  // the CSV files being written into the folder, by name
  writing: Promise.resolve(),
};

function element(tag, text) {
  const made = document.createElement(tag);
  if (text !== undefined) made.textContent = text;
  return made;
}

function options() {
  const checked = name => page.controls.find(c => c.id === name).querySelector("input").checked;
  return [checked("Opt1"), checked("Opt2"), checked("Opt3"), checked("chChangeXY")];
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
      input.addEventListener("change", () => page.worker.postMessage({type: "options", options: options()}));
      control = element("label");
      control.append(input, caption);
    } else if (+kind === Kind.button) {
      control = element("button", caption);
      control.tabIndex = tab;
      control.addEventListener("click", () => page.worker.postMessage({type: "run"}));
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

function save(name, blob) {
  const link = element("a", name);
  link.href = URL.createObjectURL(blob);
  link.download = name;
  const item = element("li");
  item.append(link);
  $("results").append(item);
  link.click();
}

// A CSV file in the granted folder is appended to, as the window appends to its own.
async function write(name, bytes) {
  let writable = page.writables.get(name);
  if (!writable) {
    const file = await page.folder.getFileHandle(name, {create: true});
    writable = await file.createWritable({keepExistingData: true});
    await writable.seek((await file.getFile()).size);
    page.writables.set(name, writable);
  }
  await writable.write(bytes);
}

function received(message) {
  if (message.type === "ready") {
    buildWindow(message.controls);
    page.worker.postMessage({type: "start", files: page.files, options: options()});
  } else if (message.type === "show") {
    $("window").hidden = false;
    page.controls.find(c => c.id === "chChangeXY").querySelector("input").focus();
  } else if (message.type === "status") {
    $("lblInfo").textContent = message.text;
  } else if (message.type === "disable") {
    disable(message.control);
  } else if (message.type === "message") {
    showMessage(message.text);
  } else if (message.type === "output" && page.folder) {
    page.writing = page.writing.then(() => write(message.name, message.bytes))
                       .catch(() => page.worker.postMessage({type: "writeFailed"}));
  } else if (message.type === "output") {
    page.outputs.set(message.name, [...(page.outputs.get(message.name) || []), message.bytes]);
  } else if (message.type === "ended") {
    ended();
  }
}

async function ended() {
  page.worker.terminate();
  page.worker = null;
  $("window").hidden = true;
  $("client").replaceChildren();
  await page.writing;
  for (const writable of page.writables.values()) await writable.close().catch(() => {});
  page.writables.clear();
  const outputs = [...page.outputs];
  page.outputs.clear();
  if (outputs.length === 1) save(outputs[0][0], new Blob(outputs[0][1], {type: "text/csv"}));
  if (outputs.length > 1) save("varnel-csv.zip", zip(outputs));
  document.body.dataset.state = "ended";
}

function start(files) {
  if (page.worker || files.length === 0) return;
  page.files = files;
  $("results").replaceChildren();
  document.body.dataset.state = "running";
  const source = new Blob([$("worker").textContent], {type: "text/javascript"});
  page.worker = new Worker(URL.createObjectURL(source));
  page.worker.onmessage = event => received(event.data);
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

$("box").addEventListener("close", () => page.worker && page.worker.postMessage({type: "ok"}));
$("close").addEventListener("click", () => page.worker && page.worker.postMessage({type: "close"}));
$("choose").addEventListener("click", () => $("files").click());
$("files").addEventListener("change", () => start([...$("files").files]));
$("folder").hidden = !window.showDirectoryPicker;
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
