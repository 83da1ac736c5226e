// The worker's side of the page (prepended to the compiled core): it runs Varnel on
// the files dropped on the page and exchanges messages with page.js.
var varnel = {
  names: [],                          // the dropped files, as the core opens them
  options: [true, false, false, true],  // the separator options and the exchange, as the page shows them
  lastYield: 0,
  closeRequested: false,
  writeFailed: false,
  inCore: false,                      // the core is running, or waiting in a message box
  answer: null,                       // closes the message box the core waits in

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
      varnel.post({type: "ended", status: -1});
      throw e;
    } finally {
      varnel.inCore = false;
    }
  },

  message(text) {
    varnel.post({type: "message", text: text});
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
  // over, and otherwise in pieces of a megabyte, so that memory stays bounded.
  flush(whole) {
    for (const folder of FS.readdir("/in").filter(name => !name.startsWith("."))) {
      for (const name of FS.readdir("/in/" + folder).filter(name => name.endsWith(".csv"))) {
        const path = "/in/" + folder + "/" + name;
        if (FS.stat(path).size === 0 || (!whole && FS.stat(path).size < (1 << 20))) continue;
        const bytes = FS.readFile(path);
        FS.truncate(path, 0);
        varnel.post({type: "output", name: name, bytes: bytes}, [bytes.buffer]);
      }
    }
  },

  end(status) {
    varnel.flush(true);
    varnel.ended = true;
    varnel.post({type: "ended", status: status});
    throw "varnel-ended";
  },
};

// Each dropped file is read where it lies, in blocks (WORKERFS); its CSV file is
// gathered beside a link to it, in memory.
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
  if (message.type === "start") varnelStart(message.files);
  if (message.type === "options") varnel.options = message.options;
  if (message.type === "run") varnel.call("varnel_run", false);
  if (message.type === "ok") varnel.answer();
  if (message.type === "writeFailed") varnel.writeFailed = true;
  if (message.type === "close") {
    varnel.closeRequested = true;
    if (!varnel.inCore) varnel.call("varnel_close", false);
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
  varnel.post({type: "ready", controls: UTF8ToString(_varnel_controls())});
};
