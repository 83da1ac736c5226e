// The worker's side of the page (prepended to the compiled core): it runs Varnel on
// the files dropped on the page and exchanges messages with page.js.
var varnel = {
  names: [],                          // the dropped files, as the core opens them
  outputs: new Map(),                 // the CSV files the core wrote: their names on the page
  taken: new Set(),                   // those names, in lower case
  options: [],                        // the check of each control, in the order of the core's table
  allPoints: false,                   // every point of each job, as the page's box chose
  lastYield: 0,
  closeRequested: false,
  writeFailed: false,
  inCore: false,                      // the core is running, or waiting in a message box
  answer: null,                       // closes the message box the core waits in
  finished: null,                     // takes the page's answer to finish

  post(message, transfer) { postMessage(message, transfer || []); },

  // Runs an entry point of the core, which may wait for the page; the end of the
  // program arrives as the exception that varnel.end throws.
  async call(entry, async) {
    varnel.inCore = true;
    try {
      await ccall(entry, null, [], [], {async: async});
    } catch (e) {
      if (e === "varnel-ended") return;
      varnel.ended = true;  // a fault of the program's: the page must not wait for it
      varnel.post({type: Msg.fault});
      throw e;
    } finally {
      varnel.inCore = false;
    }
  },

  message(text) {
    varnel.post({type: Msg.message, text: text});
    return new Promise(resolve => { varnel.answer = resolve; });
  },

  shouldYield() { return performance.now() - varnel.lastYield > 100; },

  async yieldToPage() {
    varnel.lastYield = performance.now();
    varnel.flush(false);
    await new Promise(resolve => setTimeout(resolve, 0));
    return varnel.closeRequested ? 1 : varnel.writeFailed ? 2 : 0;
  },

  // One tick every 10 milliseconds, each after the one before has ended.
  startTicks() {
    setTimeout(async function tick() {
      if (varnel.ended) return;
      await varnel.call(varnel.writeFailed ? "varnel_write_failed" : "varnel_tick", true);
      varnel.flush(true);
      setTimeout(tick, 10);
    }, 10);
  },

  // Hands the CSV lines gathered in memory to the page: those of a file once its tick is
  // over, and otherwise in pieces of a megabyte, so that memory stays bounded. Only the
  // files the core writes count: a dropped file, whatever its name, is a link to it.
  flush(whole) {
    varnel.names.forEach((input, k) => {
      for (const entry of FS.readdir("/in/" + k)) {
        const path = "/in/" + k + "/" + entry;
        if (entry === "." || entry === ".." || FS.isLink(FS.lstat(path).mode)) continue;
        const size = FS.stat(path).size;
        if (size === 0 || (!whole && size < (1 << 20))) continue;
        const bytes = FS.readFile(path);
        FS.truncate(path, 0);
        varnel.post({type: Msg.output, name: varnel.outputName(path, entry), bytes: bytes}, [bytes.buffer]);
      }
    });
  },

  // Files of one name from different folders must not merge: a CSV name already taken
  // in this run (in any case, as Windows folders and zip tools fold it) gets " (1)",
  // " (2)"... in the order in which the files are converted, which is that of the drop.
  outputName(path, name) {
    if (!varnel.outputs.has(path)) {
      const stem = name.slice(0, -".csv".length);
      for (let n = 1; varnel.taken.has(name.toLowerCase()); ++n) name = stem + " (" + n + ").csv";
      varnel.taken.add(name.toLowerCase());
      varnel.outputs.set(path, name);
    }
    return varnel.outputs.get(path);
  },

  // The page writes what is left and closes its files; the answer says whether every
  // write and close succeeded.
  finish() {
    varnel.flush(true);
    varnel.post({type: Msg.finish});
    return new Promise(resolve => { varnel.finished = resolve; });
  },

  end(status) {
    varnel.flush(true);
    varnel.ended = true;
    varnel.post({type: Msg.ended, status: status});
    throw "varnel-ended";
  },
};

// Each dropped file is read where it lies, in blocks (WORKERFS); the CSV file of an SDR
// file is gathered beside a link to it, in memory.
function varnelStart(files) {
  FS.mkdir("/in");
  files.forEach((file, k) => {
    FS.mkdir("/mnt" + k);
    FS.mount(WORKERFS, {blobs: [{name: "file", data: file}]}, "/mnt" + k);
    FS.mkdir("/in/" + k);
    FS.symlink("/mnt" + k + "/file", "/in/" + k + "/" + file.name);
    varnel.names.push("/in/" + k + "/" + file.name);
  });
  varnel.call("varnel_load", true);
}

onmessage = event => {
  const message = event.data;
  if (message.type === Msg.start) {
    varnel.options = message.options;
    varnel.allPoints = message.allPoints;
    varnelStart(message.files);
  }
  if (message.type === Msg.options) varnel.options = message.options;
  if (message.type === Msg.run) varnel.call("varnel_run", false);
  if (message.type === Msg.ok) varnel.answer();
  if (message.type === Msg.writeFailed) varnel.writeFailed = true;
  if (message.type === Msg.finished) varnel.finished(message.ok);
  if (message.type === Msg.close) {
    varnel.closeRequested = true;
    // Async: the end waits for the page to close its files.
    if (!varnel.inCore) varnel.call("varnel_close", true);
  }
};

Module.onRuntimeInitialized = () => {
  // A file that went away or cannot be read any more fails as a read does (EIO), so
  // that the core reports it, instead of ending the worker.
  const read = WORKERFS.stream_ops.read;
  WORKERFS.stream_ops.read = (...args) => {
    try {
      return read(...args);
    } catch (e) {
      throw new FS.ErrnoError(29);
    }
  };
  varnel.post({type: Msg.ready, controls: UTF8ToString(_varnel_controls())});
};
